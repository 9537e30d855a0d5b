#include "dma/dati_sub.h"

#include "shell/contatore.h"
#include "dma/fornitura_dma.h"

#include <optional>

namespace dma {

namespace fs = std::filesystem;

const shell::Convertitore& Descrittore() {
    // clang-format off
    static const shell::Convertitore convertitore{
        "dma", "sabrelt",
        "Elaborazione dati per INPDAP",
        //  client area   Messaggio                 Avanti
        {6990, 6015, {120, 120, 6735, 5295}, {5520, 5520, 1335, 375}, std::nullopt, std::nullopt},
        [](const fs::path& cartella, const fs::path&) {
            return shell::CaricaEsportazione(cartella, "EsportazioneINPDAP.tab", EseguiConversione);
        }};
    // clang-format on
    return convertitore;
}

void EseguiConversione(shell::ContestoElaborazione& contesto, const fs::path& percorsoEsportazione) {
    shell::EseguiConversioneArchivio(
        contesto, percorsoEsportazione, {"INPDAPDMA-", ".txt"},
        [](const shell::Esportazione& esportazione, shell::FileUscita& uscita, shell::ContestoElaborazione& ctx) {
            shell::RifiutaACapoIsolati(esportazione);
            FornituraDMA fornitura(uscita, ctx);
            shell::Contatore16 righeLette("righe lette del file di esportazione");
            shell::RigaEsportazione riga; // one room for every line
            for (const std::string_view testo : esportazione.TutteLeRighe()) {
                const int numero = righeLette.Incrementa();
                riga.Carica(numero, testo, shell::Preparazione::MaiuscoloSenzaSpazi);
                if (numero == 1) {
                    fornitura.LeggiRiferimento(riga);
                    fornitura.ScriviRecordA(riga);
                    fornitura.ScriviRecordB(riga);
                }
                fornitura.ScriviRecordC(riga);
            }
            fornitura.ScriviRecordZ();
            return fornitura.NomeFinale();
        });
}

} // namespace dma
