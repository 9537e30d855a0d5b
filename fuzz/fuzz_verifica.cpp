// The checker over any bytes: the first byte chooses the format (0: recognised from the content, 1 to 5:
// forced), the rest is the file. Whatever the bytes, the reading ends with its findings (every one counted:
// those shown and the summaries of the rest), the listing can be written, and a supply compared with itself,
// by its content as a comparison reads it, has no difference.

#include "verifica/confronto.h"
#include "verifica/distinta.h"
#include "verifica/fornitura_letta.h"
#include "formati/verifica.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t quanti) {
    if (quanti == 0)
        return 0;
    const std::size_t scelta = dati[0] % (std::size(lettura::Formati) + 1);
    std::optional<lettura::Formato> formato;
    if (scelta > 0)
        formato = lettura::Formati[scelta - 1].formato;
    const verifica::FornituraLetta letta = verifica::LeggiContenuto(
        std::string(reinterpret_cast<const char*>(dati) + 1, quanti - 1), "fornitura", formato);
    // Each summary stands for one finding or more that is not shown; below a rule's share, every one is shown.
    const long tutti = letta.esito.errori + letta.esito.avvisi;
    const auto mostrati = static_cast<long>(letta.rilievi.size());
    if (mostrati > tutti || (tutti <= lettura::RilieviPerRegola && mostrati != tutti))
        std::abort();
    std::ostringstream uscita;
    verifica::ScriviDistintaTsv(letta, uscita);
    verifica::ScriviDistintaHtml(letta, "fornitura", uscita);
    if (letta.formato && !verifica::Confronta(letta, letta).Nessuna())
        std::abort();
    return 0;
}
