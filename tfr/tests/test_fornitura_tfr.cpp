// The real `fornitura` program on the sample, as a host or a script starts it.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/esecuzione.h"
#include "tests/supporto/processo.h"
#include "shell/testo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tfr {
namespace {

namespace fs = std::filesystem;
using shell::test::Argomento;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;
using shell::test::ScriviFile;

class ProgrammaFornitura : public shell::test::EsecuzioneSuEsempio {
protected:
    ProgrammaFornitura()
        : EsecuzioneSuEsempio(FORNITURA_EXE, "tfr", TFR_ESEMPIO,
                              {"EsportazioneTFR.tab", "EsportazioneTFRBeneficiari.tab"}) {}

    // The log as the terminal shows it: UTF-8, LF.
    std::string LogAtteso(const fs::path& finale) const {
        std::string log = shell::Utf8DaLatin1(LeggiFile(fs::path(TFR_DATI) / "MV106140.log"));
        for (auto cr = log.find('\r'); cr != std::string::npos; cr = log.find('\r'))
            log.erase(cr, 1);
        return log + "Generazione documento '" + finale.string() +
               "' completata.\nPremi il pulsante 'Continua' per terminare.\n";
    }
};

TEST_F(ProgrammaFornitura, EsempioNellArchivio) {
    EXPECT_EQ(Esegui(), 0);
    const fs::path finale = m_dir / "ARC" / "MV106140.TXT";
    EXPECT_EQ(LeggiFile(finale), LeggiFile(fs::path(TFR_DATI) / "MV106140.TXT"));
    EXPECT_EQ(LeggiFile(m_dir / "out"), LogAtteso(finale));
    EXPECT_EQ(LeggiFile(m_dir / "err"), "");
}

// "PercorsoTFR.txt" beside the export wins over --archive, which is only its default.
TEST_F(ProgrammaFornitura, PercorsoTFRPrevaleSullArchivio) {
    ScriviFile(m_dir / "prog" / "PercorsoTFR.txt", (m_dir / "TFR").string() + "\r\n");
    EXPECT_EQ(Esegui(), 0);
    EXPECT_EQ(LeggiFile(m_dir / "TFR" / "MV106140.TXT"), LeggiFile(fs::path(TFR_DATI) / "MV106140.TXT"));
    EXPECT_FALSE(fs::exists(m_dir / "ARC"));
}

TEST_F(ProgrammaFornitura, ErroreEdEsportazioneMancante) {
    ScriviFile(m_dir / "prog" / "EsportazioneTFR.tab", "");
    fs::create_directory(m_dir / "ARC");
    EXPECT_EQ(Esegui(), 1);
    EXPECT_EQ(LeggiFile(m_dir / "err"), "Il file di esportazione \xC3\xA8 vuoto\n");
    EXPECT_TRUE(shell::test::SenzaFileVisibili(m_dir / "ARC"));
    fs::remove(m_dir / "prog" / "EsportazioneTFR.tab");
    EXPECT_EQ(Esegui(), 3);
    EXPECT_EQ(LeggiFile(m_dir / "err"), "Non trovo il file originale in '" +
                                            (m_dir / "prog" / "EsportazioneTFR.tab").string() +
                                            "', quindi non posso continuare...\n");
}

} // namespace
} // namespace tfr
