// The real `fornitura` program on the sample, as a host or a script starts it.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/esecuzione.h"
#include "tests/supporto/processo.h"
#include "emens/tests/supporto_emens.h"
#include "shell/testo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace emens {
namespace {

namespace fs = std::filesystem;
using shell::test::Argomento;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;
using shell::test::ScriviFile;

class ProgrammaFornitura : public shell::test::EsecuzioneSuEsempio {
protected:
    ProgrammaFornitura() : EsecuzioneSuEsempio(FORNITURA_EXE, "emens", EMENS_ESEMPIO, {"EsportazioneINPS.tab"}) {}
};

// The log on standard output in UTF-8, line for line; nothing on standard error, since the E-Mens
// window has no error box.
TEST_F(ProgrammaFornitura, EsempioNellArchivio) {
    EXPECT_EQ(Esegui(), 0);
    const fs::path finale = m_dir / "ARC" / "INPSEMENS-2008-06.xml";
    EXPECT_EQ(LeggiFile(finale), test::DatiProva("esempio.xml"));
    EXPECT_EQ(test::ErroriXml(finale), "");
    std::string log = shell::Utf8DaLatin1(test::DatiProva("esempio.log"));
    for (auto cr = log.find('\r'); cr != std::string::npos; cr = log.find('\r'))
        log.erase(cr, 1);
    EXPECT_EQ(LeggiFile(m_dir / "out"), log + "Generazione documento '" + finale.string() +
                                            "' completata.\nPremi il pulsante 'Continua' per terminare.\n");
    EXPECT_EQ(LeggiFile(m_dir / "err"), "");
}

TEST_F(ProgrammaFornitura, ErroreEdEsportazioneMancante) {
    ScriviFile(m_dir / "prog" / "EsportazioneINPS.tab", "");
    fs::create_directory(m_dir / "ARC");
    EXPECT_EQ(Esegui(), 1);
    EXPECT_EQ(LeggiFile(m_dir / "err"), "Il file di esportazione \xC3\xA8 vuoto\n");
    EXPECT_TRUE(shell::test::SenzaFileVisibili(m_dir / "ARC"));

    ScriviFile(m_dir / "prog" / "EsportazioneINPS.tab", test::RigaProva({}, 20) + "\r\n");
    EXPECT_EQ(Esegui(), 1);
    const fs::path temporaneo = m_dir / "ARC" / "INPSEMENS-2011-06-14-09-05-07.xml";
    EXPECT_EQ(LeggiFile(m_dir / "err"), "Riga 1, colonna 20: colonna mancante (la riga ha 20 colonne, ne servono 30)\n"
                                        "Il documento resta con il nome temporaneo '" +
                                            temporaneo.string() + "'.\n");
    EXPECT_EQ(test::FileVisibili(m_dir / "ARC"), std::vector<std::string>{temporaneo.filename().string()});

    fs::remove(m_dir / "prog" / "EsportazioneINPS.tab");
    EXPECT_EQ(Esegui(), 3);
    EXPECT_EQ(LeggiFile(m_dir / "err"), "Non trovo il file originale in '" +
                                            (m_dir / "prog" / "EsportazioneINPS.tab").string() +
                                            "', quindi non posso continuare...\n");
}

} // namespace
} // namespace emens
