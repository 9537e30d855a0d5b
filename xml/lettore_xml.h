#pragma once
// The checker's XML reader: a pull reader of XML 1.0 documents without a DTD, over a stream read in
// blocks, so that a document of any size is read in bounded memory.
//
// It reads elements, attributes, character references and the five predefined entities, comments
// and processing instructions (passed over), CDATA sections, the XML declaration and a UTF-8 byte
// order mark, in ISO-8859-1, UTF-8 or US-ASCII as the document declares (UTF-8 when it declares
// nothing). A document that is not well-formed, that has a DTD or another encoding, is refused with
// an ErroreXML that says where (line and column, from 1, the column counted in characters; a line
// ends at LF, CR LF or a CR alone) and why, in Italian.
//
// Texts, names and attribute values are delivered as ISO-8859-1 bytes, the suite's texts: a
// character above U+00FF becomes "?" and the event says so (Sostituiti). Line ends inside texts are
// delivered as LF, as XML prescribes; FiniRigaNonCRLF counts the line ends that were not CR LF.
//
// Limits, for bounded memory: names up to 50,000 bytes and 257 nested elements (as the common XML
// parsers have them by default), the attributes of one tag up to 10,000,000 bytes. A text longer
// than PezzoTesto comes in consecutive Testo events.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace xml {

struct Tabelle;
struct Sezione;

class ErroreXML : public std::runtime_error {
public:
    // what() is "riga R, colonna C: " followed by the reason. `benFormato`: the document may well be
    // well-formed XML, refused for what this reader does not take (a DTD).
    ErroreXML(std::int64_t riga, std::int64_t colonna, std::string motivo, bool benFormato = false);

    std::int64_t Riga() const { return m_riga; }
    std::int64_t Colonna() const { return m_colonna; }
    const std::string& Motivo() const { return m_motivo; }
    bool ForseBenFormato() const { return m_benFormato; }

private:
    std::int64_t m_riga;
    std::int64_t m_colonna;
    std::string m_motivo;
    bool m_benFormato;
};

enum class Evento {
    InizioElemento, // Nome, Attributi, ElementoVuoto
    FineElemento,   // Nome (after <a/> too, at the place of its tag)
    Testo,          // Testo: character data between two tags, references replaced, CDATA sections
                    // included, comments and processing instructions left out
    FineDocumento,  // the root element was closed and nothing but comments, processing instructions
                    // and blanks follow it; every later call returns it again
};

enum class Codifica { Utf8, Iso88591, UsAscii };

struct Attributo {
    std::string_view nome;
    std::string_view valore; // normalised: every TAB, CR, LF and CR LF written in the tag is a blank
    std::int64_t riga;
    std::int64_t colonna;
    bool sostituiti; // a character above U+00FF in the value became "?"
};

// A character above U+00FF of a text, which the text holds as "?": its place in the text and its code.
struct CarattereAltro {
    std::size_t posizione;
    char32_t codice;
};

// The text with each such character written as its reference (shell::RiferimentoCarattere): "&#268;ERNIGOJ"
// for the "?ERNIGOJ" of a surname written with U+010C.
std::string TestoConRiferimenti(std::string_view testo, std::span<const CarattereAltro> altri);

// The text as content, one form for each text the document can hold: "&" as "&amp;" and each character above
// U+00FF as its reference, so that no two texts share a form ("?" and U+010C and the text "&#268;" apart).
// The text itself when it holds neither, else the form made in `appoggio`.
std::string_view TestoCanonico(std::string_view testo, std::span<const CarattereAltro> altri, std::string& appoggio);

struct DichiarazioneXML {
    bool presente = false; // the document begins with an XML declaration
    bool bom = false;      // a UTF-8 byte order mark comes first
    std::string versione;  // as written ("1.0"); empty without a declaration
    std::string codifica;  // as written; empty when not declared
    std::optional<bool> standalone;
};

