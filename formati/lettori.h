#pragma once
// The readers of the formats, each in a file of its own, and the columns of each format's listing.

#include "lettura/lettura.h"

#include <string_view>
#include <vector>

namespace verifica {

void Leggi770(Lettura& lettura);
void LeggiDma(Lettura& lettura);
void LeggiTfr(Lettura& lettura);
void LeggiUniemens(Lettura& lettura);
void LeggiEmens(Lettura& lettura);

// The names of the values of Persona::denuncia of a kind of person of the INPS documents, in their order.
std::vector<std::string_view> NomiDellaDenunciaInps(int genere);

const SchemaDistinta& Schema770();
const SchemaDistinta& SchemaDma();
const SchemaDistinta& SchemaTfr();
const SchemaDistinta& SchemaUniemens();
const SchemaDistinta& SchemaEmens();

} // namespace verifica
