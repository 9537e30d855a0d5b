#include "anagrafe/nomi.h"

#include <gtest/gtest.h>

#include <ostream>

namespace anagrafe {
namespace {

struct CasoLettere {
    const char* nome;
    std::string testo;
    std::string atteso;
};
void PrintTo(const CasoLettere& c, std::ostream* os) { *os << c.nome; }

class LettereCognomeTest : public testing::TestWithParam<CasoLettere> {};

TEST_P(LettereCognomeTest, ConsonantiVocaliX) { EXPECT_EQ(LettereCognome(GetParam().testo), GetParam().atteso); }

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, LettereCognomeTest, testing::Values(
    CasoLettere{"TreConsonanti",         "ROSSI",              "RSS"},
    CasoLettere{"DueConsonantiEVocale",  "BIANCHI",            "BNC"},
    CasoLettere{"UnaConsonante",         "POE",                "POE"},
    CasoLettere{"DueLettereX",           "FO",                 "FOX"},
    CasoLettere{"SoloConsonantiX",       "NG",                 "NGX"},
    CasoLettere{"SoloVocali",            "AI",                 "AIX"},
    CasoLettere{"Apostrofo",             "D'ANGELO",           "DNG"},
    CasoLettere{"Spazio",                "DE LUCA",            "DLC"},
    CasoLettere{"ApostrofoESpazio",      "DELL' ORTO",         "DLL"},
    CasoLettere{"Trattino",              "RE-PAU",             "RPE"},
    CasoLettere{"Minuscole",             "rossi",              "RSS"},
    CasoLettere{"AccentoFinale",         "FR\xC8",             "FRE"},
    CasoLettere{"AccentoMinuscolo",      "nicol\xF2",          "NCL"},
    CasoLettere{"Dieresi",               "\xD6Z",              "ZOX"},
    CasoLettere{"EsseTedesca",           "BU\xDF",             "BSS"},
    CasoLettere{"XConsonante",           "XU",                 "XUX"},
    CasoLettere{"CifreEPuntiTolti",      "O.2",                "OXX"},
    CasoLettere{"Vuoto",                 "",                   "XXX"}),
    [](const auto& info) { return info.param.nome; });
// clang-format on

class LettereNomeTest : public testing::TestWithParam<CasoLettere> {};

TEST_P(LettereNomeTest, PrimaTerzaQuartaConsonanteOComeIlCognome) {
    EXPECT_EQ(LettereNome(GetParam().testo), GetParam().atteso);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, LettereNomeTest, testing::Values(
    CasoLettere{"SeiConsonanti",         "GIANFRANCO",         "GFR"},
    CasoLettere{"QuattroConsonanti",     "ALBERTO",            "LRT"},
    CasoLettere{"CinqueConsonanti",      "CRISTINA",           "CST"},
    CasoLettere{"TreConsonanti",         "CARLO",              "CRL"},
    CasoLettere{"TreConsonantiAccento",  "NICOL\xD2",          "NCL"},
    CasoLettere{"DueConsonanti",         "MARIA",              "MRA"},
    CasoLettere{"DueConsonantiDueVocali", "LUCA",              "LCU"},
    CasoLettere{"UnaConsonanteAle",      "ALE",                "LAE"},
    CasoLettere{"UnaConsonanteEva",      "EVA",                "VEA"},
    CasoLettere{"UnaConsonanteIda",      "IDA",                "DIA"},
    CasoLettere{"UnaConsonanteUgo",      "UGO",                "GUO"},
    CasoLettere{"AccentoFinale",         "NO\xC8",             "NOE"},
    CasoLettere{"DueLettere",            "AL",                 "LAX"},
    CasoLettere{"DueVocali",             "IO",                 "IOX"},
    CasoLettere{"DoppioNome",            "ANNA MARIA",         "NMR"},
    CasoLettere{"DoppioNomeTrattino",    "GIAN-LUCA",          "GLC"},
    CasoLettere{"Minuscole",             "gianfranco",         "GFR"}),
    [](const auto& info) { return info.param.nome; });
// clang-format on

class DecodificaOmocodiaTest : public testing::TestWithParam<CasoLettere> {};

TEST_P(DecodificaOmocodiaTest, LettereDeiPostiCifreInCifre) {
    EXPECT_EQ(DecodificaOmocodia(GetParam().testo), GetParam().atteso);
}

// L M N P Q R S T U V stand for 0 to 9 in places 7, 8, 10, 11, 13, 14 and 15 only: the month letter
// (place 9: July is L) and the letter of the place code (place 12) stay whatever they are.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, DecodificaOmocodiaTest, testing::Values(
    CasoLettere{"NessunaLettera",     "RSSMRA85T10A562S", "RSSMRA85T10A562S"},
    CasoLettere{"UnPosto",            "RSSMRA85T10A56NS", "RSSMRA85T10A562S"},
    CasoLettere{"Anno",               "RSSMRAU5T10A562S", "RSSMRA85T10A562S"},
    CasoLettere{"Giorno",             "RSSMRA85TMLA562S", "RSSMRA85T10A562S"},
    CasoLettere{"GiornoDonna",        "RSSMRA85TSLA562S", "RSSMRA85T60A562S"},
    CasoLettere{"CodiceLuogo",        "RSSMRA85T10ARSNS", "RSSMRA85T10A562S"},
    CasoLettere{"SettePosti",         "RSSMRAURTMLARSNS", "RSSMRA85T10A562S"},
    CasoLettere{"NoveEZero",          "RSSMRAVLT10A562S", "RSSMRA90T10A562S"},
    CasoLettere{"MeseELuogoLettere",  "RSSMRA85L10L2MVX", "RSSMRA85L10L219X"},
    CasoLettere{"AltreLettereTenute", "RSSMRAA5T1WA562S", "RSSMRAA5T1WA562S"},
    CasoLettere{"TroppoCorto",        "RSSMRA85T10A56N",  "RSSMRA85T10A56N"},
    CasoLettere{"TroppoLungo",        "RSSMRA85T10A56NSL", "RSSMRA85T10A56NSL"},
    CasoLettere{"CodiceNumerico",     "12345678901",      "12345678901"}),
    [](const auto& info) { return info.param.nome; });
// clang-format on

} // namespace
} // namespace anagrafe
