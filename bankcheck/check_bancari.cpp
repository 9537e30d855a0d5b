#include "bankcheck/check_bancari.h"

#include "bankcheck/funzioni.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace bankcheck {

namespace {

// A character's index in the CIN tables: its place in the digits if it is one, else its place in
// the letters followed by "-", "." and the blank ("0" and "A" share index 0, "9" and "J" index 9).
constexpr std::string_view Cifre = "0123456789";
constexpr std::string_view CaratteriCin = "ABCDEFGHIJKLMNOPQRSTUVWXYZ-. ";
constexpr std::string_view LettereCin = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::size_t CaratteriTabella = 29;
constexpr std::size_t LunghezzaCoordinate = 22; // ABI 5 + CAB 5 + account 12

using TabellaCin = std::array<std::int16_t, CaratteriTabella>;

// clang-format off
//                                     index:  0  1  2  3  4   5   6   7   8   9  10  11  12  13  14
constexpr TabellaCin TabellaDispari = {        1, 0, 5, 7, 9, 13, 15, 17, 19, 21,  2,  4, 18, 20, 11,
//                                     index: 15 16 17 18  19  20  21  22  23  24  25  26  27  28
                                               3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23, 27, 28, 26};
//                                     index:  0  1  2  3  4   5   6   7   8   9  10  11  12  13  14
constexpr TabellaCin TabellaPari = {           0, 1, 2, 3, 4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14,
//                                     index: 15 16 17 18  19  20  21  22  23  24  25  26  27  28
                                              15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28};
// clang-format on

constexpr bool Permutazione(const TabellaCin& tabella) {
    std::array<bool, CaratteriTabella> visto{};
    for (const auto valore : tabella) {
        if (valore < 0 || static_cast<std::size_t>(valore) >= CaratteriTabella || visto[valore])
            return false;
        visto[valore] = true;
    }
    return true;
}

constexpr bool Identita(const TabellaCin& tabella) {
    for (std::size_t i = 0; i < tabella.size(); ++i)
        if (static_cast<std::size_t>(tabella[i]) != i)
            return false;
    return true;
}

static_assert(CaratteriCin.size() == CaratteriTabella, "one table column per CIN character");
static_assert(Permutazione(TabellaDispari), "the odd table uses every value 0-28 once");
static_assert(Identita(TabellaPari), "the even table is the index itself");

char Maiuscola(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::optional<std::size_t> IndiceCin(char c) {
    if (const auto cifra = Cifre.find(c); cifra != std::string_view::npos)
        return cifra;
    if (const auto altro = CaratteriCin.find(Maiuscola(c)); altro != std::string_view::npos)
        return altro;
    return std::nullopt;
}

std::string DueCifre(int numero) {
    auto testo = std::to_string(numero);
    if (testo.size() < 2)
        testo.insert(0, 2 - testo.size(), '0');
    return testo;
}

} // namespace

std::string CheckBancari::NormalizzaContoCorrente(std::string_view conto) {
    std::string senzaSpazi;
    senzaSpazi.reserve(conto.size());
    for (const char c : conto)
        if (c != ' ')
            senzaSpazi += c;
    return RiempiZeri(senzaSpazi, 12);
}

bool CheckBancari::VerificaCin(std::string_view cin) { return cin == CalcolaCin(); }

std::string CheckBancari::CalcolaCin() {
    m_abi = RiempiZeri(m_abi, 5);
    m_cab = RiempiZeri(m_cab, 5);
    m_contoCorrente = NormalizzaContoCorrente(m_contoCorrente);
    const std::string coordinate = m_abi + m_cab + m_contoCorrente;

    int somma = 0;
    for (std::size_t i = 0; i < LunghezzaCoordinate; ++i) {
        const auto indice = IndiceCin(coordinate[i]);
        if (!indice)
            return {};
        // Positions count from 1: the first character stands at an odd position.
        somma += (i % 2 == 0 ? TabellaDispari : TabellaPari)[*indice];
    }
    return std::string(1, LettereCin[static_cast<std::size_t>(somma) % LettereCin.size()]);
}

// The remainder of the code turned by its first four characters, each letter as its number (A and a 10,
// Z and z 35), divided by the divisor: what LettereInNumeri of the turned code divided by DividiNumero
// leaves, worked out digit by digit in place (the checker asks it for every IBAN of a supply).
std::optional<int> CheckBancari::Resto(std::string_view codice) const {
    if (codice.empty() || m_divisore <= 0)
        return std::nullopt;
    const auto divisore = static_cast<unsigned>(m_divisore);
    unsigned resto = 0;
    const auto cifra = [&](unsigned c) { resto = (resto * 10 + c) % divisore; };
    const std::size_t testa = std::min<std::size_t>(4, codice.size());
    for (std::size_t i = 0; i < codice.size(); ++i) {
        const char c = codice[(i + testa) % codice.size()];
        unsigned numero;
        if (c >= '0' && c <= '9') {
            cifra(static_cast<unsigned>(c - '0'));
            continue;
        }
        if (c >= 'A' && c <= 'Z')
            numero = static_cast<unsigned>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'z')
            numero = static_cast<unsigned>(c - 'a' + 10);
        else
            return std::nullopt;
        cifra(numero / 10);
        cifra(numero % 10);
    }
    return static_cast<int>(resto);
}

bool CheckBancari::CheckIBAN(std::string_view iban) const {
    const std::string normalizzato = NormalizzaIBAN(iban);
    if (normalizzato.empty())
        return false;
    const auto resto = Resto(normalizzato);
    return resto && *resto == 1;
}

std::string CheckBancari::CalcolaBBAN() {
    if (!m_iban.empty()) {
        const std::string normalizzato = NormalizzaIBAN(m_iban);
        return normalizzato.size() > 4 ? normalizzato.substr(4) : std::string{};
    }
    std::string bban = m_cin.empty() ? CalcolaCin() : m_cin;
    bban += RiempiZeri(m_abi, 5);
    bban += RiempiZeri(m_cab, 5);
    bban += NormalizzaContoCorrente(m_contoCorrente);
    return bban;
}

std::optional<CheckBancari::ParteIBAN> CheckBancari::ComponiIBAN(std::string_view paese, std::string_view bban) {
    ParteIBAN parte;
    parte.paese = paese.empty() ? m_paese : std::string(paese);
    parte.bban = NormalizzaIBAN(!bban.empty() ? std::string(bban) : !m_bban.empty() ? m_bban : CalcolaBBAN());
    const auto resto = Resto(parte.paese + "00" + parte.bban);
    if (!resto)
        return std::nullopt;
    parte.check = DueCifre(m_divisore + 1 - *resto);
    return parte;
}

std::string CheckBancari::CalcolaCheckIBAN(std::string_view paese, std::string_view bban) {
    const auto parte = ComponiIBAN(paese, bban);
    return parte ? parte->check : std::string{};
}

std::string CheckBancari::CalcolaIBAN(std::string_view paese, std::string_view bban) {
    const auto parte = ComponiIBAN(paese, bban);
    return parte ? parte->paese + parte->check + parte->bban : std::string{};
}

std::string CheckBancari::NormalizzaIBAN(std::string_view codice) {
    std::string normalizzato;
    normalizzato.reserve(codice.size());
    for (const char c : codice) {
        const char maiuscola = Maiuscola(c);
        if ((maiuscola >= 'A' && maiuscola <= 'Z') || (maiuscola >= '0' && maiuscola <= '9'))
            normalizzato += maiuscola;
    }
    return normalizzato;
}

} // namespace bankcheck
