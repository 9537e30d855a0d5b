#include "contesto_terminale.h"

#include "testo.h"

namespace cli {

std::string PerTerminale(std::string_view testo) {
    std::string righe;
    righe.reserve(testo.size());
    for (std::size_t i = 0; i < testo.size(); ++i) {
        if (testo[i] == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n')
            continue;
        righe += testo[i];
    }
    return shell::Utf8DaLatin1(righe);
}

void ContestoTerminale::Scrivi(shell::Casella casella, std::string_view testo, bool svuota, bool aCapo) {
    if (casella == shell::Casella::Errori) {
        if (svuota)
            m_errori.clear();
        m_errori += testo;
        if (aCapo)
            m_errori += "\r\n";
        return;
    }
    // Standard output cannot be emptied: the log is printed as it grows.
    m_out << PerTerminale(testo);
    if (aCapo)
        m_out << '\n';
    m_rigaAperta = !aCapo && !testo.empty() && testo.back() != '\n';
}

void ContestoTerminale::Avviso(std::string_view testo, bool) { m_err << PerTerminale(testo) << '\n'; }

void ContestoTerminale::Chiudi(bool stampaErrori) {
    if (m_rigaAperta)
        m_out << '\n';
    m_rigaAperta = false;
    m_out.flush();
    if (stampaErrori) {
        std::string errori = PerTerminale(m_errori);
        if (!errori.empty() && errori.back() != '\n')
            errori += '\n';
        m_err << "Errori di elaborazione:\n" << errori;
    }
}

} // namespace cli
