// The command line contract: exit statuses, where the texts go, and the stand-ins for the window's
// folders and clock.

#include "tests/supporto/cartella_temporanea.h"
#include "cli/contesto_terminale.h"
#include "cli/fornitura.h"
#include "cli/tests/esegui.h"
#include "tests/supporto/processo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace cli {
namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;
using shell::test::ScriviFile;

using test::Esegui;
using test::Esito;

// The log's texts for a terminal: CR LF becomes LF, ISO-8859-1 letters their UTF-8 bytes, a lone CR
// stays; wherever such a character falls among the runs of plain text copied at once.
TEST(PerTerminale, ACapoELettereAccentate) {
    EXPECT_EQ(PerTerminale(""), "");
    EXPECT_EQ(PerTerminale("Generazione Record Tipo G - Comunicazione"), "Generazione Record Tipo G - Comunicazione");
    EXPECT_EQ(PerTerminale("Errori sul dipendente\r\n\r\nCodice fiscale"), "Errori sul dipendente\n\nCodice fiscale");
    EXPECT_EQ(PerTerminale("gi\xE0 \xE8 \xC8\xFF\x80"), "gi\xC3\xA0 \xC3\xA8 \xC3\x88\xC3\xBF\xC2\x80");
    EXPECT_EQ(PerTerminale("fine\r"), "fine\r");
    EXPECT_EQ(PerTerminale("a\rb\r\r\nc\xE0\r\n\xE8\r"), "a\rb\r\nc\xC3\xA0\n\xC3\xA8\r");
    EXPECT_EQ(PerTerminale("a\rb\r\n"), "a\rb\n");
    const std::string base = "0123456789abcdefghijklmnopqrst";
    for (std::size_t i = 0; i < base.size(); ++i) {
        const auto con = [&](std::string_view dentro) {
            return base.substr(0, i) + std::string(dentro) + base.substr(i);
        };
        EXPECT_EQ(PerTerminale(con("\r\n")), con("\n")) << i;
        EXPECT_EQ(PerTerminale(con("\xE8")), con("\xC3\xA8")) << i;
        EXPECT_EQ(PerTerminale(con("\r")), con("\r")) << i;
    }
    std::string righe = "prima\n";
    AggiungiPerTerminale("dopo \xE8\r\n", righe);
    EXPECT_EQ(righe, "prima\ndopo \xC3\xA8\n");
}

TEST(Fornitura, RigaDiComandoSbagliata) {
    for (const auto& argomenti : std::vector<std::vector<std::string>>{
             {},
             {"sconosciuto"},
             {"770", "--boh"},
             {"770", "--dir"},
             {"770", "--now", "2011-06-14 09:05:07"},
             {"770", "--now", "2011-02-30T09:05:07"},
             {"770", "--now=2011-06-14T24:00:00"},
             // Digits only where the pattern has them: no sign, no blank, no lower-case separator.
             {"770", "--now", "+011-06-14T09:05:07"},
             {"770", "--now", "2011-06-14T09:05:+7"},
             {"770", "--now", "2011-06-14T 9:05:07"},
             {"770", "--now", "2011-06-14t09:05:07"}}) {
        const auto esito = Esegui(argomenti);
        EXPECT_EQ(esito.stato, EsitoUso) << (argomenti.empty() ? "" : argomenti.back());
        EXPECT_NE(esito.err.find("Uso:"), std::string::npos);
        EXPECT_TRUE(esito.out.empty());
    }
    EXPECT_EQ(Esegui({"--help"}).stato, EsitoCompletato);
}

// The version the build names, as every program's file version tells it on Windows.
TEST(Fornitura, Versione) {
    for (const char* opzione : {"--version", "-V"}) {
        const auto esito = Esegui({opzione});
        EXPECT_EQ(esito.stato, EsitoCompletato);
        EXPECT_EQ(esito.out, std::string("fornitura (Forniture) ") + FORNITURA_VERSIONE_ATTESA + "\n");
        EXPECT_EQ(esito.err, "");
    }
    EXPECT_EQ(Esegui({"--version", "x"}).stato, EsitoUso);
}

TEST(Fornitura, EsportazioneMancante) {
    CartellaTemporanea dir;
    const auto esito = Esegui({"770", "--dir", dir.Percorso().string(), "--archive", (dir / "ARC").string()});
    EXPECT_EQ(esito.stato, EsitoFileMancante);
    EXPECT_EQ(esito.err, "Non trovo il file originale in '" + (dir / "Esportazione770.tab").string() +
                             "', quindi non posso continuare...\n");
    EXPECT_TRUE(esito.out.empty());
    EXPECT_FALSE(fs::exists(dir / "ARC"));
}

TEST(Fornitura, ErroreCheFermaLElaborazione) {
    CartellaTemporanea dir;
    ScriviFile(dir / "Esportazione770.tab", "");
    const auto esito = Esegui(
        {"770", "--dir", dir.Percorso().string(), "--archive", (dir / "ARC").string(), "--now", "2011-06-14T09:05:07"});
    EXPECT_EQ(esito.stato, EsitoErrore);
    EXPECT_EQ(esito.err, "Il file di esportazione \xC3\xA8 vuoto\n");
    EXPECT_TRUE(shell::test::SenzaFileVisibili(dir / "ARC"));
}

