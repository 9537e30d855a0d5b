#include "verifica/confronto.h"

#include "verifica/pagina_html.h"

#include <algorithm>
#include <map>
#include <utility>

namespace verifica {

namespace {

// The kind and the key of a person, with the occurrence of that key in its file.
using Chiave = std::pair<int, std::pair<std::string, int>>;

std::map<Chiave, const Persona*> PerChiave(const FornituraLetta& fornitura) {
    std::map<Chiave, const Persona*> persone;
    std::map<std::pair<int, std::string>, int> occorrenze;
    for (const Persona& p : fornitura.persone) {
        const int n = occorrenze[{p.genere, p.chiave}]++;
        persone.emplace(Chiave{p.genere, {p.chiave, n}}, &p);
    }
    return persone;
}

std::vector<CampoCambiato> CampiDiversi(const SchemaDistinta& schema, const Persona& vecchia, const Persona& nuova) {
    std::vector<CampoCambiato> campi;
    for (std::size_t c = 0; c < schema.colonne.size(); ++c) {
        if (schema.colonne[c].diPosizione || vecchia.valori[c] == nuova.valori[c])
            continue;
        campi.push_back({std::string(schema.colonne[c].nome), vecchia.valori[c], nuova.valori[c]});
    }
    return campi;
}

// "dipendente RSSMRA80A01H501U ROSSI MARIO".
std::string Chi(const SchemaDistinta& schema, const Persona& p) {
    std::string testo(schema.generi[static_cast<std::size_t>(p.genere)].nome);
    for (std::size_t c = 0; c < 3 && c < p.valori.size(); ++c)
        if (!p.valori[c].empty())
            testo += " " + p.valori[c];
    return testo;
}

std::string Quanti(std::size_t n, std::string_view uno, std::string_view molti) {
    return std::to_string(n) + " " + std::string(n == 1 ? uno : molti);
}

std::string Riepilogo(const Differenze& d) {
    if (d.Nessuna())
        return "Le due forniture hanno lo stesso contenuto.";
    return Quanti(d.aggiunte.size(), "persona aggiunta", "persone aggiunte") + ", " +
           Quanti(d.tolte.size(), "tolta", "tolte") + ", " + Quanti(d.cambiate.size(), "cambiata", "cambiate") + "; " +
           Quanti(d.totali.size(), "totale cambiato", "totali cambiati") + ", " +
           Quanti(d.dati.size(), "dato della fornitura cambiato", "dati della fornitura cambiati") + ".";
}

} // namespace

Differenze Confronta(const FornituraLetta& vecchia, const FornituraLetta& nuova) {
    Differenze d;
    // The supply's data, by name.
    std::map<std::string, std::string> datiNuovi(nuova.intestazione.voci.begin(), nuova.intestazione.voci.end());
    std::map<std::string, std::string> datiVecchi(vecchia.intestazione.voci.begin(), vecchia.intestazione.voci.end());
    for (const auto& [nome, valore] : vecchia.intestazione.voci)
        if (const auto n = datiNuovi.find(nome); n == datiNuovi.end() || n->second != valore)
            d.dati.push_back({nome, valore, n == datiNuovi.end() ? "" : n->second});
    for (const auto& [nome, valore] : nuova.intestazione.voci)
        if (!datiVecchi.count(nome))
            d.dati.push_back({nome, "", valore});

    const auto personeVecchie = PerChiave(vecchia);
    const auto personeNuove = PerChiave(nuova);
    for (const auto& [chiave, persona] : personeVecchie) {
        const auto altra = personeNuove.find(chiave);
        if (altra == personeNuove.end()) {
            d.tolte.push_back(persona);
            continue;
        }
        auto campi = CampiDiversi(*vecchia.schema, *persona, *altra->second);
        if (!campi.empty())
            d.cambiate.push_back({persona, altra->second, std::move(campi)});
    }
    for (const auto& [chiave, persona] : personeNuove)
        if (!personeVecchie.count(chiave))
            d.aggiunte.push_back(persona);
    // In the order of the files, not of the keys.
    const auto perRiga = [](const Persona* a, const Persona* b) { return a->indice < b->indice; };
    std::sort(d.tolte.begin(), d.tolte.end(), perRiga);
    std::sort(d.aggiunte.begin(), d.aggiunte.end(), perRiga);
    std::sort(d.cambiate.begin(), d.cambiate.end(),
              [](const PersonaCambiata& a, const PersonaCambiata& b) { return a.nuova->indice < b.nuova->indice; });

    // The totals that the files state, by name and by their place among those of the same name (a file may
    // state one total twice, as a damaged supply with two closing records does); in the order of the files.
    const auto chiavi = [](const FornituraLetta& f) {
        std::vector<std::pair<std::string, int>> chiavi;
        std::map<std::string, int> volte;
        for (const Totale& t : f.totali)
            chiavi.emplace_back(t.nome, volte[t.nome]++);
        return chiavi;
    };
    const auto chiaviVecchie = chiavi(vecchia), chiaviNuove = chiavi(nuova);
    std::map<std::pair<std::string, int>, const Totale*> totaliVecchi, totaliNuovi;
    for (std::size_t i = 0; i < chiaviVecchie.size(); ++i)
        totaliVecchi[chiaviVecchie[i]] = &vecchia.totali[i];
    for (std::size_t i = 0; i < chiaviNuove.size(); ++i)
        totaliNuovi[chiaviNuove[i]] = &nuova.totali[i];
    for (std::size_t i = 0; i < chiaviVecchie.size(); ++i) {
        const Totale& t = vecchia.totali[i];
        const auto n = totaliNuovi.find(chiaviVecchie[i]);
        if (n == totaliNuovi.end() || n->second->dichiarato != t.dichiarato)
            d.totali.push_back({t.nome, t.dichiarato, n == totaliNuovi.end() ? "" : n->second->dichiarato});
    }
    for (std::size_t i = 0; i < chiaviNuove.size(); ++i)
        if (!totaliVecchi.count(chiaviNuove[i]))
            d.totali.push_back({nuova.totali[i].nome, "", nuova.totali[i].dichiarato});
    return d;
}

void ScriviConfronto(const FornituraLetta& vecchia, const FornituraLetta& nuova, const Differenze& d,
                     const std::string& nomeVecchia, const std::string& nomeNuova, std::ostream& out) {
    const SchemaDistinta& schema = *nuova.schema;
    out << "Confronto di " << nomeNuova << " con " << nomeVecchia << " (" << Descrizione(*nuova.formato).nome
        << ")\n";
    if (!d.dati.empty()) {
        out << "Dati della fornitura cambiati:\n";
        for (const auto& c : d.dati)
            out << "  " << c.nome << ": " << c.vecchio << " -> " << c.nuovo << "\n";
    }
    if (!d.aggiunte.empty()) {
        out << "Persone aggiunte (" << d.aggiunte.size() << "):\n";
        for (const Persona* p : d.aggiunte)
            out << "  + " << Chi(schema, *p) << " (riga " << p->riga << ")\n";
    }
    if (!d.tolte.empty()) {
        out << "Persone tolte (" << d.tolte.size() << "):\n";
        for (const Persona* p : d.tolte)
            out << "  - " << Chi(*vecchia.schema, *p) << " (riga " << p->riga << ")\n";
    }
    if (!d.cambiate.empty()) {
        out << "Persone cambiate (" << d.cambiate.size() << "):\n";
        for (const PersonaCambiata& c : d.cambiate) {
            out << "  ~ " << Chi(schema, *c.nuova) << " (riga " << c.vecchia->riga << " -> " << c.nuova->riga << ")\n";
            for (const auto& campo : c.campi)
                out << "      " << campo.nome << ": " << campo.vecchio << " -> " << campo.nuovo << "\n";
        }
    }
    if (!d.totali.empty()) {
        out << "Totali cambiati:\n";
        for (const auto& t : d.totali)
            out << "  " << t.nome << ": " << t.vecchio << " -> " << t.nuovo << "\n";
    }
    out << Riepilogo(d) << "\n";
}

void ScriviConfrontoHtml(const FornituraLetta& vecchia, const FornituraLetta& nuova, const Differenze& d,
                         const std::string& nomeVecchia, const std::string& nomeNuova, std::ostream& out) {
    const SchemaDistinta& schema = *nuova.schema;
    const std::string formato(Descrizione(*nuova.formato).nome);
    ApriPagina(out, "Confronto " + formato + " - " + nomeNuova);
    out << "<h1>Confronto di due forniture " << Html(formato) << "</h1>\n<table class=\"dati\">\n<tr><th>Prima</th><td>"
        << Html(nomeVecchia) << "</td></tr>\n<tr><th>Dopo</th><td>" << Html(nomeNuova) << "</td></tr>\n</table>\n"
        << "<p class=\"esito\">" << Html(Riepilogo(d)) << "</p>\n";
    const auto tabellaCampi = [&](std::string_view titolo, const std::vector<CampoCambiato>& campi) {
        if (campi.empty())
            return;
        out << "<h2>" << Html(titolo) << "</h2>\n<table>\n<thead><tr><th>Campo</th><th>Prima</th><th>Dopo</th></tr>"
            << "</thead>\n<tbody>\n";
        for (const auto& c : campi)
            out << "<tr><td>" << Html(c.nome) << "</td><td class=\"vecchio\">" << Html(c.vecchio) << "</td><td>"
                << Html(c.nuovo) << "</td></tr>\n";
        out << "</tbody>\n</table>\n";
    };
    tabellaCampi("Dati della fornitura cambiati", d.dati);
    const auto tabellaPersone = [&](std::string_view titolo, const std::vector<const Persona*>& persone,
                                    const SchemaDistinta& s) {
        if (persone.empty())
            return;
        out << "<h2>" << Html(titolo) << " (" << persone.size() << ")</h2>\n<table>\n<thead><tr><th>tipo</th>"
            << "<th>codice fiscale</th><th>cognome</th><th>nome</th><th class=\"n\">riga</th></tr></thead>\n<tbody>\n";
        for (const Persona* p : persone) {
            out << "<tr><td>" << Html(s.generi[static_cast<std::size_t>(p->genere)].nome) << "</td>";
            for (std::size_t c = 0; c < 3; ++c)
                out << "<td>" << Html(p->valori[c]) << "</td>";
            out << "<td class=\"n\">" << p->riga << "</td></tr>\n";
        }
        out << "</tbody>\n</table>\n";
    };
    tabellaPersone("Persone aggiunte", d.aggiunte, schema);
    tabellaPersone("Persone tolte", d.tolte, *vecchia.schema);
    if (!d.cambiate.empty()) {
        out << "<h2>Persone cambiate (" << d.cambiate.size() << ")</h2>\n<table>\n<thead><tr><th>Persona</th>"
            << "<th>Campo</th><th>Prima</th><th>Dopo</th></tr></thead>\n";
        for (const PersonaCambiata& c : d.cambiate) {
            out << "<tbody class=\"persona\">";
            for (std::size_t i = 0; i < c.campi.size(); ++i) {
                out << "<tr>";
                if (i == 0)
                    out << "<td rowspan=\"" << c.campi.size() << "\">" << Html(Chi(schema, *c.nuova)) << "</td>";
                out << "<td>" << Html(c.campi[i].nome) << "</td><td class=\"vecchio\">" << Html(c.campi[i].vecchio)
                    << "</td><td>" << Html(c.campi[i].nuovo) << "</td></tr>";
            }
            out << "</tbody>\n";
        }
        out << "</table>\n";
    }
    tabellaCampi("Totali cambiati", d.totali);
    ChiudiPagina(out);
}

} // namespace verifica
