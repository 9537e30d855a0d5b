#include "cli/contesto_terminale.h"

#include "shell/testo.h"

#include <cstdint>
#include <cstring>

namespace cli {

namespace {

// Whether any of 8 characters is CR or beyond ASCII: the top bit of a byte set, or a byte that is CR.
bool DaConvertire(std::uint64_t otto) {
    constexpr std::uint64_t Uni = 0x0101010101010101ULL, Alti = 0x8080808080808080ULL;
    const std::uint64_t cr = otto ^ (Uni * '\r'); // a CR becomes 0
    return ((otto | ((cr - Uni) & ~cr)) & Alti) != 0;
}

} // namespace

void AggiungiPerTerminale(std::string_view testo, std::string& righe) {
    // One pass: CR LF becomes LF, every character its UTF-8 bytes (at most two). Runs of plain ASCII
    // without CR, the usual log line, are copied as they are.
    const std::size_t prima = righe.size();
    righe.resize(prima + 2 * testo.size());
    char* fine = righe.data() + prima;
    const char* const p = testo.data();
    const std::size_t n = testo.size();
    std::size_t i = 0;
    while (i < n) {
        std::size_t j = i;
        for (std::uint64_t otto; j + 8 <= n; j += 8) {
            std::memcpy(&otto, p + j, 8);
            if (DaConvertire(otto))
                break;
        }
        while (j < n && static_cast<unsigned char>(p[j]) < 0x80 && p[j] != '\r')
            ++j;
        std::memcpy(fine, p + i, j - i);
        fine += j - i;
        if (j == n)
            break;
        const auto u = static_cast<unsigned char>(p[j]);
        i = j + 1;
        if (u == '\r' && i < n && p[i] == '\n')
            continue;
        if (u < 0x80) {
            *fine++ = static_cast<char>(u);
        } else {
            *fine++ = static_cast<char>(0xC0 | (u >> 6));
            *fine++ = static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    righe.resize(static_cast<std::size_t>(fine - righe.data()));
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
