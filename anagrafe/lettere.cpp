#include "anagrafe/lettere.h"

#include "shell/testo.h"

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

// The characters beyond ISO-8859-1 that read as base letters, by ranges of codes (each letter's capital
// and small forms, and its variants, come together in Unicode).
struct IntervalloLettere {
    char32_t da, a;
    std::string_view base;
};

// clang-format off
constexpr IntervalloLettere LettereEstese[] = {
    {0x0100, 0x0105, "A"},  {0x0106, 0x010D, "C"},  {0x010E, 0x0111, "D"},  {0x0112, 0x011B, "E"},
    {0x011C, 0x0123, "G"},  {0x0124, 0x0127, "H"},  {0x0128, 0x0131, "I"},  {0x0132, 0x0133, "IJ"},
    {0x0134, 0x0135, "J"},  {0x0136, 0x0138, "K"},  {0x0139, 0x0142, "L"},  {0x0143, 0x014B, "N"},
    {0x014C, 0x0151, "O"},  {0x0152, 0x0153, "OE"}, {0x0154, 0x0159, "R"},  {0x015A, 0x0161, "S"},
    {0x0162, 0x0167, "T"},  {0x0168, 0x0173, "U"},  {0x0174, 0x0175, "W"},  {0x0176, 0x0178, "Y"},
    {0x0179, 0x017E, "Z"},  {0x017F, 0x017F, "S"},  {0x0218, 0x0219, "S"},  {0x021A, 0x021B, "T"},
};
// clang-format on

} // namespace

std::string_view LetteraBaseEstesa(char32_t codice) {
    for (const IntervalloLettere& riga : LettereEstese)
        if (codice >= riga.da && codice <= riga.a)
            return riga.base;
    return {};
}

std::string_view LetteraBaseIn(std::string_view testo, std::size_t& i) {
    std::size_t lunghezza = 0;
    if (const auto codice = shell::RiferimentoAllInizio(testo.substr(i), lunghezza)) {
        i += lunghezza;
        return LetteraBaseEstesa(*codice);
    }
    return LetteraBase(testo[i++]);
}

std::string_view LetteraBase(char c) { return TabellaLettere[static_cast<unsigned char>(c)]; }

bool Vocale(char lettera) {
    return lettera == 'A' || lettera == 'E' || lettera == 'I' || lettera == 'O' || lettera == 'U';
}

} // namespace anagrafe
