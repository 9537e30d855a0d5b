#pragma once
// What the checker finds in a supply: a finding is an error (the authority would refuse the file) or a
// warning (the file goes through, but something looks wrong), at a place of the file, about a person
// or about the whole supply.

#include <string>

namespace verifica {

enum class Gravita {
    Errore, // blocks the supply: the frame, a format, a count or a tax code is wrong
    Avviso, // lets it through: likely bad data, or a difference from what the converters write
};

struct Rilievo {
    Gravita gravita = Gravita::Errore;
    long riga = 0;         // the record (line) from 1; 0 for a finding about the whole file
    long colonna = 0;      // the position (from 1) of the piece or block, or the column of an XML
                           // document; 0 when the finding names no place in the line
    std::string messaggio; // Italian, ISO-8859-1: which field, whose, what was found, what was expected
    long persona = -1;     // the person it is about (its index in the file, from 0), -1 for none
};

// "errore" or "avviso", as the findings are printed.
const char* NomeGravita(Gravita gravita);

} // namespace verifica