// A control character in the archive folder given on the command line stops the run before anything
// is created; the message shows it.
TEST(Fornitura, CarattereDiControlloNellArchivio) {
    CartellaTemporanea dir;
    ScriviFile(dir / "Esportazione770.tab", "A\r\n");
    const auto esito = Esegui({"770", "--dir", dir.Percorso().string(), "--archive", (dir / "A\x01RC").string(),
                               "--now", "2011-06-14T09:05:07"});
    EXPECT_EQ(esito.stato, EsitoErrore);
    EXPECT_NE(esito.err.find("A\\x01RC' contiene un carattere di controllo"), std::string::npos) << esito.err;
    EXPECT_EQ(esito.out, "");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Percorso()), fs::directory_iterator()), 1);
}

// The bank commands take UTF-8 arguments and answer in UTF-8, as every command does.
TEST(Fornitura, CoordinateBancarie) {
    const auto cin = Esegui({"cin", "03069", "09606", "100000000000"});
    EXPECT_EQ(cin.stato, 0);
    EXPECT_EQ(cin.out.size(), 2u);
    const auto iban = Esegui({"iban", cin.out.substr(0, 1) + "0306909606100000000000", "IT"});
    ASSERT_EQ(iban.stato, 0) << iban.err;
    const std::string codice = iban.out.substr(0, iban.out.size() - 1);
    EXPECT_EQ(Esegui({"check-iban", codice}).out, "IBAN corretto\n");
    std::string sbagliato = codice;
    sbagliato.back() = sbagliato.back() == '9' ? '0' : static_cast<char>(sbagliato.back() + 1);
    const auto errato = Esegui({"check-iban", sbagliato});
    EXPECT_EQ(errato.stato, 1);
    EXPECT_EQ(errato.out, "IBAN errato\n");
    EXPECT_EQ(Esegui({"check-iban", "IT60 X054 \xC3\xA8"}).stato, 1); // accented letter: no crash, just wrong
    const auto paese = Esegui({"iban", "X0542811101000000123456", "\xC3\x88T"});
    EXPECT_EQ(paese.stato, 1);
    EXPECT_EQ(paese.err, "Paese non valido '\xC3\x88T': sono ammesse solo lettere e cifre\n");
}

// An export under a name that differs in letter case only is not the export, on any file system.
TEST(Fornitura, EsportazioneConAltreMaiuscoleMancante) {
    CartellaTemporanea dir;
    ScriviFile(dir / "esportazione770.tab", "");
    const auto esito = Esegui({"770", "--dir", dir.Percorso().string(), "--archive", (dir / "ARC").string()});
    EXPECT_EQ(esito.stato, EsitoFileMancante);
    EXPECT_FALSE(fs::exists(dir / "ARC"));
}

#ifdef _WIN32
TEST(Fornitura, EsportazioneNascostaMancante) {
    CartellaTemporanea dir;
    for (DWORD attributo : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        ScriviFile(dir / "Esportazione770.tab", "");
        ASSERT_TRUE(SetFileAttributesW((dir / "Esportazione770.tab").c_str(), attributo));
        const auto esito = Esegui({"770", "--dir", dir.Percorso().string(), "--archive", (dir / "ARC").string()});
        EXPECT_EQ(esito.stato, EsitoFileMancante) << attributo;
        EXPECT_FALSE(fs::exists(dir / "ARC"));
        SetFileAttributesW((dir / "Esportazione770.tab").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}
#endif

// The real program, as a host or a script starts it.

std::string Utf8(const fs::path& percorso) {
    const auto testo = percorso.u8string();
    return std::string(testo.begin(), testo.end());
}

TEST(Fornitura, ProgrammaVeroEStatoDiUscita) {
    CartellaTemporanea dir;
    const auto esito =
        EseguiProcesso(FORNITURA_EXE, {"770", "--dir", Utf8(dir.Percorso()), "--archive", Utf8(dir / "ARC")},
                       dir / "out", dir / "err");
    EXPECT_EQ(esito.stato, EsitoFileMancante);
    EXPECT_EQ(esito.err, "Non trovo il file originale in '" + Utf8(dir / "Esportazione770.tab") +
                             "', quindi non posso continuare...\n");
    EXPECT_EQ(esito.out, "");
    EXPECT_EQ(EseguiProcesso(FORNITURA_EXE, {"tfr-non-esiste"}, dir / "out", dir / "err").stato, EsitoUso);
}

// Folders named with letters beyond ASCII on the command line (one of them outside ISO-8859-1 and the
// Windows ANSI code page): the export is found and read there, the archive folder created there, and the
// message comes out in UTF-8.
TEST(Fornitura, ProgrammaVeroConCartelleAccentate) {
    CartellaTemporanea dir;
    const fs::path cartella = dir.Percorso() / fs::path(u8"Contabilit\u00E0 Za\u0142o\u017Cenie");
    const fs::path archivio = cartella / fs::path(u8"Archivio \u00C8");
    fs::create_directory(cartella);
    ScriviFile(cartella / "Esportazione770.tab", "");
    const auto esito = EseguiProcesso(
        FORNITURA_EXE, {"770", "--dir", Utf8(cartella), "--archive", Utf8(archivio), "--now", "2011-06-14T09:05:07"},
        dir / "out", dir / "err");
    EXPECT_EQ(esito.stato, EsitoErrore);
    EXPECT_EQ(esito.err, "Il file di esportazione \xC3\xA8 vuoto\n");
    EXPECT_TRUE(fs::is_directory(archivio));
}

} // namespace
} // namespace cli
