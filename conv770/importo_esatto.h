#pragma once
// Amounts summed exactly. Record J writes the whole part of totals over every employee: summed as
// doubles, 1.000,01 + 1.234,56 + 500,43 would give 2734.9999999999995 and a whole part of 2734 where
// the amounts make exactly 2735. The totals are therefore kept as decimal fixed-point numbers.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace conv770 {

// A decimal amount: its whole part rounded down and its fraction in units of 10^-18, both exact for
// amounts written with at most 18 digits before and 18 after the decimal comma.
class ImportoEsatto {
public:
    static constexpr std::int64_t UnitaFrazione = 1000000000000000000; // 10^18

    ImportoEsatto() = default;

    // An amount written as shell::ValoreNumerico reads it: blanks around it, "." between thousands,
    // "," before the decimals, an optional sign ("1.234,56", "-,5", "" is 0). No value when the text
    // is not such a number, or when its whole part does not fit 64 bits. Decimals past the 18th are
    // dropped (no export amount carries them).
    static std::optional<ImportoEsatto> Leggi(std::string_view testo);

    // false, leaving the amount as it was, when the result does not fit.
    [[nodiscard]] bool Aggiungi(const ImportoEsatto& altro);
    [[nodiscard]] bool Sottrai(const ImportoEsatto& altro);

    // The largest whole number not above the amount: 99,99 gives 99, -0,5 gives -1.
    std::int64_t ParteIntera() const { return m_interi; }
    // The fraction, 0 <= frazione < 10^18, in units of 10^-18: the amount is interi + frazione / 10^18.
    std::int64_t Frazione() const { return m_frazione; }

    friend bool operator==(const ImportoEsatto&, const ImportoEsatto&) = default;

private:
    ImportoEsatto(std::int64_t interi, std::int64_t frazione) : m_interi(interi), m_frazione(frazione) {}
    std::optional<ImportoEsatto> Opposto() const;

    std::int64_t m_interi = 0;
    std::int64_t m_frazione = 0;
};

// The 40 running totals of a 770 run (indexes 0 to 39), all 0 at the start; the quadro DB fields add
// to nine of them and record J writes those nine.
using Totali = std::array<ImportoEsatto, 40>;

} // namespace conv770
