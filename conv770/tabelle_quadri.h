#pragma once
// The tables of the fields of records G and J: quadro DA (personal data, with the checks that report
// missing data), quadro DB (income and withholdings, with the running totals of record J), quadro DC and
// the totals of record J, one row per field, with their invariants and the catalogue of every code they
// write. The writer (quadri.cpp) writes by them; a reader of the supply takes from them the codes it names
// and the fields that are written always or together.

#include "conv770/regole.h"
#include "tracciati/tracciato.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace conv770::tabelleQuadri {

using T = tracciati::Tipo;
using F = Forma;

// ---------------------------------------------------------------------------------------------------
// Quadro DA: the employee's personal data, all in row 001. A field with a message is checked just
// before it is written: a blank column adds the message, and the field is written all the same.

struct RigaDA {
    std::string_view campo;
    tracciati::Tipo tipo;
    int colonna;
    Regola quando;
    Forma forma;
    int scelta; // TestoOAltra: the column whose filling chooses `colonna`...
    int altra;  // ...or else this one
    std::string_view messaggio;
};

// clang-format off
inline constexpr std::array CampiDA{
//         campo       tipo   col  scritto quando  valore               scelta altra   messaggio se la colonna e' vuota
    RigaDA{"DA001001", T::CF,  20, Sempre,         F::Testo,            Nessuna, Nessuna, "Codice fiscale non impostato"},
    RigaDA{"DA001002", T::AN,  21, Sempre,         F::Testo,            Nessuna, Nessuna, "Cognome dipendente non impostato"},
    RigaDA{"DA001003", T::AN,  22, Sempre,         F::Testo,            Nessuna, Nessuna, "Nome dipendente non impostato"},
    RigaDA{"DA001004", T::AN,  23, Sempre,         F::Testo,            Nessuna, Nessuna, "Sesso del dipendente non impostato"},
    RigaDA{"DA001005", T::DT,  24, Sempre,         F::Data,             Nessuna, Nessuna, "Data di nascita del dipendente non impostata"},
    RigaDA{"DA001006", T::AN,  25, Sempre,         F::Testo,            Nessuna, Nessuna, "Luogo di nascita del dipendente non impostato"},
    RigaDA{"DA001007", T::AN,  26, Sempre,         F::ProvinciaNascita, Nessuna, Nessuna, "Provincia di nascita del dipendente non impostato"},
    RigaDA{"DA001008", T::AN,  27, Riempita(27),   F::Testo,            Nessuna, Nessuna, ""},
    RigaDA{"DA001009", T::DT, 185, Riempita(185),  F::Data,             Nessuna, Nessuna, ""},
    RigaDA{"DA001011", T::N1,  28, Riempita(28),   F::NumeroSemplice,   Nessuna, Nessuna, ""},
    RigaDA{"DA001012", T::AN,  29, Sempre,         F::Testo,            Nessuna, Nessuna, "Comune di residenza del dipendente non impostato"},
    RigaDA{"DA001013", T::AN,  30, Sempre,         F::Testo,            Nessuna, Nessuna, "Provincia di residenza del dipendente non impostato"},
    RigaDA{"DA001014", T::AN,  31, Sempre,         F::Testo,            Nessuna, Nessuna, "Codice comune di residenza del dipendente non impostato"},
    RigaDA{"DA001015", T::AN,  32, Sempre,         F::TestoOAltra,           32,      29, ""},
    RigaDA{"DA001016", T::AN,  33, Sempre,         F::TestoOAltra,           32,      30, ""},
    RigaDA{"DA001017", T::AN,  34, Riempita(34),   F::Testo,            Nessuna, Nessuna, ""},
    RigaDA{"DA001018", T::AN,  35, Riempita(34),   F::Testo,            Nessuna, Nessuna, ""},
    RigaDA{"DA001019", T::AN,  36, Riempita(34),   F::Testo,            Nessuna, Nessuna, ""},
};
// clang-format on

// ---------------------------------------------------------------------------------------------------
// Quadro DB, row 001, in the order of writing. The supplementary rows (columns 181 to 184) are
// written after DB001125 when DB001120 or DB001122 was written (see RighiSupplementariDB).

struct TotaleDB {
    int indice = Nessuna;
    int segno = 0;
};
constexpr TotaleDB Piu(int indice) { return {indice, +1}; }
constexpr TotaleDB Meno(int indice) { return {indice, -1}; }

