// The platform layer on POSIX systems (Linux first).

#include "shell/piattaforma.h"
#include "shell/piattaforma/chiamate_posix.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace shell {

namespace fs = std::filesystem;

namespace posix {

namespace {

int RinominaSenzaSostituire(const char* da, const char* a) {
#ifdef RENAME_NOREPLACE
    return ::renameat2(AT_FDCWD, da, AT_FDCWD, a, RENAME_NOREPLACE);
#else
    static_cast<void>(da);
    static_cast<void>(a);
    errno = ENOSYS;
    return -1;
#endif
}

int Collega(const char* da, const char* a) { return ::link(da, a); }
int Rinomina(const char* da, const char* a) { return ::rename(da, a); }
int Cancella(const char* nome) { return ::unlink(nome); }

} // namespace

ChiamateNomi ChiamateDelSistema() { return {RinominaSenzaSostituire, Collega, Rinomina, Cancella}; }

ChiamateNomi& Chiamate() {
    static ChiamateNomi chiamate = ChiamateDelSistema();
    return chiamate;
}

} // namespace posix

fs::path CartellaArchivioPredefinita() {
    if (const char* v = std::getenv("FORNITURA_ARCHIVE"); v && *v)
        return fs::path(v);
    const char* casa = std::getenv("HOME");
    return fs::path(casa && *casa ? casa : ".") / "KORVANTE" / "ARC";
}

void PreparaProcesso() noexcept { std::signal(SIGXFSZ, SIG_IGN); }

std::vector<std::string> ArgomentiUtf8(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

void PreparaTerminale() noexcept { std::signal(SIGPIPE, SIG_IGN); }

std::tm TempoLocale(std::time_t adesso) {
    std::tm t{};
    localtime_r(&adesso, &t);
    return t;
}

fs::path CartellaProgramma() {
    std::error_code ec;
    const fs::path programma = fs::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return programma.parent_path();
    fs::path lavoro = fs::current_path(ec);
    return ec ? fs::path() : lavoro;
}

bool FileOrdinarioEsiste(const fs::path& percorso) {
    std::error_code ec;
    const std::string nome = percorso.filename().string();
    return !nome.empty() && nome.front() != '.' && fs::is_regular_file(percorso, ec);
}

bool Nascosto(const fs::path& percorso) {
    const std::string nome = percorso.filename().string();
    return !nome.empty() && nome.front() == '.';
}

std::FILE* CreaFileNuovo(const fs::path& percorso) {
    if (posix::Chiamate().cancella(percorso.c_str()) != 0 && errno != ENOENT)
        return nullptr; // a folder, or a name that cannot be removed: the run stops
    const int descrittore = ::open(percorso.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descrittore < 0)
        return nullptr;
    std::FILE* file = ::fdopen(descrittore, "wb");
    if (!file)
        ::close(descrittore);
    return file;
}

bool ScriviSuDisco(std::FILE* file) { return std::fflush(file) == 0 && ::fsync(fileno(file)) == 0; }

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
    static_cast<void>(attesi);
#endif
    if (!stanza)
        stanza = static_cast<char*>(std::malloc(capienza > 0 ? capienza : 1));
    if (!stanza)
        throw std::bad_alloc();
    return Stanza(stanza);
}

bool SostituisciFile(const fs::path& origine, const fs::path& destinazione) {
    // A file that no one may write is read-only, as the attribute makes it on Windows: it stays, whoever
    // runs (the folder's rights alone would let its owner, or root, replace it).
    struct stat vecchio {};
    if (::lstat(destinazione.c_str(), &vecchio) == 0 && S_ISREG(vecchio.st_mode) &&
        (vecchio.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    return posix::Chiamate().rinomina(origine.c_str(), destinazione.c_str()) == 0;
}

EsitoSpostamento SpostaEsclusivo(const fs::path& origine, const fs::path& destinazione) {
    struct stat info {};
    if (::lstat(origine.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return EsitoSpostamento::Fallito;
    const posix::ChiamateNomi& chiamate = posix::Chiamate();
    const char* const da = origine.c_str();
    const char* const a = destinazione.c_str();

    // One step, refused when the name exists.
    if (chiamate.rinominaSenzaSostituire(da, a) == 0)
        return EsitoSpostamento::Spostato;
    if (errno == EEXIST)
        return EsitoSpostamento::Esistente;

    // A second name for the complete file, refused when the name exists, then the first name removed. A
    // kill in between leaves both names on the whole supply; the next run removes the temporary name
    // before it writes (CreaFileNuovo), which leaves the supply as it is.
    if (chiamate.collega(da, a) == 0) {
        if (chiamate.cancella(da) == 0)
            return EsitoSpostamento::Spostato;
        // The temporary name cannot go: the final one is taken back, and the run stops with its supply
        // under the temporary name alone.
        chiamate.cancella(a);
        return EsitoSpostamento::Fallito;
    }
    if (errno == EEXIST)
        return EsitoSpostamento::Esistente;

    // Neither call (some network shares): under the converter's lock a name found free stays free, and
    // the rename puts the whole file there in one step. Never a copy, which a kill could leave half made.
    struct stat occupato {};
    if (::lstat(a, &occupato) == 0)
        return EsitoSpostamento::Esistente;
    if (errno != ENOENT)
        return EsitoSpostamento::Fallito;
    return chiamate.rinomina(da, a) == 0 ? EsitoSpostamento::Spostato : EsitoSpostamento::Fallito;
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
        ::close(static_cast<int>(m_file)); // the lock goes with the file
}

} // namespace shell
