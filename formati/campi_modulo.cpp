#include "formati/campi_modulo.h"

#include <algorithm>

namespace verifica {

void CampiDelModulo::Prendi(const std::vector<tracciati::CampoLetto>& campi) {
    m_campi = &campi;
    for (const std::size_t voce : m_usate)
        m_volte[voce] = 0;
    m_usate.clear();
    m_primi.resize(m_catalogo.size());
    m_ignoti.clear();
    m_ripetuti.clear();
    for (const tracciati::CampoLetto& campo : campi) {
        int* volte = nullptr;
        if (campo.voce) {
            volte = &m_volte[*campo.voce];
            if (*volte == 0) {
                m_primi[*campo.voce] = &campo;
                m_usate.push_back(*campo.voce);
            }
        } else {
            auto ignoto =
                std::find_if(m_ignoti.begin(), m_ignoti.end(), [&](const auto& i) { return i.first == campo.codice; });
            if (ignoto == m_ignoti.end())
                ignoto = m_ignoti.insert(m_ignoti.end(), {campo.codice, 0});
            volte = &ignoto->second;
        }
        if (++*volte == 2)
            m_ripetuti.push_back(&campo);
    }
}

const tracciati::CampoLetto* CampiDelModulo::Primo(const Cercato& cercato) const {
    if (cercato.voce)
        return m_volte[*cercato.voce] > 0 ? m_primi[*cercato.voce] : nullptr;
    for (const tracciati::CampoLetto& campo : *m_campi)
        if (campo.codice == cercato.codice)
            return &campo;
    return nullptr;
}

} // namespace verifica
