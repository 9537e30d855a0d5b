#pragma once
// The letters of ISO-8859-1 texts as tax codes and place names compare them.

#include <string_view>

namespace anagrafe {

// The upper-case base letters of one ISO-8859-1 character: "A" for a, A and the accented A's
// (0xC0-0xC5, 0xE0-0xE5), "AE" for 0xC6 and 0xE6, "SS" for the sharp s 0xDF, "TH" for the thorn;
// empty for a character that is not a letter (digits, blanks, punctuation, the signs 0xD7 and
// 0xF7).
std::string_view LetteraBase(char c);

// A, E, I, O and U; every other letter of LetteraBase is a consonant.
bool Vocale(char lettera);

} // namespace anagrafe
