#include "piattaforma.h"

#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
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

bool FileOrdinarioEsiste(const fs::path& percorso) {
    WIN32_FIND_DATAW dati;
    HANDLE h = FindFirstFileW(percorso.c_str(), &dati);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FindClose(h);
    const DWORD esclusi = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    return (dati.dwFileAttributes & esclusi) == 0 && percorso.filename().wstring() == dati.cFileName;
}

std::FILE* ApriPerScrittura(const fs::path& percorso) { return _wfopen(percorso.c_str(), L"wb"); }

bool ScriviSuDisco(std::FILE* file) {
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

bool SostituisciFile(const fs::path& origine, const fs::path& destinazione) {
    return MoveFileExW(origine.c_str(), destinazione.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

#else

fs::path CartellaArchivioPredefinita() {
    if (const char* v = std::getenv("FORNITURA_ARCHIVE"); v && *v)
        return fs::path(v);
    const char* casa = std::getenv("HOME");
    return fs::path(casa && *casa ? casa : ".") / "KORVANTE" / "ARC";
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
