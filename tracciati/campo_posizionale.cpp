#include "tracciati/campo_posizionale.h"

#include <algorithm>
#include <charconv>

namespace tracciati {

namespace {

void Sinistra(std::string& record, std::string_view testo, std::size_t n) {
    const std::string_view parte = testo.substr(0, n);
    record += parte;
    record.append(n - parte.size(), ' ');
}

std::optional<shell::Data> DataDi(const Valore& valore) {
    if (valore.Data())
        return valore.ComeData();
    if (valore.Testo())
        return shell::LeggiData(valore.ComeTesto());
    return std::nullopt;
}

} // namespace

void AggiungiCampoPosizionale(std::string& record, const Valore& valore, int lunghezza, TipoPosizionale tipo) {
    if (lunghezza < 1)
        return;
    const auto n = static_cast<std::size_t>(lunghezza);
    char appoggio[LunghezzaMassimaTesto];
    switch (tipo) {
    case TipoPosizionale::X:
        Sinistra(record, TestoValore(valore, appoggio), n);
        return;
    case TipoPosizionale::N: {
        const std::string_view testo = TestoValore(valore, appoggio);
        if (testo.size() >= n) {
            record += testo.substr(testo.size() - n);
            return;
        }
        record.append(n - testo.size(), '0');
        record += testo;
        return;
    }
    case TipoPosizionale::DT:
        if (const auto data = DataDi(valore))
            Sinistra(record, std::string_view(appoggio, ScriviDataGGMMAAAA(*data, appoggio)), n);
        else
            Sinistra(record, DataAssente, n);
        return;
    }
}

void AggiungiConZeri(std::string& record, long long numero, int cifre) {
    char testo[24];
    const auto assoluto =
        numero < 0 ? 0ULL - static_cast<unsigned long long>(numero) : static_cast<unsigned long long>(numero);
    const auto n = static_cast<int>(std::to_chars(testo, testo + sizeof testo, assoluto).ptr - testo);
    if (numero < 0)
        record += '-';
    const int zeri = cifre - n - (numero < 0 ? 1 : 0);
    if (zeri > 0)
        record.append(static_cast<std::size_t>(zeri), '0');
    record.append(testo, static_cast<std::size_t>(n));
}

Lettura LeggiCampoPosizionale(std::string_view testo, TipoPosizionale tipo) {
    switch (tipo) {
    case TipoPosizionale::X:
        return {Valore(testo)};
    case TipoPosizionale::N: {
        // Zeros, "-" when negative, the digits: what N writes for a whole number.
        const std::size_t segno = testo.find('-');
        const std::string_view zeri = testo.substr(0, segno == std::string_view::npos ? 0 : segno);
        const std::string_view cifre = segno == std::string_view::npos ? testo : testo.substr(segno + 1);
        const bool buono = !cifre.empty() && cifre.size() <= 18 && std::all_of(cifre.begin(), cifre.end(), Cifra) &&
                           zeri.find_first_not_of('0') == std::string_view::npos &&
                           (segno == std::string_view::npos || cifre.front() != '0');
        if (!buono)
            return Lettura::Errata(Difformita::Formato, "attese " + std::to_string(testo.size()) + " cifre");
        long long numero = 0;
        for (const char c : cifre)
            numero = numero * 10 + (c - '0');
        return {Valore(segno == std::string_view::npos ? numero : -numero)};
    }
    case TipoPosizionale::DT: {
        if (testo == DataAssente)
            return {Valore(testo)};
        if (const auto data = DataDiCifre(testo, OrdineData::GGMMAAAA))
            return {Valore(*data)};
        return Lettura::Errata(Difformita::Formato, "attesa una data ggmmaaaa");
    }
    }
    return {};
}

} // namespace tracciati
