// Whatever happens to a run (a missing or unwritable folder, a full disk, a failed rename, a kill at
// any moment, a link planted at its temporary name, a read-only older supply, a working folder deleted,
// a log that no one reads, too little memory), the final name holds either the older complete supply or
// a new complete one, never a partial file nor a link; the exit status and the message say what
// happened, and the program always ends by itself; the exports are left as they were.

#include "tests/supporto/cartella_temporanea.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::LeggiFile;
using shell::test::ScriviFile;

struct Guasto {
    rlim_t limiteFile = RLIM_INFINITY;    // file size limit (SIGXFSZ left to the program)
    rlim_t limiteMemoria = RLIM_INFINITY; // address space limit
    bool comeNobody = false;              // run without the rights of root
    bool lavoroCancellato = false;        // started in a working folder that was deleted meanwhile
    bool logSenzaLettore = false;         // standard output a pipe whose reader has gone
    fs::path uscita;                      // standard output written to this file (/dev/full); /dev/null if empty
    std::chrono::microseconds uccidiDopo{-1};
};

struct Esito {
    bool ucciso = false;
    int stato = -1;
    std::string err;
};

Esito Lancia(const std::vector<std::string>& argomenti, const fs::path& cartella, const Guasto& guasto = {}) {
    const fs::path err = cartella / "stderr.txt";
    const fs::path lavoro = cartella / "lavoro";
    // Everything the child needs is made before the fork: under a memory limit it could not be.
    std::vector<char*> argv;
    std::string programma = FORNITURA_EXE;
    argv.push_back(programma.data());
    std::vector<std::string> copie = argomenti;
    for (auto& a : copie)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        dup2(fd, 2);
        if (guasto.logSenzaLettore) {
            int tubo[2];
            if (pipe(tubo) != 0)
                _exit(97);
            close(tubo[0]);
            dup2(tubo[1], 1);
        } else {
            const int nulla =
                open(guasto.uscita.empty() ? "/dev/null" : guasto.uscita.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            dup2(nulla, 1);
        }
        if (guasto.lavoroCancellato &&
            (mkdir(lavoro.c_str(), 0700) != 0 || chdir(lavoro.c_str()) != 0 || rmdir(lavoro.c_str()) != 0))
            _exit(96);
        if (guasto.limiteFile != RLIM_INFINITY) {
            // As a shell leaves it: the program itself must turn the signal into a failed write.
            signal(SIGXFSZ, SIG_DFL);
            rlimit limite{guasto.limiteFile, guasto.limiteFile};
            setrlimit(RLIMIT_FSIZE, &limite);
        }
        if (guasto.comeNobody && geteuid() == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(98);
        }
        if (guasto.limiteMemoria != RLIM_INFINITY) {
            rlimit limite{guasto.limiteMemoria, guasto.limiteMemoria};
            setrlimit(RLIMIT_AS, &limite);
        }
        execv(argv[0], argv.data());
        _exit(99);
    }
    if (guasto.uccidiDopo.count() >= 0) {
        std::this_thread::sleep_for(guasto.uccidiDopo);
        kill(pid, SIGKILL);
    }
    int stato = 0;
    waitpid(pid, &stato, 0);
    Esito esito;
    esito.ucciso = WIFSIGNALED(stato);
    esito.stato = WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
    esito.err = LeggiFile(err);
    fs::remove(err);
    return esito;
}

// The files of a folder and their contents.
std::map<std::string, std::string> Contenuto(const fs::path& cartella) {
    std::map<std::string, std::string> file;
    if (fs::exists(cartella))
        for (const auto& voce : fs::directory_iterator(cartella))
            if (voce.is_regular_file() && !shell::test::Nascosto(voce.path()))
                file[voce.path().filename().string()] = LeggiFile(voce.path());
    return file;
}

bool Temporaneo(const std::string& nome) {
    // Time-stamped names (…-2011-06-14-09-05-07.…) and the TFR's fixed one.
    return nome == "TFRtemp.txt" || nome.find("-2011-06-14-09-05-07") != std::string::npos;
}

