#include "esportazione.h"

#include "contatore.h"
#include "errore.h"
#include "testo.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace shell {

std::vector<std::string_view> DividiRighe(std::string_view testo) {
    std::vector<std::string_view> righe;
    Contatore16 conteggio("righe del file di esportazione");
    std::size_t inizio = 0;
    while (inizio < testo.size()) {
        const auto cr = testo.find('\r', inizio);
        const auto fine = cr == std::string_view::npos ? testo.size() : cr;
        conteggio.Incrementa();
        righe.push_back(testo.substr(inizio, fine - inizio));
        inizio = fine + 1;
        if (cr != std::string_view::npos && inizio < testo.size() && testo[inizio] == '\n')
            ++inizio;
    }
    return righe;
}

std::vector<std::string> DividiColonne(std::string_view riga) {
    std::vector<std::string> colonne;
    if (riga.empty())
        return colonne;
    // More than 32,767 columns stop the run before any is copied; room for all of them at once (a
    // 770 line has 200), so that none is moved as the vector grows.
    const auto tabulazioni = static_cast<std::size_t>(std::count(riga.begin(), riga.end(), '\t'));
    if (tabulazioni >= static_cast<std::size_t>(MassimoContatore))
        throw ErroreElaborazione("Superato il limite di 32.767 colonne in una riga");
    colonne.reserve(tabulazioni + 1);
    std::size_t inizio = 0;
    while (true) {
        const auto tab = riga.find('\t', inizio);
        colonne.emplace_back(riga.substr(inizio, tab == std::string_view::npos ? riga.npos : tab - inizio));
        if (tab == std::string_view::npos)
            break;
        inizio = tab + 1;
    }
    return colonne;
}

Esportazione Esportazione::Leggi(const std::filesystem::path& percorso) {
    std::ifstream file(percorso, std::ios::binary);
    if (!file)
        throw ErroreElaborazione("Impossibile aprire il file di esportazione '" + TestoPercorso(percorso) + "'");
    Esportazione esportazione;
    // Read in large blocks into room for the whole file (its size when known, plus one block), not
    // a character at a time into a vector that keeps growing.
    constexpr std::size_t Blocco = std::size_t{1} << 20;
    std::vector<char>& dati = esportazione.m_dati;
    std::error_code errore;
    if (const auto dimensione = std::filesystem::file_size(percorso, errore); !errore)
        dati.reserve(static_cast<std::size_t>(dimensione) + Blocco);
    while (file) {
        const std::size_t letti = dati.size();
        dati.resize(letti + Blocco);
        file.read(dati.data() + letti, static_cast<std::streamsize>(Blocco));
        dati.resize(letti + static_cast<std::size_t>(file.gcount()));
    }
    if (file.bad())
        throw ErroreElaborazione("Errore di lettura del file di esportazione '" + TestoPercorso(percorso) + "'");
    esportazione.m_righe =
        DividiRighe(std::string_view(esportazione.m_dati.data(), esportazione.m_dati.size()));
    return esportazione;
}

Esportazione Esportazione::DaTesto(std::string testo) {
    Esportazione esportazione;
    esportazione.m_dati.assign(testo.begin(), testo.end());
    esportazione.m_righe =
        DividiRighe(std::string_view(esportazione.m_dati.data(), esportazione.m_dati.size()));
    return esportazione;
}

void RifiutaACapoIsolati(const Esportazione& esportazione) {
    for (std::size_t i = 0; i < esportazione.Righe(); ++i) {
        const std::string_view riga = esportazione.Riga(i);
        const auto lf = riga.find('\n');
        if (lf == std::string_view::npos)
            continue;
        const auto colonna = std::count(riga.begin(), riga.begin() + static_cast<std::ptrdiff_t>(lf), '\t');
        throw ErroreElaborazione("Riga " + std::to_string(i + 1) + ", colonna " + std::to_string(colonna) +
                                 ": a capo (LF) senza ritorno carrello (CR); le righe del file di esportazione "
                                 "devono finire con CR LF");
    }
}

RigaEsportazione::RigaEsportazione(int numero, std::string_view testo, Preparazione preparazione)
    : m_numero(numero) {
    try {
        m_colonne = DividiColonne(testo);
    } catch (const ErroreElaborazione& e) {
        throw ErroreElaborazione("Riga " + std::to_string(numero) + ": " + e.what());
    }
    for (auto& colonna : m_colonne) {
        InMaiuscolo(colonna);
        if (preparazione == Preparazione::MaiuscoloSenzaSpazi)
            colonna = std::string(TogliSpazi(colonna));
    }
}

void RigaEsportazione::Errore(int colonna, std::string_view descrizione) const {
    throw ErroreElaborazione("Riga " + std::to_string(m_numero) + ", colonna " + std::to_string(colonna) +
                             ": " + std::string(descrizione));
}

const std::string& RigaEsportazione::operator[](int colonna) const {
    if (!Ha(colonna))
        Errore(colonna, "colonna mancante (la riga ha " + std::to_string(m_colonne.size()) + " colonne)");
    return m_colonne[static_cast<std::size_t>(colonna)];
}

double RigaEsportazione::Numerico(int colonna) const {
    const std::string& testo = (*this)[colonna];
    const auto valore = ValoreNumerico(testo);
    if (!valore)
        Errore(colonna, "numero non valido '" + testo + "'");
    return *valore;
}

double RigaEsportazione::Semplice(int colonna) const {
    const std::string& testo = (*this)[colonna];
    const auto valore = ValoreSemplice(testo);
    if (!valore)
        Errore(colonna, "numero fuori dall'intervallo ammesso '" + testo + "'");
    return *valore;
}

Data RigaEsportazione::LeggiData(int colonna) const {
    const std::string& testo = (*this)[colonna];
    const auto data = shell::LeggiData(testo);
    if (!data)
        Errore(colonna, "data non valida '" + testo + "'");
    return *data;
}

} // namespace shell
