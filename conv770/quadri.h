#pragma once
// The fields of records G and J: quadro DA (personal data, with the checks that report missing data),
// quadro DB (income and withholdings, with the running totals of record J) and quadro DC.

#include "campo_non_posizionale.h"
#include "esportazione.h"
#include "importo_esatto.h"

#include <optional>
#include <string>
#include <string_view>

namespace conv770 {

// Appends the quadro DA fields of the line to `area`, and to `mancanti` the message of every check
// that finds its column blank (messages separated by CR LF, none after the last).
void CampiQuadroDA(const shell::RigaEsportazione& riga, std::string& area, std::string& mancanti);

// Appends the quadro DB fields (row 001 and the supplementary rows of columns 181 to 184) and adds
// the employee's amounts to the totals of the fields written.
void CampiQuadroDB(const shell::RigaEsportazione& riga, std::string& area, Totali& totali);

// Appends the quadro DC fields: row 001, then the groups of fields written, each in a row of its own.
void CampiQuadroDC(const shell::RigaEsportazione& riga, std::string& area);

// Appends the fields of record J: the running totals of quadro DB, each its whole part rounded down.
void CampiRecordJ(const Totali& totali, std::string& area);

// The type of a field code of records G and J as the tables above write it ("DA001005" is DT,
// "DC002A22" NP); none for a code that they never write.
std::optional<fields::Tipo> TipoDelCodice(std::string_view codice);

} // namespace conv770
