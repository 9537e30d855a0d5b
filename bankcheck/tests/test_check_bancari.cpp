#include "bankcheck/check_bancari.h"
#include "bankcheck/funzioni.h"

#include "bankcheck/tests/iban_reali.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace bankcheck {
namespace {

using test::IbanReale;
using test::LeggiIbanReali;

TEST(CheckBancari, CalcolaCinLasciaLeProprietaNormalizzate) {
    CheckBancari c;
    c.Abi("5428");
    c.Cab(" 11101 ");
    c.ContoCorrente("123 456");
    EXPECT_EQ(c.Abi(), "5428"); // the properties store what they are given
    EXPECT_EQ(c.CalcolaCin(), "X");
    EXPECT_EQ(c.Abi(), "05428");
    EXPECT_EQ(c.Cab(), "11101");
    EXPECT_EQ(c.ContoCorrente(), "000000123456");
    EXPECT_EQ(c.Cin(), ""); // the CIN is returned, not stored
}

struct CasoCin {
    const char* nome;
    std::string abi, cab, conto;
    std::string cin;
};
// A case prints as its name: in the test list (and so in the test names that ctest is given) it
// would otherwise be its raw bytes, padding and heap addresses included, different at every run.
void PrintTo(const CasoCin& c, std::ostream* os) { *os << c.nome; }

class CalcolaCinTest : public testing::TestWithParam<CasoCin> {};

TEST_P(CalcolaCinTest, LetteraDelleTabelle) {
    CheckBancari c;
    c.Abi(GetParam().abi);
    c.Cab(GetParam().cab);
    c.ContoCorrente(GetParam().conto);
    EXPECT_EQ(c.CalcolaCin(), GetParam().cin);
}

// The letters were summed by hand over the odd and even tables; between them the cases put every
// character index 0-28 at an odd position at least once.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, CalcolaCinTest, testing::Values(
    CasoCin{"Esempio",            "05428", "11101", "000000123456", "X"},
    CasoCin{"DaNormalizzare",     "5428",  "11101", "123456",       "X"},
    CasoCin{"LettereIndiciPari",  "ABCDE", "FGHIJ", "KLMNOPQRSTUV", "B"},
    CasoCin{"LettereIndiciDispari","BDFHJ","LNPRT", "VWXYZ-.K0123", "J"},
    CasoCin{"SpazioEPunteggiatura","D0 0L","0H0P0", "T0W0Y0-03070", "M"},
    CasoCin{"Minuscole",          "d0 0l", "0h0p0", "t0w0y0-03070", "M"},
    CasoCin{"TrattiPuntiSpazi",   "1 2",   "a-b.c", "XYZ-00.9",     "W"},
    CasoCin{"SpaziNelContoTolti", "05428", "11101", "0 0 0 0 0 0 1 2 3 4 5 6", "X"},
    CasoCin{"ContoTroppoLungo",   "05428", "11101", "99000000123456", "X"},
    CasoCin{"TuttoVuoto",         "",      "",      "",             "L"},
    CasoCin{"Barra",              "05428", "11101", "123/456",      ""},
    CasoCin{"Accentata",          "05428", "11101", "123\xC8" "56", ""},
    CasoCin{"Tab",                "054\t8","11101", "123456",       ""}),
    [](const auto& info) { return info.param.nome; });
// clang-format on

TEST(CheckBancari, VerificaCinConfrontoEsatto) {
    CheckBancari c;
    c.Abi("05428");
    c.Cab("11101");
    c.ContoCorrente("123456");
    EXPECT_TRUE(c.VerificaCin("X"));
    EXPECT_FALSE(c.VerificaCin("x"));
    EXPECT_FALSE(c.VerificaCin("Y"));
    EXPECT_FALSE(c.VerificaCin(""));
    c.ContoCorrente("123/456"); // no CIN: only the empty text agrees
    EXPECT_FALSE(c.VerificaCin("X"));
    EXPECT_TRUE(c.VerificaCin(""));
}

TEST(CheckBancari, NormalizzaIBAN) {
    EXPECT_EQ(CheckBancari::NormalizzaIBAN("it60 x054-2811"), "IT60X0542811");
    EXPECT_EQ(CheckBancari::NormalizzaIBAN("\xE8t/6.0_\t"), "T60");
    EXPECT_EQ(CheckBancari::NormalizzaIBAN(" -. "), "");
}

