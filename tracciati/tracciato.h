#pragma once
// The layouts of the fixed-length records (770, DMA, TFR): a record is a table of pieces, one row
// per row of its layout, that one composer writes and one reader reads back. The kinds of piece
// that every layout has are written and read here; a converter adds the kinds of its own through a
// Gancio, which writes and reads each of them in one place. The non-positional area of the 770 and
// DMA records is read back here too, field by field.

#include "tracciati/campo_non_posizionale.h"
#include "tracciati/campo_posizionale.h"
#include "shell/esportazione.h"
#include "tracciati/record_fisso.h"
#include "tracciati/valore.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tracciati {

// A piece without an export column.
inline constexpr int Nessuna = -1;

// The kinds of piece of every layout.
enum class Comune : std::uint8_t {
    Letterale, // `testo`, as it stands
    Spazi,     // spaces
    Zeri,      // zeros
    X,         // the export column, X: left-aligned, spaces after, cut at the right
    N,         // the text of the export column, N: zeros before, cut at the left
    DT,        // the export column read as a date, DT: ddmmyyyy, "00000000" when it is not a date
    Contatore, // number `colonna` of the numbers the converter counts (Fonte::contatori), with
               // zeros before
    Tabella,   // the pieces of the table `sotto`: a head that several records share
    Area,      // the non-positional area (Fonte::area), followed by spaces to the piece's length
    Fine,      // the end mark "A"
    Proprio,   // a kind of the converter's own, written and read by its Gancio
};

// The kind of a piece: a common one, or one of a converter's own, given as a value of the enum its
// Gancio reads (each converter has its own).
struct Genere {
    Comune comune;
    std::uint8_t proprio = 0;

    constexpr Genere(Comune c) : comune(c) {}
    template <typename Proprio>
    requires(std::is_enum_v<Proprio> && !std::is_same_v<Proprio, Comune>) constexpr Genere(Proprio p)
        : comune(Comune::Proprio), proprio(static_cast<std::uint8_t>(p)) {}

    friend constexpr bool operator==(const Genere&, const Genere&) = default;
};

// How strictly a reader of the supply holds a piece to what its kind writes.
enum class Rigore : std::uint8_t {
    Usuale,    // a text that breaks the piece's form is an error; a fixed content other than the one
               // written, or a value in another form, only a warning
    Stretto,   // any difference is an error: the piece says what the supply is (its code, its version)
               // or where the authority's reader finds the next field
    Tollerato, // any difference is a warning: the writer takes the text from the export as it stands
};

// One row of a layout.
struct Pezzo {
    int posizione; // of its first character in the record, from 1
    int lunghezza;
    Genere genere;
    int colonna = Nessuna;             // the export column it is made from (Contatore: which number)
    std::string_view testo = {};       // Letterale: the text
    std::span<const Pezzo> sotto = {}; // Tabella: its pieces, at their own positions in the record
    Rigore rigore = Rigore::Usuale;
};

// ---------------------------------------------------------------------------------------------------
// The rows of a table as a reader's rules name them: by the export column a piece is made from, by the
// number a counter counts, or by its kind, the rows of the sub-tables included. A rule that names a row
// the table does not have stops the compiler.

namespace dettaglio {
// The search answers with a flag beside the pointer: GCC's UndefinedBehaviorSanitizer refuses to compare a
// pointer into a table with null inside a constant expression.
struct Ricerca {
    const Pezzo* pezzo = nullptr;
    bool trovato = false;
};
constexpr Ricerca Trova(std::span<const Pezzo> tabella, auto cerca, int& quale) {
    for (const Pezzo& p : tabella) {
        if (cerca(p) && quale-- == 0)
            return {&p, true};
        if (p.genere.comune == Comune::Tabella)
            if (Ricerca sotto = Trova(p.sotto, cerca, quale); sotto.trovato)
                return sotto;
    }
    return {};
}
constexpr const Pezzo& Trovato(Ricerca ricerca) {
    if (!ricerca.trovato)
        throw "the table has no such piece"; // not a constant expression: the compiler stops here
    return *ricerca.pezzo;
}
} // namespace dettaglio

