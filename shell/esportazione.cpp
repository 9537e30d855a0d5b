#include "shell/esportazione.h"

#include "shell/contatore.h"
#include "shell/errore.h"
#include "shell/testo.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
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

void DividiColonne(std::string_view riga, std::vector<std::string_view>& colonne) {
    colonne.clear();
    if (riga.empty())
        return;
    // One pass, std::find between TABs (inlined): a column is a few characters, too few for a call of memchr
    // per column to pay.
    const char* const fine = riga.data() + riga.size();
    for (const char* inizio = riga.data();;) {
        const char* const tab = std::find(inizio, fine, '\t');
        colonne.emplace_back(inizio, static_cast<std::size_t>(tab - inizio));
        if (tab == fine)
            return;
        if (colonne.size() == static_cast<std::size_t>(MassimoContatore)) {
            colonne.clear(); // a line refused gives no column
            throw ErroreElaborazione("Superato il limite di 32.767 colonne in una riga");
        }
        inizio = tab + 1;
    }
}

Esportazione Esportazione::Leggi(const std::filesystem::path& percorso) {
    std::ifstream file(percorso, std::ios::binary);
    if (!file)
        throw ErroreElaborazione("Impossibile aprire il file di esportazione '" + TestoPercorso(percorso) + "'");
    Esportazione esportazione;
    // Read in large blocks straight into room for the whole file (its size when known, plus one
    // block to see its end), the room neither cleared first nor moved unless the file grows meanwhile.
    constexpr std::size_t Blocco = std::size_t{1} << 20;
    std::error_code errore;
    const auto dimensione = std::filesystem::file_size(percorso, errore);
    std::size_t capienza = (errore ? 0 : static_cast<std::size_t>(dimensione)) + Blocco;
    // Large pages for what the file is expected to fill.
    Stanza dati = RiservaStanza(capienza, capienza - Blocco);
    std::size_t letti = 0;
    while (file) {
        if (capienza - letti < Blocco) {
            const std::size_t nuova = capienza * 2;
            Stanza altri = RiservaStanza(nuova, letti);
            std::memcpy(altri.get(), dati.get(), letti);
            dati = std::move(altri);
            capienza = nuova;
        }
        file.read(dati.get() + letti, static_cast<std::streamsize>(Blocco));
        letti += static_cast<std::size_t>(file.gcount());
    }
    if (file.bad())
        throw ErroreElaborazione("Errore di lettura del file di esportazione '" + TestoPercorso(percorso) + "'");
    esportazione.m_dati = std::move(dati);
    esportazione.m_righe = DividiRighe(std::string_view(esportazione.m_dati.get(), letti));
    return esportazione;
}

Esportazione Esportazione::DaTesto(std::string testo) {
    Esportazione esportazione;
    esportazione.m_dati = RiservaStanza(testo.size() + 1, testo.size());
    std::memcpy(esportazione.m_dati.get(), testo.data(), testo.size());
    esportazione.m_righe = DividiRighe(std::string_view(esportazione.m_dati.get(), testo.size()));
    return esportazione;
}

void RifiutaACapoIsolati(const Esportazione& esportazione) {
    for (std::size_t i = 0; i < esportazione.Righe(); ++i) {
        const std::string_view riga = esportazione.Riga(i);
        const auto lf = riga.find('\n');
        if (lf == std::string_view::npos)
            continue;
        const auto colonna = std::count(riga.begin(), riga.begin() + static_cast<std::ptrdiff_t>(lf), '\t');
        throw ErroreCollocato("Riga " + std::to_string(i + 1) + ", colonna " + std::to_string(colonna) +
                              ": a capo (LF) senza ritorno carrello (CR); le righe del file di esportazione "
                              "devono finire con CR LF");
    }
}

RigaEsportazione::RigaEsportazione(int numero, std::string_view testo, Preparazione preparazione) {
    Carica(numero, testo, preparazione);
}

RigaEsportazione::RigaEsportazione(const RigaEsportazione& altra)
    : m_numero(altra.m_numero), m_testo(altra.m_testo), m_colonne(altra.m_colonne) {
    Rifai(altra.m_testo.data());
}

RigaEsportazione& RigaEsportazione::operator=(const RigaEsportazione& altra) {
    if (this != &altra)
        *this = RigaEsportazione(altra);
    return *this;
}

RigaEsportazione::RigaEsportazione(RigaEsportazione&& altra) noexcept
    : m_numero(altra.m_numero), m_colonne(std::move(altra.m_colonne)) {
    const char* vecchio = altra.m_testo.data();
    m_testo = std::move(altra.m_testo);
    Rifai(vecchio);
}

RigaEsportazione& RigaEsportazione::operator=(RigaEsportazione&& altra) noexcept {
    if (this != &altra) {
        m_numero = altra.m_numero;
        m_colonne = std::move(altra.m_colonne);
        const char* vecchio = altra.m_testo.data();
        m_testo = std::move(altra.m_testo);
        Rifai(vecchio);
    }
    return *this;
}

void RigaEsportazione::Rifai(const char* vecchio) {
    if (vecchio == m_testo.data())
        return;
    for (std::string_view& colonna : m_colonne)
        colonna = std::string_view(m_testo.data() + (colonna.data() - vecchio), colonna.size());
}

void RigaEsportazione::Carica(int numero, std::string_view testo, Preparazione preparazione) {
    m_numero = numero;
    m_testo.resize(testo.size());
    CopiaInMaiuscolo(testo, m_testo.data());
    Dividi(preparazione);
}

void RigaEsportazione::Dividi(Preparazione preparazione) {
    try {
        DividiColonne(m_testo, m_colonne);
    } catch (const ErroreElaborazione& e) {
        throw ErroreElaborazione("Riga " + std::to_string(m_numero) + ": " + e.what());
    }
    if (preparazione == Preparazione::MaiuscoloSenzaSpazi)
        for (auto& colonna : m_colonne) {
            const std::string_view pulita = TogliSpazi(colonna);
            colonna = pulita.empty() ? colonna.substr(0, 0) : pulita; // still a view into the line
        }
}

void RigaEsportazione::Errore(int colonna, std::string_view descrizione) const {
    throw ErroreCollocato("Riga " + std::to_string(m_numero) + ", colonna " + std::to_string(colonna) + ": " +
                          std::string(descrizione));
}

void RigaEsportazione::ColonnaMancante(int colonna) const {
    Errore(colonna, "colonna mancante (la riga ha " + std::to_string(m_colonne.size()) + " colonne)");
}

double RigaEsportazione::Numerico(int colonna, std::string_view testo) const {
    const auto valore = ValoreNumerico(testo);
    if (!valore)
        Errore(colonna, "numero non valido '" + std::string(testo) + "'");
    return *valore;
}

double RigaEsportazione::Semplice(int colonna, std::string_view testo) const {
    const auto valore = ValoreSemplice(testo);
    if (!valore)
        Errore(colonna, "numero fuori dall'intervallo ammesso '" + std::string(testo) + "'");
    return *valore;
}

Data RigaEsportazione::LeggiData(int colonna, std::string_view testo) const {
    const auto data = shell::LeggiData(testo);
    if (!data)
        Errore(colonna, "data non valida '" + std::string(testo) + "'");
    return *data;
}

} // namespace shell
