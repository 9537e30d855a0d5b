#pragma once
// The document check: every line is looked at before anything about a person is written, and one
// faulty line keeps the document from being generated.

#include "uniemens/campi.h"
#include "shell/esportazione.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace uniemens {

// What a line describes, for the passes that write the persons.
enum class Persona : std::uint8_t {
    Nessuna,        // empty, or column 24 reads as 0
    Dipendente,     // an employee of the declared month: an individual report
    MesePrecedente, // a line of the previous month: the block that waits for the next report
    Collaboratore,  // a collaborator of the declared month
};

struct EsitoControllo {
    bool vuoto = true;               // no line holds any text
    std::optional<Periodo> periodo;  // line 1 gives usable sender and company fields
    int dipendenti = 0;              // employee lines, of the declared or of the previous month
    int collaboratori = 0;           // collaborator lines of the declared month
    std::vector<std::string> errori; // the error box's lines, in the order of the export's lines
    bool superato = false;           // the persons may be written
    std::vector<Persona> persone;    // by line, from line 1; what a line that passed describes
};

// Checks every line of the export:
// - an empty line is skipped; no column may hold a control character (the list separator only in
//   the list columns); a line whose column 24 reads as 0 describes no person;
// - line 1 must give columns 0 to 8, with year and month as whole numbers;
// - column 30 tells employees ("DIPENDENTE", of any month) from collaborators ("COLLABORATORE", of
//   the declared month only); anything else is an error;
// - each kind of line must have the columns it is read up to, and its numbers, amounts, dates and
//   weeks must read;
// - a previous-month line must be followed, as next report, by the same person (column 10).
// It passes when no error was found and at least one person was counted.
EsitoControllo ControllaDocumento(const shell::Esportazione& esportazione);

} // namespace uniemens
