#include "importo_esatto.h"

#include "testo.h"

#include <limits>
#include <string>

namespace conv770 {

namespace {

constexpr std::int64_t Massimo = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t Minimo = std::numeric_limits<std::int64_t>::min();

bool Cifra(char c) { return c >= '0' && c <= '9'; }

bool SommaSicura(std::int64_t a, std::int64_t b, std::int64_t& risultato) {
    if ((b > 0 && a > Massimo - b) || (b < 0 && a < Minimo - b))
        return false;
    risultato = a + b;
    return true;
}

} // namespace

std::optional<ImportoEsatto> ImportoEsatto::Leggi(std::string_view testo) {
    // The same steps as shell::ValoreNumerico: trim, drop the thousands points, "0" before a leading
    // comma or an empty text, then sign, digits, comma, digits.
    std::string t;
    for (char c : shell::TogliSpazi(testo))
        if (c != '.')
            t += c;
    if (t.empty() || t.front() == ',')
        t.insert(t.begin(), '0');

    std::size_t i = 0;
    bool negativo = false;
    if (t[i] == '+' || t[i] == '-')
        negativo = t[i++] == '-';
    std::size_t cifre = 0;
    std::int64_t interi = 0;
    for (; i < t.size() && Cifra(t[i]); ++i, ++cifre) {
        const int d = t[i] - '0';
        if (interi > (Massimo - d) / 10)
            return std::nullopt;
        interi = interi * 10 + d;
    }
    std::int64_t frazione = 0;
    if (i < t.size() && t[i] == ',') {
        std::int64_t peso = UnitaFrazione / 10;
        for (++i; i < t.size() && Cifra(t[i]); ++i, ++cifre, peso /= 10)
            frazione += (t[i] - '0') * peso;
    }
    if (i != t.size() || cifre == 0)
        return std::nullopt;
    const ImportoEsatto valore(interi, frazione);
    return negativo ? valore.Opposto() : valore;
}

std::optional<ImportoEsatto> ImportoEsatto::Opposto() const {
    if (m_frazione == 0) {
        if (m_interi == Minimo)
            return std::nullopt;
        return ImportoEsatto(-m_interi, 0);
    }
    // -(i + f) = (-i - 1) + (1 - f); -i - 1 always fits.
    return ImportoEsatto(-(m_interi + 1), UnitaFrazione - m_frazione);
}

bool ImportoEsatto::Aggiungi(const ImportoEsatto& altro) {
    std::int64_t frazione = m_frazione + altro.m_frazione; // below 2 * 10^18: fits
    std::int64_t riporto = 0;
    if (frazione >= UnitaFrazione) {
        frazione -= UnitaFrazione;
        riporto = 1;
    }
    std::int64_t interi = 0;
    if (!SommaSicura(m_interi, altro.m_interi, interi) || !SommaSicura(interi, riporto, interi))
        return false;
    m_interi = interi;
    m_frazione = frazione;
    return true;
}

bool ImportoEsatto::Sottrai(const ImportoEsatto& altro) {
    const auto opposto = altro.Opposto();
    return opposto && Aggiungi(*opposto);
}

} // namespace conv770
