#pragma once
// What the checker finds in a supply: a finding is an error (the authority would refuse the file) or a
// warning (the file goes through, but something looks wrong), at a place of the file, about a person
// or about the whole supply.

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace lettura {

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

// Of each rule, the findings shown in one file; those beyond are summed up in one line.
inline constexpr long RilieviPerRegola = 100;

// The rule of a finding, which every finding of it shares whatever person, line or value it is about: its
// severity, then its message with every text it quotes ('...', an apostrophe inside a word is no quote)
// emptied and every word that holds a digit (a number, positions, a date, an amount, a tax code, a field's
// code) written as "#".
std::string RegolaDel(const Rilievo& rilievo);

// The findings of a file as they come, told apart into those shown (the first RilieviPerRegola of each rule)
// and those summed up: the command line, the listing's page and the window show the same.
class SommaRilievi {
public:
    // Whether the finding is shown; otherwise it is counted in its rule's summary.
    bool Mostra(const Rilievo& rilievo);
    // A finding about the whole file for each rule with findings not shown, of the rule's severity, in the
    // order the rules were first found: "e altri 250 rilievi uguali al primo (riga 12): MESSAGGIO", the
    // first finding's line and message.
    std::vector<Rilievo> Riepiloghi() const;

private:
    struct Regola {
        Rilievo primo;
        long trovati = 0;
    };
    std::unordered_map<std::string, std::size_t> m_indici; // the rule -> its place in m_regole
    std::vector<Regola> m_regole;
};

} // namespace lettura
