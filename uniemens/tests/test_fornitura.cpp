// The real `fornitura uniemens`, as a script or a host starts it: exit status, log on standard
// output, the error box on standard error, the document.

#include "tests/supporto/processo.h"
#include "uniemens/tests/supporto.h"
#include "shell/testo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace uniemens {
namespace {

namespace fs = std::filesystem;
using shell::test::Argomento;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;
using shell::test::ScriviFile;
using namespace uniemens::test;

struct Uscita {
    int stato;
    std::string out, err;
};

Uscita Fornitura(const CartellaTemporanea& dir, const std::string& esportazione) {
    ScriviFile(dir / "EsportazioneINPS.tab", esportazione);
    const auto esito = EseguiProcesso(FORNITURA_EXE,
                                      {"uniemens", "--dir", Argomento(dir.Percorso()), "--archive",
                                       Argomento(dir / "ARC"), "--now", "2012-03-05T10:11:12"},
                                      dir / "out", dir / "err");
    EXPECT_NE(esito.stato, -1);
    return {esito.stato, esito.out, esito.err};
}

// The window's log text (ISO-8859-1, CR LF, no end after the last line) as the terminal shows it.
std::string SulTerminale(const std::string& testo, const fs::path& archivio) {
    std::string righe;
    for (std::size_t i = 0; i < testo.size(); ++i) {
        if (testo.compare(i, 11, "<ARCHIVIO>/") == 0) {
            righe += (archivio / "").string();
            i += 10;
        } else if (testo[i] != '\r') {
            righe += testo[i];
        }
    }
    return shell::Utf8DaLatin1(righe) + "\n";
}

TEST(FornituraUniemens, EsempioCompletato) {
    CartellaTemporanea dir;
    const auto uscita = Fornitura(dir, LeggiFile(ESEMPIO_UNIEMENS));
    EXPECT_EQ(uscita.stato, 0);
    EXPECT_EQ(uscita.out, SulTerminale(DatiProva("esempio.log"), dir / "ARC"));
    EXPECT_EQ(uscita.err, "Errori di elaborazione:\nNessun errore.\n");
    EXPECT_EQ(LeggiFile(dir / "ARC" / "INPSUNIEMENS-2012-01.xml"), DatiProva("esempio.xml"));
    ControllaDocumenti(dir / "ARC");
}

TEST(FornituraUniemens, ErroriEStatoUno) {
    CartellaTemporanea dir;
    const auto uscita = Fornitura(dir, DatiProva("errori.tab"));
    EXPECT_EQ(uscita.stato, 1);
    EXPECT_EQ(uscita.out, SulTerminale(DatiProva("errori.log"), dir / "ARC"));
    EXPECT_EQ(uscita.err, "Errori di elaborazione:\n"
                          "Errore su persona in riga 2: Collaboratore segnalato su mese precedente\n"
                          "Errore su persona in riga 3: manca Dipendente/Collaboratore\n"
                          "Errore su persona in riga 4, colonna 43: importo non valido '396;96'\n");
    EXPECT_EQ(FileVisibili(dir / "ARC"), std::vector<std::string>{"INPSUNIEMENS-2012-03-05-10-11-12.xml"});
    ControllaDocumenti(dir / "ARC");
}

TEST(FornituraUniemens, NessunaPersonaSenzaFineRiga) {
    CartellaTemporanea dir;
    const auto uscita = Fornitura(dir, Esportazione({RigaProva({{24, "0"}})}));
    EXPECT_EQ(uscita.stato, 1);
    EXPECT_EQ(uscita.err, "Errori di elaborazione:\nNessuna persona segnalata come dipendente o collaboratore.\n");
}

} // namespace
} // namespace uniemens
