#pragma once
// The listing of a supply, a row per person: a TSV for a spreadsheet, or a printable HTML page with the
// supply's data, the verdict, the totals stated beside those recomputed, and a table per kind of person
// whose rows carry the findings about that person.

#include "verifica/fornitura_letta.h"

#include <ostream>
#include <string>

namespace verifica {

// The verdict in words: "Nessun errore: la fornitura pu\xF2 essere inviata", or "N errori, M avvisi".
std::string TestoEsito(const Esito& esito);

// Header "tipo", "codice fiscale", "cognome", "nome" and the format's columns; one row per person. UTF-8,
// TAB between columns, LF after each row; a TAB or line end inside a value becomes a blank.
void ScriviDistintaTsv(const FornituraLetta& fornitura, std::ostream& out);

// `file`: the file's name and date as the page's header shows them (NomeEDataDelFile).
void ScriviDistintaHtml(const FornituraLetta& fornitura, const std::string& file, std::ostream& out);

// A finding as a line of text: "riga 12, posizione 30: errore: ...", without the file.
std::string TestoRilievo(const Rilievo& rilievo);

} // namespace verifica
