#include "piattaforma.h"

#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
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

EsitoSpostamento SpostaEsclusivo(const fs::path& origine, const fs::path& destinazione) {
    // A move within the folder, refused when the name exists: the name appears with the whole file.
    if (MoveFileExW(origine.c_str(), destinazione.c_str(), MOVEFILE_WRITE_THROUGH))
        return EsitoSpostamento::Spostato;
    const DWORD errore = GetLastError();
    if (errore == ERROR_FILE_EXISTS || errore == ERROR_ALREADY_EXISTS)
        return EsitoSpostamento::Esistente;
    return EsitoSpostamento::Fallito;
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

namespace {

bool ScriviTutto(int file, const char* dati, std::size_t quanti) {
    while (quanti > 0) {
        const ssize_t scritti = ::write(file, dati, quanti);
        if (scritti < 0 && errno == EINTR)
            continue;
        if (scritti <= 0)
            return false;
        dati += scritti;
        quanti -= static_cast<std::size_t>(scritti);
    }
    return true;
}

bool CopiaContenuto(int origine, int destinazione) {
    char blocco[65536];
    while (true) {
        const ssize_t letti = ::read(origine, blocco, sizeof blocco);
        if (letti < 0 && errno == EINTR)
            continue;
        if (letti < 0)
            return false;
        if (letti == 0)
            return true;
        if (!ScriviTutto(destinazione, blocco, static_cast<std::size_t>(letti)))
            return false;
    }
}

} // namespace

EsitoSpostamento SpostaEsclusivo(const fs::path& origine, const fs::path& destinazione) {
    struct stat info {};
    if (::stat(origine.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return EsitoSpostamento::Fallito;
    // A second name for the complete file, refused when the name exists: the supply appears whole
    // or not at all, even if the process is killed at any moment.
    if (::link(origine.c_str(), destinazione.c_str()) == 0) {
        ::unlink(origine.c_str());
        return EsitoSpostamento::Spostato;
    }
    if (errno == EEXIST)
        return EsitoSpostamento::Esistente;
#ifdef RENAME_NOREPLACE
    // File systems without hard links: a move that refuses an existing name.
    if (::renameat2(AT_FDCWD, origine.c_str(), AT_FDCWD, destinazione.c_str(), RENAME_NOREPLACE) == 0)
        return EsitoSpostamento::Spostato;
    if (errno == EEXIST)
        return EsitoSpostamento::Esistente;
#endif
    // Last resort: an exclusive copy; only a kill during the copy could leave part of it.
    const int in = ::open(origine.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return EsitoSpostamento::Fallito;
    // O_EXCL: the creation fails when any entry of that name exists, a dangling link included.
    const int out = ::open(destinazione.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (out < 0) {
        const int errore = errno;
        ::close(in);
        return errore == EEXIST ? EsitoSpostamento::Esistente : EsitoSpostamento::Fallito;
    }
    bool riuscita = CopiaContenuto(in, out);
    riuscita = ::fsync(out) == 0 && riuscita;
    riuscita = ::close(out) == 0 && riuscita;
    ::close(in);
    if (!riuscita) {
        // The file is ours (just created): an incomplete copy must not stay under that name.
        ::unlink(destinazione.c_str());
        return EsitoSpostamento::Fallito;
    }
    ::unlink(origine.c_str());
    return EsitoSpostamento::Spostato;
}

#endif

void CreaCartella(const fs::path& cartella) noexcept {
    std::error_code ec;
    fs::create_directory(cartella, ec);
}

} // namespace shell
