#include "anagrafe/lettere.h"

#include <array>

namespace anagrafe {
namespace {

// Each row: the characters (both cases, accented forms included) that read as its base letters.
struct RigaLettere {
    std::string_view caratteri;
    std::string_view base;
};

// clang-format off
constexpr RigaLettere RigheLettere[] = {
    {"Aa\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5", "A"},
    {"\xC6\xE6",                                         "AE"},
    {"Bb",                                               "B"},
    {"Cc\xC7\xE7",                                       "C"},
    {"Dd\xD0\xF0",                                       "D"},
    {"Ee\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB",                 "E"},
    {"Ff",                                               "F"},
    {"Gg",                                               "G"},
    {"Hh",                                               "H"},
    {"Ii\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF",                 "I"},
    {"Jj",                                               "J"},
    {"Kk",                                               "K"},
    {"Ll",                                               "L"},
    {"Mm",                                               "M"},
    {"Nn\xD1\xF1",                                       "N"},
    {"Oo\xD2\xD3\xD4\xD5\xD6\xD8\xF2\xF3\xF4\xF5\xF6\xF8", "O"},
    {"Pp",                                               "P"},
    {"Qq",                                               "Q"},
    {"Rr",                                               "R"},
    {"Ss",                                               "S"},
    {"\xDF",                                             "SS"},
    {"Tt",                                               "T"},
    {"\xDE\xFE",                                         "TH"},
    {"Uu\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC",                 "U"},
    {"Vv",                                               "V"},
    {"Ww",                                               "W"},
    {"Xx",                                               "X"},
    {"Yy\xDD\xFD\xFF",                                   "Y"},
    {"Zz",                                               "Z"},
};
// clang-format on

constexpr std::array<std::string_view, 256> CostruisciTabella() {
    std::array<std::string_view, 256> tabella{};
    for (const RigaLettere& riga : RigheLettere) {
        for (char c : riga.caratteri) {
            tabella[static_cast<unsigned char>(c)] = riga.base;
        }
    }
    return tabella;
}

constexpr std::array<std::string_view, 256> TabellaLettere = CostruisciTabella();

} // namespace

std::string_view LetteraBase(char c) { return TabellaLettere[static_cast<unsigned char>(c)]; }

bool Vocale(char lettera) {
    return lettera == 'A' || lettera == 'E' || lettera == 'I' || lettera == 'O' || lettera == 'U';
}

} // namespace anagrafe