class Guasti : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        const fs::path esempio = fs::path(CARTELLA_ESEMPI) / GetParam();
        fs::permissions(m_dir.Percorso(), fs::perms::all);
        fs::create_directory(m_dir / "prog");
        for (const auto& voce : fs::directory_iterator(esempio))
            fs::copy_file(voce.path(), m_dir / "prog" / voce.path().filename());
        m_esportazioni = Contenuto(m_dir / "prog");
        // The reference supply of an undisturbed run.
        const Esito esito = Esegui(m_dir / "rif");
        ASSERT_EQ(esito.stato, 0) << esito.err;
        for (const auto& [nome, testo] : Contenuto(m_dir / "rif")) {
            if (!Temporaneo(nome)) {
                m_nomeFinale = nome;
                m_riferimento = testo;
            }
        }
        ASSERT_FALSE(m_nomeFinale.empty());
    }
    void TearDown() override { EXPECT_EQ(Contenuto(m_dir / "prog"), m_esportazioni) << "an export was touched"; }

    Esito Esegui(const fs::path& archivio, const Guasto& guasto = {}) {
        return Lancia({GetParam(), "--dir", (m_dir / "prog").string(), "--archive", archivio.string(), "--now",
                       "2011-06-14T09:05:07"},
                      m_dir.Percorso(), guasto);
    }
    // Every final supply in the folder is complete.
    void SoloDocumentiCompleti(const fs::path& archivio) {
        for (const auto& [nome, testo] : Contenuto(archivio)) {
            if (!Temporaneo(nome)) {
                EXPECT_EQ(testo, m_riferimento) << nome << " is not a complete supply";
            }
        }
    }
    bool Tfr() const { return GetParam() == "tfr"; }
    // The temporary name of a run at the fixed clock.
    std::string NomeTemporaneo() const {
        if (Tfr())
            return "TFRtemp.txt";
        return m_nomeFinale.substr(0, m_nomeFinale.find('-') + 1) + "2011-06-14-09-05-07" +
               fs::path(m_nomeFinale).extension().string();
    }

    CartellaTemporanea m_dir;
    std::map<std::string, std::string> m_esportazioni;
    std::string m_nomeFinale, m_riferimento;
};

TEST_P(Guasti, CartellaSuperioreMancante) {
    const Esito esito = Esegui(m_dir / "manca" / "ARC");
    EXPECT_EQ(esito.stato, 1);
    EXPECT_NE(esito.err.find("Impossibile creare"), std::string::npos) << esito.err;
    EXPECT_FALSE(fs::exists(m_dir / "manca"));
}

TEST_P(Guasti, CartellaNonScrivibile) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to run the program as another user";
    const fs::path archivio = m_dir / "ARC";
    fs::create_directory(archivio);
    fs::permissions(archivio, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(m_dir / "prog", fs::perms::all);
    Guasto guasto;
    guasto.comeNobody = true;
    const Esito esito = Esegui(archivio, guasto);
    EXPECT_EQ(esito.stato, 1) << esito.err;
    EXPECT_NE(esito.err.find("Impossibile creare"), std::string::npos) << esito.err;
    EXPECT_TRUE(fs::is_empty(archivio));
}

TEST_P(Guasti, DiscoPienoDuranteLaScrittura) {
    const fs::path archivio = m_dir / "ARC";
    fs::create_directory(archivio);
    if (!Tfr())
        ScriviFile(archivio / m_nomeFinale, m_riferimento); // the older supply
    Guasto guasto;
    guasto.limiteFile = m_riferimento.size() / 2;
    const Esito esito = Esegui(archivio, guasto);
    EXPECT_EQ(esito.stato, 1) << esito.err;
    EXPECT_NE(esito.err.find("scrittura"), std::string::npos) << esito.err;
    SoloDocumentiCompleti(archivio);
    if (!Tfr()) {
        EXPECT_EQ(LeggiFile(archivio / m_nomeFinale), m_riferimento);
    }
}

TEST_P(Guasti, NomeFinaleNonAssegnabile) {
    if (Tfr())
        GTEST_SKIP() << "the TFR supply takes the next free name instead";
    const fs::path archivio = m_dir / "ARC";
    fs::create_directories(archivio / m_nomeFinale);
    ScriviFile(archivio / m_nomeFinale / "dentro", "occupato");
    const Esito esito = Esegui(archivio);
    EXPECT_EQ(esito.stato, 1);
    EXPECT_NE(esito.err.find("nome finale"), std::string::npos) << esito.err;
    EXPECT_EQ(LeggiFile(archivio / m_nomeFinale / "dentro"), "occupato");
}

