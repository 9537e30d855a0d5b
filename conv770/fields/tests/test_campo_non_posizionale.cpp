// The non-positional field encoder, type by type: widths, cuts, masks and their rounding, the text of
// numbers, and the continuation blocks of AN.

#include "campo_non_posizionale.h"
#include "errore.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <ostream>
#include <string>

namespace conv770::fields {
namespace {

std::string Spazi(std::size_t n) { return std::string(n, ' '); }
// n characters of a recognisable text: "ABCDEFGHIJ..." over and over.
std::string Lettere(std::size_t n) {
    std::string testo;
    for (std::size_t i = 0; i < n; ++i)
        testo += static_cast<char>('A' + i % 26);
    return testo;
}

struct Caso {
    const char* nome;
    Valore valore;
    Tipo tipo;
    std::string atteso; // after the code "QQ001002"
};
void PrintTo(const Caso& caso, std::ostream* os) { *os << caso.nome; }
std::string Nome(const testing::TestParamInfo<Caso>& info) { return info.param.nome; }

class CampoNonPosizionaleCaso : public testing::TestWithParam<Caso> {};

TEST_P(CampoNonPosizionaleCaso, ValoreInBlocchiDa24) {
    const Caso& caso = GetParam();
    const std::string campo = CampoNonPosizionale("QQ", "001", "002", caso.valore, caso.tipo);
    EXPECT_EQ(campo, caso.atteso.empty() ? "" : "QQ001002" + caso.atteso);
    EXPECT_EQ(campo.size() % LunghezzaBlocco, 0u);
}

// Appended in place after the fields already in the area, with the code whole or in its parts: the
// same bytes, and nothing appended when the field is empty.
TEST_P(CampoNonPosizionaleCaso, AggiuntoInCodaAllArea) {
    const Caso& caso = GetParam();
    const std::string prima = "ZZ999999" + Lettere(16);
    const std::string attesa = prima + (caso.atteso.empty() ? "" : "QQ001002" + caso.atteso);
    std::string area = prima;
    AggiungiCampoNonPosizionale(area, "QQ", "001", "002", caso.valore, caso.tipo);
    EXPECT_EQ(area, attesa);
    area = prima;
    AggiungiCampoNonPosizionale(area, "QQ001002", caso.valore, caso.tipo);
    EXPECT_EQ(area, attesa);
}

// Texts, whole numbers and numbers written without a Valore: the same bytes as through one, for
// every case.
TEST_P(CampoNonPosizionaleCaso, SenzaValoreGliStessiByte) {
    const Caso& caso = GetParam();
    const std::string prima = "ZZ999999" + Lettere(16);
    const std::string attesa = prima + (caso.atteso.empty() ? "" : "QQ001002" + caso.atteso);
    std::string area = prima;
    std::string intera = prima;
    if (caso.valore.Testo()) {
        AggiungiCampoTesto(area, "QQ", "001", "002", caso.valore.ComeTesto(), caso.tipo);
        AggiungiCampoTesto(intera, "QQ001002", caso.valore.ComeTesto(), caso.tipo);
    } else if (caso.valore.Intero()) {
        AggiungiCampoIntero(area, "QQ", "001", "002", caso.valore.ComeIntero(), caso.tipo);
        AggiungiCampoIntero(intera, "QQ001002", caso.valore.ComeIntero(), caso.tipo);
    } else if (caso.valore.Numero()) {
        AggiungiCampoNumero(intera, "QQ001002", caso.valore.ComeNumero(), caso.tipo);
        area = attesa; // only with the whole code
    } else {
        GTEST_SKIP() << "a date: always through a Valore";
    }
    EXPECT_EQ(area, attesa);
    EXPECT_EQ(intera, attesa);
}

// A whole double within 15 digits is written, in every type, as the same whole number: the amounts
// of the record G tables are written as whole numbers on that ground.
TEST(CampoNonPosizionale, DoubleInteroComeIntero) {
    // clang-format off
    const double numeri[] = {0.0, -0.0, 1, -1, 7, 999, 1000, -1234, 1234567, 999999999999999, -999999999999999,
                             123456789012345, 4503599627370496.0 / 8};
    const Tipo tipi[] = {Tipo::AN, Tipo::CF, Tipo::CN, Tipo::PI, Tipo::SI, Tipo::SI12, Tipo::CB, Tipo::NP,
                         Tipo::NU, Tipo::N1, Tipo::N3, Tipo::N4, Tipo::N5, Tipo::N10, Tipo::PC, Tipo::DT};
    // clang-format on
    for (const double numero : numeri)
        for (const Tipo tipo : tipi) {
            std::string area;
            AggiungiCampoIntero(area, "QQ", "001", "002", static_cast<long long>(numero), tipo);
            EXPECT_EQ(area, CampoNonPosizionale("QQ", "001", "002", numero, tipo))
                << numero << " tipo " << static_cast<int>(tipo);
        }
}

// A code in parts of other lengths, or longer than the room kept for it on the stack, is joined the
// same.
TEST(CampoNonPosizionale, CodiceInPartiQualsiasi) {
    EXPECT_EQ(CampoNonPosizionale("D", "A0010", "02", 12, Tipo::NP), "DA001002" + Spazi(14) + "12");
    EXPECT_EQ(CampoNonPosizionale("", "", "DA001002", "X", Tipo::CF), "DA001002X" + Spazi(15));
    const std::string quadro = Lettere(30);
    EXPECT_EQ(CampoNonPosizionale(quadro, "001", "002", "X", Tipo::AN), quadro + "001002X" + Spazi(15));
    EXPECT_EQ(CampoNonPosizionale(quadro, "001", "002", 12, Tipo::N3), quadro + "001002" + Spazi(13) + "012");
    std::string area;
    AggiungiCampoTesto(area, quadro, "001", "002", Lettere(20), Tipo::AN);
    EXPECT_EQ(area, quadro + "001002" + Lettere(16) + quadro + "001002+" + "QRST" + Spazi(11));
}

// The NP field of a whole number written without a Valore: the bytes of the general encoder.
TEST(CampoNP, ComeIlCampoDiUnValoreIntero) {
    // clang-format off
    const std::int64_t numeri[] = {0, 7, -1, 1234, -400, 999999999999999, -999999999999999,
                                   1234567890123456, -1234567890123456, 9223372036854775807,
                                   -9223372036854775807 - 1};
    // clang-format on
    for (const std::int64_t numero : numeri) {
        std::string area = "ZZ999999" + Lettere(16);
        std::string attesa = area;
        AggiungiCampoNP(area, "QQ", "001", "002", numero);
        AggiungiCampoNonPosizionale(attesa, "QQ", "001", "002", Valore(static_cast<long long>(numero)), Tipo::NP);
        EXPECT_EQ(area, attesa) << numero;
        EXPECT_EQ(area.size(), 48u) << numero;
    }
}

const std::string Sedici = Lettere(16);
const std::string Quaranta = Lettere(40);

// clang-format off
INSTANTIATE_TEST_SUITE_P(AN, CampoNonPosizionaleCaso, testing::Values(
    Caso{"Vuoto",            "",               Tipo::AN, Spazi(16)},
    Caso{"Corto",            "ROSSI",          Tipo::AN, "ROSSI" + Spazi(11)},
    Caso{"NonToccato",       " bg ",           Tipo::AN, " bg " + Spazi(12)},
    Caso{"Accentato",        "NICOL\xD2",      Tipo::AN, "NICOL\xD2" + Spazi(10)},
    Caso{"SediciUnBlocco",   Sedici,           Tipo::AN, Sedici},
    Caso{"DiciassetteDue",   Lettere(17),      Tipo::AN, Sedici + "QQ001002+" + "Q" + Spazi(14)},
    Caso{"TrentunoDue",      Lettere(31),      Tipo::AN, Sedici + "QQ001002+" + Lettere(31).substr(16)},
    Caso{"TrentaduoTre",     Lettere(32),      Tipo::AN, Sedici + "QQ001002+" + Lettere(31).substr(16) +
                                                         "QQ001002+" + "F" + Spazi(14)},
    Caso{"QuarantaTre",      Quaranta,         Tipo::AN, Sedici + "QQ001002+" + Quaranta.substr(16, 15) +
                                                         "QQ001002+" + Quaranta.substr(31) + Spazi(6)},
    Caso{"Numero",           1234.5,           Tipo::AN, "1234,5" + Spazi(10)},
    Caso{"Data",             shell::Data{1960, 3, 5}, Tipo::AN, "05/03/1960" + Spazi(6)}
), Nome);

INSTANTIATE_TEST_SUITE_P(CF_CN_PI, CampoNonPosizionaleCaso, testing::Values(
    Caso{"CFPieno",          "RSSMRA80A01H501U", Tipo::CF, "RSSMRA80A01H501U"},
    Caso{"CFTagliato",       Lettere(20),        Tipo::CF, Sedici},
    Caso{"CFVuoto",          "",                 Tipo::CF, Spazi(16)},
    Caso{"CFAccentato",      "\xC0\xC8\xCC",     Tipo::CF, "\xC0\xC8\xCC" + Spazi(13)},
    Caso{"CNCorto",          "12345678901",      Tipo::CN, "12345678901" + Spazi(5)},
    Caso{"CNTagliato",       Lettere(17),        Tipo::CN, Sedici},
    Caso{"PINumero",         -400.0,             Tipo::PI, "-400" + Spazi(12)}
), Nome);

INSTANTIATE_TEST_SUITE_P(SI_SI12, CampoNonPosizionaleCaso, testing::Values(
    Caso{"SiAccentato",      "S\xCC",            Tipo::SI,   Spazi(15) + "1"},
    Caso{"SiSenzaAccento",   "SI",               Tipo::SI,   ""},
    Caso{"No",               "NO",               Tipo::SI,   ""},
    Caso{"SiMinuscolo",      "S\xEC",            Tipo::SI,   ""},
    Caso{"SiConSpazio",      " S\xCC",           Tipo::SI,   ""},
    Caso{"SiVuoto",          "",                 Tipo::SI,   ""},
    Caso{"SiNumero",         1,                  Tipo::SI,   ""},
    Caso{"Si12Vuoto",        "",                 Tipo::SI12, Spazi(4) + "000000000000"},
    Caso{"Si12UnPezzo",      "X",                Tipo::SI12, Spazi(4) + "100000000000"},
    Caso{"Si12BuchiInMezzo", "A\x1D\x1D" "B",    Tipo::SI12, Spazi(4) + "101000000000"},
    Caso{"Si12PrimoVuoto",   "\x1D" "X",         Tipo::SI12, Spazi(4) + "010000000000"},
    Caso{"Si12Separatori",   "\x1D\x1D\x1D",     Tipo::SI12, Spazi(4) + "000000000000"},
    Caso{"Si12OltreDodici",  "1\x1D" "2\x1D" "3\x1D" "4\x1D" "5\x1D" "6\x1D" "7\x1D" "8\x1D" "9\x1D"
                             "10\x1D" "11\x1D" "\x1D" "13",
                                                 Tipo::SI12, Spazi(4) + "111111111110"}
), Nome);

INSTANTIATE_TEST_SUITE_P(CB_NP, CampoNonPosizionaleCaso, testing::Values(
    Caso{"CBCorto",          "12345",            Tipo::CB, Spazi(11) + "12345"},
    Caso{"CBTagliatoASinistra", "IT60X0542811101000000123456", Tipo::CB, "1101000000123456"},
    Caso{"NPDecimali",       1234.5,             Tipo::NP, Spazi(10) + "1234,5"},
    Caso{"NPNegativo",       -400.0,             Tipo::NP, Spazi(12) + "-400"},
    Caso{"NPZero",           0.0,                Tipo::NP, Spazi(15) + "0"},
    Caso{"NPZeroNegativo",   -0.0,               Tipo::NP, Spazi(15) + "0"},
    Caso{"NPMezzo",          0.5,                Tipo::NP, Spazi(13) + "0,5"},
    Caso{"NPSommaBinaria",   0.1 + 0.2,          Tipo::NP, Spazi(13) + "0,3"},
    Caso{"NPQuindiciCifre",  123456789.123456789, Tipo::NP, "123456789,123457"},
    Caso{"NPIntero",         2735,               Tipo::NP, Spazi(12) + "2735"},
    Caso{"NPInteroGrande",   123456789012345678LL, Tipo::NP, "3456789012345678"},
    Caso{"NPPienoSedici",    1e15,               Tipo::NP, "1000000000000000"},
    Caso{"NPTesto",          "ABC",              Tipo::NP, Spazi(13) + "ABC"},
    Caso{"NPVuoto",          "",                 Tipo::NP, Spazi(16)}
), Nome);

INSTANTIATE_TEST_SUITE_P(Maschere, CampoNonPosizionaleCaso, testing::Values(
    Caso{"NUZero",           0.0,                Tipo::NU,  Spazi(16)},
    Caso{"NUArrotondaSu",    1234.5,             Tipo::NU,  Spazi(12) + "1235"},
    Caso{"NUMezzoLontano",   2.5,                Tipo::NU,  Spazi(15) + "3"},
    Caso{"NUMezzoNegativo",  -2.5,               Tipo::NU,  Spazi(14) + "-3"},
    Caso{"NUQuasiZero",      0.4,                Tipo::NU,  Spazi(16)},
    Caso{"NUQuasiZeroNeg",   -0.4,               Tipo::NU,  Spazi(16)},
    Caso{"NUTestoItaliano",  "1.234,5",          Tipo::NU,  Spazi(12) + "1235"},
    Caso{"NUTestoNonNumero", "ABC",              Tipo::NU,  Spazi(13) + "ABC"},
    Caso{"NUTestoVuoto",     "",                 Tipo::NU,  Spazi(16)},
    Caso{"NUSedici",         9999999999999999LL, Tipo::NU,  "9999999999999999"},
    Caso{"NUDiciassette",    10000000000000000LL, Tipo::NU, "0000000000000000"},
    Caso{"N1Zero",           0.0,                Tipo::N1,  Spazi(15) + "0"},
    Caso{"N1Mezzo",          0.5,                Tipo::N1,  Spazi(15) + "1"},
    Caso{"N1MezzoNegativo",  -0.5,               Tipo::N1,  Spazi(14) + "-1"},
    Caso{"N3Sette",          7,                  Tipo::N3,  Spazi(13) + "007"},
    Caso{"N3MenoSette",      -7.0,               Tipo::N3,  Spazi(12) + "-007"},
    Caso{"N3Zero",           0,                  Tipo::N3,  Spazi(13) + "000"},
    Caso{"N3PiuLungo",       1234,               Tipo::N3,  Spazi(12) + "1234"},
    Caso{"N4Arrotonda",      12.5,               Tipo::N4,  Spazi(12) + "0013"},
    Caso{"N5Cap",            "00184",            Tipo::N5,  Spazi(11) + "00184"},
    Caso{"N10",              12.0,               Tipo::N10, Spazi(6) + "0000000012"},
    Caso{"N10Negativo",      -12.0,              Tipo::N10, Spazi(5) + "-0000000012"},
    Caso{"PCMilioni",        1234567,            Tipo::PC,  Spazi(7) + "1.234.567"},
    Caso{"PCZero",           0,                  Tipo::PC,  Spazi(16)},
    Caso{"PCTreCifre",       999,                Tipo::PC,  Spazi(13) + "999"},
    Caso{"PCArrotondaAMille", 999.5,             Tipo::PC,  Spazi(11) + "1.000"},
    Caso{"PCNegativo",       -1234.0,            Tipo::PC,  Spazi(10) + "-1.234"},
    Caso{"PCQuindici",       123456789012LL,     Tipo::PC,  Spazi(1) + "123.456.789.012"},
    Caso{"PCTagliato",       1234567890123LL,    Tipo::PC,  ".234.567.890.123"},
    Caso{"NUData",           shell::Data{2011, 6, 14}, Tipo::NU, Spazi(6) + "14/06/2011"},
    Caso{"NUPiuGrandeIntero", 9223372036854775807LL, Tipo::NU, "3372036854775807"},
    Caso{"N3PiuPiccoloIntero", -9223372036854775807LL - 1, Tipo::N3, "3372036854775808"},
    Caso{"PCNegativoMezzo",  -0.4,               Tipo::PC,  Spazi(16)},
    Caso{"PCTestoMilioni",   "-1.234.567,5",     Tipo::PC,  Spazi(6) + "-1.234.568"},
    Caso{"N10Enorme",        -1e20,              Tipo::N10, "0000000000000000"}
), Nome);

INSTANTIATE_TEST_SUITE_P(DT, CampoNonPosizionaleCaso, testing::Values(
    Caso{"Data",             shell::Data{1960, 3, 5}, Tipo::DT, Spazi(8) + "05031960"},
    Caso{"TestoData",        "5/3/1960",         Tipo::DT, Spazi(8) + "05031960"},
    Caso{"TestoNonData",     "31/02/2010",       Tipo::DT, Spazi(6) + "31/02/2010"},
    Caso{"Vuoto",            "",                 Tipo::DT, Spazi(16)}
), Nome);
// clang-format on

TEST(CampoNonPosizionale, TipoPerCodiceInOgniMaiuscolo) {
    EXPECT_EQ(CampoNonPosizionale("DA", "001", "002", "ROSSI", "an"),
              CampoNonPosizionale("DA001002", "ROSSI", Tipo::AN));
    EXPECT_EQ(CampoNonPosizionale("DC", "001", "011", "X", "Si12"), "DC001011    100000000000");
    EXPECT_EQ(CampoNonPosizionale("DA", "001", "002", "ROSSI", "XX"), "");
    EXPECT_EQ(CampoNonPosizionale("DA", "001", "002", "ROSSI", ""), "");
    for (const char* codice : {"AN", "CF", "CN", "PI", "SI", "SI12", "CB", "NP", "NU", "N1", "N3", "N4", "N5",
                               "N10", "PC", "DT"})
        EXPECT_TRUE(TipoDaCodice(codice).has_value()) << codice;
    EXPECT_FALSE(TipoDaCodice("N2").has_value());
}

TEST(CampoNonPosizionale, CodiceScrittoComeDato) {
    // The code parts are joined as given: a group field "A22" of row 003.
    EXPECT_EQ(CampoNonPosizionale("DC", "003", "A22", 12, Tipo::NP), "DC003A22" + Spazi(14) + "12");
}

TEST(CampoNonPosizionale, AlPiu32767Blocchi) {
    const std::string massimo = Lettere(16 + 32766 * 15);
    const std::string campo = CampoNonPosizionale("DB001065", massimo, Tipo::AN);
    EXPECT_EQ(campo.size(), 32767u * 24);
    EXPECT_EQ(campo.substr(campo.size() - 24, 9), "DB001065+");
    EXPECT_THROW(CampoNonPosizionale("DB001065", massimo + "X", Tipo::AN), shell::ErroreElaborazione);
}

struct CasoNumero {
    const char* nome;
    double numero;
    std::string atteso;
};
void PrintTo(const CasoNumero& caso, std::ostream* os) { *os << caso.nome; }

class TestoNumeroCaso : public testing::TestWithParam<CasoNumero> {};

TEST_P(TestoNumeroCaso, FormaDecimalePiuBreve) { EXPECT_EQ(TestoNumero(GetParam().numero), GetParam().atteso); }

// clang-format off
INSTANTIATE_TEST_SUITE_P(Numeri, TestoNumeroCaso, testing::Values(
    CasoNumero{"Intero",           1234,                 "1234"},
    CasoNumero{"Decimali",         1234.5,               "1234,5"},
    CasoNumero{"Mezzo",            0.5,                  "0,5"},
    CasoNumero{"Negativo",         -400,                 "-400"},
    CasoNumero{"NegativoDecimale", -0.75,                "-0,75"},
    CasoNumero{"Zero",             0,                    "0"},
    CasoNumero{"ZeroNegativo",     -0.0,                 "0"},
    CasoNumero{"SommaBinaria",     0.1 + 0.2,            "0,3"},
    CasoNumero{"QuasiIntero",      2734.9999999999995,   "2735"},
    CasoNumero{"UnTerzo",          1.0 / 3,              "0,333333333333333"},
    CasoNumero{"Piccolo",          0.00001,              "0,00001"},
    CasoNumero{"Grande",           1e20,                 "100000000000000000000"},
    CasoNumero{"QuindiciCifre",    123456789012345.0,    "123456789012345"},
    CasoNumero{"SediciCifre",      1234567890123456.0,   "1234567890123460"}
), [](const testing::TestParamInfo<CasoNumero>& info) { return std::string(info.param.nome); });
// clang-format on

// The rule worked out the long way with the C library's own formatting: 15 significant digits,
// trailing zeros dropped, the decimal point placed by the exponent.
std::string TestoNumeroAllaLunga(double numero) {
    if (numero == 0)
        return "0";
    char testo[64];
    std::snprintf(testo, sizeof testo, "%.14e", numero);
    std::string t = testo;
    const bool negativo = t[0] == '-';
    const std::size_t e = t.find('e');
    std::string cifre;
    for (std::size_t i = negativo ? 1 : 0; i < e; ++i)
        if (t[i] != '.')
            cifre += t[i];
    while (cifre.size() > 1 && cifre.back() == '0')
        cifre.pop_back();
    const long interi = std::stol(t.substr(e + 1)) + 1;
    std::string risultato = negativo ? "-" : "";
    if (interi <= 0)
        risultato += "0," + std::string(static_cast<std::size_t>(-interi), '0') + cifre;
    else if (static_cast<std::size_t>(interi) >= cifre.size())
        risultato += cifre + std::string(static_cast<std::size_t>(interi) - cifre.size(), '0');
    else
        risultato += cifre.substr(0, static_cast<std::size_t>(interi)) + "," +
                     cifre.substr(static_cast<std::size_t>(interi));
    return risultato;
}

// Amounts in cents and in finer fractions, of every size up to and past 1e13, and numbers that are
// not near any short decimal: the same text as the long way.
TEST(TestoNumero, ComeLaRegolaAllaLunga) {
    std::uint64_t seme = 4242;
    const auto prossimo = [&seme] {
        seme = seme * 6364136223846793005ULL + 1442695040888963407ULL;
        return seme >> 11;
    };
    const double divisori[] = {100, 10, 1000, 3, 7, 1e6};
    for (int i = 0; i < 100000; ++i) {
        const std::uint64_t cifre = 1 + prossimo() % 17;
        std::uint64_t limite = 1;
        for (std::uint64_t c = 0; c < cifre; ++c)
            limite *= 10;
        const double numero = static_cast<double>(static_cast<std::int64_t>(prossimo() % limite)) *
                              (prossimo() % 2 ? -1 : 1) / divisori[prossimo() % std::size(divisori)];
        ASSERT_EQ(TestoNumero(numero), TestoNumeroAllaLunga(numero)) << numero;
    }
    for (const double numero : {0.01, -0.01, 0.05, 99999999999.99, 9999999999999.99, -9999999999999.99,
                                1e13 - 0.01, 1e13 + 0.5, 1e-300, -5e-324, 1e300})
        EXPECT_EQ(TestoNumero(numero), TestoNumeroAllaLunga(numero)) << numero;
}

} // namespace
} // namespace conv770::fields
