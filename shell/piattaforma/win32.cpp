// The platform layer on Windows.

#include "shell/piattaforma.h"

#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <new>
#include <string>
#include <system_error>
#include <windows.h>

#include <shellapi.h>

namespace shell {

namespace fs = std::filesystem;

void PreparaProcesso() noexcept {}

std::vector<std::string> ArgomentiUtf8(int argc, char** argv) {
    int n = 0;
    if (wchar_t** larghi = CommandLineToArgvW(GetCommandLineW(), &n)) {
        std::vector<std::string> argomenti;
        for (int i = 1; i < n; ++i) {
            const int lunghezza = WideCharToMultiByte(CP_UTF8, 0, larghi[i], -1, nullptr, 0, nullptr, nullptr);
            std::string utf8(lunghezza > 0 ? lunghezza - 1 : 0, '\0');
            if (lunghezza > 1)
                WideCharToMultiByte(CP_UTF8, 0, larghi[i], -1, utf8.data(), lunghezza, nullptr, nullptr);
            argomenti.push_back(std::move(utf8));
        }
        LocalFree(larghi);
        return argomenti;
    }
    return std::vector<std::string>(argv + 1, argv + argc);
}

void PreparaTerminale() noexcept {
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

std::tm TempoLocale(std::time_t adesso) {
    std::tm t{};
    localtime_s(&t, &adesso);
    return t;
}

fs::path CartellaArchivioPredefinita() {
    if (const wchar_t* v = _wgetenv(L"FORNITURA_ARCHIVE"); v && *v)
        return fs::path(v);
    return fs::path(L"C:\\KORVANTE\\ARC");
}

fs::path CartellaProgramma() {
    std::wstring nome(MAX_PATH, L'\0');
    while (true) {
        const DWORD n = GetModuleFileNameW(nullptr, nome.data(), static_cast<DWORD>(nome.size()));
        if (n == 0) {
            std::error_code ec;
            fs::path lavoro = fs::current_path(ec);
            return ec ? fs::path() : lavoro;
        }
        if (n < nome.size()) {
            nome.resize(n);
            return fs::path(nome).parent_path();
        }
        nome.resize(nome.size() * 2); // cut short: try a larger buffer
    }
}

bool FileOrdinarioEsiste(const fs::path& percorso) {
    const std::wstring nome = percorso.filename().wstring();
    // FindFirstFileW takes "*" and "?" in the last part as wildcards: no file is named so.
    if (nome.empty() || nome.find_first_of(L"*?") != std::wstring::npos)
        return false;
    WIN32_FIND_DATAW dati;
    HANDLE h = FindFirstFileW(percorso.c_str(), &dati);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FindClose(h);
    constexpr DWORD esclusi =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;
    // The name as stored: FindFirstFileW also matches letters of another case and the short 8.3 name.
    return (dati.dwFileAttributes & esclusi) == 0 && nome == dati.cFileName;
}

bool Nascosto(const fs::path& percorso) {
    const std::wstring nome = percorso.filename().wstring();
    if (!nome.empty() && nome.front() == L'.')
        return true;
    const DWORD attributi = GetFileAttributesW(percorso.c_str());
    return attributi != INVALID_FILE_ATTRIBUTES && (attributi & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

std::FILE* CreaFileNuovo(const fs::path& percorso) {
    if (const DWORD attributi = GetFileAttributesW(percorso.c_str()); attributi != INVALID_FILE_ATTRIBUTES) {
        // A link or a junction is not removed either: whoever put it there meant something by it.
        if ((attributi & FILE_ATTRIBUTE_REPARSE_POINT) != 0 || !DeleteFileW(percorso.c_str()))
            return nullptr; // also a folder, or a read-only file: the run stops
    }
    // Shared for reading and writing as a file opened by the C library is; a name taken meanwhile, a link
    // included, is neither followed nor opened.
    HANDLE file = CreateFileW(percorso.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    const int descrittore = _open_osfhandle(reinterpret_cast<std::intptr_t>(file), _O_WRONLY | _O_BINARY);
    if (descrittore < 0) {
        CloseHandle(file);
        return nullptr;
    }
    std::FILE* aperto = _fdopen(descrittore, "wb");
    if (!aperto)
        _close(descrittore); // closes the handle too
    return aperto;
}

bool ScriviSuDisco(std::FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

// A flush while the run goes on would hold up the writes made meanwhile: the final flush does it all.
struct ScritturaInDisparte::Stato {};

ScritturaInDisparte::ScritturaInDisparte(std::FILE* file) noexcept : m_file(file) {}
ScritturaInDisparte::~ScritturaInDisparte() = default;
void ScritturaInDisparte::Avanza() noexcept {}
bool ScritturaInDisparte::Termina() noexcept { return !m_fallita; }

Stanza RiservaStanza(std::size_t capienza, std::size_t) {
    char* stanza = static_cast<char*>(std::malloc(capienza > 0 ? capienza : 1));
    if (!stanza)
        throw std::bad_alloc();
    return Stanza(stanza);
}

bool SostituisciFile(const fs::path& origine, const fs::path& destinazione) {
    // MoveFileExW would replace a file whose name differs in case only, or a hidden one; a read-only file
    // Windows keeps, but not every implementation of its calls does.
    const DWORD attributi = GetFileAttributesW(destinazione.c_str());
    if (attributi != INVALID_FILE_ATTRIBUTES &&
        ((attributi & FILE_ATTRIBUTE_READONLY) != 0 || !FileOrdinarioEsiste(destinazione)))
        return false;
    return MoveFileExW(origine.c_str(), destinazione.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

EsitoSpostamento SpostaEsclusivo(const fs::path& origine, const fs::path& destinazione) {
    // Only a file: MoveFileExW would move a whole folder as well.
    const DWORD attributi = GetFileAttributesW(origine.c_str());
    if (attributi == INVALID_FILE_ATTRIBUTES || (attributi & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return EsitoSpostamento::Fallito;
    // A move within the folder, refused when the name exists: the name appears with the whole file.
    if (MoveFileExW(origine.c_str(), destinazione.c_str(), MOVEFILE_WRITE_THROUGH))
        return EsitoSpostamento::Spostato;
    const DWORD errore = GetLastError();
    if (errore == ERROR_FILE_EXISTS || errore == ERROR_ALREADY_EXISTS)
        return EsitoSpostamento::Esistente;
    return EsitoSpostamento::Fallito;
}

BloccoEsclusivo::BloccoEsclusivo(const fs::path& percorso) {
    // Without FILE_SHARE_DELETE: the file cannot be deleted or renamed while a run holds it, so a second
    // run never locks a new file of the same name beside it.
    HANDLE file = CreateFileW(percorso.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    OVERLAPPED zona{};
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &zona)) {
        m_file = reinterpret_cast<std::intptr_t>(file);
        m_esito = Esito::Preso;
        return;
    }
    const DWORD errore = GetLastError();
    CloseHandle(file);
    m_esito = errore == ERROR_LOCK_VIOLATION ? Esito::Occupato : Esito::Impossibile;
}

BloccoEsclusivo::~BloccoEsclusivo() {
    if (m_file != -1)
        CloseHandle(reinterpret_cast<HANDLE>(m_file)); // the lock goes with the last handle
}

} // namespace shell
