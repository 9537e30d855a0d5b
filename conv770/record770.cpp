#include "conv770/record770.h"

#include "shell/conversioni.h"
#include "conv770/quadri.h"

#include <stdexcept>

namespace conv770 {

namespace {

Proprio770 Genere770(const tracciati::Pezzo& pezzo) { return static_cast<Proprio770>(pezzo.genere.proprio); }

// The 770 kinds, written and read.
tracciati::Valore Valuta(const tracciati::Pezzo& pezzo, const tracciati::Fonte& fonte, std::string& appoggio) {
    const shell::RigaEsportazione& riga = *fonte.riga;
    switch (Genere770(pezzo)) {
    case Proprio770::XCifre:
        appoggio = shell::SoloCifre(riga[pezzo.colonna]);
        return appoggio;
    case Proprio770::NSemplice:
        return riga.Semplice(pezzo.colonna);
    }
    throw std::logic_error("Pezzo del 770 sconosciuto");
}

void Scrivi(std::string& record, const tracciati::Pezzo& pezzo, const tracciati::Valore& valore) {
    const auto tipo =
        Genere770(pezzo) == Proprio770::XCifre ? tracciati::TipoPosizionale::X : tracciati::TipoPosizionale::N;
    tracciati::AggiungiCampoPosizionale(record, valore, pezzo.lunghezza, tipo);
}

tracciati::Lettura Leggi(const tracciati::Pezzo& pezzo, std::string_view testo) {
    switch (Genere770(pezzo)) {
    case Proprio770::XCifre: {
        const std::size_t fine = testo.find_first_not_of("0123456789");
        if (fine == std::string_view::npos || testo.find_first_not_of(' ', fine) == std::string_view::npos)
            return tracciati::Valore(testo);
        return tracciati::Lettura::Errata(tracciati::Difformita::Formato, "attese cifre seguite da spazi");
    }
    case Proprio770::NSemplice:
        return tracciati::LeggiCampoPosizionale(testo, tracciati::TipoPosizionale::N);
    }
    return {};
}

} // namespace

const tracciati::Tracciato& Tracciato770() {
    static const tracciati::GancioDiFunzioni gancio(Valuta, Scrivi, Leggi);
    static constexpr tracciati::TabellaRecord record[] = {
        {'A', tabelle770::RecordA}, {'B', tabelle770::RecordB}, {'G', tabelle770::RecordG},
        {'J', tabelle770::RecordJ}, {'Z', tabelle770::RecordZ},
    };
    static const tracciati::Tracciato tracciato{record, gancio, CatalogoDeiCampi()};
    return tracciato;
}

} // namespace conv770
