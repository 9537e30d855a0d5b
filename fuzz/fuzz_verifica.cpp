// The checker over any bytes: the first byte chooses the format (0: recognised from the content, 1 to 5:
// forced), the rest is the file. Whatever the bytes, the reading ends with its findings (every one counted),
// the listing can be written, and a supply compared with itself has no difference.

#include "verifica/confronto.h"
#include "verifica/distinta.h"
#include "formati/verifica.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t quanti) {
    if (quanti == 0)
        return 0;
    verifica::Opzioni opzioni;
    opzioni.persone = true;
    const std::size_t scelta = dati[0] % (std::size(verifica::Formati) + 1);
    if (scelta > 0)
        opzioni.formato = verifica::Formati[scelta - 1].formato;
    // Every finding told is counted; the supply keeps of them the first of each rule and their summaries.
    struct Contata : verifica::FornituraLetta {
        void Segnala(const verifica::Rilievo& rilievo) override {
            ++tutti;
            FornituraLetta::Segnala(rilievo);
        }
        long tutti = 0;
    } letta;
    letta.esito =
        verifica::VerificaTesto(std::string(reinterpret_cast<const char*>(dati) + 1, quanti - 1), opzioni, letta);
    letta.FineLettura();
    if (letta.esito.errori + letta.esito.avvisi != letta.tutti || static_cast<long>(letta.rilievi.size()) > letta.tutti)
        std::abort();
    std::ostringstream uscita;
    verifica::ScriviDistintaTsv(letta, uscita);
    verifica::ScriviDistintaHtml(letta, "fornitura", uscita);
    if (letta.formato && !verifica::Confronta(letta, letta).Nessuna())
        std::abort();
    return 0;
}
