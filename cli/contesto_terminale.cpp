#include "cli/contesto_terminale.h"

#include "shell/testo.h"


namespace cli {

void AggiungiPerTerminale(std::string_view testo, std::string& righe) {
    // CR LF becomes LF, every character its UTF-8 bytes.
    righe.reserve(righe.size() + testo.size());
    for (std::size_t i = 0; i < testo.size(); ++i) {
        const auto c = static_cast<unsigned char>(testo[i]);
        if (c == '\r' && i + 1 < testo.size() && testo[i + 1] == '\n')
            continue;
        if (c < 0x80) {
            righe += static_cast<char>(c);
        } else {
            righe += static_cast<char>(0xC0 | (c >> 6));
            righe += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

std::string PerTerminale(std::string_view testo) {
    std::string righe;
    AggiungiPerTerminale(testo, righe);
    return righe;
}

void ContestoTerminale::ScriviVisibile(shell::Casella casella, std::string_view testo, bool svuota, bool aCapo) {
    if (casella == shell::Casella::Errori) {
        if (svuota)
            m_errori.clear();
        m_errori += testo;
        if (aCapo)
            m_errori += "\r\n";
        return;
    }
    // Standard output cannot be emptied: the log is printed as it grows.
    // One piece of room for every line of the log.
    m_riga.clear();
    AggiungiPerTerminale(testo, m_riga);
    if (aCapo)
        m_riga += '\n';
    m_out.write(m_riga.data(), static_cast<std::streamsize>(m_riga.size()));
    m_rigaAperta = !aCapo && !testo.empty() && testo.back() != '\n';
}

void ContestoTerminale::AvvisoVisibile(std::string_view testo, bool) { m_err << PerTerminale(testo) << '\n'; }

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
