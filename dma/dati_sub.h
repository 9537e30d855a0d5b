#pragma once
// The INPDAP DMA converter: "EsportazioneINPDAP.tab" in, the monthly DMA supply
// "INPDAPDMA-" + year + "-" + month + ".txt" out, in the archive folder.

#include "shell/contesto.h"
#include "shell/convertitore.h"

#include <filesystem>

namespace dma {

const shell::Convertitore& Descrittore();

// The run: the export read once, every column upper-cased and then trimmed; records A and B from the
// first line, one record C per line, record Z; the supply under its temporary name until complete.
void EseguiConversione(shell::ContestoElaborazione& contesto, const std::filesystem::path& percorsoEsportazione);

} // namespace dma
