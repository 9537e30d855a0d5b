#include "xml/primo_testo.h"

#include "xml/lettore_xml.h"

namespace xml {

std::optional<std::string> PrimoTesto(LettoreXML::Fonte fonte, std::span<const std::string_view> percorso) {
    if (percorso.empty())
        return std::nullopt;
    try {
        LettoreXML lettore(std::move(fonte));
        std::size_t trovati = 0; // the open elements that are the first names of the path
        std::string testo;
        for (;;) {
            switch (lettore.Prossimo()) {
            case Evento::InizioElemento: {
                const auto profondita = static_cast<std::size_t>(lettore.Profondita());
                if (trovati < percorso.size() && profondita == trovati + 1 && lettore.Nome() == percorso[trovati])
                    ++trovati;
                else if (profondita == 1)
                    return std::nullopt; // another root
                break;
            }
            case Evento::Testo:
                if (trovati == percorso.size() && static_cast<std::size_t>(lettore.Profondita()) == trovati)
                    testo += lettore.Testo();
                break;
            case Evento::FineElemento:
                if (static_cast<std::size_t>(lettore.Profondita()) + 1 == trovati) {
                    if (trovati == percorso.size())
                        return testo;
                    --trovati;
                }
                break;
            case Evento::FineDocumento:
                return std::nullopt;
            }
        }
    } catch (const ErroreXML&) {
    }
    return std::nullopt;
}

} // namespace xml
