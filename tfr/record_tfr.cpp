#include "tfr/record_tfr.h"
#include "shell/testo.h"

#include "shell/conversioni.h"
#include "shell/errore.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <stdexcept>

namespace tfr {

namespace {

using shell::RigaEsportazione;

ProprioTFR GenereTFR(const tracciati::Pezzo& pezzo) { return static_cast<ProprioTFR>(pezzo.genere.proprio); }

using shell::Cifra;
bool Cifre(std::string_view testo) { return std::all_of(testo.begin(), testo.end(), Cifra); }

// The text with every "IT" removed in one pass from the left ("IT60" and "60IT" give "60").
void SenzaIT(std::string& uscita, std::string_view testo) {
    for (std::size_t i = 0; i < testo.size();) {
        if (testo.substr(i, 2) == "IT") {
            i += 2;
        } else {
            uscita += testo[i++];
        }
    }
}

void DataAnnoMeseGiorno(std::string& record, const shell::Data& data) {
    tracciati::AggiungiConZeri(record, data.anno, 4);
    tracciati::AggiungiConZeri(record, data.mese, 2);
    tracciati::AggiungiConZeri(record, data.giorno, 2);
}

} // namespace

void GancioTFR::ErroreValore(const tracciati::Fonte& fonte, int colonna, const std::string& descrizione) const {
    const std::string dipendente = m_dipendente.empty() ? "" : " (dipendente " + std::string(m_dipendente) + ")";
    fonte.riga->Errore(colonna, descrizione + dipendente);
}

// An amount in cents. A text with a decimal comma is read the Italian way ("1.500,00" is 1500), any
// other text plainly ("12.5" is 12.5); the field has no sign and ten digits, so a negative amount or
// one of 100,000,000.00 or more stops the run instead of shifting the record.
long long GancioTFR::Centesimi(const tracciati::Fonte& fonte, int colonna) const {
    const std::string_view testo = (*fonte.riga)[colonna];
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
        ErroreValore(fonte, colonna, "importo fuori dall'intervallo ammesso '" + std::string(testo) + "'");
    const double centesimi = shell::ArrotondaLontanoDaZero(*valore * 100.0);
    if (centesimi < 0)
        ErroreValore(fonte, colonna,
                     "importo negativo '" + std::string(testo) + "', il tracciato non prevede il segno");
    if (centesimi >= 1e10)
        ErroreValore(fonte, colonna, "importo '" + std::string(testo) + "' oltre il massimo di 99.999.999,99");
    return static_cast<long long>(centesimi);
}

std::span<const tracciati::Pezzo> GancioTFR::Scelta(const tracciati::Pezzo& pezzo,
                                                    const tracciati::Fonte& fonte) const {
    const RigaEsportazione& riga = *fonte.riga;
    switch (GenereTFR(pezzo)) {
    case ProprioTFR::BloccoBanca:
        if (riga[pezzo.colonna] == "A")
            return tabelleTFR::SenzaBanca;
        return tabelleTFR::BloccoBancario;
    case ProprioTFR::CodaPeriodo: {
        const double valore = shell::ArrotondaAlPari(riga.Semplice(pezzo.colonna));
        if (valore < -32768 || valore > 32767)
            ErroreValore(fonte, pezzo.colonna,
                         "valore '" + std::string(riga[pezzo.colonna]) +
                             "' oltre i limiti di un intero a 16 bit (da -32.768 a 32.767)");
        if (valore != 0)
            return tabelleTFR::CodaAN;
        return tabelleTFR::CodaPS;
    }
    default:
        return {};
    }
}

tracciati::Valore GancioTFR::Valuta(const tracciati::Pezzo& pezzo, const tracciati::Fonte& fonte,
                                    std::string& appoggio) const {
    const RigaEsportazione& riga = *fonte.riga;
    const int colonna = pezzo.colonna;
    switch (GenereTFR(pezzo)) {
    case ProprioTFR::R:
        return riga[colonna];
    case ProprioTFR::LColonnaESeguente:
        appoggio.assign(riga[colonna]).append(" ").append(riga[colonna + 1]);
        return appoggio;
    case ProprioTFR::LSenzaSpazi:
        appoggio.clear();
        for (const char c : riga[colonna])
            if (c != ' ')
                appoggio += c;
        return appoggio;
    case ProprioTFR::LSenzaIT:
        appoggio.clear();
        SenzaIT(appoggio, riga[colonna]);
        return appoggio;
    case ProprioTFR::Data:
        return riga.LeggiData(colonna);
    case ProprioTFR::DataOZeri:
        if (riga[colonna].empty())
            return {};
        return riga.LeggiData(colonna);
    case ProprioTFR::DataOdierna:
        return shell::Data{m_oggi.anno, m_oggi.mese, m_oggi.giorno};
    case ProprioTFR::Importo:
    case ProprioTFR::SegnoImporto:
        return Centesimi(fonte, colonna);
    case ProprioTFR::DueCifre: {
        const double valore = shell::ArrotondaLontanoDaZero(riga.Semplice(colonna));
        if (!(valore >= 0 && valore <= 99))
            ErroreValore(fonte, colonna, "valore '" + std::string(riga[colonna]) + "' fuori dall'intervallo da 0 a 99");
        return static_cast<int>(valore);
    }
    case ProprioTFR::BloccoBanca:
    case ProprioTFR::CodaPeriodo:
        break; // a table of its own (Scelta)
    }
    throw std::logic_error("Pezzo TFR senza valore");
}

void GancioTFR::Scrivi(std::string& record, const tracciati::Pezzo& pezzo, const tracciati::Valore& valore) const {
    const auto n = static_cast<std::size_t>(pezzo.lunghezza);
    switch (GenereTFR(pezzo)) {
    case ProprioTFR::R: {
        const std::string_view testo = valore.ComeTesto();
        if (testo.size() >= n) {
            record += testo.substr(testo.size() - n);
            return;
        }
        record.append(n - testo.size(), ' ');
        record += testo;
        return;
    }
    case ProprioTFR::LColonnaESeguente:
    case ProprioTFR::LSenzaSpazi:
    case ProprioTFR::LSenzaIT:
        tracciati::AggiungiCampoPosizionale(record, valore, pezzo.lunghezza, tracciati::TipoPosizionale::X);
        return;
    case ProprioTFR::Data:
    case ProprioTFR::DataOZeri:
    case ProprioTFR::DataOdierna:
        if (valore.Data())
            DataAnnoMeseGiorno(record, valore.ComeData());
        else
            record += tracciati::DataAssente;
        return;
    case ProprioTFR::Importo:
    case ProprioTFR::DueCifre:
        tracciati::AggiungiConZeri(record, valore.ComeIntero(), pezzo.lunghezza);
        return;
    case ProprioTFR::SegnoImporto:
        record += valore.ComeIntero() != 0 ? 'O' : ' ';
        return;
    case ProprioTFR::BloccoBanca:
    case ProprioTFR::CodaPeriodo:
        break;
    }
    throw std::logic_error("Pezzo TFR senza testo");
}

std::span<const tracciati::Pezzo> GancioTFR::SceltaLetta(const tracciati::Pezzo& pezzo, std::string_view record) const {
    const auto testo = record.substr(static_cast<std::size_t>(pezzo.posizione - 1));
    switch (GenereTFR(pezzo)) {
    case ProprioTFR::BloccoBanca:
        // The column of the payment stands just before the block.
        if (record.substr(static_cast<std::size_t>(pezzo.posizione - 2), 1) == "A")
            return tabelleTFR::SenzaBanca;
        return tabelleTFR::BloccoBancario;
    case ProprioTFR::CodaPeriodo:
        if (testo.starts_with("AN"))
            return tabelleTFR::CodaAN;
        if (testo.starts_with("PS"))
            return tabelleTFR::CodaPS;
        return {};
    default:
        return {};
    }
}

tracciati::Lettura GancioTFR::Leggi(const tracciati::Pezzo& pezzo, std::string_view testo) const {
    using tracciati::Difformita;
    using tracciati::Lettura;
    switch (GenereTFR(pezzo)) {
    case ProprioTFR::R:
    case ProprioTFR::LColonnaESeguente:
    case ProprioTFR::LSenzaIT:
        return tracciati::Valore(testo);
    case ProprioTFR::LSenzaSpazi: {
        const std::size_t spazio = testo.find(' ');
        if (spazio == std::string_view::npos || testo.find_first_not_of(' ', spazio) == std::string_view::npos)
            return tracciati::Valore(testo);
        return Lettura::Errata(Difformita::Formato, "attesi caratteri senza spazi, seguiti da spazi");
    }
    case ProprioTFR::Data:
    case ProprioTFR::DataOZeri:
    case ProprioTFR::DataOdierna:
        if (const auto data = tracciati::DataDiCifre(testo, tracciati::OrdineData::AAAAMMGG))
            return tracciati::Valore(*data);
        if (GenereTFR(pezzo) == ProprioTFR::DataOZeri && testo == tracciati::DataAssente)
            return tracciati::Valore();
        return Lettura::Errata(Difformita::Formato, GenereTFR(pezzo) == ProprioTFR::DataOZeri
                                                        ? "attesa una data aaaammgg o 00000000"
                                                        : "attesa una data aaaammgg");
    case ProprioTFR::Importo:
    case ProprioTFR::DueCifre:
        if (long long numero = 0;
            Cifre(testo) && std::from_chars(testo.data(), testo.data() + testo.size(), numero).ec == std::errc())
            return tracciati::Valore(numero);
        return Lettura::Errata(Difformita::Formato, "attese " + std::to_string(testo.size()) + " cifre");
    case ProprioTFR::SegnoImporto:
        if (testo == "O" || testo == " ")
            return tracciati::Valore(testo == "O" ? 1 : 0);
        return Lettura::Errata(Difformita::Formato, "atteso 'O' o uno spazio");
    case ProprioTFR::BloccoBanca:
    case ProprioTFR::CodaPeriodo:
        break;
    }
    return Lettura::Errata(Difformita::Formato, "atteso 'AN' con cinque importi a zero o 'PS' con gli importi");
}

const tracciati::Tracciato& TracciatoTFR() {
    static const GancioTFR gancio;
    static constexpr tracciati::TabellaRecord record[] = {
        {'1', tabelleTFR::Record1}, {'2', tabelleTFR::Record2}, {'3', tabelleTFR::Record3},
        {'4', tabelleTFR::Record4}, {'9', tabelleTFR::Record9},
    };
    static const tracciati::Tracciato tracciato{record, gancio};
    return tracciato;
}

void FornituraTFR::Scrivi(std::span<const tracciati::Pezzo> tabella, const tracciati::Fonte& fonte,
                          const GancioTFR& gancio) {
    m_record.clear();
    tracciati::Componi(m_record, tabella, fonte, gancio);
    m_uscita.ScriviRiga(m_record);
}

void FornituraTFR::ScriviRecord1(const RigaEsportazione& riga, const shell::DataOra& oggi) {
    Scrivi(tabelleTFR::Record1, {&riga}, GancioTFR(oggi, riga[13]));
    m_record1 = 1;
}

void FornituraTFR::ScriviRecord2(const RigaEsportazione& riga) {
    Scrivi(tabelleTFR::Record2, {&riga}, GancioTFR({}, riga[13]));
    m_record2.Incrementa();
}

void FornituraTFR::ScriviRecord3(const RigaEsportazione& riga) {
    Scrivi(tabelleTFR::Record3, {&riga}, GancioTFR({}, riga[13]));
    m_record3.Incrementa();
}

void FornituraTFR::ScriviRecord4(const RigaEsportazione& beneficiario) {
    Scrivi(tabelleTFR::Record4, {&beneficiario}, GancioTFR());
    m_record4.Incrementa();
}

void FornituraTFR::ScriviRecord9() {
    const std::array<int, NumeriTFR> conteggi{m_record1, m_record2.Valore(), m_record3.Valore(), m_record4.Valore()};
    Scrivi(tabelleTFR::Record9, {nullptr, conteggi}, GancioTFR());
}

} // namespace tfr
