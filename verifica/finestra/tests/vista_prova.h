#pragma once
// A view of the check window for the tests: it keeps what the logic last showed, answers the file dialogs
// with the files the test gives, records the message boxes and the pages opened, and lets the test wait
// for the work done away from the window's thread.

#include "verifica/finestra/finestra_verifica.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace verifica::finestra::test {

struct DialogoChiesto {
    std::string titolo;
    std::filesystem::path cartella;
    bool piu;
    friend bool operator==(const DialogoChiesto&, const DialogoChiesto&) = default;
};

struct MessaggioMostrato {
    std::string testo;
    bool errore;
    friend bool operator==(const MessaggioMostrato&, const MessaggioMostrato&) = default;
};

class VistaProva : public VistaVerifica {
public:
    void MostraFile(const std::vector<std::string>& f, int s) override {
        file = f;
        scelto = s;
    }
    void MostraIntestazione(const std::vector<std::pair<std::string, std::string>>& righe) override {
        intestazione = righe;
    }
    void MostraEsito(const std::string& testo, TipoEsito tipo) override {
        esito = testo;
        tipoEsito = tipo;
    }
    void MostraRilievi(std::size_t n, ColonnaRilievi c, bool cr) override {
        righe = n;
        colonna = c;
        crescente = cr;
        ++aggiornamenti;
    }
    void AbilitaPulsanti(bool d, bool c) override {
        distinta = d;
        confronta = c;
    }
    void MostraArchivio(const ArchivioVisibile* a, bool t, bool f) override {
        archivio = a ? std::optional(*a) : std::nullopt;
        torna = t;
        apriFornitura = f;
    }
    std::optional<std::filesystem::path> ScegliCartella(std::string_view titolo,
                                                        const std::filesystem::path& dove) override {
        dialoghi.push_back({std::string(titolo), dove, false});
        if (cartelle.empty())
            return std::nullopt;
        auto risposta = std::move(cartelle.front());
        cartelle.pop_front();
        return risposta;
    }
    void MostraAvanzamento(const std::optional<AvanzamentoVisibile>& a) override {
        avanzamento = a;
        if (a)
            percentuali.push_back(a->percentuale);
    }
    std::vector<std::filesystem::path> ScegliFile(std::string_view titolo, const std::filesystem::path& cartella,
                                                  bool piu) override {
        dialoghi.push_back({std::string(titolo), cartella, piu});
        if (risposte.empty())
            return {};
        auto risposta = std::move(risposte.front());
        risposte.pop_front();
        return risposta;
    }
    void Messaggio(const std::string& testo, bool errore) override { messaggi.push_back({testo, errore}); }
    bool ApriNelBrowser(const std::filesystem::path& pagina) override {
        pagine.push_back(pagina);
        return browserFunziona;
    }
    void Sveglia() override {
        const std::lock_guard blocco(m_mutex);
        ++m_sveglie;
        m_condizione.notify_all();
    }

    // Waits for Sveglia (at most 10 seconds) and calls Consegna, until the logic has nothing left to do.
    // False on time-out.
    bool Attendi(FinestraVerifica& finestra) {
        while (!finestra.Inattiva())
            if (!AttendiSveglia(finestra))
                return false;
        return true;
    }
    // One Sveglia, then Consegna; false on time-out.
    bool AttendiSveglia(FinestraVerifica& finestra) {
        {
            std::unique_lock blocco(m_mutex);
            if (!m_condizione.wait_for(blocco, std::chrono::seconds(10), [this] { return m_sveglie > 0; }))
                return false;
            m_sveglie = 0;
        }
        finestra.Consegna();
        return true;
    }

    std::vector<std::string> file;
    int scelto = -2;
    std::vector<std::pair<std::string, std::string>> intestazione;
    std::string esito;
    TipoEsito tipoEsito = TipoEsito::Nessuno;
    std::size_t righe = 0;
    ColonnaRilievi colonna = ColonnaRilievi::Riga;
    bool crescente = true;
    int aggiornamenti = 0;
    bool distinta = false, confronta = false;
    std::optional<ArchivioVisibile> archivio; // the archive's table shown in place of the supply
    bool torna = false, apriFornitura = false;
    std::optional<AvanzamentoVisibile> avanzamento;
    std::vector<int> percentuali;

    std::vector<DialogoChiesto> dialoghi;
    std::deque<std::vector<std::filesystem::path>> risposte;   // the dialogs' answers, in order; none: cancelled
    std::deque<std::optional<std::filesystem::path>> cartelle; // the folder dialogs' answers, in order
    std::vector<MessaggioMostrato> messaggi;
    std::vector<std::filesystem::path> pagine;
    bool browserFunziona = true;

private:
    std::mutex m_mutex;
    std::condition_variable m_condizione;
    int m_sveglie = 0;
};

} // namespace verifica::finestra::test
