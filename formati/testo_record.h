#pragma once
// Small readings of the text of a fixed-length record: its pieces by position, their digits, and the
// words that name a place in it.

#include "tracciati/tracciato.h"

#include <string>
#include <string_view>

namespace formati {

// Small readings of a record's text.
bool SoloCifre(std::string_view testo);                                        // digits only, at least one
long long NumeroDi(std::string_view cifre);                                    // the number of (at most 18) digits
std::string TestoIntero(long long n);                                          // "1.234"
std::string Posizioni(int posizione, int lunghezza);                           // "posizioni 18-25"
std::string_view Parte(std::string_view record, int posizione, int lunghezza); // empty when too short

// "posizioni 18-25" of a piece, "posizione 221" of a piece of one character.
std::string PosizioniDi(const tracciati::Pezzo& pezzo);
// The text of the pieces `da` to `a` of a record, which follow one another in it; empty when the record is
// too short to hold them.
std::string_view TestoDa(std::string_view record, const tracciati::Pezzo& da, const tracciati::Pezzo& a);

} // namespace formati
