#pragma once
// The commands that read supplies: `verifica`, `distinta`, `confronta`.

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// fornitura verifica FILE... [--formato 770|uniemens|dma|emens|tfr]
// One line per finding ("FILE:RIGA:COLONNA: errore: ..."; of a rule the first hundred, then one line for the
// others), a summary line per file. Status 0: no file has an error; 1: some file has one, or the output cannot
// be written; 2: wrong command line; 3: a file missing or unreadable.
int EseguiVerifica(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err);

// fornitura distinta FILE [--html OUT] [--formato ...]
// The listing as a TSV on standard output, or as a page written to OUT. Status 0: listed; 1: no supply
// recognised in the file (nor by the format forced), or the TSV or OUT cannot be written; 2: wrong command
// line; 3: the file missing.
// `fornitura archivio CARTELLA... [--html PAGINA]`: the supplies of an archive, a row each (TSV), or as a page of
// employers by month; status 1 when a supply has an error, its own or the set's.
int EseguiArchivio(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err);
int EseguiDistinta(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err);

// fornitura confronta VECCHIA NUOVA [--html OUT] [--formato ...]
// What changed, person by person. Status 0: the same content; 1: different, or the output cannot be written;
// 2: wrong command line or two different formats; 3: a file missing, or no supply.
int EseguiConfronta(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err);

} // namespace cli
