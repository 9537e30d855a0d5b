#pragma once
// The records of the 770 supply, written one after the other as the export is read.

#include "contesto.h"
#include "esportazione.h"
#include "uscita.h"

namespace conv770 {

class Fornitura770 {
public:
    Fornitura770(shell::FileUscita& uscita, shell::ContestoElaborazione& contesto, int righeEsportazione);

    // From the first export line: the supply header and the declarant's front page.
    void RecordA(const shell::RigaEsportazione& riga);
    void RecordB(const shell::RigaEsportazione& riga);
    // Every export line: the employee's certification.
    void RecordG(const shell::RigaEsportazione& riga);
    // After the last line, with its declarant columns: the totals and the counts.
    void RecordJ(const shell::RigaEsportazione& ultimaRiga);
    void RecordZ();

private:
    shell::FileUscita& m_uscita;
    shell::ContestoElaborazione& m_contesto;
    int m_righeEsportazione;
};

} // namespace conv770
