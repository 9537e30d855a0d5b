#pragma once
// The lines of "EsportazioneINPS.tab", which the UniEmens and the E-Mens converters both read: the
// prepared fields, the ways a field is read (leading number, whole number, amount, date, list) and the
// number formats both documents write. Each converter gives the wording of its own messages
// (TestiLettura) and the preparation of its fields.

#include "shell/conversioni.h"
#include "shell/convertitore.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrittura_xml {

// Columns of the export both converters read, numbered from 0.
namespace col {
// clang-format off
inline constexpr int CFPersonaMittente = 0;
inline constexpr int RagioneSociale    = 1;
inline constexpr int CFAzienda         = 2;
inline constexpr int CFSoftwarehouse   = 3;
inline constexpr int SedeINPS          = 4;
inline constexpr int Anno              = 7;
inline constexpr int Mese              = 8;
inline constexpr int Matricola         = 9;
inline constexpr int CodiceFiscale     = 10;
inline constexpr int Cognome           = 11;
inline constexpr int Nome              = 12;
inline constexpr int Imponibile        = 24;
inline constexpr int Settimane         = 25;
inline constexpr int GiorniRetribuiti  = 27;
inline constexpr int MeseRiferimento   = 29; // "ATTUALE" or a line of the previous month
inline constexpr int TipoPersona       = 30; // the kind of person
inline constexpr int Elimina           = 39;
inline constexpr int RetribTeorica     = 42;
// clang-format on
} // namespace col

inline constexpr std::string_view MeseAttuale = "ATTUALE";
inline constexpr std::string_view TipoDipendente = "DIPENDENTE";

// The loading of a converter that reads "EsportazioneINPS.tab" from the program's folder and runs
// `esegui` on it.
using EsecuzioneINPS = void (*)(shell::ContestoElaborazione& contesto, const std::filesystem::path& esportazione);
decltype(shell::Convertitore::carica) CaricamentoINPS(EsecuzioneINPS esegui);

// Separator of the items of a list field: the group separator, code 29.
inline constexpr char SeparatoreLista = '\x1D';

// An amount read exactly: sign, integer digits (no leading zeros, "0" for none) and the decimal digits
// as written.
struct Importo {
    bool negativo = false;
    std::string interi = "0";
    std::string decimali;
};

// An item of the weeks list: identifier and coverage code, the parts before and after the first "@"
// (further parts ignored).
struct Settimana {
    std::string_view id;
    std::string_view copertura;
};

// The ways a field is read.
enum class Lettura {
    Testo,           // no control character: it could not stand in an XML document
    Lista,           // no control character but the list separator
    NumeroIniziale,  // any text but a number beyond a double
    NumeroOVuoto,    // a leading number, or a blank field (read 0): text that begins with no number is refused
    Intero16,        // whole number of 16 bits
    Importo,         // Italian amount
    DataFacoltativa, // blank, or day/month/year
    Settimane,       // list of "week@coverage" items; empty items are skipped
};

// The words of a converter's reading errors where the two converters have always said them
// differently (their messages are compared by the office's procedures and by the tests).
struct TestiLettura {
    std::string_view controlloPrima;  // a control character: the text before its code...
    std::string_view controlloDopo;   // ...and after it
    std::string_view interoFuori;     // a whole number beyond 16 bits, before the quoted field
    std::string_view senzaChiocciola; // a week item without "@", before the quoted text
    bool citaElemento;                // that quoted text is the item (true) or the whole field
};

// A leading number: blanks, TABs and line feeds are ignored wherever they stand; then an optional
// sign, digits, optionally "." and decimals; reading stops at the first other character; no digits
// give 0. A text holding a "," is an amount with thousands separators: its "." are removed first
// ("1.500,75" reads 1500, like "1500,75"; "1.500" still reads 1.5). No value only when the number
// is beyond a double; one too small for a double reads 0.
std::optional<double> NumeroIniziale(std::string_view testo);

// True when a text that is not blank begins with no number, which NumeroIniziale reads as 0 for want of
// digits: "EUR 12", "N.D.", "-", ",5" (but "", "  ", "0", "12 EUR", ".5" and "-1,5" begin with one).
bool SenzaNumero(std::string_view testo);

// A whole number: the leading number rounded to an integer, halves to the even neighbour. No value
// outside the signed 16-bit range.
std::optional<std::int16_t> Intero16(std::string_view testo);

// An amount written the Italian way, with the acceptance of shell::ValoreNumerico: blanks around it,
// "." thousands separators, "," before the decimals ("1.234,5"; "" and ",5" read 0 and 0,5). No value
// for a text that is not an amount, or whose integer part has more than 18 digits.
std::optional<Importo> LeggiImporto(std::string_view testo);

