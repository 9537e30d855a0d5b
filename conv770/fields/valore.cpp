#include "valore.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace conv770::fields {

std::string TestoNumero(double numero) {
    if (numero == 0 || !std::isfinite(numero))
        return "0";
    // Whole numbers of at most 15 digits are written exactly as they are.
    if (std::fabs(numero) < 1e15 && std::trunc(numero) == numero)
        return std::to_string(static_cast<long long>(numero));

    // 15 significant digits as d.dddddddddddddde+X: the digits and the place of the decimal point.
    char testo[40];
    const auto [fine, errore] = std::to_chars(testo, testo + sizeof testo, numero, std::chars_format::scientific, 14);
    if (errore != std::errc())
        return "0";
    const std::string_view t(testo, static_cast<std::size_t>(fine - testo));
    const bool negativo = t.front() == '-';
    const std::size_t e = t.find('e');
    std::string cifre;
    for (std::size_t i = negativo ? 1 : 0; i < e; ++i)
        if (t[i] != '.')
            cifre += t[i];
    while (cifre.size() > 1 && cifre.back() == '0')
        cifre.pop_back();
    int esponente = 0;
    std::from_chars(t.data() + e + (t[e + 1] == '+' ? 2 : 1), t.data() + t.size(), esponente);
    const long interi = esponente + 1; // digits before the decimal point

    std::string risultato = negativo ? "-" : "";
    if (interi <= 0) {
        risultato += "0,";
        risultato.append(static_cast<std::size_t>(-interi), '0');
        risultato += cifre;
    } else if (static_cast<std::size_t>(interi) >= cifre.size()) {
        risultato += cifre;
        risultato.append(static_cast<std::size_t>(interi) - cifre.size(), '0');
    } else {
        risultato += cifre.substr(0, static_cast<std::size_t>(interi));
        risultato += ',';
        risultato += cifre.substr(static_cast<std::size_t>(interi));
    }
    return risultato;
}

std::string DataGGMMAAAA(const shell::Data& data) {
    if (data.giorno >= 0 && data.giorno <= 99 && data.mese >= 0 && data.mese <= 99 && data.anno >= 0 &&
        data.anno <= 9999) {
        const auto cifra = [](int n) { return static_cast<char>('0' + n); };
        return {cifra(data.giorno / 10), cifra(data.giorno % 10), cifra(data.mese / 10), cifra(data.mese % 10),
                cifra(data.anno / 1000), cifra(data.anno / 100 % 10), cifra(data.anno / 10 % 10), cifra(data.anno % 10)};
    }
    char testo[32];
    std::snprintf(testo, sizeof testo, "%02d%02d%04d", data.giorno, data.mese, data.anno);
    return testo;
}

std::string TestoValore(const Valore& valore) {
    if (valore.Testo())
        return valore.ComeTesto();
    if (valore.Numero())
        return TestoNumero(valore.ComeNumero());
    if (valore.Intero())
        return std::to_string(valore.ComeIntero());
    const shell::Data& d = valore.ComeData();
    char testo[32];
    std::snprintf(testo, sizeof testo, "%02d/%02d/%04d", d.giorno, d.mese, d.anno);
    return testo;
}

} // namespace conv770::fields
