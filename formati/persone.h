#pragma once
// The persons' data as every reader tells their findings: the tax codes and place codes against the
// registries (anagrafe/persona.h), a tax code's form, the sex; each finding at the field it names, begun by
// the record ("record G: ") and ended by whose it is (Di).

#include "anagrafe/persona.h"
#include "lettura/lettura.h"
#include "tracciati/tracciato.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace formati {

// Where a datum of the person's records is.
struct PostoDelDato {
    anagrafe::Dato dato;
    long riga;
    long colonna;
};

// Tells the findings, each at the place of its datum (the first place given when its datum has none), ended
// by whose they are (`chi`: "dipendente RSSMRA80A01H501U", see Di).
void SegnalaRiscontri(lettura::Lettura& lettura, const std::vector<anagrafe::Riscontro>& riscontri,
                      std::span<const PostoDelDato> posti, std::string_view record, std::string_view chi, long persona);

// " (dipendente RSSMRA80A01H501U)", or nothing for an empty `chi`.
std::string Di(std::string_view chi);
// "dipendente RSSMRA80A01H501U", the `chi` of an employee's findings; nothing for an empty code.
std::string Chiamato(std::string_view codice);

// A tax code in a piece of a record: `gravita` when it is not formally valid, a warning for the office
// code of an 11-digit one. `dove` begins the message: "record G: posizioni 30-45: codice fiscale del
// dipendente"; nothing for a blank code.
void SegnalaCodiceFiscale(lettura::Lettura& lettura, long riga, int posizione, std::string_view testo,
                          std::string_view dove, lettura::Gravita gravita, long persona, std::string_view chi = {});

// A sex field (`campo`, on line `riga`): "M" or "F", or blank (told apart, as missing data); anything else an
// error, "record G: campo DA001004 'X': il sesso \xE8 M o F (dipendente ...)". `record` begins the message.
void ControllaSesso(lettura::Lettura& lettura, long riga, const tracciati::CampoLetto* campo, std::string_view record,
                    std::string_view chi, long persona);
// The same for a sex written at `posizione` of line `riga`: `dove` begins the message ("record 2: posizione 203").
void ControllaSesso(lettura::Lettura& lettura, long riga, long posizione, std::string_view testo, std::string_view dove,
                    std::string_view chi, long persona);

} // namespace formati