// The items of a list field; an empty field has none. `saltaVuoti` leaves out empty items.
std::vector<std::string_view> ElementiLista(std::string_view campo, bool saltaVuoti);

// A week item split at "@"; no value without one.
std::optional<Settimana> DividiSettimana(std::string_view elemento);

// The items of the weeks list; an empty field and empty items give none. No value when a non-empty
// item has no "@".
std::optional<std::vector<Settimana>> DividiSettimane(std::string_view campo);

// What is wrong with a field for the way it is read, in the converter's words; nothing when it reads.
std::optional<std::string> DifettoCampo(Lettura lettura, std::string_view testo, const TestiLettura& testi);

// `Imponibile`: the shortest decimal form with up to 15 significant digits, "," before the decimals,
// none when whole, never an exponent (1500 gives 1500, 1500.5 gives 1500,5).
std::string FormatoImponibile(double valore);

// A whole number with at least `cifre` digits, zeros in front, "-" before them when negative: the
// "00" and "0000" patterns of the documents and of their names.
std::string CifreMinime(long long valore, int cifre);

// A date written yyyy-mm-dd.
std::string DataISO(const shell::Data& data);

// How the fields of a line are prepared after the split at TAB. Fields are never trimmed.
enum class Preparazione {
    Maiuscolo,           // upper case; escaped only as they go into the document
    MaiuscoloCodificato, // upper case, then escaped with CodificaXML at once
};

// One export line split into its prepared fields. Every reading names the line (from 1) and the column
// (from 0) in the error that stops the run. The line is copied once, upper-cased (and escaped) as a
// whole, and the fields are views into that copy: escaping never adds or removes a TAB, so the fields
// are the ones a split before the preparation would give.
class RigaEsportazioneINPS {
public:
    RigaEsportazioneINPS(int numero, std::string_view testo, Preparazione preparazione, const TestiLettura& testi);
    // The fields point into the object's own copy of the line.
    RigaEsportazioneINPS(const RigaEsportazioneINPS&) = delete;
    RigaEsportazioneINPS& operator=(const RigaEsportazioneINPS&) = delete;

    int Numero() const { return m_numero; }
    std::size_t Colonne() const { return m_colonne.size(); }
    bool Ha(int colonna) const { return colonna >= 0 && static_cast<std::size_t>(colonna) < m_colonne.size(); }

    // The prepared field; a missing column stops the run.
    std::string_view operator[](int colonna) const {
        if (!Ha(colonna))
            ColonnaMancante(colonna);
        return m_colonne[static_cast<std::size_t>(colonna)];
    }
    // Empty once the surrounding blanks are removed.
    bool Vuota(int colonna) const;
    // The field as the export gives it (upper-cased), for the log and the messages: an escaped field is
    // shown with DecodificaXML.
    std::string Decodificata(int colonna) const;
    // The same, without a copy where nothing was escaped: the field itself, or the text made in
    // `appoggio`.
    std::string_view Decodificata(int colonna, std::string& appoggio) const;
    // The whole line as prepared, TABs included.
    std::string_view Preparata() const { return m_testo; }

    // A text of column `colonna` (the field, or a part of it such as a week's identifier) as it goes
    // into the document: escaped, and a control character stops the run. A field escaped when the line
    // was prepared is taken as it is.
    std::string Codifica(int colonna, std::string_view testo) const;
    // The same, without a copy where there is nothing to escape: the result is `testo` itself, or the
    // escaped text made in `appoggio`.
    std::string_view Codifica(int colonna, std::string_view testo, std::string& appoggio) const;
    // The field as it goes into the document.
    std::string Valore(int colonna) const { return Codifica(colonna, (*this)[colonna]); }

    // The field read as a leading number, as a whole number of 16 bits, as an amount, as a
    // day/month/year date, as the weeks list; a field that does not read stops the run.
    double NumeroIniziale(int colonna) const;
    // The field read as a leading number, blank allowed: text that begins with no number stops the run.
    double NumeroOVuoto(int colonna) const;
    std::int16_t LeggiIntero(int colonna) const;
    Importo LeggiImporto(int colonna) const;
    shell::Data LeggiData(int colonna) const;
    std::vector<Settimana> Settimane(int colonna) const;

    [[noreturn]] void Errore(int colonna, std::string_view descrizione) const;
    // Stops the run with what DifettoCampo finds in the field for `lettura`.
    [[noreturn]] void ErroreLettura(int colonna, Lettura lettura) const;

private:
    [[noreturn]] void ColonnaMancante(int colonna) const;

    int m_numero;
    Preparazione m_preparazione;
    const TestiLettura* m_testi;
    std::string m_testo;                     // the line, prepared
    std::vector<std::string_view> m_colonne; // views into m_testo
};

} // namespace scrittura_xml
