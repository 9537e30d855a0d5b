#pragma once
// The listing of a supply, a row per person: a TSV for a spreadsheet, or a printable HTML page with the
// supply's data, the verdict, the totals stated beside those recomputed, and a table per kind of person
// whose rows carry the findings about that person.

#include "verifica/fornitura_letta.h"

#include <ostream>
#include <string>

namespace verifica {

// The verdict in words: "Nessun errore: la fornitura pu\xF2 essere inviata", or "N errori, M avvisi".
std::string TestoEsito(const lettura::Esito& esito);

// Header "tipo", "codice fiscale", "cognome", "nome" and the format's columns; one row per person. UTF-8,
// TAB between columns, LF after each row; each value as CellaTsv writes it.
void ScriviDistintaTsv(const FornituraLetta& fornitura, std::ostream& out);

// A value (ISO-8859-1) as a cell of the listing's TSV, which a spreadsheet reads as the text it is: its
// control characters, TAB and line ends included, shown as "\x09", and a backslash that would read as such a
// code ("\x09" written in the value, or "\x5C") as "\x5C"; a "'" before a value that begins with "=", "+",
// "-", "@" or "'" and is not a plain number, which a spreadsheet would run as a formula; in double quotes,
// each doubled, a value that holds a double quote. UTF-8.
std::string CellaTsv(std::string_view valore);
// The value of a cell written by CellaTsv (ISO-8859-1): every value back as it was, a TAB and the text
// "\x09" apart.
std::string ValoreDaCellaTsv(std::string_view cella);

// `file`: the file's name and date as the page's header shows them (NomeEDataDelFile).
void ScriviDistintaHtml(const FornituraLetta& fornitura, const std::string& file, std::ostream& out);

// A finding as a line of text: "riga 12, posizione 30: errore: ...", without the file.
std::string TestoRilievo(const lettura::Rilievo& rilievo);

} // namespace verifica