class LettoreXML {
public:
    // The source of the document's bytes: it copies up to `massimo` bytes to `destinazione` and
    // returns how many, 0 only at the end. Its exceptions pass through Prossimo unchanged.
    using Fonte = std::function<std::size_t(char* destinazione, std::size_t massimo)>;

    static constexpr std::size_t Blocco = 256 * 1024;
    static constexpr std::size_t PezzoTesto = 1024 * 1024;
    static constexpr std::size_t NomeMassimo = 50000;
    static constexpr std::size_t AttributiMassimo = 10000000;
    static constexpr int ProfonditaMassima = 257;

    explicit LettoreXML(Fonte fonte);
    // Reads the stream in blocks; a failed read throws std::ios_base::failure.
    explicit LettoreXML(std::istream& ingresso);

    LettoreXML(const LettoreXML&) = delete;
    LettoreXML& operator=(const LettoreXML&) = delete;

    // The next event; ErroreXML when the document is not well-formed there (and at every later
    // call).
    Evento Prossimo();

    // The current event. The texts stay valid until the next call of Prossimo.
    Evento Corrente() const { return m_evento; }
    std::string_view Nome() const { return m_nome; }
    std::span<const Attributo> Attributi() const { return m_attributi; }
    bool ElementoVuoto() const { return m_vuoto; } // InizioElemento written as <a/>
    std::string_view Testo() const { return m_testo; }
    bool Sostituiti() const { return m_sostituiti; } // in the name, an attribute or the text
    // Of a Testo event: the characters above U+00FF that its text holds as "?", in order.
    std::span<const CarattereAltro> Altri() const { return m_altri; }
    std::int64_t Riga() const { return m_rigaEvento; }
    std::int64_t Colonna() const { return m_colonnaEvento; }
    // Elements open after the current event: 1 after the root's InizioElemento, 0 after its end.
    int Profondita() const { return static_cast<int>(m_aperti.size()); }

    // Known once the first event is read.
    const DichiarazioneXML& Dichiarazione() const { return m_dichiarazione; }
    Codifica CodificaDocumento() const { return m_codifica; }
    // Line ends read so far that were a LF or a CR alone.
    std::int64_t FiniRigaNonCRLF() const { return m_nonCRLF; }

private:
    enum class Stato { Inizio, Prologo, Contenuto, Epilogo, Finito, Errore };
    struct Aperto {
        std::size_t inizio; // of its raw name in m_pila
        std::size_t lunghezza;
        std::int64_t riga;
        std::int64_t colonna;
        bool nonAscii; // its name has UTF-8 characters of two or more bytes
    };
    struct AttributoLetto {
        std::size_t nome, lunghezzaNome;       // raw, in m_testiAttributi
        std::size_t nomeTesto, lunghezzaTesto; // as delivered, in m_testiAttributi
        std::size_t valore, lunghezzaValore;
        std::int64_t riga, colonna;
        bool sostituiti;
    };
    struct Posizione {
        std::int64_t riga, colonna;
    };

    // Reading.
    bool Ricarica(const char*& p);
    bool Garantisci(const char*& p, std::size_t n);
    bool Inizia(const char*& p, std::string_view testo);
    char Byte(const char*& p);
    std::int64_t Offset(const char* q) const { return m_base + (q - m_dati); }

    // Places.
    Posizione Dove(const char* q) {
        if (m_codifica == Codifica::Utf8)
            AvanzaPunto(q);
        return {m_riga, m_colonnaPunto + Offset(q) - m_offsetPunto};
    }
    void AvanzaPunto(const char* q);
    void FineRiga(const char*& p);
    // A line begins at p.
    void NuovaRiga(const char* p) {
        ++m_riga;
        m_offsetPunto = Offset(p);
        m_colonnaPunto = 1;
    }
    [[noreturn]] void Errore(Posizione dove, std::string motivo, bool benFormato = false);
    [[noreturn]] void Errore(const char* dove, std::string motivo);

