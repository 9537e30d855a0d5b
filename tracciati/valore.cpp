#include "tracciati/valore.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace tracciati {

std::size_t ScriviTestoNumero(double numero, char* uscita) {
    char* p = uscita;
    if (numero == 0 || !std::isfinite(numero)) {
        *p = '0';
        return 1;
    }
    // Whole numbers of at most 15 digits are written exactly as they are.
    if (std::fabs(numero) < 1e15 && std::trunc(numero) == numero)
        return static_cast<std::size_t>(std::to_chars(p, p + 24, static_cast<long long>(numero)).ptr - p);

    // Amounts in cents (the most of them): a number that is the double nearest to k / 100 for a whole k
    // of at most 15 digits has those digits as its 15 significant ones, the last zero dropped.
    if (std::fabs(numero) < 1e13) {
        const double centesimi = std::nearbyint(numero * 100);
        if (centesimi / 100 == numero) {
            const auto k = static_cast<long long>(centesimi);
            const unsigned long long assoluto =
                k < 0 ? 0ULL - static_cast<unsigned long long>(k) : static_cast<unsigned long long>(k);
            if (k < 0)
                *p++ = '-';
            p = std::to_chars(p, p + 24, assoluto / 100).ptr;
            *p++ = ',';
            *p++ = static_cast<char>('0' + assoluto % 100 / 10);
            if (assoluto % 10 != 0)
                *p++ = static_cast<char>('0' + assoluto % 10);
            return static_cast<std::size_t>(p - uscita);
        }
    }

    // 15 significant digits as d.dddddddddddddde+X: the digits and the place of the decimal point.
    char testo[40];
    const auto [fine, errore] = std::to_chars(testo, testo + sizeof testo, numero, std::chars_format::scientific, 14);
    if (errore != std::errc()) {
        *p = '0';
        return 1;
    }
    const std::string_view t(testo, static_cast<std::size_t>(fine - testo));
    const bool negativo = t.front() == '-';
    const std::size_t e = t.find('e');
    char cifre[16];
    std::size_t quante = 0;
    for (std::size_t i = negativo ? 1 : 0; i < e; ++i)
        if (t[i] != '.')
            cifre[quante++] = t[i];
    while (quante > 1 && cifre[quante - 1] == '0')
        --quante;
    int esponente = 0;
    std::from_chars(t.data() + e + (t[e + 1] == '+' ? 2 : 1), t.data() + t.size(), esponente);
    const long interi = esponente + 1; // digits before the decimal point

    if (negativo)
        *p++ = '-';
    const auto copia = [&p](const char* da, std::size_t n) {
        std::memcpy(p, da, n);
        p += n;
    };
    if (interi <= 0) {
        copia("0,", 2);
        std::memset(p, '0', static_cast<std::size_t>(-interi));
        p += -interi;
        copia(cifre, quante);
    } else if (static_cast<std::size_t>(interi) >= quante) {
        copia(cifre, quante);
        std::memset(p, '0', static_cast<std::size_t>(interi) - quante);
        p += static_cast<std::size_t>(interi) - quante;
    } else {
        copia(cifre, static_cast<std::size_t>(interi));
        *p++ = ',';
        copia(cifre + interi, quante - static_cast<std::size_t>(interi));
    }
    return static_cast<std::size_t>(p - uscita);
}

std::size_t ScriviDataGGMMAAAA(const shell::Data& data, char* uscita) {
    if (data.giorno >= 0 && data.giorno <= 99 && data.mese >= 0 && data.mese <= 99 && data.anno >= 0 &&
        data.anno <= 9999) {
        const auto cifra = [](int n) { return static_cast<char>('0' + n); };
        const char testo[8] = {cifra(data.giorno / 10),    cifra(data.giorno % 10), cifra(data.mese / 10),
                               cifra(data.mese % 10),      cifra(data.anno / 1000), cifra(data.anno / 100 % 10),
                               cifra(data.anno / 10 % 10), cifra(data.anno % 10)};
        std::memcpy(uscita, testo, sizeof testo);
        return sizeof testo;
    }
    return static_cast<std::size_t>(std::snprintf(uscita, 40, "%02d%02d%04d", data.giorno, data.mese, data.anno));
}

std::optional<shell::Data> DataDiCifre(std::string_view cifre, OrdineData ordine) {
    if (cifre.size() != 8 || !std::all_of(cifre.begin(), cifre.end(), Cifra))
        return std::nullopt;
    const auto numero = [&](std::size_t da, std::size_t n) {
        int v = 0;
        for (const char c : cifre.substr(da, n))
            v = v * 10 + (c - '0');
        return v;
    };
    const bool annoInTesta = ordine == OrdineData::AAAAMMGG;
    const shell::Data data{numero(annoInTesta ? 0 : 4, 4), numero(annoInTesta ? 4 : 2, 2),
                           numero(annoInTesta ? 6 : 0, 2)};
    if (!shell::DataValida(data.anno, data.mese, data.giorno))
        return std::nullopt;
    return data;
}

std::string_view TestoValore(const Valore& valore, char* appoggio) {
    switch (valore.Di()) {
    case Valore::Genere::Testo:
        return valore.ComeTesto();
    case Valore::Genere::Numero:
        return std::string_view(appoggio, ScriviTestoNumero(valore.ComeNumero(), appoggio));
    case Valore::Genere::Intero:
        return std::string_view(
            appoggio,
            static_cast<std::size_t>(std::to_chars(appoggio, appoggio + 24, valore.ComeIntero()).ptr - appoggio));
    case Valore::Genere::Data: {
        const shell::Data& d = valore.ComeData();
        return std::string_view(appoggio,
                                static_cast<std::size_t>(std::snprintf(appoggio, LunghezzaMassimaTesto,
                                                                       "%02d/%02d/%04d", d.giorno, d.mese, d.anno)));
    }
    case Valore::Genere::Flag:
        for (std::size_t i = 0; i < 12; ++i)
            appoggio[i] = (valore.ComeIntero() >> i) & 1 ? '1' : '0';
        return std::string_view(appoggio, 12);
    }
    return {};
}

} // namespace tracciati
