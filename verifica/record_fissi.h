#pragma once
// What the readers of the supplies of fixed-length records (770, DMA, TFR) share: the frame of a line
// (its end), the findings of a record read by its table with their severity, and small texts.

#include "lettura.h"
#include "lettura_file.h"
#include "tracciato.h"

#include <span>
#include <string>
#include <string_view>

namespace verifica {

namespace fields = conv770::fields;

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
void SegnalaRecord(Lettura& lettura, const Riga& riga, char tipo, const fields::RecordLetto& record,
                   std::span<const Eccezione> eccezioni, std::string_view chi, long persona);

// The severity of a difference, by the rule above.
Gravita GravitaDi(fields::Difformita difformita, char tipo, int posizione, std::span<const Eccezione> eccezioni);

// " (dipendente RSSMRA80A01H501U)", or nothing for an empty `chi`.
std::string Di(std::string_view chi);

// Trailing spaces removed.
std::string_view SenzaSpaziFinali(std::string_view testo);

// The text of a piece read, or empty when the record is too short to hold it.
std::string_view TestoDi(const fields::RecordLetto& record, int posizione);

} // namespace verifica
