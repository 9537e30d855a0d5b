#pragma once
// Runs a program as a host or a script starts it: the arguments handed over as they are, without a
// shell in between (no quoting rules of sh or cmd.exe to get wrong), standard output and standard
// error caught in files, the exit status returned. The same on POSIX (processo_posix.cpp) and on
// Windows (processo_win32.cpp).

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace shell::test {

struct EsitoProcesso {
    int stato = -1; // exit status; -1 when the program could not start or did not end by itself
    std::string out, err;
};

// A path as an argument of EseguiProcesso: UTF-8, whatever the system's code page.
inline std::string Argomento(const std::filesystem::path& percorso) {
    const auto testo = percorso.u8string();
    return std::string(testo.begin(), testo.end());
}

// `argomenti` in UTF-8; `out` and `err` name the files that take the two streams.
EsitoProcesso EseguiProcesso(const std::filesystem::path& programma, const std::vector<std::string>& argomenti,
                             const std::filesystem::path& out, const std::filesystem::path& err);

// A program started without waiting for it, its streams caught in files as EseguiProcesso does:
// Attendi waits for its end, Uccidi ends it at once as a crash or the task manager would (SIGKILL,
// TerminateProcess). One still running when the object goes is killed.
class ProcessoAvviato {
public:
    ProcessoAvviato(const std::filesystem::path& programma, const std::vector<std::string>& argomenti,
                    std::filesystem::path out, std::filesystem::path err);
    ~ProcessoAvviato();
    ProcessoAvviato(const ProcessoAvviato&) = delete;
    ProcessoAvviato& operator=(const ProcessoAvviato&) = delete;

    void Uccidi();

    // The status is -1 when the program did not start or was killed.
    EsitoProcesso Attendi();

private:
    struct Sistema; // what the system knows the running program by (its process id, or its handles)
    std::unique_ptr<Sistema> m_sistema;
    std::filesystem::path m_out, m_err;
    bool m_finito = false;
    EsitoProcesso m_esito;
};

} // namespace shell::test
