#pragma once
// The UniEmens converter: "EsportazioneINPS.tab" in, the monthly UniEmens document out.

#include "shell/contesto.h"
#include "shell/convertitore.h"

#include <filesystem>

namespace uniemens {

const shell::Convertitore& Descrittore();

void EseguiConversione(shell::ContestoElaborazione& contesto, const std::filesystem::path& percorsoEsportazione);

} // namespace uniemens
