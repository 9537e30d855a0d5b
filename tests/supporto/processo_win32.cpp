// Running a program on Windows: CreateProcessW with the command line that the C runtime splits back into
// the same arguments, its streams in inheritable file handles; the exit code once it has ended.

#include "tests/supporto/processo.h"

#include "tests/supporto/cartella_temporanea.h"

#include <windows.h>

namespace shell::test {

namespace {

// One argument as CommandLineToArgvW and the C runtime split it again: in double quotes, with the
// backslashes before a double quote doubled.
void AggiungiArgomento(std::wstring& riga, const std::wstring& argomento) {
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

// The command line of the program and its arguments (UTF-8), each quoted; it begins with a space.
std::wstring RigaDiComando(const std::filesystem::path& programma, const std::vector<std::string>& argomenti) {
    std::wstring riga;
    AggiungiArgomento(riga, programma.wstring());
    for (const auto& a : argomenti)
        AggiungiArgomento(riga, std::filesystem::path(std::u8string(a.begin(), a.end())).wstring());
    return riga;
}

HANDLE FileEreditabile(const std::filesystem::path& percorso) {
    SECURITY_ATTRIBUTES sicurezza{sizeof sicurezza, nullptr, TRUE};
    return CreateFileW(percorso.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sicurezza, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

STARTUPINFOW Avvio(HANDLE hOut, HANDLE hErr) {
    STARTUPINFOW avvio{};
    avvio.cb = sizeof avvio;
    avvio.dwFlags = STARTF_USESTDHANDLES;
    avvio.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    avvio.hStdOutput = hOut;
    avvio.hStdError = hErr;
    return avvio;
}

} // namespace

EsitoProcesso EseguiProcesso(const std::filesystem::path& programma, const std::vector<std::string>& argomenti,
                             const std::filesystem::path& out, const std::filesystem::path& err) {
    EsitoProcesso esito;
    std::wstring riga = RigaDiComando(programma, argomenti);
    HANDLE hOut = FileEreditabile(out);
    HANDLE hErr = FileEreditabile(err);
    STARTUPINFOW avvio = Avvio(hOut, hErr);
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
    esito.out = LeggiFile(out);
    esito.err = LeggiFile(err);
    if (!avviato)
        esito.err += "\n(start failed: " +
                     (hOut == INVALID_HANDLE_VALUE || hErr == INVALID_HANDLE_VALUE
                          ? std::string("output files not opened")
                          : "CreateProcessW error " + std::to_string(erroreAvvio)) +
                     ")";
    return esito;
}

struct ProcessoAvviato::Sistema {
    HANDLE processo = nullptr;
    HANDLE hOut = INVALID_HANDLE_VALUE, hErr = INVALID_HANDLE_VALUE;
};

ProcessoAvviato::ProcessoAvviato(const std::filesystem::path& programma, const std::vector<std::string>& argomenti,
                                 std::filesystem::path out, std::filesystem::path err)
    : m_sistema(std::make_unique<Sistema>()), m_out(std::move(out)), m_err(std::move(err)) {
    std::wstring riga = RigaDiComando(programma, argomenti);
    m_sistema->hOut = FileEreditabile(m_out);
    m_sistema->hErr = FileEreditabile(m_err);
    STARTUPINFOW avvio = Avvio(m_sistema->hOut, m_sistema->hErr);
    PROCESS_INFORMATION processo{};
    if (m_sistema->hOut != INVALID_HANDLE_VALUE && m_sistema->hErr != INVALID_HANDLE_VALUE &&
        CreateProcessW(programma.c_str(), riga.data() + 1, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &avvio,
                       &processo)) {
        CloseHandle(processo.hThread);
        m_sistema->processo = processo.hProcess;
    }
}

ProcessoAvviato::~ProcessoAvviato() {
    if (!m_finito) {
        Uccidi();
        Attendi();
    }
}

void ProcessoAvviato::Uccidi() {
    if (m_sistema->processo)
        TerminateProcess(m_sistema->processo, 137);
}

EsitoProcesso ProcessoAvviato::Attendi() {
    if (m_finito)
        return m_esito;
    m_finito = true;
    if (m_sistema->processo) {
        WaitForSingleObject(m_sistema->processo, INFINITE);
        DWORD stato = 0;
        if (GetExitCodeProcess(m_sistema->processo, &stato) && stato != 137)
            m_esito.stato = static_cast<int>(stato);
        CloseHandle(m_sistema->processo);
        m_sistema->processo = nullptr;
    }
    if (m_sistema->hOut != INVALID_HANDLE_VALUE)
        CloseHandle(m_sistema->hOut);
    if (m_sistema->hErr != INVALID_HANDLE_VALUE)
        CloseHandle(m_sistema->hErr);
    m_sistema->hOut = m_sistema->hErr = INVALID_HANDLE_VALUE;
    m_esito.out = LeggiFile(m_out);
    m_esito.err = LeggiFile(m_err);
    return m_esito;
}

} // namespace shell::test
