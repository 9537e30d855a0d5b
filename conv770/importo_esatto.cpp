#include "conv770/importo_esatto.h"

#include "shell/testo.h"

#include <array>
#include <limits>

namespace conv770 {

namespace {

constexpr std::int64_t Massimo = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t Minimo = std::numeric_limits<std::int64_t>::min();

using shell::Cifra;

bool SommaSicura(std::int64_t a, std::int64_t b, std::int64_t& risultato) {
    if ((b > 0 && a > Massimo - b) || (b < 0 && a < Minimo - b))
        return false;
    risultato = a + b;
    return true;
}

} // namespace

// The weight of the k-th decimal (from 0) in units of 10^-18; decimals past the 18th weigh nothing.
constexpr auto PesiDecimali = [] {
    std::array<std::int64_t, 18> pesi{};
    std::int64_t peso = ImportoEsatto::UnitaFrazione;
    for (auto& p : pesi)
        p = peso /= 10;
    return pesi;
}();

std::optional<ImportoEsatto> ImportoEsatto::Leggi(std::string_view testo) {
    // The same steps as shell::ValoreNumerico: trim, drop the thousands points, "0" before a leading
    // comma or an empty text, then sign, digits, comma, digits. The points are passed over as the
    // text is read.
    const std::string_view t = shell::TogliSpazi(testo);
    std::size_t i = 0;
    const auto prossimo = [&] {
        while (i < t.size() && t[i] == '.')
            ++i;
        return i < t.size() ? t[i] : '\0';
    };
    char c = prossimo();
    if (i == t.size())
        return ImportoEsatto(0, 0); // "0"
    bool negativo = false;
    std::size_t cifre = 0;
    if (c == ',') {
        ++cifre; // the "0" before the comma
    } else if (c == '+' || c == '-') {
        negativo = c == '-';
        ++i;
        c = prossimo();
    }
    std::int64_t interi = 0;
    for (; Cifra(c); ++i, ++cifre, c = prossimo()) {
        const int d = c - '0';
        if (interi > (Massimo - d) / 10)
            return std::nullopt;
        interi = interi * 10 + d;
    }
    std::int64_t frazione = 0;
    if (c == ',' && i < t.size()) {
        ++i;
        std::size_t decimale = 0;
        for (c = prossimo(); Cifra(c); ++i, ++cifre, ++decimale, c = prossimo())
            if (decimale < PesiDecimali.size())
                frazione += (c - '0') * PesiDecimali[decimale];
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
