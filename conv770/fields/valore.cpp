#include "valore.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace conv770::fields {

std::string TestoNumero(double numero) {
    if (numero == 0 || !std::isfinite(numero))
        return "0";
    // 15 significant digits as d.dddddddddddddde+X: the digits and the place of the decimal point.
    char testo[40];
    std::snprintf(testo, sizeof testo, "%.14e", numero);
    const std::string_view t(testo);
    const bool negativo = t.front() == '-';
    const std::size_t inizio = negativo ? 1 : 0;
    const std::size_t e = t.find('e');
    std::string cifre;
    for (std::size_t i = inizio; i < e; ++i)
        if (t[i] != '.')
            cifre += t[i];
    while (cifre.size() > 1 && cifre.back() == '0')
        cifre.pop_back();
    const long esponente = std::strtol(testo + e + 1, nullptr, 10);
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
