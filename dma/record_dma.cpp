#include "dma/record_dma.h"

#include "shell/errore.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace dma {

namespace {

using shell::RigaEsportazione;

int GiorniDelMese(int anno, int mese) {
    int giorni = 31;
    while (!shell::DataValida(anno, mese, giorni))
        --giorni;
    return giorni;
}

tracciati::Valore ValoreCampo(const CampoQuadro& campo, const RigaEsportazione& riga, const Periodo& periodo) {
    switch (campo.origine) {
    case Origine::Colonna:
        return riga[campo.colonna];
    case Origine::DataColonna:
        return riga.LeggiData(campo.colonna);
    case Origine::NumeroColonna:
        return riga.Semplice(campo.colonna);
    case Origine::Numero:
        return campo.numero;
    case Origine::Testo:
        return campo.testo;
    case Origine::PrimoGiorno:
        return periodo.primo;
    case Origine::UltimoGiorno:
        return periodo.ultimo;
    }
    throw std::logic_error("Origine di campo sconosciuta");
}

bool DaScrivere(const CampoQuadro& campo, const RigaEsportazione& riga) {
    switch (campo.quando) {
    case Quando::Sempre:
        return true;
    case Quando::SeData:
        return shell::LeggiData(riga[campo.colonna]).has_value();
    case Quando::SeNonVuota:
        return !riga[campo.colonna].empty();
    }
    return true;
}

bool Fallito(const Controllo& controllo, const RigaEsportazione& riga) {
    const std::string_view testo = riga[controllo.colonna];
    switch (controllo.verifica) {
    case Verifica::NonVuota:
        return testo.empty();
    case Verifica::Data:
        return !shell::LeggiData(testo).has_value();
    }
    return false;
}

// The DMA kinds, written and read.
tracciati::Valore Valuta(const tracciati::Pezzo& pezzo, const tracciati::Fonte& fonte, std::string& appoggio) {
    const RigaEsportazione& riga = *fonte.riga;
    switch (static_cast<ProprioDMA>(pezzo.genere.proprio)) {
    case ProprioDMA::Numero: {
        const double intero = shell::ArrotondaAlPari(riga.Semplice(pezzo.colonna));
        if (std::fabs(intero) < 1e18)
            return static_cast<long long>(intero);
        // Digits, all of them, "-" in front when negative.
        char testo[400];
        appoggio.assign(testo, static_cast<std::size_t>(std::snprintf(testo, sizeof testo, "%.0f", intero)));
        return appoggio;
    }
    case ProprioDMA::Data:
        return riga.LeggiData(pezzo.colonna);
    }
    throw std::logic_error("Pezzo DMA sconosciuto");
}

void Scrivi(std::string& record, const tracciati::Pezzo& pezzo, const tracciati::Valore& valore) {
    const auto tipo = static_cast<ProprioDMA>(pezzo.genere.proprio) == ProprioDMA::Numero
                          ? tracciati::TipoPosizionale::N
                          : tracciati::TipoPosizionale::DT;
    tracciati::AggiungiCampoPosizionale(record, valore, pezzo.lunghezza, tipo);
}

tracciati::Lettura Leggi(const tracciati::Pezzo& pezzo, std::string_view testo) {
    if (static_cast<ProprioDMA>(pezzo.genere.proprio) == ProprioDMA::Numero)
        return tracciati::LeggiCampoPosizionale(testo, tracciati::TipoPosizionale::N);
    // A date that is not one stops the run: the filler is never written.
    tracciati::Lettura data = tracciati::LeggiCampoPosizionale(testo, tracciati::TipoPosizionale::DT);
    if (!data.valore.Data())
        return tracciati::Lettura::Errata(tracciati::Difformita::Formato, "attesa una data ggmmaaaa");
    return data;
}

} // namespace

std::optional<Periodo> PeriodoDiRiferimento(int anno, int mese) {
    // Months since January of year 0: a month outside 1 to 12 moves the year.
    const long long mesi = static_cast<long long>(anno) * 12 + (mese - 1);
    if (mesi < 1 * 12 || mesi >= 10000LL * 12)
        return std::nullopt;
    const int a = static_cast<int>(mesi / 12);
    const int m = static_cast<int>(mesi % 12) + 1;
    return Periodo{{a, m, 1}, {a, m, GiorniDelMese(a, m)}};
}

void AggiungiCampiDelDipendente(std::string& area, const RigaEsportazione& riga, const Periodo& periodo) {
    for (const CampoQuadro& campo : CampiQuadri) {
        if (!DaScrivere(campo, riga))
            continue;
        const tracciati::Valore valore = ValoreCampo(campo, riga, periodo);
        const std::size_t inizio = area.size();
        try {
            tracciati::AggiungiCampoNonPosizionale(area, campo.codice, valore, campo.tipo);
        } catch (const shell::ErroreElaborazione& e) {
            area.resize(inizio);
            throw shell::ErroreElaborazione("Riga " + std::to_string(riga.Numero()) + ", campo " +
                                            std::string(campo.codice) + ": " + e.what());
        }
    }
}

tracciati::Catalogo CatalogoDeiCampi() { return CatalogoQuadri; }

std::vector<std::string> ControllaDipendente(const RigaEsportazione& riga) {
    std::vector<std::string> righe;
    for (const Controllo& controllo : Controlli) {
        if (!Fallito(controllo, riga))
            continue;
        std::string testo(InizioRigaC);
        switch (controllo.intestazione) {
        case Intestazione::CodiceFiscale:
            testo += riga[ColonnaCodiceFiscale];
            break;
        case Intestazione::CodiceFiscaleENome:
            testo += riga[ColonnaCodiceFiscale];
            testo += ' ';
            testo += riga[ColonnaNome];
            break;
        case Intestazione::CognomeENome:
            testo += riga[ColonnaCognome];
            testo += ' ';
            testo += riga[ColonnaNome];
            break;
        }
        testo += controllo.testo;
        righe.push_back(std::move(testo));
    }
    return righe;
}

const tracciati::Tracciato& TracciatoDMA() {
    static const tracciati::GancioDiFunzioni gancio(Valuta, Scrivi, Leggi);
    static constexpr tracciati::TabellaRecord record[] = {
        {'A', tabelleDMA::RecordA},
        {'B', tabelleDMA::RecordB},
        {'C', tabelleDMA::RecordC},
        {'Z', tabelleDMA::RecordZ},
    };
    static const tracciati::Tracciato tracciato{record, gancio, CatalogoDeiCampi()};
    return tracciato;
}

} // namespace dma
