#pragma once
// What the converters need of the file system, the same on every system. Paths are std::filesystem::path:
// wide characters on Windows, so folders with accented names work everywhere. Each system has its own
// source: piattaforma/posix.cpp, piattaforma/win32.cpp (what they share in piattaforma.cpp).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace shell {

// Made first by every program: a write past the file-size limit fails as a write (POSIX: SIGXFSZ ignored,
// so the system answers EFBIG instead of ending the process), and the run stops through its error path
// with the older files whole. Nothing to do on Windows, whose full disk is a failed write already.
void PreparaProcesso() noexcept;

// The program's arguments after its name, in UTF-8. Windows hands `main` the arguments in the ANSI code
// page, which loses every character outside it: there they are taken again, in wide characters, from the
// command line.
std::vector<std::string> ArgomentiUtf8(int argc, char** argv);

// The terminal of the command line: its texts are UTF-8 and its lines end with LF on every system (on
// Windows the console's code page set to UTF-8 and the streams in binary mode); a reader of the output that
// goes away (`fornitura ... | head -1`) does not end the run (POSIX: SIGPIPE ignored).
void PreparaTerminale() noexcept;

// The local time of `adesso`.
std::tm TempoLocale(std::time_t adesso);

// Whether two paths name the same file: the same path, or one file reached by two spellings, a second
// name or a link. False when either does not exist.
bool StessoFile(const std::filesystem::path& a, const std::filesystem::path& b);

// "C:\KORVANTE\ARC" on Windows, $HOME/KORVANTE/ARC elsewhere; FORNITURA_ARCHIVE overrides both.
std::filesystem::path CartellaArchivioPredefinita();

// The folder of the running program, as the system reports it; the working folder where the system
// does not tell, and an empty path when that is gone too (never an exception).
std::filesystem::path CartellaProgramma();

// An ordinary file: it exists, is a regular file, is neither hidden nor a system file (on Windows its
// attributes, elsewhere a name starting with "."), and its name as stored equals the last part of `percorso`
// letter by letter (a file system that ignores case finds "esportazione770.tab" when asked for
// "Esportazione770.tab"; that is not the file asked for).
bool FileOrdinarioEsiste(const std::filesystem::path& percorso);

// A hidden entry of a folder, which a reading of the folder passes over (the converters' lock files): on Windows
// one with the hidden or system attribute, everywhere one whose name starts with ".".
bool Nascosto(const std::filesystem::path& percorso);

// Creates the last level of `cartella`; any failure is ignored (it shows when a file is created there).
void CreaCartella(const std::filesystem::path& cartella) noexcept;

// Creates a new file for writing in binary mode. What a stopped run may have left under the name is
// removed first, the name itself and never what it points at: a link goes and its target stays, a second
// name of a finished supply goes and the supply keeps its own. Then the file is made new, never opened
// through a link: POSIX open with O_CREAT | O_EXCL | O_NOFOLLOW; Windows CREATE_NEW, and a reparse point
// (a link, a junction) at the name is refused rather than removed. nullptr on failure: a folder under
// the name, a read-only leftover on Windows, a name taken again between the two steps.
std::FILE* CreaFileNuovo(const std::filesystem::path& percorso);

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
// stored name is `destinazione`'s exactly: a hidden, system or read-only file (on Windows its attribute;
// elsewhere a file that gives no one the right to write it, as `chmod a-w` leaves it), a folder, or a
// name that differs in letter case only stays, and the move fails. A link under the name is replaced
// itself, never what it points at. False on failure, with both files as they were.
bool SostituisciFile(const std::filesystem::path& origine, const std::filesystem::path& destinazione);

enum class EsitoSpostamento {
    Spostato,  // the complete file is now under `destinazione`
    Esistente, // something of that name was already there; nothing was touched
    Fallito    // any other failure; nothing is left under `destinazione`
};

// Puts the complete file `origine` under the new name `destinazione`, only when no entry of that
// name exists, in one step: the name never holds part of a file, and `origine` is gone afterwards (as
// after a copy and a deletion). Windows: a move that refuses an existing name. POSIX, in the first way
// the file system has: a rename that refuses an existing name (renameat2 RENAME_NOREPLACE); a second
// name that refuses an existing one (link), then the first name removed; where neither exists (some
// network shares), a rename once the name is found free. The caller holds the converter's lock on the
// folder (EsclusivaCartella): no run of the converter names a file there meanwhile, so a name found free
// stays free for the rename.
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
    std::intptr_t m_file = -1; // the open lock file: a descriptor, or a HANDLE on Windows
};

} // namespace shell
