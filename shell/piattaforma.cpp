#include "piattaforma.h"

#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include <string>
#else
#include <unistd.h>
#endif

namespace shell {

namespace fs = std::filesystem;

#ifdef _WIN32

fs::path CartellaArchivioPredefinita() {
    if (const wchar_t* v = _wgetenv(L"FORNITURA_ARCHIVE"); v && *v)
        return fs::path(v);
    return fs::path(L"C:\\KORVANTE\\ARC");
}

fs::path CartellaProgramma() {
    std::wstring nome(MAX_PATH, L'\0');
    while (true) {
        const DWORD n = GetModuleFileNameW(nullptr, nome.data(), static_cast<DWORD>(nome.size()));
        if (n == 0)
            return fs::current_path();
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

std::FILE* ApriPerScrittura(const fs::path& percorso) { return _wfopen(percorso.c_str(), L"wb"); }

bool ScriviSuDisco(std::FILE* file) { return std::fflush(file) == 0 && _commit(_fileno(file)) == 0; }

bool SostituisciFile(const fs::path& origine, const fs::path& destinazione) {
    // MoveFileExW would replace a file whose name differs in case only, or a hidden one; a read-only file
    // Windows keeps, but not every implementation of its calls does.
    const DWORD attributi = GetFileAttributesW(destinazione.c_str());
    if (attributi != INVALID_FILE_ATTRIBUTES &&
        ((attributi & FILE_ATTRIBUTE_READONLY) != 0 || !FileOrdinarioEsiste(destinazione)))
        return false;
    return MoveFileExW(origine.c_str(), destinazione.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

#else

fs::path CartellaArchivioPredefinita() {
    if (const char* v = std::getenv("FORNITURA_ARCHIVE"); v && *v)
        return fs::path(v);
    const char* casa = std::getenv("HOME");
    return fs::path(casa && *casa ? casa : ".") / "KORVANTE" / "ARC";
}

fs::path CartellaProgramma() {
    std::error_code ec;
    const fs::path programma = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path() : programma.parent_path();
}

bool FileOrdinarioEsiste(const fs::path& percorso) {
    std::error_code ec;
    const std::string nome = percorso.filename().string();
    return !nome.empty() && nome.front() != '.' && fs::is_regular_file(percorso, ec);
}

std::FILE* ApriPerScrittura(const fs::path& percorso) { return std::fopen(percorso.c_str(), "wb"); }

bool ScriviSuDisco(std::FILE* file) { return std::fflush(file) == 0 && fsync(fileno(file)) == 0; }

bool SostituisciFile(const fs::path& origine, const fs::path& destinazione) {
    std::error_code ec;
    fs::rename(origine, destinazione, ec);
    return !ec;
}

#endif

void CreaCartella(const fs::path& cartella) noexcept {
    std::error_code ec;
    fs::create_directory(cartella, ec);
}

} // namespace shell
