#include "fornitura.h"

#include "bankcheck/comandi.h"
#include "comandi_verifica.h"
#include "contesto_terminale.h"
#include "convertitore.h"
#include "dma/dati_sub.h"
#include "emens/dati_sub_emens.h"
#include "piattaforma.h"
#include "testo.h"

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
    "  fornitura verifica FILE... [--formato 770|uniemens|dma|emens|tfr]\n"
    "  fornitura distinta FILE [--html USCITA] [--formato ...]\n"
    "  fornitura confronta VECCHIA NUOVA [--html USCITA] [--formato ...]\n";

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

std::optional<shell::DataOra> LeggiIstante(std::string_view testo) {
    shell::DataOra t;
    char resto = 0;
    const std::string s(testo);
    if (s.size() != 19 || std::sscanf(s.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &t.anno, &t.mese, &t.giorno, &t.ora,
                                      &t.minuto, &t.secondo, &resto) != 6)
        return std::nullopt;
    if (s[4] != '-' || s[7] != '-' || s[10] != 'T' || s[13] != ':' || s[16] != ':')
        return std::nullopt;
    if (!shell::DataValida(t.anno, t.mese, t.giorno) || t.ora > 23 || t.minuto > 59 || t.secondo > 59 ||
        t.ora < 0 || t.minuto < 0 || t.secondo < 0)
        return std::nullopt;
    return t;
}

// A folder given on the command line, made absolute and with the system's own separators (out/ARC is
// out\ARC on Windows), so that messages name the full paths as the windows do.
fs::path PercorsoDaArgomento(const std::string& utf8) {
    return fs::absolute(fs::path(std::u8string(utf8.begin(), utf8.end())).make_preferred());
}

int ErroreUso(std::ostream& err, std::string_view motivo) {
    err << "fornitura: " << motivo << "\n" << Uso;
    return EsitoUso;
}

int EseguiConvertitore(const shell::Convertitore& convertitore, const std::vector<std::string>& argomenti,
                       std::ostream& out, std::ostream& err) {
    fs::path cartella = fs::current_path();
    fs::path archivio = fs::absolute(shell::CartellaArchivioPredefinita());
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
            cartella = PercorsoDaArgomento(*valore);
        } else if (opzione == "--archive") {
            archivio = PercorsoDaArgomento(*valore);
        } else if (!(adesso = LeggiIstante(*valore))) {
            return ErroreUso(err, "data e ora non valide '" + *valore + "' (formato AAAA-MM-GGThh:mm:ss)");
        }
    }

    shell::Caricamento caricamento = convertitore.carica(cartella, archivio);
    if (caricamento.fileMancante) {
        err << PerTerminale(shell::MessaggioFileMancante(*caricamento.fileMancante)) << '\n';
        return EsitoFileMancante;
    }
    ContestoTerminale contesto(out, err, archivio, adesso ? *adesso : shell::OraLocale());
    const bool casellaErrori = convertitore.disposizione.errori.has_value();
    try {
        caricamento.esegui(contesto);
    } catch (const std::exception& e) {
        contesto.Chiudi(casellaErrori);
        err << PerTerminale(e.what()) << '\n';
        return EsitoErrore;
    }
    contesto.Chiudi(casellaErrori);
    return contesto.DocumentoNonGenerato() ? EsitoErrore : EsitoCompletato;
}

} // namespace

int EseguiFornitura(const std::vector<std::string>& argomenti, std::ostream& out, std::ostream& err) {
    if (argomenti.empty())
        return ErroreUso(err, "manca il comando");
    const std::string& comando = argomenti.front();
    if (comando == "--help" || comando == "-h" || comando == "help") {
        out << Uso;
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

} // namespace cli
