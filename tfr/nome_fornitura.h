#pragma once
// The final name of a TFR supply: "MV", the last five digits of the date, a suffix 0-9 or A-Z and
// ".TXT", the first one that no entry of the output folder holds. A supply is never replaced.

#include "shell/contesto.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace tfr {

// Suffixes 0 to 9, then A to Z: 36 supplies a day.
inline constexpr int NomiAlGiorno = 36;

// What every name of the day begins with: "MV" and the last five digits of the date ("MV10614").
std::string RadiceNomeFornitura(const shell::DataOra& oggi);

// The name with suffix number `n` (0 to 35): 14 June 2011 and 0 give "MV106140.TXT", 10 gives
// "MV10614A.TXT".
std::string NomeFornitura(const shell::DataOra& oggi, int n);

// True when the folder holds an entry of any kind (file, hidden file, folder, link) whose name equals
// `nome` without regard to letter case. A folder that cannot be read stops the run.
bool NomeOccupato(const std::filesystem::path& cartella, std::string_view nome);

// Gives the complete temporary supply the first free name (the date read afresh for each name tried)
// in one step, never replacing a file (shell::SpostaEsclusivo, under the converter's lock), and returns
// the final path; the temporary name is gone. With all 36 names of the day taken the run stops,
// leaving the temporary file.
std::filesystem::path DaiNomeFornitura(shell::ContestoElaborazione& contesto, const std::filesystem::path& temporaneo,
                                       const std::filesystem::path& cartella);

} // namespace tfr
