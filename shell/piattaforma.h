#pragma once
// What the converters need of the file system, the same on every system.

#include <cstdio>
#include <filesystem>
#include <string_view>

namespace shell {

// "C:\KORVANTE\ARC" on Windows, $HOME/KORVANTE/ARC elsewhere; FORNITURA_ARCHIVE overrides both.
std::filesystem::path CartellaArchivioPredefinita();

// An ordinary file: it exists, is a regular file, is neither hidden nor a system file, and its name
// as stored equals the last part of `percorso` letter by letter.
bool FileOrdinarioEsiste(const std::filesystem::path& percorso);

// Creates the last level of `cartella`; any failure is ignored (it shows when a file is created there).
void CreaCartella(const std::filesystem::path& cartella) noexcept;

// Opens a file for writing in binary mode, creating or emptying it; nullptr on failure.
std::FILE* ApriPerScrittura(const std::filesystem::path& percorso);

// Flushes a file to the disk; false on failure.
bool ScriviSuDisco(std::FILE* file);

// Puts `origine` under the name `destinazione` in one step: at every moment `destinazione` holds
// either the older file or the new one. False on failure, with both files as they were.
bool SostituisciFile(const std::filesystem::path& origine, const std::filesystem::path& destinazione);

enum class EsitoCopia {
    Copiata,   // `destinazione` is a new, complete copy of `origine`
    Esistente, // something of that name was already there; nothing was touched
    Fallita    // any other failure; no partial copy is left under `destinazione`
};

// Copies `origine` into a new file `destinazione`, created only when no entry of that name exists
// (one step: a file that appears meanwhile is never replaced).
EsitoCopia CopiaEsclusiva(const std::filesystem::path& origine, const std::filesystem::path& destinazione);

} // namespace shell
