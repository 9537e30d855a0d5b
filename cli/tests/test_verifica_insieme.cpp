// `fornitura verifica` on folders: what is no supply or no file told in one line and the rest still checked,
// the same output whatever the number of threads, a wrong number of threads refused.

#include "cli/fornitura.h"
#include "cli/tests/esegui.h"
#include "tests/supporto/cartella_temporanea.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace cli {
namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::LeggiFile;
using shell::test::ScriviFile;
using test::Esegui;
using test::Esito;
using test::Utf8;

// The folder `archivio` with the supplies the converters write from the samples `comandi`.
void Converti(const fs::path& archivio, const std::vector<std::string>& comandi) {
    for (const std::string& comando : comandi) {
        const Esito esito = Esegui({comando, "--dir", Utf8(fs::path(CAMPIONI) / comando), "--archive", Utf8(archivio),
                                    "--now", "2011-06-14T09:05:07"});
        ASSERT_EQ(esito.stato, EsitoCompletato) << esito.err;
    }
}

TEST(VerificaInsieme, NonFornitureInUnaRiga) {
    CartellaTemporanea dir;
    const fs::path archivio = dir / "archivio";
    Converti(archivio, {"uniemens", "dma"});
    ScriviFile(archivio / "lettera.txt", "Gentile ufficio,\r\nin allegato le forniture.\r\n");
    ScriviFile(archivio / "vuoto.xml", "");
    fs::create_directories(archivio / "sotto");
    ScriviFile(archivio / "sotto" / "altro.txt", "x");
    ScriviFile(dir / "fuori.txt", "x");
    const std::string a = Utf8(archivio) + static_cast<char>(fs::path::preferred_separator);
    std::vector<std::string> attese = {
        a + "lettera.txt: non \xC3\xA8 una fornitura: Formato non riconosciuto: ",
        a + "sotto: cartella: letta solo con --ricorsivo\n",
        a + "vuoto.xml: non \xC3\xA8 una fornitura: Il file \xC3\xA8 vuoto",
    };
#ifndef _WIN32
    ASSERT_EQ(mkfifo((archivio / "tubo").c_str(), 0600), 0);
    fs::create_symlink(dir / "fuori.txt", archivio / "collegamento");
    fs::create_symlink(archivio / "lettera.txt", archivio / "stessa");
    ScriviFile(archivio / "a\x01"
                          "capo\nnome.txt",
               "x");
    attese.push_back(a + "collegamento: collegamento a '" + Utf8(dir / "fuori.txt") +
                     "', fuori dalla cartella: non seguito\n");
    attese.push_back(a + "stessa: collegamento a '" + Utf8(archivio / "lettera.txt") +
                     "' della cartella stessa: letto al suo posto, non due volte\n");
    attese.push_back(a + "tubo: \xC3\xA8 una pipe (FIFO), non un file: non letta\n");
    attese.push_back(a + "a\\x01capo\\x0Anome.txt: non \xC3\xA8 una fornitura: ");
#endif
    const Esito esito = Esegui({"verifica", Utf8(archivio), "--thread", "2"});
    EXPECT_EQ(esito.stato, EsitoCompletato) << esito.out << esito.err;
    for (const std::string& attesa : attese)
        EXPECT_NE(esito.out.find(attesa), std::string::npos) << attesa << "\n" << esito.out;
    EXPECT_NE(esito.out.find(a + "INPSUNIEMENS-2012-01.xml: UniEmens, 606 record, 6 persone: "), std::string::npos);
    EXPECT_NE(esito.out.find(a + "INPDAPDMA-2011-06.txt: INPDAP DMA, 7 record, 4 persone: "), std::string::npos);
    EXPECT_NE(esito.out.find("Insieme di 2 forniture: nessun errore, nessun avviso tra le forniture\n"),
              std::string::npos);
    EXPECT_EQ(esito.out.find("altro.txt"), std::string::npos) << "letta una sottocartella senza --ricorsivo";
    EXPECT_EQ(esito.out.find(".lock"), std::string::npos) << "letto un file nascosto";

    const Esito ricorsivo = Esegui({"verifica", Utf8(archivio), "--ricorsivo"});
    EXPECT_NE(ricorsivo.out.find(Utf8(archivio / "sotto" / "altro.txt") + ": non \xC3\xA8 una fornitura"),
              std::string::npos)
        << ricorsivo.out;
}

// The files of a folder are printed in the order of their names, whatever the number of threads; an unreadable
// file is told on standard error and ends with the status of a missing file, the others still checked.
TEST(VerificaInsieme, StessaUscitaConOgniNumeroDiThread) {
    CartellaTemporanea dir;
    const fs::path archivio = dir / "archivio";
    Converti(archivio, {"770", "uniemens", "dma", "emens", "tfr"});
    for (int i = 0; i < 6; ++i)
        fs::copy_file(archivio / "INPSUNIEMENS-2012-01.xml",
                      archivio / ("INPSUNIEMENS-2012-01_" + std::to_string(i) + ".xml"));
    const Esito uno = Esegui({"verifica", Utf8(archivio), "--thread", "1"});
    EXPECT_EQ(uno.stato, EsitoCompletato) << uno.err;
    for (const char* thread : {"2", "3", "16"})
        EXPECT_EQ(Esegui({"verifica", Utf8(archivio), "--thread", thread}).out, uno.out) << thread;
    EXPECT_NE(uno.out.find("Insieme di 11 forniture: nessun errore, 6 avvisi tra le forniture\n"), std::string::npos)
        << uno.out;
    EXPECT_LT(uno.out.find("INPSEMENS-2008-06.xml: E-Mens"), uno.out.find("Importa770-2011-02468130584.txt: 770"));

#ifndef _WIN32
    const fs::path chiuso = archivio / "INPSUNIEMENS-2012-01_3.xml";
    fs::permissions(chiuso, fs::perms::none);
    if (!std::ifstream(chiuso)) { // a superuser reads it all the same
        const Esito senza = Esegui({"verifica", Utf8(archivio), "--thread", "2"});
        EXPECT_EQ(senza.stato, EsitoFileMancante);
        EXPECT_NE(senza.err.find("INPSUNIEMENS-2012-01_3.xml"), std::string::npos) << senza.err;
        EXPECT_NE(senza.out.find("INPSUNIEMENS-2012-01_4.xml: UniEmens"), std::string::npos);
    }
    fs::permissions(chiuso, fs::perms::owner_all);
#endif
}

