#include "formati/codici_visti.h"

#include "shell/testo.h"
#include "tracciati/record_fisso.h"

#include <algorithm>
#include <string>

namespace formati {

using lettura::Lettura;

void CodiciVisti::Prevedi(std::uint64_t byte) {
    constexpr std::uint64_t Massimo = std::uint64_t{1} << 20; // a file larger than 2 GB grows its room as it goes
    m_codici.reserve(static_cast<std::size_t>(std::min(byte / tracciati::LunghezzaRecord, Massimo)));
}

void CodiciVisti::Aggiungi(std::string_view codice, long riga) {
    const std::size_t lunghezza = std::min(codice.size(), std::tuple_size_v<decltype(Visto::codice)>);
    Visto visto{{}, static_cast<std::uint8_t>(lunghezza), riga};
    std::copy_n(codice.begin(), lunghezza, visto.codice.begin());
    m_codici.push_back(visto);
}

void CodiciVisti::Segnala(Lettura& lettura, int posizione, std::string_view record) {
    std::sort(m_codici.begin(), m_codici.end());
    for (std::size_t i = 1; i < m_codici.size(); ++i) {
        const Visto& visto = m_codici[i];
        if (visto.codice != m_codici[i - 1].codice || visto.lunghezza != m_codici[i - 1].lunghezza)
            continue;
        const std::string codice(visto.codice.data(), visto.lunghezza);
        lettura.Avviso(visto.riga, posizione,
                       std::string(record) + ": il dipendente " + std::string(shell::SenzaSpaziFinali(codice)) +
                           " compare due volte: anche alla riga " + std::to_string(m_codici[i - 1].riga));
    }
}

std::optional<long> CodiciVisti::PrimaRiga(std::string_view codice, long riga) {
    if (const auto visto = m_prime.find(codice); visto != m_prime.end())
        return visto->second;
    m_prime.emplace(codice, riga);
    return std::nullopt;
}

} // namespace formati
