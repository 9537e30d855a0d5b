// The file system as the converters see it, on POSIX and on Windows: which files count as the export,
// how a supply file is made new whatever stands under its name, what may be replaced by a finished
// document, how a supply gets a new name where the file system lacks calls, and folders with accented
// names.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/contesto_registrato.h"
#include "shell/convertitore.h"
#include "shell/errore.h"
#include "shell/piattaforma.h"
#include "shell/testo.h"
#include "shell/uscita.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#else
#include "shell/piattaforma/chiamate_posix.h"

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace shell {
namespace {

namespace fs = std::filesystem;
using test::CartellaTemporanea;
using test::ContestoRegistrato;
using test::LeggiFile;
using test::ScriviFile;

// A folder name with letters of ISO-8859-1 beyond ASCII, and one with a letter that ISO-8859-1 and
// the Windows ANSI code page lack.
const fs::path Accentata(u8"Societ\u00E0 \u00C8lite \u00F1");
const fs::path FuoriLatin1(u8"Za\u0142o\u017Cenie");

#ifdef _WIN32
void Attributi(const fs::path& percorso, DWORD attributi) {
    ASSERT_TRUE(SetFileAttributesW(percorso.c_str(), attributi)) << percorso;
}
#endif

TEST(FileOrdinario, SoloIlNomeEsattoDiUnFileVisibile) {
    CartellaTemporanea dir;
    ScriviFile(dir / "Esportazione770.tab", "x");
    EXPECT_TRUE(FileOrdinarioEsiste(dir / "Esportazione770.tab"));
    // A file system that ignores case finds these too; they are not the file asked for.
    EXPECT_FALSE(FileOrdinarioEsiste(dir / "esportazione770.tab"));
    EXPECT_FALSE(FileOrdinarioEsiste(dir / "ESPORTAZIONE770.TAB"));
    EXPECT_FALSE(FileOrdinarioEsiste(dir / "Esportazione770.*"));
    EXPECT_FALSE(FileOrdinarioEsiste(dir / "Esportazione77?.tab"));
    EXPECT_FALSE(FileOrdinarioEsiste(dir.Percorso() / ""));
}

TEST(FileOrdinario, CartelleAccentate) {
    CartellaTemporanea dir;
    for (const auto& nome : {Accentata, FuoriLatin1}) {
        fs::create_directory(dir.Percorso() / nome);
        ScriviFile(dir.Percorso() / nome / "Esportazione770.tab", "x");
        EXPECT_TRUE(FileOrdinarioEsiste(dir.Percorso() / nome / "Esportazione770.tab")) << nome;
    }
}

#ifdef _WIN32
TEST(FileOrdinario, AttributiNascostoESistema) {
    CartellaTemporanea dir;
    const struct {
        const char* nome;
        DWORD attributi;
        bool ordinario;
    } casi[] = {
        {"normale.tab", FILE_ATTRIBUTE_NORMAL, true},
        {"archivio.tab", FILE_ATTRIBUTE_ARCHIVE, true},
        {"sola-lettura.tab", FILE_ATTRIBUTE_READONLY, true},
        {"nascosto.tab", FILE_ATTRIBUTE_HIDDEN, false},
        {"sistema.tab", FILE_ATTRIBUTE_SYSTEM, false},
        {"entrambi.tab", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, false},
    };
    for (const auto& caso : casi) {
        ScriviFile(dir / caso.nome, "x");
        Attributi(dir / caso.nome, caso.attributi);
        EXPECT_EQ(FileOrdinarioEsiste(dir / caso.nome), caso.ordinario) << caso.nome;
        Attributi(dir / caso.nome, FILE_ATTRIBUTE_NORMAL); // lets the folder be removed
    }
}
#endif

// One holder at a time, also within one process; given back when the holder goes; the file is hidden,
// empty, and stays.
TEST(BloccoEsclusivo, UnSoloDetentoreAllaVolta) {
    CartellaTemporanea dir;
    const fs::path file = dir / ".Prova.lock";
    {
        const BloccoEsclusivo primo(file);
        ASSERT_EQ(primo.Stato(), BloccoEsclusivo::Esito::Preso);
        EXPECT_EQ(BloccoEsclusivo(file).Stato(), BloccoEsclusivo::Esito::Occupato);
        const BloccoEsclusivo altro(dir / ".Altro.lock");
        EXPECT_EQ(altro.Stato(), BloccoEsclusivo::Esito::Preso);
    }
    EXPECT_EQ(BloccoEsclusivo(file).Stato(), BloccoEsclusivo::Esito::Preso);
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(fs::file_size(file), 0u);
    EXPECT_FALSE(FileOrdinarioEsiste(file));
#ifdef _WIN32
    EXPECT_NE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
#endif
}

// A lock file left by an earlier run, whatever it holds, serves again; a folder that is missing gives
// no lock at all, and creates nothing.
TEST(BloccoEsclusivo, FileEsistenteOCartellaMancante) {
    CartellaTemporanea dir;
    ScriviFile(dir / ".Prova.lock", "resto");
    EXPECT_EQ(BloccoEsclusivo(dir / ".Prova.lock").Stato(), BloccoEsclusivo::Esito::Preso);
    EXPECT_EQ(LeggiFile(dir / ".Prova.lock"), "resto");
    EXPECT_EQ(BloccoEsclusivo(dir / "manca" / ".Prova.lock").Stato(), BloccoEsclusivo::Esito::Impossibile);
    EXPECT_FALSE(fs::exists(dir / "manca"));
    fs::create_directory(dir / ".Cartella.lock");
    EXPECT_EQ(BloccoEsclusivo(dir / ".Cartella.lock").Stato(), BloccoEsclusivo::Esito::Impossibile);
}

#ifndef _WIN32
// A new lock file may be written by whoever may write into the folder, whatever this user's umask:
// the clerks who share the folder all take it.
TEST(BloccoEsclusivo, DirittiDellaCartella) {
    CartellaTemporanea dir;
    fs::create_directory(dir / "comune");
    fs::permissions(dir / "comune", fs::perms::owner_all | fs::perms::group_all);
    const mode_t prima = umask(077);
    { const BloccoEsclusivo blocco(dir / "comune" / ".Prova.lock"); }
    umask(prima);
    EXPECT_EQ(fs::status(dir / "comune" / ".Prova.lock").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::group_write);
}

// The disk's work done aside while a file is written: every byte arrives, and a failure of that work
// (a pipe cannot be flushed to a disk) is reported at the end, also when asked again.
TEST(ScritturaInDisparte, IlLavoroDelDiscoEISuoiErrori) {
    CartellaTemporanea dir;
    std::FILE* file = CreaFileNuovo(dir / "documento.txt");
    ASSERT_NE(file, nullptr);
    std::string atteso;
    {
        ScritturaInDisparte disparte(file);
        for (int i = 0; i < 200; ++i) {
            const std::string riga = "riga " + std::to_string(i) + "\r\n";
            std::fwrite(riga.data(), 1, riga.size(), file);
            atteso += riga;
            disparte.Avanza();
        }
        EXPECT_TRUE(disparte.Termina());
        EXPECT_TRUE(disparte.Termina());
    }
    ASSERT_EQ(std::fclose(file), 0);
    EXPECT_EQ(LeggiFile(dir / "documento.txt"), atteso);

    int estremi[2];
    ASSERT_EQ(pipe(estremi), 0);
    std::FILE* tubo = fdopen(estremi[1], "w");
    ASSERT_NE(tubo, nullptr);
    {
        ScritturaInDisparte disparte(tubo);
        disparte.Avanza();
        EXPECT_FALSE(disparte.Termina());
        disparte.Avanza();
        EXPECT_FALSE(disparte.Termina());
    }
    std::fclose(tubo);
    close(estremi[0]);
}
#endif

// Writes a whole file through CreaFileNuovo; false when it cannot be created.
bool ScriviNuovo(const fs::path& percorso, std::string_view testo) {
    std::FILE* file = CreaFileNuovo(percorso);
    if (!file)
        return false;
    const bool scritto = std::fwrite(testo.data(), 1, testo.size(), file) == testo.size();
    return std::fclose(file) == 0 && scritto;
}

// A stopped run's file under the name is replaced by a new one; a folder there stays, and nothing is
// created.
TEST(CreaFileNuovo, AlPostoDiUnFileLasciatoDaUnaCorsaFermata) {
    CartellaTemporanea dir;
    ScriviFile(dir / "Prova-2011-06-14-09-05-07.txt", "scritto a met\xE0 da una corsa fermata");
    ASSERT_TRUE(ScriviNuovo(dir / "Prova-2011-06-14-09-05-07.txt", "nuovo"));
    EXPECT_EQ(LeggiFile(dir / "Prova-2011-06-14-09-05-07.txt"), "nuovo");
    fs::create_directory(dir / "cartella");
    ScriviFile(dir / "cartella" / "dentro", "x");
    EXPECT_EQ(CreaFileNuovo(dir / "cartella"), nullptr);
    EXPECT_EQ(LeggiFile(dir / "cartella" / "dentro"), "x");
    EXPECT_EQ(CreaFileNuovo(dir / "manca" / "nuovo.txt"), nullptr);
    EXPECT_FALSE(fs::exists(dir / "manca"));
}

// A second name of a finished supply under the temporary name ("TFRtemp.txt" of a run killed between
// its two steps): the name goes, the supply keeps its own and its bytes.
TEST(CreaFileNuovo, SecondoNomeDiUnaFornituraFinita) {
    CartellaTemporanea dir;
    ScriviFile(dir / "MV106140.TXT", "fornitura completa");
    fs::create_hard_link(dir / "MV106140.TXT", dir / "TFRtemp.txt");
    ASSERT_TRUE(ScriviNuovo(dir / "TFRtemp.txt", "parziale"));
    EXPECT_EQ(LeggiFile(dir / "MV106140.TXT"), "fornitura completa");
    EXPECT_EQ(LeggiFile(dir / "TFRtemp.txt"), "parziale");
    EXPECT_EQ(fs::hard_link_count(dir / "MV106140.TXT"), 1u);
}

#ifndef _WIN32
// A link under the name is never followed: it goes, and what it points at stays as it was, an existing
// file (the export, a file outside the archive) or one that does not exist yet.
TEST(CreaFileNuovo, MaiAttraversoUnCollegamento) {
    CartellaTemporanea dir;
    ScriviFile(dir / "altrove.txt", "altrove");
    fs::create_symlink(dir / "altrove.txt", dir / "TFRtemp.txt");
    ASSERT_TRUE(ScriviNuovo(dir / "TFRtemp.txt", "nuovo"));
    EXPECT_FALSE(fs::is_symlink(dir / "TFRtemp.txt"));
    EXPECT_EQ(LeggiFile(dir / "TFRtemp.txt"), "nuovo");
    EXPECT_EQ(LeggiFile(dir / "altrove.txt"), "altrove");

    fs::create_symlink(dir / "non-esiste", dir / "Prova-2011-06-14-09-05-07.txt");
    ASSERT_TRUE(ScriviNuovo(dir / "Prova-2011-06-14-09-05-07.txt", "nuovo"));
    EXPECT_FALSE(fs::exists(dir / "non-esiste"));
}
#else
// A reparse point under the name (a symbolic link, a junction) is refused, not removed: it and what it
// points at stay as they are, and the run stops.
TEST(CreaFileNuovo, UnPuntoDiRianalisiResta) {
    CartellaTemporanea dir;
    ScriviFile(dir / "altrove.txt", "altrove");
    const fs::path nome = dir / "TFRtemp.txt";
    // Wine answers yes and makes nothing; Windows wants a privilege or the developer mode.
    CreateSymbolicLinkW(nome.c_str(), (dir / "altrove.txt").c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    const DWORD attributi = GetFileAttributesW(nome.c_str());
    if (attributi == INVALID_FILE_ATTRIBUTES || (attributi & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        GTEST_SKIP() << "no symbolic link can be made here";
    EXPECT_EQ(CreaFileNuovo(nome), nullptr);
    EXPECT_NE(GetFileAttributesW(nome.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    EXPECT_EQ(LeggiFile(dir / "altrove.txt"), "altrove");
}

// A read-only leftover under the name is not removed: the run stops.
TEST(CreaFileNuovo, UnResiduoDiSolaLetturaResta) {
    CartellaTemporanea dir;
    ScriviFile(dir / "TFRtemp.txt", "vecchio");
    Attributi(dir / "TFRtemp.txt", FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(CreaFileNuovo(dir / "TFRtemp.txt"), nullptr);
    Attributi(dir / "TFRtemp.txt", FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(LeggiFile(dir / "TFRtemp.txt"), "vecchio");
}
#endif

#ifdef _WIN32
TEST(CartellaArchivio, QuellaDellOspiteSuWindows) {
    const wchar_t* prima = _wgetenv(L"FORNITURA_ARCHIVE");
    const std::wstring salvata = prima ? prima : L"";
    _wputenv_s(L"FORNITURA_ARCHIVE", L"");
    EXPECT_EQ(CartellaArchivioPredefinita().wstring(), L"C:\\KORVANTE\\ARC");
    _wputenv_s(L"FORNITURA_ARCHIVE", L"D:\\Altro\\ARC");
    EXPECT_EQ(CartellaArchivioPredefinita().wstring(), L"D:\\Altro\\ARC");
    _wputenv_s(L"FORNITURA_ARCHIVE", salvata.c_str());
}
#endif

TEST(CartellaProgramma, QuellaDelProgrammaInEsecuzione) {
#ifdef _WIN32
    const char* programma = "shell_tests.exe";
#else
    const char* programma = "shell_tests";
#endif
    EXPECT_TRUE(fs::is_regular_file(CartellaProgramma() / programma)) << CartellaProgramma();
}

// An older document under the final name, or something else there.
class Sostituzione : public testing::Test {
protected:
    void SetUp() override { ScriviFile(Nuovo(), "nuovo"); }
    fs::path Nuovo() const { return m_dir / "Prova-2011-06-14-09-05-07.txt"; }
    fs::path Finale() const { return m_dir / "Prova-ABC.txt"; }
    CartellaTemporanea m_dir;
};

TEST_F(Sostituzione, UnDocumentoPiuVecchio) {
    ScriviFile(Finale(), "vecchio");
    EXPECT_TRUE(SostituisciFile(Nuovo(), Finale()));
    EXPECT_EQ(LeggiFile(Finale()), "nuovo");
    EXPECT_FALSE(fs::exists(Nuovo()));
}

TEST_F(Sostituzione, UnNomeCheDifferisceSoloPerMaiuscole) {
    ScriviFile(m_dir / "prova-abc.txt", "vecchio");
    const bool sostituito = SostituisciFile(Nuovo(), Finale());
    // Whatever the file system, the older file is not touched nor renamed.
    EXPECT_EQ(LeggiFile(m_dir / "prova-abc.txt"), "vecchio");
    bool nomeVecchioPresente = false;
    for (const auto& voce : fs::directory_iterator(m_dir.Percorso()))
        nomeVecchioPresente |= voce.path().filename() == "prova-abc.txt";
    EXPECT_TRUE(nomeVecchioPresente);
#ifdef _WIN32
    // Ignoring case, the two names are one: the move fails and the new document stays where it was.
    EXPECT_FALSE(sostituito);
    EXPECT_EQ(LeggiFile(Nuovo()), "nuovo");
#else
    EXPECT_TRUE(sostituito);
    EXPECT_EQ(LeggiFile(Finale()), "nuovo");
#endif
}

// A read-only older document stays and the new one keeps its temporary name, on every system: on
// Windows its attribute, elsewhere no write permission for anyone (whoever runs, root included).
TEST_F(Sostituzione, UnDocumentoDiSolaLetturaResta) {
    ScriviFile(Finale(), "vecchio");
    const auto lettura = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(Finale(), lettura);
    EXPECT_FALSE(SostituisciFile(Nuovo(), Finale()));
    EXPECT_EQ(LeggiFile(Nuovo()), "nuovo");
    // Writable by its owner only, or by its group only: not read-only.
    for (const auto scrittura : {fs::perms::owner_write, fs::perms::group_write}) {
        fs::permissions(Finale(), lettura | scrittura);
        ScriviFile(Nuovo(), "nuovo");
#ifdef _WIN32
        if (scrittura == fs::perms::group_write)
            continue; // one read-only attribute for everyone
#endif
        EXPECT_TRUE(SostituisciFile(Nuovo(), Finale()));
        EXPECT_EQ(LeggiFile(Finale()), "nuovo");
        ScriviFile(Finale(), "vecchio");
    }
    fs::permissions(Finale(), fs::perms::owner_all);
}

#ifdef _WIN32
TEST_F(Sostituzione, UnFileNascostoDiSistemaOSolaLetturaResta) {
    for (DWORD attributi : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_READONLY}) {
        ScriviFile(Nuovo(), "nuovo");
        ScriviFile(Finale(), "vecchio");
        Attributi(Finale(), attributi);
        EXPECT_FALSE(SostituisciFile(Nuovo(), Finale())) << attributi;
        EXPECT_EQ(LeggiFile(Nuovo()), "nuovo");
        Attributi(Finale(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(LeggiFile(Finale()), "vecchio") << attributi;
    }
}

TEST_F(Sostituzione, UnDocumentoApertoDaUnAltroProgrammaResta) {
    ScriviFile(Finale(), "vecchio");
    // Open as an editor or a submission program opens it: others may read and write, not delete.
    HANDLE aperto = CreateFileW(Finale().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(aperto, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(SostituisciFile(Nuovo(), Finale()));
    CloseHandle(aperto);
    EXPECT_EQ(LeggiFile(Finale()), "vecchio");
    EXPECT_EQ(LeggiFile(Nuovo()), "nuovo");
}
#endif

#ifndef _WIN32
// The calls that name files as a file system answers that lacks some of them, for one test; the
// system's are put back at the end.
class ChiamateSimulate {
public:
    ChiamateSimulate() : m_prima(posix::Chiamate()) {}
    ~ChiamateSimulate() { posix::Chiamate() = m_prima; }
    ChiamateSimulate(const ChiamateSimulate&) = delete;
    ChiamateSimulate& operator=(const ChiamateSimulate&) = delete;
    posix::ChiamateNomi* operator->() { return &posix::Chiamate(); }

private:
    posix::ChiamateNomi m_prima;
};

// renameat2 where the file system takes no flags, link where it has no hard links (FAT, many SMB
// shares): what such a system answers.
int RinominaSenzaFlag(const char*, const char*) {
    errno = EINVAL;
    return -1;
}
int SenzaCollegamenti(const char*, const char*) {
    errno = EPERM;
    return -1;
}

struct FileSystem {
    const char* nome;
    bool rinominaSenzaSostituire;
    bool collegamenti;
};
void PrintTo(const FileSystem& f, std::ostream* os) { *os << f.nome; }

class SpostaEsclusivoSu : public testing::TestWithParam<FileSystem> {
protected:
    void SetUp() override {
        if (!GetParam().rinominaSenzaSostituire)
            m_chiamate->rinominaSenzaSostituire = RinominaSenzaFlag;
        if (!GetParam().collegamenti)
            m_chiamate->collega = SenzaCollegamenti;
        ScriviFile(Temporaneo(), "fornitura completa");
    }
    fs::path Temporaneo() const { return m_dir / "TFRtemp.txt"; }
    fs::path Finale() const { return m_dir / "MV106140.TXT"; }

    ChiamateSimulate m_chiamate;
    CartellaTemporanea m_dir;
};

// Whichever calls the file system has, the supply gets its name in one step, the same file and not a
// copy (which a kill could leave half made), and the temporary name goes.
TEST_P(SpostaEsclusivoSu, IlFileStessoSottoIlNuovoNome) {
    struct stat prima {};
    ASSERT_EQ(::stat(Temporaneo().c_str(), &prima), 0);
    EXPECT_EQ(SpostaEsclusivo(Temporaneo(), Finale()), EsitoSpostamento::Spostato);
    struct stat dopo {};
    ASSERT_EQ(::stat(Finale().c_str(), &dopo), 0);
    EXPECT_EQ(dopo.st_ino, prima.st_ino) << "a copy, not the file itself";
    EXPECT_EQ(dopo.st_nlink, 1u);
    EXPECT_EQ(LeggiFile(Finale()), "fornitura completa");
    EXPECT_FALSE(fs::exists(fs::symlink_status(Temporaneo())));
}

// Whatever stands under the name (a file, a link to nowhere, a folder) stays, and so does the supply
// under its temporary name.
TEST_P(SpostaEsclusivoSu, MaiSopraQualcosaCheCeGia) {
    const std::function<void()> occupanti[] = {
        [&] { ScriviFile(Finale(), "vecchia"); },
        [&] { fs::create_symlink(m_dir / "non-esiste", Finale()); },
        [&] { fs::create_directory(Finale()); },
    };
    for (const auto& occupa : occupanti) {
        occupa();
        const auto tipo = fs::symlink_status(Finale()).type();
        EXPECT_EQ(SpostaEsclusivo(Temporaneo(), Finale()), EsitoSpostamento::Esistente);
        EXPECT_EQ(fs::symlink_status(Finale()).type(), tipo);
        EXPECT_EQ(LeggiFile(Temporaneo()), "fornitura completa");
        fs::remove(Finale());
    }
    EXPECT_FALSE(fs::exists(m_dir / "non-esiste"));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Chiamate, SpostaEsclusivoSu, testing::Values(
    //         nome                       renameat2  link
    FileSystem{"Tutte",                   true,      true },
    FileSystem{"SenzaRinominaEsclusiva",  false,     true },
    FileSystem{"SoloRinomina",            false,     false}),
    [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// Killed between the second name and the removal of the first (where renameat2 is missing): both names
// hold the whole supply. The next run's temporary file is a new one, and the supply stays as it is.
TEST(SpostaEsclusivo, UccisoTraIDuePassi) {
    CartellaTemporanea dir;
    const fs::path temporaneo = dir / "TFRtemp.txt", finale = dir / "MV106140.TXT";
    ScriviFile(temporaneo, "fornitura completa");
    const pid_t figlio = fork();
    if (figlio == 0) {
        posix::Chiamate().rinominaSenzaSostituire = RinominaSenzaFlag;
        posix::Chiamate().collega = [](const char* da, const char* a) {
            const int esito = ::link(da, a);
            ::raise(SIGKILL);
            return esito;
        };
        SpostaEsclusivo(temporaneo, finale);
        _exit(0);
    }
    int stato = 0;
    ASSERT_EQ(waitpid(figlio, &stato, 0), figlio);
    ASSERT_TRUE(WIFSIGNALED(stato) && WTERMSIG(stato) == SIGKILL);
    ASSERT_EQ(fs::hard_link_count(finale), 2u);
    {
        FileUscita successiva(temporaneo); // a run that stops half-way
        successiva.ScriviRiga("parziale");
    }
    EXPECT_EQ(LeggiFile(finale), "fornitura completa");
    EXPECT_EQ(LeggiFile(temporaneo), "parziale\r\n");
}

// The temporary name that cannot be removed after the second name was given: the second name is taken
// back, and the run stops with its supply under the temporary name alone.
TEST(SpostaEsclusivo, NomeTemporaneoCheNonSiToglie) {
    CartellaTemporanea dir;
    const fs::path temporaneo = dir / "TFRtemp.txt", finale = dir / "MV106140.TXT";
    ScriviFile(temporaneo, "fornitura completa");
    ChiamateSimulate chiamate;
    chiamate->rinominaSenzaSostituire = RinominaSenzaFlag;
    chiamate->cancella = [](const char* nome) {
        if (std::string_view(nome).ends_with("TFRtemp.txt")) {
            errno = EACCES;
            return -1;
        }
        return ::unlink(nome);
    };
    EXPECT_EQ(SpostaEsclusivo(temporaneo, finale), EsitoSpostamento::Fallito);
    EXPECT_FALSE(fs::exists(finale));
    EXPECT_EQ(LeggiFile(temporaneo), "fornitura completa");
    EXPECT_EQ(fs::hard_link_count(temporaneo), 1u);
}
#endif

// A converter that writes the export's two lines in reverse order under a name with an accented letter.
void Inverti(ContestoElaborazione& contesto, const fs::path& esportazione) {
    EseguiConversioneArchivio(contesto, esportazione, {"Prova-", ".txt"},
                              [](const Esportazione& e, FileUscita& uscita, ContestoElaborazione&) {
                                  uscita.ScriviRiga(e.Riga(1));
                                  uscita.ScriviRiga(e.Riga(0));
                                  return std::string("Prova-\xC8.txt");
                              });
}

// A whole run with the export and the archive in folders with accented names: the export is found
// and read, the document written and named, and the log names it in ISO-8859-1.
TEST(CartelleENomi, EsportazioneEDocumentoInCartelleAccentate) {
    CartellaTemporanea dir;
    for (const auto& nome : {Accentata, FuoriLatin1}) {
        const fs::path cartella = dir.Percorso() / nome;
        const fs::path archivio = cartella / nome;
        fs::create_directory(cartella);
        ScriviFile(cartella / "Esportazione770.tab", "abc\tx\r\ndef");
        const auto caricamento = CaricaEsportazione(cartella, "Esportazione770.tab", Inverti);
        ASSERT_FALSE(caricamento.fileMancante) << nome;
        ContestoRegistrato contesto(archivio);
        caricamento.esegui(contesto);
        const fs::path finale = archivio / PercorsoDaTesto("Prova-\xC8.txt");
        EXPECT_EQ(LeggiFile(finale), "def\r\nabc\tx\r\n") << nome;
        EXPECT_EQ(contesto.messaggio, TestoCompletamento(finale));
        EXPECT_NE(contesto.messaggio.find(TestoPercorso(cartella)), std::string::npos);
    }
    const std::string log = TestoPercorso(dir.Percorso() / Accentata);
    EXPECT_NE(log.find("Societ\xE0 \xC8lite \xF1"), std::string::npos) << log;
}

// The finished document meets an older one whose name differs in letter case only (an accented letter
// included): where names ignore case the run stops and leaves both files as they are.
TEST(CartelleENomi, NomeFinaleConAltreMaiuscole) {
    CartellaTemporanea dir;
    const fs::path archivio = dir / "ARC";
    fs::create_directory(archivio);
    const fs::path vecchio = archivio / PercorsoDaTesto("prova-\xE8.txt");
    ScriviFile(vecchio, "vecchio");
    ScriviFile(dir / "Esportazione770.tab", "abc\r\ndef\r\n");
    ContestoRegistrato contesto(archivio);
    std::string errore;
    try {
        Inverti(contesto, dir / "Esportazione770.tab");
    } catch (const ErroreElaborazione& e) {
        errore = e.what();
    }
    EXPECT_EQ(LeggiFile(vecchio), "vecchio");
#ifdef _WIN32
    const fs::path temporaneo = archivio / "Prova-2011-06-14-09-05-07.txt";
    EXPECT_EQ(errore, "Impossibile dare al documento il nome finale '" +
                          TestoPercorso(archivio / PercorsoDaTesto("Prova-\xC8.txt")) +
                          "'\r\nIl documento resta con il nome temporaneo '" + TestoPercorso(temporaneo) + "'.");
    EXPECT_EQ(LeggiFile(temporaneo), "def\r\nabc\r\n");
    EXPECT_EQ(contesto.messaggio, "");
#else
    EXPECT_EQ(errore, "");
    EXPECT_EQ(LeggiFile(archivio / PercorsoDaTesto("Prova-\xC8.txt")), "def\r\nabc\r\n");
#endif
}

} // namespace
} // namespace shell
