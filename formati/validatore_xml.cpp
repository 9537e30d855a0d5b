#include "formati/validatore_xml.h"

#include "anagrafe/codice_fiscale.h"
#include "shell/conversioni.h"
#include "shell/testo.h"

#include <algorithm>
#include <array>

namespace formati {

using anagrafe::ControllaCodiceFiscale;
using anagrafe::EsitoCodiceFiscale;
using lettura::Gravita;

namespace {

// What each form of value expects, as the messages say it.
struct DescrizioneForma {
    FormaValore forma;
    std::string_view attesa;
};
// clang-format off
constexpr DescrizioneForma DescrizioniForme[] = {
    {FormaValore::Elementi,      "attesi solo elementi"},
    {FormaValore::Testo,         "atteso un testo"},
    {FormaValore::CodiceFiscale, "atteso un codice fiscale"},
    {FormaValore::Contributo,    "atteso un importo con due decimali dopo la virgola (come 1234,50)"},
    {FormaValore::Decimale,      "atteso un numero con la virgola prima degli eventuali decimali (come 1500 o 1500,75)"},
    {FormaValore::Importo,       "atteso un importo (come 1500,75 o 1.500,75)"},
    {FormaValore::Intero,        "atteso un numero intero"},
    {FormaValore::Cifre,         "atteso un numero intero di sole cifre"},
    {FormaValore::Data,          "attesa una data vera nella forma aaaa-mm-gg"},
    {FormaValore::AnnoMese,      "attesi anno e mese nella forma aaaa-mm, con il mese da 01 a 12"},
    {FormaValore::SN,            "atteso S o N"},
};
// clang-format on
constexpr bool DescrizioniInOrdine() {
    for (std::size_t i = 0; i < std::size(DescrizioniForme); ++i)
        if (static_cast<std::size_t>(DescrizioniForme[i].forma) != i)
            return false;
    return true;
}
static_assert(DescrizioniInOrdine());

using shell::Cifra;

// The digits from `i` on: how many.
std::size_t QuanteCifre(std::string_view t, std::size_t i) {
    std::size_t n = 0;
    while (i + n < t.size() && Cifra(t[i + n]))
        ++n;
    return n;
}

// -?[0-9]+ followed, when `decimali` is not 0, by "," and decimals: exactly `decimali` of them (> 0), or
// any number of at least one (-1) that may also be left out with their comma.
bool Numero(std::string_view t, int decimali) {
    std::size_t i = !t.empty() && t[0] == '-' ? 1 : 0;
    const std::size_t interi = QuanteCifre(t, i);
    if (interi == 0)
        return false;
    i += interi;
    if (i == t.size())
        return decimali <= 0;
    if (decimali == 0 || t[i] != ',')
        return false;
    const std::size_t dopo = QuanteCifre(t, i + 1);
    return dopo > 0 && i + 1 + dopo == t.size() && (decimali < 0 || dopo == static_cast<std::size_t>(decimali));
}

// An amount the Italian way: -?, digits grouped by "." in threes (or not grouped at all), then "," and
// decimals optionally.
bool ImportoItalianoScritto(std::string_view t) {
    if (Numero(t, -1))
        return true;
    std::size_t i = !t.empty() && t[0] == '-' ? 1 : 0;
    const std::size_t primo = QuanteCifre(t, i);
    if (primo == 0 || primo > 3)
        return false;
    i += primo;
    bool gruppi = false;
    while (i < t.size() && t[i] == '.') {
        if (QuanteCifre(t, i + 1) != 3)
            return false;
        i += 4;
        gruppi = true;
    }
    if (!gruppi)
        return false;
    if (i == t.size())
        return true;
    return t[i] == ',' && QuanteCifre(t, i + 1) > 0 && i + 1 + QuanteCifre(t, i + 1) == t.size();
}

bool Mese(std::string_view mm) {
    return mm.size() == 2 && Cifra(mm[0]) && Cifra(mm[1]) && (mm[0] - '0') * 10 + (mm[1] - '0') >= 1 &&
           (mm[0] - '0') * 10 + (mm[1] - '0') <= 12;
}

bool AnnoMese(std::string_view t) {
    return t.size() == 7 && QuanteCifre(t, 0) == 4 && t[4] == '-' && Mese(t.substr(5));
}

// How grave a value out of its form is: as the grammar says, but a month that does not exist is always an
// error, also where the grammar lets the year's digits pass with a warning.
Gravita GravitaDellaForma(const Nodo& nodo, std::string_view v) {
    if (nodo.forma == FormaValore::AnnoMese) {
        const auto trattino = v.rfind('-');
        if (trattino == std::string_view::npos || !Mese(v.substr(trattino + 1)))
            return Gravita::Errore;
    }
    return nodo.gravitaForma;
}

bool DataISO(std::string_view t) {
    if (t.size() != 10 || t[4] != '-' || t[7] != '-' || QuanteCifre(t, 0) != 4 || QuanteCifre(t, 5) != 2 ||
        QuanteCifre(t, 8) != 2)
        return false;
    const auto n = [&](std::size_t da, std::size_t quante) {
        int v = 0;
        for (std::size_t i = da; i < da + quante; ++i)
            v = v * 10 + (t[i] - '0');
        return v;
    };
    return shell::DataValida(n(0, 4), n(5, 2), n(8, 2));
}

bool Vuoto(std::string_view t) {
    for (const char c : t)
        if (c != ' ')
            return false;
    return true;
}

// The lower-case letters, by the upper case of the suite's texts.
const std::array<bool, 256> Minuscola = [] {
    std::array<bool, 256> tabella{};
    for (unsigned u = 0; u < 256; ++u)
        tabella[u] = shell::Maiuscola(static_cast<char>(u)) != static_cast<char>(u);
    return tabella;
}();

// A blank of XML (S): space, TAB, CR, LF.
bool SpazioXML(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Tag(std::string_view nome) {
    std::string tag(1, '<');
    return tag.append(nome).append(1, '>');
}

} // namespace

ValidatoreXML::ValidatoreXML(const Grammatica& grammatica, RegoleXML& regole)
    : m_grammatica(grammatica), m_regole(regole), m_contenuto(regole.VuoleContenuto()) {
    m_aperti.reserve(32);
    std::size_t figli = 0;
    for (const Nodo& nodo : grammatica.nodi)
        figli += nodo.figli.size();
    m_figliNoti.reserve(figli); // the nodes' spans point into it
    for (std::size_t i = 0; i < grammatica.nodi.size(); ++i) {
        const Nodo& nodo = grammatica.nodi[i];
        const std::size_t primo = m_figliNoti.size();
        for (std::size_t k = 0; k < nodo.figli.size(); ++k) {
            const Figlio& f = nodo.figli[k];
            m_figliNoti.push_back({NodoDi(f.nodo).nome, f.nodo, f.minimo, f.massimo, !f.estraneo.empty()});
        }
        m_noti.push_back({std::span<const FiglioNoto>(m_figliNoti).subspan(primo, nodo.figli.size()),
                          nodo.forma == FormaValore::Elementi, !nodo.attributi.empty(),
                          regole.Interessi(static_cast<int>(i))});
    }
}

std::string ValidatoreXML::Citato(std::string_view valore) {
    std::string citato(1, '\'');
    if (valore.size() <= 60)
        return citato.append(valore).append(1, '\'');
    return citato.append(valore.substr(0, 60)).append("...'");
}

void ValidatoreXML::Leggi(xml::LettoreXML& lettore) {
    for (;;) {
        xml::Evento evento;
        try {
            evento = lettore.Prossimo();
        } catch (const xml::ErroreXML& errore) {
            m_righe = static_cast<long>(errore.Riga());
            throw;
        }
        const Posto posto{static_cast<long>(lettore.Riga()), static_cast<long>(lettore.Colonna())};
        if (m_contenuto && evento != xml::Evento::Testo)
            ChiudiTesto();
        switch (evento) {
        case xml::Evento::InizioElemento:
            Inizio(lettore, posto);
            if (m_contenuto)
                m_regole.ElementoDelContenuto(m_aperti.back().nodo, lettore.Nome(), lettore.Attributi(),
                                              static_cast<int>(m_aperti.size()));
            break;
        case xml::Evento::FineElemento:
            if (m_contenuto)
                m_regole.FineDelContenuto(static_cast<int>(m_aperti.size()));
            Fine(posto);
            break;
        case xml::Evento::Testo:
            if (m_contenuto)
                TestoNelContenuto(lettore.Testo(), lettore.Altri());
            Testo(lettore, posto);
            break;
        case xml::Evento::FineDocumento:
            // The line ends after the root's end.
            if (lettore.FiniRigaNonCRLF() > m_senzaCR)
                Annota(SenzaCR, posto,
                       "fine riga senza CR dopo la chiusura dell'elemento radice: le righe del "
                       "documento finiscono con CR LF");
            m_righe = posto.colonna == 1 ? posto.riga - 1 : posto.riga;
            return;
        }
    }
}

// An element opens. The usual one is the child being read again, or the one after it: anything else is
// looked at by Radice, FiglioDiValore and AltroFiglio, away from this path.
void ValidatoreXML::Inizio(const xml::LettoreXML& lettore, Posto posto) {
    if (lettore.ElementoVuoto())
        ElementoBreve(lettore.Nome(), posto);
    if (m_aperti.empty())
        return Radice(lettore, posto);
    const std::string_view nome = lettore.Nome();
    Aperto& padre = m_aperti.back();
    padre.contenuto = true;
    if (padre.nodo < 0)
        return Apri(-1, posto);
    ControllaRiga(static_cast<int>(m_aperti.size()), posto);
    const NodoNoto& nodoPadre = *padre.noto;
    if (!nodoPadre.elementi)
        return FiglioDiValore(nome, posto);
    const auto figli = nodoPadre.figli;
    const auto i = static_cast<std::size_t>(padre.posizione);
    int nodo;
    if (i < figli.size() && figli[i].nome == nome && padre.volte < figli[i].massimo && !figli[i].estraneo) {
        ++padre.volte;
        nodo = figli[i].nodo;
    } else if (i + 1 < figli.size() && figli[i + 1].nome == nome && padre.volte >= figli[i].minimo &&
               !figli[i + 1].estraneo) {
        padre.posizione = static_cast<int>(i + 1);
        padre.volte = 1;
        nodo = figli[i + 1].nodo;
    } else {
        nodo = AltroFiglio(padre, nome, posto);
    }
    Apri(nodo, posto);
    if (nodo < 0)
        return;
    const NodoNoto& questo = m_noti[static_cast<std::size_t>(nodo)];
    if (!questo.elementi) {
        m_valore = {};
        m_valoreTroncato = false;
        m_altri.clear();
    }
    // The rules hear of the element first, so that its attributes' findings are already the person's.
    if (questo.interessi & Interesse::Apertura)
        m_regole.Apertura(nodo, lettore, posto);
    if (questo.attributi || !lettore.Attributi().empty())
        Attributi(NodoDi(nodo), lettore, posto);
}

void ValidatoreXML::ElementoBreve(std::string_view nome, Posto posto) {
    Annota(FormaBreve, posto,
           "elemento " + Tag(nome) + " nella forma breve <" + std::string(nome) + "/>: il convertitore scrive " +
               Tag(nome) + " e </" + std::string(nome) + "> anche senza valore");
}

void ValidatoreXML::Radice(const xml::LettoreXML& lettore, Posto posto) {
    // The line ends of the prolog: the declaration's.
    if (lettore.FiniRigaNonCRLF() > m_senzaCR) {
        m_senzaCR = lettore.FiniRigaNonCRLF();
        Annota(SenzaCR, {1, 1}, "fine riga senza CR: le righe del documento finiscono con CR LF");
    }
    const std::string_view nome = lettore.Nome();
    const Nodo& radice = NodoDi(m_grammatica.radice);
    if (nome != radice.nome) {
        m_regole.Segnala(Gravita::Errore, posto,
                         "elemento radice " + Tag(nome) + ", atteso " + Tag(radice.nome) +
                             ": il documento non \xE8 di questo tipo");
        return Apri(-1, posto);
    }
    m_radiceDellaGrammatica = true;
    Apri(m_grammatica.radice, posto);
    Attributi(radice, lettore, posto);
    if (m_noti[static_cast<std::size_t>(m_grammatica.radice)].interessi & Interesse::Apertura)
        m_regole.Apertura(m_grammatica.radice, lettore, posto);
}

// A child element where its parent holds a value: neither is read by the grammar any further.
void ValidatoreXML::FiglioDiValore(std::string_view nome, Posto posto) {
    m_regole.Segnala(Gravita::Errore, posto,
                     "elemento " + Tag(nome) + " dentro " + Tag(NodoDi(m_aperti.back().nodo).nome) +
                         ", che ha solo un valore");
    Apri(-1, posto);
}

// The node of a child `nome` of `padre` other than the usual one: found further on in its list, past the
// children that may be left out (and those that may not, which are missing); or found before, out of its
// place; or of another document; or none (-1).
int ValidatoreXML::AltroFiglio(Aperto& padre, std::string_view nome, Posto posto) {
    const Nodo& nodoPadre = NodoDi(padre.nodo);
    const auto figli = nodoPadre.figli;
    const int quanti = static_cast<int>(figli.size());
    int trovato = padre.posizione;
    while (trovato < quanti && NodoDi(figli[static_cast<std::size_t>(trovato)].nodo).nome != nome)
        ++trovato;
    if (trovato < quanti) {
        const Figlio& figlio = figli[static_cast<std::size_t>(trovato)];
        const bool primo = trovato != padre.posizione || padre.volte == 0;
        if (trovato == padre.posizione) {
            // Told once, at the first one too many; an unbounded child is only counted up to its bound.
            if (padre.volte < Illimitato)
                ++padre.volte;
            if (figlio.massimo != Illimitato && padre.volte == figlio.massimo + 1)
                m_regole.Segnala(Gravita::Errore, posto,
                                 Tag(nome) + " ripetuto in " + Tag(nodoPadre.nome) + ": ammesso " +
                                     (figlio.massimo == 1 ? std::string("una volta sola")
                                                          : "al pi\xF9 " + std::to_string(figlio.massimo) + " volte"));
        } else {
            Mancanti(padre, trovato, posto, nome);
            padre.posizione = trovato;
            padre.volte = 1;
        }
        if (!figlio.estraneo.empty() && primo) // once for a run of them
            m_regole.Segnala(Gravita::Avviso, posto,
                             "elemento " + Tag(nome) + " " + std::string(figlio.estraneo) +
                                 ": questo documento non lo prevede");
        return figlio.nodo;
    }
    // Earlier in the list: out of its place, but still read by its node.
    int prima = 0;
    while (prima < padre.posizione && NodoDi(figli[static_cast<std::size_t>(prima)].nodo).nome != nome)
        ++prima;
    if (prima < padre.posizione) {
        m_regole.Segnala(Gravita::Errore, posto,
                         Tag(nome) + " fuori posto in " + Tag(nodoPadre.nome) + ": va prima di " +
                             Tag(NodoDi(figli[static_cast<std::size_t>(padre.posizione)].nodo).nome));
        return figli[static_cast<std::size_t>(prima)].nodo;
    }
    m_regole.Segnala(Gravita::Errore, posto,
                     "elemento " + Tag(nome) + " non previsto in " + Tag(nodoPadre.nome) + ": " + Attesi(padre));
    return -1;
}

void ValidatoreXML::Attributi(const Nodo& nodo, const xml::LettoreXML& lettore, Posto posto) {
    const auto letti = lettore.Attributi();
    for (const AttributoAtteso& atteso : nodo.attributi) {
        const auto a =
            std::find_if(letti.begin(), letti.end(), [&](const xml::Attributo& l) { return l.nome == atteso.nome; });
        const auto descritto = [&] {
            return std::string(atteso.nome) + (atteso.valore.empty() ? "" : "=\"" + std::string(atteso.valore) + "\"");
        };
        if (a == letti.end()) {
            if (atteso.obbligatorio)
                m_regole.Segnala(Gravita::Errore, posto, Tag(nodo.nome) + ": manca l'attributo " + descritto());
            continue;
        }
        const Posto qui{static_cast<long>(a->riga), static_cast<long>(a->colonna)};
        if (atteso.valore.empty() ? Vuoto(a->valore) : a->valore != atteso.valore)
            m_regole.Segnala(atteso.valore.empty() ? Gravita::Errore : atteso.gravita, qui,
                             Tag(nodo.nome) + ": attributo " + std::string(atteso.nome) + "=\"" +
                                 std::string(a->valore) + "\", " +
                                 (atteso.valore.empty() ? std::string("atteso un valore") : "atteso " + descritto()));
    }
    for (const xml::Attributo& l : letti)
        if (std::none_of(nodo.attributi.begin(), nodo.attributi.end(),
                         [&](const AttributoAtteso& a) { return a.nome == l.nome; }))
            m_regole.Segnala(
                Gravita::Errore, {static_cast<long>(l.riga), static_cast<long>(l.colonna)},
                Tag(nodo.nome) + ": attributo " + std::string(l.nome) + " non previsto" +
                    (nodo.attributi.empty() ? std::string() : ": ammesso " + std::string(nodo.attributi.front().nome)));
}

// The children of `aperto` from the one being read up to `finoA` (excluded) that came fewer times than
// they must; `prima` names what came instead (empty: the element's end).
void ValidatoreXML::Mancanti(const Aperto& aperto, int finoA, Posto posto, std::string_view prima) {
    const Nodo& nodo = NodoDi(aperto.nodo);
    for (int i = aperto.posizione; i < finoA; ++i) {
        const Figlio& figlio = nodo.figli[static_cast<std::size_t>(i)];
        const int volte = i == aperto.posizione ? aperto.volte : 0;
        if (volte >= figlio.minimo)
            continue;
        std::string messaggio = Tag(nodo.nome) + ": manca " + Tag(NodoDi(figlio.nodo).nome);
        if (figlio.minimo > 1)
            messaggio += " (ne ha " + std::to_string(volte) + ", almeno " + std::to_string(figlio.minimo) + ")";
        messaggio += prima.empty() ? " prima della sua chiusura" : " prima di " + Tag(prima);
        m_regole.Segnala(Gravita::Errore, posto, messaggio);
    }
}

// What may come next in `aperto`: its children from the one being read up to the first it must still have.
std::string ValidatoreXML::Attesi(const Aperto& aperto) const {
    const Nodo& nodo = NodoDi(aperto.nodo);
    std::string attesi;
    int quanti = 0;
    for (int i = aperto.posizione; i < static_cast<int>(nodo.figli.size()); ++i) {
        const Figlio& figlio = nodo.figli[static_cast<std::size_t>(i)];
        const int volte = i == aperto.posizione ? aperto.volte : 0;
        if (volte >= figlio.massimo)
            continue;
        attesi += (quanti++ ? ", " : "") + Tag(NodoDi(figlio.nodo).nome);
        if (volte < figlio.minimo)
            break;
    }
    if (quanti == 0)
        return "atteso </" + std::string(nodo.nome) + ">";
    return (quanti == 1 ? "atteso " : "attesi ") + attesi;
}

void ValidatoreXML::Fine(Posto posto) {
    const Aperto& aperto = m_aperti.back();
    if (aperto.nodo >= 0) {
        const NodoNoto& nodo = *aperto.noto;
        if (nodo.elementi) {
            ControllaRiga(static_cast<int>(m_aperti.size()) - 1, posto);
            if (!aperto.contenuto || aperto.volte < nodo.figli[static_cast<std::size_t>(aperto.posizione)].minimo ||
                aperto.posizione + 1 < static_cast<int>(nodo.figli.size()))
                FineIncompleta(aperto, posto);
        } else {
            ControllaValore(aperto);
        }
        if (nodo.interessi & Interesse::Chiusura)
            m_regole.Chiusura(aperto.nodo, aperto.tag);
    }
    m_aperti.pop_back();
    m_spazi = -1;
    m_difettoSpazi = -1;
}

// An element of child elements ends before its last child: the children it must still have are missing.
void ValidatoreXML::FineIncompleta(const Aperto& aperto, Posto posto) {
    const Nodo& nodo = NodoDi(aperto.nodo);
    const bool richiesti =
        std::any_of(nodo.figli.begin(), nodo.figli.end(), [](const Figlio& f) { return f.minimo > 0; });
    if (aperto.contenuto || !richiesti)
        return Mancanti(aperto, static_cast<int>(nodo.figli.size()), posto, {});
    std::string attesi;
    for (const Figlio& f : nodo.figli)
        if (f.minimo > 0)
            attesi += (attesi.empty() ? "" : ", ") + Tag(NodoDi(f.nodo).nome);
    m_regole.Segnala(Gravita::Errore, aperto.tag, "elemento " + Tag(nodo.nome) + " vuoto: attesi " + attesi);
}

// The value of an element, against its form; what is wrong with it is told by ValoreDifforme.
void ValidatoreXML::ControllaValore(const Aperto& aperto) {
    const int indice = aperto.nodo;
    const Nodo& nodo = NodoDi(indice);
    const std::string_view v = Valore();
    bool buono = true;
    switch (nodo.forma) {
    case FormaValore::Elementi:
    case FormaValore::Testo:
        break;
    case FormaValore::CodiceFiscale:
        if (!Vuoto(v)) {
            const EsitoCodiceFiscale esito = ControllaCodiceFiscale(v);
            if (!esito.Valido() || !esito.avviso.empty())
                CodiceFiscaleDifforme(nodo, esito, aperto.tag);
            buono = esito.Valido();
        }
        break;
    case FormaValore::Contributo:
        buono = Numero(v, 2);
        break;
    case FormaValore::Decimale:
        buono = Numero(v, -1);
        break;
    case FormaValore::Importo:
        buono = ImportoItalianoScritto(v);
        break;
    case FormaValore::Intero:
        buono = Numero(v, 0);
        break;
    case FormaValore::Data:
        buono = DataISO(v);
        break;
    case FormaValore::Cifre:
        buono = !v.empty() && QuanteCifre(v, 0) == v.size();
        break;
    case FormaValore::AnnoMese:
        buono = AnnoMese(v);
        break;
    case FormaValore::SN:
        buono = v.size() == 1 && (v[0] == 'S' || v[0] == 'N');
        break;
    }
    // Blank and lower case, in one look at the value; a number, a date or S/N in its form is neither.
    const bool testo = nodo.forma == FormaValore::Testo || nodo.forma == FormaValore::CodiceFiscale;
    bool vuoto = false, minuscole = false;
    if (testo || !buono) {
        vuoto = true;
        for (const char c : v) {
            vuoto = vuoto && c == ' ';
            minuscole = minuscole || Minuscola[static_cast<unsigned char>(c)];
        }
    }
    if ((!buono && !testo) || (testo && vuoto) || minuscole || (!nodo.fisso.empty() && v != nodo.fisso))
        ValoreDifforme(nodo, buono, vuoto, minuscole, aperto.tag);
    if (nodo.forma == FormaValore::Testo && m_grammatica.testoMassimo > 0 && v.size() > m_grammatica.testoMassimo)
        m_regole.Segnala(Gravita::Avviso, aperto.tag,
                         Tag(nodo.nome) + " di " + (m_valoreTroncato ? "oltre " : "") + std::to_string(v.size()) +
                             " caratteri: oltre i " + std::to_string(m_grammatica.testoMassimo) +
                             " che si ammettono in un testo di questo documento");
    if (aperto.noto->interessi & Interesse::Valore)
        m_regole.Valore(indice, v, m_altri, buono && !m_valoreTroncato, aperto.tag);
}

void ValidatoreXML::CodiceFiscaleDifforme(const Nodo& nodo, const EsitoCodiceFiscale& esito, Posto posto) {
    if (!esito.Valido())
        m_regole.Segnala(Gravita::Errore, posto,
                         Tag(nodo.nome) + ": codice fiscale " + Citato(Valore()) + " non valido: " + esito.errore);
    else
        m_regole.Segnala(Gravita::Avviso, posto,
                         Tag(nodo.nome) + ": codice fiscale " + Citato(Valore()) + ": " + esito.avviso);
}

void ValidatoreXML::ValoreDifforme(const Nodo& nodo, bool buono, bool vuoto, bool minuscole, Posto posto) {
    const std::string_view v = Valore();
    const bool testo = nodo.forma == FormaValore::Testo || nodo.forma == FormaValore::CodiceFiscale;
    if (!buono && !testo)
        m_regole.Segnala(GravitaDellaForma(nodo, v), posto,
                         Tag(nodo.nome) + " " + Citato(v) + ": " +
                             std::string(DescrizioniForme[static_cast<std::size_t>(nodo.forma)].attesa));
    if (testo && vuoto) {
        const Aperto& padre = m_aperti[m_aperti.size() - 2];
        if (nodo.pieno)
            m_regole.Segnala(Gravita::Avviso, posto,
                             Tag(nodo.nome) + " vuoto: il convertitore lo scrive sempre con il suo valore");
        else if (padre.nodo >= 0 && NodoDi(padre.nodo).figli[static_cast<std::size_t>(padre.posizione)].minimo == 0)
            m_regole.Segnala(Gravita::Avviso, posto,
                             Tag(nodo.nome) +
                                 " vuoto: il convertitore non scrive un elemento facoltativo senza valore");
    }
    if (!nodo.fisso.empty() && v != nodo.fisso)
        m_regole.Segnala(Gravita::Avviso, posto,
                         Tag(nodo.nome) + " " + Citato(v) + " invece di '" + std::string(nodo.fisso) +
                             "', che il convertitore scrive sempre");
    if (minuscole)
        Annota(Minuscole, posto,
               Tag(nodo.nome) + " " + Citato(v) +
                   " con lettere minuscole: il convertitore scrive i testi in maiuscolo");
}

// A text: a value, or what stands between two tags, the next one's line.
void ValidatoreXML::Testo(const xml::LettoreXML& lettore, Posto posto) {
    const std::string_view testo = lettore.Testo();
    if (lettore.FiniRigaNonCRLF() > m_senzaCR) {
        m_senzaCR = lettore.FiniRigaNonCRLF();
        Annota(SenzaCR, posto, "fine riga senza CR: le righe del documento finiscono con CR LF");
    }
    Aperto& aperto = m_aperti.back();
    if (aperto.nodo < 0)
        return;
    // A line end and TABs only: the indentation of the next tag, which is no part of a value either (the
    // converter writes a value on the line of its tags).
    if (!testo.empty() && testo[0] == '\n' && testo.find_first_not_of('\t', 1) == std::string_view::npos) {
        m_spazi = static_cast<int>(testo.size() - 1);
        m_difettoSpazi = -1;
        return;
    }
    if (!aperto.noto->elementi)
        return AggiungiAlValore(testo, lettore.Altri());
    TestoTraElementi(aperto, testo, posto);
}

// Between the elements, a text other than a line end and TABs: no line end, more than one, blanks that are
// not the TABs after it, or a text that has no place there.
void ValidatoreXML::TestoTraElementi(Aperto& aperto, std::string_view testo, Posto posto) {
    const Nodo& nodo = NodoDi(aperto.nodo);
    m_spazi = -1;
    m_postoSpazi = posto;
    int capi = 0;
    for (const char c : testo) {
        if (c == '\n') {
            ++capi;
        } else if (c != ' ' && c != '\r' && c != '\t') {
            // Told as an error; the line of the next tag is then judged by what follows the text's last line end.
            aperto.contenuto = true;
            m_regole.Segnala(
                Gravita::Errore, posto,
                "testo " + Citato(testo.substr(testo.find(c), testo.find_last_not_of(" \t\r\n") + 1 - testo.find(c))) +
                    " in " + Tag(nodo.nome) + ", che contiene solo elementi");
            const std::size_t capo = testo.rfind('\n');
            const bool tab =
                capo != std::string_view::npos && testo.find_first_not_of('\t', capo + 1) == std::string_view::npos;
            m_spazi = tab ? static_cast<int>(testo.size() - capo - 1) : -1;
            m_difettoSpazi = tab ? -1 : StessaRiga;
            return;
        }
    }
    m_difettoSpazi = capi == 0 ? StessaRiga : capi > 1 ? RigheVuote : Rientro;
}

// The line of a tag at depth `profondita`: a line end and as many TABs before it.
void ValidatoreXML::DifettoDiRiga(int profondita, Posto posto) {
    if (m_difettoSpazi == RigheVuote)
        Annota(RigheVuote, m_postoSpazi,
               "righe vuote o commenti tra gli elementi: il convertitore scrive un elemento per riga");
    else if (m_difettoSpazi == Rientro)
        Annota(Rientro, posto,
               "rientro con spazi: il convertitore rientra ogni riga con un TAB per livello (qui " +
                   std::to_string(profondita) + ")");
    else if (m_difettoSpazi == StessaRiga || m_spazi < 0)
        Annota(StessaRiga, posto, "pi\xF9 elementi sulla stessa riga: il convertitore scrive un elemento per riga");
    else
        Annota(Rientro, posto,
               "rientro di " + std::to_string(m_spazi) + " TAB invece di " + std::to_string(profondita) +
                   ": il convertitore rientra ogni riga con un TAB per livello");
    m_spazi = -1;
    m_difettoSpazi = -1;
}

// A text that follows what was read since the last tag, in its canonical form (xml::TestoCanonico): told in
// whole pieces as soon as it cannot be layout. Blanks and line ends are their own canonical form: they hold
// neither a "&" nor a character beyond ISO-8859-1.
void ValidatoreXML::TestoNelContenuto(std::string_view testo, std::span<const xml::CarattereAltro> altri) {
    if (m_aperti.empty())
        return;
    const bool spazi = std::all_of(testo.begin(), testo.end(), SpazioXML);
    m_testo.append(spazi ? testo : xml::TestoCanonico(testo, altri, m_canonico));
    m_soloSpazi = m_soloSpazi && spazi;
    const Aperto& aperto = m_aperti.back();
    if (!m_soloSpazi || aperto.nodo < 0 || !aperto.noto->elementi)
        PezziDelTesto(false);
}

// The pieces of the text read since the last tag: the whole ones, or (`tutti`) every one.
void ValidatoreXML::PezziDelTesto(bool tutti) {
    std::size_t detti = 0;
    for (; detti < m_testo.size() && (tutti || m_testo.size() - detti >= PezzoContenuto); detti += PezzoContenuto)
        m_regole.TestoDelContenuto(std::string_view(m_testo).substr(detti, PezzoContenuto));
    m_testo.erase(0, std::min(detti, m_testo.size()));
}

// A tag: the text before it ends. A text of blanks and line ends only, in an element of child elements, is
// layout.
void ValidatoreXML::DiTesto() {
    if (!m_aperti.empty()) {
        const Aperto& aperto = m_aperti.back();
        if (!(m_soloSpazi && aperto.nodo >= 0 && aperto.noto->elementi))
            PezziDelTesto(true);
    }
    m_testo.clear();
    m_soloSpazi = true;
}

void ValidatoreXML::Annota(Impaginazione tipo, Posto posto, std::string_view messaggio) {
    auto& d = m_difetti[tipo];
    if (d.volte++ == 0) {
        d.primo = posto;
        d.messaggio = messaggio;
    }
}

void ValidatoreXML::SegnalaImpaginazione() {
    for (auto& d : m_difetti) {
        if (d.volte == 0)
            continue;
        if (d.volte > 1)
            d.messaggio += " (e altre " + std::to_string(d.volte - 1) + " volte nel documento)";
        m_regole.Segnala(Gravita::Avviso, d.primo, std::move(d.messaggio));
        d.volte = 0;
    }
}

} // namespace formati
