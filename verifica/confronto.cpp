#include "verifica/confronto.h"

#include "shell/testo.h"
#include "verifica/pagina_html.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <tuple>
#include <utility>

namespace verifica {

using lettura::CampoFornitura;
using lettura::Descrizione;
using lettura::Persona;
using lettura::SchemaDistinta;
using lettura::Totale;

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

// The characters a reader does not see: the blank, the no-break space, the soft hyphen, the control characters.
bool Invisibile(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u == ' ' || u == 0xA0 || u == 0xAD || shell::CarattereDiControllo(u);
}

// A value with its no-break spaces and soft hyphens shown as their codes ("\xA0"), as every output shows the
// control characters.
std::string Visibile(std::string_view valore) {
    std::string testo;
    for (const char c : valore) {
        const auto u = static_cast<unsigned char>(c);
        if (u == 0xA0 || u == 0xAD) {
            char codice[8];
            std::snprintf(codice, sizeof codice, "\\x%02X", u);
            testo += codice;
        } else {
            testo += c;
        }
    }
    return testo;
}

// A text between quotes, its invisible characters shown, cut past 100 characters.
std::string Citato(std::string_view testo) {
    constexpr std::size_t Massimo = 100;
    std::string citato(1, '\'');
    citato.append(Visibile(testo.substr(0, Massimo))).append(testo.size() > Massimo ? "'..." : "'");
    return citato;
}

// A value as the comparison shows it: without the blanks around it, unless the two differ only in characters
// that cannot be seen; then both between quotes, so that the difference shows.
std::pair<std::string, std::string> Valori(std::string_view vecchio, std::string_view nuovo) {
    const auto pulito = [](std::string_view v) {
        const auto inizio = v.find_first_not_of(' ');
        return inizio == std::string_view::npos ? std::string_view()
                                                : v.substr(inizio, v.find_last_not_of(' ') - inizio + 1);
    };
    const auto visti = [](std::string_view v) {
        std::string testo;
        for (const char c : v)
            if (!Invisibile(c))
                testo += c;
        return testo;
    };
    if (visti(vecchio) != visti(nuovo))
        return {Visibile(pulito(vecchio)), Visibile(pulito(nuovo))};
    const auto citato = [](std::string_view v) {
        std::string testo(1, '\'');
        return testo.append(Visibile(v)).append(1, '\'');
    };
    return {citato(vecchio), citato(nuovo)};
}

// The fields of two lists paired by their names, the n-th of a name in one with the n-th of that name in the
// other (a record may hold a name more than once): in the order of the old list, a field without its pair
// beside none, then the new list's own.
template <typename Voce>
std::vector<std::pair<const Voce*, const Voce*>>
Appaiati(const std::vector<Voce>& vecchi, const std::vector<Voce>& nuovi, std::string_view (*nome)(const Voce&)) {
    std::map<std::string_view, std::vector<const Voce*>> perNome;
    for (const Voce& c : nuovi)
        perNome[nome(c)].push_back(&c);
    std::map<std::string_view, std::size_t> presi;
    std::vector<std::pair<const Voce*, const Voce*>> coppie;
    for (const Voce& c : vecchi) {
        const std::size_t n = presi[nome(c)]++;
        const auto stessi = perNome.find(nome(c));
        coppie.emplace_back(&c, stessi != perNome.end() && n < stessi->second.size() ? stessi->second[n] : nullptr);
    }
    for (const auto& [nome, stessi] : perNome)
        for (std::size_t n = presi[nome]; n < stessi.size(); ++n)
            coppie.emplace_back(nullptr, stessi[n]);
    std::stable_sort(coppie.begin() + static_cast<std::ptrdiff_t>(vecchi.size()), coppie.end(),
                     [](const auto& a, const auto& b) { return a.second < b.second; });
    return coppie;
}

std::string_view NomeDelCampo(const CampoFornitura& campo) { return campo.nome; }
std::string_view NomeDellaVoce(const std::pair<std::string, std::string>& voce) { return voce.first; }

// The fields that differ, by their names: changed, missing in one of the two, in the order of the old
// supply's, then the new one's own.
std::vector<CampoCambiato> CampiDiversi(const std::vector<CampoFornitura>& vecchi,
                                        const std::vector<CampoFornitura>& nuovi) {
    std::vector<CampoCambiato> diversi;
    for (const auto& [v, n] : Appaiati(vecchi, nuovi, NomeDelCampo)) {
        if (!n) {
            diversi.push_back({v->nome, Valori(v->valore, "").first, "(assente)", v->creazione});
        } else if (!v) {
            diversi.push_back({n->nome, "(assente)", Valori("", n->valore).second, n->creazione});
        } else if (n->valore != v->valore) {
            auto [vecchio, nuovo] = Valori(v->valore, n->valore);
            diversi.push_back({v->nome, std::move(vecchio), std::move(nuovo), v->creazione});
        }
    }
    return diversi;
}

// The first place where two lists of the same fields differ, in their order.
std::vector<CampoCambiato> OrdineDeiCampi(const std::vector<CampoFornitura>& vecchi,
                                          const std::vector<CampoFornitura>& nuovi) {
    for (std::size_t i = 0; i < std::max(vecchi.size(), nuovi.size()); ++i)
        if (i >= vecchi.size() || i >= nuovi.size() || vecchi[i].nome != nuovi[i].nome ||
            vecchi[i].valore != nuovi[i].valore)
            return {{"ordine dei campi, al posto " + std::to_string(i + 1),
                     i < vecchi.size() ? vecchi[i].nome : "(nessuno)", i < nuovi.size() ? nuovi[i].nome : "(nessuno)"}};
    return {};
}

// The records that differ, as the files hold them, by their names: of each, the bytes from the first that
// differs to the last, with their positions.
std::vector<CampoCambiato> ByteDiversi(const std::vector<CampoFornitura>& vecchi,
                                       const std::vector<CampoFornitura>& nuovi) {
    std::vector<CampoCambiato> diversi;
    for (const auto& [v, n] : Appaiati(vecchi, nuovi, NomeDelCampo)) {
        if (!n) {
            diversi.push_back({v->nome, Citato(v->valore), "(assente)"});
            continue;
        }
        if (!v) {
            diversi.push_back({n->nome, "(assente)", Citato(n->valore)});
            continue;
        }
        const std::string_view a = v->valore, b = n->valore;
        if (a == b)
            continue;
        std::size_t inizio = 0, fine = 0;
        while (inizio < a.size() && inizio < b.size() && a[inizio] == b[inizio])
            ++inizio;
        while (fine < a.size() - inizio && fine < b.size() - inizio && a[a.size() - 1 - fine] == b[b.size() - 1 - fine])
            ++fine;
        const std::string_view primo = a.substr(inizio, a.size() - inizio - fine);
        const std::string_view secondo = b.substr(inizio, b.size() - inizio - fine);
        const std::size_t quanti = std::max<std::size_t>({primo.size(), secondo.size(), 1});
        diversi.push_back({v->nome + (quanti == 1 ? ", posizione " + std::to_string(inizio + 1)
                                                  : ", posizioni " + std::to_string(inizio + 1) + "-" +
                                                        std::to_string(inizio + quanti)),
                           Citato(primo), Citato(secondo)});
    }
    return diversi;
}

// Which of the numbers, all different, make a longest run that grows in their order.
std::vector<bool> InOrdine(const std::vector<long>& numeri) {
    std::vector<std::size_t> ultimi; // of the runs so far, by length - 1: the place of the least last number
    std::vector<std::size_t> prima(numeri.size(), numeri.size()); // the number before each in its run
    for (std::size_t i = 0; i < numeri.size(); ++i) {
        const auto dove = std::lower_bound(ultimi.begin(), ultimi.end(), numeri[i],
                                           [&](std::size_t j, long n) { return numeri[j] < n; });
        if (dove != ultimi.begin())
            prima[i] = *(dove - 1);
        if (dove == ultimi.end())
            ultimi.push_back(i);
        else
            *dove = i;
    }
    std::vector<bool> inOrdine(numeri.size(), false);
    for (std::size_t i = ultimi.empty() ? numeri.size() : ultimi.back(); i < numeri.size(); i = prima[i])
        inOrdine[i] = true;
    return inOrdine;
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
            testo.append(" ").append(Visibile(p.valori[c]));
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
           Quanti(d.dati.size(), "dato della fornitura cambiato", "dati della fornitura cambiati") +
           (d.altre.empty() ? "" : "; " + Quanti(d.altre.size(), "altra differenza", "altre differenze")) + ".";
}

// The last check, of supplies read from their files: every difference of their contents is told. What the
// fields above leave untold: the supply's own content when no datum or total of it is told changed, and the
// changed persons whose fields show no difference, by the order of their fields, else by the bytes of their
// records read again; the persons' places (a module number, in place); the order of the persons where it is
// content.
void UltimoControllo(const FornituraLetta& vecchia, const FornituraLetta& nuova,
                     const std::vector<std::pair<const Persona*, const Persona*>>& coppie,
                     const std::vector<std::size_t>& senzaCampi, Differenze& d) {
    const bool fornitura = !(vecchia.esito.contenuto == nuova.esito.contenuto) && d.dati.empty() && d.totali.empty();
    if (fornitura)
        d.altre = OrdineDeiCampi(vecchia.campi, nuova.campi);
    const bool grezzaFornitura = fornitura && d.altre.empty();
    if (grezzaFornitura || !senzaCampi.empty()) {
        std::set<long> vecchi, nuovi;
        if (grezzaFornitura) {
            vecchi.insert(-1);
            nuovi.insert(-1);
        }
        for (const std::size_t i : senzaCampi) {
            vecchi.insert(d.cambiate[i].vecchia.indice);
            nuovi.insert(d.cambiate[i].nuova.indice);
        }
        const auto grezziVecchi = RileggiPersone(vecchia, {}, {}, vecchi).grezzi;
        const auto grezziNuovi = RileggiPersone(nuova, {}, {}, nuovi).grezzi;
        const auto di = [](const std::map<long, std::vector<CampoFornitura>>& grezzi, long persona) {
            const auto g = grezzi.find(persona);
            return g == grezzi.end() ? std::vector<CampoFornitura>() : g->second;
        };
        if (grezzaFornitura)
            d.altre = ByteDiversi(di(grezziVecchi, -1), di(grezziNuovi, -1));
        for (const std::size_t i : senzaCampi)
            d.cambiate[i].campi = ByteDiversi(di(grezziVecchi, d.cambiate[i].vecchia.indice),
                                              di(grezziNuovi, d.cambiate[i].nuova.indice));
    }
    // Where neither tells more: the same fields and bytes, elsewhere in the file.
    for (const std::size_t i : senzaCampi)
        if (d.cambiate[i].campi.empty())
            d.cambiate[i].campi.push_back({"ordine o spazi dei campi", "", "diversi"});
    if (fornitura && d.altre.empty())
        d.altre.push_back({"contenuto della fornitura fuori dalle persone", "", "diverso"});

    // The persons' places, person by person in the order of the files.
    const SchemaDistinta& schema = *nuova.schema;
    for (std::size_t k = 0; k < std::min(vecchia.persone.size(), nuova.persone.size()); ++k) {
        const Persona& a = vecchia.persone[k];
        const Persona& b = nuova.persone[k];
        if (a.posto == b.posto)
            continue;
        auto [prima, dopo] = Valori(a.posto, b.posto);
        d.altre.push_back({"persona al posto " + std::to_string(k + 1) + " (riga " + std::to_string(a.riga) + " -> " +
                               std::to_string(b.riga) + "), " + std::string(schema.posto),
                           std::move(prima), std::move(dopo)});
    }
    // The order of the persons found in both: those out of the longest run kept in order moved.
    if (!Descrizione(*nuova.formato).ordinePersone)
        return;
    std::vector<std::pair<const Persona*, const Persona*>> perRiga = coppie;
    std::sort(perRiga.begin(), perRiga.end(),
              [](const auto& a, const auto& b) { return a.first->indice < b.first->indice; });
    std::vector<long> nuoviIndici;
    for (const auto& c : perRiga)
        nuoviIndici.push_back(c.second->indice);
    const std::vector<bool> inOrdine = InOrdine(nuoviIndici);
    for (std::size_t i = 0; i < perRiga.size(); ++i)
        if (!inOrdine[i])
            d.altre.push_back(
                {"ordine delle persone: " +
                     std::string(schema.generi[static_cast<std::size_t>(perRiga[i].second->genere)].nome) + " " +
                     perRiga[i].second->chiave,
                 "riga " + std::to_string(perRiga[i].first->riga), "riga " + std::to_string(perRiga[i].second->riga)});
}

} // namespace