struct RigaDB {
    std::string_view campo;
    tracciati::Tipo tipo;
    int colonna;
    Regola quando;
    Regola anche;
    Forma forma;
    std::string_view fisso;
    TotaleDB totale; // the running total changed by the column's amount when the field is written
};

// clang-format off
inline constexpr std::array CampiDB{
//         campo       tipo     col      scritto quando        e anche      valore              fisso totale
    RigaDB{"DB001001", T::NP,   37,      NonZero(37),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001002", T::NP,   38,      NonZero(38),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001003", T::N3,   39,      NonZero(39),          Sempre,      F::NumeroSemplice,   "",   {}},
    RigaDB{"DB001004", T::N3,   40,      NonZero(40),          Sempre,      F::NumeroSemplice,   "",   {}},
    RigaDB{"DB001005", T::NP,   41,      NonZero(41),          Sempre,      F::ImportoIntero,    "",   Piu(1)},
    RigaDB{"DB001006", T::NP,   42,      NonZero(42),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001010", T::NP,   43,      NonZero(43),          Sempre,      F::ImportoIntero,    "",   Piu(9)},
    RigaDB{"DB001011", T::NP,   44,      NonZero(44),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001013", T::NP,   45,      NonZero(45),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001014", T::NP,   46,      NonZero(46),          Sempre,      F::ImportoIntero,    "",   Piu(2)},
    RigaDB{"DB001015", T::NP,   47,      NonZero(47),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001017", T::NP,   48,      NonZero(48),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001018", T::NP,   49,      NonZero(49),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001021", T::NP,   50,      NonZero(50),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001022", T::NP,   51,      NonZero(51),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001023", T::NP,   52,      NonZero(52),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001024", T::NP,   53,      NonZero(53),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001025", T::NP,   54,      NonZero(54),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001031", T::NP,   55,      NonZero(55),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001032", T::NP,   56,      NonZero(56),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001033", T::NP,   57,      NonZero(57),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001034", T::NP,   58,      NonZero(58),          NonZero(37), F::ImportoIntero,    "",   {}},
    RigaDB{"DB001035", T::NP,   59,      NonZero(59),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001036", T::NP,   149,     NonZero(149),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001037", T::NP,   150,     NonZero(150),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001038", T::NP,   151,     NonZero(151),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001039", T::NP,   186,     NonZero(186),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001040", T::NP,   60,      NonZero(60),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001041", T::NP,   61,      NonZero(61),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001042", T::NP,   152,     NonZero(152),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001043", T::NP,   153,     NonZero(153),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001044", T::NP,   154,     NonZero(154),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001045", T::NP,   187,     NonZero(187),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001046", T::NP,   155,     NonZero(155),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001047", T::NP,   62,      NonZero(62),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001051", T::NP,   189,     NonZero(189),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001052", T::NP,   188,     NonZero(188),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001053", T::NP,   64,      NonZero(64),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001054", T::NP,   65,      NonZero(65),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001055", T::NP,   66,      NonZero(66),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001056", T::NP,   190,     NonZero(190),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001057", T::NP,   67,      NonZero(67),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001059", T::NP,   63,      NonZero(63),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001060", T::NP,   68,      NonZero(68),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001061", T::NP,   69,      NonZero(69),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001063", T::SI,   70,      Riempita(70),         Sempre,      F::Testo,            "",   {}},
    RigaDB{"DB001064", T::SI,   71,      Riempita(71),         Sempre,      F::Testo,            "",   {}},
    RigaDB{"DB001065", T::AN,   72,      Riempita(72),         Sempre,      F::Testo,            "",   {}},
    RigaDB{"DB001073", T::NP,   73,      NonZero(73),          Sempre,      F::ImportoIntero,    "",   Meno(1)},
    RigaDB{"DB001075", T::NP,   74,      NonZeroSemplice(74),  Sempre,      F::ImportoIntero,    "",   Meno(1)},
    RigaDB{"DB001076", T::NP,   75,      NonZero(75),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001077", T::NP,   76,      NonZero(76),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001093", T::NP,   156,     NonZero(156),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001094", T::NP,   157,     NonZero(157),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001095", T::NP,   158,     NonZero(158),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001096", T::SI,   159,     Riempita(159),        Sempre,      F::Testo,            "",   {}},
    RigaDB{"DB001097", T::NP,   195,     NonZero(195),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001098", T::NP,   196,     NonZero(196),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001099", T::NP,   197,     NonZero(197),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001100", T::NP,   198,     NonZero(198),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001101", T::NP,   199,     NonZero(199),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001107", T::NP,   77,      NonZero(77),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001108", T::NP,   78,      NonZero(78),          Sempre,      F::ImportoIntero,    "",   Piu(15)},
    RigaDB{"DB001109", T::NP,   79,      NonZero(79),          Sempre,      F::ImportoIntero,    "",   Piu(16)},
    RigaDB{"DB001110", T::NP,   80,      NonZero(80),          Sempre,      F::ImportoIntero,    "",   Piu(17)},
    RigaDB{"DB001111", T::NP,   81,      NonZero(81),          Sempre,      F::ImportoIntero,    "",   Piu(18)},
    RigaDB{"DB001120", T::NP,   83,      NonZero(83),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001121", T::NP,   193,     NonZero(193),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001122", T::NP,   82,      NonZero(82),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001123", T::NP,   194,     NonZero(194),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001124", T::NP,   84,      NonZeroSemplice(84),  Sempre,      F::ImportoIntero,    "",   Piu(19)},
    RigaDB{"DB001125", T::NP,   85,      NonZero(85),          Sempre,      F::ImportoIntero,    "",   Piu(20)},
    RigaDB{"DB001134", T::NP,   86,      NonZero(86),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001135", T::NP,   87,      NonZero(87),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001136", T::NP,   160,     NonZero(160),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001137", T::NP,   88,      NonZero(88),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001138", T::NP,   89,      NonZero(89),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001139", T::NP,   90,      NonZero(90),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001140", T::NP,   91,      NonZero(91),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001141", T::PC,   92,      Riempita(92),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001142", T::NP,   93,      NonZero(93),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001143", T::NP,   94,      NonZero(94),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001144", T::NP,   95,      NonZero(95),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001145", T::NP,   96,      NonZero(96),          Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001146", T::NP,   192,     NonZero(192),         Sempre,      F::ImportoIntero,    "",   {}},
    RigaDB{"DB001249", T::AN,   Nessuna, NonZero(37),          Sempre,      F::Fisso,            "AI", {}},
    RigaDB{"DB001250", T::AN,   Nessuna, NonZero(37),          Sempre,      F::Fisso,            "AL", {}},
    RigaDB{"DB001251", T::AN,   Nessuna, NonZero(37),          Sempre,      F::Fisso,            "AN", {}},
    RigaDB{"DB001252", T::AN,   Nessuna, NonZero(37),          Sempre,      F::Fisso,            "AR", {}},
};
// clang-format on

// The supplementary groups of quadro DB: the amount that gives field 127 or 128, the amount of field
// 129, and the amount of field 132 (type N4) written when the first amount is.
struct GruppoSupplementareDB {
    int importo;
    int secondo;
    int n4;
};
// clang-format off
inline constexpr std::array GruppiSupplementariDB{
//                        127/128  129  132
    GruppoSupplementareDB{181,     182, 138},
    GruppoSupplementareDB{183,     184, 168},
};
// clang-format on

// ---------------------------------------------------------------------------------------------------
// Quadro DC, row 001.

struct RigaDC {
    std::string_view campo;
    tracciati::Tipo tipo;
    int colonna;
    Regola quando;
    Regola anche;
    Forma forma;
};

// clang-format off
inline constexpr std::array CampiDC{
//         campo       tipo      col  scritto quando           e anche                  valore
    // DC001001: filled(100) as well, which a non-zero rounded amount implies.
    RigaDC{"DC001001", T::N10,   97,  Riempita(97),            NonZeroArrotondato(100), F::NumeroSemplice},
    RigaDC{"DC001002", T::SI,    98,  Riempita(98),            Sempre,                  F::Testo},
    RigaDC{"DC001003", T::SI,    99,  Riempita(99),            Sempre,                  F::Testo},
    RigaDC{"DC001004", T::NP,    100, NonZeroArrotondato(100), Sempre,                  F::ImportoArrotondato},
    RigaDC{"DC001005", T::SI,    101, Riempita(101),           Sempre,                  F::Testo},
    RigaDC{"DC001006", T::SI,    102, Riempita(102),           Sempre,                  F::Testo},
    RigaDC{"DC001007", T::SI,    103, Riempita(103),           Sempre,                  F::Testo},
    RigaDC{"DC001008", T::NP,    104, NonZeroArrotondato(104), Sempre,                  F::ImportoArrotondato},
    RigaDC{"DC001010", T::SI,    105, Riempita(105),           Sempre,                  F::Testo},
    RigaDC{"DC001011", T::SI12,  106, Riempita(106),           Sempre,                  F::Testo},
    RigaDC{"DC001012", T::NP,    107, NonZeroArrotondato(107), Sempre,                  F::ImportoArrotondato},
    RigaDC{"DC001013", T::NP,    108, NonZeroArrotondato(108), Sempre,                  F::ImportoArrotondato},
    RigaDC{"DC001014", T::NP,    109, NonZeroArrotondato(109), Sempre,                  F::ImportoArrotondato},
    RigaDC{"DC001015", T::NP,    110, NonZeroArrotondato(110), Sempre,                  F::ImportoArrotondato},
    RigaDC{"DC001016", T::SI,    111, Riempita(111),           Sempre,                  F::Testo},
    RigaDC{"DC001017", T::SI12,  112, Riempita(112),           Sempre,                  F::Testo},
};
// clang-format on

// Quadro DC, the fields of a group: one layout, the columns of group 1, 2 and 3. The test is made on
// the field's own column of the group.
struct RigaGruppoDC {
    std::string_view codice;
    tracciati::Tipo tipo;
    std::array<int, 3> colonne;
    Prova quando;
    Forma forma;
    std::array<int, 3> altra; // ArrotondatoOUno: the column whose non-zero rounded amount gives 1
};

inline constexpr std::array<int, 3> NessunaAltra{Nessuna, Nessuna, Nessuna};

// clang-format off
inline constexpr std::array CampiGruppoDC{
//               campo  tipo    c1   c2   c3    scritto quando              valore                 altrimenti 1 quando
    RigaGruppoDC{"018", T::CN, {113, 131, 161}, Prova::Riempita,           F::Testo,              NessunaAltra},
    RigaGruppoDC{"019", T::AN, {114, 132, 162}, Prova::Riempita,           F::Testo,              NessunaAltra},
    RigaGruppoDC{"020", T::AN, {115, 133, 163}, Prova::Riempita,           F::Testo,              NessunaAltra},
    RigaGruppoDC{"021", T::NP, {116, 134, 164}, Prova::Riempita,           F::Importo,            NessunaAltra},
    RigaGruppoDC{"A22", T::NP, {117, 135, 165}, Prova::Riempita,           F::Migliaia,           NessunaAltra},
    RigaGruppoDC{"B22", T::NP, {117, 135, 165}, Prova::Riempita,           F::RestoMigliaia,      NessunaAltra},
    RigaGruppoDC{"023", T::NP, {118, 136, 166}, Prova::Riempita,           F::Importo,            NessunaAltra},
    RigaGruppoDC{"024", T::NP, {119, 137, 167}, Prova::Riempita,           F::Importo,            NessunaAltra},
    RigaGruppoDC{"025", T::N4, {120, 138, 168}, Prova::NonZero,            F::Importo,            NessunaAltra},
    RigaGruppoDC{"026", T::NU, {121, 139, 169}, Prova::NonZeroArrotondato, F::ImportoArrotondato, NessunaAltra},
    RigaGruppoDC{"027", T::NU, {122, 140, 170}, Prova::NonZeroArrotondato, F::ArrotondatoOUno,    {121, 139, 169}},
    RigaGruppoDC{"028", T::NU, {123, 141, 171}, Prova::NonZeroArrotondato, F::ImportoArrotondato, NessunaAltra},
    RigaGruppoDC{"029", T::NU, {124, 142, 172}, Prova::NonZeroArrotondato, F::ImportoArrotondato, NessunaAltra},
    RigaGruppoDC{"030", T::NU, {125, 143, 173}, Prova::NonZeroArrotondato, F::ImportoArrotondato, NessunaAltra},
    RigaGruppoDC{"031", T::NU, {126, 144, 174}, Prova::NonZeroArrotondato, F::ArrotondatoOUno,    {125, 143, 173}},
    RigaGruppoDC{"032", T::NU, {127, 145, 175}, Prova::NonZeroArrotondato, F::ImportoArrotondato, NessunaAltra},
    RigaGruppoDC{"033", T::NU, {128, 146, 176}, Prova::NonZeroArrotondato, F::ArrotondatoOUno,    {127, 145, 175}},
    RigaGruppoDC{"034", T::NU, {129, 147, 177}, Prova::NonZeroArrotondato, F::ImportoArrotondato, NessunaAltra},
    RigaGruppoDC{"035", T::NU, {130, 148, 178}, Prova::NonZeroArrotondato, F::ImportoArrotondato, NessunaAltra},
};
// clang-format on

// The three groups: written when either column is a non-zero rounded amount. Group 3 tests the
// columns of its fields 031 and 032, not those of 026 and 027 as groups 1 and 2 do. The number N of
// A22 and B22 is read plainly in group 1, the Italian way in groups 2 and 3.
struct GruppoDC {
    int condizione1;
    int condizione2;
    LetturaN letturaN;
};
// clang-format off
inline constexpr std::array GruppiDC{
//           condizione   lettura di N
    GruppoDC{121, 122,    LetturaN::Semplice},
    GruppoDC{139, 140,    LetturaN::Italiana},
    GruppoDC{174, 175,    LetturaN::Italiana},
};
// clang-format on

// ---------------------------------------------------------------------------------------------------
// Invariants of the tables, checked by the compiler.

constexpr bool ColonnaLetta(int c) { return c >= 20 && c <= 199 && c != 179 && c != 180 && c != 191; }
constexpr bool ColonnaRegola(const Regola& r) {
    return r.prova == Prova::Sempre ? r.colonna == Nessuna : ColonnaLetta(r.colonna);
}

// Codes of 8 characters of the quadro, strictly ascending (so also unique).
template <typename Tabella> constexpr bool CodiciCrescenti(const Tabella& tabella, std::string_view quadro) {
    for (std::size_t i = 0; i < tabella.size(); ++i) {
        const std::string_view campo = tabella[i].campo;
        if (campo.size() != 8 || campo.substr(0, 2) != quadro || (i > 0 && !(tabella[i - 1].campo < campo)))
            return false;
    }
    return true;
}

constexpr bool CampiDABuoni() {
    for (const auto& r : CampiDA) {
        if (!ColonnaLetta(r.colonna) || !ColonnaRegola(r.quando))
            return false;
        // A check belongs to a field written always; TestoOAltra has its two columns.
        if (!r.messaggio.empty() && r.quando.prova != Prova::Sempre)
            return false;
        if ((r.forma == F::TestoOAltra) != (r.scelta != Nessuna && r.altra != Nessuna))
            return false;
    }
    return true;
}

constexpr bool CampiDBBuoni() {
    for (const auto& r : CampiDB) {
        if (!ColonnaRegola(r.quando) || !ColonnaRegola(r.anche))
            return false;
        // Fixed texts have no column; every other field reads its own column.
        if ((r.forma == F::Fisso) != (r.colonna == Nessuna) || (r.forma == F::Fisso) == r.fisso.empty())
            return false;
        if (r.forma != F::Fisso && (!ColonnaLetta(r.colonna) || r.quando.colonna != r.colonna))
            return false;
        // Totals take the amount of a plain "NP" field.
        if (r.totale.indice != Nessuna && (r.tipo != T::NP || r.forma != F::ImportoIntero || r.totale.indice < 0 ||
                                           r.totale.indice >= 40 || r.totale.segno == 0))
            return false;
    }
    return true;
}

constexpr std::size_t IndiceDB(std::string_view campo) {
    for (std::size_t i = 0; i < CampiDB.size(); ++i)
        if (CampiDB[i].campo == campo)
            return i;
    return CampiDB.size();
}

constexpr bool CampiDCBuoni() {
    for (const auto& r : CampiDC)
        if (!ColonnaLetta(r.colonna) || !ColonnaRegola(r.quando) || !ColonnaRegola(r.anche))
            return false;
    for (std::size_t i = 0; i < CampiGruppoDC.size(); ++i) {
        const auto& r = CampiGruppoDC[i];
        for (std::size_t j = 0; j < i; ++j)
            if (CampiGruppoDC[j].codice == r.codice)
                return false;
        for (std::size_t g = 0; g < 3; ++g) {
            if (!ColonnaLetta(r.colonne[g]))
                return false;
            // The fields of a group take consecutive columns (A22 and B22 share one).
            if (i > 0 && r.colonne[g] != CampiGruppoDC[i - 1].colonne[g] + (r.forma == F::RestoMigliaia ? 0 : 1))
                return false;
            // "1 otherwise" refers to the field just before.
            if ((r.forma == F::ArrotondatoOUno) != (r.altra[g] != Nessuna) ||
                (r.altra[g] != Nessuna && r.altra[g] != CampiGruppoDC[i - 1].colonne[g]))
                return false;
        }
    }
    return true;
}

static_assert(CodiciCrescenti(CampiDA, "DA") && CampiDABuoni());
static_assert(CodiciCrescenti(CampiDB, "DB") && CampiDBBuoni());
static_assert(IndiceDB("DB001120") < IndiceDB("DB001122") && IndiceDB("DB001122") < IndiceDB("DB001125") &&
                  IndiceDB("DB001125") + 1 < CampiDB.size(),
              "the supplementary rows follow DB001125, and fields follow them");
static_assert(CodiciCrescenti(CampiDC, "DC") && CampiDCBuoni());
static_assert(CampiGruppoDC[0].codice == "018" && CampiGruppoDC[1].codice == "019",
              "the \"00000\" filler acts on the columns of fields 018 and 019");
static_assert(GruppiDC[0].condizione1 == CampiGruppoDC[9].colonne[0] &&
                  GruppiDC[0].condizione2 == CampiGruppoDC[10].colonne[0] &&
                  GruppiDC[1].condizione1 == CampiGruppoDC[9].colonne[1] &&
                  GruppiDC[1].condizione2 == CampiGruppoDC[10].colonne[1] &&
                  GruppiDC[2].condizione1 == CampiGruppoDC[14].colonne[2] &&
                  GruppiDC[2].condizione2 == CampiGruppoDC[15].colonne[2],
              "groups 1 and 2 test fields 026 and 027, group 3 fields 031 and 032");

// ---------------------------------------------------------------------------------------------------

constexpr Campo DaRiga(std::string_view campo, tracciati::Tipo tipo, int colonna, Regola quando, Regola anche,
                       Forma forma) {
    return Campo{campo, tipo, colonna, quando, anche, forma};
}

// The rows of the tables as fields ready to be evaluated, made once by the compiler.
constexpr auto CompilaDA() {
    std::array<Campo, CampiDA.size()> campi{};
    for (std::size_t i = 0; i < CampiDA.size(); ++i) {
        const RigaDA& r = CampiDA[i];
        campi[i] = DaRiga(r.campo, r.tipo, r.colonna, r.quando, Sempre, r.forma);
        campi[i].scelta = r.scelta;
        campi[i].altra = r.altra;
    }
    return campi;
}
constexpr auto CompilaDB() {
    std::array<Campo, CampiDB.size()> campi{};
    for (std::size_t i = 0; i < CampiDB.size(); ++i) {
        const RigaDB& r = CampiDB[i];
        campi[i] = DaRiga(r.campo, r.tipo, r.colonna, r.quando, r.anche, r.forma);
        campi[i].fisso = r.fisso;
    }
    return campi;
}
constexpr auto CompilaDC() {
    std::array<Campo, CampiDC.size()> campi{};
    for (std::size_t i = 0; i < CampiDC.size(); ++i) {
        const RigaDC& r = CampiDC[i];
        campi[i] = DaRiga(r.campo, r.tipo, r.colonna, r.quando, r.anche, r.forma);
    }
    return campi;
}
// The fields of the DC groups: for group g written in row r, the row's codes and the group's columns.
inline constexpr auto ColonneGruppoDC = [] {
    std::array<std::string_view, CampiGruppoDC.size()> codici{};
    for (std::size_t i = 0; i < CampiGruppoDC.size(); ++i)
        codici[i] = CampiGruppoDC[i].codice;
    return codici;
}();
static_assert([] {
    for (const auto& r : CampiGruppoDC)
        if (r.codice.size() != 3)
            return false;
    return true;
}());
inline constexpr CodiciRighi<GruppiDC.size(), CampiGruppoDC.size()> CodiciGruppiDC("DC", ColonneGruppoDC);

using CampiDiUnGruppoDC = std::array<Campo, CampiGruppoDC.size()>;
constexpr auto CompilaGruppiDC() {
    std::array<std::array<CampiDiUnGruppoDC, GruppiDC.size()>, GruppiDC.size()> campi{}; // [gruppo][rigo - 1]
    for (std::size_t g = 0; g < GruppiDC.size(); ++g)
        for (std::size_t r = 0; r < GruppiDC.size(); ++r)
            for (std::size_t i = 0; i < CampiGruppoDC.size(); ++i) {
                const RigaGruppoDC& f = CampiGruppoDC[i];
                Campo& campo = campi[g][r][i];
                campo = Campo{CodiciGruppiDC.Di(static_cast<int>(r + 1), i),
                              f.tipo,
                              f.colonne[g],
                              Regola{f.quando, f.colonne[g]},
                              Sempre,
                              f.forma};
                campo.altra = f.altra[g];
                campo.lettura = GruppiDC[g].letturaN;
            }
    return campi;
}

inline constexpr auto CampiCompilatiDA = CompilaDA();
inline constexpr auto CampiCompilatiDB = CompilaDB();
inline constexpr auto CampiCompilatiDC = CompilaDC();
inline constexpr auto CampiCompilatiGruppiDC = CompilaGruppiDC();

// The fields of the supplementary rows: 127, 128, 129 and 132 in rows 001 and 002, their whole
// codes made by the compiler.
enum CampoSupplementareDB : std::size_t { Campo127, Campo128, Campo129, Campo132 };
// clang-format off
inline constexpr std::array TipiSupplementariDB{
//  127    128    129    132
    T::NP, T::NP, T::NP, T::N4,
};
// clang-format on
inline constexpr CodiciRighi<GruppiSupplementariDB.size(), TipiSupplementariDB.size()>
    CodiciSupplementariDB("DB", std::array<std::string_view, TipiSupplementariDB.size()>{"127", "128", "129", "132"});

// ---------------------------------------------------------------------------------------------------
// Record J: the running totals, each in a field of quadro SS, row 002, type NP, its whole part
// rounded down.

struct CampoJ {
    std::string_view campo;
    int totale;
};
inline constexpr tracciati::Tipo TipoCampiJ = T::NP;
// clang-format off
inline constexpr std::array CampiJ{
//         campo       totale
    CampoJ{"SS002001",  1},
    CampoJ{"SS002002",  2},
    CampoJ{"SS002009",  9},
    CampoJ{"SS002015", 15},
    CampoJ{"SS002016", 16},
    CampoJ{"SS002017", 17},
    CampoJ{"SS002018", 18},
    CampoJ{"SS002019", 19},
    CampoJ{"SS002020", 20},
};
// clang-format on
static_assert(CodiciCrescenti(CampiJ, "SS"));

// ---------------------------------------------------------------------------------------------------
// The type of every code that records G and J write, from the tables above, sorted by code.

inline constexpr auto Catalogo = [] {
    constexpr std::size_t Righi = GruppiDC.size();
    std::array<tracciati::VoceCatalogo, CampiDA.size() + CampiDB.size() + CodiciSupplementariDB.codici.size() +
                                            CampiDC.size() + Righi * CampiGruppoDC.size() + CampiJ.size()>
        voci{};
    std::size_t n = 0;
    const auto voce = [](std::string_view codice, tracciati::Tipo tipo) {
        return tracciati::VoceCatalogo{codice, tipo};
    };
    for (const auto& campi : {std::span<const Campo>(CampiCompilatiDA), std::span<const Campo>(CampiCompilatiDB),
                              std::span<const Campo>(CampiCompilatiDC)})
        for (const Campo& campo : campi)
            voci[n++] = voce(campo.codice, campo.tipo);
    for (int rigo = 1; rigo <= static_cast<int>(GruppiSupplementariDB.size()); ++rigo)
        for (std::size_t i = 0; i < TipiSupplementariDB.size(); ++i)
            voci[n++] = voce(CodiciSupplementariDB.Di(rigo, i), TipiSupplementariDB[i]);
    // The group rows: the same codes and types whichever group a row holds.
    for (std::size_t r = 0; r < Righi; ++r)
        for (const Campo& campo : CampiCompilatiGruppiDC[0][r])
            voci[n++] = voce(campo.codice, campo.tipo);
    for (const CampoJ& campo : CampiJ)
        voci[n++] = voce(campo.campo, TipoCampiJ);
    return tracciati::Ordinato(voci);
}();

} // namespace conv770::tabelleQuadri

namespace conv770 {

// What the tables tell a reader of a module, made by the compiler.

// - The codes of quadro DA written for every employee (a date that is not one is missing all the same, and
//   said so: DatiControllatiDA), in the order of the table.
inline constexpr auto SempreDA = [] {
    using namespace tabelleQuadri;
    constexpr auto sempre = [](const RigaDA& r) { return r.quando == Sempre; };
    std::array<std::string_view, std::count_if(CampiDA.begin(), CampiDA.end(), sempre)> codici{};
    std::size_t n = 0;
    for (const RigaDA& r : CampiDA)
        if (sempre(r))
            codici[n++] = r.campo;
    return codici;
}();

// - The code of a field that records G and J write, with its place in their catalogue (CatalogoDeiCampi): a
//   code that the tables do not write stops the compiler.
consteval tracciati::CodiceDelCatalogo CodiceDelCampo(std::string_view codice) {
    return tracciati::DelCatalogo(tabelleQuadri::Catalogo, codice);
}

// - Two fields that the writer writes together: when `se` is in a module, so is `allora`.
struct Legame {
    std::string_view se;
    std::string_view allora;
};

namespace dettaglio {
// Whether the field is there whenever its rules hold: a date gives none for a blank column, a "SI" field none
// for a value other than "S\xCC".
constexpr bool SempreScritto(const Campo& campo) {
    return campo.forma != Forma::Data && campo.tipo != tracciati::Tipo::SI && campo.tipo != tracciati::Tipo::SI12;
}

// The links of the fields of one table (a quadro's row, the fields of a DC group), handed to `dai` as the
// places of `se` and `allora` in it: a field written only when another field's rule holds too, with the
// first field written by that rule alone; a field that is 1 when the field before it is written, with that
// one; the fixed texts written by the rule of a field's column, each with that field, and the first of them
// back to it; the fields of their own columns written by one rule, each with the next and the last with the
// first.
template <typename Dai> constexpr void LegamiDellaTabella(std::span<const Campo> campi, Dai dai) {
    for (std::size_t i = 0; i < campi.size(); ++i) {
        const Campo& c = campi[i];
        if (c.anche != Sempre)
            for (std::size_t j = 0; j < campi.size(); ++j)
                if (campi[j].quando == c.anche && campi[j].anche == Sempre && SempreScritto(campi[j])) {
                    dai(i, j);
                    break;
                }
        if (c.forma == Forma::ArrotondatoOUno && SempreScritto(c))
            for (std::size_t j = 0; j < campi.size(); ++j)
                if (campi[j].colonna == c.altra) {
                    dai(j, i);
                    break;
                }
    }
    const auto insieme = [&](std::size_t i, std::size_t j) {
        return campi[i].quando == campi[j].quando && campi[i].anche == campi[j].anche && SempreScritto(campi[j]);
    };
    for (std::size_t i = 0; i < campi.size(); ++i) {
        if ((campi[i].quando == Sempre && campi[i].anche == Sempre) || campi[i].colonna == Nessuna ||
            !SempreScritto(campi[i]))
            continue;
        bool primo = true;
        for (std::size_t j = 0; j < i; ++j)
            primo = primo && !(campi[j].colonna != Nessuna && insieme(j, i));
        if (!primo)
            continue;
        if (campi[i].quando.colonna == campi[i].colonna) {
            std::size_t primoFisso = campi.size();
            for (std::size_t j = 0; j < campi.size(); ++j)
                if (campi[j].colonna == Nessuna && insieme(i, j)) {
                    dai(i, j);
                    primoFisso = std::min(primoFisso, j);
                }
            if (primoFisso < campi.size())
                dai(primoFisso, i);
        }
        std::size_t ultimo = i;
        for (std::size_t j = i + 1; j < campi.size(); ++j)
            if (campi[j].colonna != Nessuna && insieme(i, j)) {
                dai(ultimo, j);
                ultimo = j;
            }
        if (ultimo != i)
            dai(ultimo, i);
    }
}

// Every link of records G, handed to `dai`: those of quadri DA, DB and DC, then those of the DC groups in
// each row that holds one.
template <typename Dai> constexpr void Legami(Dai dai) {
    using namespace tabelleQuadri;
    for (const auto& campi : {std::span<const Campo>(CampiCompilatiDA), std::span<const Campo>(CampiCompilatiDB),
                              std::span<const Campo>(CampiCompilatiDC)})
        LegamiDellaTabella(campi,
                           [&](std::size_t se, std::size_t allora) { dai(campi[se].codice, campi[allora].codice); });
    LegamiDellaTabella(CampiCompilatiGruppiDC[0][0], [&](std::size_t se, std::size_t allora) {
        for (const auto& rigo : CampiCompilatiGruppiDC[0])
            dai(rigo[se].codice, rigo[allora].codice);
    });
}
} // namespace dettaglio

inline constexpr auto LegamiDeiCampi = [] {
    constexpr std::size_t n = [] {
        std::size_t quanti = 0;
        dettaglio::Legami([&](std::string_view, std::string_view) { ++quanti; });
        return quanti;
    }();
    std::array<Legame, n> legami{};
    std::size_t i = 0;
    dettaglio::Legami([&](std::string_view se, std::string_view allora) { legami[i++] = {se, allora}; });
    return legami;
}();

} // namespace conv770
