#pragma once
// Runs a program as a host or a script starts it: the arguments handed over as they are, without a
// shell in between (no quoting rules of sh or cmd.exe to get wrong), standard output and standard
// error caught in files, the exit status returned. The same on POSIX and on Windows.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace shell::test {

struct EsitoProcesso {
    int stato = -1; // exit status; -1 when the program could not start or did not end by itself
    std::string out, err;
};

namespace dettaglio {

inline std::string Contenuto(const std::filesystem::path& percorso) {
    std::ifstream file(percorso, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

#ifdef _WIN32
// One argument as CommandLineToArgvW and the C runtime split it again: in double quotes, with the
// backslashes before a double quote doubled.
inline void AggiungiArgomento(std::wstring& riga, const std::wstring& argomento) {
    riga += L" \"";
    std::size_t barre = 0;
    for (wchar_t c : argomento) {
        if (c == L'\\') {
            ++barre;
            continue;
        }
        riga.append(c == L'"' ? 2 * barre + 1 : barre, L'\\');
        barre = 0;
        riga += c;
    }
    riga.append(2 * barre, L'\\');
    riga += L'"';
}

inline HANDLE FileEreditabile(const std::filesystem::path& percorso) {
    SECURITY_ATTRIBUTES sicurezza{sizeof sicurezza, nullptr, TRUE};
    return CreateFileW(percorso.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sicurezza, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}
#endif

} // namespace dettaglio

// A path as an argument of EseguiProcesso: UTF-8, whatever the system's code page.
inline std::string Argomento(const std::filesystem::path& percorso) {
    const auto testo = percorso.u8string();
    return std::string(testo.begin(), testo.end());
}

// `argomenti` in UTF-8; `out` and `err` name the files that take the two streams.
inline EsitoProcesso EseguiProcesso(const std::filesystem::path& programma, const std::vector<std::string>& argomenti,
                                    const std::filesystem::path& out, const std::filesystem::path& err) {
    EsitoProcesso esito;
#ifdef _WIN32
    std::wstring riga;
    dettaglio::AggiungiArgomento(riga, programma.wstring());
    for (const auto& a : argomenti)
        dettaglio::AggiungiArgomento(riga, std::filesystem::path(std::u8string(a.begin(), a.end())).wstring());
    HANDLE hOut = dettaglio::FileEreditabile(out);
    HANDLE hErr = dettaglio::FileEreditabile(err);
    STARTUPINFOW avvio{};
    avvio.cb = sizeof avvio;
    avvio.dwFlags = STARTF_USESTDHANDLES;
    avvio.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    avvio.hStdOutput = hOut;
    avvio.hStdError = hErr;
    PROCESS_INFORMATION processo{};
    // Under Wine a start very rarely fails at once while other tests start programs; it is tried again,
    // and a start that keeps failing says why in the error text.
    bool avviato = false;
    DWORD erroreAvvio = 0;
    for (int tentativo = 0; tentativo < 3 && !avviato && hOut != INVALID_HANDLE_VALUE && hErr != INVALID_HANDLE_VALUE;
         ++tentativo) {
        if (tentativo > 0)
            Sleep(200);
        avviato = CreateProcessW(programma.c_str(), riga.data() + 1, nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                 &avvio, &processo) != 0;
        if (!avviato)
            erroreAvvio = GetLastError();
    }
    if (avviato) {
        WaitForSingleObject(processo.hProcess, INFINITE);
        DWORD stato = 0;
        if (GetExitCodeProcess(processo.hProcess, &stato))
            esito.stato = static_cast<int>(stato);
        CloseHandle(processo.hThread);
        CloseHandle(processo.hProcess);
    }
    if (hOut != INVALID_HANDLE_VALUE)
        CloseHandle(hOut);
    if (hErr != INVALID_HANDLE_VALUE)
        CloseHandle(hErr);
#else
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
    int stato = 0;
    if (figlio > 0 && waitpid(figlio, &stato, 0) == figlio && WIFEXITED(stato))
        esito.stato = WEXITSTATUS(stato);
#endif
    esito.out = dettaglio::Contenuto(out);
    esito.err = dettaglio::Contenuto(err);
#ifdef _WIN32
    if (!avviato)
        esito.err += "\n(start failed: " +
                     (hOut == INVALID_HANDLE_VALUE || hErr == INVALID_HANDLE_VALUE
                          ? std::string("output files not opened")
                          : "CreateProcessW error " + std::to_string(erroreAvvio)) +
                     ")";
#endif
    return esito;
}

// A program started without waiting for it, its streams caught in files as EseguiProcesso does:
// Attendi waits for its end, Uccidi ends it at once as a crash or the task manager would (SIGKILL,
// TerminateProcess). One still running when the object goes is killed.
class ProcessoAvviato {
public:
    ProcessoAvviato(const std::filesystem::path& programma, const std::vector<std::string>& argomenti,
                    std::filesystem::path out, std::filesystem::path err)
        : m_out(std::move(out)), m_err(std::move(err)) {
#ifdef _WIN32
        std::wstring riga;
        dettaglio::AggiungiArgomento(riga, programma.wstring());
        for (const auto& a : argomenti)
            dettaglio::AggiungiArgomento(riga, std::filesystem::path(std::u8string(a.begin(), a.end())).wstring());
        m_hOut = dettaglio::FileEreditabile(m_out);
        m_hErr = dettaglio::FileEreditabile(m_err);
        STARTUPINFOW avvio{};
        avvio.cb = sizeof avvio;
        avvio.dwFlags = STARTF_USESTDHANDLES;
        avvio.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        avvio.hStdOutput = m_hOut;
        avvio.hStdError = m_hErr;
        PROCESS_INFORMATION processo{};
        if (m_hOut != INVALID_HANDLE_VALUE && m_hErr != INVALID_HANDLE_VALUE &&
            CreateProcessW(programma.c_str(), riga.data() + 1, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &avvio,
                           &processo)) {
            CloseHandle(processo.hThread);
            m_processo = processo.hProcess;
        }
#else
        std::vector<std::string> testi{programma.string()};
        testi.insert(testi.end(), argomenti.begin(), argomenti.end());
        std::vector<char*> argv;
        for (auto& t : testi)
            argv.push_back(t.data());
        argv.push_back(nullptr);
        m_pid = fork();
        if (m_pid == 0) {
            const int fdOut = open(m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int fdErr = open(m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fdOut < 0 || fdErr < 0 || dup2(fdOut, 1) < 0 || dup2(fdErr, 2) < 0)
                _exit(126);
            execv(argv[0], argv.data());
            _exit(127);
        }
#endif
    }
    ~ProcessoAvviato() {
        if (!m_finito) {
            Uccidi();
            Attendi();
        }
    }
    ProcessoAvviato(const ProcessoAvviato&) = delete;
    ProcessoAvviato& operator=(const ProcessoAvviato&) = delete;

    void Uccidi() {
#ifdef _WIN32
        if (m_processo)
            TerminateProcess(m_processo, 137);
#else
        if (m_pid > 0)
            kill(m_pid, SIGKILL);
#endif
    }

    // The status is -1 when the program did not start or was killed.
    EsitoProcesso Attendi() {
        if (m_finito)
            return m_esito;
        m_finito = true;
#ifdef _WIN32
        if (m_processo) {
            WaitForSingleObject(m_processo, INFINITE);
            DWORD stato = 0;
            if (GetExitCodeProcess(m_processo, &stato) && stato != 137)
                m_esito.stato = static_cast<int>(stato);
            CloseHandle(m_processo);
            m_processo = nullptr;
        }
        if (m_hOut != INVALID_HANDLE_VALUE)
            CloseHandle(m_hOut);
        if (m_hErr != INVALID_HANDLE_VALUE)
            CloseHandle(m_hErr);
        m_hOut = m_hErr = INVALID_HANDLE_VALUE;
#else
        int stato = 0;
        if (m_pid > 0 && waitpid(m_pid, &stato, 0) == m_pid && WIFEXITED(stato))
            m_esito.stato = WEXITSTATUS(stato);
        m_pid = -1;
#endif
        m_esito.out = dettaglio::Contenuto(m_out);
        m_esito.err = dettaglio::Contenuto(m_err);
        return m_esito;
    }

private:
    std::filesystem::path m_out, m_err;
    bool m_finito = false;
    EsitoProcesso m_esito;
#ifdef _WIN32
    HANDLE m_processo = nullptr;
    HANDLE m_hOut = INVALID_HANDLE_VALUE, m_hErr = INVALID_HANDLE_VALUE;
#else
    pid_t m_pid = -1;
#endif
};

} // namespace shell::test
