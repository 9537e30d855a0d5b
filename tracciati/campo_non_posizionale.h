#pragma once
// Non-positional fields of records G and J (and of the DMA record C): each field is its 8-character
// code (quadro, rigo, colonna: "DA001002") followed by its value in 16 characters, in blocks of 24.
// The encoder of every type, and beside it the reading of a value part back into its value.

#include "tracciati/valore.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tracciati {

inline constexpr int LunghezzaCodice = 8;
inline constexpr int LunghezzaValore = 16;
inline constexpr int LunghezzaBlocco = LunghezzaCodice + LunghezzaValore; // 24

// The character that separates the flags of an SI12 value (ASCII group separator).
inline constexpr char SeparatoreSI12 = '\x1D';

// The first character of the value part of a block that goes on with the text of an AN field.
inline constexpr char Continuazione = '+';

// The type codes of the non-positional fields, named as the codes themselves.
enum class Tipo : std::uint8_t {
    AN,   // text, left-aligned; longer texts go on in further blocks "+" and 15 characters
    CF,   // text, left-aligned, cut after 16 characters
    CN,   // as CF
    PI,   // as CF
    SI,   // 15 spaces and "1" when the value is "S\xCC" (upper-case "Si" with grave accent); else no field
    SI12, // 4 spaces and 12 flags "0"/"1", one per piece of the value split at SeparatoreSI12
    CB,   // the value as text, right-aligned
    NP,   // the value as text, right-aligned
    NU,   // rounded to a whole number, digits only as needed (0 gives none), right-aligned
    N1,   // rounded, at least 1 digit
    N3,   // rounded, at least 3 digits (leading zeros)
    N4,   // rounded, at least 4 digits
    N5,   // rounded, at least 5 digits
    N10,  // rounded, at least 10 digits
    PC,   // rounded, "." between groups of three digits (0 gives no digits), right-aligned
    DT,   // the date as 8 spaces and "ddmmyyyy"
};

// Appends the encoded field to `area`: `codice` followed by the value part, as the type says.
// - AN: one block of the code and the text padded to 16; a longer text goes on in further blocks of
//   the code, "+" and the next 15 characters (the last padded with spaces). "" gives one block of
//   16 spaces. More than 32,767 blocks stops the run (shell::ErroreElaborazione).
// - CF, CN, PI: the text, left-aligned and cut after 16 characters.
// - SI: only for the text "S\xCC": 15 spaces and "1". Any other value appends nothing (no field).
// - SI12: 4 spaces and 12 flags: "1" for each non-empty piece of the text split at SeparatoreSI12,
//   "0" for an empty one, "0" for missing pieces; pieces past the twelfth are ignored. Flags
//   (Valore::Flag) are written as they are.
// - CB, NP: the value as text (TestoValore), right-aligned, its last 16 characters when longer.
// - NU, N1, N3, N4, N5, N10, PC (masks): a number, a whole number, or a text that reads as an Italian
//   number (shell::ValoreNumerico: "1.234,5"), rounded to a whole number with halves away from zero
//   (2.5 gives 3, -2.5 gives -3), with the mask's minimum of digits, "-" in front when negative
//   (a value that rounds to 0 has no sign). Any other value is written as its text unchanged.
//   Right-aligned; the last 16 characters when longer.
// - DT: a date, or a text that reads as a day/month/year date: 8 spaces and "ddmmyyyy". Any other
//   value is written as its text unchanged, right-aligned.
// Texts are used as given: neither trimmed nor upper-cased. The value part is exactly 16 characters
// (a multiple of 24 in all for AN); the code is written as given, neither padded nor checked.
void AggiungiCampoNonPosizionale(std::string& area, std::string_view codice, const Valore& valore, Tipo tipo);

// The value part of a block (16 characters) read back by its type, as the encoder above writes it:
// - AN, CF, CN, PI: the text as it stands, spaces included (a view into `valore`);
// - SI: the text "S\xCC"; SI12: the flags (Valore::Flag);
// - CB, NP: a whole number, or a number when it has a decimal comma;
// - the masks: a whole number (16 spaces are 0 for NU and PC);
// - DT: the date.
// A value part that no value of its type gives is Formato; one that a value gives, but not in the
// form the encoder writes ("0012", "12,50", "-0"), is Forma with its value. A value that reads
// without either gives the same 16 characters back through the encoder.
Lettura LeggiValoreNonPosizionale(std::string_view valore, Tipo tipo);

} // namespace tracciati
