#include "fornitura_dma.h"

#include "errore.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace dma {

namespace {

using shell::RigaEsportazione;

constexpr int ColonnaAnno = 8;
constexpr int ColonnaMese = 9;
constexpr int ModuloRecordB = 1;
constexpr int TerzoConteggio = 0; // never anything else

// Record C up to the area (head, tax code, spaces), then the area, then the rest: the checks run
// before the area.
constexpr std::size_t PezziPrimaDellArea = static_cast<std::size_t>(
    std::find_if(RecordC.begin(), RecordC.end(), [](const Pezzo& p) { return p.contenuto == Contenuto::Area; }) -
    RecordC.begin());
static_assert(PezziPrimaDellArea < RecordC.size());

int LeggiIntero16(const RigaEsportazione& riga, int colonna) {
    const double valore = shell::ArrotondaAlPari(riga.Semplice(colonna));
    if (!(valore >= -32768 && valore <= 32767))
        riga.Errore(colonna,
                    "valore '" + std::string(riga[colonna]) + "' oltre i limiti di un intero a 16 bit (da -32.768 a 32.767)");
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
    : m_uscita(uscita), m_contesto(contesto) {}

void FornituraDMA::Scrivi(const std::string& record, std::string_view messaggio) {
    m_uscita.ScriviRiga(record);
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
    std::string record;
    Componi(record, RecordA, {.riga = &primaRiga});
    Scrivi(record, "Generazione Record Tipo A - Intestazione Fornitura");
}

void FornituraDMA::ScriviRecordB(const RigaEsportazione& primaRiga) {
    m_recordB = 1;
    const Sorgente sorgente{.riga = &primaRiga, .tipo = 'B', .modulo = ModuloRecordB};
    std::string record;
    Componi(record, Testata, sorgente);
    Componi(record, RecordB, sorgente);
    Scrivi(record, "Generazione Record Tipo B - Frontespizio");
}

void FornituraDMA::ScriviRecordC(const RigaEsportazione& riga) {
    if (!m_periodo)
        throw std::logic_error("Record C prima del mese di riferimento");
    Sorgente sorgente{.riga = &riga, .tipo = 'C', .modulo = m_recordC.Incrementa()};
    m_record.clear();
    Componi(m_record, std::span(RecordC).first(PezziPrimaDellArea), sorgente);

    const std::vector<std::string> controlliFalliti = ControllaDipendente(riga);
    for (const std::string& testo : controlliFalliti)
        m_contesto.ScriviMessaggio(testo);

    // The fields go straight into the record where its table has the area, padded to its length. The
    // DMA layout has no continuation record: fields that do not fit are not cut away.
    const Pezzo& area = RecordC[PezziPrimaDellArea];
    const std::size_t inizioArea = m_record.size();
    AggiungiCampiDelDipendente(m_record, riga, *m_periodo);
    const std::size_t caratteri = m_record.size() - inizioArea;
    if (caratteri > static_cast<std::size_t>(area.lunghezza))
        throw shell::ErroreElaborazione(
            "Riga " + std::to_string(riga.Numero()) + ": i quadri D0 ed E0 del dipendente " +
            std::string(riga[ColonnaCodiceFiscale]) + " " + std::string(riga[ColonnaCognome]) + " " +
            std::string(riga[ColonnaNome]) + " occupano " + std::to_string(caratteri) +
            " caratteri, oltre i 1.800 del record C (il tracciato DMA non prevede "
            "record di continuazione)");
    m_record.resize(inizioArea + static_cast<std::size_t>(area.lunghezza), ' ');
    Componi(m_record, std::span(RecordC).subspan(PezziPrimaDellArea + 1), sorgente);
    Scrivi(m_record, {});

    if (!controlliFalliti.empty())
        m_contesto.Avviso("Attenzione!!!", true);
    m_messaggio.assign(InizioRigaC);
    m_messaggio += riga[ColonnaCognome];
    m_messaggio += ' ';
    m_messaggio += riga[ColonnaNome];
    m_contesto.ScriviMessaggio(m_messaggio);
}

void FornituraDMA::ScriviRecordZ() {
    std::string record;
    Componi(record, RecordZ, {.conteggi = {m_recordB, m_recordC.Valore(), TerzoConteggio}});
    Scrivi(record, "Generazione Record Tipo Z - Riepilogo");
}

std::string FornituraDMA::NomeFinale() const {
    return "INPDAPDMA-" + Cifre(m_anno, 4) + "-" + Cifre(m_mese, 2) + ".txt";
}

} // namespace dma
