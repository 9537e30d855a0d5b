// The XML reader's markup: the declaration, names and blanks, comments, processing instructions and CDATA
// sections (one scan to their terminator), references.

#include "xml/caratteri.h"

#include "shell/testo.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace xml {

namespace {

// clang-format off
// The entities that XML declares by itself; any other needs a DTD.
struct Entita {
    std::string_view nome;
    char carattere;
};
constexpr auto EntitaPredefinite = std::to_array<Entita>({
    {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"apos", '\''}, {"quot", '"'},
});

// The encodings read, by the names a declaration may give them (in any letter case).
struct NomeCodifica {
    std::string_view nome;
    Codifica codifica;
};
constexpr auto NomiCodifica = std::to_array<NomeCodifica>({
    {"UTF-8",      Codifica::Utf8},
    {"UTF8",       Codifica::Utf8},
    {"ISO-8859-1", Codifica::Iso88591},
    {"ISO_8859-1", Codifica::Iso88591},
    {"LATIN1",     Codifica::Iso88591},
    {"US-ASCII",   Codifica::UsAscii},
    {"ASCII",      Codifica::UsAscii},
});

// The first bytes of a document in an encoding that is not read (XML 1.0, appendix F).
struct Firma {
    std::string_view byte;
    std::string_view codifica;
};
constexpr auto FirmeNonLette = std::to_array<Firma>({
    {{"\x00\x00\xFE\xFF", 4}, "UCS-4"},
    {{"\xFF\xFE\x00\x00", 4}, "UCS-4"},
    {{"\x00\x00\x00\x3C", 4}, "UCS-4"},
    {{"\x3C\x00\x00\x00", 4}, "UCS-4"},
    {{"\xFE\xFF", 2},         "UTF-16"},
    {{"\xFF\xFE", 2},         "UTF-16"},
    {{"\x00\x3C\x00\x3F", 4}, "UTF-16"},
    {{"\x3C\x00\x3F\x00", 4}, "UTF-16"},
    {{"\x4C\x6F\xA7\x94", 4}, "EBCDIC"},
});
// clang-format on

constexpr std::string_view CodificheLette = "ISO-8859-1, UTF-8 e US-ASCII";

bool UgualiSenzaMaiuscole(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'a' && x <= 'z' ? x - 32 : x) == (y >= 'a' && y <= 'z' ? y - 32 : y);
           });
}

} // namespace

// ---- The XML declaration

void LettoreXML::LeggiDichiarazione(const char*& p) {
    if (!Garantisci(p, 1))
        Errore(Posizione{1, 1}, "documento vuoto");
    if (Inizia(p, "\xEF\xBB\xBF")) {
        m_dichiarazione.bom = true;
        p += 3;
        m_offsetPunto = Offset(p);
    } else {
        for (const Firma& f : FirmeNonLette)
            if (Inizia(p, f.byte))
                Errore(Posizione{1, 1}, "documento in " + std::string(f.codifica) +
                                            ": codifica non supportata, ammesse " + std::string(CodificheLette));
    }
    Codifica codifica = Codifica::Utf8;
    if (Inizia(p, "<?xml ") || Inizia(p, "<?xml\t") || Inizia(p, "<?xml\n") || Inizia(p, "<?xml\r")) {
        m_dichiarazione.presente = true;
        p += 5;
        SaltaSpazi(p);
        if (!Inizia(p, "version"))
            Errore(p, "dichiarazione XML senza versione");
        const Posizione doveVersione = Dove(p);
        p += 7;
        std::string& versione = m_dichiarazione.versione;
        LeggiPseudoAttributo(p, "version", versione);
        if (versione.size() < 3 || versione.compare(0, 2, "1.") != 0 ||
            !std::all_of(versione.begin() + 2, versione.end(), [](char c) { return c >= '0' && c <= '9'; }))
            Errore(doveVersione, "versione XML '" + versione + "' non ammessa: attesa 1.0");
        bool conCodifica = false;
        for (;;) {
            const bool spazio = SaltaSpazi(p);
            if (Inizia(p, "?>")) {
                p += 2;
                break;
            }
            if (Byte(p) == 0 && p == m_fine)
                Errore(p, "dichiarazione XML non chiusa: atteso '?>'");
            if (!spazio)
                ErroreCarattere(p, "dichiarazione XML: atteso uno spazio o '?>' al posto del ", "");
            if (!conCodifica && !m_dichiarazione.standalone && Inizia(p, "encoding")) {
                const Posizione dove = Dove(p);
                p += 8;
                std::string& nome = m_dichiarazione.codifica;
                LeggiPseudoAttributo(p, "encoding", nome);
                conCodifica = true;
                if (nome.empty() || !((nome[0] >= 'A' && nome[0] <= 'Z') || (nome[0] >= 'a' && nome[0] <= 'z')))
                    Errore(dove, "nome di codifica '" + nome + "' non valido");
                const auto trovata = std::find_if(NomiCodifica.begin(), NomiCodifica.end(), [&](const NomeCodifica& n) {
                    return UgualiSenzaMaiuscole(n.nome, nome);
                });
                if (trovata == NomiCodifica.end())
                    Errore(dove, "codifica '" + nome + "' non supportata: ammesse " + std::string(CodificheLette));
                if (m_dichiarazione.bom && trovata->codifica != Codifica::Utf8)
                    Errore(dove, "codifica '" + nome + "' dichiarata in un documento che inizia con il BOM di UTF-8");
                codifica = trovata->codifica;
            } else if (!m_dichiarazione.standalone && Inizia(p, "standalone")) {
                const Posizione dove = Dove(p);
                p += 10;
                std::string valore;
                LeggiPseudoAttributo(p, "standalone", valore);
                if (valore != "yes" && valore != "no")
                    Errore(dove, "standalone '" + valore + "' non ammesso: attesi 'yes' o 'no'");
                m_dichiarazione.standalone = valore == "yes";
            } else {
                ErroreCarattere(p, "dichiarazione XML: atteso '?>' al posto del ", "");
            }
        }
    }
    m_codifica = codifica;
    m_tabelle = codifica == Codifica::Iso88591 ? &TabelleLatin1 : &TabelleMultibyte;
}

