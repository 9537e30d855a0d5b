#pragma once
// Positional fields of the fixed-length records: a value written at a fixed place with a fixed
// length, and read back from it.

#include "tracciati/valore.h"

#include <string>
#include <string_view>

namespace tracciati {

enum class TipoPosizionale : std::uint8_t {
    X,  // alphanumeric: left-aligned, spaces after, cut at the right
    N,  // numeric: right-aligned, zeros before, cut at the left
    DT, // date: ddmmyyyy
};

// The date filler: what a DT field holds for a value that is not a date.
inline constexpr std::string_view DataAssente = "00000000";

// Appends one positional field to `record`, always `lunghezza` characters (none for a length below
// 1):
// - X: the value as text (TestoValore), followed by spaces, cut to its first `lunghezza`
// characters.
//   "ABC" in 5 gives "ABC  ", "ABCDEFG" in 5 gives "ABCDE", "" gives only spaces.
// - N: zeros, then the value as text, of which the last `lunghezza` characters are kept. A text is
// used
//   unchanged, a number by its text (1 in 8 gives "00000001"), "" gives only zeros.
// - DT: a date, or a text that reads as a day/month/year date, as "ddmmyyyy". An empty text, a text
//   that is not a date, and any other value give "00000000" (DataAssente): the field keeps its
//   place in every case. Date fields are 8 characters long; another length pads the 8 characters
//   with spaces or cuts them like X.
void AggiungiCampoPosizionale(std::string& record, const Valore& valore, int lunghezza, TipoPosizionale tipo);

// A whole number with zeros in front to at least `cifre` characters, as printf's "%0*lld" writes it
// ("-0001" for -1 in 5): the counts of the records, the TFR dates and amounts.
void AggiungiConZeri(std::string& record, long long numero, int cifre);

// A positional field read back:
// - X: the text as it stands (a view into `testo`);
// - N: the whole number of its digits ("000-7", which a negative number gives, is -7); anything
// else
//   is Formato (the text of an N field may hold other characters, when its value did);
// - DT: the date; DataAssente gives its text; anything else is Formato.
Lettura LeggiCampoPosizionale(std::string_view testo, TipoPosizionale tipo);

} // namespace tracciati
