#include "formati/persone.h"

#include "formati/record_fissi.h"

#include <algorithm>
#include <string>

namespace verifica {

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

} // namespace verifica
