// How the UniEmens converter reads its fields and writes its numbers: leading numbers, whole numbers,
// exact amounts and their sum, the two amount formats, the length of the declared month.

#include "uniemens/campi.h"
#include "shell/conversioni.h"
#include "uniemens/voci.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace uniemens {
namespace {

template <typename T> std::string NomeRiga(const testing::TestParamInfo<T>& info) { return info.param.nome; }

struct CasoNumero {
    const char* nome;
    std::string testo;
    std::optional<double> atteso;
};
void PrintTo(const CasoNumero& c, std::ostream* os) { *os << c.nome; }

class NumeroInizialeTest : public testing::TestWithParam<CasoNumero> {};

TEST_P(NumeroInizialeTest, LeggeIlNumeroAllInizio) {
    const auto valore = NumeroIniziale(GetParam().testo);
    ASSERT_EQ(valore.has_value(), GetParam().atteso.has_value());
    if (valore) {
        EXPECT_EQ(*valore, *GetParam().atteso);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, NumeroInizialeTest, testing::Values(
    CasoNumero{"Intero",                  "1500",          1500.0},
    CasoNumero{"PuntoDecimale",           "1500.5",        1500.5},
    CasoNumero{"VirgolaFermaLaLettura",   "1500,75",       1500.0},
    CasoNumero{"MigliaiaConVirgola",      "1.500,75",      1500.0},
    CasoNumero{"MigliaiaMilioni",         "1.234.567,89",  1234567.0},
    CasoNumero{"PuntiSenzaVirgola",       "1.500",         1.5},
    CasoNumero{"SpaziOvunque",            " 1 2 3 ",       123.0},
    CasoNumero{"Segno",                   "-12.5X",        -12.5},
    CasoNumero{"LettereDanno0",           "N.D.",          0.0},
    CasoNumero{"Vuoto",                   "",              0.0},
    CasoNumero{"SoloVirgola",             ",5",            0.0},
    CasoNumero{"NessunEsponente",         "15E2",          15.0},
    CasoNumero{"OltreIlDouble",           std::string(400, '9'), std::nullopt},
    CasoNumero{"TroppoPiccoloVale0",      "0." + std::string(400, '0') + "1", 0.0}),
    NomeRiga<CasoNumero>);
// clang-format on

struct CasoIntero {
    const char* nome;
    std::string testo;
    std::optional<int> atteso;
};
void PrintTo(const CasoIntero& c, std::ostream* os) { *os << c.nome; }

class Intero16Test : public testing::TestWithParam<CasoIntero> {};

TEST_P(Intero16Test, ArrotondaAlPariEStaIn16Bit) {
    const auto valore = Intero16(GetParam().testo);
    ASSERT_EQ(valore.has_value(), GetParam().atteso.has_value());
    if (valore) {
        EXPECT_EQ(*valore, *GetParam().atteso);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, Intero16Test, testing::Values(
    CasoIntero{"Anno",               "2012",      2012},
    CasoIntero{"MezzoAlPariGiu",     "2.5",       2},
    CasoIntero{"MezzoAlPariSu",      "3.5",       4},
    CasoIntero{"NegativoMezzo",      "-2.5",      -2},
    CasoIntero{"Massimo",            "32767",     32767},
    CasoIntero{"OltreIlMassimo",     "32768",     std::nullopt},
    CasoIntero{"MezzoSopraIlMassimo","32767.5",   std::nullopt},
    CasoIntero{"Minimo",             "-32768",    -32768},
    CasoIntero{"SottoIlMinimo",      "-32769",    std::nullopt},
    CasoIntero{"MigliaiaConVirgola", "1.302,00",  1302},
    CasoIntero{"Vuoto",              "",          0}),
    NomeRiga<CasoIntero>);
// clang-format on

struct CasoImporto {
    const char* nome;
    std::string testo;
    bool valido;
    std::string contributo; // FormatoContributo
};
void PrintTo(const CasoImporto& c, std::ostream* os) { *os << c.nome; }

class ImportoTest : public testing::TestWithParam<CasoImporto> {};

// The amount is read exactly, accepts what shell::ValoreNumerico accepts, and is worth the same.
TEST_P(ImportoTest, LettoEsattoEFormattatoConDueDecimali) {
    const auto& caso = GetParam();
    const auto importo = LeggiImporto(caso.testo);
    ASSERT_EQ(importo.has_value(), caso.valido);
    const auto riferimento = shell::ValoreNumerico(caso.testo);
    if (!importo) {
        EXPECT_TRUE(!riferimento || std::fabs(*riferimento) >= 1e18) << "rifiutato ma leggibile";
        return;
    }
    ASSERT_TRUE(riferimento.has_value());
    const double valore = std::stod((importo->negativo ? "-" : "") + importo->interi + "." +
                                    (importo->decimali.empty() ? "0" : importo->decimali));
    EXPECT_DOUBLE_EQ(valore, *riferimento);
    EXPECT_EQ(FormatoContributo(*importo), caso.contributo);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, ImportoTest, testing::Values(
    //          nome                     testo               valido  Contributo
    CasoImporto{"UnDecimale",            "1234,5",           true,   "1234,50"},
    CasoImporto{"TreDecimaliSu",         "1234,567",         true,   "1234,57"},
    CasoImporto{"MezzoCentesimoSu",      "313,005",          true,   "313,01"},
    CasoImporto{"SottoMezzoCentesimo",   "313,00499",        true,   "313,00"},
    CasoImporto{"Zero",                  "0",                true,   "0,00"},
    CasoImporto{"Vuoto",                 "",                 true,   "0,00"},
    CasoImporto{"Migliaia",              "1.234,5",          true,   "1234,50"},
    CasoImporto{"MilioniRaggruppati",    "1.234.567,891",    true,   "1234567,89"},
    CasoImporto{"RiportoSuGliInteri",    "999,995",          true,   "1000,00"},
    CasoImporto{"VirgolaIniziale",       ",75",              true,   "0,75"},
    CasoImporto{"Negativo",              " -12,5 ",          true,   "-12,50"},
    CasoImporto{"NegativoArrotondatoA0", "-0,004",           true,   "0,00"},
    CasoImporto{"ZeriIniziali",          "007,1",            true,   "7,10"},
    CasoImporto{"VirgolaFinale",         "5,",               true,   "5,00"},
    CasoImporto{"PuntoEVirgola",         "396;96",           false,  ""},
    CasoImporto{"DueVirgole",            "1,2,3",            false,  ""},
    CasoImporto{"SoloSegno",             "-",                false,  ""},
    CasoImporto{"SpazioInterno",         "1 234",            false,  ""},
    CasoImporto{"DiciannoveCifre",       "1234567890123456789", false, ""}),
    NomeRiga<CasoImporto>);
// clang-format on

struct CasoSomma {
    const char* nome;
    std::vector<std::string> importi;
    std::int64_t arrotondata;
};
void PrintTo(const CasoSomma& c, std::ostream* os) { *os << c.nome; }

class SommaTest : public testing::TestWithParam<CasoSomma> {};

TEST_P(SommaTest, SommaEsattaArrotondataUnaVolta) {
    SommaImporti somma;
    for (const auto& testo : GetParam().importi)
        somma.Aggiungi(*LeggiImporto(testo));
    EXPECT_EQ(somma.ArrotondataSullaPrimaDecimale(), GetParam().arrotondata);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, SommaTest, testing::Values(
    CasoSomma{"Nessuno",               {},                                0},
    CasoSomma{"MezzoSale",             {"100,40", "200,10"},              301},
    CasoSomma{"QuattroDecimiScende",   {"100,20", "200,20"},              300},
    // In double precision this sum is 857.4999999999999.
    CasoSomma{"SommaCheIlDoubleSbaglia",{"100,07", "456,78", "300,65"},   858},
    CasoSomma{"RiportiDaDecimiLontani",{"0,4999999999999999999", "0,0000000000000000001"}, 1},
    CasoSomma{"NegativiPrestito",      {"10,30", "-0,90"},                9},
    CasoSomma{"TotaleNegativoMezzo",   {"-2,5"},                          -2},
    CasoSomma{"TotaleNegativoSeiDecimi",{"1", "-3,6"},                    -3},
    CasoSomma{"SecondaCifraNonConta",  {"2,49"},                          2}),
    NomeRiga<CasoSomma>);
// clang-format on

struct CasoImponibile {
    const char* nome;
    double valore;
    std::string atteso;
};
void PrintTo(const CasoImponibile& c, std::ostream* os) { *os << c.nome; }

class ImponibileTest : public testing::TestWithParam<CasoImponibile> {};

TEST_P(ImponibileTest, FormaDecimalePiuBreve) { EXPECT_EQ(FormatoImponibile(GetParam().valore), GetParam().atteso); }

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tabella, ImponibileTest, testing::Values(
    CasoImponibile{"Intero",              1500,                   "1500"},
    CasoImponibile{"UnDecimale",          1500.5,                 "1500,5"},
    CasoImponibile{"DecimaleBinario",     0.1,                    "0,1"},
    CasoImponibile{"MenoDiUno",           0.000125,               "0,000125"},
    CasoImponibile{"Negativo",            -12.25,                 "-12,25"},
    CasoImponibile{"QuindiciCifre",       123456789.123456789,    "123456789,123457"},
    CasoImponibile{"GrandeSenzaEsponente",1e17,                   "100000000000000000"},
    CasoImponibile{"RiportoDaArrotondare",999999999999999.9,      "1000000000000000"}),
    NomeRiga<CasoImponibile>);
// clang-format on

TEST(GiorniDelMese, UltimoGiornoDelMeseDichiarato) {
    EXPECT_EQ(GiorniDelMese(2012, 2), 29);
    EXPECT_EQ(GiorniDelMese(2011, 2), 28);
    EXPECT_EQ(GiorniDelMese(2000, 2), 29);
    EXPECT_EQ(GiorniDelMese(1900, 2), 28);
    EXPECT_EQ(GiorniDelMese(2011, 12), 31);
    EXPECT_EQ(GiorniDelMese(2012, 4), 30);
    EXPECT_EQ(GiorniDelMese(2012, 0), 31);   // December 2011
    EXPECT_EQ(GiorniDelMese(2012, 14), 28);  // February 2013
    EXPECT_EQ(GiorniDelMese(2012, -10), 28); // February 2011
}

TEST(CifreMinime, SchemiZeroZeroEQuattroZeri) {
    EXPECT_EQ(CifreMinime(2012, 4), "2012");
    EXPECT_EQ(CifreMinime(0, 4), "0000");
    EXPECT_EQ(CifreMinime(3, 2), "03");
    EXPECT_EQ(CifreMinime(12345, 2), "12345");
    EXPECT_EQ(CifreMinime(-5, 2), "-05");
}

TEST(Liste, ElementiESettimane) {
    using V = std::vector<std::string_view>;
    EXPECT_EQ(ElementiLista("", false), V{});
    EXPECT_EQ(ElementiLista("S\x1D\x1DN", false), (V{"S", "", "N"}));
    EXPECT_EQ(ElementiLista("1@X\x1D\x1D"
                            "2@Y",
                            true),
              (V{"1@X", "2@Y"}));
    EXPECT_EQ(ElementiLista("\x1D", true), V{});

    const auto settimana = DividiSettimana("2@Y@Z");
    ASSERT_TRUE(settimana);
    EXPECT_EQ(settimana->id, "2");
    EXPECT_EQ(settimana->copertura, "Y");
    const auto senzaId = DividiSettimana("@X");
    ASSERT_TRUE(senzaId);
    EXPECT_EQ(senzaId->id, "");
    EXPECT_FALSE(DividiSettimana("2"));
    EXPECT_EQ(DifettoCampo(Lettura::Settimane, "1@X\x1D"
                                               "2"),
              "settimana senza '@' '2'");
    EXPECT_EQ(DifettoCampo(Lettura::Settimane, "1@X\x1D\x1D"
                                               "2@X"),
              std::nullopt);
}

TEST(RigaINPS, MaiuscoloPoiCodificaXML) {
    const RigaINPS riga(7, "d'arco & rossi\t  \tnicol\xF2\t<a>");
    EXPECT_EQ(riga[0], "D&apos;ARCO &amp; ROSSI");
    EXPECT_EQ(riga.Decodificata(0), "D'ARCO & ROSSI");
    EXPECT_EQ(riga[1], "  "); // not trimmed
    EXPECT_TRUE(riga.Vuota(1));
    EXPECT_EQ(riga[2], "NICOL\xD2");
    EXPECT_EQ(riga[3], "&lt;A&gt;");
    EXPECT_FALSE(riga.Ha(4));
    try {
        (void)riga[4];
        FAIL();
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Riga 7, colonna 4: colonna mancante (la riga ha 4 colonne)");
    }
}

// The calendar's days made once give, written as one piece, the lines written one by one; a day made
// at one depth is made again at another.
TEST(Calendario, IGiorniFattiUnaVoltaComeRigaPerRiga) {
    Calendario calendario;
    for (const int profondita : {5, 2, 5}) {
        for (int k = 1; k <= 31; ++k) {
            for (const bool lavorato : {false, true}) {
                std::vector<std::string> righe;
                scrittura_xml::ScrittoreXML xml([&](std::string_view riga) { righe.emplace_back(riga); });
                ScriviGiorno(k, lavorato, profondita, xml);
                ASSERT_EQ(righe.size(), 3u);
                EXPECT_EQ(righe[0], std::string(static_cast<std::size_t>(profondita), '\t') + "<Giorno GG=\"" +
                                        std::to_string(k) + "\">");
                EXPECT_EQ(righe[1], std::string(static_cast<std::size_t>(profondita) + 1, '\t') + "<Lavorato>" +
                                        (lavorato ? "S" : "N") + "</Lavorato>");
                EXPECT_EQ(calendario.Giorno(k, lavorato, profondita), righe[0] + "\r\n" + righe[1] + "\r\n" + righe[2]);
            }
        }
    }
}

} // namespace
} // namespace uniemens
