#pragma once
// The UniEmens converter: "EsportazioneINPS.tab" in, the monthly UniEmens document out.

#include "shell/contesto.h"
#include "shell/convertitore.h"

#include <filesystem>
#include <string>

namespace uniemens {

const shell::Convertitore& Descrittore();

void EseguiConversione(shell::ContestoElaborazione& contesto, const std::filesystem::path& percorsoEsportazione);

// The name of the document of a month: "INPSUNIEMENS-" + the year (at least 4 digits) + "-" + the month (at
// least 2) + ".xml".
std::string NomeDocumento(int anno, int mese);

} // namespace uniemens
