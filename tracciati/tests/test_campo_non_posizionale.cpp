// The non-positional field encoder, type by type: widths, cuts, masks and their rounding, the text of
// numbers, and the continuation blocks of AN; and the value parts read back.

#include "tracciati/campo_non_posizionale.h"
#include "shell/errore.h"
#include "tracciati/tests/dato_prova.h"
#include "tracciati/tracciato.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>

namespace tracciati {
namespace {

std::string Spazi(std::size_t n) { return std::string(n, ' '); }
// n characters of a recognisable text: "ABCDEFGHIJ..." over and over.
std::string Lettere(std::size_t n) {
    std::string testo;
    for (std::size_t i = 0; i < n; ++i)
        testo += static_cast<char>('A' + i % 26);
    return testo;
}

using test::Dato;

struct Caso {
    const char* nome;
    Dato valore;
    Tipo tipo;
    std::string atteso; // after the code "QQ001002"
};
void PrintTo(const Caso& caso, std::ostream* os) { *os << caso.nome; }
std::string Nome(const testing::TestParamInfo<Caso>& info) { return info.param.nome; }

class CampoNonPosizionaleCaso : public testing::TestWithParam<Caso> {};

// Appended after the fields already in the area: whole blocks of 24, nothing when the field is empty.
TEST_P(CampoNonPosizionaleCaso, AggiuntoInCodaAllArea) {
    const Caso& caso = GetParam();
    const std::string prima = "ZZ999999" + Lettere(16);
    std::string area = prima;
    AggiungiCampoNonPosizionale(area, "QQ001002", caso.valore.Come(), caso.tipo);
    EXPECT_EQ(area, prima + (caso.atteso.empty() ? "" : "QQ001002" + caso.atteso));
    EXPECT_EQ(area.size() % LunghezzaBlocco, 0u);
}

// What the encoder writes reads back, as an area, to a value that the encoder writes the same; or it is
// told apart (a text where a number belongs, a value cut to 16 characters).
TEST_P(CampoNonPosizionaleCaso, LettoERiscritto) {
    const Caso& caso = GetParam();
    const std::string campo = caso.atteso.empty() ? "" : "QQ001002" + caso.atteso;
    const VoceCatalogo catalogo[] = {{"QQ001002", caso.tipo}};
    AreaLetta area;
    const std::string_view aree[] = {campo};
    area.Leggi(aree, catalogo);
    if (campo.empty()) {
        EXPECT_TRUE(area.Campi().empty());
        return;
    }
    ASSERT_EQ(area.Campi().size(), 1u);
    if (!area.Segnalazioni().empty()) {
        EXPECT_NE(area.Segnalazioni()[0].difformita, Difformita::Fisso);
        return;
    }
    std::string riscritto;
    AggiungiCampoNonPosizionale(riscritto, "QQ001002", area.Campi()[0].valore, caso.tipo);
    EXPECT_EQ(riscritto, campo);
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
            std::string intero, doppio;
            AggiungiCampoNonPosizionale(intero, "QQ001002", static_cast<long long>(numero), tipo);
            AggiungiCampoNonPosizionale(doppio, "QQ001002", numero, tipo);
            EXPECT_EQ(intero, doppio) << numero << " tipo " << static_cast<int>(tipo);
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

TEST(CampoNonPosizionale, CodiceScrittoComeDato) {
    // The code is written as given: a group field "A22" of row 003.
    std::string area;
    AggiungiCampoNonPosizionale(area, "DC003A22", 12, Tipo::NP);
    EXPECT_EQ(area, "DC003A22" + Spazi(14) + "12");
}

TEST(CampoNonPosizionale, AlPiu32767Blocchi) {
    const std::string massimo = Lettere(16 + 32766 * 15);
    std::string campo;
    AggiungiCampoNonPosizionale(campo, "DB001065", massimo, Tipo::AN);
    EXPECT_EQ(campo.size(), 32767u * 24);
    EXPECT_EQ(campo.substr(campo.size() - 24, 9), "DB001065+");
    std::string troppo;
    EXPECT_THROW(AggiungiCampoNonPosizionale(troppo, "DB001065", massimo + "X", Tipo::AN), shell::ErroreElaborazione);
}

// ---------------------------------------------------------------------------------------------------
// Reading a value part back.

struct CasoLettura {
    const char* nome;
    std::string valore; // the 16 characters
    Tipo tipo;
    Difformita difformita;
    Dato letto; // the value read, when it has one
};
void PrintTo(const CasoLettura& caso, std::ostream* os) { *os << caso.nome; }

class LetturaValore : public testing::TestWithParam<CasoLettura> {};

bool StessoValore(const Valore& a, const Valore& b) {
    // Flags compare as the whole number of their bits.
    const auto genere = [](const Valore& v) {
        return v.Di() == Valore::Genere::Flag ? Valore::Genere::Intero : v.Di();
    };
    if (genere(a) != genere(b))
        return false;
    switch (genere(a)) {
    case Valore::Genere::Testo:
        return a.ComeTesto() == b.ComeTesto();
    case Valore::Genere::Numero:
        return a.ComeNumero() == b.ComeNumero();
    case Valore::Genere::Data:
        return a.ComeData() == b.ComeData();
    default:
        return a.ComeIntero() == b.ComeIntero();
    }
}

TEST_P(LetturaValore, ValoreODifformita) {
    const CasoLettura& caso = GetParam();
    ASSERT_EQ(caso.valore.size(), 16u);
    const Lettura lettura = LeggiValoreNonPosizionale(caso.valore, caso.tipo);
    EXPECT_EQ(lettura.difformita, caso.difformita) << lettura.atteso;
    EXPECT_EQ(lettura.atteso.empty(), caso.difformita == Difformita::Nessuna);
    if (caso.difformita != Difformita::Formato) {
        EXPECT_TRUE(StessoValore(lettura.valore, caso.letto.Come()));
    }
}

const auto Nessuna = Difformita::Nessuna;
const auto Formato = Difformita::Formato;
const auto Forma = Difformita::Forma;
std::string Destra(const std::string& testo) { return Spazi(16 - testo.size()) + testo; }

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tipi, LetturaValore, testing::Values(
    CasoLettura{"ANSpaziCompresi",   " bg" + Spazi(13),       Tipo::AN,   Nessuna, " bg" + Spazi(13)},
    CasoLettura{"CFPieno",           "RSSMRA80A01H501U",      Tipo::CF,   Nessuna, "RSSMRA80A01H501U"},
    CasoLettura{"Si",                Destra("1"),             Tipo::SI,   Nessuna, "S\xCC"},
    CasoLettura{"SiAltro",           Destra("X"),             Tipo::SI,   Formato, ""},
    CasoLettura{"SiASinistra",       "1" + Spazi(15),         Tipo::SI,   Formato, ""},
    CasoLettura{"Si12",              "    101000000001",      Tipo::SI12, Nessuna, 1 + 4 + 2048},
    CasoLettura{"Si12Due",           "    101000000002",      Tipo::SI12, Formato, ""},
    CasoLettura{"Si12SenzaSpazi",    "X101000000000000",      Tipo::SI12, Formato, ""},
    CasoLettura{"NPIntero",          Destra("-400"),          Tipo::NP,   Nessuna, -400},
    CasoLettura{"NPZero",            Destra("0"),             Tipo::NP,   Nessuna, 0},
    CasoLettura{"NPDecimali",        Destra("1234,5"),        Tipo::NP,   Nessuna, 1234.5},
    CasoLettura{"NPMenoMezzo",       Destra("-0,5"),          Tipo::NP,   Nessuna, -0.5},
    CasoLettura{"NPSedici",          "1000000000000000",      Tipo::NP,   Nessuna, 1000000000000000LL},
    CasoLettura{"NPQuindiciCifre",   "123456789,123457",      Tipo::NP,   Nessuna, 123456789.123457},
    CasoLettura{"NPZeroInTesta",     Destra("0012"),          Tipo::NP,   Forma,   12},
    CasoLettura{"NPZeroInFondo",     Destra("1,50"),          Tipo::NP,   Forma,   1.5},
    CasoLettura{"NPMenoZero",        Destra("-0"),            Tipo::NP,   Forma,   0},
    CasoLettura{"NPSediciCifre",     "1,23456789012345",      Tipo::NP,   Nessuna, 1.23456789012345},
    CasoLettura{"NPQuattordiciDec",  "0,12345678901234",      Tipo::NP,   Nessuna, 0.12345678901234},
    CasoLettura{"NPVuoto",           Spazi(16),               Tipo::NP,   Formato, ""},
    CasoLettura{"NPLettere",         Destra("ABC"),           Tipo::NP,   Formato, ""},
    CasoLettura{"NPSpazioDentro",    Destra("12 3"),          Tipo::NP,   Formato, ""},
    CasoLettura{"NPVirgolaSola",     Destra("12,"),           Tipo::NP,   Formato, ""},
    CasoLettura{"NPPunto",           Destra("1.234"),         Tipo::NP,   Formato, ""},
    CasoLettura{"NUVuoto",           Spazi(16),               Tipo::NU,   Nessuna, 0},
    CasoLettura{"NUCifre",           Destra("1235"),          Tipo::NU,   Nessuna, 1235},
    CasoLettura{"NUZeroScritto",     Destra("0"),             Tipo::NU,   Forma,   0},
    CasoLettura{"N3",                Destra("007"),           Tipo::N3,   Nessuna, 7},
    CasoLettura{"N3Lungo",           Destra("1234"),          Tipo::N3,   Nessuna, 1234},
    CasoLettura{"N3ZeroInPiu",       Destra("0123"),          Tipo::N3,   Forma,   123},
    CasoLettura{"N3Corto",           Destra("07"),            Tipo::N3,   Formato, ""},
    CasoLettura{"N3MenoZero",        Destra("-000"),          Tipo::N3,   Forma,   0},
    CasoLettura{"N10Negativo",       Destra("-0000000012"),   Tipo::N10,  Nessuna, -12},
    CasoLettura{"N5Vuoto",           Spazi(16),               Tipo::N5,   Formato, ""},
    CasoLettura{"PCMilioni",         Destra("1.234.567"),     Tipo::PC,   Nessuna, 1234567},
    CasoLettura{"PCTre",             Destra("999"),           Tipo::PC,   Nessuna, 999},
    CasoLettura{"PCVuoto",           Spazi(16),               Tipo::PC,   Nessuna, 0},
    CasoLettura{"PCGruppoCorto",     Destra("1.23.456"),      Tipo::PC,   Formato, ""},
    CasoLettura{"PCSenzaPunti",      Destra("1234"),          Tipo::PC,   Formato, ""},
    CasoLettura{"PCTagliato",        ".234.567.890.123",      Tipo::PC,   Formato, ""},
    CasoLettura{"PCZeroInTesta",     Destra("0.234"),         Tipo::PC,   Forma,   234},
    CasoLettura{"DT",                Spazi(8) + "05031960",   Tipo::DT,   Nessuna, shell::Data{1960, 3, 5}},
    CasoLettura{"DTImpossibile",     Spazi(8) + "31022010",   Tipo::DT,   Formato, ""},
    CasoLettura{"DTTesto",           Destra("31/02/2010"),    Tipo::DT,   Formato, ""},
    CasoLettura{"DTVuoto",           Spazi(16),               Tipo::DT,   Formato, ""}
), [](const testing::TestParamInfo<CasoLettura>& info) { return std::string(info.param.nome); });
// clang-format on

// Every value part that reads without a Difformita gives its 16 characters back through the encoder:
// value parts made of the characters of numbers, in every place, for every type.
TEST(LetturaValore, OgniValoreLettoSiRiscriveUguale) {
    std::uint64_t seme = 20110614;
    const auto prossimo = [&seme] {
        seme = seme * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::size_t>(seme >> 33);
    };
    const std::string alfabeto = "0123456789000-,.1 ";
    const Tipo tipi[] = {Tipo::SI, Tipo::SI12, Tipo::CB, Tipo::NP,  Tipo::NU, Tipo::N1,
                         Tipo::N3, Tipo::N4,   Tipo::N5, Tipo::N10, Tipo::PC, Tipo::DT};
    for (const Tipo tipo : tipi) {
        int letti = 0;
        for (int prova = 0; prova < 20000; ++prova) {
            // Spaces, then a text of 1 to 16 characters of the alphabet.
            const std::size_t lunghezza = 1 + prossimo() % 16;
            std::string valore = Spazi(16 - lunghezza);
            for (std::size_t i = 0; i < lunghezza; ++i)
                valore += alfabeto[prossimo() % alfabeto.size()];
            const Lettura lettura = LeggiValoreNonPosizionale(valore, tipo);
            if (lettura.difformita != Difformita::Nessuna)
                continue;
            ++letti;
            std::string area;
            AggiungiCampoNonPosizionale(area, "QQ001002", lettura.valore, tipo);
            ASSERT_EQ(area, "QQ001002" + valore) << static_cast<int>(tipo);
        }
        if (tipo != Tipo::SI && tipo != Tipo::DT && tipo != Tipo::SI12) {
            EXPECT_GT(letti, 100) << static_cast<int>(tipo);
        }
    }
}

// Every number the encoder writes within 16 characters reads back without a Difformita, and as the
// same 16 characters: amounts in cents, finer fractions, whole numbers of every size.
TEST(LetturaValore, OgniNumeroScrittoSiRilegge) {
    std::uint64_t seme = 4242;
    const auto prossimo = [&seme] {
        seme = seme * 6364136223846793005ULL + 1442695040888963407ULL;
        return seme >> 11;
    };
    const double divisori[] = {1, 100, 10, 1000, 3, 7, 1e6};
    const Tipo tipi[] = {Tipo::NP, Tipo::NU, Tipo::N1, Tipo::N3, Tipo::N4, Tipo::N5, Tipo::N10, Tipo::PC};
    for (int i = 0; i < 50000; ++i) {
        std::uint64_t limite = 1;
        for (std::uint64_t c = 1 + prossimo() % 16; c > 0; --c)
            limite *= 10;
        const double numero = static_cast<double>(static_cast<std::int64_t>(prossimo() % limite)) *
                              (prossimo() % 2 ? -1 : 1) / divisori[prossimo() % std::size(divisori)];
        for (const Tipo tipo : tipi) {
            std::string area;
            AggiungiCampoNonPosizionale(area, "QQ001002", numero, tipo);
            char testo[LunghezzaMassimaTesto];
            // A value cut to its last 16 characters cannot be read back.
            if (tipo == Tipo::NP && TestoValore(numero, testo).size() > 16)
                continue;
            if (tipo != Tipo::NP && std::fabs(numero) >= 1e12)
                continue;
            const Lettura lettura = LeggiValoreNonPosizionale(std::string_view(area).substr(8), tipo);
            ASSERT_EQ(lettura.difformita, Difformita::Nessuna) << numero << " " << area << " " << lettura.atteso;
            std::string riscritto;
            AggiungiCampoNonPosizionale(riscritto, "QQ001002", lettura.valore, tipo);
            ASSERT_EQ(riscritto, area) << numero;
        }
    }
}

struct CasoNumero {
    const char* nome;
    double numero;
    std::string atteso;
};
void PrintTo(const CasoNumero& caso, std::ostream* os) { *os << caso.nome; }

class TestoNumeroCaso : public testing::TestWithParam<CasoNumero> {};

std::string TestoNumero(double numero) {
    char testo[LunghezzaMassimaTesto];
    return std::string(TestoValore(numero, testo));
}

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
        risultato +=
            cifre.substr(0, static_cast<std::size_t>(interi)) + "," + cifre.substr(static_cast<std::size_t>(interi));
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
    for (const double numero : {0.01, -0.01, 0.05, 99999999999.99, 9999999999999.99, -9999999999999.99, 1e13 - 0.01,
                                1e13 + 0.5, 1e-300, -5e-324, 1e300})
        EXPECT_EQ(TestoNumero(numero), TestoNumeroAllaLunga(numero)) << numero;
}

} // namespace
} // namespace tracciati
