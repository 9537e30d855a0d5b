#pragma once
// The UniEmens document's blocks: sender, company, the contribution position with the individual
// reports of the employees and the company totals, and the collaborators list.

#include "uniemens/campi.h"
#include "uniemens/controllo.h"
#include "shell/contesto.h"
#include "shell/esportazione.h"
#include "scrittura_xml/testo_xml.h"
#include "scrittura_xml/voci_xml.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace uniemens {

// A line of the progress log, with the caret moved to the end so that it is in view.
void Registra(shell::ContestoElaborazione& contesto, std::string_view testo, bool svuota = false);

// The sender block, from line 1.
void ScriviMittente(const RigaINPS& riga1, scrittura_xml::ScrittoreXML& xml);
// The opening of the company block and its first three children, from line 1.
void ScriviAperturaAzienda(const RigaINPS& riga1, const Periodo& periodo, scrittura_xml::ScrittoreXML& xml);

// The contribution position: one individual report per employee line of the declared month, each
// with the previous-month block that precedes it, then the company totals.
// `persone` tells, by line, what the document check found each line to describe.
void ScriviDipendenti(const shell::Esportazione& esportazione, std::span<const Persona> persone, const Periodo& periodo,
                      scrittura_xml::ScrittoreXML& xml, shell::ContestoElaborazione& contesto);

// The collaborators list, with CAP and ISTAT from the first collaborator.
void ScriviCollaboratori(const shell::Esportazione& esportazione, std::span<const Persona> persone,
                         scrittura_xml::ScrittoreXML& xml, shell::ContestoElaborazione& contesto);

// The root element's opening, and the closing of the company block and of the root.
void ScriviAperturaDocumento(scrittura_xml::ScrittoreXML& xml);
void ScriviChiusuraAzienda(scrittura_xml::ScrittoreXML& xml);
void ScriviChiusuraDocumento(scrittura_xml::ScrittoreXML& xml);

// Whose a UniEmens document is: its CFAzienda (shell::Titolare).
std::optional<std::string> AziendaDelDocumento(const std::filesystem::path& file);

// Every table the writer writes the document with, in the order of the document: what the checker's
// grammar is held against. A row Forma::Propria stands for the table that follows it.
std::span<const scrittura_xml::TabellaDelDocumento> TabelleDelDocumento();

} // namespace uniemens
