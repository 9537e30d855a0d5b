#include "conv770/dati_sub.h"

#include "conv770/fornitura770.h"

#include "shell/errore.h"
#include "shell/uscita.h"

#include <optional>

namespace conv770 {

namespace fs = std::filesystem;

std::string NomeDocumento(std::string_view dichiarante) {
    return "Importa770-2011-" + std::string(dichiarante) + ".txt";
}

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
            shell::RifiutaACapoIsolati(esportazione);
            Fornitura770 fornitura(uscita, ctx, static_cast<int>(esportazione.Righe()));
            shell::RigaEsportazione riga; // one room for every line
            std::string dichiarante;
            for (std::size_t i = 0; i < esportazione.Righe(); ++i) {
                riga.Carica(static_cast<int>(i + 1), esportazione.Riga(i));
                if (i == 0) {
                    dichiarante = riga[0];
                    // The declarant's code names the document: refuse at once, with its place, a
                    // code that cannot be part of a file name (a separator, "..", a control
                    // character).
                    try {
                        shell::ControllaNomeFinale(NomeDocumento(dichiarante));
                    } catch (const shell::ErroreElaborazione&) {
                        riga.Errore(0, "il codice fiscale del dichiarante '" + dichiarante +
                                           "' non pu\xF2 dare il nome al documento '" + NomeDocumento(dichiarante) +
                                           "'");
                    }
                    fornitura.RecordA(riga);
                    fornitura.RecordB(riga);
                }
                fornitura.ScriviRecordG(riga);
            }
            fornitura.RecordJ(riga);
            fornitura.RecordZ();
            return NomeDocumento(dichiarante);
        });
}

} // namespace conv770
