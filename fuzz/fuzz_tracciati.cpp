// Fuzzing the readers of the fixed-length supplies: any bytes read as a 770, DMA and TFR supply, record
// by record, the areas of consecutive records with the same head as one; never a crash or an
// exception, the pieces inside their record, and what reads without a report writes back the same
// bytes.

#include "dma/record_dma.h"
#include "conv770/record770.h"
#include "tfr/record_tfr.h"
#include "tracciati/tracciato.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Verifica(bool condizione) {
    if (!condizione)
        std::abort();
}

bool Dentro(std::string_view parte, std::string_view tutto) {
    return parte.data() >= tutto.data() && parte.data() + parte.size() <= tutto.data() + tutto.size();
}

void LeggiAree(const tracciati::Tracciato& tracciato, const std::vector<std::string_view>& aree,
               tracciati::AreaLetta& area) {
    if (aree.empty())
        return;
    area.Leggi(aree, tracciato.catalogo);
    if (!area.Segnalazioni().empty())
        return;
    // The fields written again one after the other: the blocks of the areas, then spaces.
    std::string unite, riscritte;
    for (const std::string_view a : aree)
        unite += a;
    for (const tracciati::CampoLetto& campo : area.Campi())
        tracciati::AggiungiCampoNonPosizionale(riscritte, campo.codice, campo.valore,
                                               campo.tipo.value_or(tracciati::Tipo::AN));
    Verifica(unite.compare(0, riscritte.size(), riscritte) == 0);
    Verifica(unite.find_first_not_of(' ', riscritte.size()) == std::string::npos);
}

void Leggi(const tracciati::Tracciato& tracciato, std::string_view testo) {
    tracciati::RecordLetto letto;
    tracciati::AreaLetta area;
    std::vector<std::string_view> aree;
    std::string_view testa;
    while (!testo.empty()) {
        const std::size_t fine = testo.find("\r\n");
        const std::string_view record = testo.substr(0, fine);
        testo.remove_prefix(fine == std::string_view::npos ? testo.size() : fine + 2);
        const auto tabella = record.empty() ? std::span<const tracciati::Pezzo>() : tracciato.Tabella(record[0]);
        if (tabella.empty())
            continue;
        letto.Leggi(record, tabella, tracciato.gancio);
        for (const tracciati::PezzoLetto& pezzo : letto.Pezzi())
            Verifica(Dentro(pezzo.testo, record));
        if (letto.Segnalazioni().empty()) {
            std::string riscritto;
            tracciati::Ricomponi(riscritto, letto.Pezzi(), tracciato.gancio);
            Verifica(riscritto == record);
        }
        // The records of one 770 module: the same text before the area.
        const auto area_ = std::find_if(letto.Pezzi().begin(), letto.Pezzi().end(), [](const tracciati::PezzoLetto& p) {
            return p.pezzo->genere == tracciati::Comune::Area;
        });
        const tracciati::PezzoLetto* a = area_ == letto.Pezzi().end() ? nullptr : &*area_;
        const std::string_view prima = a ? record.substr(0, static_cast<std::size_t>(a->pezzo->posizione - 1)) : "";
        if (!a || prima != testa) {
            LeggiAree(tracciato, aree, area);
            aree.clear();
        }
        if (a) {
            aree.push_back(a->testo);
            testa = prima;
        }
    }
    LeggiAree(tracciato, aree, area);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t dimensione) {
    const std::string_view testo(reinterpret_cast<const char*>(dati), dimensione);
    for (const tracciati::Tracciato* tracciato : {&conv770::Tracciato770(), &dma::TracciatoDMA(), &tfr::TracciatoTFR()})
        Leggi(*tracciato, testo);
    return 0;
}
