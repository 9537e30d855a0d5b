#pragma once
// The letters of ISO-8859-1 texts as tax codes and place names compare them.

#include <string_view>

namespace anagrafe {

// The upper-case base letters of one ISO-8859-1 character: "A" for a, A and the accented A's
// (0xC0-0xC5, 0xE0-0xE5), "AE" for 0xC6 and 0xE6, "SS" for the sharp s 0xDF, "TH" for the thorn;
// empty for a character that is not a letter (digits, blanks, punctuation, the signs 0xD7 and
// 0xF7).
std::string_view LetteraBase(char c);

// The upper-case base letters of a character that ISO-8859-1 lacks, by its code: the letters of Latin
// Extended-A (U+0100-U+017F: "C" for U+010C, "L" for U+0141, "OE" for U+0152) and the Romanian S and T with
// comma below (U+0218-U+021B); empty for any other.
std::string_view LetteraBaseEstesa(char32_t codice);

// The base letters of the character of `testo` at `i`, which is then past it: a byte of ISO-8859-1
// (LetteraBase), or a character that it lacks written as its reference (shell::RiferimentoCarattere).
std::string_view LetteraBaseIn(std::string_view testo, std::size_t& i);

// A, E, I, O and U; every other letter of LetteraBase is a consonant.
bool Vocale(char lettera);

} // namespace anagrafe