Differenze Confronta(const FornituraLetta& vecchia, const FornituraLetta& nuova) {
    Differenze d;
    // The supply's data, by name.
    for (const auto& [v, n] : Appaiati(vecchia.intestazione.voci, nuova.intestazione.voci, NomeDellaVoce)) {
        if (!n) {
            d.dati.push_back({v->first, v->second, ""});
        } else if (!v) {
            d.dati.push_back({n->first, "", n->second});
        } else if (n->second != v->second) {
            auto [prima, dopo] = Valori(v->second, n->second);
            d.dati.push_back({v->first, std::move(prima), std::move(dopo)});
        }
    }

    // The fields of the supplies' own records.
    for (CampoCambiato& c : CampiDiversi(vecchia.campi, nuova.campi))
        d.dati.push_back(std::move(c));

    const auto personeVecchie = PerChiave(vecchia);
    const auto personeNuove = PerChiave(nuova);
    // Read from their files, the persons are compared by their fields: by their fingerprints first, then
    // field by field those whose fingerprints differ.
    const bool perCampi = vecchia.percorso && nuova.percorso && vecchia.esito.campi && nuova.esito.campi;
    std::vector<const Persona*> tolte, aggiunte;
    std::vector<std::pair<const Persona*, const Persona*>> cambiate, coppie;
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
        coppie.emplace_back(persona, altra);
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
    std::vector<std::size_t> senzaCampi; // the changed persons whose fields tell no difference
    for (const auto& [persona, altra] : cambiate) {
        PersonaCambiata c{mostrateVecchie.Di(*persona), mostrateNuove.Di(*altra), {}};
        if (perCampi) {
            c.campi = CampiDiversi(mostrateVecchie.Campi(*persona), mostrateNuove.Campi(*altra));
            if (c.campi.empty()) // the same fields, in another order; or a difference that no field tells
                c.campi = OrdineDeiCampi(mostrateVecchie.Campi(*persona), mostrateNuove.Campi(*altra));
            if (c.campi.empty())
                senzaCampi.push_back(d.cambiate.size());
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
    if (perCampi)
        UltimoControllo(vecchia, nuova, coppie, senzaCampi, d);
    return d;
}

std::optional<std::string> NonConfrontabile(const FornituraLetta& fornitura) {
    if (fornitura.esito.nonConfrontabile.empty())
        return std::nullopt;
    return fornitura.esito.nonConfrontabile;
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
    if (!d.altre.empty()) {
        out << "Altre differenze:\n";
        for (const auto& a : d.altre)
            out << "  " << U(a.nome) << ": " << U(a.vecchio) << " -> " << U(a.nuovo) << "\n";
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
    tabellaCampi("Altre differenze", d.altre);
    ChiudiPagina(out);
}

} // namespace verifica
