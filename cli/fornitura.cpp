#include "cli/fornitura.h"

#include "bankcheck/comandi.h"
#include "cli/comandi_verifica.h"
#include "cli/contesto_terminale.h"
#include "shell/convertitore.h"
#include "dma/dati_sub.h"
#include "emens/dati_sub_emens.h"
#include "shell/errore.h"
#include "shell/piattaforma.h"
#include "shell/testo.h"

// Every converter has its own dati_sub.h: name them by their folder.
#include "conv770/dati_sub.h"
#include "tfr/dati_sub_tfr.h"
#include "uniemens/dati_sub.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string_view>

namespace cli {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view Uso =
    "Uso:\n"
    "  fornitura 770|uniemens|dma|emens|tfr [--dir DIR] [--archive DIR] [--now AAAA-MM-GGThh:mm:ss]\n"
    "  fornitura cin ABI CAB CONTO\n"
    "  fornitura iban BBAN [PAESE]\n"
    "  fornitura check-iban IBAN\n"
    "  fornitura verifica FILE|CARTELLA... [--formato 770|uniemens|dma|emens|tfr] [--ricorsivo] [--thread N]\n"
    "  fornitura archivio CARTELLA... [--html USCITA] [--ricorsivo] [--thread N]\n"
    "  fornitura distinta FILE [--html USCITA] [--formato ...]\n"
    "  fornitura confronta VECCHIA NUOVA [--html USCITA] [--formato ...]\n"
    "  fornitura --version\n";

struct VoceConvertitore {
    std::string_view comando;
    const shell::Convertitore* (*descrittore)(); // nullptr: not available in this build
};

// clang-format off
const VoceConvertitore Convertitori[] = {
    {"770",      [] { return &conv770::Descrittore(); }},
    {"uniemens", [] { return &uniemens::Descrittore(); }},
    {"dma",      [] { return &dma::Descrittore(); }},
    {"emens",    [] { return &emens::Descrittore(); }},
    {"tfr",      [] { return &tfr::Descrittore(); }},
};
// clang-format on

// Exactly YYYY-MM-DDTHH:MM:SS: digits where the pattern has them (no sign, no blank), the separators
// where it has them, and a date and time that exist.
std::optional<shell::DataOra> LeggiIstante(std::string_view testo) {
    constexpr std::string_view Modello = "0000-00-00T00:00:00";
    if (testo.size() != Modello.size())
        return std::nullopt;
    for (std::size_t i = 0; i < Modello.size(); ++i) {
        const bool cifra = testo[i] >= '0' && testo[i] <= '9';
        if (Modello[i] == '0' ? !cifra : testo[i] != Modello[i])
            return std::nullopt;
    }
    const auto numero = [testo](std::size_t da, std::size_t cifre) {
        int n = 0;
        for (std::size_t i = da; i < da + cifre; ++i)
            n = n * 10 + (testo[i] - '0');
        return n;
    };
    const shell::DataOra t{numero(0, 4), numero(5, 2), numero(8, 2), numero(11, 2), numero(14, 2), numero(17, 2)};
    if (!shell::DataValida(t.anno, t.mese, t.giorno) || t.ora > 23 || t.minuto > 59 || t.secondo > 59)
        return std::nullopt;
    return t;
}

// A path made absolute: only a relative one needs the working folder, and a run that needs it when it is
// gone (deleted while the shell stood in it) stops.
fs::path Assoluto(const fs::path& percorso) {
    if (percorso.is_absolute())
        return percorso;
    std::error_code ec;
    fs::path assoluto = fs::absolute(percorso, ec);
    if (ec)
        throw shell::ErroreElaborazione(
            "La cartella di lavoro non esiste pi\xF9 o non si pu\xF2 leggere: impossibile trovare '" +
            shell::TestoPercorso(percorso) + "' (indicare un percorso completo)");
    return assoluto;
}

// The working folder itself, the default of --dir.
fs::path CartellaDiLavoro() {
    const fs::path lavoro = Assoluto(".").lexically_normal(); // "/a/b/." is "/a/b/"
    return lavoro.has_filename() ? lavoro : lavoro.parent_path();
}

// A folder given on the command line, made absolute and with the system's own separators (out/ARC is
// out\ARC on Windows), so that messages name the full paths as the windows do.
fs::path PercorsoDaArgomento(const std::string& utf8) {
    return Assoluto(fs::path(std::u8string(utf8.begin(), utf8.end())).make_preferred());
}

int ErroreUso(std::ostream& err, std::string_view motivo) {
    err << "fornitura: " << motivo << "\n" << Uso;
    return EsitoUso;
}

int EseguiConvertitore(const shell::Convertitore& convertitore, const std::vector<std::string>& argomenti,
                       std::ostream& out, std::ostream& err) {
    std::optional<std::string> cartella, archivio; // as given, in UTF-8
    std::optional<shell::DataOra> adesso;
    for (std::size_t i = 1; i < argomenti.size(); ++i) {
        std::string opzione = argomenti[i];
        std::optional<std::string> valore;
        if (const auto uguale = opzione.find('='); opzione.rfind("--", 0) == 0 && uguale != std::string::npos) {
            valore = opzione.substr(uguale + 1);
            opzione.resize(uguale);
        } else if (i + 1 < argomenti.size()) {
            valore = argomenti[i + 1];
            if (opzione == "--dir" || opzione == "--archive" || opzione == "--now")
                ++i;
        }
        if (opzione != "--dir" && opzione != "--archive" && opzione != "--now")
            return ErroreUso(err, "opzione sconosciuta '" + opzione + "'");
        if (!valore || valore->empty())
            return ErroreUso(err, "manca il valore di " + opzione);
        if (opzione == "--dir") {
            cartella = *valore;
        } else if (opzione == "--archive") {
            archivio = *valore;
        } else if (!(adesso = LeggiIstante(*valore))) {
            return ErroreUso(err, "data e ora non valide '" + *valore + "' (formato AAAA-MM-GGThh:mm:ss)");
        }
    }

    // From here on every failure is the run's: status 1 and its message. Only a relative folder, the
    // default one of --dir included, needs the working folder.
    std::optional<ContestoTerminale> contesto;
    const bool casellaErrori = convertitore.disposizione.errori.has_value();
    try {
        const fs::path programma = cartella ? PercorsoDaArgomento(*cartella) : CartellaDiLavoro();
        const fs::path destinazione =
            archivio ? PercorsoDaArgomento(*archivio) : Assoluto(shell::CartellaArchivioPredefinita());
        shell::Caricamento caricamento = convertitore.carica(programma, destinazione);
        if (caricamento.fileMancante) {
            err << PerTerminale(shell::MessaggioFileMancante(*caricamento.fileMancante)) << '\n';
            return EsitoFileMancante;
        }
        contesto.emplace(out, err, destinazione, adesso ? *adesso : shell::OraLocale());
        caricamento.esegui(*contesto);
    } catch (...) {
        const std::string messaggio = shell::MessaggioEccezione(std::current_exception());
        if (contesto)
            contesto->Chiudi(casellaErrori);
        err << PerTerminale(messaggio) << '\n';
        return EsitoErrore;
    }
    contesto->Chiudi(casellaErrori);
    return contesto->DocumentoNonGenerato() ? EsitoErrore : EsitoCompletato;
}

int Esegui(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err) {
    if (argomenti.empty())
        return ErroreUso(err, "manca il comando");
    const std::string& comando = argomenti.front();
    if (comando == "--help" || comando == "-h" || comando == "help") {
        out << Uso;
        return EsitoCompletato;
    }
    if (comando == "--version" || comando == "-V") {
        if (argomenti.size() > 1)
            return ErroreUso(err, "--version non vuole argomenti");
        out << "fornitura (Forniture) " << FORNITURA_VERSIONE << '\n';
        return EsitoCompletato;
    }
    for (const auto& voce : Convertitori) {
        if (voce.comando != comando)
            continue;
        if (!voce.descrittore) {
            err << "fornitura: il convertitore '" << comando << "' non \xC3\xA8 ancora disponibile\n";
            return EsitoUso;
        }
        return EseguiConvertitore(*voce.descrittore(), argomenti, out, err);
    }
    if (comando == "verifica")
        return EseguiVerifica(argomenti, out, err);
    if (comando == "distinta")
        return EseguiDistinta(argomenti, out, err);
    if (comando == "archivio")
        return EseguiArchivio(argomenti, out, err);
    if (comando == "confronta")
        return EseguiConfronta(argomenti, out, err);
    if (comando == "cin" || comando == "iban" || comando == "check-iban") {
        std::vector<std::string> latin1;
        for (std::size_t i = 1; i < argomenti.size(); ++i)
            latin1.push_back(shell::Latin1DaUtf8(argomenti[i]));
        std::ostringstream risultato, errori;
        const int esito = bankcheck::EseguiComando(comando, latin1, risultato, errori);
        out << PerTerminale(risultato.str());
        err << PerTerminale(errori.str());
        return esito;
    }
    return ErroreUso(err, "comando sconosciuto '" + comando + "'");
}

} // namespace

int EseguiFornitura(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err) {
    // Whatever goes wrong (no memory, a failure of the system) ends here, as a stopped run: never an abort.
    try {
        return Esegui(argomenti, out, err);
    } catch (...) {
        err << PerTerminale(shell::MessaggioEccezione(std::current_exception())) << '\n';
        return EsitoErrore;
    }
}

} // namespace cli
