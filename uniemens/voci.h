#pragma once
// The UniEmens document's own values and lines for the element tables (scrittura_xml::Voce): the company
// name cut to 50 characters, the declared month, the contribution and the company totals, and the
// daily calendar of the declared month.

#include "uniemens/campi.h"
#include "scrittura_xml/voci_xml.h"

#include <string>
#include <string_view>

namespace uniemens {

using scrittura_xml::Forma;
using scrittura_xml::Voce;

// The characters, escaped, that the company name is cut to (Tronca50).
inline constexpr std::size_t RagioneSocialeMassima = 50;

// The values only this document has (scrittura_xml::Da::Proprio).
enum Propri : int {
    Tronca50,       // the prepared field cut to 50 characters, never inside a reference
    AnnoMese,       // year "00", "-", month "00"
    Contributo,     // amount with two decimals; adds the amount to the debit total
    NumeroDenunce,  // individual reports written
    TotaleADebito,  // the contributions rounded on their first decimal digit
    TotaleACredito, // the credit total rounded the same way, which nothing adds to
};

// The company totals, collected by the employee pass.
struct Totali {
    int denunce = 0;      // n
    SommaImporti debito;  // S
    SommaImporti credito; // held at 0
};

// The three lines of a day of the daily calendar, at the depth of the document's Forma::Propria row:
// <Giorno GG="k">, its Lavorato element ("S" or "N"), </Giorno>. ScriviGiorno writes them at any depth.
// clang-format off
inline constexpr Voce GiornoDelCalendario[] = {
    {5, Forma::Apri,     "Giorno GG", scrittura_xml::tabelle::Sempre(), scrittura_xml::tabelle::Nulla()},
    {6, Forma::Elemento, "Lavorato",  scrittura_xml::tabelle::Sempre(), scrittura_xml::tabelle::Nulla()},
    {5, Forma::Chiudi,   "Giorno",    scrittura_xml::tabelle::Sempre(), scrittura_xml::tabelle::Nulla()},
};
// clang-format on
void ScriviGiorno(int k, bool lavorato, int profondita, scrittura_xml::ScrittoreXML& xml);

// The lines of each day of the daily calendar, worked or not, made by ScriviGiorno the first time they
// are needed in a run and then written as one piece.
class Calendario {
public:
    // The lines of day k (1 to 31) at depth `profondita`, CR LF between them.
    std::string_view Giorno(int k, bool lavorato, int profondita);

private:
    std::string m_giorni[31][2];
    int m_profondita[31][2] = {};
};

// What the values of a block come from; each block uses only some of these. A Forma::Propria row is
// the daily calendar of the declared month, from the day flags of its column.
class FonteUniemens : public scrittura_xml::Fonte {
public:
    explicit FonteUniemens(const RigaINPS* riga, const Periodo* periodo = nullptr, Totali* totali = nullptr,
                           std::string* inSospeso = nullptr, Calendario* calendario = nullptr)
        : scrittura_xml::Fonte(riga, inSospeso), m_periodo(periodo), m_totali(totali), m_calendario(calendario) {}

    std::string ValoreProprio(const scrittura_xml::Valore& valore,
                              const scrittura_xml::Settimana* settimana) const override;
    void ScriviPropria(const Voce& voce, scrittura_xml::ScrittoreXML& xml) const override;

private:
    const Periodo* m_periodo;
    Totali* m_totali;
    Calendario* m_calendario; // without one, the days are written line by line
};

using scrittura_xml::ScriviVoci;

} // namespace uniemens
