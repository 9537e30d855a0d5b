#pragma once
// The printable pages of the checker (the listing, the comparison): one self-contained HTML file, UTF-8,
// no external file and no script, laid out for A4 paper, with tables whose heads repeat on every page.

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace verifica {

// A text of the libraries (ISO-8859-1) as HTML text: UTF-8, with & < > " ' escaped and its control
// characters shown as "\x1B" (shell::TestoSuUnaRiga).
std::string Html(std::string_view testo);

// The page's start up to the opening of its body, with `titolo` (ISO-8859-1) as its title.
void ApriPagina(std::ostream& out, std::string_view titolo);
void ChiudiPagina(std::ostream& out);

// Writes the page that `scrivi` makes into the file `percorso` in one step: under a name of its own in the
// same folder first, then, when complete and on the disk, renamed over what `percorso` names (a link there
// is replaced, never written through). A full disk or any other failure stops with
// shell::ErroreElaborazione, the older page whole and the partial one removed.
void ScriviFilePagina(const std::filesystem::path& percorso, const std::function<void(std::ostream&)>& scrivi);

} // namespace verifica
