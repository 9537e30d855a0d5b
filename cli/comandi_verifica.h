#pragma once
// The commands that read supplies: `verifica`, `distinta`, `confronta`.

#include <ostream>
#include <string>
#include <vector>

namespace cli {

// fornitura verifica FILE... [--formato 770|uniemens|dma|emens|tfr]
// One line per finding ("FILE:RIGA:COLONNA: errore: ..."), a summary line per file. Status 0: no file has
// an error; 1: some file has one; 2: wrong command line; 3: a file missing or unreadable.
int EseguiVerifica(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err);

} // namespace cli
