#include "dma/dati_sub.h"

#include "shell/contatore.h"
#include "dma/fornitura_dma.h"
#include "lettura/formato.h"
#include "lettura/lettura_file.h"

#include <optional>
#include <string>

namespace dma {

namespace fs = std::filesystem;

namespace {

// Whose a DMA supply is: the entity's tax code in its record B, the second record after a record A of
// the DMA. None for any other file.
std::optional<std::string> EnteDellaFornitura(const fs::path& file) {
    constexpr const tracciati::Pezzo& Ente = tracciati::DellaColonna(tabelleDMA::RecordB, 0);
    constexpr const tracciati::Pezzo& TipoB = tabelleDMA::RecordB.front();
    constexpr auto LunghezzaRecord = static_cast<std::size_t>(tracciati::LunghezzaRecord);
    try {
        lettura::FileInLettura lettura(file);
        lettura::LettoreRighe righe(lettura, LunghezzaRecord);
        lettura::Riga riga;
        if (!righe.Prossima(riga) || lettura::RiconosciFormato(riga.testo) != lettura::Formato::Dma ||
            riga.testo.substr(0, 1) != "A" || !righe.Prossima(riga) || riga.lunghezza != LunghezzaRecord ||
            riga.testo.substr(0, TipoB.testo.size()) != TipoB.testo)
            return std::nullopt;
        return std::string(
            riga.testo.substr(static_cast<std::size_t>(Ente.posizione - 1), static_cast<std::size_t>(Ente.lunghezza)));
    } catch (const lettura::ErroreFile&) {
        return std::nullopt;
    }
}

} // namespace

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
    static constexpr shell::Titolare Titolare{"una fornitura INPDAP DMA", "ente", EnteDellaFornitura};
    shell::EseguiConversioneArchivio(
        contesto, percorsoEsportazione, {"INPDAPDMA-", ".txt", &Titolare},
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
