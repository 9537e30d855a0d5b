#pragma once
// The E-Mens converter: "EsportazioneINPS.tab" in, the monthly E-Mens document to INPS out.

#include "shell/contesto.h"
#include "shell/convertitore.h"

#include <filesystem>
#include <string>

namespace emens {

const shell::Convertitore& Descrittore();

void EseguiConversione(shell::ContestoElaborazione& contesto, const std::filesystem::path& percorsoEsportazione);

// The name of the document of a month: "INPSEMENS-" + the year (at least 4 digits) + "-" + the month (at
// least 2) + ".xml".
std::string NomeDocumento(int anno, int mese);

} // namespace emens