// Killed at random moments of runs on a large export: never a partial supply under a final name.
TEST_P(Guasti, UccisoInMomentiACaso) {
    // A large export: the sample's lines over and over.
    const fs::path grande = m_dir / "grande";
    fs::create_directory(grande);
    for (const auto& [nome, testo] : m_esportazioni) {
        std::string ripetuto;
        // Beneficiaries stay as they are: repeated, they would be written once per repeated group.
        while (ripetuto.size() < 1'000'000 && !testo.empty() && nome.ends_with(".tab") &&
               nome.find("Beneficiari") == std::string::npos)
            ripetuto += testo.back() == '\n' ? testo : testo + "\r\n";
        ScriviFile(grande / nome, ripetuto.empty() ? testo : ripetuto);
    }
    const auto argomenti = [&](const fs::path& archivio) {
        return std::vector<std::string>{GetParam(),        "--dir", grande.string(),      "--archive",
                                        archivio.string(), "--now", "2011-06-14T09:05:07"};
    };
    const auto inizio = std::chrono::steady_clock::now();
    const Esito completo = Lancia(argomenti(m_dir / "rifgrande"), m_dir.Percorso());
    const auto durata =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - inizio);
    ASSERT_EQ(completo.stato, 0) << completo.err;
    std::string riferimento;
    for (const auto& [nome, testo] : Contenuto(m_dir / "rifgrande")) {
        if (!Temporaneo(nome)) {
            riferimento = testo;
        }
    }

    const fs::path archivio = m_dir / "ARC";
    fs::create_directory(archivio);
    std::mt19937 caso(12345);
    std::uniform_int_distribution<long> quando(0, durata.count() * 11 / 10);
    int uccisi = 0;
    for (int i = 0; i < 40; ++i) {
        Guasto guasto;
        guasto.uccidiDopo = std::chrono::microseconds(quando(caso));
        const Esito esito = Lancia(argomenti(archivio), m_dir.Percorso(), guasto);
        uccisi += esito.ucciso;
        EXPECT_TRUE(esito.ucciso || esito.stato == 0) << esito.err;
        for (const auto& [nome, testo] : Contenuto(archivio)) {
            if (!Temporaneo(nome)) {
                ASSERT_EQ(testo, riferimento)
                    << nome << " partial after a kill at " << guasto.uccidiDopo.count() << " us";
            }
        }
    }
    EXPECT_GT(uccisi, 0);
    EXPECT_EQ(Contenuto(grande).size(), m_esportazioni.size());
}

// A link planted at the temporary name (a clerk who shares the archive folder, a stopped run's leftover)
// is never followed: the run writes a new file of its own under that name, what the link points at
// stays as it was (an export, a file that does not exist yet), and the final name is never a link.
TEST_P(Guasti, CollegamentoAlNomeTemporaneo) {
    const fs::path bersagli[] = {m_dir / "prog" / m_esportazioni.begin()->first, m_dir / "fuori.txt"};
    for (const fs::path& bersaglio : bersagli) {
        const fs::path archivio = m_dir / ("ARC-" + bersaglio.filename().string());
        fs::create_directory(archivio);
        fs::create_symlink(bersaglio, archivio / NomeTemporaneo());
        const Esito esito = Esegui(archivio);
        EXPECT_EQ(esito.stato, 0) << bersaglio << "\n" << esito.err;
        EXPECT_FALSE(fs::is_symlink(archivio / m_nomeFinale)) << bersaglio;
        EXPECT_EQ(LeggiFile(archivio / m_nomeFinale), m_riferimento) << bersaglio;
        EXPECT_FALSE(fs::exists(fs::symlink_status(archivio / NomeTemporaneo()))) << bersaglio;
    }
    EXPECT_FALSE(fs::exists(m_dir / "fuori.txt"));
}

// The temporary name left as a second name of the older supply (a TFR run killed between naming its
// supply and removing "TFRtemp.txt", where the file system has no rename that refuses an existing name):
// the next run, stopped by a full disk, leaves the older supply whole.
TEST_P(Guasti, NomeTemporaneoSecondoNomeDelDocumentoPrecedente) {
    const fs::path archivio = m_dir / "ARC";
    fs::create_directory(archivio);
    ScriviFile(archivio / m_nomeFinale, m_riferimento);
    fs::create_hard_link(archivio / m_nomeFinale, archivio / NomeTemporaneo());
    Guasto guasto;
    guasto.limiteFile = m_riferimento.size() / 2;
    const Esito esito = Esegui(archivio, guasto);
    EXPECT_EQ(esito.stato, 1) << esito.err;
    EXPECT_EQ(LeggiFile(archivio / m_nomeFinale), m_riferimento);
    SoloDocumentiCompleti(archivio);
}

