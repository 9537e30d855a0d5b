// The whole 770 run: the sample supply byte for byte with its log and message box, records G beyond
// one, the counts, the failures that stop the run, and the real command line program.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/contesto_registrato.h"
#include "conv770/dati_sub.h"
#include "shell/errore.h"
#include "tests/supporto/processo.h"
#include "conv770/quadri.h"
#include "conv770/tests/riga_prova.h"
#include "shell/testo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace conv770 {
namespace {

namespace fs = std::filesystem;
using shell::test::Argomento;
using shell::test::CartellaTemporanea;
using shell::test::ContestoRegistrato;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;
using shell::test::ScriviFile;
using test::Colonne;
using test::TestoRiga;

const std::string Esempio = CARTELLA_ESEMPI "/Esportazione770.tab";
const std::string Verificato = CARTELLA_DATI "/Importa770-2011-02468130584.txt";
const std::string Temporaneo = "Importa770-2011-06-14-09-05-07.txt";

// The records of a supply, after checking the frame of each: 1,898 characters, "A" in 1898, CR LF.
std::vector<std::string> Record(const std::string& fornitura) {
    std::vector<std::string> record;
    EXPECT_EQ(fornitura.size() % 1900, 0u);
    for (std::size_t i = 0; i + 1900 <= fornitura.size(); i += 1900) {
        record.push_back(fornitura.substr(i, 1898));
        EXPECT_EQ(fornitura.substr(i + 1897, 3), "A\r\n") << "record " << record.size();
    }
    return record;
}

std::string Tipi(const std::vector<std::string>& record) {
    std::string tipi;
    for (const auto& r : record)
        tipi += r[0];
    return tipi;
}

// Runs the conversion on an export in a fresh folder; the context keeps log and message boxes and
// notes the log as it was when the first message box came.
struct Esecuzione : ContestoRegistrato {
    CartellaTemporanea dir;
    std::string logAlPrimoAvviso;

