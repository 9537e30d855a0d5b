#include "bankcheck/comandi.h"

#include "bankcheck/tests/iban_reali.h"

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>

namespace bankcheck {
namespace {

struct CasoComando {
    const char* nome;
    std::string comando;
    std::vector<std::string> argomenti;
    int uscita;
    std::string out;
    std::string err;
};
// A case prints as its name: in the test list (and so in the test names that ctest is given) it
// would otherwise be its raw bytes, padding and heap addresses included, different at every run.
void PrintTo(const CasoComando& c, std::ostream* os) { *os << c.nome; }

class EseguiComandoTest : public testing::TestWithParam<CasoComando> {};

TEST_P(EseguiComandoTest, UscitaEdEsito) {
    std::ostringstream out, err;
    EXPECT_EQ(EseguiComando(GetParam().comando, GetParam().argomenti, out, err), GetParam().uscita);
    EXPECT_EQ(out.str(), GetParam().out);
    EXPECT_EQ(err.str(), GetParam().err);
}

const std::string UsoCin = "Uso: fornitura cin ABI CAB CONTO\n";
const std::string UsoIban = "Uso: fornitura iban BBAN [PAESE]\n";
const std::string UsoCheck = "Uso: fornitura check-iban IBAN\n";
const std::string UsoTutti = "Uso:\n"
                             "  fornitura cin ABI CAB CONTO\n"
                             "  fornitura iban BBAN [PAESE]\n"
                             "  fornitura check-iban IBAN\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, EseguiComandoTest, testing::Values(
    CasoComando{"Cin",                 "cin", {"05428", "11101", "000000123456"}, 0, "X\n", ""},
    CasoComando{"CinDaNormalizzare",   "cin", {"5428", "11101", "123456"},       0, "X\n", ""},
    CasoComando{"CinImpossibile",      "cin", {"05428", "11101", "123/456"},     1, "", ""},
    CasoComando{"CinContoLungo",       "cin", {"05428", "11101", "1234567890 12"}, 1, "",
                "Lunghezza errata\n"},
    CasoComando{"CinPochiArgomenti",   "cin", {"05428", "11101"},                2, "", UsoCin},
    CasoComando{"CinTroppiArgomenti",  "cin", {"05428", "11101", "1", "2"},      2, "", UsoCin},
    CasoComando{"Iban",                "iban", {"X0542811101000000123456"},      0,
                "IT60X0542811101000000123456\n", ""},
    CasoComando{"IbanNormalizzato",    "iban", {"x05428 11101-000000123456", "IT"}, 0,
                "IT60X0542811101000000123456\n", ""},
    CasoComando{"IbanPaeseVuoto",      "iban", {"X0542811101000000123456", ""},  0,
                "IT60X0542811101000000123456\n", ""},
    CasoComando{"IbanEstero",          "iban", {"WEST12345698765432", "GB"},     0,
                "GB82WEST12345698765432\n", ""},
    CasoComando{"IbanPaeseImpossibile","iban", {"X0542811101000000123456", "I-"}, 1, "",
                "Paese non valido 'I-': sono ammesse solo lettere e cifre\n"},
    CasoComando{"IbanPaeseConSpazio",  "iban", {"X0542811101000000123456", "I T"}, 1, "",
                "Paese non valido 'I T': sono ammesse solo lettere e cifre\n"},
    CasoComando{"IbanBBANSenzaCifre",  "iban", {"-- --"},                        1, "",
                "BBAN non valido '-- --': non contiene lettere n\xE9 cifre\n"},
    CasoComando{"IbanBBANVuoto",       "iban", {""},                             2, "", UsoIban},
    CasoComando{"Check",               "check-iban", {"IT60X0542811101000000123456"}, 0,
                "IBAN corretto\n", ""},
    CasoComando{"CheckConSpazi",       "check-iban", {"IT60 X054 2811 1010 0000 0123 456"}, 0,
                "IBAN corretto\n", ""},
    CasoComando{"CheckErrato",         "check-iban", {"IT61X0542811101000000123456"}, 1,
                "IBAN errato\n", ""},
    CasoComando{"CheckVuoto",          "check-iban", {""},                       1,
                "IBAN errato\n", ""},
    CasoComando{"CheckDueArgomenti",   "check-iban", {"IT60", "X054"},           2, "", UsoCheck},
    CasoComando{"Sconosciuto",         "abi", {"05428"},                         2, "", UsoTutti}),
    [](const auto& info) { return info.param.nome; });
// clang-format on

TEST(EseguiComando, CheckIbanDegliIbanRealiEDiUnaCifraCambiata) {
    for (const auto& r : test::LeggiIbanReali()) {
        std::ostringstream out, err;
        EXPECT_EQ(EseguiComando("check-iban", {r.iban}, out, err), 0) << r.iban;
        EXPECT_EQ(out.str(), "IBAN corretto\n");

        std::string cambiato = r.iban;
        cambiato.back() = cambiato.back() == '9' ? '0' : static_cast<char>(cambiato.back() + 1);
        std::ostringstream outCambiato;
        EXPECT_EQ(EseguiComando("check-iban", {cambiato}, outCambiato, err), 1) << cambiato;
        EXPECT_EQ(outCambiato.str(), "IBAN errato\n");
        EXPECT_EQ(err.str(), "");
    }
}

} // namespace
} // namespace bankcheck
