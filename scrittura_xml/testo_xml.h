#pragma once
// Text helpers of the INPS XML documents (UniEmens, E-Mens), written as text lines without an XML
// library. Texts are ISO-8859-1 bytes, one byte per character.
//
// A document is one line per element: the declaration line first, then every line is the TABs of its
// depth followed by an opening tag, a closing tag, or an element with its text between its tags
// ("\t\t<CFMittente>01234567890</CFMittente>"). No self-closing form. Values are written as given:
// escape them first with CodificaXML.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace scrittura_xml {

// The first line of every document, without indentation.
inline constexpr std::string_view DichiarazioneXML = "<?xml version='1.0' encoding='ISO-8859-1'?>";

// n TAB characters; none for n below 1.
std::string Tabulazioni(int n);

// Replaces in place every "&" by "&amp;", "'" by "&apos;", '"' by "&quot;", "<" by "&lt;" and ">" by
// "&gt;". The ampersand goes first, so the references inserted are never escaped again.
void CodificaXML(std::string& campo);

// The text upper-cased as shell::CopiaInMaiuscolo does, then escaped as CodificaXML does, in `risultato`
// (replacing what it held): the preparation of a whole export line, in one look at its characters.
void MaiuscoloCodificato(std::string_view testo, std::string& risultato);

// True when the text holds a character that CodificaXML replaces.
bool DaCodificare(std::string_view testo);

// A copy with "&amp;", "&apos;", "&quot;", "&lt;" and "&gt;" replaced by their characters, in this
// order, each replacement over the result of the one before ("&amp;lt;" gives "<"). For showing
// escaped names readably in the log; not a general XML decoder.
std::string DecodificaXML(std::string_view campo);

// The first n characters of the text when it is longer than n, else the text. The result points into
// `testo`.
std::string_view Tronca(std::string_view testo, std::size_t n);

// Tronca on a text escaped with CodificaXML, where every "&" begins a reference that ends at ";":
// when the cut falls inside a reference, the cut is made before its "&" instead, so the result never
// holds half a reference (and may be shorter than n). The result points into `testo`.
std::string_view TroncaCodificato(std::string_view testo, std::size_t n);

// The text with every "." removed.
std::string TogliPunti(std::string_view testo);

// Writes the lines of a document, or of a piece of one. Every line is put together in place, in the
// text that the writer fills: the TABs of its depth, then the tags and the value.
class ScrittoreXML {
public:
    // A destination that takes one line at a time, without its line end.
    using Destinazione = std::function<void(std::string_view riga)>;
    // A destination that takes the document in pieces of whole lines, each with its CR LF.
    using DestinazioneTesto = std::function<void(std::string_view testo)>;

    // Each line handed to `destinazione` as it is written.
    explicit ScrittoreXML(Destinazione destinazione);
    // The lines appended to `testo`, CR LF between them and none after the last: the form in which a
    // block is kept before it is written as one piece.
    explicit ScrittoreXML(std::string& testo);
    // The lines, each followed by CR LF, gathered and handed to `destinazione` in pieces of about
    // DimensionePezzo characters; Svuota hands over the rest. A writer destroyed with lines not yet
    // handed over (a run stopped by an error) hands them over then, ignoring a failure.
    static ScrittoreXML PerPezzi(DestinazioneTesto destinazione);
    static constexpr std::size_t DimensionePezzo = std::size_t{1} << 14;

    // Never copied nor moved (PerPezzi returns the writer in place).
    ScrittoreXML(const ScrittoreXML&) = delete;
    ScrittoreXML& operator=(const ScrittoreXML&) = delete;
    ~ScrittoreXML();

    // The declaration line.
    void Dichiarazione();
    // An opening tag at its depth; `tag` is the name, followed by its attributes when it has any:
    // Apri(1, "DatiMittente Tipo=\"1\"") writes "\t<DatiMittente Tipo=\"1\">".
    void Apri(int profondita, std::string_view tag);
    // An opening tag with one attribute, whose value is written as given:
    // Apri(4, "MesePrecedente TipoConsolidamento", "S") writes
    // "\t\t\t\t<MesePrecedente TipoConsolidamento=\"S\">".
    void Apri(int profondita, std::string_view tagAttributo, std::string_view valore);
    // A closing tag at its depth: Chiudi(1, "DatiMittente") writes "\t</DatiMittente>".
    void Chiudi(int profondita, std::string_view nome);
    // An element with its value on one line: Elemento(2, "SedeINPS", "1300") writes
    // "\t\t<SedeINPS>1300</SedeINPS>"; an empty value gives "\t\t<SedeINPS></SedeINPS>".
    void Elemento(int profondita, std::string_view nome, std::string_view valore);
    // Any other line at its depth, as given.
    void Riga(int profondita, std::string_view testo);

    // Hands the lines gathered so far to a destination that takes pieces; nothing for the others.
    void Svuota();

private:
    enum class Modo { Righe, Unite, Pezzi };
    ScrittoreXML(Modo modo, Destinazione righe, DestinazioneTesto pezzi, std::string* testo);

    // Makes room at the end of the text for a line of `lunghezza` characters after the TABs of its
    // depth (and for what goes between or after lines), writes the TABs and returns where the rest goes.
    char* Inizia(int profondita, std::size_t lunghezza);
    // The line is complete: hands it over when the destination takes lines or a piece is full.
    void Finisci();

    Modo m_modo;
    Destinazione m_righe;
    DestinazioneTesto m_pezzi;
    std::string* m_unite = nullptr; // Modo::Unite: the caller's text
    bool m_prima = true;            // Modo::Unite: no line yet
    // Modo::Righe and Modo::Pezzi: the lines not yet handed over are the first m_usati characters of
    // m_buffer, which is only ever made longer (so that a line is written without clearing its room
    // first).
    std::string m_buffer;
    std::size_t m_usati = 0;
};

// A destination that gathers the lines into one text, CR LF between them and none after the last, as
// ScrittoreXML(testo) does.
ScrittoreXML::Destinazione UnisciRighe(std::string& testo);

} // namespace scrittura_xml
