#pragma once
// The blocks of the INPS XML documents (UniEmens, E-Mens) as tables: one row per line of a block, with
// its depth, its tag, when it is written and where its value comes from. ScriviVoci is the one place
// that turns rows into lines; each converter keeps its own tables and gives, through its Fonte, the
// values and the lines that only its document has.

#include "scrittura_xml/riga_inps.h"
#include "scrittura_xml/testo_xml.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace scrittura_xml {

enum class Forma {
    Apri,     // <tag>; with a value, the tag ends with an attribute holding it: <tag attributo="valore">
    Chiudi,   // </tag>
    Elemento, // <tag>valore</tag> on one line
    Propria,  // lines that only one converter writes (Fonte::ScriviPropria), at the depth of an element
    Sospeso,  // the pending previous-month block, written as one piece and then emptied
};

enum class Se {
    Sempre,
    Vuota,         // the column is blank (empty once the surrounding blanks are removed)
    NonVuota,      // the column is not blank
    NonVuote,      // neither of two columns is blank
    NumeroNonZero, // the column's leading number is not 0
    OgniSettimana, // once per item of the column's week list; consecutive rows repeat together
    InSospeso,     // a previous-month block is pending
};

enum class Da {
    Nulla,         // no value (opening and closing tags)
    Fisso,         // the fixed text
    Colonna,       // the field as it goes into the document
    Imponibile,    // leading number in its shortest decimal form
    Intero,        // whole number of 16 bits
    Data,          // day/month/year written yyyy-mm-dd
    IdSettimana,   // first part of the week item
    TipoCopertura, // second part of the week item
    Proprio,       // a value that only one converter makes (Fonte::ValoreProprio), by its code
};

inline constexpr int Nessuna = -1;

struct Condizione {
    Se se;
    int colonna = Nessuna;
    int colonna2 = Nessuna;
    friend constexpr bool operator==(const Condizione&, const Condizione&) = default;
};

struct Valore {
    Da da;
    int colonna = Nessuna;
    std::string_view fisso = {};
    int proprio = Nessuna; // with Da::Proprio, the converter's code of the value
};

struct Voce {
    int profondita;
    Forma forma;
    std::string_view tag; // for Apri with a value, followed by the attribute's name
    Condizione quando;
    Valore valore;
};

// A table of a document where its writer puts it: under the element that its rows of the lowest depth
// are children of, named by its path from the root ("DenunceMensili/Azienda/PosContributiva"; empty for
// the root itself). A writer lists its tables so, in the order of the document, for the checker's grammar
// to be held against them.
struct TabellaDelDocumento {
    std::string_view padre;
    std::span<const Voce> voci;
};

