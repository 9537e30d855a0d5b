#include "formati/campi_modulo.h"

#include "anagrafe/codice_fiscale.h"
#include "formati/lettore_fisso.h"
#include "formati/persone.h"
#include "formati/testo_record.h"
#include "shell/testo.h"

#include <algorithm>
#include <string>

namespace formati {

using lettura::Gravita;
using lettura::Lettura;

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

void SegnalaArea(Lettura& lettura, const tracciati::AreaLetta& area, std::span<const std::string_view> testi,
                 std::span<const long> righe, char tipo, std::string_view chi, long persona) {
    const std::string inizio = "record " + std::string(1, tipo) + ": ";
    for (const tracciati::Segnalazione& s : area.Segnalazioni()) {
        // A value part names its field: its code is the 8 characters before it.
        std::string campo;
        const std::string_view testo = testi[static_cast<std::size_t>(s.record)];
        const int dove = s.posizione - tracciati::InizioArea;
        if (s.lunghezza == tracciati::LunghezzaValore && dove >= tracciati::LunghezzaCodice)
            campo = "campo " +
                    std::string(testo.substr(static_cast<std::size_t>(dove - tracciati::LunghezzaCodice),
                                             tracciati::LunghezzaCodice)) +
                    ", ";
        lettura.Segnala({GravitaDi(s.difformita), righe[static_cast<std::size_t>(s.record)], s.posizione,
                         inizio + campo + s.Messaggio() + Di(chi), persona});
    }
}

void ConfrontaCodiceDelCampo(Lettura& lettura, const CampiDelModulo& campi, const CodiceDelDipendente& dove, long riga,
                             std::string_view posizioni, long persona) {
    const tracciati::CampoLetto* campo = campi.Primo(dove.codice);
    if (!campo || campo->valore.ComeTesto() == posizioni)
        return;
    lettura.Errore(riga, campo->posizione,
                   "record " + std::string(1, dove.record) + ": campo " + std::string(dove.codice.codice) + " '" +
                       std::string(shell::SenzaSpaziFinali(campo->valore.ComeTesto())) +
                       "' diverso dal codice fiscale delle " + PosizioniDi(dove.pezzo) + " '" +
                       std::string(shell::SenzaSpaziFinali(posizioni)) + "'",
                   persona);
}

void ControllaCodiceDelDipendente(Lettura& lettura, const CampiDelModulo& campi, const CodiceDelDipendente& dove,
                                  long riga, std::string_view posizioni, long persona) {
    const std::string record = "record " + std::string(1, dove.record) + ": ";
    SegnalaCodiceFiscale(lettura, riga, dove.pezzo.posizione, posizioni,
                         record + PosizioniDi(dove.pezzo) + ": codice fiscale del dipendente", Gravita::Errore,
                         persona);
    std::optional<shell::Data> nascita;
    if (const auto* d = campi.Primo(dove.nascita); d && d->valore.Data())
        nascita = d->valore.ComeData();
    const auto* sesso = campi.Primo(dove.sesso);
    for (const std::string& discordanza :
         anagrafe::Discordanze(posizioni, nascita, sesso && sesso->valore.Testo() ? sesso->valore.ComeTesto() : ""))
        lettura.Avviso(riga, dove.pezzo.posizione,
                       record + "codice fiscale '" + std::string(shell::SenzaSpaziFinali(posizioni)) +
                           "' e dati anagrafici (" + std::string(dove.sesso.codice) + ", " +
                           std::string(dove.nascita.codice) + ") discordi: " + discordanza,
                       persona);
}

} // namespace formati
