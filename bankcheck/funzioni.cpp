#include "bankcheck/funzioni.h"
#include "shell/testo.h"

#include <cstdint>

namespace bankcheck {

namespace {

using shell::Cifra;

// The divisor keeps the running remainder times ten plus a digit well inside 64 bits.
constexpr std::size_t MaxCifreDivisore = 17;

std::optional<std::uint64_t> LeggiDivisore(std::string_view testo) {
    const auto inizio = testo.find_first_not_of('0');
    if (testo.empty() || inizio == std::string_view::npos)
        return std::nullopt; // empty or zero
    if (testo.size() - inizio > MaxCifreDivisore)
        return std::nullopt;
    std::uint64_t valore = 0;
    for (const char c : testo) {
        if (!Cifra(c))
            return std::nullopt;
        valore = valore * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return valore;
}

} // namespace

std::string RiempiZeri(std::string_view testo, std::int16_t n) {
    if (n <= 0)
        return {};
    const auto primo = testo.find_first_not_of(' ');
    testo = primo == std::string_view::npos ? std::string_view{}
                                            : testo.substr(primo, testo.find_last_not_of(' ') - primo + 1);
    const auto lunghezza = static_cast<std::size_t>(n);
    if (testo.size() >= lunghezza)
        return std::string(testo.substr(testo.size() - lunghezza));
    std::string risultato(lunghezza - testo.size(), '0');
    risultato += testo;
    return risultato;
}

std::string LettereInNumeri(std::string_view testo) {
    std::string risultato;
    risultato.reserve(testo.size() * 2);
    for (const char c : testo) {
        if (c >= 'A' && c <= 'Z')
            risultato += std::to_string(c - 'A' + 10);
        else if (c >= 'a' && c <= 'z')
            risultato += std::to_string(c - 'a' + 10);
        else
            risultato += c;
    }
    return risultato;
}

std::optional<Divisione> DividiNumero(std::string_view numero, std::string_view divisore) {
    const auto d = LeggiDivisore(divisore);
    if (!d)
        return std::nullopt;
    std::string quoziente;
    quoziente.reserve(numero.size());
    std::uint64_t resto = 0;
    for (const char c : numero) {
        if (!Cifra(c))
            return std::nullopt;
        const std::uint64_t v = resto * 10 + static_cast<std::uint64_t>(c - '0');
        const std::uint64_t q = v / *d; // at most 9, since the remainder stays below the divisor
        quoziente += static_cast<char>('0' + q);
        resto = v - q * *d;
    }
    // No leading zeros, one character at least.
    const auto significativa = quoziente.find_first_not_of('0');
    quoziente.erase(0, significativa == std::string::npos ? quoziente.size() : significativa);
    if (quoziente.empty())
        quoziente.push_back('0');
    return Divisione{std::move(quoziente), numero.empty() ? std::string{} : std::to_string(resto)};
}

} // namespace bankcheck
