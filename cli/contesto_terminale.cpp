#include "cli/contesto_terminale.h"

#include "shell/testo.h"

#include <cctype>

namespace cli {

void AggiungiPerTerminale(std::string_view testo, std::string& righe) {
    // CR LF becomes LF, every character its UTF-8 bytes; the runs of ASCII between them go in whole.
    righe.reserve(righe.size() + testo.size());
    for (std::size_t i = 0; i < testo.size(); ++i) {
        std::size_t fine = i;
        while (fine < testo.size() && static_cast<unsigned char>(testo[fine]) < 0x80 && testo[fine] != '\r')
            ++fine;
        righe.append(testo.substr(i, fine - i));
        if (fine == testo.size())
            return;
        i = fine;
        const auto c = static_cast<unsigned char>(testo[i]);
        if (c == '\r') {
            if (i + 1 == testo.size() || testo[i + 1] != '\n')
                righe += '\r';
        } else {
            righe += static_cast<char>(0xC0 | (c >> 6));
            righe += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

std::string RigaPerTerminale(std::string_view testo) { return PerTerminale(shell::TestoSuUnaRiga(testo)); }

std::string NomePerTerminale(std::string_view nome) {
    constexpr std::string_view Esadecimali = "0123456789ABCDEF";
    std::string mostrato;
    const auto mostra = [&](unsigned char u) {
        mostrato.append("\\x").append(1, Esadecimali[u >> 4]).append(1, Esadecimali[u & 0xF]);
    };
    // A drive's colon: "C:\..." or "C:/...".
    const bool unita = nome.size() >= 3 && std::isalpha(static_cast<unsigned char>(nome[0])) && nome[1] == ':' &&
                       (nome[2] == '\\' || nome[2] == '/');
    for (std::size_t i = 0; i < nome.size();) {
        const auto u = static_cast<unsigned char>(nome[i]);
        if (u < 0x80) {
            if (u < 0x20 || u == 0x7F || (u == ':' && !(unita && i == 1)))
                mostra(u);
            else
                mostrato += static_cast<char>(u);
            ++i;
            continue;
        }
        // A UTF-8 sequence, whole and well made, and no C1 control (U+0080 to U+009F, C2 80 to C2 9F).
        const std::size_t lunga = u >= 0xF0 && u <= 0xF4 ? 4 : u >= 0xE0 ? 3 : u >= 0xC2 && u < 0xE0 ? 2 : 0;
        bool buona =
            lunga > 0 && i + lunga <= nome.size() && !(u == 0xC2 && static_cast<unsigned char>(nome[i + 1]) < 0xA0);
        for (std::size_t k = 1; buona && k < lunga; ++k)
            buona = (static_cast<unsigned char>(nome[i + k]) & 0xC0) == 0x80;
        if (!buona) {
            mostra(u);
            ++i;
            continue;
        }
        mostrato.append(nome.substr(i, lunga));
        i += lunga;
    }
    return mostrato;
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
