#include "formati/persone.h"

#include "anagrafe/codice_fiscale.h"
#include "shell/testo.h"

#include <algorithm>
#include <string>

namespace formati {

using lettura::Gravita;
using lettura::Lettura;

void SegnalaRiscontri(Lettura& lettura, const std::vector<anagrafe::Riscontro>& riscontri,
                      std::span<const PostoDelDato> posti, std::string_view record, std::string_view chi,
                      long persona) {
    if (riscontri.empty())
        return;
    const std::string di = Di(chi);
    for (const anagrafe::Riscontro& r : riscontri) {
        const auto posto =
            std::find_if(posti.begin(), posti.end(), [&](const PostoDelDato& p) { return p.dato == r.dato; });
        const PostoDelDato& dove = posto != posti.end() ? *posto : posti.front();
        lettura.Segnala({r.errore ? Gravita::Errore : Gravita::Avviso, dove.riga, dove.colonna,
                         std::string(record) + r.messaggio + di, persona});
    }
}

std::string Di(std::string_view chi) { return chi.empty() ? std::string() : " (" + std::string(chi) + ")"; }

std::string Chiamato(std::string_view codice) {
    return codice.empty() ? std::string() : "dipendente " + std::string(codice);
}

void SegnalaCodiceFiscale(Lettura& lettura, long riga, int posizione, std::string_view testo, std::string_view dove,
                          Gravita gravita, long persona, std::string_view chi) {
    const std::string_view codice = shell::SenzaSpaziFinali(testo);
    if (codice.empty())
        return;
    const anagrafe::EsitoCodiceFiscale esito = anagrafe::ControllaCodiceFiscale(testo);
    if (esito.Valido() && esito.avviso.empty())
        return;
    const std::string inizio = std::string(dove) + " '" + std::string(codice) + "'";
    if (!esito.Valido())
        lettura.Segnala({gravita, riga, posizione, inizio + " non valido: " + esito.errore + Di(chi), persona});
    else
        lettura.Avviso(riga, posizione, inizio + ": " + esito.avviso + Di(chi), persona);
}

void ControllaSesso(Lettura& lettura, long riga, long posizione, std::string_view testo, std::string_view dove,
                    std::string_view chi, long persona) {
    testo = shell::TogliSpazi(testo);
    if (!testo.empty() && testo != "M" && testo != "F")
        lettura.Errore(riga, posizione,
                       std::string(dove) + " '" + std::string(testo) + "': il sesso \xE8 M o F" + Di(chi), persona);
}

void ControllaSesso(Lettura& lettura, long riga, const tracciati::CampoLetto* campo, std::string_view record,
                    std::string_view chi, long persona) {
    if (!campo || !campo->valore.Testo())
        return;
    ControllaSesso(lettura, riga, campo->posizione, campo->valore.ComeTesto(),
                   std::string(record) + ": campo " + std::string(campo->codice), chi, persona);
}

} // namespace formati