    // Characters.
    char32_t LeggiCarattere(const char*& p);
    void AggiungiCarattere(std::string& destinazione, char32_t c, bool& sostituiti);
    std::string Descrivi(const char*& p);
    [[noreturn]] void ErroreCarattere(const char*& p, std::string_view prima, std::string_view dopo);
    std::string Latin1(std::string_view grezzo, bool* sostituiti = nullptr) const;

    // Pieces of the document.
    void LeggiDichiarazione(const char*& p);
    void LeggiPseudoAttributo(const char*& p, std::string_view nome, std::string& valore);
    std::string_view LeggiNome(const char*& p, bool& nonAscii);
    std::string_view LeggiNomeIntero(const char*& p, bool& nonAscii);
    bool SaltaSpazi(const char*& p);
    bool SaltaMisc(const char*& p, bool prologo);
    void LeggiFinoA(const char*& p, const Sezione& sezione, Posizione dove, std::string* destinazione,
                    bool* sostituiti);
    void LeggiCommento(const char*& p);
    void LeggiIstruzione(const char*& p);
    void LeggiCData(const char*& p, std::string& destinazione, bool& sostituiti);
    void LeggiRiferimento(const char*& p, std::string& destinazione, bool& sostituiti);
    void LeggiValore(const char*& p, char virgolette, AttributoLetto& attributo, Posizione tag);
    void LeggiInizioElemento(const char*& p);
    void LeggiAttributi(const char*& p, Posizione tag);
    void ControllaRipetuti();
    void LeggiFineElemento(const char*& p);
    void LeggiFineElementoIntera(const char*& p, Posizione dove);
    bool LeggiTesto(const char*& p);
    bool FermataNelTesto(const char*& p);
    void Versa(const char* p);
    Evento FineDelVuoto();
    Evento ProssimoFuoriDalContenuto();

    Fonte m_fonte;
    std::vector<char> m_buffer; // the bytes read and not yet dropped, then a NUL
    char* m_dati = nullptr;
    const char* m_p = nullptr;        // next byte to read
    const char* m_fine = nullptr;     // end of the bytes read (the NUL)
    const char* m_conserva = nullptr; // the bytes from here on are kept when reading more
    std::int64_t m_base = 0;          // offset in the document of m_dati[0]
    bool m_esaurita = false;

    // Line and column: m_colonnaPunto is the column of the byte at offset m_offsetPunto, on line
    // m_riga.
    std::int64_t m_riga = 1;
    std::int64_t m_offsetPunto = 0;
    std::int64_t m_colonnaPunto = 1;
    std::int64_t m_nonCRLF = 0;

    Stato m_stato = Stato::Inizio;
    Codifica m_codifica = Codifica::Utf8;
    const Tabelle* m_tabelle = nullptr;
    DichiarazioneXML m_dichiarazione;
    std::optional<ErroreXML> m_errore;

    // The current event.
    Evento m_evento = Evento::FineDocumento;
    std::string_view m_nome;
    std::string_view m_testo;
    std::int64_t m_rigaEvento = 1;
    std::int64_t m_colonnaEvento = 1;
    bool m_sostituiti = false;
    bool m_vuoto = false;
    bool m_nomeSostituito = false;
    bool m_fineInSospeso = false;
    bool m_copia = false; // the current text is in m_testoCopia

    std::string m_testoCopia;            // a text that could not be shown in place
    std::vector<CarattereAltro> m_altri; // of the text in m_testoCopia
    std::string m_nomeLatin1;            // a UTF-8 name with characters past ASCII, as delivered
    std::string m_testiAttributi;        // the names and values of the current tag's attributes
    std::vector<AttributoLetto> m_letti;
    std::vector<Attributo> m_attributi;
    std::string m_lavoro;     // names and references read apart
    std::vector<char> m_pila; // raw names of the open elements, one after another
    std::vector<Aperto> m_aperti;
};

} // namespace xml