// The `quale`-th piece (from 0) made from export column `colonna`.
consteval const Pezzo& DellaColonna(std::span<const Pezzo> tabella, int colonna, int quale = 0) {
    return dettaglio::Trovato(dettaglio::Trova(
        tabella, [colonna](const Pezzo& p) { return p.colonna == colonna && p.genere.comune != Comune::Contatore; },
        quale));
}
// The counter of number `numero`.
consteval const Pezzo& DelContatore(std::span<const Pezzo> tabella, int numero) {
    int quale = 0;
    return dettaglio::Trovato(dettaglio::Trova(
        tabella, [numero](const Pezzo& p) { return p.colonna == numero && p.genere.comune == Comune::Contatore; },
        quale));
}
// The `quale`-th piece (from 0) of a kind.
consteval const Pezzo& DelGenere(std::span<const Pezzo> tabella, Genere genere, int quale = 0) {
    return dettaglio::Trovato(dettaglio::Trova(
        tabella, [genere](const Pezzo& p) { return p.genere == genere; }, quale));
}

// Whether `pezzo` is a row of `tabella` or of one of its sub-tables.
constexpr bool DellaTabella(std::span<const Pezzo> tabella, const Pezzo& pezzo) {
    for (const Pezzo& p : tabella)
        if (&p == &pezzo || (p.genere.comune == Comune::Tabella && DellaTabella(p.sotto, pezzo)))
            return true;
    return false;
}

// What the pieces of one record are made from.
struct Fonte {
    const shell::RigaEsportazione* riga = nullptr; // the export line of the columns
    std::span<const int> contatori = {};           // the numbers of the Contatore pieces
    std::string_view area = {};                    // the non-positional area, at most the piece's length
    // When given, a DT piece whose column is filled but is not a date notes it here, in the words
    // of the log ("Riga 1, colonna 17: data non valida '31/02/2010', scritta come 00000000").
    std::vector<std::string>* avvisi = nullptr;
};

// The kinds of a converter's own: each one written (its value from the export, then its text) and
// read back, in one place.
class Gancio {
public:
    virtual ~Gancio() = default;

    // The table that stands for the piece in this record, when the kind chooses between layouts
    // (the TFR bank block); none when the piece is written with Valuta and Scrivi.
    virtual std::span<const Pezzo> Scelta(const Pezzo& pezzo, const Fonte& fonte) const;
    // The piece's value, from the export line or what else the kind takes; a text made for it goes
    // into `appoggio`. A value that cannot be read stops the run (shell::ErroreElaborazione).
    virtual Valore Valuta(const Pezzo& pezzo, const Fonte& fonte, std::string& appoggio) const = 0;
    // Appends the piece's text for the value: exactly the piece's length, or the run stops.
    virtual void Scrivi(std::string& record, const Pezzo& pezzo, const Valore& valore) const = 0;

    // The table that the record holds for the piece, as the record tells it (the TFR period tail by
    // its "AN" or "PS"); none when the piece is read by Leggi.
    virtual std::span<const Pezzo> SceltaLetta(const Pezzo& pezzo, std::string_view record) const;
    // The piece's text read back: the value that Scrivi writes as this text, or how it differs.
    virtual Lettura Leggi(const Pezzo& pezzo, std::string_view testo) const = 0;
};

// A Gancio of three functions, for kinds of a converter's own that choose no table and take nothing but
// the source.
class GancioDiFunzioni : public Gancio {
public:
    using FunzioneValuta = Valore (*)(const Pezzo& pezzo, const Fonte& fonte, std::string& appoggio);
    using FunzioneScrivi = void (*)(std::string& record, const Pezzo& pezzo, const Valore& valore);
    using FunzioneLeggi = Lettura (*)(const Pezzo& pezzo, std::string_view testo);

    constexpr GancioDiFunzioni(FunzioneValuta valuta, FunzioneScrivi scrivi, FunzioneLeggi leggi)
        : m_valuta(valuta), m_scrivi(scrivi), m_leggi(leggi) {}

