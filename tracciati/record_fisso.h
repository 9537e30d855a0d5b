#pragma once
// The frame of the fixed-length records of the 770 and DMA supplies: 1,898 characters (then CR LF
// in the file), the record type in position 1, the end mark "A" in position 1898, and in records
// with non-positional fields the area of positions 90 to 1889 followed by 8 spaces.

#include "tracciati/campo_non_posizionale.h"

namespace tracciati {

inline constexpr int LunghezzaRecord = 1898;
inline constexpr char FineRecord = 'A';
inline constexpr int InizioArea = 90;                               // first position of the area
inline constexpr int LunghezzaArea = 1800;                          // positions 90 to 1889
inline constexpr int BlocchiArea = LunghezzaArea / LunghezzaBlocco; // 75
inline constexpr int SpaziDopoArea = 8;                             // positions 1890 to 1897

static_assert(LunghezzaArea % LunghezzaBlocco == 0, "the area holds whole blocks");
static_assert(InizioArea + LunghezzaArea + SpaziDopoArea == LunghezzaRecord, "area, spaces, end mark");

} // namespace tracciati
