#pragma once
// The offline check of a supply: the file is recognised by its content, read once in pieces, and every
// finding, the supply's data, its persons and its totals are told to a Destinatario as they are found.
// The command line prints the findings, the listing and the comparison keep the persons, the window
// shows both.

#include "lettura/destinatario.h"

#include <filesystem>
#include <string>

namespace formati {

// Reads the file at `percorso` and tells `destinatario` what it finds. An empty file and a file of no
// known format are a finding (an error about the whole file), not an exception. Throws ErroreFile when
// the file is missing or unreadable, LetturaInterrotta when Opzioni::avanzamento stops it.
lettura::Esito VerificaFile(const std::filesystem::path& percorso, const lettura::Opzioni& opzioni,
                            lettura::Destinatario& destinatario);

// The same for the bytes of a supply in memory.
lettura::Esito VerificaTesto(std::string contenuto, const lettura::Opzioni& opzioni,
                             lettura::Destinatario& destinatario);
// The same for the bytes of the file `percorso` read before (one that cannot be read twice, as a pipe), named by
// it in the findings.
lettura::Esito VerificaContenuto(std::string_view contenuto, const std::filesystem::path& percorso,
                                 const lettura::Opzioni& opzioni, lettura::Destinatario& destinatario);

// The schema of a format's listing.
const lettura::SchemaDistinta& SchemaDi(lettura::Formato formato);

} // namespace formati
