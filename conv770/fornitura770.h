#pragma once
// The records of the 770 supply, written one after the other as the export is read: A and B from the
// first line, one or more records G for every line, then J with the totals and Z with the counts.

#include "shell/contatore.h"
#include "shell/contesto.h"
#include "shell/esportazione.h"
#include "conv770/importo_esatto.h"
#include "conv770/record770.h"
#include "shell/uscita.h"

namespace conv770 {

class Fornitura770 {
public:
    // `righeEsportazione`: the number of lines of the export, written in record B.
    Fornitura770(shell::FileUscita& uscita, shell::ContestoElaborazione& contesto, int righeEsportazione);

    // From the first export line: the supply header and the declarant's front page.
    void RecordA(const shell::RigaEsportazione& riga);
    void RecordB(const shell::RigaEsportazione& riga);
    // Every export line: the employee's certification, quadri DA, DB and DC, in as many records G as
    // its fields need (1,800 characters each, all with the same head); its log line; and the message
    // box listing the employee's missing personal data, if any.
    void ScriviRecordG(const shell::RigaEsportazione& riga);
    // After the last line, with its declarant columns: the totals and the counts.
    void RecordJ(const shell::RigaEsportazione& ultimaRiga);
    void RecordZ();

private:
    // Writes the record of the table from its source, then its log line (none when empty).
    void Scrivi(std::span<const tracciati::Pezzo> tabella, const tracciati::Fonte& fonte, std::string_view messaggio);

    shell::FileUscita& m_uscita;
    shell::ContestoElaborazione& m_contesto;
    int m_righeEsportazione;
    shell::Contatore16 m_moduli{"moduli dei dipendenti"};
    shell::Contatore16 m_recordJ{"record di tipo J"};
    Totali m_totali{};
    std::string m_record;    // the record being written, its room kept from record to record
    std::string m_area;      // the fields of the line being written, its room kept from line to line
    std::string m_messaggio; // the log line of the employee, its room kept the same way
};

} // namespace conv770
