#pragma once
// The layouts of the 770 supply: records A, B, G, J and Z, one row per row of their tables, with
// the two kinds of piece of this supply's own; the same tables write the records and read them
// back.

#include "tracciati/tracciato.h"

#include <array>
#include <cstdint>

namespace conv770 {

using tracciati::Nessuna;

// The numbers that the records count (tracciati::Fonte::contatori).
enum Numero770 : int {
    ModuloTesta,       // the module number of the head: 1 in record B, the employee's in G, the J count
                       // in J
    RigheEsportazione, // record B: the lines of the export
    ContoRecordB,      // record Z: the records B (1)
    ContoModuli,       // record Z: the employee modules (one per export line)
    ContoRecordJ,      // record Z: the records J (1)
    Numeri770
};

// The kinds of piece of the 770 records only.
enum class Proprio770 : std::uint8_t {
    XCifre,    // X of the digits of the column (shell::SoloCifre): digits, then spaces
    NSemplice, // N of the plain reading of the column (shell::ValoreSemplice)
};

// clang-format off
namespace tabelle770 {
using enum tracciati::Comune;
using enum Proprio770;
using enum tracciati::Rigore;

inline constexpr auto RecordA = tracciati::RecordA("77S11", "06");

// Head of records B and J after the type (positions 2 to 89); record G has its own, with the
// employee's tax code in positions 30 to 45.
inline constexpr auto TestaBJ = std::to_array<tracciati::Pezzo>({
//   pos   lung  genere     col          testo
    {   2,   16, X,                   0},
    {  18,    8, Contatore, ModuloTesta},
    {  26,    3, Spazi},
    {  29,   25, Spazi},
    {  54,   20, Spazi},
    {  74,   16, X,                   1},
});

inline constexpr auto RecordB = std::to_array<tracciati::Pezzo>({
//   pos   lung  genere     col          testo
    {   1,    1, Letterale, Nessuna,     "B"},
    {   2,   88, Tabella,   Nessuna,     "", TestaBJ},
    {  90,    1, Letterale, Nessuna,     "1"},
    {  91,    4, Letterale, Nessuna,     "0000"},
    {  95,   24, Spazi},
    { 119,   20, Spazi},
    { 139,   60, X,                   2},
    { 199,   13, Spazi},
    { 212,    6, X,                   3},
    { 218,  100, X,                   4},
    { 318,   12, XCifre,              5},
    { 330,   12, XCifre,              6},
    { 342,   42, Spazi},
    { 384,    8, Zeri},
    { 392,   43, Spazi},
    { 435,    5, Zeri},
    { 440,   39, Spazi},
    { 479,    8, Zeri},
    { 487,    2, NSemplice,           7, {}, {}, Tollerato}, // N of a plain number, and N of a text:
                                                          // other characters come from the export
    { 489,    6, Zeri},
    { 495,   40, X,                   8},
    { 535,    2, N,                   9, {}, {}, Tollerato},
    { 537,    5, X,                  10},
    { 542,    4, X,                  11},
    { 546,   35, X,                  12},
    { 581,    6, Zeri},
    { 587,   42, Spazi},
    { 629,    5, Zeri},
    { 634,   39, Spazi},
    { 673,    2, Letterale, Nessuna,     "16"},
    { 675,   11, Zeri},
    { 686,   60, Spazi},
    { 746,    1, Letterale, Nessuna,     "1"},
    { 747,   16, Spazi},
    { 763,    2, Letterale, Nessuna,     "00"},
    { 765,   16, Spazi},
    { 781,    1, Letterale, Nessuna,     "0"},
    { 782,   15, Spazi},
    { 797,    1, Letterale, Nessuna,     "1"},
    { 798,    8, Contatore, RigheEsportazione},
    { 806,    8, Zeri},                  // N 8 of 0
    { 814,    1, Letterale, Nessuna,     "1"},
    { 815,    5, Letterale, Nessuna,     "00000"},
    { 820,   16, Spazi},
    { 836,   44, Zeri},
    { 880,  300, Spazi},
    {1180,    2, Letterale, Nessuna,     "00"},
    {1182,    4, Spazi},
    {1186,    5, Zeri},
    {1191,  119, Spazi},
    {1310,    3, Zeri},
    {1313,   83, Spazi},
    {1396,   16, X,                  13},
    {1412,    2, Letterale, Nessuna,     "01"},
    {1414,    8, Zeri},
    {1422,   71, Spazi},
    {1493,   24, X,                  14},
    {1517,   20, X,                  15},
    {1537,    1, X,                  16},
    {1538,    8, DT,                 17, {}, {}, Tollerato}, // an unreadable date is written as zeros
    {1546,   40, X,                  18},
    {1586,    2, X,                  19},
    {1588,    3, Zeri},
    {1591,   95, Spazi},
    {1686,    8, Zeri},
    {1694,   11, Zeri},
    {1705,   10, Spazi},
    {1715,    2, Letterale, Nessuna,     "00"},
    {1717,   16, Spazi},
    {1733,   14, Zeri},
    {1747,    1, Letterale, Nessuna,     "0"},
    {1748,   16, Spazi},
    {1764,   11, Zeri},
    {1775,   16, Spazi},
    {1791,    1, Letterale, Nessuna,     "0"},
    {1792,   86, Spazi},
    {1878,    1, Letterale, Nessuna,     "0"},
    {1879,   19, Spazi},
    {1898,    1, Fine},
});

inline constexpr auto RecordG = std::to_array<tracciati::Pezzo>({
//   pos   lung  genere     col          testo
    {   1,    1, Letterale, Nessuna,     "G"},
    {   2,   16, X,                   0},
    {  18,    8, Contatore, ModuloTesta},
    {  26,    3, Spazi},
    {  29,    1, Spazi},
    {  30,   16, X,                  20},
    {  46,    8, Spazi},
    {  54,   20, Spazi},
    {  74,   16, X,                   1},
    {  90, 1800, Area},
    {1890,    8, Spazi},
    {1898,    1, Fine},
});

inline constexpr auto RecordJ = std::to_array<tracciati::Pezzo>({
//   pos   lung  genere     col          testo
    {   1,    1, Letterale, Nessuna,     "J"},
    {   2,   88, Tabella,   Nessuna,     "", TestaBJ},
    {  90, 1800, Area},
    {1890,    8, Spazi},
    {1898,    1, Fine},
});

// Every count of record Z is 9 digits with leading zeros.
inline constexpr auto RecordZ = std::to_array<tracciati::Pezzo>({
//   pos   lung  genere     col          testo
    {   1,    1, Letterale, Nessuna,     "Z"},
    {   2,   14, Spazi},
    {  16,    9, Contatore, ContoRecordB},
    {  25,    9, Zeri},
    {  34,    9, Zeri},
    {  43,    9, Zeri},
    {  52,    9, Contatore, ContoModuli},
    {  61,    9, Zeri},
    {  70,    9, Contatore, ContoRecordJ},
    {  79, 1819, Spazi},
    {1898,    1, Fine},
});

static_assert(tracciati::RecordFissoCompleto(RecordA));
static_assert(tracciati::RecordFissoCompleto(RecordB));
static_assert(tracciati::RecordFissoCompleto(RecordG));
static_assert(tracciati::RecordFissoCompleto(RecordJ));
static_assert(tracciati::RecordFissoCompleto(RecordZ));
} // namespace tabelle770
// clang-format on

// The layouts of the supply, with the Gancio that writes and reads the kinds of its own and the types
// of the field codes of records G and J.
const tracciati::Tracciato& Tracciato770();

} // namespace conv770
