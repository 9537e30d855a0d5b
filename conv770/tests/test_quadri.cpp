// The fields of record G, quadro by quadro, on single employee lines: which fields are written, in
// which order and form, the missing-data messages, and the running totals.

#include "shell/errore.h"
#include "conv770/quadri.h"
#include "conv770/regole.h"
#include "conv770/tests/riga_prova.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace conv770 {
namespace {

using test::Colonne;
using test::Destra;
using test::Riga;
using test::Sinistra;

struct Caso {
    const char* nome;
    Colonne colonne;
    std::string atteso;
};
void PrintTo(const Caso& caso, std::ostream* os) { *os << caso.nome; }
std::string Nome(const testing::TestParamInfo<Caso>& info) { return info.param.nome; }

// ---------------------------------------------------------------------------------------------------
// Quadro DA

TEST(QuadroDA, DipendenteCompleto) {
    std::string area, mancanti;
    CampiQuadroDA(Riga({}), area, mancanti);
    EXPECT_EQ(area, Sinistra("DA001001", "RSSGLI80A41E507Z") + Sinistra("DA001002", "ROSSI") +
                        Sinistra("DA001003", "GIULIA") + Sinistra("DA001004", "F") + Destra("DA001005", "01011980") +
                        Sinistra("DA001006", "LECCO") + Sinistra("DA001007", "LC") + Sinistra("DA001012", "LECCO") +
                        Sinistra("DA001013", "LC") + Sinistra("DA001014", "E507") + Sinistra("DA001015", "LECCO") +
                        Sinistra("DA001016", "LC"));
    EXPECT_EQ(mancanti, "");
}

TEST(QuadroDA, DatiMancantiSegnalatiECampiScritti) {
    std::string area, mancanti;
    CampiQuadroDA(Riga({{21, ""}, {30, "  "}}), area, mancanti);
    EXPECT_NE(area.find(Sinistra("DA001002", "")), std::string::npos);
    EXPECT_NE(area.find(Sinistra("DA001013", "  ")), std::string::npos);
    EXPECT_EQ(mancanti, "Cognome dipendente non impostato\r\nProvincia di residenza del dipendente non impostato");
}

TEST(QuadroDA, DataDiNascitaVuotaLasciaFuoriIlCampo) {
    std::string area, mancanti;
    CampiQuadroDA(Riga({{24, " "}}), area, mancanti);
    EXPECT_EQ(area.find("DA001005"), std::string::npos);
    EXPECT_EQ(area.substr(4 * 24, 8), "DA001006");
    EXPECT_EQ(mancanti, "Data di nascita del dipendente non impostata");
}

TEST(QuadroDA, DataNonValidaFermaLElaborazione) {
    std::string area, mancanti;
    try {
        CampiQuadroDA(Riga({{24, "31/02/1980"}}, 7), area, mancanti);
        FAIL();
    } catch (const shell::ErroreElaborazione& e) {
        EXPECT_STREQ(e.what(), "Riga 7, colonna 24: data non valida '31/02/1980'");
    }
}

class QuadroDA : public testing::TestWithParam<Caso> {};

// Only the fields of the columns that the case sets, from the area of the whole quadro.
TEST_P(QuadroDA, Campi) {
    std::string area, mancanti;
    CampiQuadroDA(Riga(GetParam().colonne), area, mancanti);
    std::string scelti;
    for (std::size_t i = 0; i < area.size(); i += 24)
        if (area.compare(i, 8, "DA001001") && area.compare(i, 8, "DA001002") && area.compare(i, 8, "DA001003") &&
            area.compare(i, 8, "DA001004") && area.compare(i, 8, "DA001005") && area.compare(i, 8, "DA001006") &&
            area.compare(i, 8, "DA001012") && area.compare(i, 8, "DA001013") && area.compare(i, 8, "DA001014"))
            scelti += area.substr(i, 24);
    EXPECT_EQ(scelti, GetParam().atteso);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Regole, QuadroDA, testing::Values(
    Caso{"ProvinciaDueLettere",   {{26, "BG"}},        Sinistra("DA001007", "BG") + Sinistra("DA001015", "LECCO") + Sinistra("DA001016", "LC")},
    Caso{"ProvinciaEstera",       {{26, "GERMANIA"}},  Sinistra("DA001007", "EE") + Sinistra("DA001015", "LECCO") + Sinistra("DA001016", "LC")},
    Caso{"ProvinciaConSpazi",     {{26, " BG "}},      Sinistra("DA001007", " BG ") + Sinistra("DA001015", "LECCO") + Sinistra("DA001016", "LC")},
    Caso{"DomicilioVuotoUsaResidenza", {{32, ""}, {33, "MI"}},
                                  Sinistra("DA001007", "LC") + Sinistra("DA001015", "LECCO") + Sinistra("DA001016", "LC")},
    Caso{"DomicilioDa32E33",      {{32, "MILANO"}, {33, ""}},
                                  Sinistra("DA001007", "LC") + Sinistra("DA001015", "MILANO") + Sinistra("DA001016", "")},
    Caso{"Colonna34ScriveAncheLeVuote", {{34, "VIA ROMA 1"}},
                                  Sinistra("DA001007", "LC") + Sinistra("DA001015", "LECCO") + Sinistra("DA001016", "LC") +
                                  Sinistra("DA001017", "VIA ROMA 1") + Sinistra("DA001018", "") + Sinistra("DA001019", "")},
    Caso{"FacoltativiRiempiti",   {{27, "B"}, {185, "15/03/2010"}, {28, "2.5"}},
                                  Sinistra("DA001007", "LC") + Sinistra("DA001008", "B") + Destra("DA001009", "15032010") +
                                  Destra("DA001011", "3") + Sinistra("DA001015", "LECCO") + Sinistra("DA001016", "LC")},
    Caso{"N1DaLetturaSemplice",   {{28, "2,5"}},
                                  Sinistra("DA001007", "LC") + Destra("DA001011", "2") + Sinistra("DA001015", "LECCO") + Sinistra("DA001016", "LC")}
), Nome);
// clang-format on

// ---------------------------------------------------------------------------------------------------
// Quadro DB

class QuadroDB : public testing::TestWithParam<Caso> {};

TEST_P(QuadroDB, Campi) {
    std::string area;
    Totali totali{};
    CampiQuadroDB(Riga(GetParam().colonne), area, totali);
    EXPECT_EQ(area, GetParam().atteso);
}

const std::string Codici37 =
    Sinistra("DB001249", "AI") + Sinistra("DB001250", "AL") + Sinistra("DB001251", "AN") + Sinistra("DB001252", "AR");

// clang-format off
INSTANTIATE_TEST_SUITE_P(Regole, QuadroDB, testing::Values(
    Caso{"Nessuno",                {},                               ""},
    Caso{"ImportoIntero",          {{37, "1.234,56"}},               Destra("DB001001", "1234") + Codici37},
    Caso{"ImportoZero",            {{37, "0,00"}},                   ""},
    Caso{"ImportoNegativo",        {{37, "-10,5"}},                  Destra("DB001001", "-11") + Codici37},
    Caso{"Colonna58Senza37",       {{58, "500"}},                    ""},
    Caso{"Colonna58Con37",         {{37, "1"}, {58, "500"}},         Destra("DB001001", "1") + Destra("DB001034", "500") + Codici37},
    Caso{"Colonna39Mezzo",         {{39, "0,5"}},                    Destra("DB001003", "000")},
    Caso{"Colonna39Semplice",      {{39, "12,5"}},                   Destra("DB001003", "012")},
    Caso{"Colonna74ZeroSemplice",  {{74, "0,50"}},                   ""},
    Caso{"Colonna74Mille",         {{74, "1.000"}},                  Destra("DB001075", "1000")},
    Caso{"SoloSiAccentato",        {{70, "S\xCC"}, {71, "SI"}},      Destra("DB001063", "1")},
    Caso{"TestoLungo",             {{72, "NOTE DEL DIPENDENTE"}},    Sinistra("DB001065", "NOTE DEL DIPENDE") + Sinistra("DB001065", "+NTE")},
    Caso{"PCRiempitoZero",         {{92, "0"}},                      Destra("DB001141", "")},
    Caso{"PCMigliaia",             {{92, "1.234.567,89"}},           Destra("DB001141", "1.234.567")},
    Caso{"Supplementari127",       {{83, "1"}, {181, "500"}, {183, "300"}},
                                   Destra("DB001120", "1") + Destra("DB001127", "500") + Destra("DB002127", "300")},
    Caso{"Supplementari128",       {{83, "1"}, {82, "2"}, {181, "500"}, {183, "300"}},
                                   Destra("DB001120", "1") + Destra("DB001122", "2") + Destra("DB001128", "500") + Destra("DB002128", "300")},
    Caso{"SupplementariSolo122",   {{82, "2"}, {183, "300,99"}},
                                   Destra("DB001122", "2") + Destra("DB001128", "300")},
    Caso{"SenzaDB120E122Nessuno",  {{181, "500"}, {182, "1"}, {183, "300"}, {184, "2"}, {138, "3"}, {168, "4"}}, ""},
    Caso{"SecondoGruppoInRiga001", {{83, "1"}, {183, "300"}},        Destra("DB001120", "1") + Destra("DB001127", "300")},
    Caso{"N4DopoIl129",            {{83, "1"}, {181, "500"}, {182, "250"}, {138, "2"}},
                                   Destra("DB001120", "1") + Destra("DB001127", "500") + Destra("DB001129", "250") + Destra("DB001132", "0002")},
    Caso{"N4Senza182",             {{83, "1"}, {181, "500"}, {138, "3"}},
                                   Destra("DB001120", "1") + Destra("DB001127", "500") + Destra("DB001132", "0003")},
    Caso{"Colonna182Senza181",     {{83, "1"}, {182, "250"}, {138, "3"}, {183, "300"}, {184, "20"}, {168, "7"}},
                                   Destra("DB001120", "1") + Destra("DB001129", "250") + Destra("DB001127", "300") +
                                   Destra("DB001129", "20") + Destra("DB001132", "0007")},
    // Neither 181 nor 183: no further group repeating the codes of row 001.
    Caso{"NessunGruppoSupplementare", {{83, "1"}, {82, "2"}, {84, "3"}, {85, "4"}, {138, "5"}, {86, "6"}},
                                   Destra("DB001120", "1") + Destra("DB001122", "2") + Destra("DB001124", "3") +
                                   Destra("DB001125", "4") + Destra("DB001134", "6")}
), Nome);
// clang-format on

TEST(QuadroDB, TotaliSoloDeiCampiScritti) {
    Totali totali{};
    std::string area;
    CampiQuadroDB(Riga({{41, "1000,50"}, {73, "100"}, {74, "0,50"}, {84, "0,40"}, {85, "9,99"}}), area, totali);
    CampiQuadroDB(
        Riga({{41, "2000,25"}, {43, "-0,5"}, {46, "1,5"}, {78, "1"}, {79, "2"}, {80, "3"}, {81, "4"}, {84, "5,5"}}, 2),
        area, totali);
    // Column 74 (0,50) and 84 (0,40) are zero as plain numbers: no field, no change.
    EXPECT_EQ(totali[1], ImportoEsatto::Leggi("2900,75"));
    EXPECT_EQ(totali[2], ImportoEsatto::Leggi("1,5"));
    EXPECT_EQ(totali[9], ImportoEsatto::Leggi("-0,5"));
    EXPECT_EQ(totali[9].ParteIntera(), -1);
    for (int i : {15, 16, 17, 18})
        EXPECT_EQ(totali[static_cast<std::size_t>(i)], ImportoEsatto::Leggi(std::to_string(i - 14)));
    EXPECT_EQ(totali[19], ImportoEsatto::Leggi("5,5"));
    EXPECT_EQ(totali[20], ImportoEsatto::Leggi("9,99"));
    for (std::size_t i : {0u, 3u, 8u, 10u, 14u, 21u, 39u})
        EXPECT_EQ(totali[i], ImportoEsatto()) << i;
}

TEST(QuadroDB, ImportoIlleggibileFermaLElaborazione) {
    Totali totali{};
    std::string area;
    try {
        CampiQuadroDB(Riga({{41, "12,3,4"}}, 3), area, totali);
        FAIL();
    } catch (const shell::ErroreElaborazione& e) {
        EXPECT_STREQ(e.what(), "Riga 3, colonna 41: numero non valido '12,3,4'");
    }
}

// ---------------------------------------------------------------------------------------------------
// Quadro DC

class QuadroDC : public testing::TestWithParam<Caso> {};

TEST_P(QuadroDC, Campi) {
    std::string area;
    CampiQuadroDC(Riga(GetParam().colonne), area);
    EXPECT_EQ(area, GetParam().atteso);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Regole, QuadroDC, testing::Values(
    Caso{"Nessuno",                {},                                     ""},
    Caso{"Colonna97Con100",        {{97, "12,5"}, {100, "1.234,50"}},      Destra("DC001001", "0000000012") + Destra("DC001004", "1234")},
    Caso{"Colonna100ArrotondaAZero", {{97, "12,5"}, {100, "0,3"}},         ""},
    Caso{"MezziAlPari",            {{104, "2,5"}, {107, "3,5"}, {108, "0,5"}}, Destra("DC001008", "2") + Destra("DC001012", "4")},
    Caso{"SiESI12",                {{98, "S\xCC"}, {99, "NO"}, {106, "A\x1D\x1D" "B"}, {112, "X"}},
                                   Destra("DC001002", "1") + Destra("DC001011", "101000000000") + Destra("DC001017", "100000000000")},
    Caso{"Gruppo1NonScritto",      {{113, "AAA"}, {116, "5"}, {121, "0"}, {122, "0,4"}}, ""},
    Caso{"Gruppo1Con1500",         {{121, "1.500,00"}},                    Destra("DC001026", "1500") + Destra("DC001027", "1")},
    Caso{"Colonna122ArrotondaAZero", {{121, "7"}, {122, "0,4"}},           Destra("DC001026", "7") + Destra("DC001027", "1")},
    Caso{"Colonna114Zeri",         {{113, "AAA"}, {121, "1"}},
                                   Sinistra("DC001018", "AAA") + Sinistra("DC001019", "00000") + Destra("DC001026", "1") + Destra("DC001027", "1")},
    Caso{"Importi021E025",         {{116, "1.234,50"}, {118, "0"}, {120, "2,5"}, {122, "1"}},
                                   Destra("DC001021", "1234,5") + Destra("DC001023", "0") + Destra("DC001025", "0003") + Destra("DC001027", "1")},
    Caso{"MigliaiaSemplici",       {{117, "12600"}, {121, "1"}},
                                   Destra("DC001A22", "13") + Destra("DC001B22", "-400") + Destra("DC001026", "1") + Destra("DC001027", "1")},
    Caso{"MigliaiaMezzoPari",      {{117, "12500"}, {121, "1"}},
                                   Destra("DC001A22", "12") + Destra("DC001B22", "500") + Destra("DC001026", "1") + Destra("DC001027", "1")},
    Caso{"MigliaiaLimite",         {{117, "32500"}, {121, "1"}},
                                   Destra("DC001A22", "32") + Destra("DC001B22", "500") + Destra("DC001026", "1") + Destra("DC001027", "1")},
    Caso{"MigliaiaItaliane",       {{135, "-12.345"}, {139, "1"}},
                                   Destra("DC001A22", "-12") + Destra("DC001B22", "-345") + Destra("DC001026", "1") + Destra("DC001027", "1")},
    Caso{"Gruppo2InRiga001",       {{131, "X"}, {137, "1.000,75"}, {140, "2"}},
                                   Sinistra("DC001018", "X") + Sinistra("DC001019", "00000") + Destra("DC001024", "1000,75") + Destra("DC001027", "2")},
    Caso{"Gruppo3SoloCon174o175",  {{169, "700"}, {170, "800"}},           ""},
    Caso{"Gruppo3",                {{169, "700"}, {170, "800"}, {173, "1"}, {175, "3"}},
                                   Destra("DC001026", "700") + Destra("DC001027", "800") + Destra("DC001030", "1") +
                                   Destra("DC001031", "1") + Destra("DC001032", "3") + Destra("DC001033", "1")},
    Caso{"TreGruppiInTreRighi",    {{121, "1"}, {140, "2"}, {174, "3"}},
                                   Destra("DC001026", "1") + Destra("DC001027", "1") + Destra("DC002027", "2") + Destra("DC003031", "3")}
), Nome);
// clang-format on

TEST(QuadroDC, MigliaiaOltre32FermanoLElaborazione) {
    for (const char* n : {"32501", "-32501"}) {
        std::string area;
        try {
            CampiQuadroDC(Riga({{117, n}, {121, "1"}}, 4), area);
            ADD_FAILURE() << n;
        } catch (const shell::ErroreElaborazione& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Riga 4, colonna 117: numero fuori dall'intervallo ammesso per migliaia e resto '" +
                          std::string(n) + "'");
        }
    }
}

