#pragma once
// The 770 Semplificato converter: "Esportazione770.tab" in, the 770 supply out.

#include "shell/contesto.h"
#include "shell/convertitore.h"

#include <filesystem>

namespace conv770 {

const shell::Convertitore& Descrittore();

void EseguiConversione(shell::ContestoElaborazione& contesto, const std::filesystem::path& percorsoEsportazione);

} // namespace conv770
