// Whatever happens to a run (a missing or unwritable folder, a full disk, a failed rename, a kill at
// any moment), the final name holds either the older complete supply or a new complete one, never a
// partial file; the exit status and the message say what happened; the exports are left as they were.

#include "cartella_temporanea.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <sys/resource.h>
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
    rlim_t limiteFile = RLIM_INFINITY; // file size limit, with SIGXFSZ ignored
    bool comeNobody = false;           // run without the rights of root
    std::chrono::microseconds uccidiDopo{-1};
};

struct Esito {
    bool ucciso = false;
    int stato = -1;
    std::string err;
};

Esito Lancia(const std::vector<std::string>& argomenti, const fs::path& cartella, const Guasto& guasto = {}) {
    const fs::path err = cartella / "stderr.txt";
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        dup2(fd, 2);
        const int nulla = open("/dev/null", O_WRONLY);
        dup2(nulla, 1);
        if (guasto.limiteFile != RLIM_INFINITY) {
            signal(SIGXFSZ, SIG_IGN);
            rlimit limite{guasto.limiteFile, guasto.limiteFile};
            setrlimit(RLIMIT_FSIZE, &limite);
        }
        if (guasto.comeNobody && geteuid() == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(98);
        }
        std::vector<char*> argv;
        std::string programma = FORNITURA_EXE;
        argv.push_back(programma.data());
        std::vector<std::string> copie = argomenti;
        for (auto& a : copie)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(programma.c_str(), argv.data());
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
        return std::vector<std::string>{GetParam(), "--dir", grande.string(), "--archive", archivio.string(),
                                        "--now", "2011-06-14T09:05:07"};
    };
    const auto inizio = std::chrono::steady_clock::now();
    const Esito completo = Lancia(argomenti(m_dir / "rifgrande"), m_dir.Percorso());
    const auto durata = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - inizio);
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
                ASSERT_EQ(testo, riferimento) << nome << " partial after a kill at " << guasto.uccidiDopo.count() << " us";
            }
        }
    }
    EXPECT_GT(uccisi, 0);
    EXPECT_EQ(Contenuto(grande).size(), m_esportazioni.size());
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
