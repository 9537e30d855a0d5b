#pragma once
// Positional fields of the fixed-length records: a value written at a fixed place with a fixed length.

#include "valore.h"

#include <optional>
#include <string>
#include <string_view>

namespace conv770::fields {

enum class TipoPosizionale {
    X,  // alphanumeric: left-aligned, spaces after, cut at the right
    N,  // numeric: right-aligned, zeros before, cut at the left
    DT, // date: ddmmyyyy
};

// "X", "N" or "DT" in any letter case; no value for any other text.
std::optional<TipoPosizionale> TipoPosizionaleDaCodice(std::string_view codice);

// The text of one positional field, always `lunghezza` characters (none for a length below 1):
// - X: the value as text (TestoValore), followed by spaces, cut to its first `lunghezza` characters.
//   "ABC" in 5 gives "ABC  ", "ABCDEFG" in 5 gives "ABCDE", "" gives only spaces.
// - N: zeros, then the value as text, of which the last `lunghezza` characters are kept. A text is used
//   unchanged, a number by its text (1 in 8 gives "00000001"), "" gives only zeros.
// - DT: a date, or a text that reads as a day/month/year date, as "ddmmyyyy". An empty text, a text
//   that is not a date, and any other value give "00000000": the field keeps its place in every case.
//   Date fields are 8 characters long; another length pads the 8 characters with spaces or cuts
//   them like X.
std::string CampoPosizionale(const Valore& valore, int lunghezza, TipoPosizionale tipo);

// The same appended to `record` for a text (no string of its own): X and N as above, DT as
// CampoPosizionale of the text.
void AggiungiTestoPosizionale(std::string& record, std::string_view testo, int lunghezza, TipoPosizionale tipo);

// The same with the type given by its code; a code that is not "X", "N" or "DT" gives the empty text.
std::string CampoPosizionale(const Valore& valore, int lunghezza, std::string_view tipo);

// Whether a text would be written by a DT field as a date: true for a text that reads as one, false
// for an empty text and for one that does not (which DT writes as "00000000").
bool DataPosizionaleValida(std::string_view testo);

} // namespace conv770::fields
