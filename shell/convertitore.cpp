#include "shell/convertitore.h"

#include "shell/errore.h"
#include "shell/piattaforma.h"
#include "shell/testo.h"

#include <ctime>

namespace shell {

namespace fs = std::filesystem;

namespace {

// An employer's code as a message quotes it: on one line, and cut when a file holds a long text there.
std::string CodiceCitato(std::string_view codice) {
    constexpr std::size_t Massimo = 40;
    std::string citato = TestoSuUnaRiga(codice.substr(0, Massimo));
    if (codice.size() > Massimo)
        citato += "...";
    return "'" + citato + "'";
}

} // namespace

DataOra OraLocale() { return OraLocale(std::time(nullptr)); }

DataOra OraLocale(std::time_t adesso) {
    const std::tm t = TempoLocale(adesso);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

Caricamento CaricaEsportazione(const fs::path& cartellaProgramma, std::string_view nomeFile,
                               std::function<void(ContestoElaborazione&, const fs::path&)> esegui) {
    fs::path percorso = cartellaProgramma / PercorsoDaTesto(nomeFile);
    if (!FileOrdinarioEsiste(percorso))
        return {std::move(percorso), {}};
    return {std::nullopt,
            [esegui = std::move(esegui), percorso](ContestoElaborazione& contesto) { esegui(contesto, percorso); }};
}

std::string_view TipoDocumento(const Documento& documento) {
    std::string_view tipo = documento.prefisso;
    while (!tipo.empty() && tipo.back() == '-')
        tipo.remove_suffix(1);
    return tipo;
}

void ControllaTitolare(const Titolare& titolare, const fs::path& temporaneo, const fs::path& finale) {
    std::error_code errore;
    const fs::file_status stato = fs::symlink_status(finale, errore);
    // Nothing to replace; a folder is never replaced (the rename fails) and a name that cannot be looked
    // at fails there too.
    if (errore || !fs::exists(stato) || fs::is_directory(stato))
        return;
    const std::string nome = TestoPercorso(finale);
    const std::string documento(titolare.documento), chi(titolare.chi);
    const std::optional<std::string> vecchio =
        fs::is_regular_file(stato) ? titolare.leggi(finale) : std::optional<std::string>();
    if (!vecchio)
        throw ErroreElaborazione(
            "Il file '" + nome + "' non \xE8 " + documento +
            " che si possa leggere: non viene sostituito. Spostarlo in un'altra cartella e ripetere l'elaborazione.");
    const std::optional<std::string> nuovo = titolare.leggi(temporaneo);
    if (!nuovo)
        throw ErroreElaborazione("Impossibile leggere di chi \xE8 il documento appena scritto");
    if (*vecchio == *nuovo)
        return;
    throw ErroreElaborazione("Il file '" + nome + "' \xE8 gi\xE0 " + documento + " di un altro " + chi +
                             " (codice fiscale " + CodiceCitato(*vecchio) +
                             "), non di quello di questa elaborazione "
                             "(codice fiscale " +
                             CodiceCitato(*nuovo) +
                             "): non viene sostituito. Spostarlo in un'altra cartella e ripetere l'elaborazione.");
}

void EseguiConversioneArchivio(ContestoElaborazione& contesto, const fs::path& percorsoEsportazione,
                               const Documento& documento, const Elaborazione& elabora) {
    const fs::path archivio = contesto.CartellaArchivio();
    ControllaCartellaDiUscita(archivio);
    CreaCartella(archivio);
    // Another run of this converter in the same folder would write the same temporary file: the one
    // that comes second stops here, before it creates or changes anything.
    const EsclusivaCartella esclusiva(archivio, TipoDocumento(documento));
    const DataOra quando = contesto.Adesso();

    const Esportazione esportazione = Esportazione::Leggi(percorsoEsportazione);
    if (esportazione.Vuota())
        throw ErroreElaborazione("Il file di esportazione \xE8 vuoto");

    const fs::path temporaneo =
        archivio / PercorsoDaTesto(NomeTemporaneo(documento.prefisso, quando, documento.estensione));
    FileUscita uscita(temporaneo);
    fs::path finale;
    try {
        const std::optional<std::string> nomeFinale = elabora(esportazione, uscita, contesto);
        uscita.Chiudi();
        if (!nomeFinale) {
            contesto.ScriviMessaggio(TestoNonGenerato(), false, false);
            contesto.CursoreInFondo();
            contesto.SegnalaDocumentoNonGenerato();
            return;
        }
        ControllaNomeFinale(*nomeFinale);
        finale = archivio / PercorsoDaTesto(*nomeFinale);
        if (documento.titolare)
            ControllaTitolare(*documento.titolare, temporaneo, finale);
        DaiNomeFinale(temporaneo, finale);
    } catch (const ErroreElaborazione& e) {
        throw ErroreElaborazione(std::string(e.what()) + "\r\nIl documento resta con il nome temporaneo '" +
                                 TestoPercorso(temporaneo) + "'.");
    }
    contesto.ScriviMessaggio(TestoCompletamento(finale), false, false);
    contesto.CursoreInFondo();
}

} // namespace shell
