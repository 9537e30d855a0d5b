#include "anagrafe/luoghi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ostream>
#include <string>

namespace anagrafe {
namespace {

Data Oggi() {
    const std::chrono::year_month_day oggi{std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now())};
    return {static_cast<int>(oggi.year()), static_cast<int>(static_cast<unsigned>(oggi.month())),
            static_cast<int>(static_cast<unsigned>(oggi.day()))};
}

TEST(Luoghi, MilanoInVigoreOggi) {
    const auto milano = LuogoInData("F205", Oggi());
    ASSERT_TRUE(milano);
    EXPECT_EQ(milano->codice, "F205");
    EXPECT_EQ(milano->nome, "MILANO");
    EXPECT_EQ(milano->altroNome, "");
    EXPECT_EQ(milano->provincia, "MI");
    EXPECT_EQ(milano->dal, (Data{1997, 7, 26}));
    EXPECT_EQ(milano->al, InVigore);
    EXPECT_FALSE(milano->estero);
    EXPECT_TRUE(CodiceEsiste("F205"));
}

TEST(Luoghi, CodiciMaiEsistiti) {
    for (const char* codice : {"Z999", "A000", "", "F20", "F2050", "f205", "205F"}) {
        EXPECT_TRUE(Periodi(codice).empty()) << codice;
        EXPECT_FALSE(CodiceEsiste(codice)) << codice;
        EXPECT_FALSE(LuogoInData(codice, {2000, 1, 1})) << codice;
    }
}

// Two municipalities of one name in two provinces, both in force.
TEST(Luoghi, StessoNomeInDueProvince) {
    const auto bergamasco = LuogoInData("C337", {2020, 1, 1});
    const auto salentino = LuogoInData("M261", {2020, 1, 1});
    ASSERT_TRUE(bergamasco && salentino);
    EXPECT_EQ(bergamasco->nome, salentino->nome);
    EXPECT_EQ(bergamasco->provincia, "BG");
    EXPECT_EQ(salentino->provincia, "LE");
}

TEST(Luoghi, ProvinceNote) {
    for (const char* sigla : {"MI", "CO", "LC", "FC", "EE", "FO", "PS", "AG", "ZA"}) {
        EXPECT_TRUE(ProvinciaNota(sigla)) << sigla;
    }
    for (const char* sigla : {"XX", "", "M", "MIL", "mi", "EEE", "AA", "ZZ"}) {
        EXPECT_FALSE(ProvinciaNota(sigla)) << sigla;
    }
}

struct CasoInData {
    const char* nome;
    std::string codice;
    Data data;
    std::string nomeAtteso; // empty: no period on that date
    std::string provinciaAttesa;
};
void PrintTo(const CasoInData& c, std::ostream* os) { *os << c.nome; }

class LuogoInDataTest : public testing::TestWithParam<CasoInData> {};

TEST_P(LuogoInDataTest, PeriodoDelGiorno) {
    const CasoInData& caso = GetParam();
    const auto luogo = LuogoInData(caso.codice, caso.data);
    if (caso.nomeAtteso.empty()) {
        EXPECT_FALSE(luogo) << luogo->nome;
        return;
    }
    ASSERT_TRUE(luogo);
    EXPECT_EQ(luogo->nome, caso.nomeAtteso);
    EXPECT_EQ(luogo->provincia, caso.provinciaAttesa);
    EXPECT_LE(luogo->dal, caso.data);
    EXPECT_GE(luogo->al, caso.data);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, LuogoInDataTest, testing::Values(
    // Lecco, in the province of Como until the province of Lecco was made.
    CasoInData{"LeccoPrimaDelRegno",    "E507", {1861, 3, 16},  "",                 ""},
    CasoInData{"LeccoPrimoGiorno",      "E507", {1861, 3, 17},  "LECCO",            "CO"},
    CasoInData{"LeccoUltimoGiornoCO",   "E507", {1992, 4, 15},  "LECCO",            "CO"},
    CasoInData{"LeccoPrimoGiornoLC",    "E507", {1992, 4, 16},  "LECCO",            "LC"},
    // Merged away in 1928, its code never used again.
    CasoInData{"AbbadiaAlpinaUltimo",   "A003", {1928, 12, 5},  "ABBADIA ALPINA",   "TO"},
    CasoInData{"AbbadiaAlpinaFusa",     "A003", {1928, 12, 6},  "",                 ""},
    // Renamed.
    CasoInData{"AbanoPrima",            "A001", {1924, 11, 13}, "ABANO",            "PD"},
    CasoInData{"AbanoTerme",            "A001", {1924, 11, 14}, "ABANO TERME",      "PD"},
    CasoInData{"MercatinoMarecchia",    "F137", {1941, 10, 23}, "MERCATINO MARECCHIA", "PS"},
    CasoInData{"NovafeltriaPesaro",     "F137", {1941, 10, 24}, "NOVAFELTRIA",      "PS"},
    CasoInData{"NovafeltriaPesaroUrbino", "F137", {2000, 1, 1}, "NOVAFELTRIA",      "PU"},
    CasoInData{"NovafeltriaRimini",     "F137", {2010, 1, 1},   "NOVAFELTRIA",      "RN"},
    CasoInData{"ForliDiForli",          "D704", {1980, 1, 1},   "FORL\xCC",         "FO"},
    CasoInData{"ForliDiForliCesena",    "D704", {2000, 1, 1},   "FORL\xCC",         "FC"},
    CasoInData{"BolzanoTrentino",       "A952", {1926, 1, 1},   "BOLZANO",          "TN"},
    CasoInData{"BolzanoAltoAdige",      "A952", {1930, 1, 1},   "BOLZANO",          "BZ"},
    // A hole between two periods of one code.
    CasoInData{"SavognaPrimaDelBuco",   "I479", {1927, 12, 28}, "SAVOGNA D'ISONZO", "GO"},
    CasoInData{"SavognaNelBuco",        "I479", {1940, 1, 1},   "",                 ""},
    CasoInData{"SavognaDopoIlBuco",     "I479", {1951, 2, 15},  "SAVOGNA D'ISONZO", "GO"},
    // A Slovenian name that ISO-8859-1 cannot write, as the registry transliterates it.
    CasoInData{"DuinoTraslitterato",    "D383", {2010, 1, 1},   "DUINO AURISINA",   "TS"},
    // A hole of one day in the registry (1958-08-14), bridged.
    CasoInData{"GhilarzaNelBucoDiUnGiorno", "E004", {1958, 8, 14}, "GHILARZA",        "CA"},
    // Two rows of one period: the first by name.
    CasoInData{"FilagoEMarne",          "D588", {1900, 1, 1},   "FILAGO",           "BG"},
    // A ceased state, its last day included.
    CasoInData{"Cecoslovacchia1980",    "Z105", {1980, 1, 1},   "CECOSLOVACCHIA",   "EE"},
    CasoInData{"CecoslovacchiaUltimo",  "Z105", {1993, 1, 1},   "CECOSLOVACCHIA",   "EE"},
    CasoInData{"Cecoslovacchia2000",    "Z105", {2000, 1, 1},   "",                 ""}),
    [](const auto& info) { return info.param.nome; });
// clang-format on

struct CasoNome {
    const char* nome;
    std::string codice;
    Data data;
    std::string scritto;
    bool atteso;
};
void PrintTo(const CasoNome& c, std::ostream* os) { *os << c.nome; }

class StessoNomeTest : public testing::TestWithParam<CasoNome> {};

TEST_P(StessoNomeTest, NomeScrittoControIlRegistro) {
    const auto luogo = LuogoInData(GetParam().codice, GetParam().data);
    ASSERT_TRUE(luogo);
    EXPECT_EQ(StessoNome(GetParam().scritto, *luogo), GetParam().atteso);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, StessoNomeTest, testing::Values(
    CasoNome{"Uguale",                "F205", {2000, 1, 1}, "MILANO",                    true},
    CasoNome{"Minuscole",             "F205", {2000, 1, 1}, "Milano",                    true},
    CasoNome{"PuntoESpazi",           "F205", {2000, 1, 1}, " MI LANO. ",                true},
    CasoNome{"Cifra",                 "F205", {2000, 1, 1}, "MILANO2",                   false},
    CasoNome{"Parentesi",             "F205", {2000, 1, 1}, "MILANO(MI)",                false},
    CasoNome{"Vuoto",                 "F205", {2000, 1, 1}, "",                          false},
    CasoNome{"SoloSpazi",             "F205", {2000, 1, 1}, " - ",                       false},
    CasoNome{"Troncato",              "F205", {2000, 1, 1}, "MILAN",                     false},
    CasoNome{"ForliApostrofo",        "D704", {2000, 1, 1}, "FORLI'",                    true},
    CasoNome{"ForliSenzaAccento",     "D704", {2000, 1, 1}, "FORLI",                     true},
    CasoNome{"ForliMinuscolo",        "D704", {2000, 1, 1}, "Forl\xEC",                  true},
    CasoNome{"ForliAccentoAcuto",     "D704", {2000, 1, 1}, "FORL\xCD",                  true},
    CasoNome{"ForliAccentoInverso",   "D704", {2000, 1, 1}, "FORLI`",                    true},
    CasoNome{"ForliAccentoStaccato",  "D704", {2000, 1, 1}, "FORLI\xB4",                 true},
    CasoNome{"Forlimpopoli",          "D704", {2000, 1, 1}, "FORLIMPOPOLI",              false},
    CasoNome{"SantAgata",             "I199", {2000, 1, 1}, "SANT'AGATA DI MILITELLO",   true},
    CasoNome{"SantAgataUnita",        "I199", {2000, 1, 1}, "SANTAGATA DI MILITELLO",    true},
    CasoNome{"SantAgataMinuscola",    "I199", {2000, 1, 1}, "Sant'Agata di Militello",   true},
    CasoNome{"SantAgataSpazio",       "I199", {2000, 1, 1}, "SANT AGATA DI MILITELLO",   true},
    // The names exports write beside the registry's: "S." for SAN, SANTO, SANTA, SANT'; two cities' names in use.
    CasoNome{"SantAgataAbbreviata",   "I199", {2000, 1, 1}, "S.AGATA DI MILITELLO",      true},
    CasoNome{"SanGiovanniAbbreviato", "G467", {2000, 1, 1}, "S. GIOVANNI IN PERSICETO",  true},
    CasoNome{"SantAnnaAbbreviata",    "M209", {2000, 1, 1}, "S.ANNA ARRESI",             true},
    CasoNome{"BoschiSantAnna",        "B070", {2000, 1, 1}, "BOSCHI S. ANNA",            true},
    CasoNome{"AbbreviataAltrove",     "G467", {2000, 1, 1}, "S. GIOVANNI IN FIORE",      false},
    CasoNome{"AbbreviazioneNelMezzo", "I199", {2000, 1, 1}, "SANT'AGATA DIS.MILITELLO",  false},
    CasoNome{"SoloS",                 "I199", {2000, 1, 1}, "SAGATA DI MILITELLO",       false},
    CasoNome{"ReggioEmilia",          "H223", {2000, 1, 1}, "REGGIO EMILIA",             true},
    CasoNome{"ReggioCalabria",        "H224", {2000, 1, 1}, "REGGIO CALABRIA",           true},
    CasoNome{"ReggioEmiliaACalabria", "H224", {2000, 1, 1}, "REGGIO EMILIA",             false},
    // A letter that ISO-8859-1 lacks, as its reference: its base letter.
    CasoNome{"DuinoConRiferimento",   "D383", {2010, 1, 1}, "DUINO AURISINA-DEVIN NABRE&#381;INA", true},
    CasoNome{"DuinoAltraLettera",     "D383", {2010, 1, 1}, "DUINO AURISINA-DEVIN NABRE&#262;INA", false},
    CasoNome{"ApostrofoTipografico",  "I199", {2000, 1, 1}, "SANT&#8217;AGATA DI MILITELLO", true},
    CasoNome{"SantAgataDeGoti",       "I197", {2000, 1, 1}, "SANTAGATA DE GOTI",         true},
    CasoNome{"BolzanoBozen",          "A952", {2000, 1, 1}, "BOLZANO/BOZEN",             true},
    // The registry's official form "COMUNE DI ...-OBCINA ..." is no name: the names are its two parts.
    CasoNome{"SanDorligo",            "D324", {2000, 1, 1}, "SAN DORLIGO DELLA VALLE",   true},
    CasoNome{"SanDorligoDolina",      "D324", {2000, 1, 1}, "SAN DORLIGO DELLA VALLE-DOLINA", true},
    CasoNome{"Dolina",                "D324", {2000, 1, 1}, "DOLINA",                    true},
    CasoNome{"SanDorligoComune",      "D324", {2000, 1, 1}, "COMUNE DI SAN DORLIGO DELLA VALLE-OBCINA DOLINA", false},
    CasoNome{"BozenBolzano",          "A952", {2000, 1, 1}, "BOZEN BOLZANO",             true},
    CasoNome{"BolzanoTrattinoBozen",  "A952", {2000, 1, 1}, "Bolzano - Bozen",           true},
    CasoNome{"SoloBolzano",           "A952", {2000, 1, 1}, "BOLZANO",                   true},
    CasoNome{"SoloBozen",             "A952", {2000, 1, 1}, "BOZEN",                     true},
    CasoNome{"BolzanoDueVolte",       "A952", {2000, 1, 1}, "BOLZANO/BOLZANO",           false},
    CasoNome{"BozenDueVolte",         "A952", {2000, 1, 1}, "BOZEN BOZEN",               false},
    CasoNome{"BolzanoEAltro",         "A952", {2000, 1, 1}, "BOLZANO/MERAN",             false},
    CasoNome{"SenzaAltroNome",        "F205", {2000, 1, 1}, "MILANOMILANO",              false},
    CasoNome{"EsseTedescaScrittaSS",  "A332", {2000, 1, 1}, "EPPAN AN DER WEINSTRASSE",  true},
    CasoNome{"EsseTedesca",           "A332", {2000, 1, 1}, "Eppan an der Weinstra\xDF" "e", true},
    CasoNome{"NomeDelPeriodo",        "A001", {1900, 1, 1}, "ABANO",                     true},
    CasoNome{"NomePosteriore",        "A001", {1900, 1, 1}, "ABANO TERME",               false},
    CasoNome{"StatoMinuscolo",        "Z105", {1980, 1, 1}, "Cecoslovacchia",            true}),
    [](const auto& info) { return info.param.nome; });
// clang-format on

} // namespace
} // namespace anagrafe
