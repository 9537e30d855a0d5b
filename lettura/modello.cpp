#include "lettura/modello.h"
#include "lettura/rilievo.h"

#include <cmath>
#include <cstdio>
#include <functional>

namespace lettura {

void Impronta::Aggiungi(std::string_view testo) {
    // The standard library's hash of the text (its length included: "AB" + "C" and "A" + "BC" differ).
    AggiungiNumero(std::hash<std::string_view>{}(testo));
}

void Impronta::AggiungiNumero(std::uint64_t numero) {
    // Folded into what came before by a multiplication, so that the order of the texts counts.
    m_valore = (m_valore ^ numero) * 0x9E3779B97F4A7C15ULL;
    m_valore ^= m_valore >> 29;
}

const char* NomeGravita(Gravita gravita) { return gravita == Gravita::Errore ? "errore" : "avviso"; }

std::string ImportoItaliano(double importo, int decimali) {
    char cifre[64];
    std::snprintf(cifre, sizeof cifre, "%.*f", decimali, std::fabs(importo));
    std::string intera = cifre, frazione;
    if (const auto punto = intera.find('.'); punto != std::string::npos) {
        frazione = intera.substr(punto + 1);
        intera.resize(punto);
    }
    std::string testo;
    if (importo < 0 && intera.find_first_not_of('0') != std::string::npos)
        testo += '-';
    else if (importo < 0 && frazione.find_first_not_of('0') != std::string::npos)
        testo += '-';
    for (std::size_t i = 0; i < intera.size(); ++i) {
        if (i > 0 && (intera.size() - i) % 3 == 0)
            testo += '.';
        testo += intera[i];
    }
    if (!frazione.empty())
        testo.append(",").append(frazione);
    return testo;
}

} // namespace lettura
