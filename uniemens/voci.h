#pragma once
// The document's blocks as tables: one row per line of a block, with its depth, its tag, when it is
// written and where its value comes from. ScriviVoci is the one place that turns rows into lines.

#include "campi.h"
#include "testo_xml.h"

#include <span>
#include <string>
#include <string_view>

namespace uniemens {

enum class Forma {
    Apri,           // <tag>, the tag with its attributes
    Chiudi,         // </tag>
    Elemento,       // <tag>value</tag>
    Calendario,     // the daily calendar of the declared month, from the day flags of a column
    MesePrecedente, // the pending previous-month block, written as one piece and then emptied
};

enum class Se {
    Sempre,
    Vuota,         // the column is blank (empty once the surrounding blanks are removed)
    NonVuota,      // the column is not blank
    NonVuote,      // neither of two columns is blank
    NumeroNonZero, // the column's leading number is not 0
    OgniSettimana, // once per item of the column's week list; consecutive rows repeat together
    InSospeso,     // a previous-month block is pending
};

enum class Da {
    Nulla,          // no value (opening and closing tags)
    Fisso,          // the fixed text
    Colonna,        // the prepared field
    Tronca50,       // the prepared field cut to 50 characters, never inside a reference
    AnnoMese,       // year "00", "-", month "00"
    Imponibile,     // leading number in its shortest decimal form
    Contributo,     // amount with two decimals; adds the amount to the debit total
    RetribTeorica,  // whole number
    IdSettimana,    // first part of the week item
    TipoCopertura,  // second part of the week item
    Data,           // day/month/year written yyyy-mm-dd
    NumeroDenunce,  // individual reports written
    TotaleADebito,  // Arrotonda of the contributions
    TotaleACredito, // Arrotonda of the credit total, which nothing adds to
};

struct Condizione {
    Se se;
    int colonna = -1;
    int colonna2 = -1;
};

struct Valore {
    Da da;
    int colonna = -1;
    std::string_view fisso = {};
};

struct Voce {
    int profondita;
    Forma forma;
    std::string_view tag;
    Condizione quando;
    Valore valore;
};

// Short names for the tables' columns.
constexpr Condizione Sempre() { return {Se::Sempre}; }
constexpr Condizione Vuota(int colonna) { return {Se::Vuota, colonna}; }
constexpr Condizione NonVuota(int colonna) { return {Se::NonVuota, colonna}; }
constexpr Condizione NonVuote(int colonna, int colonna2) { return {Se::NonVuote, colonna, colonna2}; }
constexpr Condizione NumeroNonZero(int colonna) { return {Se::NumeroNonZero, colonna}; }
constexpr Condizione OgniSettimana(int colonna) { return {Se::OgniSettimana, colonna}; }
constexpr Condizione InSospeso() { return {Se::InSospeso}; }

constexpr Valore Nulla() { return {Da::Nulla}; }
constexpr Valore Fisso(std::string_view testo) { return {Da::Fisso, -1, testo}; }
constexpr Valore Colonna(int colonna) { return {Da::Colonna, colonna}; }

// The company totals, collected by the employee pass.
struct Totali {
    int denunce = 0;      // n
    SommaImporti debito;  // S
    SommaImporti credito; // held at 0
};

// What the values of a block come from; each block uses only some of these.
struct Fonte {
    const RigaINPS* riga = nullptr;
    const Periodo* periodo = nullptr;
    Totali* totali = nullptr;
    std::string* inSospeso = nullptr; // the pending previous-month block
};

// Writes, in order, the rows whose condition holds, each with its value taken from `fonte`; a run of
// OgniSettimana rows is written once per week item. A field that does not read stops the run.
void ScriviVoci(std::span<const Voce> voci, const Fonte& fonte, xmltext::ScrittoreXML& xml);

constexpr std::string_view NomeTag(std::string_view tag) { return tag.substr(0, tag.find(' ')); }

// A table opens and closes its tags in order, each line one level below the tags open around it.
// Two openings of the same tag one after the other are alternatives (<X> or <X Elimina="S">), of
// which one is written: the second opens nothing more.
constexpr bool Annidate(std::span<const Voce> voci, int profonditaIniziale) {
    std::string_view aperti[16] = {};
    int quanti = 0;
    const Voce* precedente = nullptr;
    for (const Voce& v : voci) {
        const int profondita = profonditaIniziale + quanti; // depth of a line here
        switch (v.forma) {
        case Forma::Apri:
            if (precedente && precedente->forma == Forma::Apri && v.profondita == profondita - 1 &&
                NomeTag(v.tag) == aperti[quanti - 1])
                break;
            if (v.profondita != profondita || quanti == 16)
                return false;
            aperti[quanti++] = NomeTag(v.tag);
            break;
        case Forma::Chiudi:
            if (quanti == 0 || v.profondita != profondita - 1 || v.tag != aperti[quanti - 1])
                return false;
            --quanti;
            break;
        case Forma::Elemento:
        case Forma::Calendario:
            if (v.profondita != profondita)
                return false;
            break;
        case Forma::MesePrecedente:
            break;
        }
        precedente = &v;
    }
    return quanti == 0;
}

} // namespace uniemens
