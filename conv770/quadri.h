#pragma once
// The fields of records G and J: quadro DA (personal data, with the checks that report missing data),
// quadro DB (income and withholdings, with the running totals of record J) and quadro DC.

#include "tracciati/tracciato.h"
#include "shell/esportazione.h"
#include "conv770/importo_esatto.h"

#include <optional>
#include <span>
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

// What the tables tell a reader of the supply.
// - The personal-data fields that the writer checks, each with the message of a blank column.
struct DatoControllato {
    std::string_view codice;
    std::string_view messaggio;
};
std::span<const DatoControllato> DatiControllatiDA();
// - The fields of record G whose amounts record J sums: each J code with a G code that adds to it (+1)
//   or takes from it (-1), in the order of record J.
struct TermineRecordJ {
    std::string_view codiceJ;
    std::string_view codiceG;
    int segno;
};
std::span<const TermineRecordJ> TerminiRecordJ();

// The type of every field code that records G and J write, from the tables above ("DA001005" is DT,
// "DC002A22" NP).
tracciati::Catalogo CatalogoDeiCampi();

} // namespace conv770
