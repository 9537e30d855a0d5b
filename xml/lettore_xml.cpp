#include "xml/lettore_xml.h"

#include "xml/caratteri.h"

#include "shell/testo.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace xml {

ErroreXML::ErroreXML(std::int64_t riga, std::int64_t colonna, std::string motivo, bool benFormato)
    : std::runtime_error("riga " + std::to_string(riga) + ", colonna " + std::to_string(colonna) + ": " + motivo),
      m_riga(riga), m_colonna(colonna), m_motivo(std::move(motivo)), m_benFormato(benFormato) {}

LettoreXML::LettoreXML(Fonte fonte) : m_fonte(std::move(fonte)) {
    m_buffer.resize(Blocco + 1);
    m_dati = m_buffer.data();
    m_dati[0] = 0;
    m_p = m_fine = m_conserva = m_dati;
    m_tabelle = &TabelleMultibyte;
}

LettoreXML::LettoreXML(std::istream& ingresso)
    : LettoreXML([&ingresso](char* destinazione, std::size_t massimo) -> std::size_t {
          ingresso.read(destinazione, static_cast<std::streamsize>(massimo));
          if (ingresso.bad())
              throw std::ios_base::failure("lettura del documento non riuscita");
          return static_cast<std::size_t>(ingresso.gcount());
      }) {}

// ---- Reading in blocks

// Reads the next block after the bytes kept (from m_conserva on, which move to the front of the
// buffer together with p). False at the end of the document.
bool LettoreXML::Ricarica(const char*& p) {
    if (m_esaurita)
        return false;
    AvanzaPunto(m_conserva);
    const auto tenuti = static_cast<std::size_t>(m_fine - m_conserva);
    const auto daConserva = static_cast<std::size_t>(p - m_conserva);
    if (m_conserva != m_dati) {
        m_base = Offset(m_conserva);
        std::memmove(m_dati, m_conserva, tenuti);
    }
    if (m_buffer.size() < tenuti + Blocco + 1) {
        m_buffer.resize(tenuti + Blocco + 1);
        m_dati = m_buffer.data();
    }
    const std::size_t spazio = m_buffer.size() - 1 - tenuti;
    const std::size_t letti = std::min(m_fonte(m_dati + tenuti, spazio), spazio);
    m_esaurita = letti == 0;
    m_fine = m_dati + tenuti + letti;
    m_dati[tenuti + letti] = 0;
    m_conserva = m_dati;
    p = m_dati + daConserva;
    return letti > 0;
}

bool LettoreXML::Garantisci(const char*& p, std::size_t n) {
    while (static_cast<std::size_t>(m_fine - p) < n)
        if (!Ricarica(p))
            return false;
    return true;
}

bool LettoreXML::Inizia(const char*& p, std::string_view testo) {
    if (static_cast<std::size_t>(m_fine - p) < testo.size() && !Garantisci(p, testo.size()))
        return false;
    for (std::size_t i = 0; i < testo.size(); ++i)
        if (p[i] != testo[i])
            return false;
    return true;
}

char LettoreXML::Byte(const char*& p) {
    if (p == m_fine)
        Ricarica(p);
    return *p;
}

// ---- Tags

// The value of an attribute after its opening quote, appended to m_testiAttributi normalised.
void LettoreXML::LeggiValore(const char*& p, char virgolette, AttributoLetto& attributo, Posizione tag) {
    attributo.valore = m_testiAttributi.size();
    m_conserva = p;
    const Tabelle::Tabella& tabella = m_tabelle->valore;
    const auto nome = [&] { return m_testiAttributi.substr(attributo.nomeTesto, attributo.lunghezzaTesto); };
    for (;;) {
        p = Fermata(p, tabella);
        const char c = *p;
        if (c == virgolette) {
            m_testiAttributi.append(m_conserva, static_cast<std::size_t>(p - m_conserva));
            ++p;
            break;
        }
        switch (c) {
        case '"':
        case '\'':
            ++p;
            continue;
        case '<':
            Errore(p, "carattere '<' non ammesso nel valore dell'attributo '" + nome() + "'");
        case '&':
            m_testiAttributi.append(m_conserva, static_cast<std::size_t>(p - m_conserva));
            LeggiRiferimento(p, m_testiAttributi, attributo.sostituiti);
            break;
        case '\t':
            m_testiAttributi.append(m_conserva, static_cast<std::size_t>(p - m_conserva));
            m_testiAttributi += ' ';
            ++p;
            break;
        case '\n':
        case '\r':
            m_testiAttributi.append(m_conserva, static_cast<std::size_t>(p - m_conserva));
            m_testiAttributi += ' ';
            m_conserva = p;
            FineRiga(p);
            break;
        case 0:
            if (p == m_fine) {
                m_testiAttributi.append(m_conserva, static_cast<std::size_t>(p - m_conserva));
                m_conserva = p;
                if (m_testiAttributi.size() > AttributiMassimo)
                    Errore(tag, "attributi del tag oltre " + std::to_string(AttributiMassimo) + " byte");
                if (!Ricarica(p))
                    Errore(Posizione{attributo.riga, attributo.colonna},
                           "valore dell'attributo '" + nome() + "' non chiuso alla fine del documento");
                continue;
            }
            [[fallthrough]];
        default:
            if (U(c) < 0x80)
                ErroreCarattere(p, "", " non ammesso in XML");
            m_testiAttributi.append(m_conserva, static_cast<std::size_t>(p - m_conserva));
            AggiungiCarattere(m_testiAttributi, LeggiCarattere(p), attributo.sostituiti);
        }
        m_conserva = p;
    }
    attributo.lunghezzaValore = m_testiAttributi.size() - attributo.valore;
}

