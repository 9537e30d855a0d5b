#include "pagina_html.h"

#include "testo.h"

#include <fstream>

namespace verifica {

namespace {

// Printed on A4 across: the listings are wide. A person's row and its findings stay on one page; the
// heads of the tables repeat on every page they cross.
constexpr std::string_view Stile = R"(@page { size: A4 landscape; margin: 12mm 10mm; }
body { font-family: "DejaVu Sans", "Liberation Sans", Arial, sans-serif; font-size: 8.5pt; color: #000; margin: 0; }
h1 { font-size: 14pt; margin: 0 0 6pt; }
h2 { font-size: 11pt; margin: 14pt 0 4pt; break-after: avoid; page-break-after: avoid; }
table { border-collapse: collapse; width: 100%; }
table.persone { font-size: 6.5pt; }
table.persone th { white-space: normal; }
table.dati { width: auto; }
thead { display: table-header-group; }
th, td { border: 0.5pt solid #999; padding: 1pt 2pt; vertical-align: top; text-align: left; }
th { background: #e6e6e6; }
table.dati th { background: none; border: none; padding-left: 0; font-weight: normal; color: #444; }
table.dati td { border: none; font-weight: bold; }
.n { text-align: right; white-space: nowrap; }
tbody.persona { break-inside: avoid; page-break-inside: avoid; }
tr.rilievi td { font-size: 8pt; border-top: none; }
tr.rilievi ul { margin: 0; padding-left: 12pt; }
.errore { color: #a00000; }
.avviso { color: #7a5000; }
p.esito { font-size: 11pt; font-weight: bold; margin: 6pt 0; }
tr.diverso td { background: #fbe3e3; font-weight: bold; }
td.vecchio { color: #555; text-decoration: line-through; }
)";

} // namespace

std::string Html(std::string_view testo) {
    std::string html;
    html.reserve(testo.size());
    for (const char c : testo) {
        switch (c) {
        case '&':
            html += "&amp;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        case '"':
            html += "&quot;";
            break;
        case '\'':
            html += "&#39;";
            break;
        default:
            html += c;
        }
    }
    return shell::Utf8DaLatin1(html);
}

void ApriPagina(std::ostream& out, std::string_view titolo) {
    out << "<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n<title>" << Html(titolo)
        << "</title>\n<style>\n"
        << Stile << "</style>\n</head>\n<body>\n";
}

void ChiudiPagina(std::ostream& out) { out << "</body>\n</html>\n"; }

bool ScriviFilePagina(const std::filesystem::path& percorso, const std::function<void(std::ostream&)>& scrivi) {
    std::ofstream pagina(percorso, std::ios::binary | std::ios::trunc);
    if (pagina)
        scrivi(pagina);
    pagina.close();
    return !pagina.fail();
}

} // namespace verifica