    Valore Valuta(const Pezzo& pezzo, const Fonte& fonte, std::string& appoggio) const override {
        return m_valuta(pezzo, fonte, appoggio);
    }
    void Scrivi(std::string& record, const Pezzo& pezzo, const Valore& valore) const override {
        m_scrivi(record, pezzo, valore);
    }
    Lettura Leggi(const Pezzo& pezzo, std::string_view testo) const override { return m_leggi(pezzo, testo); }

private:
    FunzioneValuta m_valuta;
    FunzioneScrivi m_scrivi;
    FunzioneLeggi m_leggi;
};

// Appends the pieces of `tabella` to `record`, which ends just before the first of them. A piece
// that is not where the table puts it is a fault of the table (std::logic_error); one whose text is
// not as long as the piece stops the run ("Campo in posizione 2 lungo 9 caratteri invece di 8").
void Componi(std::string& record, std::span<const Pezzo> tabella, const Fonte& fonte, const Gancio& gancio);

// A piece of a record read back: its row, its text as stored (a view into the record), and the
// value that its kind reads (a number, a date; the text itself for the text kinds).
struct PezzoLetto {
    const Pezzo* pezzo;
    std::string_view testo;
    Valore valore;
};

// A piece (or a block of the area) that differs from what its kind writes.
struct Segnalazione {
    Difformita difformita;
    int posizione; // from 1; 0 for the record as a whole (its length)
    int lunghezza;
    std::string_view trovato;     // the text found (a view into the record)
    std::string atteso;           // what was expected, in Italian
    const Pezzo* pezzo = nullptr; // the row, for a piece (its column included)
    int record = 0;               // of an area of several records, which one (from 0)

    // "posizioni 18-25: trovato '0000000A', attese 8 cifre".
    std::string Messaggio() const;
};

// One record read by its table. The pieces of the sub-tables are read in their place; the views
// point into the record read, which must outlive them. Reading another record reuses the room.
class RecordLetto {
public:
    // `lunghezza`: the record's whole length, when only its first characters are given (a very long line).
    void Leggi(std::string_view record, std::span<const Pezzo> tabella, const Gancio& gancio,
               std::size_t lunghezza = std::string_view::npos);

    const std::vector<PezzoLetto>& Pezzi() const { return m_pezzi; }
    // Whether the record is as long as its table.
    bool LunghezzaGiusta() const { return m_lunghezzaGiusta; }
    const std::vector<Segnalazione>& Segnalazioni() const { return m_segnalazioni; }
    // The row `pezzo` as the record holds it; none when the record is too short to hold it, or when it
    // belongs to a table that a Gancio chose and the record holds another.
    const PezzoLetto* Letto(const Pezzo& pezzo) const;
    // The text of the row `pezzo` of the table read (or of one of its sub-tables); empty when the record
    // is too short to hold it. A row of another table is a fault of the reader (std::logic_error).
    std::string_view Testo(const Pezzo& pezzo) const;

private:
    void LeggiPezzi(std::string_view record, std::span<const Pezzo> tabella, const Gancio& gancio);

    std::span<const Pezzo> m_tabella;
    bool m_lunghezzaGiusta = true;

    std::vector<PezzoLetto> m_pezzi;
    std::vector<Segnalazione> m_segnalazioni;
};

// Appends the record that the pieces read give when written again: the same bytes as the record
// read, when it was read without a Segnalazione.
void Ricomponi(std::string& record, std::span<const PezzoLetto> pezzi, const Gancio& gancio);

// One code of a catalogue and its type.
struct VoceCatalogo {
    std::string_view codice; // 8 characters
    Tipo tipo;
};

// The voices sorted by code, each code once: for CercaNelCatalogo, made by the compiler.
template <std::size_t N> constexpr std::array<VoceCatalogo, N> Ordinato(std::array<VoceCatalogo, N> voci) {
    std::sort(voci.begin(), voci.end(),
              [](const VoceCatalogo& a, const VoceCatalogo& b) { return a.codice < b.codice; });
    for (std::size_t i = 1; i < N; ++i)
        if (voci[i - 1].codice == voci[i].codice)
            throw "a code with two types"; // not a constant expression: the compiler stops here
    return voci;
}

