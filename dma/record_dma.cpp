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

// Appends the piece, which the caller checks for its width.
void Aggiungi(std::string& record, const Pezzo& pezzo, const Sorgente& sorgente) {
    using fields::CampoPosizionale;
    using fields::TipoPosizionale;
    const int n = pezzo.lunghezza;
    switch (pezzo.contenuto) {
    case Contenuto::Tipo:
        record += sorgente.tipo;
        return;
    case Contenuto::Letterale:
        record += pezzo.testo;
        return;
    case Contenuto::Spazi:
        record.append(static_cast<std::size_t>(n), ' ');
        return;
    case Contenuto::Testo:
        fields::AggiungiTestoPosizionale(record, Riga(sorgente)[pezzo.colonna], n, TipoPosizionale::X);
        return;
    case Contenuto::Numero:
        fields::AggiungiTestoPosizionale(record, TestoIntero(shell::ArrotondaAlPari(Riga(sorgente).Semplice(pezzo.colonna))), n,
                                         TipoPosizionale::N);
        return;
    case Contenuto::Data:
        record += CampoPosizionale(Riga(sorgente).LeggiData(pezzo.colonna), n, TipoPosizionale::DT);
        return;
    case Contenuto::Zero:
        record += CampoPosizionale(0, n, TipoPosizionale::N);
        return;
    case Contenuto::Vuoto:
        record += CampoPosizionale("", n, TipoPosizionale::X);
        return;
    case Contenuto::Modulo:
        fields::AggiungiTestoPosizionale(record, std::to_string(sorgente.modulo), n, TipoPosizionale::N);
        return;
    case Contenuto::Conteggio:
        record +=
            CampoPosizionale(sorgente.conteggi.at(static_cast<std::size_t>(pezzo.colonna)), n, TipoPosizionale::N);
        return;
    case Contenuto::Testata:
        // The head is the beginning of the record (Contigui): its pieces are where the record has them.
        Componi(record, Testata, sorgente);
        return;
    case Contenuto::Area:
        record += sorgente.area;
        return;
    case Contenuto::FineRecord:
        record += fields::FineRecord;
        return;
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

void AggiungiPezzo(std::string& record, const Pezzo& pezzo, const Sorgente& sorgente) {
    const std::size_t inizio = record.size();
    Aggiungi(record, pezzo, sorgente);
    // Every kind keeps its width: a piece that did not would shift the rest of the record.
    if (const std::size_t scritti = record.size() - inizio; scritti != static_cast<std::size_t>(pezzo.lunghezza)) {
        record.resize(inizio);
        throw std::logic_error("Pezzo in posizione " + std::to_string(pezzo.inizio) + " lungo " +
                               std::to_string(scritti) + " caratteri invece di " + std::to_string(pezzo.lunghezza));
    }
}

std::string CodificaPezzo(const Pezzo& pezzo, const Sorgente& sorgente) {
    std::string testo;
    AggiungiPezzo(testo, pezzo, sorgente);
    return testo;
}

void Componi(std::string& record, std::span<const Pezzo> pezzi, const Sorgente& sorgente) {
    for (const Pezzo& pezzo : pezzi) {
        if (record.size() + 1 != static_cast<std::size_t>(pezzo.inizio))
            throw std::logic_error("Pezzo in posizione " + std::to_string(pezzo.inizio) + " dopo " +
                                   std::to_string(record.size()) + " caratteri");
        AggiungiPezzo(record, pezzo, sorgente);
    }
}

void AggiungiCampoQuadro(std::string& area, const CampoQuadro& campo, const RigaEsportazione& riga,
                         const Periodo& periodo) {
    if (!DaScrivere(campo, riga))
        return;
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

std::string CodificaCampoQuadro(const CampoQuadro& campo, const RigaEsportazione& riga, const Periodo& periodo) {
    std::string campi;
    AggiungiCampoQuadro(campi, campo, riga, periodo);
    return campi;
}

void AggiungiCampiDelDipendente(std::string& area, const RigaEsportazione& riga, const Periodo& periodo) {
    for (const CampoQuadro& campo : CampiQuadri)
        AggiungiCampoQuadro(area, campo, riga, periodo);
}

std::string CampiDelDipendente(const RigaEsportazione& riga, const Periodo& periodo) {
    std::string campi;
    AggiungiCampiDelDipendente(campi, riga, periodo);
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