// `= "valore"` of version, encoding or standalone: letters, digits, ".", "_" and "-" only.
void LettoreXML::LeggiPseudoAttributo(const char*& p, std::string_view nome, std::string& valore) {
    const std::string quale = "'" + std::string(nome) + "'";
    SaltaSpazi(p);
    if (Byte(p) != '=')
        Errore(p, "dichiarazione XML: atteso '=' dopo " + quale);
    ++p;
    SaltaSpazi(p);
    const char virgolette = Byte(p);
    if (virgolette != '"' && virgolette != '\'')
        Errore(p, "dichiarazione XML: valore di " + quale + " senza virgolette");
    ++p;
    valore.clear();
    for (;;) {
        const char c = Byte(p);
        if (c == virgolette) {
            ++p;
            return;
        }
        if (c == 0 && p == m_fine)
            Errore(p, "dichiarazione XML non chiusa: atteso '?>'");
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
              c == '-'))
            ErroreCarattere(p, "dichiarazione XML: ", " non ammesso nel valore di " + quale);
        if (valore.size() >= NomeMassimo)
            Errore(p, "dichiarazione XML: valore di " + quale + " troppo lungo");
        valore += c;
        ++p;
    }
}

// ---- Names, blanks, comments, processing instructions, CDATA, references

// The name at p, as the document writes it (valid until more is read), or empty when p holds no
// character that may begin a name. nonAscii is set when a UTF-8 character of two or more bytes is
// in it. A name of one-byte characters that ends inside the bytes read is read here at once; any
// other is read again from its beginning by LeggiNomeIntero.
std::string_view LettoreXML::LeggiNome(const char*& inizio, bool& nonAscii) {
    const char* p = inizio;
    m_conserva = p;
    const Tabelle::Tabella& tabella = m_tabelle->nome;
    if (tabella[U(*p)] & NomeInizia) {
        for (++p; tabella[U(*p)] & NomeSegue;)
            ++p;
        const auto lunghezza = static_cast<std::size_t>(p - inizio);
        if (!(tabella[U(*p)] & NomeDecodifica) && p != m_fine && lunghezza <= NomeMassimo) {
            inizio = p;
            return {m_conserva, lunghezza};
        }
    }
    return LeggiNomeIntero(inizio, nonAscii);
}