// The types of the field codes of a supply's areas, sorted by Ordinato.
using Catalogo = std::span<const VoceCatalogo>;

// The place of a code in the catalogue; none for a code that the catalogue does not hold. The entries from
// `daProvare` on are looked at first, a few of them: an area's codes come in the catalogue's order, as the
// writers write them, so the code after the last one found is most often one of the next.
std::optional<std::size_t> PostoNelCatalogo(Catalogo catalogo, std::string_view codice, std::size_t daProvare = 0);
// The type of a code; none for a code that the catalogue does not hold.
std::optional<Tipo> CercaNelCatalogo(Catalogo catalogo, std::string_view codice);

// A code of a catalogue as a reader's rules name it, with its place there.
struct CodiceDelCatalogo {
    std::string_view codice;
    std::size_t voce;
};
// The code in a catalogue that the compiler holds: a code that the catalogue does not have stops the compiler.
consteval CodiceDelCatalogo DelCatalogo(Catalogo catalogo, std::string_view codice) {
    for (std::size_t v = 0; v < catalogo.size(); ++v)
        if (catalogo[v].codice == codice)
            return {catalogo[v].codice, v};
    throw "the catalogue has no such code"; // not a constant expression: the compiler stops here
}

// A field of the non-positional area read back.
struct CampoLetto {
    std::string_view codice;
    std::optional<std::size_t> voce; // its place in the supply's catalogue; none for a code it does not hold
    std::optional<Tipo> tipo;        // from the catalogue
    // Its value as its type reads it (LeggiValoreNonPosizionale); the text of an AN field, or of a
    // code the catalogue does not know, joined over its blocks: the first 16 characters and 15 of
    // each continuation, spaces included.
    Valore valore;
    int record;    // the area it begins in (from 0)
    int posizione; // of its first block in the record
    int blocchi;   // its blocks, continuations included

    // Made in its place in the area's list.
    CampoLetto(std::string_view codice, std::optional<std::size_t> voce, std::optional<Tipo> tipo, Valore valore,
               int record, int posizione, int blocchi)
        : codice(codice), voce(voce), tipo(tipo), valore(valore), record(record), posizione(posizione),
          blocchi(blocchi) {}
};

// The non-positional area of a record (positions 90-1889), or the areas of the records that hold
// the fields of one 770 module, read field by field: blocks of 24 characters up to the first block
// of spaces, after which there are only spaces; "+" blocks joined to their field. Reported: a block
// whose code is not a field code (the quadro, a capital letter and a capital letter or a digit:
// "DA", "D0"; the row, three digits; the column, three digits or capital letters: "A22"); a "+" block
// that does not follow a block of its code, or that follows a field other than AN; a value that
// breaks its type; anything but spaces after the last block.
class AreaLetta {
public:
    void Leggi(std::span<const std::string_view> aree, Catalogo catalogo);

    const std::vector<CampoLetto>& Campi() const { return m_campi; }
    const std::vector<Segnalazione>& Segnalazioni() const { return m_segnalazioni; }

private:
    std::vector<CampoLetto> m_campi;
    std::vector<std::string_view> m_valori; // the value parts of the blocks of the last field
    std::vector<Segnalazione> m_segnalazioni;
    std::string m_testi; // the joined texts, room for all of them taken first: the views stay valid
};

// The layouts of one supply, for a reader of its files.
struct TabellaRecord {
    char tipo; // the record type, in position 1
    std::span<const Pezzo> tabella;
};
struct Tracciato {
    std::span<const TabellaRecord> record;
    const Gancio& gancio;
    Catalogo catalogo = {}; // the field codes of the area; none for a supply without one

    // The table of the records of a type; empty for a type that the supply does not have.
    std::span<const Pezzo> Tabella(char tipo) const;
};

// ---------------------------------------------------------------------------------------------------
// Invariants of the tables, for static_assert.

