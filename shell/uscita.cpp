#include "shell/uscita.h"

#include "shell/errore.h"
#include "shell/piattaforma.h"
#include "shell/testo.h"

#include <algorithm>
#include <cstdio>
#include <type_traits>

namespace shell {

namespace {

constexpr std::size_t DimensioneBlocco = std::size_t{256} << 10;
constexpr std::size_t AvvioScrittura = std::size_t{8} << 20;

std::string DueCifre(int n) {
    char testo[16];
    std::snprintf(testo, sizeof testo, "%02d", n);
    return testo;
}

} // namespace

std::string NomeTemporaneo(std::string_view prefisso, const DataOra& t, std::string_view estensione) {
    char anno[16];
    std::snprintf(anno, sizeof anno, "%04d", t.anno);
    return std::string(prefisso) + anno + "-" + DueCifre(t.mese) + "-" + DueCifre(t.giorno) + "-" + DueCifre(t.ora) +
           "-" + DueCifre(t.minuto) + "-" + DueCifre(t.secondo) + std::string(estensione);
}

void ControllaNomeFinale(std::string_view nome) {
    static constexpr std::string_view vietati = "/\\:*?\"<>|";
    bool valido = !nome.empty() && nome.find("..") == std::string_view::npos;
    for (char c : nome) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || vietati.find(c) != std::string_view::npos)
            valido = false;
    }
    if (!valido)
        throw ErroreElaborazione("Il nome del documento finale '" + std::string(nome) +
                                 "' non \xE8 un nome di file ammesso");
}

void ControllaCartellaDiUscita(const std::filesystem::path& cartella) {
    // The native characters: every control character is one byte or one wide character of its own,
    // also where a path holds UTF-8.
    using Carattere = std::filesystem::path::value_type;
    const auto controllo = [](Carattere c) {
        const auto u = static_cast<std::make_unsigned_t<Carattere>>(c);
        return u < 0x20 || u == 0x7F;
    };
    if (std::none_of(cartella.native().begin(), cartella.native().end(), controllo))
        return;
    throw ErroreElaborazione("Il percorso della cartella di destinazione '" + TestoPercorso(cartella) +
                             "' contiene un carattere di controllo: nessun file \xE8 stato creato");
}

std::string TestoCompletamento(const std::filesystem::path& percorsoFinale) {
    return "Generazione documento '" + TestoPercorso(percorsoFinale) +
           "' completata.\r\nPremi il pulsante 'Continua' per terminare.";
}

std::string TestoNonGenerato() {
    return "Documento non generato: correggere gli errori segnalati.\r\n"
           "Premi il pulsante 'Continua' per terminare.";
}

std::string MessaggioFileMancante(const std::filesystem::path& percorso) {
    return "Non trovo il file originale in '" + TestoPercorso(percorso) + "', quindi non posso continuare...";
}

FileUscita::FileUscita(std::filesystem::path percorso)
    : m_percorso(std::move(percorso)), m_file(CreaFileNuovo(m_percorso)), m_disparte(m_file) {
    if (!m_file)
        throw ErroreElaborazione("Impossibile creare il file di uscita '" + TestoPercorso(m_percorso) + "'");
    m_blocco.reserve(DimensioneBlocco);
}

FileUscita::~FileUscita() {
    if (m_file) {
        // A run that stops leaves its temporary file with what was written so far.
        std::fwrite(m_blocco.data(), 1, m_blocco.size(), m_file);
        m_disparte.Termina();
        std::fclose(m_file);
    }
}

void FileUscita::ErroreScrittura() const {
    throw ErroreElaborazione("Errore di scrittura sul file di uscita '" + TestoPercorso(m_percorso) +
                             "' (disco pieno o non scrivibile?)");
}

void FileUscita::Svuota() {
    const bool scritto = m_file && std::fwrite(m_blocco.data(), 1, m_blocco.size(), m_file) == m_blocco.size();
    const std::size_t dati = m_blocco.size();
    m_blocco.clear();
    if (!scritto)
        ErroreScrittura();
    Consegnati(dati);
}

void FileUscita::Consegnati(std::size_t dati) {
    // The disk works while the run goes on.
    m_nonAvviati += dati;
    if (m_nonAvviati >= AvvioScrittura) {
        m_disparte.Avanza();
        m_nonAvviati = 0;
    }
}

void FileUscita::Scrivi(std::string_view testo) {
    if (!m_file)
        ErroreScrittura();
    if (m_blocco.size() + testo.size() > DimensioneBlocco)
        Svuota();
    if (testo.size() >= DimensioneBlocco) {
        if (std::fwrite(testo.data(), 1, testo.size(), m_file) != testo.size())
            ErroreScrittura();
        Consegnati(testo.size());
        return;
    }
    m_blocco += testo;
}

void FileUscita::ScriviRiga(std::string_view riga) {
    Scrivi(riga);
    Scrivi("\r\n");
}

void FileUscita::Chiudi() {
    if (!m_file)
        return;
    Svuota();
    const bool inDisparte = m_disparte.Termina();
    const bool scritto = ScriviSuDisco(m_file) && inDisparte;
    const bool chiuso = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!scritto || !chiuso)
        ErroreScrittura();
}

void DaiNomeFinale(const std::filesystem::path& temporaneo, const std::filesystem::path& finale) {
    if (!SostituisciFile(temporaneo, finale))
        throw ErroreElaborazione("Impossibile dare al documento il nome finale '" + TestoPercorso(finale) + "'");
}

std::string NomeFileBlocco(std::string_view tipo) {
    std::string nome = ".";
    nome.append(tipo).append(".lock");
    return nome;
}

EsclusivaCartella::EsclusivaCartella(const std::filesystem::path& cartella, std::string_view tipo)
    : m_blocco(cartella / PercorsoDaTesto(NomeFileBlocco(tipo))) {
    switch (m_blocco.Stato()) {
    case BloccoEsclusivo::Esito::Preso:
        return;
    case BloccoEsclusivo::Esito::Occupato:
        throw ErroreElaborazione(
            "Un'altra elaborazione dello stesso convertitore sta gi\xE0 scrivendo nella cartella '" +
            TestoPercorso(cartella) +
            "': attendere che termini e riprovare. Nessun file \xE8 stato creato o modificato.");
    case BloccoEsclusivo::Esito::Impossibile:
        break;
    }
    throw ErroreElaborazione("Impossibile creare o bloccare il file '" +
                             TestoPercorso(cartella / PercorsoDaTesto(NomeFileBlocco(tipo))) +
                             "', che impedisce a due elaborazioni di scrivere insieme nella cartella (la cartella "
                             "manca, non \xE8 scrivibile o non permette di bloccare i file?)");
}

} // namespace shell