// The words of the tables: short names for their columns and their nesting check, for a converter to
// take with `using namespace scrittura_xml::tabelle`.
namespace tabelle {

// clang-format off
constexpr Condizione Sempre()                  { return {Se::Sempre}; }
constexpr Condizione Vuota(int c)              { return {Se::Vuota, c}; }
constexpr Condizione NonVuota(int c)           { return {Se::NonVuota, c}; }
constexpr Condizione NonVuote(int c, int d)    { return {Se::NonVuote, c, d}; }
constexpr Condizione NumeroNonZero(int c)      { return {Se::NumeroNonZero, c}; }
constexpr Condizione OgniSettimana(int c)      { return {Se::OgniSettimana, c}; }
constexpr Condizione InSospeso()               { return {Se::InSospeso}; }

constexpr Valore Nulla()                       { return {Da::Nulla}; }
constexpr Valore Fisso(std::string_view t)     { return {Da::Fisso, Nessuna, t}; }
constexpr Valore Colonna(int c)                { return {Da::Colonna, c}; }
constexpr Valore Imponibile(int c)             { return {Da::Imponibile, c}; }
constexpr Valore Intero(int c)                 { return {Da::Intero, c}; }
constexpr Valore DataISO(int c)                { return {Da::Data, c}; }
constexpr Valore IdSettimana()                 { return {Da::IdSettimana}; }
constexpr Valore TipoCopertura()               { return {Da::TipoCopertura}; }
constexpr Valore Proprio(int codice, int c = Nessuna) { return {Da::Proprio, c, {}, codice}; }
// clang-format on

// The tag name of a row: its `tag` up to the attributes.
constexpr std::string_view NomeTag(std::string_view tag) { return tag.substr(0, tag.find(' ')); }

// The name of the element a row of `voci` writes, for a reader that looks for it: a name that no row
// writes stops the compiler.
consteval std::string_view Scritto(std::span<const Voce> voci, std::string_view nome) {
    for (const Voce& voce : voci)
        if (NomeTag(voce.tag) == nome)
            return NomeTag(voce.tag);
    throw "no row writes this element"; // not a constant expression: the compiler stops here
}

// When the tables write the element `nome`: the condition of every row that writes it, when they all have the
// same; none when no row writes it or its rows differ. A reader that restates what the writer leaves out asks it
// here.
constexpr std::optional<Se> QuandoScritto(std::span<const TabellaDelDocumento> tabelle, std::string_view nome) {
    std::optional<Se> quando;
    for (const TabellaDelDocumento& tabella : tabelle)
        for (const Voce& voce : tabella.voci)
            if (voce.forma != Forma::Chiudi && NomeTag(voce.tag) == nome) {
                if (quando && *quando != voce.quando.se)
                    return std::nullopt;
                quando = voce.quando.se;
            }
    return quando;
}

// A table's tags nest from depth `base`: every opening is closed by a row of the same name and depth
// under the same condition (two openings of the same name in a row are alternatives, as
// <X> or <X Elimina="S">, and their closing is unconditional), every element and closing stands at the
// depth of what is open, `aperti` tags stay open at the end, and the rows of a repeated group of weeks
// come together and close what they open.
constexpr bool Annidate(std::span<const Voce> voci, int base, int aperti = 0) {
    struct Aperta {
        const Voce* voce;
        bool alternative;
    };
    Aperta pila[8] = {};
    int n = 0;
    int inizioGruppo = -1; // open tags when the current group of weeks began
    const Voce* precedente = nullptr;
    for (const Voce& voce : voci) {
        const bool inGruppo = voce.quando.se == Se::OgniSettimana;
        if (inGruppo && inizioGruppo < 0)
            inizioGruppo = n;
        if (!inGruppo && inizioGruppo >= 0) {
            if (n != inizioGruppo)
                return false;
            inizioGruppo = -1;
        }
        switch (voce.forma) {
        case Forma::Apri:
            if (n > 0 && pila[n - 1].voce == precedente && NomeTag(precedente->tag) == NomeTag(voce.tag)) {
                pila[n - 1].alternative = true;
                break;
            }
            if (n == 8 || voce.profondita != base + n)
                return false;
            pila[n++] = {&voce, false};
            break;
        case Forma::Chiudi: {
            if (n == 0 || voce.profondita != base + n - 1 || NomeTag(pila[n - 1].voce->tag) != voce.tag)
                return false;
            const Condizione attesa = pila[n - 1].alternative ? Sempre() : pila[n - 1].voce->quando;
            if (!(voce.quando == attesa))
                return false;
            --n;
            break;
        }
        case Forma::Elemento:
        case Forma::Propria:
            if (voce.profondita != base + n)
                return false;
            break;
        case Forma::Sospeso:
            break;
        }
        precedente = &voce;
    }
    return n == aperti && (inizioGruppo < 0 || n == inizioGruppo);
}

} // namespace tabelle

// What the values of a table come from: the line, the pending previous-month block, and what the
// converter adds for its own values and lines.
class Fonte {
public:
    explicit Fonte(const RigaEsportazioneINPS* riga, std::string* sospeso = nullptr)
        : m_riga(riga), m_sospeso(sospeso) {}
    virtual ~Fonte() = default;

    const RigaEsportazioneINPS& Riga() const { return *m_riga; }
    std::string* Sospeso() const { return m_sospeso; }

    // The text of a Da::Proprio value; `settimana` is the week being written, or null.
    virtual std::string ValoreProprio(const Valore& valore, const Settimana* settimana) const;
    // The lines of a Forma::Propria row.
    virtual void ScriviPropria(const Voce& voce, ScrittoreXML& xml) const;

private:
    const RigaEsportazioneINPS* m_riga;
    std::string* m_sospeso;
};

// Writes, in order, the rows whose condition holds, each with its value taken from `fonte`; a run of
// OgniSettimana rows is written once per week item, the whole list read first. A field that does not
// read stops the run.
void ScriviVoci(std::span<const Voce> voci, const Fonte& fonte, ScrittoreXML& xml);

// Whose the document at `file` is: the text of its first element at `percorso` (from the root, the names
// of a writer's rows: the root, "Azienda", "CFAzienda"). None when it is no document of that root, or it
// cannot be read or is not well-formed before that element ends.
std::optional<std::string> TitolareDelDocumento(const std::filesystem::path& file,
                                                std::span<const std::string_view> percorso);

} // namespace scrittura_xml