std::string_view LettoreXML::LeggiNomeIntero(const char*& p, bool& nonAscii) {
    m_conserva = p;
    const Tabelle::Tabella& tabella = m_tabelle->nome;
    std::uint8_t richiesta = NomeInizia;
    for (;;) {
        const std::uint8_t classe = tabella[U(*p)];
        if (classe & richiesta) {
            richiesta = NomeSegue;
            for (++p; tabella[U(*p)] & NomeSegue;)
                ++p;
            continue;
        }
        if (classe & NomeDecodifica) {
            const auto prima = static_cast<std::size_t>(p - m_conserva);
            if (ClasseNome(LeggiCarattere(p)) & richiesta) {
                nonAscii = true;
                richiesta = NomeSegue;
                continue;
            }
            p = m_conserva + prima;
            break;
        }
        if (*p == 0 && p == m_fine) {
            if (static_cast<std::size_t>(p - m_conserva) > NomeMassimo)
                break;
            if (Ricarica(p))
                continue;
        }
        break;
    }
    if (static_cast<std::size_t>(p - m_conserva) > NomeMassimo)
        Errore(m_conserva, "nome oltre " + std::to_string(NomeMassimo) + " byte");
    return {m_conserva, static_cast<std::size_t>(p - m_conserva)};
}

// Passes over blanks (S); true when there was at least one.
bool LettoreXML::SaltaSpazi(const char*& p) {
    if (*p != ' ' && *p != '\t' && *p != '\n' && *p != '\r' && (*p != 0 || p != m_fine))
        return false;
    if (*p == ' ' && U(p[1]) > ' ') {
        ++p;
        return true;
    }
    bool spazi = false;
    for (;;) {
        const char c = *p;
        if (c == ' ' || c == '\t') {
            ++p;
        } else if (c == '\n' || c == '\r') {
            m_conserva = p;
            FineRiga(p);
        } else if (c == 0 && p == m_fine) {
            m_conserva = p;
            if (!Ricarica(p))
                return spazi;
            continue;
        } else {
            return spazi;
        }
        spazi = true;
    }
}

// Passes over blanks, comments and processing instructions outside the root element; false at the
// end of the document.
bool LettoreXML::SaltaMisc(const char*& p, bool prologo) {
    for (;;) {
        SaltaSpazi(p);
        if (Byte(p) == 0 && p == m_fine)
            return false;
        if (Inizia(p, "<!--"))
            LeggiCommento(p);
        else if (Inizia(p, "<?"))
            LeggiIstruzione(p);
        else if (prologo && Inizia(p, "<!DOCTYPE"))
            Errore(Dove(p), "DTD non ammessa", true);
        else
            return true;
    }
}

// What ends a comment, a processing instruction and a CDATA section: the bytes its scan stops at, its
// terminator, a sequence it may not hold, and what is said when the document ends inside it.
struct Sezione {
    Tabelle::Tabella Tabelle::*tabella;
    std::string_view fine;
    std::string_view vietata;
    std::string_view motivoVietata;
    std::string_view nonChiusa;
};
namespace {
constexpr Sezione Commento{&Tabelle::commento, "-->", "--", "'--' non ammesso in un commento",
                           "commento non chiuso alla fine del documento"};
constexpr Sezione Istruzione{
    &Tabelle::istruzione, "?>", {}, {}, "istruzione di elaborazione non chiusa alla fine del documento"};
constexpr Sezione CData{&Tabelle::cdata, "]]>", {}, {}, "sezione CDATA non chiusa alla fine del documento"};
} // namespace

// From p to the end of the section begun at `dove`, past its terminator. Its characters, line ends made LF,
// are appended to `destinazione` when there is one.
void LettoreXML::LeggiFinoA(const char*& p, const Sezione& sezione, Posizione dove, std::string* destinazione,
                            bool* sostituiti) {
    const Tabelle::Tabella& tabella = (*m_tabelle).*sezione.tabella;
    m_conserva = p;
    for (;;) {
        p = Fermata(p, tabella);
        if (destinazione)
            destinazione->append(m_conserva, static_cast<std::size_t>(p - m_conserva));
        m_conserva = p;
        if (*p == sezione.fine[0]) {
            if (!Garantisci(p, sezione.fine.size()))
                Errore(dove, std::string(sezione.nonChiusa));
            if (std::string_view(p, sezione.fine.size()) == sezione.fine) {
                p += sezione.fine.size();
                m_conserva = p;
                return;
            }
            if (!sezione.vietata.empty() && std::string_view(p, sezione.vietata.size()) == sezione.vietata)
                Errore(p, std::string(sezione.motivoVietata));
            ++p;
            continue;
        }
        switch (*p) {
        case '\n':
            FineRiga(p);
            break;
        case '\r':
            if (destinazione)
                *destinazione += '\n';
            FineRiga(p);
            m_conserva = p;
            break;
        case 0:
            if (p == m_fine) {
                if (!Ricarica(p))
                    Errore(dove, std::string(sezione.nonChiusa));
                break;
            }
            [[fallthrough]];
        default: {
            if (U(*p) < 0x80)
                ErroreCarattere(p, "", " non ammesso in XML");
            const char32_t c = LeggiCarattere(p);
            if (destinazione)
                AggiungiCarattere(*destinazione, c, *sostituiti);
            m_conserva = p;
        }
        }
    }
}

