#pragma once
// The value of a field of the fixed-length records, written or read back: a text, a number, a whole
// number, a date or the twelve flags of an SI12 field; the texts that numbers and dates take inside
// the records; and what reading a field gives.

#include "shell/conversioni.h"
#include "shell/testo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tracciati {

// One value of a field. A light value, made for one call: a text is a view, never a copy, and must
// outlive the value. Texts are ISO-8859-1 bytes, kept as given (neither trimmed nor upper-cased). A
// whole number is kept exactly; a double is a number that may carry a fraction.
class Valore {
public:
    enum class Genere : std::uint8_t { Testo, Numero, Intero, Data, Flag };

    constexpr Valore() = default; // the empty text
    constexpr Valore(std::string_view testo) : m_testo(testo) {}
    constexpr Valore(const char* testo) : m_testo(testo) {}
    Valore(const std::string& testo) : m_testo(testo) {}
    constexpr Valore(double numero) : m_genere(Genere::Numero), m_numero(numero) {}
    constexpr Valore(int numero) : m_genere(Genere::Intero), m_intero(numero) {}
    constexpr Valore(long numero) : m_genere(Genere::Intero), m_intero(numero) {}
    constexpr Valore(long long numero) : m_genere(Genere::Intero), m_intero(numero) {}
    constexpr Valore(shell::Data data) : m_genere(Genere::Data), m_data(data) {}
    // The flags of an SI12 field: bit i (from 0) is the flag of piece i + 1.
    static constexpr Valore Flag(std::uint16_t flag) {
        Valore v;
        v.m_genere = Genere::Flag;
        v.m_intero = flag;
        return v;
    }

    constexpr Genere Di() const { return m_genere; }
    constexpr bool Testo() const { return m_genere == Genere::Testo; }
    constexpr bool Numero() const { return m_genere == Genere::Numero; }
    constexpr bool Intero() const { return m_genere == Genere::Intero; }
    constexpr bool Data() const { return m_genere == Genere::Data; }

    constexpr std::string_view ComeTesto() const { return m_testo; }
    constexpr double ComeNumero() const { return m_numero; }
    constexpr std::int64_t ComeIntero() const { return m_intero; } // also the flags
    constexpr const shell::Data& ComeData() const { return m_data; }

private:
    Genere m_genere = Genere::Testo;
    std::string_view m_testo{};
    double m_numero = 0;
    std::int64_t m_intero = 0;
    shell::Data m_data{};
};

// A decimal digit, the only characters of the numbers, dates and counters the records hold.
using shell::Cifra;

// The most characters the text of a value takes (TestoValore): a negative number below 1e-308 is
// "-0,", 323 zeros and 15 digits.
inline constexpr std::size_t LunghezzaMassimaTesto = 352;

// The value as a text, written into `appoggio` (room for LunghezzaMassimaTesto characters) unless
// it is a text, which is given back as it is:
// - a number: its shortest decimal form with at most 15 significant digits, "," before the
//   decimals, no thousands separator, never an exponent, "-" in front when negative. 1234 gives
//   "1234", 1234.5 gives "1234,5", 0.5 gives "0,5", -400 gives "-400", 0.1 + 0.2 gives "0,3", -0.0
//   gives "0", 1e20 gives "1" and twenty zeros. A number that is not finite gives "0";
// - a whole number: its decimal digits, "-" in front when negative;
// - a date: day/month/year ("05/03/1960");
// - flags: twelve "1" and "0", the first flag first.
std::string_view TestoValore(const Valore& valore, char* appoggio);

// The text of a number alone, as above, into `uscita`; gives its length.
std::size_t ScriviTestoNumero(double numero, char* uscita);

// A date as two-digit day, two-digit month and four-digit year without separators ("14062011"),
// into `uscita` (room for 40 characters); gives its length, 8 for every date of the years 1 to
// 9999.
std::size_t ScriviDataGGMMAAAA(const shell::Data& data, char* uscita);

// The order of the 8 digits of a date without separators.
enum class OrdineData : std::uint8_t {
    GGMMAAAA, // day, month, year: the 770 and DMA records
    AAAAMMGG, // year, month, day: the TFR records
};

// The date that 8 digits write in that order; none for another text or a date that does not exist.
std::optional<shell::Data> DataDiCifre(std::string_view cifre, OrdineData ordine);

// How a field read back differs from what its kind writes.
enum class Difformita : std::uint8_t {
    Nessuna,
    Formato, // the content breaks the field's kind: no writer of the layout gives it
    Forma,   // a value of the kind, but not in the form this suite writes it (a leading zero, "1,50")
    Fisso,   // a fixed content (a literal, spaces, zeros) that differs
};

// What a field gives when it is read back: its value, or how it differs and what was expected, in
// Italian ("attese 8 cifre"). The value of a text is a view into the field read.
struct Lettura {
    Valore valore;
    Difformita difformita = Difformita::Nessuna;
    std::string atteso;

    Lettura() = default;
    Lettura(Valore v) : valore(v) {}
    Lettura(Valore v, Difformita d, std::string a) : valore(v), difformita(d), atteso(std::move(a)) {}
    static Lettura Errata(Difformita difformita, std::string atteso) {
        return {Valore(), difformita, std::move(atteso)};
    }
};

} // namespace tracciati
