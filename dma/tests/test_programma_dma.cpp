// The real `fornitura dma` on the sample, as a host or a script starts it.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/esecuzione.h"
#include "tests/supporto/processo.h"
#include "dma/tests/righe_dma.h"
#include "shell/testo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace dma {
namespace {

namespace fs = std::filesystem;
using shell::test::Argomento;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;
using shell::test::ScriviFile;

class ProgrammaFornitura : public shell::test::EsecuzioneSuEsempio {
protected:
    ProgrammaFornitura() : EsecuzioneSuEsempio(FORNITURA_EXE, "dma", DMA_ESEMPIO, {"EsportazioneINPDAP.tab"}) {}

    // A text of the suite as the terminal shows it: UTF-8, LF.
    static std::string PerTerminale(const std::string& testo) {
        std::string t = shell::Utf8DaLatin1(testo);
        for (auto cr = t.find('\r'); cr != std::string::npos; cr = t.find('\r'))
            t.erase(cr, 1);
        return t;
    }
};

// The supply of the sample, its log on standard output and the one "Attenzione!!!" box on standard
// error; status 0.
TEST_F(ProgrammaFornitura, EsempioNellArchivio) {
    EXPECT_EQ(Esegui(), 0);
    const fs::path finale = m_dir / "ARC" / "INPDAPDMA-2011-06.txt";
    EXPECT_EQ(LeggiFile(finale), LeggiFile(fs::path(DMA_DATI) / "INPDAPDMA-2011-06.txt"));
    EXPECT_EQ(LeggiFile(m_dir / "out"), PerTerminale(LeggiFile(fs::path(DMA_DATI) / "INPDAPDMA-2011-06.log")) +
                                            "Generazione documento '" + finale.string() +
                                            "' completata.\nPremi il pulsante 'Continua' per terminare.\n");
    EXPECT_EQ(LeggiFile(m_dir / "err"), "Attenzione!!!\n");
}

// A short line: status 1, the message on standard error, the supply under its temporary name.
TEST_F(ProgrammaFornitura, RigaCortaFermaLElaborazione) {
    ScriviFile(m_dir / "prog" / "EsportazioneINPDAP.tab", test::Righe({test::Riga(), test::Riga({}, 40)}));
    EXPECT_EQ(Esegui(), 1);
    const fs::path temporaneo = m_dir / "ARC" / "INPDAPDMA-2011-06-14-09-05-07.txt";
    EXPECT_EQ(LeggiFile(m_dir / "err"), "Riga 2, colonna 40: colonna mancante (la riga ha 40 colonne)\n"
                                        "Il documento resta con il nome temporaneo '" +
                                            temporaneo.string() + "'.\n");
    EXPECT_TRUE(fs::exists(temporaneo));
    EXPECT_FALSE(fs::exists(m_dir / "ARC" / "INPDAPDMA-2011-06.txt"));
}

} // namespace
} // namespace dma
