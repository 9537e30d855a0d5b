#pragma once
// Module Funzioni: text helpers of the bank coordinate checks. Texts are ISO-8859-1 bytes.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace bankcheck {

// The text without leading and trailing blanks, with n zeros put in front, cut to its last n
// characters (" 123 " to 5 is "00123", "1234567" to 5 is "34567"). Empty for n of 0 or less.
std::string RiempiZeri(std::string_view testo, std::int16_t n);

// Every ASCII letter replaced by its number, A (or a) by 10 up to Z by 35; other characters kept.
std::string LettereInNumeri(std::string_view testo);

// Quotient (index 0) and remainder (index 1) of a long division, as decimal texts.
using Divisione = std::array<std::string, 2>;

// Long division of a string of decimal digits of any length by a divisor given as decimal text.
// The quotient has no leading zeros ("0" at least); the remainder is empty for an empty number.
// No value when the number holds a character that is not a digit, or the divisor is not a whole
// number from 1 to 10^17 - 1.
std::optional<Divisione> DividiNumero(std::string_view numero, std::string_view divisore);

} // namespace bankcheck
