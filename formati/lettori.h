#pragma once
// The readers of the formats, each in a file of its own, and the columns of each format's listing.

#include "lettura/lettura.h"

namespace formati {

void Leggi770(lettura::Lettura& lettura);
void LeggiDma(lettura::Lettura& lettura);
void LeggiTfr(lettura::Lettura& lettura);
void LeggiUniemens(lettura::Lettura& lettura);
void LeggiEmens(lettura::Lettura& lettura);

const lettura::SchemaDistinta& Schema770();
const lettura::SchemaDistinta& SchemaDma();
const lettura::SchemaDistinta& SchemaTfr();
const lettura::SchemaDistinta& SchemaUniemens();
const lettura::SchemaDistinta& SchemaEmens();

} // namespace formati
