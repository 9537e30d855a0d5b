#pragma once
// The TFR 2008 converter: "EsportazioneTFR.tab" and the optional "EsportazioneTFRBeneficiari.tab"
// in, the supply "MV" + date + suffix + ".TXT" out, into the folder named by "PercorsoTFR.txt".

#include "shell/contesto.h"
#include "shell/convertitore.h"

#include <filesystem>
#include <optional>

namespace tfr {

const shell::Convertitore& Descrittore();

// The output folder: the last non-blank line of the folder file, without blanks and tabs around it;
// `predefinita` when the file is missing or holds no such line. Stops the run when the file is
// there but cannot be read.
std::filesystem::path CartellaTFR(const std::filesystem::path& fileCartella, const std::filesystem::path& predefinita);

// Loading: the output folder, the main export (required) and the beneficiaries (optional), all
// beside the program; `cartellaArchivio` is the folder used when "PercorsoTFR.txt" is missing.
shell::Caricamento Carica(const std::filesystem::path& cartellaProgramma,
                          const std::filesystem::path& cartellaArchivio);

// The run: reads both exports, writes "TFRtemp.txt" (always a new file) in `cartellaTFR` record by
// record, then gives it the first free final name in one step. Without `percorsoBeneficiari` no record
// "4" is written.
void EseguiConversione(shell::ContestoElaborazione& contesto, const std::filesystem::path& cartellaTFR,
                       const std::filesystem::path& percorsoEsportazione,
                       const std::optional<std::filesystem::path>& percorsoBeneficiari);

} // namespace tfr
