#include "anagrafe/genera/csv.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>

namespace anagrafe::genera {
namespace {

using Righe = std::vector<std::vector<std::string>>;

TEST(LeggiCsv, CampiTraVirgolette) {
    const TabellaCsv csv = LeggiCsv("\xEF\xBB\xBF\"A\",\"B\",C\n"
                                    "\"x,y\",\"di \"\"lui\"\"\",\n"
                                    "\"due\nrighe\",\"\",z");
    EXPECT_EQ(csv.colonne, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(csv.righe, (Righe{{"x,y", "di \"lui\"", ""}, {"due\nrighe", "", "z"}}));
    EXPECT_EQ(csv.Colonna("C"), 2u);
    EXPECT_THROW((void)csv.Colonna("D"), std::runtime_error);
}

TEST(LeggiCsv, FineRigaCrLfESenzaBom) {
    const TabellaCsv csv = LeggiCsv("a,b\r\n1,2\r\n3,\"4\"\r\n");
    EXPECT_EQ(csv.colonne, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(csv.righe, (Righe{{"1", "2"}, {"3", "4"}}));
}

TEST(LeggiCsv, SoloIntestazione) {
    EXPECT_TRUE(LeggiCsv("a,b\n").righe.empty());
    EXPECT_TRUE(LeggiCsv("a,b").righe.empty());
}

struct CasoErrato {
    const char* nome;
    std::string testo;
    std::string messaggio; // a part of the error
};
void PrintTo(const CasoErrato& c, std::ostream* os) { *os << c.nome; }

class LeggiCsvErratoTest : public testing::TestWithParam<CasoErrato> {};

TEST_P(LeggiCsvErratoTest, ErroreConLaRiga) {
    try {
        (void)LeggiCsv(GetParam().testo);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().messaggio), std::string::npos) << e.what();
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, LeggiCsvErratoTest, testing::Values(
    CasoErrato{"Vuoto",                "",                          "empty"},
    CasoErrato{"SoloBom",              "\xEF\xBB\xBF",              "empty"},
    CasoErrato{"CampiInMeno",          "a,b\n1,2\n3\n",             "line 3: 1 fields, not 2"},
    CasoErrato{"CampiInPiu",           "a,b\n1,2,3\n",              "line 2: 3 fields"},
    CasoErrato{"RigaVuotaInMezzo",     "a,b\n\n1,2\n",              "line 2"},
    CasoErrato{"VirgoletteAperte",     "a,b\n1,\"2\n3,4\n",         "line 2: a quoted field is never closed"},
    CasoErrato{"VirgoletteInMezzo",    "a,b\n1,x\"y\n",             "line 2: a quote inside"},
    CasoErrato{"TestoDopoVirgolette",  "a,b\n1,\"x\"y\n",           "line 2: text after the closing quote"},
    CasoErrato{"RigaDopoCampoSuDueRighe", "a,b\n\"1\n1\",2\n3\n",   "line 4: 1 fields"}),
    [](const auto& info) { return info.param.nome; });
// clang-format on

struct CasoLatin1 {
    const char* nome;
    std::string utf8;
    std::string latin1; // empty: none
    std::string senzaAccenti;
};
void PrintTo(const CasoLatin1& c, std::ostream* os) { *os << c.nome; }

class Latin1Test : public testing::TestWithParam<CasoLatin1> {};

TEST_P(Latin1Test, MaiuscoloInLatin1) {
    const auto latin1 = Latin1Maiuscolo(GetParam().utf8);
    if (GetParam().latin1.empty()) {
        EXPECT_FALSE(latin1);
    } else {
        EXPECT_EQ(latin1, GetParam().latin1);
    }
    EXPECT_EQ(Latin1MaiuscoloSenzaAccenti(GetParam().utf8), GetParam().senzaAccenti);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, Latin1Test, testing::Values(
    CasoLatin1{"Ascii",             "Costa d'Avorio",           "COSTA D'AVORIO",   "COSTA D'AVORIO"},
    CasoLatin1{"AccentoGrave",      "Forl\xC3\xAC",             "FORL\xCC",         "FORL\xCC"},
    CasoLatin1{"GiaMaiuscolo",      "FORL\xC3\x8C",             "FORL\xCC",         "FORL\xCC"},
    CasoLatin1{"ADaMinuscola",      "citt\xC3\xA0",             "CITT\xC0",         "CITT\xC0"},
    CasoLatin1{"TuttoLatin1",       "\xC3\xA0\xC3\xBE",         "\xC0\xDE",         "\xC0\xDE"},
    CasoLatin1{"DivisioneTenuta",   "\xC3\xB7",                 "\xF7",             "\xF7"},
    CasoLatin1{"EsseTedescaTenuta", "Stra\xC3\x9F" "e",         "STRA\xDF" "E",     "STRA\xDF" "E"},
    CasoLatin1{"YDieresiTenuta",    "\xC3\xBF",                 "\xFF",             "\xFF"},
    CasoLatin1{"ZConPipa",          "NABRE\xC5\xBDINA",         "",                 "NABREZINA"},
    CasoLatin1{"CConPipaMinuscola", "So\xC4\x8Di",              "",                 "SOCI"},
    CasoLatin1{"LegaturaOE",        "\xC5\x93uvre",             "",                 "OEUVRE"},
    CasoLatin1{"VirgolaRumena",     "Timi\xC8\x99oara",         "",                 "TIMISOARA"},
    CasoLatin1{"ApostrofoTipografico", "Costa d\xE2\x80\x99" "Avorio", "",          "COSTA D'AVORIO"}),
    [](const auto& info) { return info.param.nome; });
// clang-format on

TEST(Latin1Maiuscolo, NonUtf8ECaratteriSenzaFormaLatin1) {
    for (const std::string testo : {"\xE0", "\xC3", "\xC3(", "\xC0\x80", "\xED\xA0\x80", "\xF8"}) {
        EXPECT_THROW((void)Latin1Maiuscolo(testo), std::runtime_error);
    }
    EXPECT_THROW((void)Latin1MaiuscoloSenzaAccenti("\xE2\x82\xAC"), std::runtime_error); // euro
    EXPECT_THROW((void)Latin1MaiuscoloSenzaAccenti("\xCE\xA9"), std::runtime_error);     // omega
    EXPECT_EQ(Latin1Maiuscolo("\xF0\x9F\x98\x80"), std::nullopt);                        // an emoji
}

} // namespace
} // namespace anagrafe::genera