// An older supply that no one may write (chmod a-w) is read-only, as its attribute makes it on Windows:
// the run stops, nothing is renamed, the new supply stays whole under its temporary name.
TEST_P(Guasti, DocumentoPrecedenteDiSolaLettura) {
    if (Tfr())
        GTEST_SKIP() << "the TFR supply never replaces another";
    const fs::path archivio = m_dir / "ARC";
    fs::create_directory(archivio);
    // The same employer's supply (another's is never replaced, read-only or not).
    const std::string precedente = m_riferimento + "\r\n";
    ScriviFile(archivio / m_nomeFinale, precedente);
    fs::permissions(archivio / m_nomeFinale, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const Esito esito = Esegui(archivio);
    EXPECT_EQ(esito.stato, 1) << esito.err;
    EXPECT_NE(esito.err.find("nome finale"), std::string::npos) << esito.err;
    EXPECT_NE(esito.err.find(NomeTemporaneo()), std::string::npos) << esito.err;
    EXPECT_EQ(LeggiFile(archivio / m_nomeFinale), precedente);
    EXPECT_EQ(LeggiFile(archivio / NomeTemporaneo()), m_riferimento);
}

// A working folder deleted while the shell stood in it: with full paths the run needs it not; a
// relative folder stops the run with a message, never an abort.
TEST_P(Guasti, CartellaDiLavoroCancellata) {
    Guasto guasto;
    guasto.lavoroCancellato = true;
    const Esito completa = Esegui(m_dir / "ARC", guasto);
    EXPECT_FALSE(completa.ucciso);
    EXPECT_EQ(completa.stato, 0) << completa.err;
    EXPECT_EQ(LeggiFile(m_dir / "ARC" / m_nomeFinale), m_riferimento);

    const Esito relativa =
        Lancia({GetParam(), "--dir", "prog", "--archive", (m_dir / "ARC2").string(), "--now", "2011-06-14T09:05:07"},
               m_dir.Percorso(), guasto);
    EXPECT_FALSE(relativa.ucciso);
    EXPECT_EQ(relativa.stato, 1);
    EXPECT_NE(relativa.err.find("La cartella di lavoro non esiste pi\xC3\xB9"), std::string::npos) << relativa.err;
    EXPECT_FALSE(fs::exists(m_dir / "ARC2"));
}

// The reader of the log gone before the first line (`fornitura ... | head -1`): the supply is made and
// named all the same, and the status is the run's.
TEST_P(Guasti, LogSenzaLettore) {
    Guasto guasto;
    guasto.logSenzaLettore = true;
    const Esito esito = Esegui(m_dir / "ARC", guasto);
    EXPECT_FALSE(esito.ucciso);
    EXPECT_EQ(esito.stato, 0) << esito.err;
    EXPECT_EQ(LeggiFile(m_dir / "ARC" / m_nomeFinale), m_riferimento);
}

// Memory that runs out anywhere, from the start of the program to the naming of its supply (the
// address space limited from a little above what the system's loader needs up to what the run needs):
// every run ends by itself, with status 0 and the complete supply, or 1 and a message.
TEST_P(Guasti, MemoriaCheFinisce) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit lets through";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than any limit lets through";
#endif
#endif
    constexpr rlim_t Passo = 32 << 10; // finer than the stretches where the start itself runs short
    // The kernel maps the whole program, the system's loader and the first stack before the loader runs:
    // under their size (the program's file and half a MiB) no run starts at all, and the exec ends by the
    // system's signal, not the program's.
    const rlim_t inizio = (static_cast<rlim_t>(fs::file_size(FORNITURA_EXE) + (512 << 10)) / Passo + 1) * Passo;
    int fermate = 0;
    for (rlim_t limite = inizio;; limite += Passo) {
        ASSERT_LT(limite, rlim_t{1} << 30) << "no run completed";
        const fs::path archivio = m_dir / ("ARC-" + std::to_string(limite));
        Guasto guasto;
        guasto.limiteMemoria = limite;
        const Esito esito = Esegui(archivio, guasto);
        ASSERT_FALSE(esito.ucciso) << "killed by a signal with " << limite << " bytes\n" << esito.err;
        if (esito.stato == 127)
            continue; // the system's loader stopped before the program began (no status of the program's)
        SoloDocumentiCompleti(archivio);
        if (esito.stato == 0)
            break;
        ASSERT_EQ(esito.stato, 1) << limite << " bytes\n" << esito.err;
        EXPECT_FALSE(esito.err.empty()) << limite << " bytes";
        ++fermate;
    }
    EXPECT_GT(fermate, 0) << "no run was short of memory";
}