void LettoreXML::LeggiInizioElemento(const char*& p) {
    const Posizione dove = Dove(p);
    ++p;
    bool nonAscii = false;
    const std::string_view nome = LeggiNome(p, nonAscii);
    if (nome.empty() && *p == 0 && p == m_fine)
        Errore(p, "tag '<' non chiuso alla fine del documento");
    if (nome.empty())
        ErroreCarattere(p, "nome di elemento non valido: ", " dopo '<'");
    if (m_aperti.size() >= static_cast<std::size_t>(ProfonditaMassima))
        Errore(dove, "elementi annidati oltre " + std::to_string(ProfonditaMassima) + " livelli");
    const std::size_t cima = m_aperti.empty() ? 0 : m_aperti.back().inizio + m_aperti.back().lunghezza;
    if (m_pila.size() < cima + nome.size())
        m_pila.resize(2 * (cima + nome.size()));
    std::copy(nome.begin(), nome.end(), m_pila.begin() + static_cast<std::ptrdiff_t>(cima));
    m_aperti.push_back({cima, nome.size(), dove.riga, dove.colonna, nonAscii});
    m_nomeSostituito = false;
    if (nonAscii && m_codifica == Codifica::Utf8) {
        m_nomeLatin1 = Latin1(nome, &m_nomeSostituito);
        m_nome = m_nomeLatin1;
    } else {
        m_nome = {m_pila.data() + cima, nome.size()};
    }
    m_sostituiti = m_nomeSostituito;
    m_letti.clear();
    if (*p == '>')
        ++p;
    else
        LeggiAttributi(p, dove);
    m_fineInSospeso = m_vuoto;
    m_evento = Evento::InizioElemento;
    m_rigaEvento = dove.riga;
    m_colonnaEvento = dove.colonna;
}

