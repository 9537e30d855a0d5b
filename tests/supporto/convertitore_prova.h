// A converter for the window tests: it copies its export's first line into the archive folder, names the
// copy after that line's column 0 and writes one log line; the window's caption and layout are carvek's.
#pragma once

#include "shell/convertitore.h"
#include "shell/esportazione.h"
#include "shell/uscita.h"

#include <filesystem>
#include <string>

namespace shell::test {

inline void CopiaPrimaRiga(ContestoElaborazione& contesto, const std::filesystem::path& percorso) {
    EseguiConversioneArchivio(contesto, percorso, {"Prova-", ".txt"},
                              [](const Esportazione& e, FileUscita& uscita, ContestoElaborazione& ctx) {
                                  uscita.ScriviRiga(e.Riga(0));
                                  ctx.ScriviMessaggio("Copiata la riga 1");
                                  return "Prova-" + std::string(RigaEsportazione(1, e.Riga(0))[0]) + ".txt";
                              });
}

inline const Convertitore& ConvertitoreProva() {
    static const Convertitore convertitore{
        "prova",
        "carvek",
        "Elaborazone dati per 770 Semplificato 2011 versione del 14 giugno 2011",
        {10470, 6015, {120, 120, 10215, 5295}, {9000, 5520, 1335, 375}, std::nullopt, std::nullopt},
        [](const std::filesystem::path& cartella, const std::filesystem::path&) {
            return CaricaEsportazione(cartella, "Esportazione770.tab", CopiaPrimaRiga);
        }};
    return convertitore;
}

} // namespace shell::test