// A page of the listing or of the comparison that the disk cannot hold: status 1 with the message, the
// older page whole and nothing else left in its folder (the page writer was killed by the file-size
// signal, the older page cut).
TEST(PaginaGuasti, DiscoPienoLasciaLaPaginaPrecedente) {
    CartellaTemporanea dir;
    fs::copy(fs::path(CARTELLA_ESEMPI) / "770", dir / "e");
    ASSERT_EQ(Lancia({"770", "--dir", (dir / "e").string(), "--archive", (dir / "arc").string(), "--now",
                      "2011-06-14T09:05:07"},
                     dir.Percorso())
                  .stato,
              0);
    const fs::path fornitura = dir / "arc" / Contenuto(dir / "arc").begin()->first;
    fs::create_directory(dir / "pagine");
    const std::string vecchia(500, 'v');
    ScriviFile(dir / "pagine" / "pagina.html", vecchia);
    Guasto guasto;
    guasto.limiteFile = 1024;
    for (const auto& comando : std::vector<std::vector<std::string>>{
             {"distinta", fornitura.string(), "--html", (dir / "pagine" / "pagina.html").string()},
             {"confronta", fornitura.string(), fornitura.string(), "--html",
              (dir / "pagine" / "pagina.html").string()}}) {
        const Esito esito = Lancia(comando, dir.Percorso(), guasto);
        EXPECT_FALSE(esito.ucciso) << comando[0];
        EXPECT_EQ(esito.stato, 1) << comando[0] << esito.err;
        EXPECT_NE(esito.err.find("impossibile scrivere la pagina"), std::string::npos) << esito.err;
        EXPECT_EQ(Contenuto(dir / "pagine"), (std::map<std::string, std::string>{{"pagina.html", vecchia}}));
    }
}

// A verdict, a listing or a comparison whose standard output fails (a full disk, a file-size limit): status 1
// and the cause on standard error; a reader of the output that went away leaves the command's own status.
TEST(UscitaGuasti, StatoEMessaggio) {
    CartellaTemporanea dir;
    fs::copy(fs::path(CARTELLA_ESEMPI) / "770", dir / "e");
    ASSERT_EQ(Lancia({"770", "--dir", (dir / "e").string(), "--archive", (dir / "arc").string(), "--now",
                      "2011-06-14T09:05:07"},
                     dir.Percorso())
                  .stato,
              0);
    const std::string fornitura = (dir / "arc" / Contenuto(dir / "arc").begin()->first).string();
    std::string altra = LeggiFile(fornitura);
    altra[200] = '?';
    ScriviFile(dir / "altra.txt", altra);
    struct Comando {
        std::vector<std::string> argomenti;
        int esito; // of the command, written whole
    };
    const Comando comandi[] = {
        {{"verifica", fornitura}, 0},
        {{"distinta", fornitura}, 0},
        {{"confronta", fornitura, (dir / "altra.txt").string()}, 1},
    };
    struct Caso {
        std::string nome;
        Guasto guasto;
        int esito; // -1: the command's own
        std::string causa;
    };
    Guasto pieno, limite, senzaLettore;
    pieno.uscita = "/dev/full";
    limite.uscita = dir / "uscita.txt";
    limite.limiteFile = 300; // more than the message on standard error, less than what each command prints
    senzaLettore.logSenzaLettore = true;
    const Caso casi[] = {
        {"disco pieno", pieno, 1, "(disco pieno)"},
        {"limite", limite, 1, "(superato il limite di dimensione dei file)"},
        {"senza lettore", senzaLettore, -1, ""},
    };
    for (const Comando& comando : comandi)
        for (const Caso& caso : casi) {
            SCOPED_TRACE(comando.argomenti[0] + ", " + caso.nome);
            const Esito esito = Lancia(comando.argomenti, dir.Percorso(), caso.guasto);
            EXPECT_FALSE(esito.ucciso);
            EXPECT_EQ(esito.stato, caso.esito < 0 ? comando.esito : caso.esito) << esito.err;
            if (caso.causa.empty())
                EXPECT_EQ(esito.err, "");
            else
                EXPECT_EQ(esito.err, "fornitura: impossibile scrivere sull'uscita standard " + caso.causa +
                                         ": quanto stampato \xC3\xA8 incompleto\n");
        }
}

std::vector<std::string> ConvertitoriConEsempi() {
    std::vector<std::string> nomi;
    for (const char* nome : {"770", "uniemens", "dma", "emens", "tfr"})
        if (fs::is_directory(fs::path(CARTELLA_ESEMPI) / nome))
            nomi.push_back(nome);
    return nomi;
}

INSTANTIATE_TEST_SUITE_P(Esempi, Guasti, testing::ValuesIn(ConvertitoriConEsempi()),
                         [](const auto& info) { return "conv" + info.param; });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Guasti);

} // namespace
