#include "verifica/distinta.h"

#include "verifica/pagina_html.h"
#include "shell/testo.h"

#include <map>
#include <optional>

namespace verifica {

using lettura::Allineamento;
using lettura::ColonnaDistinta;
using lettura::Descrizione;
using lettura::Esito;
using lettura::GenerePersona;
using lettura::NomeGravita;
using lettura::Persona;
using lettura::Rilievo;
using lettura::SchemaDistinta;
using lettura::Totale;

namespace {

std::string Quanti(long n, std::string_view uno, std::string_view molti) {
    return std::to_string(n) + " " + std::string(n == 1 ? uno : molti);
}

// A number as the listing writes it ("-1.234,56", "12", "01/02/1980" is not one): nothing a spreadsheet runs.
bool Numero(std::string_view testo) {
    if (!testo.empty() && (testo.front() == '-' || testo.front() == '+'))
        testo.remove_prefix(1);
    bool cifre = false;
    for (const char c : testo) {
        if (c >= '0' && c <= '9')
            cifre = true;
        else if (c != '.' && c != ',')
            return false;
    }
    return cifre;
}

const char* Classe(Allineamento allineamento) { return allineamento == Allineamento::Numero ? " class=\"n\"" : ""; }

void TabellaDati(const FornituraLetta& fornitura, const std::string& file, std::ostream& out) {
    out << "<table class=\"dati\">\n";
    const auto voce = [&](std::string_view nome, std::string_view valore) {
        out << "<tr><th>" << Html(nome) << "</th><td>" << Html(valore) << "</td></tr>\n";
    };
    voce("File", file);
    voce("Formato", fornitura.formato ? Descrizione(*fornitura.formato).nome : "non riconosciuto");
    for (const auto& [nome, valore] : fornitura.intestazione.voci)
        voce(nome, valore);
    voce("Record", std::to_string(fornitura.esito.record));
    voce("Persone", std::to_string(fornitura.esito.persone));
    out << "</table>\n";
}

void ListaRilievi(const std::vector<const Rilievo*>& rilievi, std::ostream& out) {
    out << "<ul>";
    for (const Rilievo* r : rilievi)
        out << "<li class=\"" << NomeGravita(r->gravita) << "\">" << Html(TestoRilievo(*r)) << "</li>";
    out << "</ul>";
}

void TabellaTotali(const FornituraLetta& fornitura, std::ostream& out) {
    if (fornitura.totali.empty())
        return;
    out << "<h2>Totali della fornitura</h2>\n<table>\n<thead><tr><th>Totale</th><th class=\"n\">Dichiarato nel "
           "file</th><th class=\"n\">Ricalcolato dai record</th><th>Esito</th></tr></thead>\n<tbody>\n";
    for (const Totale& t : fornitura.totali)
        out << "<tr" << (t.concorda ? "" : " class=\"diverso\"") << "><td>" << Html(t.nome) << "</td><td class=\"n\">"
            << Html(t.dichiarato) << "</td><td class=\"n\">" << Html(t.ricalcolato) << "</td><td>"
            << (t.concorda ? "concorda" : "DIVERSO") << "</td></tr>\n";
    out << "</tbody>\n</table>\n";
}

} // namespace

std::string TestoEsito(const Esito& esito) {
    if (esito.errori == 0)
        return esito.avvisi == 0 ? "Nessun errore: la fornitura pu\xF2 essere inviata"
                                 : "Nessun errore: la fornitura pu\xF2 essere inviata (" +
                                       Quanti(esito.avvisi, "avviso", "avvisi") + ")";
    return Quanti(esito.errori, "errore", "errori") + ", " + Quanti(esito.avvisi, "avviso", "avvisi");
}

std::string TestoRilievo(const Rilievo& rilievo) {
    std::string testo;
    if (rilievo.riga > 0) {
        testo = "riga " + std::to_string(rilievo.riga);
        if (rilievo.colonna > 0)
            testo += ", colonna " + std::to_string(rilievo.colonna);
        testo += ": ";
    }
    return testo + NomeGravita(rilievo.gravita) + ": " + rilievo.messaggio;
}

namespace {

constexpr std::string_view Esadecimali = "0123456789ABCDEF";

// The byte that a cell shows as the code "\x1B" from `i` on: a control character or the backslash; none when
// no such code stands there.
std::optional<char> CodiceInCella(std::string_view testo, std::size_t i) {
    if (testo.size() < i + 4 || testo.compare(i, 2, "\\x") != 0)
        return std::nullopt;
    const auto alto = Esadecimali.find(testo[i + 2]), basso = Esadecimali.find(testo[i + 3]);
    if (alto == std::string_view::npos || basso == std::string_view::npos)
        return std::nullopt;
    const auto u = static_cast<unsigned char>(alto * 16 + basso);
    if (!shell::CarattereDiControllo(u) && u != '\\')
        return std::nullopt;
    return static_cast<char>(u);
}

} // namespace

std::string CellaTsv(std::string_view valore) {
    // Each control character as its code, and a backslash that would read as the start of one as its own.
    std::string cella;
    cella.reserve(valore.size());
    for (std::size_t i = 0; i < valore.size(); ++i) {
        const auto u = static_cast<unsigned char>(valore[i]);
        if (shell::CarattereDiControllo(u) || (valore[i] == '\\' && CodiceInCella(valore, i)))
            cella.append("\\x").append(1, Esadecimali[u >> 4]).append(1, Esadecimali[u & 0xF]);
        else
            cella += valore[i];
    }
    // A text a spreadsheet would run as a formula, or whose first character it would take for that mark.
    if (!cella.empty() && std::string_view("=+-@'").find(cella.front()) != std::string_view::npos && !Numero(cella))
        cella.insert(0, 1, '\'');
    if (cella.find('"') != std::string::npos) {
        std::string citata = "\"";
        for (const char c : cella)
            citata.append(c == '"' ? 2 : 1, c);
        cella = citata + "\"";
    }
    return shell::Utf8DaLatin1(cella);
}

std::string ValoreDaCellaTsv(std::string_view cella) {
    std::string valore = shell::Latin1DaUtf8(cella);
    if (valore.size() >= 2 && valore.front() == '"' && valore.back() == '"') {
        std::string tolta;
        for (std::size_t i = 1; i + 1 < valore.size(); ++i) {
            tolta += valore[i];
            if (valore[i] == '"' && valore[i + 1] == '"')
                ++i;
        }
        valore = tolta;
    }
    if (!valore.empty() && valore.front() == '\'')
        valore.erase(0, 1);
    // The codes back into their characters.
    std::string testo;
    for (std::size_t i = 0; i < valore.size(); ++i) {
        if (const auto codice = CodiceInCella(valore, i)) {
            testo += *codice;
            i += 3;
        } else {
            testo += valore[i];
        }
    }
    return testo;
}

void ScriviDistintaTsv(const FornituraLetta& fornitura, std::ostream& out) {
    out << "tipo";
    if (fornitura.schema)
        for (const ColonnaDistinta& colonna : fornitura.schema->colonne)
            out << '\t' << CellaTsv(colonna.nome);
    out << '\n';
    for (const Persona& persona : fornitura.persone) {
        out << CellaTsv(fornitura.schema->generi[static_cast<std::size_t>(persona.genere)].nome);
        for (const std::string& valore : persona.valori)
            out << '\t' << CellaTsv(valore);
        out << '\n';
    }
}

void ScriviDistintaHtml(const FornituraLetta& fornitura, const std::string& file, std::ostream& out) {
    const std::string formato = fornitura.formato ? std::string(Descrizione(*fornitura.formato).nome) : "";
    ApriPagina(out, "Distinta " + formato + " - " + file);
    out << "<h1>Distinta della fornitura " << Html(formato) << "</h1>\n";
    TabellaDati(fornitura, file, out);
    out << "<p class=\"esito " << (fornitura.esito.errori == 0 ? "ok" : "errore") << "\">"
        << Html(TestoEsito(fornitura.esito)) << "</p>\n";

    // The findings by person; those about the whole supply first.
    std::map<long, std::vector<const Rilievo*>> perPersona;
    for (const Rilievo& r : fornitura.rilievi)
        perPersona[r.persona].push_back(&r);
    if (const auto fornituraIntera = perPersona.find(-1); fornituraIntera != perPersona.end()) {
        out << "<h2>Rilievi sulla fornitura</h2>\n";
        ListaRilievi(fornituraIntera->second, out);
        out << "\n";
    }
    TabellaTotali(fornitura, out);

    if (!fornitura.schema)
        return ChiudiPagina(out);
    const SchemaDistinta& schema = *fornitura.schema;
    for (std::size_t g = 0; g < schema.generi.size(); ++g) {
        const GenerePersona& genere = schema.generi[g];
        long quante = 0;
        for (const Persona& p : fornitura.persone)
            quante += p.genere == static_cast<int>(g);
        if (quante == 0)
            continue;
        out << "<h2>" << Html(genere.titolo) << " (" << quante
            << ")</h2>\n<table class=\"persone\">\n<thead><tr><th class=\"n\">riga</th>";
        for (const int c : genere.colonne)
            out << "<th" << Classe(schema.colonne[static_cast<std::size_t>(c)].allineamento) << ">"
                << Html(schema.colonne[static_cast<std::size_t>(c)].nome) << "</th>";
        out << "</tr></thead>\n";
        for (const Persona& p : fornitura.persone) {
            if (p.genere != static_cast<int>(g))
                continue;
            out << "<tbody class=\"persona\"><tr><td class=\"n\">" << p.riga << "</td>";
            for (const int c : genere.colonne)
                out << "<td" << Classe(schema.colonne[static_cast<std::size_t>(c)].allineamento) << ">"
                    << Html(p.valori[static_cast<std::size_t>(c)]) << "</td>";
            out << "</tr>";
            if (const auto trovati = perPersona.find(p.indice); trovati != perPersona.end()) {
                out << "<tr class=\"rilievi\"><td colspan=\"" << genere.colonne.size() + 1 << "\">";
                ListaRilievi(trovati->second, out);
                out << "</td></tr>";
            }
            out << "</tbody>\n";
        }
        out << "</table>\n";
    }
    ChiudiPagina(out);
}

} // namespace verifica
