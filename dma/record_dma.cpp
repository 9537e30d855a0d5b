#include "record_dma.h"

#include "errore.h"

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

// A whole number as its digits, "-" in front when negative (never "-0").
std::string TestoIntero(double intero) {
    if (intero == 0)
        return "0";
    if (std::fabs(intero) < 1e18)
        return std::to_string(static_cast<long long>(intero));
    char testo[400];
    std::snprintf(testo, sizeof testo, "%.0f", intero);
    return testo;
}

const RigaEsportazione& Riga(const Sorgente& sorgente) {
    if (!sorgente.riga)
        throw std::logic_error("Pezzo di record senza riga di esportazione");
    return *sorgente.riga;
}

std::string Codifica(const Pezzo& pezzo, const Sorgente& sorgente) {
    using fields::CampoPosizionale;
    using fields::TipoPosizionale;
    const int n = pezzo.lunghezza;
    switch (pezzo.contenuto) {
    case Contenuto::Tipo:
        return std::string(1, sorgente.tipo);
    case Contenuto::Letterale:
        return std::string(pezzo.testo);
    case Contenuto::Spazi:
        return std::string(static_cast<std::size_t>(n), ' ');
    case Contenuto::Testo:
        return CampoPosizionale(Riga(sorgente)[pezzo.colonna], n, TipoPosizionale::X);
    case Contenuto::Numero:
        return CampoPosizionale(TestoIntero(ArrotondaAlPari(Riga(sorgente).Semplice(pezzo.colonna))), n,
                                TipoPosizionale::N);
    case Contenuto::Data:
        return CampoPosizionale(Riga(sorgente).LeggiData(pezzo.colonna), n, TipoPosizionale::DT);
    case Contenuto::Zero:
        return CampoPosizionale(0, n, TipoPosizionale::N);
    case Contenuto::Vuoto:
        return CampoPosizionale("", n, TipoPosizionale::X);
    case Contenuto::Modulo:
        return CampoPosizionale(sorgente.modulo, n, TipoPosizionale::N);
    case Contenuto::Conteggio:
        return CampoPosizionale(sorgente.conteggi.at(static_cast<std::size_t>(pezzo.colonna)), n, TipoPosizionale::N);
    case Contenuto::Testata: {
        std::string testata;
        Componi(testata, Testata, sorgente);
        return testata;
    }
    case Contenuto::Area:
        return std::string(sorgente.area);
    case Contenuto::FineRecord:
        return std::string(1, fields::FineRecord);
    }
    throw std::logic_error("Contenuto di record sconosciuto");
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

double ArrotondaAlPari(double valore) {
    const double sotto = std::floor(valore);
    const double resto = valore - sotto;
    if (resto > 0.5)
        return sotto + 1;
    if (resto < 0.5)
        return sotto;
    return std::fmod(sotto, 2.0) == 0 ? sotto : sotto + 1;
}

std::string CodificaPezzo(const Pezzo& pezzo, const Sorgente& sorgente) {
    std::string testo = Codifica(pezzo, sorgente);
    // Every kind keeps its width: a piece that did not would shift the rest of the record.
    if (testo.size() != static_cast<std::size_t>(pezzo.lunghezza))
        throw std::logic_error("Pezzo in posizione " + std::to_string(pezzo.inizio) + " lungo " +
                               std::to_string(testo.size()) + " caratteri invece di " +
                               std::to_string(pezzo.lunghezza));
    return testo;
}

void Componi(std::string& record, std::span<const Pezzo> pezzi, const Sorgente& sorgente) {
    for (const Pezzo& pezzo : pezzi) {
        if (record.size() + 1 != static_cast<std::size_t>(pezzo.inizio))
            throw std::logic_error("Pezzo in posizione " + std::to_string(pezzo.inizio) + " dopo " +
                                   std::to_string(record.size()) + " caratteri");
        record += CodificaPezzo(pezzo, sorgente);
    }
}

std::string CodificaCampoQuadro(const CampoQuadro& campo, const RigaEsportazione& riga, const Periodo& periodo) {
    if (!DaScrivere(campo, riga))
        return {};
    const fields::Valore valore = ValoreCampo(campo, riga, periodo);
    try {
        return fields::CampoNonPosizionale(campo.codice, valore, campo.tipo);
    } catch (const shell::ErroreElaborazione& e) {
        throw shell::ErroreElaborazione("Riga " + std::to_string(riga.Numero()) + ", campo " +
                                        std::string(campo.codice) + ": " + e.what());
    }
}

std::string CampiDelDipendente(const RigaEsportazione& riga, const Periodo& periodo) {
    std::string campi;
    for (const CampoQuadro& campo : CampiQuadri)
        campi += CodificaCampoQuadro(campo, riga, periodo);
    return campi;
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

} // namespace dma
