#pragma once
// What the readers of the supplies of fixed-length records (770, DMA, TFR) share: the frame of a line
// (its end), the findings of a record read by its table with their severity, and small texts.

#include "formati/lettori.h"
#include "lettura/lettura_file.h"
#include "tracciati/tracciato.h"

#include <array>
#include <compare>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>
#include <string>
#include <string_view>

namespace verifica {


// A line's end: the supplies end every line with CR LF. Reports a line feed alone or a last line without
// an end, as errors.
void ControllaFineRiga(Lettura& lettura, const Riga& riga);

// A piece whose difference has a severity other than the usual one: a format breach (Difformita::Formato)
// is an error, a value in another form and a different fixed content warnings, unless listed here.
struct Eccezione {
    char tipo;     // the record type
    int posizione; // of the piece
    Gravita gravita;
};

// Reports every Segnalazione of a record read by its table. `chi` names the person ("dipendente
// RSSMRA80A01H501U"), empty for none; the message is "record G: posizioni 18-25: trovato '...', ...".
void SegnalaRecord(Lettura& lettura, const Riga& riga, char tipo, const tracciati::RecordLetto& record,
                   std::span<const Eccezione> eccezioni, std::string_view chi, long persona);

// The severity of a difference, by the rule above.
Gravita GravitaDi(tracciati::Difformita difformita, char tipo, int posizione, std::span<const Eccezione> eccezioni);

// " (dipendente RSSMRA80A01H501U)", or nothing for an empty `chi`.
std::string Di(std::string_view chi);

// Small readings of a record's text.
bool Cifre(std::string_view testo);                                  // digits only, at least one
long long NumeroDi(std::string_view cifre);                          // the number of (at most 18) digits
std::string Intero(long long n);                                     // "1.234"
std::string Posizioni(int posizione, int lunghezza);                 // "posizioni 18-25"
std::string_view Parte(std::string_view record, int posizione, int lunghezza); // empty when too short

// The order of a supply's records: from each type ('\0' for the start), the types that may follow it.
struct Passo {
    char da;
    std::string_view verso;
};

class OrdineDeiRecord {
public:
    // `ordine` says the order in words, for the message ("A, B, un record C per dipendente, Z").
    OrdineDeiRecord(std::span<const Passo> passi, std::string_view ordine) : m_passi(passi), m_ordine(ordine) {}

    // Reports a record out of place; false when it is.
    bool Controlla(Lettura& lettura, const Riga& riga, char tipo);
    char Precedente() const { return m_precedente; }

private:
    std::span<const Passo> m_passi;
    std::string_view m_ordine;
    char m_precedente = '\0';
};

// A line whose record type the supply does not have (`attesi`: "A, B, G, J, Z"), or an empty line.
void TipoSconosciuto(Lettura& lettura, const Riga& riga, std::string_view attesi);

// A tax code in a piece of a record: `gravita` when it is not formally valid, a warning for the office
// code of an 11-digit one. `dove` begins the message: "record G: posizioni 30-45: codice fiscale del
// dipendente"; nothing for a blank code.
void SegnalaCodiceFiscale(Lettura& lettura, long riga, int posizione, std::string_view testo, std::string_view dove,
                          Gravita gravita, long persona, std::string_view chi = {});

// The persons' tax codes as they come, for the same person twice, told at the end.
class CodiciVisti {
public:
    void Aggiungi(std::string_view codice, long riga);
    // "record G: il dipendente X compare due volte: anche alla riga N", at the later line.
    void Segnala(Lettura& lettura, int posizione, std::string_view record);

private:
    // A code of up to 16 characters, NULs after a shorter one.
    struct Visto {
        std::array<char, 16> codice;
        long riga;
        friend auto operator<=>(const Visto&, const Visto&) = default;
    };
    std::vector<Visto> m_codici;
};

// A count that a record states (its digits `testo` at `posizione`) against the records counted: a total
// of the listing, and an error when they differ.
void ConfrontaConteggio(Lettura& lettura, long riga, char tipo, int posizione, std::string_view testo,
                        long long contati, std::string_view cosa);

// The file's name against the one the content gives it (a warning); nothing for a supply read from memory.
void ControllaNomeFile(Lettura& lettura, std::string_view atteso);

// Trailing spaces removed.
std::string_view SenzaSpaziFinali(std::string_view testo);

// The text of a piece read, or empty when the record is too short to hold it.
std::string_view TestoDi(const tracciati::RecordLetto& record, int posizione);

} // namespace verifica
