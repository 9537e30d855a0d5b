// Running a program on POSIX: fork, its streams redirected to the files, execv; waitpid for its status.

#include "tests/supporto/processo.h"

#include "tests/supporto/cartella_temporanea.h"

#include <csignal>
#include <fcntl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace shell::test {

namespace {

// The program started with its standard output and error in the two files: the child's id, -1 when no
// child could be made.
pid_t Avvia(const std::filesystem::path& programma, const std::vector<std::string>& argomenti,
            const std::filesystem::path& out, const std::filesystem::path& err) {
    std::vector<std::string> testi{programma.string()};
    testi.insert(testi.end(), argomenti.begin(), argomenti.end());
    std::vector<char*> argv;
    for (auto& t : testi)
        argv.push_back(t.data());
    argv.push_back(nullptr);
    const pid_t figlio = fork();
    if (figlio == 0) {
        const int fdOut = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int fdErr = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fdOut < 0 || fdErr < 0 || dup2(fdOut, 1) < 0 || dup2(fdErr, 2) < 0)
            _exit(126);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return figlio;
}

// The child's exit status once it has ended; -1 when it was ended by a signal.
int StatoAllaFine(pid_t figlio) {
    int stato = 0;
    if (figlio > 0 && waitpid(figlio, &stato, 0) == figlio && WIFEXITED(stato))
        return WEXITSTATUS(stato);
    return -1;
}

} // namespace

EsitoProcesso EseguiProcesso(const std::filesystem::path& programma, const std::vector<std::string>& argomenti,
                             const std::filesystem::path& out, const std::filesystem::path& err) {
    EsitoProcesso esito;
    esito.stato = StatoAllaFine(Avvia(programma, argomenti, out, err));
    esito.out = LeggiFile(out);
    esito.err = LeggiFile(err);
    return esito;
}

struct ProcessoAvviato::Sistema {
    pid_t pid = -1;
};

ProcessoAvviato::ProcessoAvviato(const std::filesystem::path& programma, const std::vector<std::string>& argomenti,
                                 std::filesystem::path out, std::filesystem::path err)
    : m_sistema(std::make_unique<Sistema>()), m_out(std::move(out)), m_err(std::move(err)) {
    m_sistema->pid = Avvia(programma, argomenti, m_out, m_err);
}

ProcessoAvviato::~ProcessoAvviato() {
    if (!m_finito) {
        Uccidi();
        Attendi();
    }
}

void ProcessoAvviato::Uccidi() {
    if (m_sistema->pid > 0)
        kill(m_sistema->pid, SIGKILL);
}

EsitoProcesso ProcessoAvviato::Attendi() {
    if (m_finito)
        return m_esito;
    m_finito = true;
    m_esito.stato = StatoAllaFine(m_sistema->pid);
    m_sistema->pid = -1;
    m_esito.out = LeggiFile(m_out);
    m_esito.err = LeggiFile(m_err);
    return m_esito;
}

} // namespace shell::test
