#include "piattaforma.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include <string>
#else
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <sys/mman.h>
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

struct ScritturaInDisparte::Stato {};

ScritturaInDisparte::ScritturaInDisparte(std::FILE* file) noexcept : m_file(file) {}
ScritturaInDisparte::~ScritturaInDisparte() = default;
void ScritturaInDisparte::Avanza() noexcept {}
bool ScritturaInDisparte::Termina() noexcept { return !m_fallita; }

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
        m_file = file;
        m_esito = Esito::Preso;
        return;
    }
    const DWORD errore = GetLastError();
    CloseHandle(file);
    m_esito = errore == ERROR_LOCK_VIOLATION ? Esito::Occupato : Esito::Impossibile;
}

BloccoEsclusivo::~BloccoEsclusivo() {
    if (m_file)
        CloseHandle(static_cast<HANDLE>(m_file)); // the lock goes with the last handle
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

struct ScritturaInDisparte::Stato {
    std::mutex mutex;
    std::condition_variable sveglia;
    bool richiesta = false;
    bool fine = false;
    bool fallita = false;
    std::thread thread;

    void Lavora(int descrittore) {
        std::unique_lock<std::mutex> lock(mutex);
        while (true) {
            sveglia.wait(lock, [this] { return richiesta || fine; });
            if (!richiesta)
                return;
            richiesta = false;
            lock.unlock();
            const bool riuscita = ::fdatasync(descrittore) == 0;
            lock.lock();
            fallita = fallita || !riuscita;
        }
    }
};

ScritturaInDisparte::ScritturaInDisparte(std::FILE* file) noexcept : m_file(file) {}

ScritturaInDisparte::~ScritturaInDisparte() { Termina(); }

void ScritturaInDisparte::Avanza() noexcept {
    // What the stream still holds is handed to the system first; a failure shows in the final flush.
    if (std::fflush(m_file) != 0)
        return;
    const int descrittore = fileno(m_file);
#ifdef SYNC_FILE_RANGE_WRITE
    ::sync_file_range(descrittore, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
    try {
        if (!m_stato) {
            auto stato = std::make_unique<Stato>();
            stato->thread = std::thread([s = stato.get(), descrittore] { s->Lavora(descrittore); });
            m_stato = std::move(stato);
        }
        {
            const std::lock_guard<std::mutex> lock(m_stato->mutex);
            m_stato->richiesta = true;
        }
        m_stato->sveglia.notify_one();
    } catch (...) {
        // No thread (no memory, no threads left): the final flush does all the work, as it can.
    }
}

bool ScritturaInDisparte::Termina() noexcept {
    if (m_stato) {
        {
            const std::lock_guard<std::mutex> lock(m_stato->mutex);
            m_stato->fine = true;
        }
        m_stato->sveglia.notify_one();
        m_stato->thread.join();
        m_fallita = m_fallita || m_stato->fallita;
        m_stato.reset();
    }
    return !m_fallita;
}

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

namespace {

// Opens the lock file, creating it when missing. A new one may be read and written by whoever may write
// into its folder (the folder's rights, not this user's umask), so that the clerks who share an archive
// folder all can take it.
int ApriFileBlocco(const fs::path& percorso) {
    for (int tentativo = 0; tentativo < 3; ++tentativo) {
        int file = ::open(percorso.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (file >= 0) {
            struct stat cartella {};
            const fs::path genitore = percorso.has_parent_path() ? percorso.parent_path() : fs::path(".");
            if (::stat(genitore.c_str(), &cartella) == 0)
                static_cast<void>(::fchmod(file, (cartella.st_mode & 0666) | 0600));
            return file;
        }
        if (errno != EEXIST)
            return -1;
        file = ::open(percorso.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        if (file >= 0 || errno != ENOENT)
            return file;
        // Deleted between the two calls: create it again.
    }
    return -1;
}

} // namespace

BloccoEsclusivo::BloccoEsclusivo(const fs::path& percorso) {
    const int file = ApriFileBlocco(percorso);
    if (file < 0)
        return;
    struct flock zona {};
    zona.l_type = F_WRLCK;
    zona.l_whence = SEEK_SET; // from the first byte to the end, whatever the length
#ifdef F_OFD_SETLK
    // Held by this open file, not by the process: a second object of this process conflicts too, and
    // closing another descriptor of the same file elsewhere in the process does not drop it.
    int esito = ::fcntl(file, F_OFD_SETLK, &zona);
    if (esito != 0 && errno == EINVAL) // a kernel without them
        esito = ::fcntl(file, F_SETLK, &zona);
#else
    const int esito = ::fcntl(file, F_SETLK, &zona);
#endif
    if (esito == 0) {
        m_file = file;
        m_esito = Esito::Preso;
        return;
    }
    const int errore = errno;
    ::close(file);
    m_esito = errore == EAGAIN || errore == EACCES ? Esito::Occupato : Esito::Impossibile;
}

BloccoEsclusivo::~BloccoEsclusivo() {
    if (m_file >= 0)
        ::close(m_file); // the lock goes with the file
}

#endif

void LiberaStanza::operator()(char* stanza) const noexcept { std::free(stanza); }

Stanza RiservaStanza(std::size_t capienza, std::size_t attesi) {
    char* stanza = nullptr;
#if defined(MADV_HUGEPAGE)
    constexpr std::size_t Grande = std::size_t{2} << 20;
    const std::size_t grandi = std::min(attesi, capienza) / Grande * Grande;
    if (grandi > 0) {
        stanza = static_cast<char*>(std::aligned_alloc(Grande, (capienza + Grande - 1) / Grande * Grande));
        if (stanza)
            ::madvise(stanza, grandi, MADV_HUGEPAGE); // a hint: where it is refused, ordinary pages
    }
#else
    (void)attesi;
#endif
    if (!stanza)
        stanza = static_cast<char*>(std::malloc(capienza > 0 ? capienza : 1));
    if (!stanza)
        throw std::bad_alloc();
    return Stanza(stanza);
}

void CreaCartella(const fs::path& cartella) noexcept {
    std::error_code ec;
    fs::create_directory(cartella, ec);
}

} // namespace shell
