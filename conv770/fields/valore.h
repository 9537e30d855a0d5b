#pragma once
// The value handed to a field encoder: a text, a number, a whole number or a date; and the texts that
// numbers and dates take inside the records.

#include "conversioni.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace conv770::fields {

// One value of a field. Texts are ISO-8859-1 bytes and are kept as given (neither trimmed nor
// upper-cased). A whole number (int, long, long long) is kept exactly; a double is a number that may
// carry a fraction.
class Valore {
public:
    Valore(std::string_view testo) : m_valore(std::string(testo)) {}
    Valore(const char* testo) : m_valore(std::string(testo)) {}
    Valore(std::string testo) : m_valore(std::move(testo)) {}
    Valore(double numero) : m_valore(numero) {}
    Valore(int numero) : m_valore(static_cast<std::int64_t>(numero)) {}
    Valore(long numero) : m_valore(static_cast<std::int64_t>(numero)) {}
    Valore(long long numero) : m_valore(static_cast<std::int64_t>(numero)) {}
    Valore(shell::Data data) : m_valore(data) {}

    bool Testo() const { return std::holds_alternative<std::string>(m_valore); }
    bool Numero() const { return std::holds_alternative<double>(m_valore); }
    bool Intero() const { return std::holds_alternative<std::int64_t>(m_valore); }
    bool Data() const { return std::holds_alternative<shell::Data>(m_valore); }

    const std::string& ComeTesto() const { return std::get<std::string>(m_valore); }
    double ComeNumero() const { return std::get<double>(m_valore); }
    std::int64_t ComeIntero() const { return std::get<std::int64_t>(m_valore); }
    const shell::Data& ComeData() const { return std::get<shell::Data>(m_valore); }

private:
    std::variant<std::string, double, std::int64_t, shell::Data> m_valore;
};

// The text of a number: its shortest decimal form with at most 15 significant digits, "," before the
// decimals, no thousands separator, never an exponent, "-" in front of a negative number.
// 1234 gives "1234", 1234.5 gives "1234,5", 0.5 gives "0,5", -400 gives "-400", 0.1 + 0.2 gives
// "0,3", -0.0 gives "0", 1e20 gives "1" and twenty zeros. A value that is not finite gives "0".
std::string TestoNumero(double numero);

// The same written into `uscita`, which has room for LunghezzaMassimaTestoNumero characters; gives
// the length. The longest is a negative number below 1e-308: "-0,", 323 zeros and 15 digits.
inline constexpr std::size_t LunghezzaMassimaTestoNumero = 352;
std::size_t ScriviTestoNumero(double numero, char* uscita);

// The value as a text: a text as it is; a number by TestoNumero; a whole number as its decimal digits
// with "-" in front when negative; a date as day/month/year ("05/03/1960").
std::string TestoValore(const Valore& valore);

// A date as two-digit day, two-digit month and four-digit year without separators: "14062011".
std::string DataGGMMAAAA(const shell::Data& data);

} // namespace conv770::fields
