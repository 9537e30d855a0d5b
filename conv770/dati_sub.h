#pragma once
// The 770 Semplificato converter: "Esportazione770.tab" in, the 770 supply out.

#include "shell/contesto.h"
#include "shell/convertitore.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace conv770 {

const shell::Convertitore& Descrittore();

void EseguiConversione(shell::ContestoElaborazione& contesto, const std::filesystem::path& percorsoEsportazione);

// The name of the supply of a declarant (its tax code without trailing spaces): "Importa770-2011-" + the code
// + ".txt".
std::string NomeDocumento(std::string_view dichiarante);

} // namespace conv770