// The attributes of the tag just named, up to its ">" or "/>".
void LettoreXML::LeggiAttributi(const char*& p, Posizione tag) {
    const Aperto& aperto = m_aperti.back();
    const auto nomeTag = [&] { return Latin1({m_pila.data() + aperto.inizio, aperto.lunghezza}); };
    m_testiAttributi.clear();
    for (;;) {
        const bool spazio = SaltaSpazi(p);
        const char c = Byte(p);
        if (c == '>') {
            ++p;
            break;
        }
        if (c == '/') {
            ++p;
            if (Byte(p) != '>')
                Errore(p, "atteso '>' dopo '/' nel tag '<" + nomeTag() + "'");
            ++p;
            m_vuoto = true;
            break;
        }
        if (c == 0 && p == m_fine)
            Errore(tag, "tag '<" + nomeTag() + "' non chiuso alla fine del documento");
        AttributoLetto& attributo = m_letti.emplace_back();
        const Posizione inizioAttributo = Dove(p);
        attributo.riga = inizioAttributo.riga;
        attributo.colonna = inizioAttributo.colonna;
        bool attributoNonAscii = false;
        const std::string_view nomeAttributo = LeggiNome(p, attributoNonAscii);
        if (nomeAttributo.empty())
            ErroreCarattere(p, "", " non ammesso nel tag '<" + nomeTag() + "'");
        attributo.nome = attributo.nomeTesto = m_testiAttributi.size();
        attributo.lunghezzaNome = attributo.lunghezzaTesto = nomeAttributo.size();
        m_testiAttributi.append(nomeAttributo);
        if (attributoNonAscii && m_codifica == Codifica::Utf8) {
            const std::string testo = Latin1(nomeAttributo, &attributo.sostituiti);
            attributo.nomeTesto = m_testiAttributi.size();
            attributo.lunghezzaTesto = testo.size();
            m_testiAttributi += testo;
        }
        const auto nomeLetto = [&] { return m_testiAttributi.substr(attributo.nomeTesto, attributo.lunghezzaTesto); };
        if (!spazio)
            Errore(inizioAttributo, "spazio mancante prima dell'attributo '" + nomeLetto() + "'");
        if (*p != '=')
            SaltaSpazi(p);
        if (Byte(p) != '=')
            ErroreCarattere(p, "attributo '" + nomeLetto() + "' senza valore: atteso '=' al posto del ", "");
        ++p;
        if (*p != '"' && *p != '\'')
            SaltaSpazi(p);
        const char virgolette = Byte(p);
        if (virgolette != '"' && virgolette != '\'')
            Errore(p, "valore dell'attributo '" + nomeLetto() + "' senza virgolette");
        ++p;
        LeggiValore(p, virgolette, attributo, tag);
        if (m_testiAttributi.size() > AttributiMassimo)
            Errore(tag, "attributi del tag oltre " + std::to_string(AttributiMassimo) + " byte");
    }
    if (m_letti.size() > 1)
        ControllaRipetuti();
    for (const AttributoLetto& a : m_letti) {
        m_attributi.push_back({{m_testiAttributi.data() + a.nomeTesto, a.lunghezzaTesto},
                               {m_testiAttributi.data() + a.valore, a.lunghezzaValore},
                               a.riga,
                               a.colonna,
                               a.sostituiti});
        m_sostituiti = m_sostituiti || a.sostituiti;
    }
}

// An attribute named twice in the tag just read: the first repetition in the document's order.
void LettoreXML::ControllaRipetuti() {
    const auto nome = [&](const AttributoLetto& a) {
        return std::string_view(m_testiAttributi.data() + a.nome, a.lunghezzaNome);
    };
    std::size_t ripetuto = m_letti.size();
    if (m_letti.size() <= 16) {
        for (std::size_t j = 1; j < m_letti.size() && ripetuto == m_letti.size(); ++j)
            for (std::size_t i = 0; i < j; ++i)
                if (nome(m_letti[i]) == nome(m_letti[j])) {
                    ripetuto = j;
                    break;
                }
    } else {
        std::vector<std::size_t> ordine(m_letti.size());
        for (std::size_t i = 0; i < ordine.size(); ++i)
            ordine[i] = i;
        std::sort(ordine.begin(), ordine.end(), [&](std::size_t a, std::size_t b) {
            const auto na = nome(m_letti[a]), nb = nome(m_letti[b]);
            return na != nb ? na < nb : a < b;
        });
        for (std::size_t k = 1; k < ordine.size(); ++k)
            if (nome(m_letti[ordine[k]]) == nome(m_letti[ordine[k - 1]]) &&
                (k < 2 || nome(m_letti[ordine[k - 1]]) != nome(m_letti[ordine[k - 2]])))
                ripetuto = std::min(ripetuto, ordine[k]);
    }
    if (ripetuto < m_letti.size()) {
        const AttributoLetto& a = m_letti[ripetuto];
        Errore(Posizione{a.riga, a.colonna},
               "attributo '" + m_testiAttributi.substr(a.nomeTesto, a.lunghezzaTesto) + "' ripetuto");
    }
}

void LettoreXML::LeggiFineElemento(const char*& p) {
    const Posizione dove = Dove(p);
    p += 2;
    const Aperto& aperto = m_aperti.back();
    const std::string_view atteso(m_pila.data() + aperto.inizio, aperto.lunghezza);
    // The usual end tag is the open element's name and ">": compared as it stands, without reading
    // the name character by character.
    if (Garantisci(p, atteso.size() + 1) && p[atteso.size()] == '>' &&
        std::memcmp(p, atteso.data(), atteso.size()) == 0)
        p += atteso.size() + 1;
    else
        LeggiFineElementoIntera(p, dove);
    m_nomeSostituito = false;
    if (aperto.nonAscii && m_codifica == Codifica::Utf8) {
        m_nomeLatin1 = Latin1(atteso, &m_nomeSostituito);
        m_nome = m_nomeLatin1;
    } else {
        m_nome = atteso;
    }
    m_sostituiti = m_nomeSostituito;
    m_aperti.pop_back();
    m_evento = Evento::FineElemento;
    m_rigaEvento = dove.riga;
    m_colonnaEvento = dove.colonna;
}

