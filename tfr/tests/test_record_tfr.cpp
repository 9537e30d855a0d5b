// The field kinds of the TFR records, each record byte for byte, and the values that would shift a
// record.

#include "shell/errore.h"
#include "shell/esportazione.h"
#include "tfr/record_tfr.h"
#include "tfr/tests/righe_tfr.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <functional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace tfr {
namespace {

using shell::ErroreElaborazione;
using shell::Preparazione;
using shell::RigaEsportazione;
using test::Colonne;
using test::Riga;

RigaEsportazione Prepara(const std::string& testo, int numero = 1) {
    return RigaEsportazione(numero, testo, Preparazione::MaiuscoloSenzaSpazi);
}

std::string Spazi(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

// The text made, or the message of the error that stopped it.
std::string TestoOErrore(const std::function<std::string()>& componi) {
    try {
        return componi();
    } catch (const ErroreElaborazione& e) {
        return e.what();
    }
}

// A record made by its table from a line, as the supply writes it for the line's employee.
std::string Componi(std::span<const tracciati::Pezzo> tabella, const RigaEsportazione* riga,
                    std::span<const int> conteggi = {}, const shell::DataOra& oggi = {}) {
    std::string record;
    tracciati::Componi(record, tabella, {riga, conteggi}, GancioTFR(oggi, riga && riga->Ha(13) ? (*riga)[13] : ""));
    return record;
}

// One field of a given kind read from column 0 of a line of employee FRRLCU80A41A944X.
struct CasoCampo {
    const char* nome;
    tracciati::Genere genere;
    int lunghezza;
    std::string testo;
    std::string atteso; // the field, or the message that stops the run
};
void PrintTo(const CasoCampo& caso, std::ostream* os) { *os << caso.nome; }

class Campi : public testing::TestWithParam<CasoCampo> {};

// Written, then read back: what is written reads as the value that writes it again.
TEST_P(Campi, CodificaERilettura) {
    const CasoCampo& caso = GetParam();
    const RigaEsportazione riga = Prepara(Riga({{0, caso.testo}}));
    const tracciati::Pezzo campo[] = {{1, caso.lunghezza, caso.genere, 0}};
    const std::string testo = TestoOErrore([&] { return Componi(campo, &riga); });
    EXPECT_EQ(testo, caso.atteso);
    if (testo.size() != static_cast<std::size_t>(caso.lunghezza))
        return;
    const GancioTFR gancio;
    const tracciati::Lettura lettura = caso.genere == tracciati::Comune::X
                                           ? tracciati::Lettura(tracciati::Valore(testo))
                                           : gancio.Leggi(campo[0], testo);
    ASSERT_EQ(lettura.difformita, tracciati::Difformita::Nessuna) << lettura.atteso;
    if (caso.genere != tracciati::Comune::X) {
        std::string riscritto;
        gancio.Scrivi(riscritto, campo[0], lettura.valore);
        EXPECT_EQ(riscritto, testo);
    }
}

const std::string Dip = " (dipendente FRRLCU80A41A944X)";
using P = ProprioTFR;
constexpr tracciati::Genere L = tracciati::Comune::X;

// clang-format off
INSTANTIATE_TEST_SUITE_P(TFR, Campi, testing::Values(
    CasoCampo{"L_Completa",          L,            5, "abc",             "ABC  "},
    CasoCampo{"L_Tagliata",          L,            5, "abcdefg",         "ABCDE"},
    CasoCampo{"L_Vuota",             L,            3, "",                "   "},
    CasoCampo{"L_SpaziTolti",        L,            5, "  ab  ",          "AB   "},
    CasoCampo{"L_Accentata",         L,            6, "forl\xEC",        "FORL\xCC "},
    CasoCampo{"R_Completa",          P::R,            3, "7",               "  7"},
    CasoCampo{"R_TagliataASinistra", P::R,            3, "abcdef",          "DEF"},
    CasoCampo{"R_AbiCorto",          P::R,            5, "542",             "  542"},
    CasoCampo{"SenzaSpazi",          P::LSenzaSpazi, 12, "it 60 x 123",     "IT60X123    "},
    CasoCampo{"SenzaIT_Prefisso",    P::LSenzaIT,     2, "IT60",            "60"},
    CasoCampo{"SenzaIT_Assente",     P::LSenzaIT,     2, "60",              "60"},
    CasoCampo{"SenzaIT_InFondo",     P::LSenzaIT,     2, "60it",            "60"},
    CasoCampo{"SenzaIT_UnaPassata",  P::LSenzaIT,     2, "IITT60",          "IT"},
    CasoCampo{"SenzaIT_Corta",       P::LSenzaIT,     2, "6",               "6 "},
    CasoCampo{"Data",                P::Data,         8, "14/06/2011",      "20110614"},
    CasoCampo{"Data_UnaCifra",       P::Data,         8, "1/2/2010",        "20100201"},
    CasoCampo{"Data_Impossibile",    P::Data,         8, "31/02/2010",      "Riga 1, colonna 0: data non valida '31/02/2010'"},
    CasoCampo{"Data_Vuota",          P::Data,         8, "",                "Riga 1, colonna 0: data non valida ''"},
    CasoCampo{"DataOZeri_Vuota",     P::DataOZeri,    8, "",                "00000000"},
    CasoCampo{"DataOZeri_Bianchi",   P::DataOZeri,    8, "   ",              "00000000"},
    CasoCampo{"DataOZeri_Data",      P::DataOZeri,    8, "01/07/2007",      "20070701"},
    CasoCampo{"DataOZeri_Errata",    P::DataOZeri,    8, "2007-07-01",      "Riga 1, colonna 0: data non valida '2007-07-01'"},
    CasoCampo{"Importo_Zero",        P::Importo,     10, "0",               "0000000000"},
    CasoCampo{"Importo_Vuoto",       P::Importo,     10, "",                "0000000000"},
    CasoCampo{"Importo_Virgola",     P::Importo,     10, "1234,56",         "0000123456"},
    CasoCampo{"Importo_Migliaia",    P::Importo,     10, "1.500,00",        "0000150000"},
    CasoCampo{"Importo_Milioni",     P::Importo,     10, "1.234.567,89",    "0123456789"},
    CasoCampo{"Importo_Massimo",     P::Importo,     10, "99.999.999,99",   "9999999999"},
    CasoCampo{"Importo_MezzoCent",   P::Importo,     10, "0,005",           "0000000001"},
    CasoCampo{"Importo_Punto",       P::Importo,     10, "12.5",            "0000001250"},
    CasoCampo{"Importo_PuntoSolo",   P::Importo,     10, "1.500",           "0000000150"},
    CasoCampo{"Importo_NegZero",     P::Importo,     10, "-0,001",          "0000000000"},
    CasoCampo{"Importo_Negativo",    P::Importo,     10, "-12,50",          "Riga 1, colonna 0: importo negativo '-12,50', il tracciato non prevede il segno" + Dip},
    CasoCampo{"Importo_Cento_Mln",   P::Importo,     10, "100.000.000,00",  "Riga 1, colonna 0: importo '100.000.000,00' oltre il massimo di 99.999.999,99" + Dip},
    CasoCampo{"Importo_LungoVirgola", P::Importo,    10, std::string(70, '0') + "1.234,56", "0000123456"},
    CasoCampo{"Importo_LungoPunto",  P::Importo,     10, std::string(70, '0') + "12.5", "0000001250"},
    CasoCampo{"Importo_Arrotondato", P::Importo,     10, "99.999.999,999",  "Riga 1, colonna 0: importo '99.999.999,999' oltre il massimo di 99.999.999,99" + Dip},
    CasoCampo{"Segno_Zero",          P::SegnoImporto, 1, "0",               " "},
    CasoCampo{"Segno_Vuoto",         P::SegnoImporto, 1, "",                " "},
    CasoCampo{"Segno_SottoIlCent",   P::SegnoImporto, 1, "0,004",           " "},
    CasoCampo{"Segno_UnCent",        P::SegnoImporto, 1, "0,01",            "O"},
    CasoCampo{"Segno_Migliaia",      P::SegnoImporto, 1, "1.500,00",        "O"},
    CasoCampo{"Segno_Negativo",      P::SegnoImporto, 1, "-1",              "Riga 1, colonna 0: importo negativo '-1', il tracciato non prevede il segno" + Dip},
    CasoCampo{"DueCifre_Una",        P::DueCifre,     2, "5",               "05"},
    CasoCampo{"DueCifre_Due",        P::DueCifre,     2, "12",              "12"},
    CasoCampo{"DueCifre_Vuota",      P::DueCifre,     2, "",                "00"},
    CasoCampo{"DueCifre_Mezzo",      P::DueCifre,     2, "2.5",             "03"},
    CasoCampo{"DueCifre_Virgola",    P::DueCifre,     2, "12,7",            "12"},
    CasoCampo{"DueCifre_Massimo",    P::DueCifre,     2, "99.4",            "99"},
    CasoCampo{"DueCifre_Cento",      P::DueCifre,     2, "99.5",            "Riga 1, colonna 0: valore '99.5' fuori dall'intervallo da 0 a 99" + Dip},
    CasoCampo{"DueCifre_Negativo",   P::DueCifre,     2, "-0.6",            "Riga 1, colonna 0: valore '-0.6' fuori dall'intervallo da 0 a 99" + Dip}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// The records, each assembled by hand from the positions of its fields (record "1" and the whole
// supply: the sample in test_dati_sub_tfr.cpp).

const std::string Azienda = "0000712345"
                            "02345678901";

const std::string Dipendente2 = "2" + Azienda +
                                "000000142"
                                "20070701"
                                "FRRLCU80A41A944X"
                                "FERRETTI" +
                                Spazi(18) + "LUCIA" + Spazi(21) + "VIA SARAGOZZA, 112" + Spazi(22) + "BOLOGNA" +
                                Spazi(29) +
                                "40135"
                                "BO  "
                                "A944  "
                                "  7"
                                "D"
                                "F"
                                "19800101"
                                "20050315"
                                "1";

TEST(RecordTFR, Record2ConCoordinateBancarie) {
    const RigaEsportazione riga = Prepara(Riga());
    const std::string atteso = Dipendente2 +
                               "O"
                               "0000234560"
                               "B"
                               "IT60X0542811101000000123456" +
                               Spazi(7) + Spazi(14);
    EXPECT_EQ(Componi(tabelleTFR::Record2, &riga), atteso);
}

TEST(RecordTFR, Record2CoordinateAllineateASpazi) {
    const RigaEsportazione riga = Prepara(Riga({{40, "60"}, {29, "542"}, {30, "1101"}, {31, "123456"}}));
    const std::string atteso = Dipendente2 +
                               "O"
                               "0000234560"
                               "B"
                               "IT60X  542 1101      123456" +
                               Spazi(7) + Spazi(14);
    EXPECT_EQ(Componi(tabelleTFR::Record2, &riga), atteso);
}

// With payment "A" the bank columns are not read at all: a line that ends before them is fine.
TEST(RecordTFR, Record2SenzaCoordinatePerPagamentoA) {
    auto colonne = Colonne({{12, ""}, {26, "0"}, {27, "a"}});
    const RigaEsportazione riga = Prepara(Riga(colonne, 28));
    const std::string atteso = "2" + Azienda +
                               "000000142"
                               "00000000" +
                               Dipendente2.substr(39) +
                               " "
                               "0000000000"
                               "A" +
                               Spazi(34) + Spazi(14);
    EXPECT_EQ(Componi(tabelleTFR::Record2, &riga), atteso);
}

struct CasoPeriodo {
    const char* nome;
    std::string colonna36;
    std::string coda; // positions 23 to 74, or the message
};
void PrintTo(const CasoPeriodo& caso, std::ostream* os) { *os << caso.nome; }

class Record3Coda : public testing::TestWithParam<CasoPeriodo> {};

const std::string CodaAN50 = "AN" + std::string(50, '0');
const std::string CodaPS50 = "PS"
                             "0003210500"
                             "0000237815"
                             "0000232585"
                             "0000000000"
                             "0000005230";

TEST_P(Record3Coda, SceltaDallaColonna36) {
    const RigaEsportazione riga = Prepara(Riga({{36, GetParam().colonna36}}), 4);
    const std::string atteso = "3"
                               "20100101"
                               "20101231"
                               "12"
                               "/"
                               "03" +
                               GetParam().coda + Spazi(16);
    const std::string record = TestoOErrore([&] { return Componi(tabelleTFR::Record3, &riga); });
    EXPECT_EQ(record, GetParam().coda.size() == 52 ? atteso : GetParam().coda);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(TFR, Record3Coda, testing::Values(
    CasoPeriodo{"Uno",              "1",         CodaAN50},
    CasoPeriodo{"Zero",             "0",         CodaPS50},
    CasoPeriodo{"Vuota",            "",          CodaPS50},
    CasoPeriodo{"ZeroVirgolaQuattro", "0,4",     CodaPS50},
    CasoPeriodo{"MezzoAlPari",      "0.5",       CodaPS50},
    CasoPeriodo{"MenoMezzo",        "-0.5",      CodaPS50},
    CasoPeriodo{"UnoEMezzo",        "1.5",       CodaAN50},
    CasoPeriodo{"Negativo",         "-1",        CodaAN50},
    CasoPeriodo{"Massimo16Bit",     "32767.4",   CodaAN50},
    CasoPeriodo{"Minimo16Bit",      "-32768.5",  CodaAN50},
    CasoPeriodo{"Oltre16Bit",       "32767.5",   "Riga 4, colonna 36: valore '32767.5' oltre i limiti di un intero a 16 bit (da -32.768 a 32.767) (dipendente FRRLCU80A41A944X)"},
    CasoPeriodo{"Sotto16Bit",       "-32769",    "Riga 4, colonna 36: valore '-32769' oltre i limiti di un intero a 16 bit (da -32.768 a 32.767) (dipendente FRRLCU80A41A944X)"}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// An AN period reads none of the amounts: they may hold anything.
TEST(RecordTFR, Record3AnticipoNonLeggeGliImporti) {
    const RigaEsportazione riga = Prepara(Riga({{36, "1"}, {37, "-5"}, {38, "X"}, {39, "1e20"}}));
    EXPECT_EQ(Componi(tabelleTFR::Record3, &riga).substr(22, 52), CodaAN50);
}

TEST(RecordTFR, Record3DueCifreOltre99) {
    const RigaEsportazione riga = Prepara(Riga({{34, "100"}}), 7);
    EXPECT_EQ(TestoOErrore([&] { return Componi(tabelleTFR::Record3, &riga); }),
              "Riga 7, colonna 34: valore '100' fuori dall'intervallo da 0 a 99 (dipendente FRRLCU80A41A944X)");
}

TEST(RecordTFR, Record4Beneficiario) {
    const RigaEsportazione riga =
        Prepara(" frrlcu80a41a944x \tFRRMTT05H12A944B\tFerretti\tMatteo\tf\t it 60 x 0542 811101 ");
    const std::string atteso = "4"
                               "FRRMTT05H12A944B"
                               "FERRETTI" +
                               Spazi(18) + "MATTEO" + Spazi(20) + "F" + "IT60X0542811101" + Spazi(19) + Spazi(16);
    EXPECT_EQ(Componi(tabelleTFR::Record4, &riga), atteso);
}

TEST(RecordTFR, Record9Conteggi) {
    EXPECT_EQ(Componi(tabelleTFR::Record9, nullptr, std::array{1, 12, 345, 32767}), "9"
                                                                                    "000001"
                                                                                    "000012"
                                                                                    "000345"
                                                                                    "032767");
    EXPECT_EQ(Componi(tabelleTFR::Record9, nullptr, std::array{0, 0, 0, 0}), "9"
                                                                             "000000"
                                                                             "000000"
                                                                             "000000"
                                                                             "000000");
}

// The counts as printf's "%06lld" writes them, from 0 to past the six digits of the field, and below 0.
TEST(RecordTFR, Record9ConteggiComePrintf) {
    std::vector<long long> valori = {0, -1, -99999, -100000};
    for (long long p = 1; p <= 10000000; p *= 10)
        for (const long long v : {p - 1, p, p + 1, 3 * p + 7})
            valori.push_back(v);
    for (const long long v : valori) {
        char atteso[32];
        std::snprintf(atteso, sizeof atteso, "%06lld", v);
        const std::string campo = atteso;
        const std::array<int, 4> conteggi{static_cast<int>(v), 0, 0, 0};
        const std::string testo = TestoOErrore([&] { return Componi(tabelleTFR::Record9, nullptr, conteggi); });
        if (campo.size() == 6) {
            EXPECT_EQ(testo, "9" + campo + "000000" + "000000" + "000000") << v;
        } else {
            EXPECT_EQ(testo, "Campo in posizione 2 lungo " + std::to_string(campo.size()) + " caratteri invece di 6")
                << v;
        }
    }
}

// The date of the run as printf's "%04d%02d%02d" writes it; a year past 9999 does not fit.
TEST(RecordTFR, Record1DataOdierna) {
    const RigaEsportazione riga = Prepara(Riga());
    const auto data = [&](const shell::DataOra& oggi) {
        return TestoOErrore([&] {
            std::string record = "1";
            tracciati::Componi(record, std::span(tabelleTFR::Record1).subspan(1, 1), {&riga}, GancioTFR(oggi, ""));
            return record.substr(1);
        });
    };
    EXPECT_EQ(data({2011, 6, 14, 9, 5, 7}), "20110614");
    EXPECT_EQ(data({999, 1, 2, 0, 0, 0}), "09990102");
    EXPECT_EQ(data({10000, 12, 31, 0, 0, 0}), "Campo in posizione 2 lungo 9 caratteri invece di 8");
}

TEST(RecordTFR, ColonnaMancanteNominaRigaEColonna) {
    const RigaEsportazione riga = Prepara(Riga(Colonne(), 33), 9);
    EXPECT_EQ(TestoOErrore([&] { return Componi(tabelleTFR::Record3, &riga); }),
              "Riga 9, colonna 33: colonna mancante (la riga ha 33 colonne)");
}

} // namespace
} // namespace tfr
