#include "record_tfr.h"

#include "conversioni.h"
#include "errore.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tfr {

namespace {

using shell::RigaEsportazione;

[[noreturn]] void ErroreValore(const Sorgente& sorgente, int colonna, const std::string& descrizione) {
    const std::string dipendente =
        sorgente.dipendente.empty() ? "" : " (dipendente " + std::string(sorgente.dipendente) + ")";
    sorgente.riga->Errore(colonna, descrizione + dipendente);
}

std::string Sinistra(std::string_view testo, int lunghezza) {
    std::string campo(testo.substr(0, static_cast<std::size_t>(lunghezza)));
    campo.resize(static_cast<std::size_t>(lunghezza), ' ');
    return campo;
}

std::string Destra(std::string_view testo, int lunghezza) {
    const auto n = static_cast<std::size_t>(lunghezza);
    if (testo.size() >= n)
        return std::string(testo.substr(testo.size() - n));
    return std::string(n - testo.size(), ' ') + std::string(testo);
}

std::string SenzaSpazi(std::string_view testo) {
    std::string risultato(testo);
    std::erase(risultato, ' ');
    return risultato;
}

// Every "IT" removed in one pass from the left ("IT60" and "60IT" give "60").
std::string SenzaIT(std::string_view testo) {
    std::string risultato;
    for (std::size_t i = 0; i < testo.size();) {
        if (testo.substr(i, 2) == "IT") {
            i += 2;
        } else {
            risultato += testo[i++];
        }
    }
    return risultato;
}

// A number with leading zeros to at least `cifre` digits, as printf's "%0*lld" writes it.
std::string ConZeri(long long numero, int cifre) {
    if (numero < 0) {
        char testo[32];
        std::snprintf(testo, sizeof testo, "%0*lld", cifre, numero);
        return testo;
    }
    std::string testo = std::to_string(numero);
    if (testo.size() < static_cast<std::size_t>(cifre))
        testo.insert(0, static_cast<std::size_t>(cifre) - testo.size(), '0');
    return testo;
}

std::string DataAnnoMeseGiorno(int anno, int mese, int giorno) {
    return ConZeri(anno, 4) + ConZeri(mese, 2) + ConZeri(giorno, 2);
}

// An amount in cents. A text with a decimal comma is read the Italian way ("1.500,00" is 1500), any
// other text plainly ("12.5" is 12.5); the field has no sign and ten digits, so a negative amount or
// one of 100,000,000.00 or more stops the run instead of shifting the record.
long long Centesimi(const Sorgente& sorgente, int colonna) {
    const std::string testo((*sorgente.riga)[colonna]);
    std::string numero = testo;
    if (numero.find(',') != std::string::npos) {
        std::erase(numero, '.');
        std::replace(numero.begin(), numero.end(), ',', '.');
    }
    const auto valore = shell::ValoreSemplice(numero);
    if (!valore)
        ErroreValore(sorgente, colonna, "importo fuori dall'intervallo ammesso '" + testo + "'");
    const double centesimi = shell::Arrotonda(*valore * 100.0); // halves away from zero
    if (centesimi < 0)
        ErroreValore(sorgente, colonna, "importo negativo '" + testo + "', il tracciato non prevede il segno");
    if (centesimi >= 1e10)
        ErroreValore(sorgente, colonna, "importo '" + testo + "' oltre il massimo di 99.999.999,99");
    return static_cast<long long>(centesimi);
}

// Halves to the even neighbour, as a 16-bit integer is rounded.
double ArrotondaAlPari(double valore) {
    const double sotto = std::floor(valore);
    const double resto = valore - sotto;
    if (resto > 0.5)
        return sotto + 1;
    if (resto < 0.5)
        return sotto;
    return std::fmod(sotto, 2.0) == 0 ? sotto : sotto + 1;
}

std::string Codifica(const Campo& campo, const Sorgente& sorgente) {
    const RigaEsportazione* riga = sorgente.riga;
    switch (campo.tipo) {
    case Tipo::Letterale:
        return std::string(campo.testo);
    case Tipo::Spazi:
        return std::string(static_cast<std::size_t>(campo.lunghezza), ' ');
    case Tipo::L:
        return Sinistra((*riga)[campo.colonna], campo.lunghezza);
    case Tipo::R:
        return Destra((*riga)[campo.colonna], campo.lunghezza);
    case Tipo::LDueColonne:
        return Sinistra(std::string((*riga)[campo.colonna]) + " " + std::string((*riga)[campo.seconda]), campo.lunghezza);
    case Tipo::LSenzaSpazi:
        return Sinistra(SenzaSpazi((*riga)[campo.colonna]), campo.lunghezza);
    case Tipo::LSenzaIT:
        return Sinistra(SenzaIT((*riga)[campo.colonna]), campo.lunghezza);
    case Tipo::Data:
    case Tipo::DataOZeri: {
        if (campo.tipo == Tipo::DataOZeri && (*riga)[campo.colonna].empty())
            return "00000000";
        const shell::Data data = riga->LeggiData(campo.colonna);
        return DataAnnoMeseGiorno(data.anno, data.mese, data.giorno);
    }
    case Tipo::DataOdierna:
        return DataAnnoMeseGiorno(sorgente.oggi.anno, sorgente.oggi.mese, sorgente.oggi.giorno);
    case Tipo::Importo:
        return ConZeri(Centesimi(sorgente, campo.colonna), 10);
    case Tipo::SegnoImporto:
        return Centesimi(sorgente, campo.colonna) != 0 ? "O" : " ";
    case Tipo::DueCifre: {
        const double valore = shell::Arrotonda(riga->Semplice(campo.colonna)); // halves away from zero
        if (!(valore >= 0 && valore <= 99))
            ErroreValore(sorgente, campo.colonna,
                         "valore '" + std::string((*riga)[campo.colonna]) + "' fuori dall'intervallo da 0 a 99");
        return ConZeri(static_cast<int>(valore), 2);
    }
    case Tipo::BloccoBanca:
        if ((*riga)[campo.colonna] == "A")
            return std::string(static_cast<std::size_t>(campo.lunghezza), ' ');
        return ComponiRecord(BloccoBancario, sorgente);
    case Tipo::CodaPeriodo: {
        const double valore = ArrotondaAlPari(riga->Semplice(campo.colonna));
        if (valore < -32768 || valore > 32767)
            ErroreValore(sorgente, campo.colonna,
                         "valore '" + std::string((*riga)[campo.colonna]) +
                             "' oltre i limiti di un intero a 16 bit (da -32.768 a 32.767)");
        return ComponiRecord(valore != 0 ? std::span<const Campo>(CodaAN) : std::span<const Campo>(CodaPS), sorgente);
    }
    case Tipo::Conteggio:
        return ConZeri(sorgente.conteggi[static_cast<std::size_t>(campo.colonna)], 6);
    }
    throw shell::ErroreElaborazione("Tipo di campo sconosciuto");
}

} // namespace

