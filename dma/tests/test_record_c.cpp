// Record C of one employee byte for byte: the head, the tax code, the blocks of quadri D0 and E0 in
// the area, the checks with their log lines and the one message box.

#include "dma/tests/esecuzione_dma.h"
#include "dma/tests/righe_dma.h"
#include "shell/uscita.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace dma {
namespace {

using test::EsecuzioneDMA;
using test::Riga;
using test::Righe;

const std::string Inizio = "Generazione Record Tipo C - Quadro D0 - ";

std::string Spazi(std::size_t n) { return std::string(n, ' '); }

// The head of record C for the base line: its columns 0 to 3 and the module number.
// clang-format off
std::string TestataBase(const std::string& modulo = "00000001") {
    return "C" "80012340586" "00003" + modulo + "1234567" "00987650424" "80012340586" "00003" "1234567";
}
// clang-format on

// The blocks of the complete base employee, June 2011, in their order; a code maps to its blocks.
std::vector<std::pair<std::string, std::vector<std::string>>> BlocchiBase() {
    return {
        {"D0001001", {"D0001001RSSLRA75B45L378K"}},
        {"D0001002", {"D0001002ROSSI           "}},
        {"D0001003", {"D0001003LAURA           "}},
        {"D0001004", {"D0001004F               "}},
        {"D0001005", {"D0001005        05021975"}},
        {"D0001006", {"D0001006TRENTO          "}},
        {"D0001007", {"D0001007VALBRUNA        "}},
        {"D0001008", {"D0001008VIA ROMA 12     "}},
        {"D0001009", {"D0001009           38050"}},
        {"D0001011", {}},
        {"D0001012", {}},
        {"D0001013", {}},
        {"D0001015", {"D0001015               1"}},
        {"E0001001", {"E0001001        01062011"}},
        {"E0001002", {"E0001002        30062011"}},
        {"E0001007", {"E000100707              "}},
        {"E0001008", {"E000100801              "}},
        {"E0001009", {"E0001009019210          "}},
        {"E0001011", {"E0001011              13"}},
        {"E0001012", {"E0001012               4"}},
    };
}

struct CasoDipendente {
    const char* nome;
    std::map<int, std::string> colonne;                      // columns of the base line replaced
    std::map<std::string, std::vector<std::string>> blocchi; // blocks of the base replaced
    std::vector<std::string> controlli;                      // log lines of the failed checks
    std::string cognomeENome = "ROSSI LAURA";                // the last log line of the record
};

void PrintTo(const CasoDipendente& caso, std::ostream* os) { *os << caso.nome; }

class RecordCDipendente : public EsecuzioneDMA, public testing::WithParamInterface<CasoDipendente> {};

TEST_P(RecordCDipendente, RecordControlliEAvviso) {
    const CasoDipendente& caso = GetParam();
    Esportazione(Righe({Riga(caso.colonne)}));
    ASSERT_EQ(Esegui(), "");

    std::string area;
    for (auto [codice, blocchi] : BlocchiBase()) {
        if (const auto sostituiti = caso.blocchi.find(codice); sostituiti != caso.blocchi.end())
            blocchi = sostituiti->second;
        for (const auto& blocco : blocchi) {
            ASSERT_EQ(blocco.size(), 24u) << blocco;
            area += blocco;
        }
    }
    const std::vector<std::string> record = Record(Fornitura());
    ASSERT_EQ(record.size(), 4u);
    EXPECT_EQ(record[2],
              TestataBase() + "RSSLRA75B45L378K" + Spazi(7) + area + Spazi(1800 - area.size()) + Spazi(8) + "A");

    std::string righeC;
    for (const auto& controllo : caso.controlli)
        righeC += Inizio + controllo + "\r\n";
    const std::string primaDiC = "Generazione Record Tipo A - Intestazione Fornitura\r\n"
                                 "Generazione Record Tipo B - Frontespizio\r\n" +
                                 righeC;
    EXPECT_EQ(m_contesto.messaggio, primaDiC + Inizio + caso.cognomeENome + "\r\n" +
                                        "Generazione Record Tipo Z - Riepilogo\r\n" +
                                        shell::TestoCompletamento(Archivio() / "INPDAPDMA-2011-06.txt"));
    // One box for the record however many checks failed, after their log lines and before the last.
    if (caso.controlli.empty()) {
        EXPECT_TRUE(m_contesto.avvisi.empty());
    } else {
        ASSERT_EQ(m_contesto.avvisi.size(), 1u);
        EXPECT_EQ(m_contesto.avvisi[0].testo, "Attenzione!!!");
        EXPECT_TRUE(m_contesto.avvisi[0].iconaErrore);
        EXPECT_EQ(m_contesto.logAllAvviso[0], primaDiC);
    }
}

const std::string Vuoto = "                ";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Dipendenti, RecordCDipendente, testing::Values(
    CasoDipendente{"Completo", {}, {}, {}},
    CasoDipendente{"SenzaCognome", {{32, ""}}, {{"D0001002", {"D0001002" + Vuoto}}},
                   {"RSSLRA75B45L378KSenza cognome"}, " LAURA"},
    CasoDipendente{"SenzaNome", {{33, ""}}, {{"D0001003", {"D0001003" + Vuoto}}},
                   {"RSSLRA75B45L378K  Senza nome"}, "ROSSI "},
    CasoDipendente{"SenzaSessoEDataNonValida", {{34, ""}, {35, "31/02/1975"}},
                   {{"D0001004", {"D0001004" + Vuoto}}, {"D0001005", {}}},
                   {"ROSSI LAURA Senza sesso", "ROSSI LAURA Data nascita non valida "}},
    // Blanks only are trimmed away: the column is empty.
    CasoDipendente{"TuttiIControlliInOrdine",
                   {{32, "  "}, {33, ""}, {34, ""}, {35, "X"}, {36, ""}, {37, ""}, {38, ""}, {39, ""}},
                   {{"D0001002", {"D0001002" + Vuoto}}, {"D0001003", {"D0001003" + Vuoto}},
                    {"D0001004", {"D0001004" + Vuoto}}, {"D0001005", {}},
                    {"D0001006", {"D0001006" + Vuoto}}, {"D0001007", {"D0001007" + Vuoto}},
                    {"D0001008", {"D0001008" + Vuoto}}, {"D0001009", {"D0001009           00000"}}},
                   {"RSSLRA75B45L378KSenza cognome", "RSSLRA75B45L378K  Senza nome", "  Senza sesso",
                    "  Data nascita non valida ", "  Senza luogo nascita", "  Senza luogo residenza",
                    "  Senza indirizzo", "  Senza CAP"}, " "},
    CasoDipendente{"Indirizzo36Caratteri", {{38, "Via Giuseppe Garibaldi 36 scala B 41"}},
                   {{"D0001008", {"D0001008VIA GIUSEPPE GAR", "D0001008+IBALDI 36 SCALA", "D0001008+ B 41          "}}}, {}},
    CasoDipendente{"Indirizzo17Caratteri", {{38, "VIA DEI CASTELLI1"}},
                   {{"D0001008", {"D0001008VIA DEI CASTELLI", "D0001008+1" + std::string(14, ' ')}}}, {}},
    CasoDipendente{"CapConZeri", {{39, "00184"}}, {{"D0001009", {"D0001009           00184"}}}, {}},
    CasoDipendente{"CapNonNumerico", {{39, "ABC"}}, {{"D0001009", {"D0001009           00000"}}}, {}},
    // N5 rounds halves away from zero.
    CasoDipendente{"CapConDecimali", {{39, "38049.5"}}, {{"D0001009", {"D0001009           38050"}}}, {}},
    CasoDipendente{"Facoltative", {{40, "fraz. Montagnaga"}, {41, "int. 4"}, {42, "  scala B "}},
                   {{"D0001011", {"D0001011FRAZ. MONTAGNAGA"}}, {"D0001012", {"D0001012INT. 4          "}},
                    {"D0001013", {"D0001013SCALA B         "}}}, {}},
    CasoDipendente{"FacoltativaDiSoliSpazi", {{41, "   "}}, {}, {}},
    CasoDipendente{"CodiceFiscaleLungo", {{31, "RSSLRA75B45L378KXYZ"}},
                   {{"D0001001", {"D0001001RSSLRA75B45L378K"}}}, {}}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// 75 blocks fill the area exactly: nothing is cut, the E0 blocks end at position 1889.
TEST_F(EsecuzioneDMA, AreaPienaSenzaTaglio) {
    // 17 blocks with the address in one; an address of 16 + 58 * 15 characters takes 59.
    std::string indirizzo(16 + 58 * 15, 'X');
    Esportazione(Righe({Riga({{38, indirizzo}})}));
    ASSERT_EQ(Esegui(), "");
    const std::string c = Record(Fornitura())[2];
    EXPECT_EQ(c.substr(89 + 7 * 24, 24), "D0001008" + std::string(16, 'X'));
    EXPECT_EQ(c.substr(89 + 65 * 24, 24), "D0001008+" + std::string(15, 'X'));
    EXPECT_EQ(c.substr(1889 - 24, 24), "E0001012               4");
    EXPECT_EQ(c.substr(1889), Spazi(8) + "A");
}

// Three employees: each record C has its own line's head and the module numbers 1, 2, 3; record B
// keeps the first line's.
TEST_F(EsecuzioneDMA, ModuliETestataDiOgniRiga) {
    Esportazione(Righe({Riga(), Riga({{0, "80099999999"}, {1, "7"}, {2, "X"}, {3, "Y"}}), Riga()}));
    ASSERT_EQ(Esegui(), "");
    const std::vector<std::string> record = Record(Fornitura());
    ASSERT_EQ(record.size(), 6u);
    EXPECT_EQ(record[1].substr(0, 66), "B" + TestataBase().substr(1));
    EXPECT_EQ(record[2].substr(0, 66), TestataBase("00000001"));
    // clang-format off
    EXPECT_EQ(record[3].substr(0, 66), "C" "80099999999" "00007" "00000002" "X      " "Y          "
                                       "80099999999" "00007" "X      ");
    EXPECT_EQ(record[4].substr(0, 66), TestataBase("00000003"));
    EXPECT_EQ(record[5].substr(15, 27), "000000001" "000000003" "000000000");
    // clang-format on
    EXPECT_EQ(record[3].substr(89, 24), "D0001001RSSLRA75B45L378K"); // the same employee data
}

} // namespace
} // namespace dma
