#include "dma/fornitura_dma.h"

#include "shell/errore.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <stdexcept>

namespace dma {

namespace {

using shell::RigaEsportazione;

constexpr int ColonnaAnno = 8;
constexpr int ColonnaMese = 9;
constexpr int ModuloRecordB = 1;

using Numeri = std::array<int, NumeriDMA>;

// Record C up to the area (type, head, tax code, spaces), then the area, then the rest: the checks run
// before the area.
constexpr std::size_t PezziPrimaDellArea = static_cast<std::size_t>(
    std::find_if(tabelleDMA::RecordC.begin(), tabelleDMA::RecordC.end(),
                 [](const tracciati::Pezzo& p) { return p.genere == tracciati::Comune::Area; }) -
    tabelleDMA::RecordC.begin());
static_assert(PezziPrimaDellArea < tabelleDMA::RecordC.size());

int LeggiIntero16(const RigaEsportazione& riga, int colonna) {
    const double valore = shell::ArrotondaAlPari(riga.Semplice(colonna));
    if (!(valore >= -32768 && valore <= 32767))
        riga.Errore(colonna, "valore '" + std::string(riga[colonna]) +
                                 "' oltre i limiti di un intero a 16 bit (da -32.768 a 32.767)");
    return static_cast<int>(valore);
}

// At least `cifre` digits, "-" in front when negative.
std::string Cifre(int numero, int cifre) {
    std::string testo = std::to_string(std::abs(numero));
    if (testo.size() < static_cast<std::size_t>(cifre))
        testo.insert(0, static_cast<std::size_t>(cifre) - testo.size(), '0');
    return (numero < 0 ? "-" : "") + testo;
}

} // namespace

FornituraDMA::FornituraDMA(shell::FileUscita& uscita, shell::ContestoElaborazione& contesto)
    : m_uscita(uscita), m_contesto(contesto) {
    m_record.reserve(tracciati::LunghezzaRecord);
}

void FornituraDMA::Scrivi(std::string_view messaggio) {
    m_uscita.ScriviRiga(m_record);
    if (!messaggio.empty())
        m_contesto.ScriviMessaggio(messaggio);
}

void FornituraDMA::LeggiRiferimento(const RigaEsportazione& primaRiga) {
    m_anno = LeggiIntero16(primaRiga, ColonnaAnno);
    m_mese = LeggiIntero16(primaRiga, ColonnaMese);
    m_periodo = PeriodoDiRiferimento(m_anno, m_mese);
    if (!m_periodo)
        primaRiga.Errore(ColonnaAnno, "il mese di riferimento " + std::to_string(m_mese) + " dell'anno " +
                                          std::to_string(m_anno) + " cade fuori dagli anni da 1 a 9999");
}

void FornituraDMA::ScriviRecordA(const RigaEsportazione& primaRiga) {
    m_record.clear();
    tracciati::Componi(m_record, tabelleDMA::RecordA, {&primaRiga}, TracciatoDMA().gancio);
    Scrivi("Generazione Record Tipo A - Intestazione Fornitura");
}

void FornituraDMA::ScriviRecordB(const RigaEsportazione& primaRiga) {
    m_recordB = 1;
    Numeri numeri{};
    numeri[ModuloTesta] = ModuloRecordB;
    m_record.clear();
    tracciati::Componi(m_record, tabelleDMA::RecordB, {&primaRiga, numeri}, TracciatoDMA().gancio);
    Scrivi("Generazione Record Tipo B - Frontespizio");
}

void FornituraDMA::ScriviRecordC(const RigaEsportazione& riga) {
    if (!m_periodo)
        throw std::logic_error("Record C prima del mese di riferimento");
    Numeri numeri{};
    numeri[ModuloTesta] = m_recordC.Incrementa();
    const std::span<const tracciati::Pezzo> record(tabelleDMA::RecordC);
    m_record.clear();
    tracciati::Componi(m_record, record.first(PezziPrimaDellArea), {&riga, numeri}, TracciatoDMA().gancio);

    const std::vector<std::string> controlliFalliti = ControllaDipendente(riga);
    for (const std::string& testo : controlliFalliti)
        m_contesto.ScriviMessaggio(testo);

    // The DMA layout has no continuation record: fields that do not fit are not cut away.
    m_area.clear();
    AggiungiCampiDelDipendente(m_area, riga, *m_periodo);
    if (m_area.size() > static_cast<std::size_t>(record[PezziPrimaDellArea].lunghezza))
        throw shell::ErroreElaborazione(
            "Riga " + std::to_string(riga.Numero()) + ": i quadri D0 ed E0 del dipendente " +
            std::string(riga[ColonnaCodiceFiscale]) + " " + std::string(riga[ColonnaCognome]) + " " +
            std::string(riga[ColonnaNome]) + " occupano " + std::to_string(m_area.size()) +
            " caratteri, oltre i 1.800 del record C (il tracciato DMA non prevede "
            "record di continuazione)");
    tracciati::Componi(m_record, record.subspan(PezziPrimaDellArea), {&riga, numeri, m_area}, TracciatoDMA().gancio);
    Scrivi({});

    if (!controlliFalliti.empty())
        m_contesto.Avviso("Attenzione!!!", true);
    m_messaggio.assign(InizioRigaC);
    m_messaggio += riga[ColonnaCognome];
    m_messaggio += ' ';
    m_messaggio += riga[ColonnaNome];
    m_contesto.ScriviMessaggio(m_messaggio);
}

void FornituraDMA::ScriviRecordZ() {
    Numeri numeri{};
    numeri[ContoRecordB] = m_recordB;
    numeri[ContoRecordC] = m_recordC.Valore();
    numeri[TerzoConteggio] = 0; // never anything else
    m_record.clear();
    tracciati::Componi(m_record, tabelleDMA::RecordZ, {nullptr, numeri}, TracciatoDMA().gancio);
    Scrivi("Generazione Record Tipo Z - Riepilogo");
}

std::string FornituraDMA::NomeFinale() const { return NomeFornitura(m_anno, m_mese); }

std::string NomeFornitura(int anno, int mese) { return "INPDAPDMA-" + Cifre(anno, 4) + "-" + Cifre(mese, 2) + ".txt"; }

} // namespace dma
