#include "shell/conversioni.h"

#include "shell/testo.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cmath>
#include <system_error>

namespace shell {

namespace {

std::optional<double> LeggiDouble(const std::string& testo) {
    double valore = 0;
    const auto fine = testo.data() + testo.size();
    const auto [ptr, ec] = std::from_chars(testo.data(), fine, valore);
    if (ec != std::errc() || ptr != fine)
        return std::nullopt;
    return valore;
}

} // namespace

std::string SoloCifre(std::string_view testo) {
    std::string cifre;
    for (char c : testo)
        if (Cifra(c))
            cifre += c;
    return cifre;
}

namespace {

// Exact powers of ten: a whole number of at most 15 digits divided by one of them is the correctly
// rounded value of the decimal text, the same double that std::from_chars gives.
constexpr double PotenzeDieci[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int CifreEsatte = 15;
constexpr int DecimaliEsatti = 22;

// The digits of a number read into a whole number and its count of decimals, when both are small
// enough for the exact division above.
struct Cifre {
    std::uint64_t intero = 0;
    int significative = 0; // digits from the first that is not 0
    int decimali = 0;
    int tutte = 0;
    void Aggiungi(char c, bool decimale) {
        ++tutte;
        if (decimale)
            ++decimali;
        if (significative == 0 && c == '0')
            return;
        if (++significative <= CifreEsatte)
            intero = intero * 10 + static_cast<std::uint64_t>(c - '0');
    }
    bool Esatte() const { return significative <= CifreEsatte && decimali <= DecimaliEsatti; }
    double Valore() const { return static_cast<double>(intero) / PotenzeDieci[decimali]; }
};

std::optional<double> ValoreNumericoCompleto(std::string_view testo);
std::optional<double> ValoreSempliceCompleto(std::string_view testo);

} // namespace

// The common shapes ("1.234,56", "-12", "") are read in one pass without a copy, the digits into one
// whole number divided exactly by a power of ten; any other text (and a number of more than 19 digits,
// or of more than 15 from its first that is not 0, or of more than 22 decimals) by the complete
// reading below, which gives the same value for these.
std::optional<double> ValoreNumerico(std::string_view testo) {
    const char* p = testo.data();
    const char* fine = p + testo.size();
    while (p != fine && *p == ' ')
        ++p;
    while (fine != p && fine[-1] == ' ')
        --fine;
    while (p != fine && *p == '.')
        ++p;
    if (p == fine)
        return 0.0; // nothing but points: "0"
    bool negativo = false;
    if (*p == '+' || *p == '-') {
        negativo = *p++ == '-';
        while (p != fine && *p == '.')
            ++p;
    }
    std::uint64_t intero = 0;
    int tutte = 0;
    const auto leggi = [&] {
        for (; p != fine; ++p) {
            const auto cifra = static_cast<unsigned>(static_cast<unsigned char>(*p) - '0');
            if (cifra < 10) {
                intero = intero * 10 + cifra;
                ++tutte;
            } else if (*p != '.') {
                break;
            }
        }
    };
    leggi();
    const int interi = tutte;
    int decimali = 0;
    if (p != fine && *p == ',') {
        ++p;
        leggi();
        decimali = tutte - interi;
        if (decimali == 0)
            return ValoreNumericoCompleto(testo);
    }
    if (p != fine || interi == 0)
        return ValoreNumericoCompleto(testo);
    // 19 digits cannot overflow; below 10^15 the digits from the first that is not 0 are at most 15.
    if (tutte > 19 || intero >= 1000000000000000ULL || decimali > DecimaliEsatti)
        return ValoreNumericoCompleto(testo);
    // A whole number needs no division (by 1, which changes nothing).
    const double valore =
        decimali == 0 ? static_cast<double>(intero) : static_cast<double>(intero) / PotenzeDieci[decimali];
    return negativo ? -valore : valore;
}

std::optional<double> ValoreSemplice(std::string_view testo) {
    std::size_t i = 0;
    const auto bianchi = [&] {
        while (i < testo.size() && (testo[i] == ' ' || testo[i] == '\t' || testo[i] == '\n'))
            ++i;
    };
    bianchi();
    bool negativo = false;
    if (i < testo.size() && (testo[i] == '+' || testo[i] == '-')) {
        negativo = testo[i++] == '-';
        bianchi();
    }
    Cifre cifre;
    for (; i < testo.size() && Cifra(testo[i]); ++i, bianchi())
        cifre.Aggiungi(testo[i], false);
    if (i < testo.size() && testo[i] == '.') {
        ++i;
        bianchi();
        for (; i < testo.size() && Cifra(testo[i]); ++i, bianchi())
            cifre.Aggiungi(testo[i], true);
    }
    if (cifre.tutte == 0)
        return 0.0;
    const bool esponente =
        i < testo.size() && (testo[i] == 'E' || testo[i] == 'e' || testo[i] == 'D' || testo[i] == 'd');
    if (esponente || !cifre.Esatte())
        return ValoreSempliceCompleto(testo);
    const double valore = cifre.Valore();
    return negativo ? -valore : valore;
}

namespace {

std::optional<double> ValoreNumericoCompleto(std::string_view testo) {
    std::string t;
    for (char c : TogliSpazi(testo))
        if (c != '.')
            t += c;
    if (t.empty() || t.front() == ',')
        t.insert(t.begin(), '0');

    // Optional sign, digits, optionally "," and more digits.
    std::string normale;
    std::size_t i = 0;
    bool negativo = false;
    if (t[i] == '+' || t[i] == '-')
        negativo = t[i++] == '-';
    std::size_t cifre = 0;
    for (; i < t.size() && Cifra(t[i]); ++i, ++cifre)
        normale += t[i];
    if (i < t.size() && t[i] == ',') {
        normale += '.';
        for (++i; i < t.size() && Cifra(t[i]); ++i, ++cifre)
            normale += t[i];
    }
    if (i != t.size() || cifre == 0)
        return std::nullopt;
    if (normale.front() == '.')
        normale.insert(normale.begin(), '0');
    const auto valore = LeggiDouble(normale);
    if (!valore)
        return std::nullopt;
    return negativo ? -*valore : *valore;
}

std::optional<double> ValoreSempliceCompleto(std::string_view testo) {
    std::string t;
    for (char c : testo)
        if (c != ' ' && c != '\t' && c != '\n')
            t += c;

    std::size_t i = 0;
    bool negativo = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        negativo = t[i++] == '-';
    std::string normale;
    std::size_t cifre = 0;
    for (; i < t.size() && Cifra(t[i]); ++i, ++cifre)
        normale += t[i];
    if (i < t.size() && t[i] == '.') {
        normale += '.';
        for (++i; i < t.size() && Cifra(t[i]); ++i, ++cifre)
            normale += t[i];
    }
    if (cifre == 0)
        return 0.0;
    if (normale.front() == '.')
        normale.insert(normale.begin(), '0');
    // Exponent: "E" or "D", optional sign, at least one digit; otherwise it is not part of the number.
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
        std::size_t j = i + 1;
        std::string esponente = "e";
        if (j < t.size() && (t[j] == '+' || t[j] == '-'))
            esponente += t[j++];
        const std::size_t inizioCifre = j;
        for (; j < t.size() && Cifra(t[j]); ++j)
            esponente += t[j];
        if (j > inizioCifre)
            normale += esponente;
    }
    double valore = 0;
    const auto fine = normale.data() + normale.size();
    const auto [ptr, ec] = std::from_chars(normale.data(), fine, valore);
    if (ec == std::errc::result_out_of_range) {
        // A vanishing number is 0; one too large for a double cannot be used.
        const auto e = normale.find('e');
        if (e != std::string::npos && normale.find('-', e) != std::string::npos)
            return 0.0;
        return std::nullopt;
    }
    if (ec != std::errc() || ptr != fine)
        return std::nullopt;
    return negativo ? -valore : valore;
}

} // namespace

double ArrotondaLontanoDaZero(double numero) {
    const double intero = std::trunc(numero);
    // The fraction is exact: taking the whole part off a double loses no bit.
    return std::fabs(numero - intero) >= 0.5 ? intero + std::copysign(1.0, numero) : intero;
}

double ArrotondaAlPari(double numero) {
    const double sotto = std::floor(numero);
    const double resto = numero - sotto; // exact, as above
    if (resto > 0.5)
        return sotto + 1;
    if (resto < 0.5)
        return sotto;
    return std::fmod(sotto, 2.0) == 0 ? sotto : sotto + 1;
}

bool DataValida(int anno, int mese, int giorno) {
    static constexpr int giorniMese[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (anno < 1 || anno > 9999 || mese < 1 || mese > 12 || giorno < 1)
        return false;
    const bool bisestile = (anno % 4 == 0 && anno % 100 != 0) || anno % 400 == 0;
    const int massimo = giorniMese[mese - 1] + (mese == 2 && bisestile ? 1 : 0);
    return giorno <= massimo;
}

std::optional<Data> LeggiData(std::string_view testo) {
    const std::string_view t = TogliSpazi(testo);
    int parti[3] = {0, 0, 0};
    std::size_t i = 0;
    for (int p = 0; p < 3; ++p) {
        const std::size_t inizio = i;
        for (; i < t.size() && Cifra(t[i]); ++i)
            if (i - inizio < 4) // longer parts are refused below; no overflow meanwhile
                parti[p] = parti[p] * 10 + (t[i] - '0');
        const std::size_t lunghezza = i - inizio;
        const bool lunghezzaBuona = p < 2 ? (lunghezza == 1 || lunghezza == 2) : lunghezza == 4;
        if (!lunghezzaBuona)
            return std::nullopt;
        if (p < 2) {
            if (i >= t.size() || t[i] != '/')
                return std::nullopt;
            ++i;
        }
    }
    if (i != t.size() || !DataValida(parti[2], parti[1], parti[0]))
        return std::nullopt;
    return Data{parti[2], parti[1], parti[0]};
}

std::string DataItaliana(const Data& data) {
    char testo[32];
    std::snprintf(testo, sizeof testo, "%02d/%02d/%04d", data.giorno, data.mese, data.anno);
    return testo;
}

} // namespace shell