// The end tag from its name, read character by character: blanks before ">", or an error.
void LettoreXML::LeggiFineElementoIntera(const char*& p, Posizione dove) {
    const Aperto& aperto = m_aperti.back();
    const std::string_view atteso(m_pila.data() + aperto.inizio, aperto.lunghezza);
    bool nonAscii = false;
    const std::string_view nome = LeggiNome(p, nonAscii);
    if (nome.empty() && *p == 0 && p == m_fine)
        Errore(p, "tag di chiusura non chiuso alla fine del documento");
    if (nome.empty())
        ErroreCarattere(p, "nome di elemento non valido: ", " dopo '</'");
    if (nome != atteso)
        Errore(dove, "tag di chiusura '</" + Latin1(nome) + ">' non corrispondente a '<" + Latin1(atteso) +
                         ">' (riga " + std::to_string(aperto.riga) + ", colonna " + std::to_string(aperto.colonna) +
                         ")");
    SaltaSpazi(p);
    if (Byte(p) == 0 && p == m_fine)
        Errore(p, "tag di chiusura '</" + Latin1(atteso) + "' non chiuso alla fine del documento");
    if (*p != '>')
        ErroreCarattere(p, "atteso '>' nel tag di chiusura '</" + Latin1(atteso) + "' al posto del ", "");
    ++p;
}

// The end of the element just read as <a/>, at the place of its tag.
Evento LettoreXML::FineDelVuoto() {
    m_fineInSospeso = false;
    const Aperto aperto = m_aperti.back();
    m_aperti.pop_back();
    m_sostituiti = m_nomeSostituito;
    m_evento = Evento::FineElemento;
    m_rigaEvento = aperto.riga;
    m_colonnaEvento = aperto.colonna;
    if (m_aperti.empty())
        m_stato = Stato::Epilogo;
    return m_evento;
}

// ---- Character data

// The text from p to the next tag. False when there is none (only comments or processing
// instructions were there). The text is the bytes from m_conserva to p as long as they need no
// change; from the first change on it is built in m_testoCopia (m_copia), into which each run of
// unchanged bytes is poured.
bool LettoreXML::LeggiTesto(const char*& inizio) {
    const char* p = inizio;
    const Posizione dove = Dove(p);
    m_conserva = p;
    m_copia = false;
    m_altri.clear();
    // A text that begins with CR LF (the line end before an indented tag) is kept in place all the
    // same, from its LF.
    if (*p == '\r' && p[1] == '\n') {
        p += 2;
        NuovaRiga(p);
        m_conserva = p - 1;
    }
    const Tabelle::Tabella& tabella = m_tabelle->testo;
    for (;;) {
        p = Fermata(p, tabella);
        if (*p == '\n') {
            ++p;
            ++m_nonCRLF;
            NuovaRiga(p);
        } else if (*p == '<' && p + 1 != m_fine && p[1] != '!' && p[1] != '?') {
            break;
        } else if (!FermataNelTesto(p)) {
            break;
        }
    }
    inizio = p;
    if (m_copia) {
        Versa(p);
        m_testo = m_testoCopia;
    } else {
        m_testo = {m_conserva, static_cast<std::size_t>(p - m_conserva)};
    }
    if (m_testo.empty())
        return false;
    m_evento = Evento::Testo;
    m_rigaEvento = dove.riga;
    m_colonnaEvento = dove.colonna;
    return true;
}

// The text from m_conserva to p into m_testoCopia.
void LettoreXML::Versa(const char* p) {
    if (!m_copia) {
        m_testoCopia.clear();
        m_copia = true;
    }
    m_testoCopia.append(m_conserva, static_cast<std::size_t>(p - m_conserva));
}

