#pragma once
// What the converters need of the file system, the same on every system. Paths are std::filesystem::path:
// wide characters on Windows, so folders with accented names work everywhere.

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>

namespace shell {

// "C:\KORVANTE\ARC" on Windows, $HOME/KORVANTE/ARC elsewhere; FORNITURA_ARCHIVE overrides both.
std::filesystem::path CartellaArchivioPredefinita();

// The folder of the running program, as the system reports it.
std::filesystem::path CartellaProgramma();

// An ordinary file: it exists, is a regular file, is neither hidden nor a system file (on Windows its
// attributes, elsewhere a name starting with "."), and its name as stored equals the last part of `percorso`
// letter by letter (a file system that ignores case finds "esportazione770.tab" when asked for
// "Esportazione770.tab"; that is not the file asked for).
bool FileOrdinarioEsiste(const std::filesystem::path& percorso);

// Creates the last level of `cartella`; any failure is ignored (it shows when a file is created there).
void CreaCartella(const std::filesystem::path& cartella) noexcept;

// Opens a file for writing in binary mode, creating or emptying it; nullptr on failure.
std::FILE* ApriPerScrittura(const std::filesystem::path& percorso);

// Flushes a file to the disk; false on failure.
bool ScriviSuDisco(std::FILE* file);

// Brings a file that is being written to the disk while the run goes on, so that the flush at the end
// (ScriviSuDisco, always made in full) has little left to wait for. Linux: each Avanza starts what the file
// holds so far on its way (sync_file_range) and wakes a thread of the object's own that waits for the disk
// to hold it (fdatasync, which also empties the disk's own cache of it); calls that come while the thread
// waits are one. Elsewhere nothing: on Windows a flush would hold up the writes made meanwhile.
class ScritturaInDisparte {
public:
    explicit ScritturaInDisparte(std::FILE* file) noexcept;
    // Waits for the thread: call Termina, or destroy the object, before the file is closed.
    ~ScritturaInDisparte();
    ScritturaInDisparte(const ScritturaInDisparte&) = delete;
    ScritturaInDisparte& operator=(const ScritturaInDisparte&) = delete;

    void Avanza() noexcept;
    // Waits for the work started so far and ends the thread. False when any of it failed: the system
    // reports a failed write once, so the flush at the end may no longer see it.
    bool Termina() noexcept;

private:
    struct Stato;
    std::FILE* m_file;
    std::unique_ptr<Stato> m_stato; // the thread and what it is asked, from the first Avanza
    bool m_fallita = false;
};

// Room for `capienza` bytes, not cleared, into which a file is read whole. Of its first `attesi` bytes,
// those that fill whole 2 MiB pages are given to the system as large pages where it has them (Linux:
// aligned, madvise MADV_HUGEPAGE): the first touch of every 4 KiB page is what reading a large export into
// fresh memory costs most, one touch per 2 MiB costs nothing. Neither more nor less memory is used: what
// lies beyond the last whole large page below `attesi` stays in ordinary pages.
struct LiberaStanza {
    void operator()(char* stanza) const noexcept;
};
using Stanza = std::unique_ptr<char[], LiberaStanza>;
Stanza RiservaStanza(std::size_t capienza, std::size_t attesi);

// Puts `origine` under the name `destinazione` in one step: at every moment `destinazione` holds
// either the older file or the new one. An older file is replaced only when it is an ordinary file whose
// stored name is `destinazione`'s exactly: a hidden, system or (on Windows) read-only file, a folder, or a
// name that differs in letter case only stays, and the move fails. False on failure, with both files as
// they were.
bool SostituisciFile(const std::filesystem::path& origine, const std::filesystem::path& destinazione);

enum class EsitoSpostamento {
    Spostato,  // the complete file is now under `destinazione`
    Esistente, // something of that name was already there; nothing was touched
    Fallito    // any other failure; nothing is left under `destinazione`
};

// Puts the complete file `origine` under the new name `destinazione`, only when no entry of that
// name exists, in one step: a file that appears meanwhile is never replaced, and the name never holds
// part of a file. `origine` is gone afterwards (as after a copy and a deletion).
EsitoSpostamento SpostaEsclusivo(const std::filesystem::path& origine, const std::filesystem::path& destinazione);

// An exclusive lock on a file, tried once and never waited for. The file is created when missing
// (hidden: on Windows with the hidden attribute, elsewhere by its name starting with ".") and left in
// place afterwards. The lock is the system's own, held by the open file and released when the object
// is destroyed or the process ends in any way, a kill included: nothing is left behind that blocks the
// next run. POSIX: an open file description lock (fcntl F_OFD_SETLK; F_SETLK where the system lacks it)
// on the whole file; Windows: LockFileEx on its first byte. On a network share both are sent to the
// server, so they hold between the machines that write into the share.
class BloccoEsclusivo {
public:
    enum class Esito {
        Preso,      // this object holds the lock
        Occupato,   // another holder has it (another process, or another object of this one)
        Impossibile // the file could not be created or opened, or the file system refuses locks
    };

    explicit BloccoEsclusivo(const std::filesystem::path& percorso);
    ~BloccoEsclusivo();
    BloccoEsclusivo(const BloccoEsclusivo&) = delete;
    BloccoEsclusivo& operator=(const BloccoEsclusivo&) = delete;

    Esito Stato() const { return m_esito; }

private:
    Esito m_esito = Esito::Impossibile;
#ifdef _WIN32
    void* m_file = nullptr; // HANDLE
#else
    int m_file = -1;
#endif
};

} // namespace shell
