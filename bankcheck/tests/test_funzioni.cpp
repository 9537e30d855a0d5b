#include "bankcheck/funzioni.h"

#include <gtest/gtest.h>

#include <ostream>

namespace bankcheck {
namespace {

struct CasoRiempiZeri {
    const char* nome;
    std::string testo;
    std::int16_t n;
    std::string atteso;
};
// A case prints as its name: in the test list (and so in the test names that ctest is given) it
// would otherwise be its raw bytes, padding and heap addresses included, different at every run.
void PrintTo(const CasoRiempiZeri& c, std::ostream* os) { *os << c.nome; }

class RiempiZeriTest : public testing::TestWithParam<CasoRiempiZeri> {};

TEST_P(RiempiZeriTest, TogliSpaziRiempieETaglia) {
    EXPECT_EQ(RiempiZeri(GetParam().testo, GetParam().n), GetParam().atteso);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, RiempiZeriTest, testing::Values(
    CasoRiempiZeri{"SpaziIntorno",      " 123 ",   5, "00123"},
    CasoRiempiZeri{"TroppoLungo",       "1234567", 5, "34567"},
    CasoRiempiZeri{"LunghezzaEsatta",   "12345",   5, "12345"},
    CasoRiempiZeri{"Vuoto",             "",        5, "00000"},
    CasoRiempiZeri{"SoloSpazi",         "   ",     3, "000"},
    CasoRiempiZeri{"SpazioInterno",     "5 42",    5, "05 42"},
    CasoRiempiZeri{"TabNonTolto",       "\t1",     3, "0\t1"},
    CasoRiempiZeri{"LettereTenute",     "ab",      4, "00ab"},
    CasoRiempiZeri{"LunghezzaZero",     "123",     0, ""},
    CasoRiempiZeri{"LunghezzaNegativa", "123",    -1, ""}),
    [](const auto& info) { return info.param.nome; });
// clang-format on

TEST(LettereInNumeri, LettereDiEntrambiICasiAltriCaratteriTenuti) {
    EXPECT_EQ(LettereInNumeri("IT60X"), "18296033");
    EXPECT_EQ(LettereInNumeri("az-AZ. 9"), "1035-1035. 9");
    EXPECT_EQ(LettereInNumeri("\xE0\xC8"), "\xE0\xC8"); // accented letters are not A-Z
    EXPECT_EQ(LettereInNumeri(""), "");
}

struct CasoDivisione {
    const char* nome;
    std::string numero;
    std::string divisore;
    std::string quoziente;
    std::string resto;
};
void PrintTo(const CasoDivisione& c, std::ostream* os) { *os << c.nome; }

class DividiNumeroTest : public testing::TestWithParam<CasoDivisione> {};

TEST_P(DividiNumeroTest, QuozienteERestoComeTesti) {
    const auto risultato = DividiNumero(GetParam().numero, GetParam().divisore);
    ASSERT_TRUE(risultato.has_value());
    EXPECT_EQ((*risultato)[0], GetParam().quoziente);
    EXPECT_EQ((*risultato)[1], GetParam().resto);
}

// The long quotients were computed independently with arbitrary-precision integers.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, DividiNumeroTest, testing::Values(
    CasoDivisione{"Esempio",          "1234567",                      "97",  "12727", "48"},
    CasoDivisione{"ZeriInTesta",      "0001234567",                   "97",  "12727", "48"},
    CasoDivisione{"MinoreDelDivisore","007",                          "97",  "0",     "7"},
    CasoDivisione{"Zero",             "0",                            "97",  "0",     "0"},
    CasoDivisione{"Esatto",           "9409",                         "97",  "97",    "0"},
    CasoDivisione{"NumeroVuoto",      "",                             "97",  "0",     ""},
    CasoDivisione{"DivisoreUno",      "0504",                         "1",   "504",   "0"},
    CasoDivisione{"DivisoreZeriTesta","1234567",                      "097", "12727", "48"},
    CasoDivisione{"IbanEstero",       "3214282912345698765432161182", "97",
                  "33136937240677306860125373", "1"},
    CasoDivisione{"QuarantaCifre",    std::string(40, '9'),           "97",
                  "103092783505154639175257731958762886597", "90"}),
    [](const auto& info) { return info.param.nome; });
// clang-format on

TEST(DividiNumero, NessunValoreSeNumeroODivisoreNonSonoCifre) {
    EXPECT_FALSE(DividiNumero("12a4", "97"));
    EXPECT_FALSE(DividiNumero("12 4", "97"));
    EXPECT_FALSE(DividiNumero("-124", "97"));
    EXPECT_FALSE(DividiNumero("124", ""));
    EXPECT_FALSE(DividiNumero("124", "0"));
    EXPECT_FALSE(DividiNumero("124", "000"));
    EXPECT_FALSE(DividiNumero("124", "-97"));
    EXPECT_FALSE(DividiNumero("124", "9x"));
    EXPECT_FALSE(DividiNumero("124", "100000000000000000")); // 10^17
    const auto massimo = DividiNumero("99999999999999999123", "99999999999999999");
    ASSERT_TRUE(massimo);
    EXPECT_EQ((*massimo)[0], "1000");
    EXPECT_EQ((*massimo)[1], "123");
}

} // namespace
} // namespace bankcheck