// What stopped the quick scan of a text, other than a LF and a tag: false when the text ends there.
bool LettoreXML::FermataNelTesto(const char*& p) {
    switch (*p) {
    case '<':
        if (!Garantisci(p, 2) || (p[1] != '!' && p[1] != '?'))
            return false;
        if (Inizia(p, "<!--")) {
            Versa(p);
            LeggiCommento(p);
        } else if (Inizia(p, "<?")) {
            Versa(p);
            LeggiIstruzione(p);
        } else if (Inizia(p, "<![CDATA[")) {
            Versa(p);
            LeggiCData(p, m_testoCopia, m_sostituiti);
        } else {
            Errore(p, "'<!' non ammesso nel contenuto di un elemento: attesi '<!--' o '<![CDATA['");
        }
        m_conserva = p;
        return true;
    case '&':
        Versa(p);
        LeggiRiferimento(p, m_testoCopia, m_sostituiti);
        m_conserva = p;
        return true;
    case '\r':
        Versa(p);
        m_testoCopia += '\n';
        FineRiga(p);
        m_conserva = p;
        return true;
    case ']':
        if (Inizia(p, "]]>"))
            Errore(p, "sequenza ']]>' non ammessa nel testo");
        ++p;
        return true;
    case 0:
        if (p == m_fine) {
            if ((m_copia ? m_testoCopia.size() : 0) + static_cast<std::size_t>(p - m_conserva) >= PezzoTesto)
                return false;
            if (m_copia) {
                Versa(p);
                m_conserva = p;
            }
            if (!Ricarica(p)) {
                const Aperto& aperto = m_aperti.back();
                Errore(p, "fine del documento con l'elemento '<" +
                              Latin1({m_pila.data() + aperto.inizio, aperto.lunghezza}) + ">' (riga " +
                              std::to_string(aperto.riga) + ", colonna " + std::to_string(aperto.colonna) +
                              ") non chiuso");
            }
            return true;
        }
        [[fallthrough]];
    default:
        if (U(*p) < 0x80)
            ErroreCarattere(p, "", " non ammesso in XML");
        Versa(p);
        AggiungiCarattere(m_testoCopia, LeggiCarattere(p), m_sostituiti);
        m_conserva = p;
        return true;
    }
}

// ---- Events

Evento LettoreXML::Prossimo() {
    if (m_stato != Stato::Contenuto || m_fineInSospeso)
        return ProssimoFuoriDalContenuto();
    m_sostituiti = false;
    m_vuoto = false;
    m_attributi.clear();
    const char* p = m_p;
    m_conserva = p;
    for (;;) {
        if (Byte(p) == '<') {
            // What follows "<" (the NUL after the last byte at the end): "/" ends an element, "!"
            // and
            // "?" are read with the text, anything else begins an element.
            Garantisci(p, 2);
            if (p[1] == '/') {
                LeggiFineElemento(p);
                if (m_aperti.empty())
                    m_stato = Stato::Epilogo;
                break;
            }
            if (p[1] != '!' && p[1] != '?') {
                LeggiInizioElemento(p);
                break;
            }
        }
        if (LeggiTesto(p))
            break;
    }
    m_p = p;
    return m_evento;
}

// The events outside the root element's content: the declaration, the root's start, what follows
// its end; and the end of an element written as <a/>.
Evento LettoreXML::ProssimoFuoriDalContenuto() {
    if (m_stato == Stato::Errore)
        throw *m_errore;
    m_sostituiti = false;
    m_vuoto = false;
    m_attributi.clear();
    if (m_fineInSospeso)
        return FineDelVuoto();
    const char* p = m_p;
    m_conserva = p;
    switch (m_stato) {
    case Stato::Inizio:
        LeggiDichiarazione(p);
        m_stato = Stato::Prologo;
        [[fallthrough]];
    case Stato::Prologo:
        if (!SaltaMisc(p, true))
            Errore(p, "elemento radice mancante");
        if (Inizia(p, "</"))
            Errore(p, "tag di chiusura prima dell'elemento radice");
        if (Inizia(p, "<!"))
            Errore(p, "'<!' non ammesso prima dell'elemento radice: attesi '<!--' o l'elemento");
        if (*p != '<')
            ErroreCarattere(p, "contenuto non ammesso prima dell'elemento radice: ", "");
        LeggiInizioElemento(p);
        m_stato = Stato::Contenuto;
        break;
    case Stato::Epilogo: {
        if (!SaltaMisc(p, false)) {
            const Posizione dove = Dove(p);
            m_stato = Stato::Finito;
            m_evento = Evento::FineDocumento;
            m_rigaEvento = dove.riga;
            m_colonnaEvento = dove.colonna;
            break;
        }
        if (Inizia(p, "</"))
            Errore(p, "tag di chiusura dopo la fine dell'elemento radice");
        if (Inizia(p, "<!"))
            Errore(p, "'<!' non ammesso dopo la fine dell'elemento radice: atteso '<!--'");
        if (*p == '<')
            Errore(p, "secondo elemento radice: il documento ne ammette uno solo");
        ErroreCarattere(p, "contenuto non ammesso dopo la fine dell'elemento radice: ", "");
    }
    case Stato::Finito:
        m_evento = Evento::FineDocumento;
        break;
    case Stato::Contenuto:
    case Stato::Errore:
        break;
    }
    m_p = p;
    return m_evento;
}

} // namespace xml
