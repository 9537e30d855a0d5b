#pragma once
// Non-positional fields of records G and J (and of the DMA record C): each field is its 8-character
// code (quadro, rigo, colonna: "DA001002") followed by its value in 16 characters, in blocks of 24.

#include "valore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace conv770::fields {

inline constexpr int LunghezzaCodice = 8;
inline constexpr int LunghezzaValore = 16;
inline constexpr int LunghezzaBlocco = LunghezzaCodice + LunghezzaValore; // 24

// The character that separates the flags of an SI12 value (ASCII group separator).
inline constexpr char SeparatoreSI12 = '\x1D';

// The type codes of the non-positional fields, named as the codes themselves.
enum class Tipo {
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

// The type of a code, compared in upper case ("an" is AN); no value for a code not in the list.
std::optional<Tipo> TipoDaCodice(std::string_view codice);

// The encoded field: `codice` followed by the value part, as the type says.
// - AN: one block of the code and the text padded to 16; a longer text goes on in further blocks of
//   the code, "+" and the next 15 characters (the last padded with spaces). "" gives one block of
//   16 spaces. More than 32,767 blocks stops the run (shell::ErroreElaborazione).
// - CF, CN, PI: the text, left-aligned and cut after 16 characters.
// - SI: only for the text "S\xCC": 15 spaces and "1". Any other value gives the empty text (no field).
// - SI12: 4 spaces and 12 flags: "1" for each non-empty piece of the text split at SeparatoreSI12,
//   "0" for an empty one, "0" for missing pieces; pieces past the twelfth are ignored.
// - CB, NP: the value as text (TestoValore), right-aligned, its last 16 characters when longer.
// - NU, N1, N3, N4, N5, N10, PC (masks): a number, a whole number, or a text that reads as an Italian
//   number (shell::ValoreNumerico: "1.234,5"), rounded to a whole number with halves away from zero
//   (2.5 gives 3, -2.5 gives -3), with the mask's minimum of digits, "-" in front when negative
//   (a value that rounds to 0 has no sign). A text that does not read as a number, and a date, are
//   written unchanged. Right-aligned; the last 16 characters when longer.
// - DT: a date, or a text that reads as a day/month/year date: 8 spaces and "ddmmyyyy". Any other
//   value is written as its text unchanged, right-aligned.
// Texts are used as given: neither trimmed nor upper-cased. The value part is exactly 16 characters
// (a multiple of 24 in all for AN); the code is written as given, neither padded nor checked.
std::string CampoNonPosizionale(std::string_view codice, const Valore& valore, Tipo tipo);

// The same with the code in its three parts ("DA", "001", "002"), joined as given.
std::string CampoNonPosizionale(std::string_view quadro, std::string_view rigo, std::string_view colonna,
                                const Valore& valore, Tipo tipo);

// The same, appended to `area` as it is written (nothing appended when the field is the empty text).
void AggiungiCampoNonPosizionale(std::string& area, std::string_view codice, const Valore& valore, Tipo tipo);
void AggiungiCampoNonPosizionale(std::string& area, std::string_view quadro, std::string_view rigo,
                                 std::string_view colonna, const Valore& valore, Tipo tipo);

// The same for a text or a whole number, without a Valore: what Valore(testo) or Valore(numero) give.
void AggiungiCampoTesto(std::string& area, std::string_view codice, std::string_view testo, Tipo tipo);
void AggiungiCampoTesto(std::string& area, std::string_view quadro, std::string_view rigo, std::string_view colonna,
                        std::string_view testo, Tipo tipo);
void AggiungiCampoIntero(std::string& area, std::string_view codice, std::int64_t numero, Tipo tipo);
// ...and for a number that may carry a fraction: what Valore(numero) gives for a double.
void AggiungiCampoNumero(std::string& area, std::string_view codice, double numero, Tipo tipo);
void AggiungiCampoIntero(std::string& area, std::string_view quadro, std::string_view rigo, std::string_view colonna,
                         std::int64_t numero, Tipo tipo);

// The same for a whole number in an NP field, without a Valore: what Valore(numero) and Tipo::NP give.
void AggiungiCampoNP(std::string& area, std::string_view quadro, std::string_view rigo, std::string_view colonna,
                     std::int64_t numero);

// The same with the type by its code; a code not in the list gives the empty text (no field).
std::string CampoNonPosizionale(std::string_view quadro, std::string_view rigo, std::string_view colonna,
                                const Valore& valore, std::string_view tipo);

} // namespace conv770::fields
