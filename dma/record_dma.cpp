#include "record_dma.h"

#include "errore.h"

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

fields::Valore ValoreCampo(const CampoQuadro& campo, const RigaEsportazione& riga, const Periodo& periodo) {
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

fields::Valore GancioDMA::Valuta(const fields::Pezzo& pezzo, const fields::Fonte& fonte, std::string& appoggio) const {
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

void GancioDMA::Scrivi(std::string& record, const fields::Pezzo& pezzo, const fields::Valore& valore) const {
    const auto tipo = static_cast<ProprioDMA>(pezzo.genere.proprio) == ProprioDMA::Numero ? fields::TipoPosizionale::N
                                                                                          : fields::TipoPosizionale::DT;
    fields::AggiungiCampoPosizionale(record, valore, pezzo.lunghezza, tipo);
}

fields::Lettura GancioDMA::Leggi(const fields::Pezzo& pezzo, std::string_view testo) const {
    if (static_cast<ProprioDMA>(pezzo.genere.proprio) == ProprioDMA::Numero)
        return fields::LeggiCampoPosizionale(testo, fields::TipoPosizionale::N);
    // A date that is not one stops the run: the filler is never written.
    fields::Lettura data = fields::LeggiCampoPosizionale(testo, fields::TipoPosizionale::DT);
    if (!data.valore.Data())
        return fields::Lettura::Errata(fields::Difformita::Formato, "attesa una data ggmmaaaa");
    return data;
}

void AggiungiCampiDelDipendente(std::string& area, const RigaEsportazione& riga, const Periodo& periodo) {
    for (const CampoQuadro& campo : CampiQuadri) {
        if (!DaScrivere(campo, riga))
            continue;
        const fields::Valore valore = ValoreCampo(campo, riga, periodo);
        const std::size_t inizio = area.size();
        try {
            fields::AggiungiCampoNonPosizionale(area, campo.codice, valore, campo.tipo);
        } catch (const shell::ErroreElaborazione& e) {
            area.resize(inizio);
            throw shell::ErroreElaborazione("Riga " + std::to_string(riga.Numero()) + ", campo " +
                                            std::string(campo.codice) + ": " + e.what());
        }
    }
}

std::optional<fields::Tipo> TipoDelCodice(std::string_view codice) {
    static constexpr auto Chiavi = [] {
        std::array<std::uint64_t, CampiQuadri.size()> chiavi{};
        for (std::size_t i = 0; i < CampiQuadri.size(); ++i)
            chiavi[i] = fields::CodiceNumerico(CampiQuadri[i].codice);
        return chiavi;
    }();
    // The codes rise (CodiciCrescenti), and so do their keys.
    const std::uint64_t chiave = fields::CodiceNumerico(codice);
    const auto trovata = std::lower_bound(Chiavi.begin(), Chiavi.end(), chiave);
    if (codice.size() != fields::LunghezzaCodice || trovata == Chiavi.end() || *trovata != chiave)
        return std::nullopt;
    return CampiQuadri[static_cast<std::size_t>(trovata - Chiavi.begin())].tipo;
}

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

const fields::Tracciato& TracciatoDMA() {
    static const GancioDMA gancio;
    static constexpr fields::TabellaRecord record[] = {
        {'A', tabelleDMA::RecordA},
        {'B', tabelleDMA::RecordB},
        {'C', tabelleDMA::RecordC},
        {'Z', tabelleDMA::RecordZ},
    };
    static const fields::Tracciato tracciato{record, gancio, TipoDelCodice};
    return tracciato;
}

} // namespace dma
