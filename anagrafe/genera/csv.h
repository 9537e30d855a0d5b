#pragma once
// The registries' CSV files as genera_luoghi reads them (and the tests that hold the compiled
// registries against the files).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace anagrafe::genera {

// A CSV file: the names of its columns (its first line) and its rows, each with one field per
// column.
struct TabellaCsv {
    std::vector<std::string> colonne;
    std::vector<std::vector<std::string>> righe;

    // The place of the column in every row; std::runtime_error when the file has no such column.
    std::size_t Colonna(std::string_view nome) const;
};

// A CSV text: an optional UTF-8 byte-order mark, fields separated by commas, rows by LF or CR LF
// (the last one may lack it); a field in double quotes may hold commas, line ends and doubled
// quotes (""). std::runtime_error, naming the line, for a quote inside an unquoted field, a text
// after a closing quote, a quote left open, or a row with another number of fields than the first.
TabellaCsv LeggiCsv(std::string_view testo);

// The whole file; std::runtime_error when it cannot be read.
std::string LeggiFile(const std::string& percorso);

// A UTF-8 text in ISO-8859-1, upper case as the supplies write it (a-z and the accented letters
// 0xE0-0xFE, but the sign 0xF7; the sharp s 0xDF and 0xFF have no upper case there). None when a
// character is outside ISO-8859-1; std::runtime_error for a text that is not UTF-8.
std::optional<std::string> Latin1Maiuscolo(std::string_view utf8);

// As Latin1Maiuscolo, but a letter outside ISO-8859-1 loses its accent ("\xC5\xBD", Z with caron,
// is "Z"), and typographic apostrophes and dashes become "'" and "-"; std::runtime_error for
// another character outside ISO-8859-1.
std::string Latin1MaiuscoloSenzaAccenti(std::string_view utf8);

} // namespace anagrafe::genera
