#include "conv770/fornitura770.h"

#include "conv770/quadri.h"
#include "conv770/record770.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace conv770 {

namespace {

using Numeri = std::array<int, Numeri770>;

// "C.F.: " and the employee's tax code, surname and first name, as the log and the message box name
// the employee.
void AggiungiDipendente(std::string& testo, const shell::RigaEsportazione& riga) {
    testo.append("C.F.: ").append(riga[20]).append(" - ").append(riga[21]).append(" ").append(riga[22]);
}
std::string Dipendente(const shell::RigaEsportazione& riga) {
    std::string testo;
    AggiungiDipendente(testo, riga);
    return testo;
}

} // namespace

Fornitura770::Fornitura770(shell::FileUscita& uscita, shell::ContestoElaborazione& contesto, int righeEsportazione)
    : m_uscita(uscita), m_contesto(contesto), m_righeEsportazione(righeEsportazione) {
    m_record.reserve(tracciati::LunghezzaRecord);
}

void Fornitura770::Scrivi(std::span<const tracciati::Pezzo> tabella, const tracciati::Fonte& fonte,
                          std::string_view messaggio) {
    m_record.clear();
    tracciati::Componi(m_record, tabella, fonte, Tracciato770().gancio);
    m_uscita.ScriviRiga(m_record);
    if (!messaggio.empty())
        m_contesto.ScriviMessaggio(messaggio);
}

void Fornitura770::RecordA(const shell::RigaEsportazione& riga) {
    Scrivi(tabelle770::RecordA, {&riga}, "Generazione Record Tipo A - Intestazione Fornitura");
}

void Fornitura770::RecordB(const shell::RigaEsportazione& riga) {
    Numeri numeri{};
    numeri[ModuloTesta] = 1;
    numeri[RigheEsportazione] = m_righeEsportazione;
    std::vector<std::string> avvisi;
    Scrivi(tabelle770::RecordB, {&riga, numeri, {}, &avvisi}, "Generazione Record Tipo B - Frontespizio");
    for (const auto& avviso : avvisi)
        m_contesto.ScriviMessaggio(avviso);
}

void Fornitura770::ScriviRecordG(const shell::RigaEsportazione& riga) {
    Numeri numeri{};
    numeri[ModuloTesta] = m_moduli.Incrementa();

    std::string& area = m_area;
    area.clear();
    std::string mancanti;
    CampiQuadroDA(riga, area, mancanti);
    CampiQuadroDB(riga, area, m_totali);
    CampiQuadroDC(riga, area);

    // One record per 1,800 characters of fields, at least one; all with the same head.
    const std::size_t quanti =
        area.empty() ? 1 : (area.size() + tracciati::LunghezzaArea - 1) / tracciati::LunghezzaArea;
    for (std::size_t i = 0; i < quanti; ++i) {
        const std::string_view parte = std::string_view(area).substr(
            std::min(area.size(), i * tracciati::LunghezzaArea), tracciati::LunghezzaArea);
        Scrivi(tabelle770::RecordG, {&riga, numeri, parte}, "");
    }

    std::string& messaggio = m_messaggio;
    messaggio.assign("Generazione Record Tipo G - Comunicazione dati certificazioni lavoro dipendente ");
    AggiungiDipendente(messaggio, riga);
    m_contesto.ScriviMessaggio(messaggio);
    if (quanti > 2)
        m_contesto.ScriviMessaggio("I dati del dipendente con " + Dipendente(riga) + " occupano " +
                                   std::to_string(quanti) + " record di Tipo G");
    if (!mancanti.empty())
        m_contesto.Avviso("Errori sul dipendente con " + Dipendente(riga) + "\r\n\r\n" + mancanti, false);
}

void Fornitura770::RecordJ(const shell::RigaEsportazione& ultimaRiga) {
    Numeri numeri{};
    numeri[ModuloTesta] = m_recordJ.Incrementa();
    std::string area;
    CampiRecordJ(m_totali, area);
    Scrivi(tabelle770::RecordJ, {&ultimaRiga, numeri, area}, "Generazione Record Tipo J - Prospetto SS Riepilogo");
}

void Fornitura770::RecordZ() {
    Numeri numeri{};
    numeri[ContoRecordB] = 1;
    numeri[ContoModuli] = m_moduli.Valore();
    numeri[ContoRecordJ] = m_recordJ.Valore();
    Scrivi(tabelle770::RecordZ, {nullptr, numeri}, "Generazione Record Tipo Z - Riepilogo");
}

} // namespace conv770