void LettoreXML::LeggiCommento(const char*& p) {
    const Posizione dove = Dove(p);
    p += 4;
    LeggiFinoA(p, Commento, dove, nullptr, nullptr);
}

void LettoreXML::LeggiIstruzione(const char*& p) {
    const Posizione dove = Dove(p);
    p += 2;
    bool nonAscii = false;
    const std::string_view nome = LeggiNome(p, nonAscii);
    if (nome.empty())
        ErroreCarattere(p, "istruzione di elaborazione senza nome: ", " dopo '<?'");
    if (UgualiSenzaMaiuscole(nome, "xml"))
        Errore(dove, nome == "xml" ? "dichiarazione XML ammessa solo all'inizio del documento"
                                   : "nome di istruzione di elaborazione '" + std::string(nome) + "' riservato");
    m_lavoro = Latin1(nome);
    if (Inizia(p, "?>")) {
        p += 2;
        return;
    }
    if (!SaltaSpazi(p)) {
        if (*p == 0 && p == m_fine)
            Errore(dove, "istruzione di elaborazione non chiusa alla fine del documento");
        Errore(p, "atteso uno spazio dopo il nome dell'istruzione di elaborazione '" + m_lavoro + "'");
    }
    LeggiFinoA(p, Istruzione, dove, nullptr, nullptr);
}

// The content of a CDATA section, appended to `destinazione`.
void LettoreXML::LeggiCData(const char*& p, std::string& destinazione, bool& sostituiti) {
    const Posizione dove = Dove(p);
    p += 9;
    LeggiFinoA(p, CData, dove, &destinazione, &sostituiti);
}

// The reference at p ("&"), its character appended to `destinazione`.
void LettoreXML::LeggiRiferimento(const char*& p, std::string& destinazione, bool& sostituiti) {
    const Posizione dove = Dove(p);
    ++p;
    m_conserva = p;
    if (Byte(p) == '#') {
        ++p;
        int base = 10;
        if (Byte(p) == 'x') {
            base = 16;
            ++p;
        }
        char32_t valore = 0;
        bool cifre = false;
        for (;;) {
            m_conserva = p;
            const char c = Byte(p);
            int cifra = -1;
            if (c >= '0' && c <= '9')
                cifra = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f')
                cifra = c - 'a' + 10;
            else if (base == 16 && c >= 'A' && c <= 'F')
                cifra = c - 'A' + 10;
            if (cifra < 0)
                break;
            cifre = true;
            valore = std::min<char32_t>(valore * static_cast<char32_t>(base) + static_cast<char32_t>(cifra), 0x110000);
            ++p;
        }
        if (!cifre)
            Errore(dove, "riferimento a carattere senza cifre");
        if (*p != ';')
            Errore(dove, "riferimento a carattere non chiuso da ';'");
        ++p;
        if (!CarattereXML(valore))
            Errore(dove, "riferimento a un carattere non ammesso in XML (" +
                             (valore > 0x10FFFF ? std::string("oltre U+10FFFF") : CodicePunto(valore)) + ")");
        AggiungiCarattere(destinazione, valore, sostituiti);
        return;
    }
    bool nonAscii = false;
    const std::string_view nome = LeggiNome(p, nonAscii);
    if (nome.empty())
        Errore(dove, "carattere '&' non seguito da un nome di entit\xE0 o da '#'");
    m_lavoro = Latin1(nome);
    const auto entita = std::find_if(EntitaPredefinite.begin(), EntitaPredefinite.end(),
                                     [&](const Entita& e) { return e.nome == nome; });
    if (Byte(p) != ';')
        Errore(dove, "riferimento '&" + m_lavoro + "' non chiuso da ';'");
    ++p;
    if (entita == EntitaPredefinite.end())
        Errore(dove, "entit\xE0 '" + m_lavoro + "' non dichiarata");
    destinazione += entita->carattere;
}

} // namespace xml