std::string CodificaCampo(const Campo& campo, const Sorgente& sorgente) {
    std::string testo = Codifica(campo, sorgente);
    // Every kind above keeps its width; a field that did not would shift the whole record.
    if (testo.size() != static_cast<std::size_t>(campo.lunghezza))
        throw shell::ErroreElaborazione("Campo in posizione " + std::to_string(campo.inizio) + " lungo " +
                                        std::to_string(testo.size()) + " caratteri invece di " +
                                        std::to_string(campo.lunghezza));
    return testo;
}

std::string ComponiRecord(std::span<const Campo> campi, const Sorgente& sorgente) {
    std::string record;
    for (const Campo& campo : campi)
        record += CodificaCampo(campo, sorgente);
    return record;
}

void FornituraTFR::ScriviRecord1(const RigaEsportazione& riga, const shell::DataOra& oggi) {
    m_uscita.ScriviRiga(ComponiRecord(Record1, {&riga, riga[13], oggi, {}}));
    m_record1 = 1;
}

void FornituraTFR::ScriviRecord2(const RigaEsportazione& riga) {
    m_uscita.ScriviRiga(ComponiRecord(Record2, {&riga, riga[13], {}, {}}));
    m_record2.Incrementa();
}

void FornituraTFR::ScriviRecord3(const RigaEsportazione& riga) {
    m_uscita.ScriviRiga(ComponiRecord(Record3, {&riga, riga[13], {}, {}}));
    m_record3.Incrementa();
}

void FornituraTFR::ScriviRecord4(const RigaEsportazione& beneficiario) {
    m_uscita.ScriviRiga(ComponiRecord(Record4, {&beneficiario, {}, {}, {}}));
    m_record4.Incrementa();
}

void FornituraTFR::ScriviRecord9() {
    const std::array<int, 4> conteggi{m_record1, m_record2.Valore(), m_record3.Valore(), m_record4.Valore()};
    m_uscita.ScriviRiga(ComponiRecord(Record9, {nullptr, {}, {}, conteggi}));
}

} // namespace tfr
