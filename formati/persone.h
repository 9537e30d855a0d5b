#pragma once
// The persons' tax codes and place codes of the supplies against the registries (anagrafe/persona.h), as
// every reader tells them: each finding at the field it names, begun by the record ("record G: ") and
// ended by whose it is.

#include "anagrafe/persona.h"
#include "lettura/lettura.h"

#include <span>
#include <string_view>
#include <vector>

namespace verifica {

// Where a datum of the person's records is.
struct PostoDelDato {
    anagrafe::Dato dato;
    long riga;
    long colonna;
};

// Tells the findings, each at the place of its datum (the first place given when its datum has none), ended
// by whose they are (`chi`: "dipendente RSSMRA80A01H501U", see Di).
void SegnalaRiscontri(Lettura& lettura, const std::vector<anagrafe::Riscontro>& riscontri,
                      std::span<const PostoDelDato> posti, std::string_view record, std::string_view chi, long persona);

} // namespace verifica