// Where a piece ends.
constexpr int UltimaPosizione(const Pezzo& pezzo) { return pezzo.posizione + pezzo.lunghezza - 1; }

// The pieces follow one another without gap or overlap from `inizio` to `fine`; each has a length;
// a literal is as long as its piece; the pieces made from a column (X, N, DT) name one, those that
// take nothing from the line name none, a counter names its number; a sub-table covers its piece
// exactly; the area is where the frame has it.
constexpr bool PezziContigui(std::span<const Pezzo> tabella, int inizio, int fine) {
    int posizione = inizio;
    for (const Pezzo& p : tabella) {
        if (p.posizione != posizione || p.lunghezza < 1)
            return false;
        switch (p.genere.comune) {
        case Comune::Letterale:
            if (p.testo.size() != static_cast<std::size_t>(p.lunghezza) || p.colonna != Nessuna)
                return false;
            break;
        case Comune::X:
        case Comune::N:
        case Comune::DT:
        case Comune::Contatore:
            if (p.colonna < 0)
                return false;
            break;
        case Comune::Tabella:
            if (!PezziContigui(p.sotto, p.posizione, UltimaPosizione(p)))
                return false;
            break;
        case Comune::Area:
            if (p.posizione != InizioArea || p.lunghezza != LunghezzaArea)
                return false;
            break;
        case Comune::Fine:
            if (p.lunghezza != 1)
                return false;
            break;
        case Comune::Spazi:
        case Comune::Zeri:
            if (p.colonna != Nessuna)
                return false;
            break;
        case Comune::Proprio:
            break;
        }
        if (p.genere.comune != Comune::Tabella && !p.sotto.empty())
            return false;
        posizione += p.lunghezza;
    }
    return posizione == fine + 1;
}

// A whole record of `lunghezza` characters: its type, a literal of one character, in position 1,
// and the pieces after it to the last position.
constexpr bool RecordCompleto(std::span<const Pezzo> tabella, int lunghezza) {
    return !tabella.empty() && tabella.front().genere == Comune::Letterale && tabella.front().lunghezza == 1 &&
           PezziContigui(tabella, 1, lunghezza);
}

// A record of the frame of the 770 and DMA supplies: complete in 1,898 characters, the end mark in
// position 1898, the area (if any) followed by the 8 spaces of positions 1890-1897.
constexpr bool RecordFissoCompleto(std::span<const Pezzo> tabella) {
    if (!RecordCompleto(tabella, LunghezzaRecord) || tabella.back().genere != Comune::Fine)
        return false;
    for (std::size_t i = 0; i < tabella.size(); ++i)
        if (tabella[i].genere == Comune::Area && (i + 1 >= tabella.size() || tabella[i + 1].genere != Comune::Spazi ||
                                                  tabella[i + 1].lunghezza != SpaziDopoArea))
            return false;
    return true;
}

// ---------------------------------------------------------------------------------------------------

// Record A, the supply header, of the 770 and the DMA supplies, which share its shape and differ in
// the supply's code (positions 16-20: "77S11", "INP05") and kind (21-22: "06", "01"). Both texts
// must live as long as the table (literals do).
// clang-format off
constexpr std::array<Pezzo, 10> RecordA(std::string_view fornitura, std::string_view tipo) {
    using enum Comune;
    return {{
    //   pos   lung  genere     col      testo          sotto  rigore
        {   1,    1, Letterale, Nessuna, "A"},
        {   2,   14, Spazi},
        {  16,    5, Letterale, Nessuna, fornitura,     {},    Rigore::Stretto}, // the supply's code
        {  21,    2, Letterale, Nessuna, tipo},
        {  23,   16, X,               0},       // the declarant's (the administration's) tax code
        {  39,  483, Spazi},
        { 522,    4, Letterale, Nessuna, "0000"},
        { 526,    4, Letterale, Nessuna, "0000"},
        { 530, 1368, Spazi},
        {1898,    1, Fine},
    }};
}
// clang-format on

} // namespace tracciati