TEST(CheckBancari, EsempioIBAN) {
    CheckBancari c;
    EXPECT_EQ(c.CalcolaIBAN("IT", "X0542811101000000123456"), "IT60X0542811101000000123456");
    EXPECT_EQ(c.CalcolaCheckIBAN("IT", "X0542811101000000123456"), "60");
    EXPECT_TRUE(c.CheckIBAN("IT60X0542811101000000123456"));
    EXPECT_FALSE(c.CheckIBAN("IT61X0542811101000000123456"));
    EXPECT_TRUE(c.CheckIBAN("it60 x054 2811 1010 0000 0123 456"));
}

class IbanRealeTest : public testing::TestWithParam<IbanReale> {};

TEST_P(IbanRealeTest, CinCheckEIban) {
    const IbanReale& r = GetParam();
    CheckBancari c;
    c.Abi(r.abi);
    c.Cab(r.cab);
    c.ContoCorrente(r.conto);
    EXPECT_EQ(c.CalcolaCin(), r.cin);
    EXPECT_EQ(c.CalcolaBBAN(), r.cin + r.abi + r.cab + r.conto);
    EXPECT_EQ(c.CalcolaCheckIBAN(r.paese, c.CalcolaBBAN()), r.check);
    EXPECT_EQ(c.CalcolaIBAN(r.paese, ""), r.iban);
    EXPECT_TRUE(c.CheckIBAN(r.iban));
}

