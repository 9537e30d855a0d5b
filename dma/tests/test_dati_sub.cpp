// The DMA run: the sample supply byte for byte, the records and their counts, the reading of the
// columns, the reference month and the final name, and where each failure stops the run.

#include "dma/tests/esecuzione_dma.h"
#include "dma/tests/righe_dma.h"
#include "shell/testo.h"
#include "shell/uscita.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace dma {
namespace {

namespace fs = std::filesystem;
using shell::test::LeggiFile;
using shell::test::ScriviFile;
using test::EsecuzioneDMA;
using test::Riga;
using test::Righe;
using test::Temporaneo;

std::string Spazi(std::size_t n) { return std::string(n, ' '); }

// A piece of a record by its positions from 1, as the record tables give them.
std::string Posizioni(const std::string& record, std::size_t da, std::size_t a) {
    return record.substr(da - 1, a - da + 1);
}

// The value of the first block of a code in the area of record C.
std::string Blocco(const std::string& recordC, const std::string& codice) {
    for (std::size_t i = 89; i + 24 <= 1889; i += 24)
        if (recordC.compare(i, 8, codice) == 0)
            return recordC.substr(i + 8, 16);
    return "(manca " + codice + ")";
}

// The sample of samples/dma, checked by hand field by field: a complete employee; one with blanks
// and small letters, accented letters, a 27-character address and an optional column; one with
// missing data (no surname, sex, address and CAP, an impossible birth date); one with CAP 00184 and
// two optional columns.
TEST_F(EsecuzioneDMA, EsempioByteByByte) {
    fs::copy_file(fs::path(DMA_ESEMPIO) / test::FileEsportazione, Programma() / test::FileEsportazione);
    ASSERT_EQ(Esegui(), "");
    const fs::path finale = Archivio() / "INPDAPDMA-2011-06.txt";
    EXPECT_EQ(Fornitura(), LeggiFile(fs::path(DMA_DATI) / "INPDAPDMA-2011-06.txt"));
    EXPECT_EQ(Record(Fornitura()).size(), 7u);
    EXPECT_EQ(m_contesto.messaggio,
              LeggiFile(fs::path(DMA_DATI) / "INPDAPDMA-2011-06.log") + shell::TestoCompletamento(finale));
    ASSERT_EQ(m_contesto.avvisi.size(), 1u);
    EXPECT_EQ(m_contesto.avvisi[0].testo, "Attenzione!!!");
    EXPECT_TRUE(m_contesto.avvisi[0].iconaErrore);
    EXPECT_TRUE(m_contesto.cursoreInFondo);
    EXPECT_EQ(FileInArchivio(), std::vector<std::string>{"INPDAPDMA-2011-06.txt"});
}

TEST_F(EsecuzioneDMA, UnaRigaQuattroRecord) {
    Esportazione(Righe({Riga()}));
    ASSERT_EQ(Esegui(), "");
    const std::vector<std::string> record = Record(Fornitura());
    ASSERT_EQ(record.size(), 4u);
    EXPECT_EQ(std::string() + record[0][0] + record[1][0] + record[2][0] + record[3][0], "ABCZ");
    EXPECT_EQ(record[3], "Z" + Spazi(14) + "000000001000000001000000000" + Spazi(1855) + "A");
    EXPECT_EQ(m_contesto.messaggio, "Generazione Record Tipo A - Intestazione Fornitura\r\n"
                                    "Generazione Record Tipo B - Frontespizio\r\n"
                                    "Generazione Record Tipo C - Quadro D0 - ROSSI LAURA\r\n"
                                    "Generazione Record Tipo Z - Riepilogo\r\n" +
                                        shell::TestoCompletamento(Archivio() / "INPDAPDMA-2011-06.txt"));
}

// Every column is upper-cased, then its blanks around are removed, wherever it is used.
TEST_F(EsecuzioneDMA, ColonneInMaiuscoloSenzaSpazi) {
    Esportazione(Righe({Riga({{0, "  mario  "}, {10, " comune di forl\xEC "}, {33, "  laura "}})}));
    ASSERT_EQ(Esegui(), "");
    const std::vector<std::string> record = Record(Fornitura());
    EXPECT_EQ(Posizioni(record[0], 23, 38), "MARIO" + Spazi(11));
    for (const std::string& r : {record[1], record[2]}) {
        EXPECT_EQ(Posizioni(r, 2, 12), "MARIO" + Spazi(6));
        EXPECT_EQ(Posizioni(r, 44, 54), "MARIO" + Spazi(6));
    }
    EXPECT_EQ(Posizioni(record[1], 97, 156), "COMUNE DI FORL\xCC" + Spazi(45));
    EXPECT_EQ(Blocco(record[2], "D0001003"), "LAURA" + Spazi(11));
    EXPECT_NE(m_contesto.messaggio.find("Quadro D0 - ROSSI LAURA\r\n"), std::string::npos);
}

// Columns 10 to 16 of the first line appear twice in record B.
TEST_F(EsecuzioneDMA, Colonne10a16DueVolteNelFrontespizio) {
    const std::map<int, std::string> colonne{{10, "ENTE"}, {11, "A1"}, {12, "BORGO"},  {13, "12345"},
                                             {14, "T"},    {15, "F"},  {16, "E@X.IT"}, {17, "SEDE"}};
    Esportazione(Righe({Riga(colonne)}));
    ASSERT_EQ(Esegui(), "");
    const std::string b = Record(Fornitura())[1];
    const std::string blocco = "ENTE" + Spazi(56) + "A1  " + "BORGO" + Spazi(55) + "12345" + "T" + Spazi(11) + "F" +
                               Spazi(11) + "E@X.IT" + Spazi(94);
    EXPECT_EQ(Posizioni(b, 97, 349), blocco);
    EXPECT_EQ(Posizioni(b, 603, 855), blocco);
    EXPECT_EQ(Posizioni(b, 350, 409), "SEDE" + Spazi(56));
}

struct CasoNumero {
    const char* nome;
    std::string colonna1;
    std::string atteso; // positions 13-17 and 55-59 of the head
};

void PrintTo(const CasoNumero& caso, std::ostream* os) { *os << caso.nome; }

class NumeroNellaTestata : public EsecuzioneDMA, public testing::WithParamInterface<CasoNumero> {};

// Column 1 is read with ValoreSemplice and written as a whole number, halves to the even neighbour.
TEST_P(NumeroNellaTestata, Cifre) {
    Esportazione(Righe({Riga({{1, GetParam().colonna1}})}));
    ASSERT_EQ(Esegui(), "");
    for (const std::string& r : Record(Fornitura()))
        if (r[0] == 'B' || r[0] == 'C') {
            EXPECT_EQ(Posizioni(r, 13, 17), GetParam().atteso) << r[0];
            EXPECT_EQ(Posizioni(r, 55, 59), GetParam().atteso) << r[0];
        }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Colonna1, NumeroNellaTestata, testing::Values(
    CasoNumero{"Tre",                "3",       "00003"},
    CasoNumero{"Vuota",              "",        "00000"},
    CasoNumero{"VirgolaFinisce",     "12,50",   "00012"},
    CasoNumero{"Lettere",            "ABC",     "00000"},
    CasoNumero{"MetaAlPariGiu",      "12.5",    "00012"},
    CasoNumero{"MetaAlPariSu",       "13.5",    "00014"},
    CasoNumero{"Negativo",           "-7",      "000-7"},
    CasoNumero{"NegativoMezzo",      "-2.5",    "000-2"},
    CasoNumero{"MenoZero",           "-0.4",    "00000"},
    CasoNumero{"Esponente",          "1E3",     "01000"},
    CasoNumero{"TroppeCifre",        "123456",  "23456"},
    CasoNumero{"Grande",             "123456789012345678", "45680"}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

struct CasoMese {
    const char* nome;
    std::string anno, mese; // columns 8 and 9
    std::string nomeFinale;
    std::string meseAnnoB;     // positions 91-96 of record B
    std::string primo, ultimo; // the E0 period
};

void PrintTo(const CasoMese& caso, std::ostream* os) { *os << caso.nome; }

class MeseDiRiferimento : public EsecuzioneDMA, public testing::WithParamInterface<CasoMese> {};

TEST_P(MeseDiRiferimento, NomeFrontespizioEPeriodo) {
    const CasoMese& caso = GetParam();
    Esportazione(Righe({Riga({{8, caso.anno}, {9, caso.mese}}), Riga({{8, "1999"}, {9, "1"}})}));
    ASSERT_EQ(Esegui(), "");
    EXPECT_EQ(FileInArchivio(), std::vector<std::string>{caso.nomeFinale});
    const std::vector<std::string> record = Record(Fornitura(caso.nomeFinale));
    ASSERT_EQ(record.size(), 5u);
    EXPECT_EQ(Posizioni(record[1], 91, 96), caso.meseAnnoB);
    for (const std::string& c : {record[2], record[3]}) { // the first line's month for every employee
        EXPECT_EQ(Blocco(c, "E0001001"), Spazi(8) + caso.primo);
        EXPECT_EQ(Blocco(c, "E0001002"), Spazi(8) + caso.ultimo);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Colonne8e9, MeseDiRiferimento, testing::Values(
    CasoMese{"Giugno2011",       "2011",   "6",   "INPDAPDMA-2011-06.txt", "062011", "01062011", "30062011"},
    CasoMese{"Febbraio2012",     "2012",   "02",  "INPDAPDMA-2012-02.txt", "022012", "01022012", "29022012"},
    CasoMese{"MetaAlPari",       "2011.5", "6.5", "INPDAPDMA-2012-06.txt", "062012", "01062012", "30062012"},
    CasoMese{"AnnoCorto",        "11",     "6",   "INPDAPDMA-0011-06.txt", "060011", "01060011", "30060011"},
    CasoMese{"Mese13",           "2011",   "13",  "INPDAPDMA-2011-13.txt", "132011", "01012012", "31012012"},
    CasoMese{"Mese0",            "2011",   "0",   "INPDAPDMA-2011-00.txt", "002011", "01122010", "31122010"},
    CasoMese{"MeseNegativo",     "2011",   "-1",  "INPDAPDMA-2011--01.txt", "-12011", "01112010", "30112010"},
    CasoMese{"UltimoPossibile",  "9999",   "12",  "INPDAPDMA-9999-12.txt", "129999", "01129999", "31129999"}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// A second run for the same month replaces the supply; another month writes a second one.
TEST_F(EsecuzioneDMA, StessoMeseSostituisceAltroMeseAggiunge) {
    Esportazione(Righe({Riga()}));
    ASSERT_EQ(Esegui(), "");
    Esportazione(Righe({Riga(), Riga()}));
    ASSERT_EQ(Esegui(), "");
    EXPECT_EQ(Record(Fornitura()).size(), 5u);
    Esportazione(Righe({Riga({{9, "7"}})}));
    ASSERT_EQ(Esegui(), "");
    EXPECT_EQ(FileInArchivio(), (std::vector<std::string>{"INPDAPDMA-2011-06.txt", "INPDAPDMA-2011-07.txt"}));
    EXPECT_EQ(Record(Fornitura()).size(), 5u);
    EXPECT_EQ(Record(Fornitura("INPDAPDMA-2011-07.txt")).size(), 4u);
}

struct CasoErrore {
    const char* nome;
    std::string esportazione;
    std::string messaggio; // without the line that names the temporary file
};

void PrintTo(const CasoErrore& caso, std::ostream* os) { *os << caso.nome; }

class ErroreCheFerma : public EsecuzioneDMA, public testing::WithParamInterface<CasoErrore> {};

// The run stops with a message naming the line and the column; the output stays under its temporary
// name and an older supply of the month is left as it was.
TEST_P(ErroreCheFerma, DocumentoConNomeTemporaneo) {
    fs::create_directory(Archivio());
    ScriviFile(Archivio() / "INPDAPDMA-2011-06.txt", "vecchio");
    Esportazione(GetParam().esportazione);
    EXPECT_EQ(Esegui(), GetParam().messaggio + "\r\nIl documento resta con il nome temporaneo '" +
                            shell::TestoPercorso(Archivio() / Temporaneo) + "'.");
    EXPECT_EQ(FileInArchivio(), (std::vector<std::string>{Temporaneo, "INPDAPDMA-2011-06.txt"}));
    EXPECT_EQ(Fornitura(), "vecchio");
    EXPECT_FALSE(m_contesto.cursoreInFondo);
    EXPECT_EQ(m_contesto.messaggio.find("completata"), std::string::npos);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Esportazioni, ErroreCheFerma, testing::Values(
    CasoErrore{"RigaCorta", Righe({Riga(), Riga({}, 44), Riga({}, 43)}),
               "Riga 3, colonna 43: colonna mancante (la riga ha 43 colonne)"},
    CasoErrore{"PrimaRigaSenzaColonna45", Righe({Riga({}, 45)}),
               "Riga 1, colonna 45: colonna mancante (la riga ha 45 colonne)"},
    CasoErrore{"PrimaRigaCortissima", Righe({Riga({}, 5)}),
               "Riga 1, colonna 8: colonna mancante (la riga ha 5 colonne)"},
    CasoErrore{"RigaVuotaInMezzo", Riga() + "\r\n\r\n" + Riga(),
               "Riga 2, colonna 0: colonna mancante (la riga ha 0 colonne)"},
    CasoErrore{"RigaVuotaInFondo", Righe({Riga(), ""}),
               "Riga 2, colonna 0: colonna mancante (la riga ha 0 colonne)"},
    CasoErrore{"Colonna28NonData", Righe({Riga({{28, "31/02/x"}})}),
               "Riga 1, colonna 28: data non valida '31/02/X'"},
    CasoErrore{"AnnoOltre16Bit", Righe({Riga({{8, "40000"}})}),
               "Riga 1, colonna 8: valore '40000' oltre i limiti di un intero a 16 bit (da -32.768 a 32.767)"},
    CasoErrore{"MeseOltre16Bit", Righe({Riga({{9, "32767.5"}})}),
               "Riga 1, colonna 9: valore '32767.5' oltre i limiti di un intero a 16 bit (da -32.768 a 32.767)"},
    CasoErrore{"AnnoZero", Righe({Riga({{8, "0"}})}),
               "Riga 1, colonna 8: il mese di riferimento 6 dell'anno 0 cade fuori dagli anni da 1 a 9999"},
    CasoErrore{"DopoIl9999", Righe({Riga({{8, "9999"}, {9, "13"}})}),
               "Riga 1, colonna 8: il mese di riferimento 13 dell'anno 9999 cade fuori dagli anni da 1 a 9999"},
    // 76 blocks: the E0 blocks at the end would be the first to be lost.
    CasoErrore{"QuadriOltre1800Caratteri", Righe({Riga(), Riga({{38, std::string(16 + 59 * 15, 'X')}})}),
               "Riga 2: i quadri D0 ed E0 del dipendente RSSLRA75B45L378K ROSSI LAURA occupano 1824 caratteri, "
               "oltre i 1.800 del record C (il tracciato DMA non prevede record di continuazione)"}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

TEST_F(EsecuzioneDMA, EsportazioneVuotaRifiutata) {
    fs::create_directory(Archivio());
    ScriviFile(Archivio() / "INPDAPDMA-0000-00.txt", "vecchio");
    Esportazione("");
    EXPECT_EQ(Esegui(), "Il file di esportazione \xE8 vuoto");
    EXPECT_EQ(FileInArchivio(), std::vector<std::string>{"INPDAPDMA-0000-00.txt"});
    EXPECT_EQ(Fornitura("INPDAPDMA-0000-00.txt"), "vecchio");
    EXPECT_TRUE(m_contesto.messaggio.empty());
}

TEST_F(EsecuzioneDMA, EsportazioneMancante) {
    EXPECT_EQ(Esegui(), "manca " + (Programma() / test::FileEsportazione).string());
    EXPECT_FALSE(fs::exists(Archivio()));
}

} // namespace
} // namespace dma
