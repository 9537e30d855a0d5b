#include "record770.h"

#include "conversioni.h"
#include "quadri.h"

#include <stdexcept>

namespace conv770 {

namespace {

Proprio770 Genere770(const fields::Pezzo& pezzo) { return static_cast<Proprio770>(pezzo.genere.proprio); }

} // namespace

fields::Valore Gancio770::Valuta(const fields::Pezzo& pezzo, const fields::Fonte& fonte, std::string& appoggio) const {
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

void Gancio770::Scrivi(std::string& record, const fields::Pezzo& pezzo, const fields::Valore& valore) const {
    const auto tipo = Genere770(pezzo) == Proprio770::XCifre ? fields::TipoPosizionale::X : fields::TipoPosizionale::N;
    fields::AggiungiCampoPosizionale(record, valore, pezzo.lunghezza, tipo);
}

fields::Lettura Gancio770::Leggi(const fields::Pezzo& pezzo, std::string_view testo) const {
    switch (Genere770(pezzo)) {
    case Proprio770::XCifre: {
        const std::size_t fine = testo.find_first_not_of("0123456789");
        if (fine == std::string_view::npos || testo.find_first_not_of(' ', fine) == std::string_view::npos)
            return fields::Valore(testo);
        return fields::Lettura::Errata(fields::Difformita::Formato, "attese cifre seguite da spazi");
    }
    case Proprio770::NSemplice:
        return fields::LeggiCampoPosizionale(testo, fields::TipoPosizionale::N);
    }
    return {};
}

const fields::Tracciato& Tracciato770() {
    static const Gancio770 gancio;
    static constexpr fields::TabellaRecord record[] = {
        {'A', tabelle770::RecordA}, {'B', tabelle770::RecordB}, {'G', tabelle770::RecordG},
        {'J', tabelle770::RecordJ}, {'Z', tabelle770::RecordZ},
    };
    static const fields::Tracciato tracciato{record, gancio, TipoDelCodice};
    return tracciato;
}

} // namespace conv770
