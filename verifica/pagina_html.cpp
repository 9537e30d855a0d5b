#include "verifica/pagina_html.h"

#include "shell/testo.h"

#include "shell/errore.h"
#include "shell/uscita.h"

#include <cstdio>
#include <random>
#include <streambuf>
#include <system_error>

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
    for (const char c : shell::TestoSuUnaRiga(testo)) {
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

namespace {

// The page's bytes handed to the output file as they are made.
class FlussoVersoFile : public std::streambuf {
public:
    explicit FlussoVersoFile(shell::FileUscita& file) : m_file(file) {}

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            const char carattere = traits_type::to_char_type(c);
            m_file.Scrivi(std::string_view(&carattere, 1));
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* testo, std::streamsize n) override {
        m_file.Scrivi(std::string_view(testo, static_cast<std::size_t>(n)));
        return n;
    }

private:
    shell::FileUscita& m_file;
};

} // namespace

void ScriviFilePagina(const std::filesystem::path& percorso, const std::function<void(std::ostream&)>& scrivi) {
    // A name of its own in the page's folder, which no other writer of the same page takes.
    char caso[16];
    std::snprintf(caso, sizeof caso, "%08x", static_cast<unsigned>(std::random_device{}()));
    std::string nome(1, '~');
    nome.append(shell::TestoPercorso(percorso.filename())).append(".").append(caso).append(".tmp");
    const std::filesystem::path temporaneo = percorso.parent_path() / shell::PercorsoDaTesto(nome);
    try {
        shell::FileUscita file(temporaneo);
        FlussoVersoFile flusso(file);
        std::ostream pagina(&flusso);
        pagina.exceptions(std::ios::badbit);
        scrivi(pagina);
        file.Chiudi();
        shell::DaiNomeFinale(temporaneo, percorso);
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove(temporaneo, ec);
        throw;
    }
}

} // namespace verifica
