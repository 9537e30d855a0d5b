#include "uniemens/dati_sub.h"

#include "uniemens/campi.h"
#include "uniemens/controllo.h"
#include "uniemens/denuncia.h"
#include "scrittura_xml/testo_xml.h"

#include <optional>
#include <string>

namespace uniemens {

namespace fs = std::filesystem;

namespace {

// The check's findings in the error box and its verdict in the log.
void RiportaControllo(const EsitoControllo& controllo, shell::ContestoElaborazione& contesto) {
    for (std::size_t i = 0; i < controllo.errori.size(); ++i)
        contesto.ScriviErrore(controllo.errori[i], i == 0, true);
    if (!controllo.errori.empty()) {
        Registra(contesto, "Presenza di errori nel documento.");
    } else if (controllo.dipendenti == 0 && controllo.collaboratori == 0) {
        contesto.ScriviErrore("Nessuna persona segnalata come dipendente o collaboratore.", true, false);
        Registra(contesto, "Presenza di errori nel documento.");
    }
}

// Writes the document; returns its final name, or nothing when the check refused it.
std::optional<std::string> ScriviDocumento(const shell::Esportazione& esportazione, shell::FileUscita& uscita,
                                           shell::ContestoElaborazione& contesto) {
    Registra(contesto, "Apertura documento...", true);
    contesto.ScriviErrore("Nessun errore.", true, true);
    Registra(contesto, "Lettura documento...");

    auto xml = scrittura_xml::ScrittoreXML::PerPezzi([&uscita](std::string_view testo) { uscita.Scrivi(testo); });
    xml.Dichiarazione();
    ScriviAperturaDocumento(xml);
    Registra(contesto, "Controllo documento...");

    const EsitoControllo controllo = ControllaDocumento(esportazione);
    bool aziendaAperta = false;
    if (controllo.vuoto) {
        Registra(contesto, "Presenza di errori nel documento.");
        contesto.ScriviErrore("Documento vuoto.", true, false);
    } else {
        if (controllo.periodo) {
            const RigaINPS riga1(1, esportazione.Riga(0));
            Registra(contesto, "Creazione dati Mittente");
            ScriviMittente(riga1, xml);
            Registra(contesto, "Creazione dati Mittente completati.");
            Registra(contesto, "Creazione dati Azienda");
            ScriviAperturaAzienda(riga1, *controllo.periodo, xml);
            aziendaAperta = true;
        }
        RiportaControllo(controllo, contesto);
        if (controllo.superato && controllo.dipendenti > 0)
            ScriviDipendenti(esportazione, controllo.persone, *controllo.periodo, xml, contesto);
        if (controllo.superato && controllo.collaboratori > 0)
            ScriviCollaboratori(esportazione, controllo.persone, xml, contesto);
    }
    if (aziendaAperta)
        ScriviChiusuraAzienda(xml);
    Registra(contesto, "Creazione dati Azienda completati.");
    ScriviChiusuraDocumento(xml);
    xml.Svuota();

    if (!controllo.superato)
        return std::nullopt;
    return NomeDocumento(controllo.periodo->anno, controllo.periodo->mese);
}

} // namespace

const shell::Convertitore& Descrittore() {
    // clang-format off
    static const shell::Convertitore convertitore{
        "uniemens", "lunfort",
        "Elaborazione dati per UNIEMENS v. 15022012",
        //  client area  Messaggio                 Avanti
        {6945, 6000, {120, 120, 6735, 2415}, {5520, 5520, 1335, 375},
        //  LabelErrori                         Errori
         shell::Rettangolo{120, 2640, 1515, 195}, shell::Rettangolo{120, 2880, 6735, 2535}},
        scrittura_xml::CaricamentoINPS(EseguiConversione)};
    // clang-format on
    return convertitore;
}

void EseguiConversione(shell::ContestoElaborazione& contesto, const fs::path& percorsoEsportazione) {
    static constexpr shell::Titolare Titolare{"un documento UniEmens", "datore di lavoro", AziendaDelDocumento};
    shell::EseguiConversioneArchivio(contesto, percorsoEsportazione, {"INPSUNIEMENS-", ".xml", &Titolare},
                                     ScriviDocumento);
}

std::string NomeDocumento(int anno, int mese) {
    return "INPSUNIEMENS-" + CifreMinime(anno, 4) + "-" + CifreMinime(mese, 2) + ".xml";
}

} // namespace uniemens
