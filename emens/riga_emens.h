#pragma once
// The lines of "EsportazioneINPS.tab" as the E-Mens converter reads them: the prepared fields, the
// ways a field is read (leading number, whole number, date, list of weeks) and the number formats
// of the document.

#include "scrittura_xml/riga_inps.h"

#include <string>
#include <string_view>

namespace emens {

// Columns of the export, numbered from 0: those the UniEmens converter reads too (a TipoPersona
// other than "DIPENDENTE" is a collaborator here), and these.
namespace col {
using namespace scrittura_xml::col;
// clang-format off
inline constexpr int CSC                = 5;
inline constexpr int CA                 = 6;
inline constexpr int Consolidamento     = 40;

// How many columns each kind of line must have (its last column read, plus one).
inline constexpr int ColonneRiga          = 30; // any line: the month marker decides what it is
inline constexpr int ColonnePersona       = 31; // a current-month line of a person: its kind
inline constexpr int ColonneDipendente    = 42; // employee, declared month (column 42 only if present)
inline constexpr int ColonneMesePrec      = 42; // previous-month line
inline constexpr int ColonneCollaboratore = 39; // collaborator
// A line of exactly this many columns follows the short layout: no column 42.
inline constexpr int ColonneTracciatoBreve = 42;
// clang-format on
} // namespace col

using scrittura_xml::MeseAttuale;
using scrittura_xml::TipoDipendente;

// The readings and formats shared with the UniEmens converter.
using scrittura_xml::CifreMinime;
using scrittura_xml::DividiSettimane;
using scrittura_xml::FormatoImponibile;
using scrittura_xml::Intero16;
using scrittura_xml::NumeroIniziale;
using scrittura_xml::SeparatoreLista; // of the weeks list (column 25)
using scrittura_xml::Settimana;

// The words of this converter's errors, which stop the run (it has no error box).
// clang-format off
inline constexpr scrittura_xml::TestiLettura TestiEmens{
    "carattere di controllo (codice ", ") non ammesso in un documento XML",
    "numero intero fuori dall'intervallo da -32.768 a 32.767 ",
    "settimana senza '@' in ", false, // the whole field
};
// clang-format on

// One export line prepared for this converter: split at TAB and every field upper-cased. A field
// goes into the document escaped with CodificaXML (Valore), which is what upper-casing then
// escaping the whole line would give; the upper-cased text stays at hand for the log, the
// comparisons and the messages. Fields are not trimmed. A field that does not read stops the run,
// naming line and column.
class RigaEmens : public scrittura_xml::RigaEsportazioneINPS {
public:
    RigaEmens(int numero, std::string_view testo)
        : RigaEsportazioneINPS(numero, testo, scrittura_xml::Preparazione::Maiuscolo, TestiEmens) {}

    int Colonne() const { return static_cast<int>(RigaEsportazioneINPS::Colonne()); }
    // Stops the run when the line has fewer than `quante` columns; after it every column below
    // `quante` can be read.
    void RichiediColonne(int quante) const;

    // The field as the export gives it, upper-cased.
    std::string_view Testo(int colonna) const { return (*this)[colonna]; }
};

} // namespace emens
