#pragma once
// The DMA supply written record by record as the export is read: A and B from the first line, one C
// per line with the checks of the employee's data, Z with the counts; and its final name.

#include "shell/contatore.h"
#include "shell/contesto.h"
#include "shell/esportazione.h"
#include "dma/record_dma.h"
#include "shell/uscita.h"

#include <optional>
#include <string>

namespace dma {

class FornituraDMA {
public:
    FornituraDMA(shell::FileUscita& uscita, shell::ContestoElaborazione& contesto);

    // Columns 9 and 8 of the first line: the reference month and year, whole 16-bit numbers (halves
    // to the even neighbour). A value past the 16-bit range, or a month whose days fall outside the
    // years 1 to 9999, stops the run.
    void LeggiRiferimento(const shell::RigaEsportazione& primaRiga);

    // From the first line: the supply header and the frontispiece.
    void ScriviRecordA(const shell::RigaEsportazione& primaRiga);
    void ScriviRecordB(const shell::RigaEsportazione& primaRiga);
    // Every line, after the reference month is known: the employee's record C. Failed checks are
    // logged and announced by the box "Attenzione!!!" once the record is written; fields that do not
    // fit the 1,800 characters of the area stop the run.
    void ScriviRecordC(const shell::RigaEsportazione& riga);
    // After the last line: the counts.
    void ScriviRecordZ();

    // NomeFornitura of the reference month.
    std::string NomeFinale() const;

private:
    // Writes the record made, then its log line (none when empty).
    void Scrivi(std::string_view messaggio);

    shell::FileUscita& m_uscita;
    shell::ContestoElaborazione& m_contesto;
    int m_recordB = 0; // 1 once record B is written
    shell::Contatore16 m_recordC{"record C della fornitura"};
    int m_anno = 0;
    int m_mese = 0;
    std::optional<Periodo> m_periodo;
    // The record being written, the fields of record C and its log line, their room kept from one
    // employee to the next.
    std::string m_record;
    std::string m_area;
    std::string m_messaggio;
};

// The name of the supply of a reference month: "INPDAPDMA-" + the year (at least 4 digits) + "-" + the month
// (at least 2) + ".txt".
std::string NomeFornitura(int anno, int mese);

} // namespace dma
