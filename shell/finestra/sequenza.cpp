#include "shell/finestra/sequenza.h"

#include "shell/errore.h"
#include "shell/uscita.h"

#include <exception>
#include <utility>

namespace shell::finestra {

SequenzaElaborazione::SequenzaElaborazione(VistaElaborazione& vista, std::function<void(ContestoElaborazione&)> esegui,
                                           std::function<DataOra()> adesso, std::filesystem::path archivio)
    : m_vista(vista), m_esegui(std::move(esegui)), m_adesso(std::move(adesso)), m_archivio(std::move(archivio)) {}

void SequenzaElaborazione::Attivazione() {
    // The flag is set before the run: a message box of the run activates the window again when it
    // closes, and that must not start a second run.
    if (m_avviata || m_terminata)
        return;
    m_avviata = true;
    std::string errore;
    try {
        m_esegui(*this);
    } catch (...) {
        errore = MessaggioEccezione(std::current_exception());
    }
    MostraTesti();
    if (errore.empty()) {
        // A document refused by its check: the user reads the errors, then the program ends as failed.
        if (DocumentoNonGenerato())
            m_esito = EsitoErrore;
        m_vista.AbilitaAvanti();
        return;
    }
    m_esito = EsitoErrore;
    m_vista.MostraAvviso(errore, true);
    m_terminata = true;
    m_vista.Termina(m_esito);
}

void SequenzaElaborazione::Chiudi() {
    if (m_terminata)
        return;
    m_terminata = true;
    m_vista.Termina(m_esito);
}

void SequenzaElaborazione::ScriviVisibile(Casella casella, std::string_view testo, bool svuota, bool aCapo) {
    std::string& inAttesa = m_inAttesa[static_cast<int>(casella)];
    if (svuota) {
        m_vista.Svuota(casella);
        inAttesa.clear();
    }
    inAttesa += testo;
    if (aCapo)
        inAttesa += "\r\n";
}

// The run holds the window's thread, so nothing is painted until it returns or shows a message box:
// the texts are kept and handed to the view at those moments, in one insertion per box.
void SequenzaElaborazione::MostraTesti() {
    for (Casella casella : {Casella::Messaggio, Casella::Errori}) {
        std::string& inAttesa = m_inAttesa[static_cast<int>(casella)];
        if (inAttesa.empty())
            continue;
        m_vista.Aggiungi(casella, inAttesa);
        inAttesa.clear();
        // The error box keeps its last line in view; the log's caret moves only when the run asks.
        if (casella == Casella::Errori)
            m_vista.CursoreInFondo(Casella::Errori);
    }
    if (m_cursoreInFondo) {
        m_vista.CursoreInFondo(Casella::Messaggio);
        m_cursoreInFondo = false;
    }
}

void SequenzaElaborazione::CursoreInFondo() {
    // Nothing is painted before the texts are shown: the caret goes to the end then.
    m_cursoreInFondo = true;
}

void SequenzaElaborazione::AvvisoVisibile(std::string_view testo, bool iconaErrore) {
    MostraTesti();
    m_vista.MostraAvviso(testo, iconaErrore);
}

std::optional<std::string> AvvisoCaricamento(const Caricamento& caricamento) {
    if (caricamento.fileMancante)
        return MessaggioFileMancante(*caricamento.fileMancante);
    return std::nullopt;
}

int AvviaConvertitore(const Convertitore& convertitore, const std::filesystem::path& cartellaProgramma,
                      const std::filesystem::path& cartellaArchivio,
                      const std::function<void(std::string_view testo)>& avviso,
                      const std::function<int(std::function<void(ContestoElaborazione&)> esegui)>& apri) {
    Caricamento caricamento;
    try {
        caricamento = convertitore.carica(cartellaProgramma, cartellaArchivio);
    } catch (...) {
        avviso(MessaggioEccezione(std::current_exception()));
        return EsitoErrore;
    }
    if (const auto testo = AvvisoCaricamento(caricamento)) {
        avviso(*testo);
        return EsitoFileMancante;
    }
    return apri(std::move(caricamento.esegui));
}

} // namespace shell::finestra
