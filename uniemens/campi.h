#pragma once
// The lines of "EsportazioneINPS.tab" as the UniEmens converter reads them: the prepared fields, the
// ways a field is read (leading number, whole number, amount, date, list) and the number formats of
// the document.

#include "shell/conversioni.h"
#include "scrittura_xml/riga_inps.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace uniemens {

// Columns of the export, numbered from 0: those the E-Mens converter reads too, and these.
namespace col {
using namespace scrittura_xml::col;
// clang-format off
inline constexpr int CAP                 = 31;
inline constexpr int ISTAT               = 32;
inline constexpr int Contributo          = 43;
inline constexpr int GiorniLavorati      = 45;

// The last column each kind of line is read up to.
inline constexpr int UltimaMittente      = 8;  // line 1, sender and company
inline constexpr int UltimaPersona       = 30; // enough to tell the kind of person
inline constexpr int UltimaDipendente    = 45; // employee, declared month
inline constexpr int UltimaMesePrec      = 41; // employee, previous month
inline constexpr int UltimaCollaboratore = 39;
// clang-format on
} // namespace col

using scrittura_xml::MeseAttuale;
using scrittura_xml::TipoDipendente;
inline constexpr std::string_view TipoCollaboratore = "COLLABORATORE";

// The declared month, from columns 7 and 8 of line 1, and its number of days.
struct Periodo {
    int anno = 0;
    int mese = 0;
    int giorni = 0;
};

// Separator of the items of the list fields (columns 25 and 45).
using scrittura_xml::SeparatoreLista;

// The readings and formats shared with the E-Mens converter.
using scrittura_xml::CifreMinime;
using scrittura_xml::DividiSettimana;
using scrittura_xml::ElementiLista;
using scrittura_xml::FormatoImponibile;
using scrittura_xml::Importo;
using scrittura_xml::Intero16;
using scrittura_xml::LeggiImporto;
using scrittura_xml::Lettura;
using scrittura_xml::NumeroIniziale;
using scrittura_xml::Settimana;

// The words of this converter's reading errors.
// clang-format off
inline constexpr scrittura_xml::TestiLettura TestiUniemens{
    "carattere di controllo non ammesso (codice ", ")",
    "numero intero fuori dall'intervallo da -32768 a 32767 ",
    "settimana senza '@' ", true, // the faulty item
};
// clang-format on

// One export line prepared as every pass takes it: split at TAB, every field upper-cased and then
// escaped with CodificaXML. Fields are not trimmed. A field that does not read stops the run (the
// document check lets no such line through).
class RigaINPS : public scrittura_xml::RigaEsportazioneINPS {
public:
    RigaINPS(int numero, std::string_view testo)
        : RigaEsportazioneINPS(numero, testo, scrittura_xml::Preparazione::MaiuscoloCodificato, TestiUniemens) {}
};

// What is wrong with a field for the way it is read, for the error box; nothing when it reads.
inline std::optional<std::string> DifettoCampo(Lettura lettura, std::string_view testo) {
    return scrittura_xml::DifettoCampo(lettura, testo, TestiUniemens);
}

// The exact sum of amounts, rounded once at the end.
class SommaImporti {
public:
    void Aggiungi(const Importo& importo);
    // The sum rounded on its first decimal digit: Int(S), the largest whole number not above S, plus 1
    // when the first decimal digit of S - Int(S) is 5 or more (2.5 gives 3, -2.5 gives -2).
    std::int64_t ArrotondataSullaPrimaDecimale() const;

private:
    std::int64_t m_interi = 0;   // Int(S)
    std::vector<int> m_decimali; // the digits of S - Int(S), which lies in [0, 1)
};

// `Contributo`: two decimals, rounded half away from zero, "," before them, grouped by thousands
// and the "." of the grouping then removed (1234,5 gives 1234,50; 1234,567 gives 1234,57).
std::string FormatoContributo(const Importo& importo);

// Days of month `mese` of year `anno`: the day before the first of the following month; months
// outside 1 to 12 follow calendar arithmetic (month 0 is December of the year before).
int GiorniDelMese(int anno, int mese);

} // namespace uniemens
