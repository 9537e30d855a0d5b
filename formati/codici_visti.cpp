#include "formati/codici_visti.h"

#include "shell/testo.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <tuple>

namespace formati {

using lettura::Lettura;

std::vector<CodiciVisti::Ripetuto> CodiciVisti::Ripetuti() const {
    // The persons by kind and code, then by place (their order of coming when two share a place).
    const auto persona = [&](std::size_t i) { return std::tie(m_visti[i].genere, m_visti[i].codice); };
    const auto posto = [&](std::size_t i) {
        const Visto& v = m_visti[i];
        return std::tie(v.genere, v.codice, v.riga, v.colonna);
    };
    std::vector<std::size_t> ordine(m_visti.size());
    std::iota(ordine.begin(), ordine.end(), std::size_t{0});
    std::stable_sort(ordine.begin(), ordine.end(), [&](std::size_t a, std::size_t b) { return posto(a) < posto(b); });
    std::vector<Ripetuto> ripetuti;
    std::map<std::string_view, const Visto*> ultimoPerChiave; // of the person being gone through
    for (std::size_t k = 1; k < ordine.size(); ++k) {
        if (persona(ordine[k]) != persona(ordine[k - 1]))
            continue;
        const Visto& prima = m_visti[ordine[k - 1]];
        if (k < 2 || persona(ordine[k - 2]) != persona(ordine[k - 1])) // the person's second
            ultimoPerChiave = {{prima.chiave, &prima}};
        const Visto& visto = m_visti[ordine[k]];
        const Visto*& stessaChiave = ultimoPerChiave[visto.chiave];
        ripetuti.push_back({&visto, &prima, stessaChiave});
        stessaChiave = &visto;
    }
    return ripetuti;
}

void CodiciVisti::Segnala(Lettura& lettura, int posizione, std::string_view record) const {
    for (const Ripetuto& r : Ripetuti())
        lettura.Avviso(r.visto->riga, posizione,
                       std::string(record) + ": il dipendente " +
                           std::string(shell::SenzaSpaziFinali(r.visto->codice)) +
                           " compare due volte: anche alla riga " + std::to_string(r.prima->riga));
}

std::optional<long> CodiciVisti::PrimaRiga(std::string_view codice, long riga) {
    if (const auto visto = m_prime.find(codice); visto != m_prime.end())
        return visto->second;
    m_prime.emplace(codice, riga);
    return std::nullopt;
}

} // namespace formati
