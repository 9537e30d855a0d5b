#include "verifica/confronto.h"

#include "shell/testo.h"
#include "verifica/pagina_html.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <tuple>
#include <utility>

namespace verifica {

namespace {

// The kind and the key of a person, with the occurrence of that key in its file.
struct Chiave {
    int genere;
    std::string_view chiave;
    int volta;
    const Persona* persona;
    auto Ordine() const { return std::tie(genere, chiave, volta); }
};

// The persons of a supply in the order of their keys, a key's occurrences in the order of the file.
std::vector<Chiave> PerChiave(const FornituraLetta& fornitura) {
    std::vector<Chiave> persone;
    persone.reserve(fornitura.persone.size());
    for (const Persona& p : fornitura.persone)
        persone.push_back({p.genere, p.chiave, 0, &p});
    std::stable_sort(persone.begin(), persone.end(), [](const Chiave& a, const Chiave& b) {
        return std::tie(a.genere, a.chiave) < std::tie(b.genere, b.chiave);
    });
    for (std::size_t i = 1; i < persone.size(); ++i)
        if (persone[i].genere == persone[i - 1].genere && persone[i].chiave == persone[i - 1].chiave)
            persone[i].volta = persone[i - 1].volta + 1;
    return persone;
}

// A value as the comparison shows it: without the blanks around it, unless only those differ.
std::pair<std::string, std::string> Valori(std::string_view vecchio, std::string_view nuovo) {
    const auto pulito = [](std::string_view v) {
        const auto inizio = v.find_first_not_of(' ');
        return inizio == std::string_view::npos ? std::string_view()
                                                : v.substr(inizio, v.find_last_not_of(' ') - inizio + 1);
    };
    if (pulito(vecchio) != pulito(nuovo))
        return {std::string(pulito(vecchio)), std::string(pulito(nuovo))};
    const auto citato = [](std::string_view v) { return std::string("'").append(v).append("'"); };
    return {citato(vecchio), citato(nuovo)};
}

// The fields that differ, by their names: changed, missing in one of the two, in the order of the old
// supply's, then the new one's own.
std::vector<CampoCambiato> CampiDiversi(const std::vector<CampoFornitura>& vecchi,
                                        const std::vector<CampoFornitura>& nuovi) {
    std::map<std::string_view, const CampoFornitura*> perNome;
    for (const CampoFornitura& c : nuovi)
        perNome.emplace(c.nome, &c);
    std::vector<CampoCambiato> diversi;
    std::set<std::string_view> visti;
    for (const CampoFornitura& c : vecchi) {
        visti.insert(c.nome);
        const auto n = perNome.find(c.nome);
        if (n == perNome.end()) {
            diversi.push_back({c.nome, Valori(c.valore, "").first, "(assente)", c.creazione});
        } else if (n->second->valore != c.valore) {
            auto [vecchio, nuovo] = Valori(c.valore, n->second->valore);
            diversi.push_back({c.nome, std::move(vecchio), std::move(nuovo), c.creazione});
        }
    }
    for (const CampoFornitura& c : nuovi)
        if (!visti.count(c.nome))
            diversi.push_back({c.nome, "(assente)", Valori("", c.valore).second, c.creazione});
    return diversi;
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

// The persons of a supply that the comparison shows, and the changed ones whose fields it shows; read again
// from the file, once, where the supply holds neither.
class Mostrate {
public:
    explicit Mostrate(const FornituraLetta& fornitura) : m_fornitura(fornitura) {}
    void Mostra(const Persona& p) {
        if (!m_fornitura.valori)
            m_mostrate.insert(p.indice);
    }
    void Cambiata(const Persona& p, bool perCampi) {
        Mostra(p);
        if (perCampi)
            m_cambiate.insert(p.indice);
    }
    void Rileggi() { m_rilette = RileggiPersone(m_fornitura, m_cambiate, m_mostrate); }
    // The person with its listing values.
    Persona Di(const Persona& p) const { return m_fornitura.valori ? p : m_rilette.persone.at(p.indice); }
    const std::vector<CampoFornitura>& Campi(const Persona& p) const {
        static const std::vector<CampoFornitura> nessuno;
        const auto c = m_rilette.campi.find(p.indice);
        return c == m_rilette.campi.end() ? nessuno : c->second;
    }

private:
    const FornituraLetta& m_fornitura;
    std::set<long> m_mostrate, m_cambiate;
    PersoneRilette m_rilette;
};

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

    // The fields of the supplies' own records.
    for (CampoCambiato& c : CampiDiversi(vecchia.campi, nuova.campi))
        d.dati.push_back(std::move(c));

    const auto personeVecchie = PerChiave(vecchia);
    const auto personeNuove = PerChiave(nuova);
    // Read from their files, the persons are compared by their fields: by their fingerprints first, then
    // field by field those whose fingerprints differ.
    const bool perCampi = vecchia.percorso && nuova.percorso && vecchia.esito.campi && nuova.esito.campi;
    std::vector<const Persona*> tolte, aggiunte;
    std::vector<std::pair<const Persona*, const Persona*>> cambiate;
    Mostrate mostrateVecchie(vecchia), mostrateNuove(nuova);
    // Both in the order of the keys: one walk pairs them.
    auto v = personeVecchie.begin();
    auto n = personeNuove.begin();
    while (v != personeVecchie.end() || n != personeNuove.end()) {
        if (n == personeNuove.end() || (v != personeVecchie.end() && v->Ordine() < n->Ordine())) {
            mostrateVecchie.Mostra(*v->persona);
            tolte.push_back((v++)->persona);
            continue;
        }
        if (v == personeVecchie.end() || n->Ordine() < v->Ordine()) {
            mostrateNuove.Mostra(*n->persona);
            aggiunte.push_back((n++)->persona);
            continue;
        }
        const Persona* persona = (v++)->persona;
        const Persona* altra = (n++)->persona;
        if (perCampi ? !(persona->impronta == altra->impronta)
                     : !CampiDiversi(*vecchia.schema, *persona, *altra).empty()) {
            mostrateVecchie.Cambiata(*persona, perCampi);
            mostrateNuove.Cambiata(*altra, perCampi);
            cambiate.emplace_back(persona, altra);
        }
    }
    mostrateVecchie.Rileggi();
    mostrateNuove.Rileggi();
    // In the order of the files, not of the keys.
    const auto perRiga = [](const Persona* a, const Persona* b) { return a->indice < b->indice; };
    std::sort(tolte.begin(), tolte.end(), perRiga);
    std::sort(aggiunte.begin(), aggiunte.end(), perRiga);
    std::sort(cambiate.begin(), cambiate.end(),
              [&](const auto& a, const auto& b) { return perRiga(a.second, b.second); });
    for (const Persona* p : tolte)
        d.tolte.push_back(mostrateVecchie.Di(*p));
    for (const Persona* p : aggiunte)
        d.aggiunte.push_back(mostrateNuove.Di(*p));
    for (const auto& [persona, altra] : cambiate) {
        PersonaCambiata c{mostrateVecchie.Di(*persona), mostrateNuove.Di(*altra), {}};
        if (perCampi) {
            c.campi = CampiDiversi(mostrateVecchie.Campi(*persona), mostrateNuove.Campi(*altra));
            if (c.campi.empty()) // the same fields, in another order or with other blanks between them
                c.campi.push_back({"ordine o spazi dei campi", "", "diversi"});
        } else {
            c.campi = CampiDiversi(*vecchia.schema, *persona, *altra);
        }
        d.cambiate.push_back(std::move(c));
    }

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
    // A field of the supply's own records that holds a total changed is told once, among the totals.
    const auto totale = [&](const CampoCambiato& campo) {
        return std::any_of(d.totali.begin(), d.totali.end(), [&](const CampoCambiato& t) {
            return t.nome.size() >= campo.nome.size() &&
                   std::equal(campo.nome.begin(), campo.nome.end(), t.nome.begin(), [](char a, char b) {
                       return std::tolower(static_cast<unsigned char>(a)) ==
                              std::tolower(static_cast<unsigned char>(b));
                   });
        });
    };
    d.dati.erase(std::remove_if(d.dati.begin(), d.dati.end(), totale), d.dati.end());
    return d;
}

void ScriviConfronto(const FornituraLetta& vecchia, const FornituraLetta& nuova, const Differenze& d,
                     const std::string& nomeVecchia, const std::string& nomeNuova, std::ostream& out) {
    const SchemaDistinta& schema = *nuova.schema;
    const auto U = [](std::string_view testo) { return shell::TestoSuUnaRiga(testo); };
    out << "Confronto di " << U(nomeNuova) << " con " << U(nomeVecchia) << " (" << Descrizione(*nuova.formato).nome
        << ")\n";
    if (!d.dati.empty()) {
        out << "Dati della fornitura cambiati:\n";
        for (const auto& c : d.dati)
            out << "  " << U(c.nome) << (c.creazione ? " (data della fornitura)" : "") << ": " << U(c.vecchio) << " -> "
                << U(c.nuovo) << "\n";
    }
    if (!d.aggiunte.empty()) {
        out << "Persone aggiunte (" << d.aggiunte.size() << "):\n";
        for (const Persona& p : d.aggiunte)
            out << "  + " << U(Chi(schema, p)) << " (riga " << p.riga << ")\n";
    }
    if (!d.tolte.empty()) {
        out << "Persone tolte (" << d.tolte.size() << "):\n";
        for (const Persona& p : d.tolte)
            out << "  - " << U(Chi(*vecchia.schema, p)) << " (riga " << p.riga << ")\n";
    }
    if (!d.cambiate.empty()) {
        out << "Persone cambiate (" << d.cambiate.size() << "):\n";
        for (const PersonaCambiata& c : d.cambiate) {
            out << "  ~ " << U(Chi(schema, c.nuova)) << " (riga " << c.vecchia.riga << " -> " << c.nuova.riga << ")\n";
            for (const auto& campo : c.campi)
                out << "      " << U(campo.nome) << ": " << U(campo.vecchio) << " -> " << U(campo.nuovo) << "\n";
        }
    }
    if (!d.totali.empty()) {
        out << "Totali cambiati:\n";
        for (const auto& t : d.totali)
            out << "  " << U(t.nome) << ": " << U(t.vecchio) << " -> " << U(t.nuovo) << "\n";
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
    const auto tabellaPersone = [&](std::string_view titolo, const std::vector<Persona>& persone,
                                    const SchemaDistinta& s) {
        if (persone.empty())
            return;
        out << "<h2>" << Html(titolo) << " (" << persone.size() << ")</h2>\n<table>\n<thead><tr><th>tipo</th>"
            << "<th>codice fiscale</th><th>cognome</th><th>nome</th><th class=\"n\">riga</th></tr></thead>\n<tbody>\n";
        for (const Persona& p : persone) {
            out << "<tr><td>" << Html(s.generi[static_cast<std::size_t>(p.genere)].nome) << "</td>";
            for (std::size_t c = 0; c < 3; ++c)
                out << "<td>" << Html(p.valori[c]) << "</td>";
            out << "<td class=\"n\">" << p.riga << "</td></tr>\n";
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
                    out << "<td rowspan=\"" << c.campi.size() << "\">" << Html(Chi(schema, c.nuova)) << "</td>";
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