// The archive at a glance: a row per supply, by employer and period, the set's findings counted in the supply
// they are told in; a name a spreadsheet would run as a formula written as text; status 1 for an error.
TEST(Archivio, UnaRigaPerFornitura) {
    CartellaTemporanea dir;
    const fs::path archivio = dir / "archivio";
    Converti(archivio, {"770", "uniemens", "dma", "emens", "tfr"});
    fs::copy_file(archivio / "INPSUNIEMENS-2012-01.xml", archivio / "=SOMMA(1).xml");
    ScriviFile(archivio / "lettera.txt", "Gentile ufficio");
    const Esito esito = Esegui({"archivio", Utf8(archivio)});
    EXPECT_EQ(esito.stato, EsitoCompletato) << esito.err;
    EXPECT_EQ(
        esito.out,
        "codice fiscale\tdatore di lavoro\tformato\tperiodo\tfile\tpersone\terrori\tavvisi\tesito\n"
        "02345670372\tOFFICINE MECCANICHE BRUNELLI S.R.L.\tTFR 2008\t14/06/2011\tMV106140.TXT\t6\t0\t3\t"
        "inviabile con avvisi\n"
        "02468010414\tCERAMICHE DELL'ADRIATICO & C. S.A.S.\tE-Mens\t06/2008\tINPSEMENS-2008-06.xml\t6\t0\t1\t"
        "inviabile con avvisi\n"
        "02468130584\tOFFICINE MECCANICHE BELLANDI S.R.L.\t770 Semplificato\t2010\t"
        "Importa770-2011-02468130584.txt\t4\t0\t3\tinviabile con avvisi\n"
        "03456780273\tIMPIANTI TERMOIDRAULICI VENETI DELL'ACQUA\tUniEmens\t01/2012\t'=SOMMA(1).xml\t6\t0\t3\t"
        "inviabile con avvisi\n"
        "03456780273\tIMPIANTI TERMOIDRAULICI VENETI DELL'ACQUA\tUniEmens\t01/2012\tINPSUNIEMENS-2012-01.xml\t6\t0\t3\t"
        "inviabile con avvisi\n"
        "80012340586\tCOMUNE DI VALBRUNA\tINPDAP DMA\t06/2011\tINPDAPDMA-2011-06.txt\t4\t0\t5\t"
        "inviabile con avvisi\n");
    EXPECT_NE(esito.err.find("lettera.txt: non \xC3\xA8 una fornitura"), std::string::npos) << esito.err;

    // A DMA of the same entity and month with a broken copy of record B: its row says so, and the status.
    std::string dma = LeggiFile(archivio / "INPDAPDMA-2011-06.txt");
    const auto nome = dma.find("COMUNE DI VALBRUNA");
    ScriviFile(archivio / "INPDAPDMA-2011-06_2.txt", dma.replace(nome, 18, "COMUNE DI VALBRUNO"));
    const Esito rotto = Esegui({"archivio", Utf8(archivio)});
    EXPECT_EQ(rotto.stato, EsitoErrore);
    EXPECT_NE(rotto.out.find("\tINPDAPDMA-2011-06_2.txt\t4\t1\t7\tda correggere\n"), std::string::npos) << rotto.out;
    // The page: refused over a file it reads, written elsewhere.
    EXPECT_EQ(Esegui({"archivio", Utf8(archivio), "--html", Utf8(archivio / "MV106140.TXT")}).stato, EsitoUso);
    EXPECT_EQ(Esegui({"archivio", Utf8(archivio), "--html", Utf8(dir / "archivio.html")}).stato, EsitoErrore);
    const std::string pagina = LeggiFile(dir / "archivio.html");
    EXPECT_NE(pagina.find("<span class=\"voce da-correggere\" title=\"INPDAPDMA-2011-06_2.txt\">INPDAP DMA<br>1 err., "
                          "7 avv.</span>"),
              std::string::npos);
    EXPECT_NE(pagina.find("<h2>2010</h2>"), std::string::npos); // the 770 under its tax year
}

TEST(VerificaInsieme, NumeroDiThreadSbagliato) {
    for (const char* sbagliato : {"0", "-1", "due", "257", "2x", ""}) {
        const Esito esito = Esegui({"verifica", ".", "--thread", sbagliato});
        EXPECT_EQ(esito.stato, EsitoUso) << sbagliato;
        EXPECT_EQ(esito.out, "");
    }
}

} // namespace
} // namespace cli
