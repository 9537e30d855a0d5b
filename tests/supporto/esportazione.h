#pragma once
// Exports and folders as the tests make and read them: lines joined as the host writes them, columns
// joined by TAB, the files a run left in a folder.

#include <filesystem>
#include <string>
#include <vector>

namespace shell::test {

// The lines joined as the host writes them: CR LF after each.
std::string Esportazione(const std::vector<std::string>& righe);

// The columns of an export line joined by TAB.
std::string Tabulato(const std::vector<std::string>& colonne);

// The names of the files in the folder but the hidden ones (the converters' lock files), sorted; none
// when the folder is not there.
std::vector<std::string> FileVisibili(const std::filesystem::path& cartella);

} // namespace shell::test
