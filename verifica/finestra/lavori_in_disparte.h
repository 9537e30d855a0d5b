#pragma once
// The work that the check window does away from its own thread, so that a large supply never freezes it:
// one piece at a time, in the order asked, on a thread of its own. A piece (the reading of a supply, the
// writing of a page) returns what to do with its result, and that runs on the window's thread when the
// window calls Consegna: the window's data are touched by its own thread only.

#include "lettura/lettura_file.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace verifica::finestra {

class LavoriInDisparte {
public:
    // What the window does with a piece's result; empty: nothing.
    using Seguito = std::function<void()>;
    // A piece of work. It reports how far it is through the Avanzamento it is given, which answers false
    // once the work is stopped (the piece then ends, LetturaInterrotta is the way out of a reading). It
    // handles its own errors: it returns a Seguito that shows them.
    using Lavoro = std::function<Seguito(const lettura::Avanzamento& avanzamento)>;

    // `sveglia` is called from the worker's thread when a result or news of the progress waits for
    // Consegna; again only after Consegna has run. It must only ask the window's thread to call Consegna
    // (a queued call, a posted message) and return.
    explicit LavoriInDisparte(std::function<void()> sveglia);
    // Stops, as Ferma does.
    ~LavoriInDisparte();
    LavoriInDisparte(const LavoriInDisparte&) = delete;
    LavoriInDisparte& operator=(const LavoriInDisparte&) = delete;

    // `descrizione` (ISO-8859-1) tells the window what is being done: "Lettura di ...".
    void Accoda(std::string descrizione, Lavoro lavoro);

    // On the window's thread: runs the Seguiti of the pieces ended so far, in their order.
    void Consegna();

    // The window closes: the piece being done is told to stop at its next step, those waiting are
    // dropped, and the call returns when the thread has ended. No Seguito runs afterwards, and Accoda
    // does nothing any more.
    void Ferma();

    struct InCorso {
        std::string descrizione;
        int percentuale = 0; // 0-100, of the bytes read
    };
    // The piece being done now; none when the thread waits for work.
    std::optional<InCorso> Attuale() const;

    // Nothing waiting, nothing being done, no Seguito left for Consegna.
    bool Inattivi() const;

private:
    struct Voce {
        std::string descrizione;
        Lavoro lavoro;
    };

    void Ciclo();
    void Sveglia();

    std::function<void()> m_sveglia;
    mutable std::mutex m_mutex;
    std::condition_variable m_condizione;
    std::deque<Voce> m_coda;
    std::deque<Seguito> m_seguiti;
    std::optional<std::string> m_attuale; // the description of the piece being done
    std::atomic<int> m_percentuale{0};
    std::atomic<bool> m_fermo{false};
    std::atomic<bool> m_svegliato{false}; // Sveglia was called and Consegna has not run since
    std::thread m_thread;
};

} // namespace verifica::finestra
