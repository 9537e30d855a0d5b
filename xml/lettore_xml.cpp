#include "xml/lettore_xml.h"

#include "shell/testo.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace xml {

namespace {

// Classes of a byte in a name.
enum : std::uint8_t {
    NomeSegue = 1,     // may follow the first character of a name
    NomeInizia = 2,    // may begin a name
    NomeDecodifica = 4 // begins a character of more than one byte: decode it first
};

struct Intervallo {
    char32_t da, a;
    std::uint8_t classe;
};

// clang-format off
// Name characters of XML 1.0, fifth edition (productions [4] and [4a]): NameStartChar, then the
// characters that may only follow it.
inline constexpr auto CaratteriNome = std::to_array<Intervallo>({
//   da        a         classe
    {':',     ':',      NomeInizia | NomeSegue},
    {'A',     'Z',      NomeInizia | NomeSegue},
    {'_',     '_',      NomeInizia | NomeSegue},
    {'a',     'z',      NomeInizia | NomeSegue},
    {0xC0,    0xD6,     NomeInizia | NomeSegue},
    {0xD8,    0xF6,     NomeInizia | NomeSegue},
    {0xF8,    0x2FF,    NomeInizia | NomeSegue},
    {0x370,   0x37D,    NomeInizia | NomeSegue},
    {0x37F,   0x1FFF,   NomeInizia | NomeSegue},
    {0x200C,  0x200D,   NomeInizia | NomeSegue},
    {0x2070,  0x218F,   NomeInizia | NomeSegue},
    {0x2C00,  0x2FEF,   NomeInizia | NomeSegue},
    {0x3001,  0xD7FF,   NomeInizia | NomeSegue},
    {0xF900,  0xFDCF,   NomeInizia | NomeSegue},
    {0xFDF0,  0xFFFD,   NomeInizia | NomeSegue},
    {0x10000, 0xEFFFF,  NomeInizia | NomeSegue},
    {'-',     '-',      NomeSegue},
    {'.',     '.',      NomeSegue},
    {'0',     '9',      NomeSegue},
    {0xB7,    0xB7,     NomeSegue},
    {0x300,   0x36F,    NomeSegue},
    {0x203F,  0x2040,   NomeSegue},
});

// The entities that XML declares by itself; any other needs a DTD.
struct Entita {
    std::string_view nome;
    char carattere;
};
inline constexpr auto EntitaPredefinite = std::to_array<Entita>({
    {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"apos", '\''}, {"quot", '"'},
});

// The encodings read, by the names a declaration may give them (in any letter case).
struct NomeCodifica {
    std::string_view nome;
    Codifica codifica;
};
inline constexpr auto NomiCodifica = std::to_array<NomeCodifica>({
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
inline constexpr auto FirmeNonLette = std::to_array<Firma>({
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

constexpr std::uint8_t ClasseNome(char32_t c) {
    for (const Intervallo& i : CaratteriNome)
        if (c >= i.da && c <= i.a)
            return i.classe;
    return 0;
}

// Char of XML 1.0 (production [2]).
constexpr bool CarattereXML(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

unsigned char U(char c) { return static_cast<unsigned char>(c); }

// One UTF-8 character from p (its first byte 0x80 or above), at most up to `fine`: its code point
// and length, or false when the bytes are not UTF-8 (overlong forms and surrogates included).
bool DecodificaUtf8(const char* p, const char* fine, char32_t& carattere, int& lunghezza) {
    const unsigned char u = U(*p);
    char32_t minimo;
    if ((u & 0xE0) == 0xC0) {
        lunghezza = 2;
        carattere = u & 0x1F;
        minimo = 0x80;
    } else if ((u & 0xF0) == 0xE0) {
        lunghezza = 3;
        carattere = u & 0x0F;
        minimo = 0x800;
    } else if ((u & 0xF8) == 0xF0) {
        lunghezza = 4;
        carattere = u & 0x07;
        minimo = 0x10000;
    } else {
        lunghezza = 1;
        return false;
    }
    for (int i = 1; i < lunghezza; ++i) {
        if (p + i >= fine || (U(p[i]) & 0xC0) != 0x80) {
            lunghezza = i + 1 <= fine - p ? i + 1 : static_cast<int>(fine - p);
            return false;
        }
        carattere = carattere << 6 | (U(p[i]) & 0x3F);
    }
    return carattere >= minimo && carattere <= 0x10FFFF && (carattere < 0xD800 || carattere > 0xDFFF);
}

std::string Esadecimale(unsigned long valore, int cifre) {
    constexpr char Esadecimali[] = "0123456789ABCDEF";
    std::string testo(static_cast<std::size_t>(cifre), '0');
    for (int i = cifre - 1; i >= 0; --i, valore >>= 4)
        testo[static_cast<std::size_t>(i)] = Esadecimali[valore & 15];
    return testo;
}

std::string CodicePunto(char32_t c) {
    std::string testo = "U+";
    return testo.append(Esadecimale(c, c > 0xFFFF ? 6 : 4));
}

std::string EsaByte(unsigned char u) {
    std::string testo = "0x";
    return testo.append(Esadecimale(u, 2));
}

bool UgualiSenzaMaiuscole(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'a' && x <= 'z' ? x - 32 : x) == (y >= 'a' && y <= 'z' ? y - 32 : y);
           });
}

} // namespace

// The bytes that stop the quick scan of each kind of text: control characters (TAB only where it
// must become a blank), the kind's own markup, and the bytes of characters longer than one byte.
struct Tabelle {
    using Tabella = std::array<std::uint8_t, 256>;
    Tabella testo;
    Tabella valore;
    Tabella commento;
    Tabella istruzione;
    Tabella cdata;
    Tabella nome;
};

namespace {

constexpr Tabelle::Tabella Ferma(std::string_view markup, bool tab, bool oltreAscii) {
    Tabelle::Tabella t{};
    for (unsigned b = 0; b < 0x20; ++b)
        t[b] = 1;
    t['\t'] = tab ? 1 : 0;
    for (const char c : markup)
        t[static_cast<unsigned char>(c)] = 1;
    if (oltreAscii)
        for (unsigned b = 0x80; b < 0x100; ++b)
            t[b] = 1;
    return t;
}

constexpr Tabelle CreaTabelle(bool unByte) {
    Tabelle t{};
    t.testo = Ferma("<&]", false, !unByte);
    t.valore = Ferma("<&\"'", true, !unByte);
    t.commento = Ferma("-", false, !unByte);
    t.istruzione = Ferma("?", false, !unByte);
    t.cdata = Ferma("]", false, !unByte);
    for (unsigned b = 0; b < 0x100; ++b)
        t.nome[b] = b < 0x80 || unByte ? ClasseNome(b) : static_cast<std::uint8_t>(NomeDecodifica);
    return t;
}

// ISO-8859-1, where every byte is a character; UTF-8 and US-ASCII, where the bytes above 0x7F are
// decoded (or refused) one character at a time.
constexpr Tabelle TabelleLatin1 = CreaTabelle(true);
constexpr Tabelle TabelleMultibyte = CreaTabelle(false);

// The first byte from p that its table stops at; the NUL after the bytes read stops every table.
const char* Fermata(const char* p, const Tabelle::Tabella& tabella) {
    while (!tabella[U(*p)])
        ++p;
    return p;
}

} // namespace

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

// ---- Lines and columns

// In UTF-8 the column of q counts the characters from the checkpoint, which moves to q; in the
// other encodings every byte is a character and the checkpoint stays at the line's beginning.
void LettoreXML::AvanzaPunto(const char* q) {
    const std::int64_t offset = Offset(q);
    if (m_codifica != Codifica::Utf8 || offset <= m_offsetPunto)
        return;
    for (const char* c = m_dati + (m_offsetPunto - m_base); c < q; ++c)
        if ((U(*c) & 0xC0) != 0x80)
            ++m_colonnaPunto;
    m_offsetPunto = offset;
}

// Past the line end at p: LF, CR LF or a CR alone.
void LettoreXML::FineRiga(const char*& p) {
    if (*p == '\r' && (p[1] == '\n' || (p + 1 == m_fine && Garantisci(p, 2) && p[1] == '\n'))) {
        p += 2;
    } else {
        ++p;
        ++m_nonCRLF;
    }
    NuovaRiga(p);
}

void LettoreXML::Errore(Posizione dove, std::string motivo, bool benFormato) {
    m_stato = Stato::Errore;
    m_errore.emplace(dove.riga, dove.colonna, std::move(motivo), benFormato);
    throw *m_errore;
}

void LettoreXML::Errore(const char* dove, std::string motivo) { Errore(Dove(dove), std::move(motivo)); }

// An error at the character at p, described between `prima` and `dopo`: described first, since its
// description may read on, and with it p.
void LettoreXML::ErroreCarattere(const char*& p, std::string_view prima, std::string_view dopo) {
    std::string motivo(prima);
    motivo.append(Descrivi(p)).append(dopo);
    Errore(p, std::move(motivo));
}

// ---- Characters

// The character at p, whose first byte is 0x80 or above, read according to the encoding; p moves
// past it.
char32_t LettoreXML::LeggiCarattere(const char*& p) {
    if (m_codifica == Codifica::Iso88591)
        return U(*p++);
    if (m_codifica == Codifica::UsAscii)
        Errore(p, "byte " + EsaByte(U(*p)) + " non ammesso nella codifica US-ASCII");
    Garantisci(p, 4);
    char32_t c;
    int lunghezza;
    if (!DecodificaUtf8(p, m_fine, c, lunghezza)) {
        std::string byte;
        for (int i = 0; i < lunghezza; ++i)
            byte.append(" ").append(EsaByte(U(p[i])));
        Errore(p, "sequenza UTF-8 non valida: byte" + byte);
    }
    if (!CarattereXML(c))
        Errore(p, "carattere " + CodicePunto(c) + " non ammesso in XML");
    p += lunghezza;
    return c;
}

void LettoreXML::AggiungiCarattere(std::string& destinazione, char32_t c, bool& sostituiti) {
    if (c <= 0xFF) {
        destinazione += static_cast<char>(c);
    } else {
        if (&destinazione == &m_testoCopia)
            m_altri.push_back({destinazione.size(), c});
        destinazione += '?';
        sostituiti = true;
    }
}

std::string_view TestoCanonico(std::string_view testo, std::span<const CarattereAltro> altri, std::string& appoggio) {
    if (altri.empty() && testo.find('&') == std::string_view::npos)
        return testo;
    appoggio.clear();
    std::size_t prossimo = 0; // in altri
    for (std::size_t i = 0; i < testo.size(); ++i) {
        if (prossimo < altri.size() && altri[prossimo].posizione == i)
            appoggio.append(shell::RiferimentoCarattere(altri[prossimo++].codice));
        else if (testo[i] == '&')
            appoggio.append("&amp;");
        else
            appoggio += testo[i];
    }
    return appoggio;
}

std::string TestoConRiferimenti(std::string_view testo, std::span<const CarattereAltro> altri) {
    std::string scritto;
    std::size_t da = 0;
    for (const CarattereAltro& a : altri) {
        scritto.append(testo.substr(da, a.posizione - da)).append(shell::RiferimentoCarattere(a.codice));
        da = a.posizione + 1;
    }
    return scritto.append(testo.substr(std::min(da, testo.size())));
}

// The character at p for a message: "carattere 'x'", "carattere 0x0C", "carattere U+20AC", "byte
// 0xC3", or the end of the document.
std::string LettoreXML::Descrivi(const char*& p) {
    const unsigned char u = U(*p);
    if (u == 0 && p == m_fine)
        return "fine del documento";
    if (u >= 0x80 && m_codifica == Codifica::UsAscii)
        return "byte " + EsaByte(u);
    if (u >= 0x80 && m_codifica == Codifica::Utf8) {
        Garantisci(p, 4);
        char32_t c;
        int lunghezza;
        if (!DecodificaUtf8(p, m_fine, c, lunghezza))
            return "byte " + EsaByte(u);
        if (c > 0xFF)
            return "carattere " + CodicePunto(c);
        return std::string("carattere '") + static_cast<char>(c) + "'";
    }
    if (u < 0x20 || (u >= 0x7F && u < 0xA0))
        return "carattere " + EsaByte(u);
    return std::string("carattere '") + static_cast<char>(u) + "'";
}

// A name as the document writes it, as ISO-8859-1.
std::string LettoreXML::Latin1(std::string_view grezzo, bool* sostituiti) const {
    if (m_codifica != Codifica::Utf8)
        return std::string(grezzo);
    std::string testo;
    const char* fine = grezzo.data() + grezzo.size();
    for (const char* q = grezzo.data(); q < fine;) {
        char32_t c = U(*q);
        int lunghezza = 1;
        if (c >= 0x80 && !DecodificaUtf8(q, fine, c, lunghezza))
            c = '?';
        q += lunghezza;
        if (c > 0xFF) {
            c = '?';
            if (sostituiti)
                *sostituiti = true;
        }
        testo += static_cast<char>(c);
    }
    return testo;
}

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
