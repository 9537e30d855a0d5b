#pragma once
// The lines of "EsportazioneINPS.tab" as the E-Mens converter reads them: the prepared fields, the
// ways a field is read (leading number, whole number, date, list of weeks) and the number formats
// of the document.

#include "conversioni.h"
#include "esportazione.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace emens {

// Columns of the export, numbered from 0.
namespace col {
// clang-format off
inline constexpr int CFPersonaMittente  = 0;
inline constexpr int RagioneSociale     = 1;
inline constexpr int CFAzienda          = 2;
inline constexpr int CFSoftwarehouse    = 3;
inline constexpr int SedeINPS           = 4;
inline constexpr int CSC                = 5;
inline constexpr int CA                 = 6;
inline constexpr int Anno               = 7;
inline constexpr int Mese               = 8;
inline constexpr int Matricola          = 9;
inline constexpr int CodiceFiscale      = 10;
inline constexpr int Cognome            = 11;
inline constexpr int Nome               = 12;
inline constexpr int Imponibile         = 24;
inline constexpr int Settimane          = 25;
inline constexpr int GiorniRetribuiti   = 27;
inline constexpr int MeseRiferimento    = 29; // "ATTUALE" or a line of the previous month
inline constexpr int TipoPersona        = 30; // "DIPENDENTE"; any other value is a collaborator
inline constexpr int Elimina            = 39;
inline constexpr int Consolidamento     = 40;
inline constexpr int RetribTeorica      = 42;

// How many columns each kind of line must have (its last column read, plus one).
inline constexpr int ColonneRiga          = 30; // any line: the month marker decides what it is
inline constexpr int ColonnePersona       = 31; // a current-month line of a person: its kind
inline constexpr int ColonneDipendente    = 42; // employee, declared month (column 42 only if present)
inline constexpr int ColonneMesePrec      = 42; // previous-month line
inline constexpr int ColonneCollaboratore = 39; // collaborator
// A line of exactly this many columns follows the short layout: no column 42.
inline constexpr int ColonneTracciatoBreve = 42;
// clang-format on
} // namespace col

inline constexpr std::string_view MeseAttuale = "ATTUALE";
inline constexpr std::string_view TipoDipendente = "DIPENDENTE";

// Separator of the items of the weeks list (column 25): the group separator, code 29.
inline constexpr char SeparatoreLista = '\x1D';

// One item of the weeks list: identifier and coverage code, the parts before and after the first
// "@" (further parts ignored).
struct Settimana {
    std::string_view id;
    std::string_view copertura;
};

// One export line prepared for this converter: split at TAB and every field upper-cased. A field
// goes into the document escaped with CodificaXML (Valore), which is what upper-casing then
// escaping the whole line would give; the upper-cased text stays at hand for the log, the
// comparisons and the messages. Fields are not trimmed.
class RigaEmens {
public:
    RigaEmens(int numero, std::string_view testo);

    int Numero() const { return m_riga.Numero(); }
    int Colonne() const { return static_cast<int>(m_riga.Colonne()); }
    // Stops the run when the line has fewer than `quante` columns; after it every column below
    // `quante` can be read.
    void RichiediColonne(int quante) const;

    // The field as the export gives it, upper-cased.
    std::string_view Testo(int colonna) const { return m_riga[colonna]; }
    // The field as it goes into the document: upper-cased and escaped; a control character stops the run.
    std::string Valore(int colonna) const { return Codifica(colonna, Testo(colonna)); }
    // A part of field `colonna` (a week's identifier, for example) as it goes into the document.
    std::string Codifica(int colonna, std::string_view testo) const;
    // Empty once the surrounding blanks are removed.
    bool Vuota(int colonna) const;

    // The field read as a leading number, as a whole number of 16 bits, as a day/month/year date,
    // as the weeks list; a field that does not read stops the run, naming line and column.
    double NumeroIniziale(int colonna) const;
    std::int16_t Intero(int colonna) const;
    shell::Data Data(int colonna) const;
    std::vector<Settimana> Settimane(int colonna) const;

    [[noreturn]] void Errore(int colonna, std::string_view descrizione) const { m_riga.Errore(colonna, descrizione); }

private:
    shell::RigaEsportazione m_riga;
};

// A leading number: blanks, TABs and line feeds are ignored wherever they stand; then an optional
// sign, digits, optionally "." and decimals; reading stops at the first other character; no digits
// give 0. A text holding a "," is an amount with thousands separators: its "." are removed first
// ("1.500,75" reads 1500, like "1500,75"; "1.500" still reads 1.5). No value only when the number
// is beyond a double.
std::optional<double> NumeroIniziale(std::string_view testo);

// A whole number: the leading number rounded to an integer, halves to the even neighbour. No value
// outside the signed 16-bit range.
std::optional<std::int16_t> Intero16(std::string_view testo);

// The items of the weeks list; an empty field and empty items give none. No value when a non-empty
// item has no "@".
std::optional<std::vector<Settimana>> DividiSettimane(std::string_view campo);

// `Imponibile`: the shortest decimal form with up to 15 significant digits, "," before the
// decimals, none when whole, never an exponent (1500 gives 1500, 1500.5 gives 1500,5).
std::string FormatoImponibile(double valore);

// A whole number with at least `cifre` digits, zeros in front, "-" before them when negative: the
// "00" and "0000" patterns of the document and of its name.
std::string CifreMinime(long long valore, int cifre);

} // namespace emens
