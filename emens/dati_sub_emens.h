#pragma once
// The E-Mens converter: "EsportazioneINPS.tab" in, the monthly E-Mens document to INPS out.

#include "shell/contesto.h"
#include "shell/convertitore.h"

#include <filesystem>

namespace emens {

const shell::Convertitore& Descrittore();

void EseguiConversione(shell::ContestoElaborazione& contesto, const std::filesystem::path& percorsoEsportazione);

} // namespace emens