TEST_P(IbanRealeTest, OgniCifraCambiataERifiutata) {
    const std::string& iban = GetParam().iban;
    const CheckBancari c;
    for (std::size_t i = 2; i < iban.size(); ++i) {
        if (iban[i] < '0' || iban[i] > '9')
            continue;
        for (char cifra = '0'; cifra <= '9'; ++cifra) {
            if (cifra == iban[i])
                continue;
            std::string cambiato = iban;
            cambiato[i] = cifra;
            EXPECT_FALSE(c.CheckIBAN(cambiato)) << cambiato;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tabella, IbanRealeTest, testing::ValuesIn(LeggiIbanReali()),
                         [](const auto& info) { return info.param.iban; });

TEST(CheckBancari, IbanRealiLetti) { EXPECT_GE(LeggiIbanReali().size(), 8u); }

TEST(CheckBancari, CodiceEsteroSenzaControlloDiLunghezza) {
    const CheckBancari c;
    EXPECT_TRUE(c.CheckIBAN("GB82 WEST 1234 5698 7654 32"));
    EXPECT_FALSE(c.CheckIBAN("GB82 WEST 1234 5698 7654 33"));
}

TEST(CheckBancari, CheckIBANSenzaLettereNeCifre) {
    CheckBancari c;
    c.BBAN("X0542811101000000123456"); // the properties do not stand in for an empty text
    c.Abi("05428");
    EXPECT_FALSE(c.CheckIBAN(""));
    EXPECT_FALSE(c.CheckIBAN(" - . "));
}

TEST(CheckBancari, CheckIBANDiOltre32767Caratteri) {
    // "IT" + check + 40,000 zeros: no counter of the arithmetic limits the length.
    const std::string zeri(40000, '0');
    CheckBancari c;
    const std::string iban = c.CalcolaIBAN("IT", zeri);
    ASSERT_EQ(iban.size(), 40004u);
    EXPECT_TRUE(c.CheckIBAN(iban));
}

TEST(CheckBancari, CalcolaIBANUsaPaeseEBBANDelleProprieta) {
    CheckBancari c;
    c.Paese("IT");
    c.BBAN("X05428 11101 000000123456");
    EXPECT_EQ(c.CalcolaIBAN("", ""), "IT60X0542811101000000123456");

    CheckBancari senzaBBAN; // falls back to CalcolaBBAN of the coordinates
    senzaBBAN.Abi("5428");
    senzaBBAN.Cab("11101");
    senzaBBAN.ContoCorrente("123456");
    EXPECT_EQ(senzaBBAN.CalcolaIBAN("", ""), "IT60X0542811101000000123456");
}

TEST(CheckBancari, CalcolaIBANNonNormalizzaIlPaese) {
    CheckBancari c;
    EXPECT_EQ(c.CalcolaIBAN("it", "x0542811101000000123456"), "it60X0542811101000000123456");
}

TEST(CheckBancari, PaeseNonUtilizzabileDaTestoVuoto) {
    CheckBancari c;
    for (const std::string paese : {"I T", "I-", "\xC8T", "IT."}) {
        EXPECT_EQ(c.CalcolaIBAN(paese, "X0542811101000000123456"), "") << paese;
        EXPECT_EQ(c.CalcolaCheckIBAN(paese, "X0542811101000000123456"), "") << paese;
    }
}

TEST(CheckBancari, DivisoreNonPositivoNonBloccaIlCalcolo) {
    CheckBancari c;
    for (const std::int16_t divisore : {0, -97}) {
        c.Divisore(divisore);
        EXPECT_EQ(c.CalcolaIBAN("IT", "X0542811101000000123456"), "");
        EXPECT_FALSE(c.CheckIBAN("IT60X0542811101000000123456"));
    }
}

TEST(CheckBancari, CheckDueCifreAncheConAltriDivisori) {
    CheckBancari c;
    c.Divisore(11);
    // "X05428IT00" reads 3305428182900: mod 11 it is 8, so 11 + 1 - 8 = 4, written "04".
    EXPECT_EQ(c.CalcolaIBAN("IT", "X05428"), "IT04X05428");
    c.Divisore(1000);
    // 3305428182900 mod 1000 = 900: 1000 + 1 - 900 = 101, all its digits kept.
    EXPECT_EQ(c.CalcolaCheckIBAN("IT", "X05428"), "101");
}

// The check digits come from the remainder worked out in place, which is the one the text division gives of
// the code turned by four characters with its letters as numbers: for countries of any two characters (which
// are not normalised), accounts of every length up to 40 and divisors small, large, zero and negative.
TEST(CheckBancari, CifreDiControlloComeLaDivisioneDelTesto) {
    const std::string caratteri = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZaz -";
    unsigned seme = 12345;
    const auto prossimo = [&] { return seme = seme * 1103515245u + 12345u, (seme >> 16) & 0x7FFF; };
    const auto carattere = [&] { return caratteri[prossimo() % caratteri.size()]; };
    for (const std::int16_t divisore : {97, 1, 10, 9999, 32767, 0, -97}) {
        CheckBancari banca;
        banca.Divisore(divisore);
        for (std::size_t lunghezza = 1; lunghezza <= 40; ++lunghezza) {
            for (int prova = 0; prova < 20; ++prova) {
                const std::string paese{carattere(), carattere()};
                std::string bban;
                for (std::size_t i = 0; i < lunghezza; ++i)
                    bban += carattere();
                const std::string codice = paese + "00" + CheckBancari::NormalizzaIBAN(bban);
                const std::string cifre = LettereInNumeri(codice.substr(4) + codice.substr(0, 4));
                const auto divisione = DividiNumero(cifre, std::to_string(divisore));
                std::string atteso;
                if (divisione) {
                    atteso = std::to_string(divisore + 1 - std::stoi((*divisione)[1]));
                    atteso.insert(0, atteso.size() < 2 ? 2 - atteso.size() : 0, '0');
                }
                EXPECT_EQ(banca.CalcolaCheckIBAN(paese, bban), atteso) << paese << bban << " / " << divisore;
            }
        }
    }
}

TEST(CheckBancari, CalcolaBBAN) {
    CheckBancari c;
    c.Abi("5428");
    c.Cab("11101");
    c.ContoCorrente("123456");
    EXPECT_EQ(c.CalcolaBBAN(), "X0542811101000000123456");
    c.Cin("Q"); // a CIN set by the caller is taken as it is
    EXPECT_EQ(c.CalcolaBBAN(), "Q0542811101000000123456");
    c.IBAN("it60 X054 2811 1010 0000 0123 456"); // an IBAN set takes precedence
    EXPECT_EQ(c.CalcolaBBAN(), "X0542811101000000123456");
    c.IBAN("IT6");
    EXPECT_EQ(c.CalcolaBBAN(), "");
}

TEST(CheckBancari, CalcolaBBANSenzaCinUsaLeCoordinateSenzaCin) {
    CheckBancari c;
    c.Abi("05428");
    c.Cab("11101");
    c.ContoCorrente("1234/6");
    EXPECT_EQ(c.CalcolaBBAN(), "05428111010000001234/6");
    // The "/" is dropped by the normalisation; 98 - (054281110100000012346 182900 mod 97) = 11.
    EXPECT_EQ(c.CalcolaIBAN("IT", c.CalcolaBBAN()), "IT11054281110100000012346");
}

} // namespace
} // namespace bankcheck
