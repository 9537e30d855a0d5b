#include "dati_sub.h"

#include "fornitura770.h"

#include <optional>

namespace conv770 {

namespace fs = std::filesystem;

const shell::Convertitore& Descrittore() {
    // clang-format off
    static const shell::Convertitore convertitore{
        "770", "carvek",
        "Elaborazone dati per 770 Semplificato 2011 versione del 14 giugno 2011",
        //  client area    Messaggio                  Avanti
        {10470, 6015, {120, 120, 10215, 5295}, {9000, 5520, 1335, 375}, std::nullopt, std::nullopt},
        [](const fs::path& cartella, const fs::path&) {
            return shell::CaricaEsportazione(cartella, "Esportazione770.tab", EseguiConversione);
        }};
    // clang-format on
    return convertitore;
}

void EseguiConversione(shell::ContestoElaborazione& contesto, const fs::path& percorsoEsportazione) {
    shell::EseguiConversioneArchivio(
        contesto, percorsoEsportazione, {"Importa770-", ".txt"},
        [](const shell::Esportazione& esportazione, shell::FileUscita& uscita, shell::ContestoElaborazione& ctx) {
            Fornitura770 fornitura(uscita, ctx, static_cast<int>(esportazione.Righe()));
            std::optional<shell::RigaEsportazione> riga;
            std::string dichiarante;
            for (std::size_t i = 0; i < esportazione.Righe(); ++i) {
                riga.emplace(static_cast<int>(i + 1), esportazione.Riga(i));
                if (i == 0) {
                    dichiarante = (*riga)[0];
                    fornitura.RecordA(*riga);
                    fornitura.RecordB(*riga);
                }
                fornitura.ScriviRecordG(*riga);
            }
            fornitura.RecordJ(*riga);
            fornitura.RecordZ();
            return "Importa770-2011-" + dichiarante + ".txt";
        });
}

} // namespace conv770
