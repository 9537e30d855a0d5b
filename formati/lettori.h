#pragma once
// The readers of the formats, each in a file of its own, and the columns of each format's listing.

#include "lettura/lettura.h"

namespace verifica {

void Leggi770(Lettura& lettura);
void LeggiDma(Lettura& lettura);
void LeggiTfr(Lettura& lettura);
void LeggiUniemens(Lettura& lettura);
void LeggiEmens(Lettura& lettura);

const SchemaDistinta& Schema770();
const SchemaDistinta& SchemaDma();
const SchemaDistinta& SchemaTfr();
const SchemaDistinta& SchemaUniemens();
const SchemaDistinta& SchemaEmens();

} // namespace verifica