    Esecuzione() : ContestoRegistrato(fs::path()) {}
    fs::path CartellaArchivio() const override { return dir / "ARC"; }
    void AvvisoVisibile(std::string_view testo, bool iconaErrore) override {
        if (avvisi.empty())
            logAlPrimoAvviso = messaggio;
        ContestoRegistrato::AvvisoVisibile(testo, iconaErrore);
    }
    std::string Esegui(const std::string& esportazione, const std::string& finale = "02468135790") {
        ScriviFile(dir / "Esportazione770.tab", esportazione);
        EseguiConversione(*this, dir / "Esportazione770.tab");
        EXPECT_FALSE(fs::exists(dir / "ARC" / Temporaneo));
        return LeggiFile(dir / "ARC" / ("Importa770-2011-" + finale + ".txt"));
    }
};

std::string Esportazione(const std::vector<Colonne>& righe) {
    std::string testo;
    for (const auto& colonne : righe)
        testo += TestoRiga(colonne) + "\r\n";
    return testo;
}

const std::string LogG = "Generazione Record Tipo G - Comunicazione dati certificazioni lavoro dipendente C.F.: ";

TEST(Fornitura770, EsempioComeIlDocumentoVerificato) {
    Esecuzione run;
    const std::string fornitura = run.Esegui(LeggiFile(Esempio), "02468130584");
    EXPECT_EQ(Tipi(Record(fornitura)), "ABGGGGGJZ");
    EXPECT_EQ(fornitura, LeggiFile(Verificato));
    const std::string log = "Generazione Record Tipo A - Intestazione Fornitura\r\n"
                            "Generazione Record Tipo B - Frontespizio\r\n" +
                            LogG + "RSSGLI80A41E507K - ROSSI GIULIA\r\n" + LogG +
                            "DNGNCL75T10Z112D - D'ANGELO M\xDCLLER NICOL\xD2\r\n" + LogG +
                            "VRDPLA90E15F704Y -  PAOLO\r\n";
    const std::string fine = LogG +
                             "FRRLNE85M52L219H - FERRARI ELENA\r\n"
                             "Generazione Record Tipo J - Prospetto SS Riepilogo\r\n"
                             "Generazione Record Tipo Z - Riepilogo\r\n" +
                             shell::TestoCompletamento(run.dir / "ARC" / "Importa770-2011-02468130584.txt");
    EXPECT_EQ(run.messaggio, log + fine);
    ASSERT_EQ(run.avvisi.size(), 1u);
    EXPECT_EQ(run.avvisi[0].testo, "Errori sul dipendente con C.F.: VRDPLA90E15F704Y -  PAOLO\r\n\r\n"
                                   "Cognome dipendente non impostato\r\n"
                                   "Data di nascita del dipendente non impostata\r\n"
                                   "Provincia di residenza del dipendente non impostato");
    EXPECT_FALSE(run.avvisi[0].iconaErrore);
    EXPECT_EQ(run.logAlPrimoAvviso, log); // after the employee's record and log line, before the next
}

TEST(Fornitura770, NomeFinaleDallaColonnaZeroDellaPrimaRiga) {
    Esecuzione run;
    const std::string fornitura =
        run.Esegui(Esportazione({{{0, "ab12"}, {1, "PRIMA"}}, {{0, "99999999999"}, {1, "ULTIMA"}}}), "AB12");
    const auto record = Record(fornitura);
    ASSERT_EQ(Tipi(record), "ABGGJZ");
    EXPECT_EQ(record[1].substr(1, 16), "AB12            ");
    EXPECT_EQ(record[1].substr(73, 16), "PRIMA           ");
    // Record J takes the declarant columns of the last line.
    EXPECT_EQ(record[4].substr(0, 89), "J99999999999     00000001" + std::string(48, ' ') + "ULTIMA          ");
}

TEST(Fornitura770, NumeriDiModuloEConteggi) {
    std::vector<Colonne> righe(10);
    Esecuzione run;
    const auto record = Record(run.Esegui(Esportazione(righe)));
    ASSERT_EQ(Tipi(record), "AB" + std::string(10, 'G') + "JZ");
    EXPECT_EQ(record[2].substr(17, 8), "00000001");
    EXPECT_EQ(record[11].substr(17, 8), "00000010");
    EXPECT_EQ(record[1].substr(797, 16), "0000001000000000");
    const std::string z = std::string("Z").append(14, ' ') + "000000001" + std::string(27, '0') + "000000010" +
                          std::string(9, '0') + "000000001" + std::string(1819, ' ') + "A";
    EXPECT_EQ(record[13], z);
    EXPECT_TRUE(run.avvisi.empty());
}

TEST(Fornitura770, DataDelFrontespizioNonValidaScrittaAZero) {
    Esecuzione run;
    const auto record = Record(run.Esegui(Esportazione({{{17, "IGNOTA"}}})));
    EXPECT_EQ(record[1].substr(1537, 8), "00000000");
    EXPECT_NE(run.messaggio.find("Generazione Record Tipo B - Frontespizio\r\n"
                                 "Riga 1, colonna 17: data non valida 'IGNOTA', scritta come 00000000\r\n"),
              std::string::npos);

    Esecuzione vuota;
    const auto recordVuota = Record(vuota.Esegui(Esportazione({{{17, ""}}})));
    EXPECT_EQ(recordVuota[1].substr(1537, 8), "00000000");
    EXPECT_EQ(vuota.messaggio.find("data non valida"), std::string::npos);
}

// The fields of an employee beyond 1,800 characters go on in further records G with the same head;
// none is lost.
TEST(Fornitura770, RecordGOltreIlPrimo) {
    // 12 blocks of quadro DA, and column 72 as text: 946 characters are 63 blocks.
    for (const std::size_t lunghezza : {946u, 947u, 3000u}) {
        const Colonne colonne{{72, std::string(lunghezza - 1, 'N') + "Z"}};
        std::string area, mancanti;
        Totali totali{};
        CampiQuadroDA(test::Riga(colonne), area, mancanti);
        CampiQuadroDB(test::Riga(colonne), area, totali);
        CampiQuadroDC(test::Riga(colonne), area);

        Esecuzione run;
        const auto record = Record(run.Esegui(Esportazione({colonne})));
        const std::size_t quanti = lunghezza == 946 ? 1 : lunghezza == 947 ? 2 : 3;
        ASSERT_EQ(Tipi(record), "AB" + std::string(quanti, 'G') + "JZ") << lunghezza;
        std::string aree;
        for (std::size_t i = 2; i < 2 + quanti; ++i) {
            EXPECT_EQ(record[i].substr(0, 89), record[2].substr(0, 89));
            EXPECT_EQ(record[i].substr(1889), std::string(8, ' ') + "A");
            aree += record[i].substr(89, 1800);
        }
        EXPECT_EQ(aree, area + std::string(quanti * 1800 - area.size(), ' ')) << lunghezza;
        EXPECT_EQ(record.back().substr(51, 9), "000000001");
        const bool riga = run.messaggio.find("I dati del dipendente con C.F.: RSSGLI80A41E507Z - ROSSI GIULIA "
                                             "occupano 3 record di Tipo G\r\n") != std::string::npos;
        EXPECT_EQ(riga, quanti > 2);
    }
}

struct CasoErrore {
    const char* nome;
    std::string esportazione;
    std::string messaggio;
    std::size_t recordScritti; // left in the temporary file
};
void PrintTo(const CasoErrore& caso, std::ostream* os) { *os << caso.nome; }

class ErroreCheFerma : public testing::TestWithParam<CasoErrore> {};

TEST_P(ErroreCheFerma, DocumentoResoConNomeTemporaneo) {
    Esecuzione run;
    ScriviFile(run.dir / "Esportazione770.tab", GetParam().esportazione);
    const fs::path temporaneo = run.dir / "ARC" / Temporaneo;
    try {
        EseguiConversione(run, run.dir / "Esportazione770.tab");
        FAIL() << "nessun errore";
    } catch (const shell::ErroreElaborazione& e) {
        EXPECT_EQ(std::string(e.what()), GetParam().messaggio + "\r\nIl documento resta con il nome temporaneo '" +
                                             shell::TestoPercorso(temporaneo) + "'.");
    }
    EXPECT_EQ(Record(LeggiFile(temporaneo)).size(), GetParam().recordScritti);
    EXPECT_FALSE(fs::exists(run.dir / "ARC" / "Importa770-2011-02468135790.txt"));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Righe, ErroreCheFerma, testing::Values(
    CasoErrore{"RigaCorta",        TestoRiga({}) + "\r\n" + TestoRiga({}, 199) + "\r\n",
                                   "Riga 2, colonna 199: colonna mancante (la riga ha 199 colonne)", 3},
    CasoErrore{"RigaVuota",        TestoRiga({}) + "\r\n\r\n" + TestoRiga({}) + "\r\n",
                                   "Riga 2, colonna 20: colonna mancante (la riga ha 0 colonne)", 3},
    CasoErrore{"PrimaRigaCorta",   TestoRiga({}, 15) + "\r\n",
                                   "Riga 1, colonna 15: colonna mancante (la riga ha 15 colonne)", 1},
    CasoErrore{"ImportoIlleggibile", Esportazione({{{41, "12,3,4"}}}),
                                   "Riga 1, colonna 41: numero non valido '12,3,4'", 2},
    CasoErrore{"DataDiNascita",    Esportazione({{}, {{24, "31/02/1980"}}}),
                                   "Riga 2, colonna 24: data non valida '31/02/1980'", 3},
    CasoErrore{"DataColonna185",   Esportazione({{{185, "IERI"}}}),
                                   "Riga 1, colonna 185: data non valida 'IERI'", 2},
    CasoErrore{"MigliaiaOltre32",  Esportazione({{{117, "40000"}, {121, "1"}}}),
                                   "Riga 1, colonna 117: numero fuori dall'intervallo ammesso per migliaia e resto '40000'", 2}
), [](const testing::TestParamInfo<CasoErrore>& info) { return std::string(info.param.nome); });
// clang-format on

// The real program, as a host or a script starts it, on the sample export.
TEST(Fornitura770, ProgrammaFornituraSullEsempio) {
    CartellaTemporanea dir;
    fs::copy_file(Esempio, dir / "Esportazione770.tab");
    const auto esito = EseguiProcesso(FORNITURA_EXE,
                                      {"770", "--dir", Argomento(dir.Percorso()), "--archive", Argomento(dir / "ARC"),
                                       "--now", "2011-06-14T09:05:07"},
                                      dir / "out", dir / "err");
    ASSERT_NE(esito.stato, -1);
    EXPECT_EQ(esito.stato, 0);
    EXPECT_EQ(LeggiFile(dir / "ARC" / "Importa770-2011-02468130584.txt"), LeggiFile(Verificato));
    const std::string& out = esito.out;
    EXPECT_EQ(out.substr(0, 51), "Generazione Record Tipo A - Intestazione Fornitura\n");
    EXPECT_NE(out.find("D'ANGELO M\xC3\x9CLLER NICOL\xC3\x92\n"), std::string::npos);
    EXPECT_EQ(esito.err, "Errori sul dipendente con C.F.: VRDPLA90E15F704Y -  PAOLO\n\n"
                         "Cognome dipendente non impostato\n"
                         "Data di nascita del dipendente non impostata\n"
                         "Provincia di residenza del dipendente non impostato\n");
}

} // namespace
} // namespace conv770