// ---------------------------------------------------------------------------------------------------

// The readings of a line are kept by column, and a replaced column is read anew: the replacement is
// what every later reading sees, its amount and plain number included. A missing column still stops
// the run.
TEST(Regole, LettureRicordateEColonneSostituite) {
    const shell::RigaEsportazione riga = Riga({{100, "1.234,5"}, {101, "7.25"}});
    conv770::Colonne colonne(riga);
    EXPECT_EQ(colonne.Importo(100), 1234.5);
    EXPECT_EQ(colonne.Semplice(101), 7.25);
    EXPECT_EQ(colonne.Importo(100), 1234.5);
    colonne.Sostituisci(100, "00000");
    colonne.Sostituisci(101, "3");
    EXPECT_EQ(colonne.Testo(100), "00000");
    EXPECT_EQ(colonne.Importo(100), 0);
    EXPECT_EQ(colonne.Semplice(101), 3);
    EXPECT_EQ(colonne.Importo(101), 3);
    EXPECT_EQ(colonne.Testo(99), "");
    EXPECT_THROW(colonne.Testo(200), shell::ErroreElaborazione);
    EXPECT_THROW(colonne.Testo(-1), shell::ErroreElaborazione);
    colonne.Sostituisci(100, "X");
    EXPECT_THROW(colonne.Importo(100), shell::ErroreElaborazione);
}

} // namespace
} // namespace conv770
