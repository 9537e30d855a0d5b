#include "record_tfr.h"

#include "conversioni.h"
#include "errore.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

namespace tfr {

namespace {

using shell::RigaEsportazione;

[[noreturn]] void ErroreValore(const Sorgente& sorgente, int colonna, const std::string& descrizione) {
    const std::string dipendente =
        sorgente.dipendente.empty() ? "" : " (dipendente " + std::string(sorgente.dipendente) + ")";
    sorgente.riga->Errore(colonna, descrizione + dipendente);
}

// The text left-aligned in `lunghezza` characters: blanks after it, cut at the right.
void Sinistra(std::string& record, std::string_view testo, int lunghezza) {
    const auto n = static_cast<std::size_t>(lunghezza);
    const std::string_view parte = testo.substr(0, n);
    record += parte;
    record.append(n - parte.size(), ' ');
}

// The text right-aligned in `lunghezza` characters: blanks before it, cut at the left.
void Destra(std::string& record, std::string_view testo, int lunghezza) {
    const auto n = static_cast<std::size_t>(lunghezza);
    if (testo.size() >= n) {
        record += testo.substr(testo.size() - n);
        return;
    }
    record.append(n - testo.size(), ' ');
    record += testo;
}

// The text with every blank removed, as Sinistra.
void SenzaSpazi(std::string& record, std::string_view testo, int lunghezza) {
    const std::size_t inizio = record.size();
    for (const char c : testo)
        if (c != ' ')
            record += c;
    record.resize(inizio + static_cast<std::size_t>(lunghezza), ' ');
}

// The text with every "IT" removed in one pass from the left ("IT60" and "60IT" give "60"), as
// Sinistra.
void SenzaIT(std::string& record, std::string_view testo, int lunghezza) {
    const std::size_t inizio = record.size();
    for (std::size_t i = 0; i < testo.size();) {
        if (testo.substr(i, 2) == "IT") {
            i += 2;
        } else {
            record += testo[i++];
        }
    }
    record.resize(inizio + static_cast<std::size_t>(lunghezza), ' ');
}

// "00" "01" ... "99": the digits of every number below 100.
constexpr std::array<char, 200> CoppieDiCifre = [] {
    std::array<char, 200> coppie{};
    for (std::size_t n = 0; n < 100; ++n) {
        coppie[2 * n] = static_cast<char>('0' + n / 10);
        coppie[2 * n + 1] = static_cast<char>('0' + n % 10);
    }
    return coppie;
}();

// A number with leading zeros to at least `cifre` digits, as printf's "%0*lld" writes it.
void ConZeri(std::string& record, long long numero, int cifre) {
    char testo[32];
    if (numero < 0 || cifre > 20) {
        std::snprintf(testo, sizeof testo, "%0*lld", cifre, numero);
        record += testo;
        return;
    }
    // The digits from the last one back, two at a time, then the zeros in front.
    auto resto = static_cast<unsigned long long>(numero);
    char* const fine = testo + sizeof testo;
    char* cifra = fine;
    while (resto >= 100) {
        const auto coppia = static_cast<std::size_t>(resto % 100) * 2;
        resto /= 100;
        cifra -= 2;
        std::memcpy(cifra, CoppieDiCifre.data() + coppia, 2);
    }
    if (resto >= 10) {
        cifra -= 2;
        std::memcpy(cifra, CoppieDiCifre.data() + static_cast<std::size_t>(resto) * 2, 2);
    } else {
        *--cifra = static_cast<char>('0' + resto);
    }
    while (fine - cifra < cifre)
        *--cifra = '0';
    record.append(cifra, static_cast<std::size_t>(fine - cifra));
}

void DataAnnoMeseGiorno(std::string& record, int anno, int mese, int giorno) {
    ConZeri(record, anno, 4);
    ConZeri(record, mese, 2);
    ConZeri(record, giorno, 2);
}

// An amount in cents. A text with a decimal comma is read the Italian way ("1.500,00" is 1500), any
// other text plainly ("12.5" is 12.5); the field has no sign and ten digits, so a negative amount or
// one of 100,000,000.00 or more stops the run instead of shifting the record.
long long Centesimi(const Sorgente& sorgente, int colonna) {
    const std::string_view testo = (*sorgente.riga)[colonna];
    std::optional<double> valore;
    if (testo.find(',') == std::string_view::npos) {
        valore = shell::ValoreSemplice(testo);
    } else {
        // Without the thousands points, the comma made a point; an ordinary amount needs no room of
        // its own for it.
        char corto[64];
        std::string lungo;
        char* const numero = testo.size() <= sizeof corto ? corto : (lungo.resize(testo.size()), lungo.data());
        std::size_t n = 0;
        for (const char c : testo)
            if (c != '.')
                numero[n++] = c == ',' ? '.' : c;
        valore = shell::ValoreSemplice(std::string_view(numero, n));
    }
    if (!valore)
        ErroreValore(sorgente, colonna, "importo fuori dall'intervallo ammesso '" + std::string(testo) + "'");
    const double centesimi = shell::ArrotondaLontanoDaZero(*valore * 100.0); // halves away from zero
    if (centesimi < 0)
        ErroreValore(sorgente, colonna,
                     "importo negativo '" + std::string(testo) + "', il tracciato non prevede il segno");
    if (centesimi >= 1e10)
        ErroreValore(sorgente, colonna, "importo '" + std::string(testo) + "' oltre il massimo di 99.999.999,99");
    return static_cast<long long>(centesimi);
}

// Appends the field, which the caller checks for its width.
void Aggiungi(std::string& record, const Campo& campo, const Sorgente& sorgente) {
    const RigaEsportazione* riga = sorgente.riga;
    switch (campo.tipo) {
    case Tipo::Letterale:
        record += campo.testo;
        return;
    case Tipo::Spazi:
        record.append(static_cast<std::size_t>(campo.lunghezza), ' ');
        return;
    case Tipo::L:
        Sinistra(record, (*riga)[campo.colonna], campo.lunghezza);
        return;
    case Tipo::R:
        Destra(record, (*riga)[campo.colonna], campo.lunghezza);
        return;
    case Tipo::LDueColonne: {
        const std::size_t inizio = record.size();
        const std::string_view prima = (*riga)[campo.colonna];
        const std::string_view seconda = (*riga)[campo.seconda];
        record += prima;
        record += ' ';
        record += seconda;
        record.resize(inizio + static_cast<std::size_t>(campo.lunghezza), ' '); // as Sinistra
        return;
    }
    case Tipo::LSenzaSpazi:
        SenzaSpazi(record, (*riga)[campo.colonna], campo.lunghezza);
        return;
    case Tipo::LSenzaIT:
        SenzaIT(record, (*riga)[campo.colonna], campo.lunghezza);
        return;
    case Tipo::Data:
    case Tipo::DataOZeri: {
        if (campo.tipo == Tipo::DataOZeri && (*riga)[campo.colonna].empty()) {
            record += "00000000";
            return;
        }
        const shell::Data data = riga->LeggiData(campo.colonna);
        DataAnnoMeseGiorno(record, data.anno, data.mese, data.giorno);
        return;
    }
    case Tipo::DataOdierna:
        DataAnnoMeseGiorno(record, sorgente.oggi.anno, sorgente.oggi.mese, sorgente.oggi.giorno);
        return;
    case Tipo::Importo:
        ConZeri(record, Centesimi(sorgente, campo.colonna), 10);
        return;
    case Tipo::SegnoImporto:
        record += Centesimi(sorgente, campo.colonna) != 0 ? 'O' : ' ';
        return;
    case Tipo::DueCifre: {
        const double valore = shell::ArrotondaLontanoDaZero(riga->Semplice(campo.colonna)); // halves away from zero
        if (!(valore >= 0 && valore <= 99))
            ErroreValore(sorgente, campo.colonna,
                         "valore '" + std::string((*riga)[campo.colonna]) + "' fuori dall'intervallo da 0 a 99");
        ConZeri(record, static_cast<int>(valore), 2);
        return;
    }
    case Tipo::BloccoBanca:
        if ((*riga)[campo.colonna] == "A") {
            record.append(static_cast<std::size_t>(campo.lunghezza), ' ');
            return;
        }
        AggiungiRecord(record, BloccoBancario, sorgente);
        return;
    case Tipo::CodaPeriodo: {
        const double valore = shell::ArrotondaAlPari(riga->Semplice(campo.colonna));
        if (valore < -32768 || valore > 32767)
            ErroreValore(sorgente, campo.colonna,
                         "valore '" + std::string((*riga)[campo.colonna]) +
                             "' oltre i limiti di un intero a 16 bit (da -32.768 a 32.767)");
        AggiungiRecord(record, valore != 0 ? std::span<const Campo>(CodaAN) : std::span<const Campo>(CodaPS),
                       sorgente);
        return;
    }
    case Tipo::Conteggio:
        ConZeri(record, sorgente.conteggi[static_cast<std::size_t>(campo.colonna)], 6);
        return;
    }
    throw shell::ErroreElaborazione("Tipo di campo sconosciuto");
}

} // namespace

void AggiungiCampo(std::string& record, const Campo& campo, const Sorgente& sorgente) {
    const std::size_t inizio = record.size();
    Aggiungi(record, campo, sorgente);
    // Every kind above keeps its width; a field that did not would shift the whole record.
    if (const std::size_t scritti = record.size() - inizio; scritti != static_cast<std::size_t>(campo.lunghezza)) {
        record.resize(inizio);
        throw shell::ErroreElaborazione("Campo in posizione " + std::to_string(campo.inizio) + " lungo " +
                                        std::to_string(scritti) + " caratteri invece di " +
                                        std::to_string(campo.lunghezza));
    }
}

void AggiungiRecord(std::string& record, std::span<const Campo> campi, const Sorgente& sorgente) {
    for (const Campo& campo : campi)
        AggiungiCampo(record, campo, sorgente);
}

std::string CodificaCampo(const Campo& campo, const Sorgente& sorgente) {
    std::string testo;
    AggiungiCampo(testo, campo, sorgente);
    return testo;
}

std::string ComponiRecord(std::span<const Campo> campi, const Sorgente& sorgente) {
    std::string record;
    AggiungiRecord(record, campi, sorgente);
    return record;
}

void FornituraTFR::Scrivi(std::span<const Campo> campi, const Sorgente& sorgente) {
    m_record.clear();
    AggiungiRecord(m_record, campi, sorgente);
    m_uscita.ScriviRiga(m_record);
}

void FornituraTFR::ScriviRecord1(const RigaEsportazione& riga, const shell::DataOra& oggi) {
    Scrivi(Record1, {&riga, riga[13], oggi, {}});
    m_record1 = 1;
}

void FornituraTFR::ScriviRecord2(const RigaEsportazione& riga) {
    Scrivi(Record2, {&riga, riga[13], {}, {}});
    m_record2.Incrementa();
}

void FornituraTFR::ScriviRecord3(const RigaEsportazione& riga) {
    Scrivi(Record3, {&riga, riga[13], {}, {}});
    m_record3.Incrementa();
}

void FornituraTFR::ScriviRecord4(const RigaEsportazione& beneficiario) {
    Scrivi(Record4, {&beneficiario, {}, {}, {}});
    m_record4.Incrementa();
}

void FornituraTFR::ScriviRecord9() {
    const std::array<int, 4> conteggi{m_record1, m_record2.Valore(), m_record3.Valore(), m_record4.Valore()};
    Scrivi(Record9, {nullptr, {}, {}, conteggi});
}

} // namespace tfr
