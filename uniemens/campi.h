#pragma once
// The lines of "EsportazioneINPS.tab" as the UniEmens converter reads them: the prepared fields, the
// ways a field is read (leading number, whole number, amount, date, list) and the number formats of
// the document.

#include "conversioni.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace uniemens {

// Columns of the export, numbered from 0.
namespace col {
// clang-format off
inline constexpr int CFPersonaMittente   = 0;
inline constexpr int RagioneSociale      = 1;
inline constexpr int CFAzienda           = 2;
inline constexpr int CFSoftwarehouse     = 3;
inline constexpr int SedeINPS            = 4;
inline constexpr int Anno                = 7;
inline constexpr int Mese                = 8;
inline constexpr int Matricola           = 9;
inline constexpr int CodiceFiscale       = 10;
inline constexpr int Cognome             = 11;
inline constexpr int Nome                = 12;
inline constexpr int Imponibile          = 24;
inline constexpr int Settimane           = 25;
inline constexpr int GiorniRetribuiti    = 27;
inline constexpr int MeseRiferimento     = 29; // "ATTUALE" or a line of the previous month
inline constexpr int TipoPersona         = 30; // "DIPENDENTE" or "COLLABORATORE"
inline constexpr int CAP                 = 31;
inline constexpr int ISTAT               = 32;
inline constexpr int Elimina             = 39;
inline constexpr int RetribTeorica       = 42;
inline constexpr int Contributo          = 43;
inline constexpr int GiorniLavorati      = 45;

// The last column each kind of line is read up to.
inline constexpr int UltimaMittente      = 8;  // line 1, sender and company
inline constexpr int UltimaPersona       = 30; // enough to tell the kind of person
inline constexpr int UltimaDipendente    = 45; // employee, declared month
inline constexpr int UltimaMesePrec      = 41; // employee, previous month
inline constexpr int UltimaCollaboratore = 39;
// clang-format on
} // namespace col

inline constexpr std::string_view MeseAttuale = "ATTUALE";
inline constexpr std::string_view TipoDipendente = "DIPENDENTE";
inline constexpr std::string_view TipoCollaboratore = "COLLABORATORE";

// The declared month, from columns 7 and 8 of line 1, and its number of days.
struct Periodo {
    int anno = 0;
    int mese = 0;
    int giorni = 0;
};

// Separator of the items of a list field (columns 25 and 45): the group separator, code 29.
inline constexpr char SeparatoreLista = '\x1D';

// An amount read exactly: sign, integer digits (no leading zeros, "0" for none) and the decimal digits
// as written.
struct Importo {
    bool negativo = false;
    std::string interi = "0";
    std::string decimali;
};

// The ways a field is read.
enum class Lettura {
    Testo,          // no control character: it could not stand in an XML document
    Lista,          // no control character but the list separator
    NumeroIniziale, // any text but a number beyond a double
    Intero16,       // whole number of 16 bits
    Importo,        // Italian amount
    DataFacoltativa, // blank, or day/month/year
    Settimane,      // list of "week@coverage" items; empty items are skipped
};

// One export line prepared as every pass takes it: split at TAB, every field upper-cased and then
// escaped with CodificaXML. Fields are not trimmed.
class RigaINPS {
public:
    RigaINPS(int numero, std::string_view testo);

    int Numero() const { return m_numero; }
    std::size_t Colonne() const { return m_colonne.size(); }
    bool Ha(int colonna) const { return colonna >= 0 && static_cast<std::size_t>(colonna) < m_colonne.size(); }

    // The field; a missing column stops the run (the document check lets no such line through).
    const std::string& operator[](int colonna) const;
    // Empty once the surrounding blanks are removed.
    bool Vuota(int colonna) const;
    // The field as the export gives it (upper-cased), for the log and the error box.
    std::string Decodificata(int colonna) const;

    // The field read for the writing passes; a field that does not read stops the run (the
    // document check lets no such line through).
    double NumeroIniziale(int colonna) const;
    int Intero(int colonna) const;
    Importo LeggiImporto(int colonna) const;
    shell::Data LeggiData(int colonna) const;

    [[noreturn]] void Errore(int colonna, std::string_view descrizione) const;
    [[noreturn]] void ErroreLettura(int colonna, Lettura lettura) const;

private:
    int m_numero;
    std::vector<std::string> m_colonne;
};

// A leading number: blanks, TABs and line feeds are ignored wherever they stand; then an optional
// sign, digits, optionally "." and decimals; reading stops at the first other character; no digits
// give 0. A text holding a "," is an amount with thousands separators: its "." are removed first
// ("1.500,75" reads 1500, like "1500,75"). No value only when the number is beyond a double.
std::optional<double> NumeroIniziale(std::string_view testo);

// A whole number: the leading number rounded to an integer, halves to the even neighbour. No value
// outside the signed 16-bit range.
std::optional<std::int16_t> Intero16(std::string_view testo);

// An amount written the Italian way, with the acceptance of shell::ValoreNumerico: blanks around it,
// "." thousands separators, "," before the decimals ("1.234,5"; "" and ",5" read 0 and 0,5). No value
// for a text that is not an amount, or whose integer part has more than 18 digits.
std::optional<Importo> LeggiImporto(std::string_view testo);

// What is wrong with a field for the way it is read, for the error box; nothing when it reads.
std::optional<std::string> DifettoCampo(Lettura lettura, std::string_view testo);

// The items of a list field; an empty field has none. `saltaVuoti` leaves out empty items.
std::vector<std::string_view> ElementiLista(std::string_view campo, bool saltaVuoti);

// A week item split at "@": identifier and coverage code; further parts are ignored.
struct Settimana {
    std::string_view id;
    std::string_view copertura;
};
std::optional<Settimana> DividiSettimana(std::string_view elemento);

// The exact sum of amounts, rounded once at the end.
class SommaImporti {
public:
    void Aggiungi(const Importo& importo);
    // Arrotonda of the sum: Int(S) plus 1 when the first decimal digit of S - Int(S) is 5 or more.
    std::int64_t Arrotondata() const;

private:
    std::int64_t m_interi = 0;       // Int(S)
    std::vector<int> m_decimali;     // the digits of S - Int(S), which lies in [0, 1)
};

// `Imponibile`: the shortest decimal form with up to 15 significant digits, "," before the decimals,
// none when whole, never an exponent (1500 gives 1500, 1500.5 gives 1500,5).
std::string FormatoImponibile(double valore);

// `Contributo`: two decimals, rounded half away from zero, "," before them, grouped by thousands
// and the "." of the grouping then removed (1234,5 gives 1234,50; 1234,567 gives 1234,57).
std::string FormatoContributo(const Importo& importo);

// A whole number with at least `cifre` digits, zeros in front, "-" before them when negative:
// the "00" and "0000" patterns of the document and of its name.
std::string CifreMinime(long long valore, int cifre);

// Days of month `mese` of year `anno`: the day before the first of the following month; months
// outside 1 to 12 follow calendar arithmetic (month 0 is December of the year before).
int GiorniDelMese(int anno, int mese);

} // namespace uniemens
