#include "verifica/finestra/lavori_in_disparte.h"

#include <algorithm>

namespace verifica::finestra {

using lettura::Avanzamento;

LavoriInDisparte::LavoriInDisparte(std::function<void()> sveglia)
    : m_sveglia(std::move(sveglia)), m_thread([this] { Ciclo(); }) {}

LavoriInDisparte::~LavoriInDisparte() { Ferma(); }

void LavoriInDisparte::Accoda(std::string descrizione, Lavoro lavoro) {
    {
        const std::lock_guard blocco(m_mutex);
        if (m_fermo)
            return;
        m_coda.push_back({std::move(descrizione), std::move(lavoro)});
    }
    m_condizione.notify_one();
}

void LavoriInDisparte::Ciclo() {
    // A piece reports its progress here: the window hears of it when the whole percentage changes.
    const Avanzamento avanzamento = [this](std::uint64_t letti, std::uint64_t totale) {
        if (m_fermo)
            return false;
        const int percentuale = totale == 0 ? 0 : static_cast<int>(std::min(letti, totale) * 100 / totale);
        if (m_percentuale.exchange(percentuale) != percentuale)
            Sveglia();
        return !m_fermo;
    };
    while (true) {
        Voce voce;
        {
            std::unique_lock blocco(m_mutex);
            m_condizione.wait(blocco, [this] { return m_fermo || !m_coda.empty(); });
            if (m_fermo)
                return;
            voce = std::move(m_coda.front());
            m_coda.pop_front();
            m_attuale = voce.descrizione;
            m_percentuale = 0;
        }
        Sveglia(); // the window shows what is being done
        Seguito seguito = voce.lavoro(avanzamento);
        {
            const std::lock_guard blocco(m_mutex);
            m_attuale.reset();
            if (seguito && !m_fermo)
                m_seguiti.push_back(std::move(seguito));
        }
        Sveglia();
    }
}

void LavoriInDisparte::Sveglia() {
    if (!m_svegliato.exchange(true))
        m_sveglia();
}

void LavoriInDisparte::Consegna() {
    // Cleared first: what happens from now on calls Sveglia again.
    m_svegliato = false;
    std::deque<Seguito> pronti;
    {
        const std::lock_guard blocco(m_mutex);
        pronti.swap(m_seguiti);
    }
    for (Seguito& seguito : pronti) {
        // A Seguito that shows a message box lets the window close meanwhile.
        if (m_fermo)
            return;
        seguito();
    }
}

void LavoriInDisparte::Ferma() {
    {
        const std::lock_guard blocco(m_mutex);
        m_fermo = true;
        m_coda.clear();
        m_seguiti.clear();
    }
    m_condizione.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

std::optional<LavoriInDisparte::InCorso> LavoriInDisparte::Attuale() const {
    const std::lock_guard blocco(m_mutex);
    if (!m_attuale)
        return std::nullopt;
    return InCorso{*m_attuale, m_percentuale};
}

bool LavoriInDisparte::Inattivi() const {
    const std::lock_guard blocco(m_mutex);
    return m_coda.empty() && !m_attuale && m_seguiti.empty();
}

} // namespace verifica::finestra
