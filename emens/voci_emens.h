#pragma once
// The elements of the E-Mens document as tables (scrittura_xml::Voce): one row per line of the
// document, in its order, with its depth, its condition and the source of its value; the values
// that only this document has are made by its Fonte.

#include "emens/riga_emens.h"
#include "scrittura_xml/voci_xml.h"
#include "scrittura_xml/gruppi_inps.h"

#include <span>
#include <string>
#include <string_view>

namespace emens {

// The words of the tables, shared with the UniEmens converter.
using namespace scrittura_xml::tabelle;
using scrittura_xml::Forma;
using scrittura_xml::ScriviVoci;
using scrittura_xml::Valore;
using scrittura_xml::Voce;

// The values only this document has (scrittura_xml::Da::Proprio).
enum Propri : int {
    ProprioAnnoMese,       // the column (the year) unchanged, "-", column 8 (the month) as a whole number of two digits
    ProprioRetribTeorica,  // by the layout of the line: the column, or the short layout's taxable pay
    ProprioConsolidamento, // the column without its surrounding blanks; "S" when that is empty
};

// clang-format off
constexpr Valore AnnoMese(int c)                 { return Proprio(ProprioAnnoMese, c); }
constexpr Valore RetribTeorica(int c)            { return Proprio(ProprioRetribTeorica, c); }
constexpr Valore Consolidamento(int c)           { return Proprio(ProprioConsolidamento, c); }

// Where a row differs from the UniEmens document's on purpose, the comment says so.

// Sender block, from line 1.
inline constexpr Voce DatiMittente[] = {
//   prof forma            nome                                   quando             valore
    // UniEmens: Tipo="1"
    {1,  Forma::Apri,      "DatiMittente",                        Sempre(),          Nulla()},
    {2,  Forma::Elemento,  "CFPersonaMittente",                   Sempre(),          Colonna(0)},
    // UniEmens: cut to 50
    {2,  Forma::Elemento,  "RagSocMittente",                      Sempre(),          Colonna(1)},
    {2,  Forma::Elemento,  "CFMittente",                          Sempre(),          Colonna(2)},
    {2,  Forma::Elemento,  "CFSoftwarehouse",                     Sempre(),          Colonna(3)},
    {2,  Forma::Elemento,  "SedeINPS",                            Sempre(),          Colonna(4)},
    {1,  Forma::Chiudi,    "DatiMittente",                        Sempre(),          Nulla()},
};

// Company opening, from line 1; `Azienda` stays open for the lists.
inline constexpr Voce AperturaAzienda[] = {
    {1,  Forma::Apri,      "Azienda",                             Sempre(),          Nulla()},
    // UniEmens: year "00"
    {2,  Forma::Elemento,  "AnnoMeseDenuncia",                    Sempre(),          AnnoMese(7)},
    {2,  Forma::Elemento,  "CFAzienda",                           Sempre(),          Colonna(2)},
    {2,  Forma::Elemento,  "RagSocAzienda",                       Sempre(),          Colonna(1)},
};

// What the writer's code writes around the tables: the root, and the closing of the lists, of the
// company block and of the root.
inline constexpr Voce AperturaDocumento[] = {{0, Forma::Apri, "DenunceRetributiveMensili", Sempre(), Nulla()}};
inline constexpr Voce ChiusuraDipendenti[] = {{2, Forma::Chiudi, "ListaDenunceIndividuali", Sempre(), Nulla()}};
inline constexpr Voce ChiusuraCollaboratori[] = {{2, Forma::Chiudi, "ListaCollaboratori", Sempre(), Nulla()}};
inline constexpr Voce ChiusuraAzienda[] = {{1, Forma::Chiudi, "Azienda", Sempre(), Nulla()}};
inline constexpr Voce ChiusuraDocumento[] = {{0, Forma::Chiudi, "DenunceRetributiveMensili", Sempre(), Nulla()}};

// Opening of the individual reports' list, from the line of its first report; the list stays open.
inline constexpr Voce AperturaDipendenti[] = {
    {2,  Forma::Apri,      "ListaDenunceIndividuali",             Sempre(),          Nulla()},
    {3,  Forma::Elemento,  "Matricola",                           Sempre(),          Colonna(9)},
    {3,  Forma::Apri,      "CaratteristicheContributive",         Sempre(),          Nulla()},
    {4,  Forma::Elemento,  "CSC",                                 Sempre(),          Colonna(5)},     // not in UniEmens
    {4,  Forma::Elemento,  "CA",                                  Sempre(),          Colonna(6)},
    {3,  Forma::Chiudi,    "CaratteristicheContributive",         Sempre(),          Nulla()},
};

// Opening of the collaborators' list, from the line of its first collaborator; the list stays open.
inline constexpr Voce AperturaCollaboratori[] = {
    {2,  Forma::Apri,      "ListaCollaboratori",                  Sempre(),          Nulla()},
    {3,  Forma::Elemento,  "CAP",                                 Sempre(),          Colonna(31)},
    {3,  Forma::Elemento,  "ISTAT",                               Sempre(),          Colonna(32)},
};

// Individual report of an employee of the declared month; UniEmens adds Cittadinanza, Contributo, the
// daily calendar and GiorniContribuiti.
inline constexpr auto DenunciaIndividuale = Unite(
    std::to_array<Voce>({
    //   prof forma            nome                                   quando             valore
        {3,  Forma::Apri,      "DenunciaIndividuale",                 Vuota(39),         Nulla()},
        {3,  Forma::Apri,      "DenunciaIndividuale Elimina",         NonVuota(39),      Fisso("S")},
    }),
    Lavoratore(4),
    LuogoEContratto(4),
    Orario(4),
    Assunzione(4),
    Cessazione(4),
    std::to_array<Voce>({
        {4,  Forma::Apri,      "DatiRetributivi",                     Sempre(),          Nulla()},
        {5,  Forma::Elemento,  "TipoLavoratore",                      Sempre(),          Fisso("0")},
        {5,  Forma::Elemento,  "Imponibile",                          Sempre(),          Imponibile(24)},
        // by the layout
        {5,  Forma::Elemento,  "RetribTeorica",                       Sempre(),          RetribTeorica(42)},
    }),
    Settimane(5),
    std::to_array<Voce>({
        {5,  Forma::Elemento,  "GiorniRetribuiti",                    NumeroNonZero(27), Colonna(27)},
        {4,  Forma::Chiudi,    "DatiRetributivi",                     Sempre(),          Nulla()},
        {0,  Forma::Sospeso,   "",                                    InSospeso(),       Nulla()},
        {3,  Forma::Chiudi,    "DenunciaIndividuale",                 Sempre(),          Nulla()},
    }));

// Previous-month block, built from its own line and kept until the next individual report.
inline constexpr auto MesePrecedente = Unite(
    std::to_array<Voce>({
    //   prof forma            nome                                   quando             valore
        // UniEmens: no attribute, nor CodiceComune and CodiceContratto
        {4,  Forma::Apri,      "MesePrecedente TipoConsolidamento",   Sempre(),          Consolidamento(40)},
    }),
    LuogoEContratto(5),
    Orario(5),
    Assunzione(5),
    Cessazione(5),
    std::to_array<Voce>({
        {5,  Forma::Apri,      "DatiRetributiviMesePrecedente",       Sempre(),          Nulla()},
    }),
    Settimane(6),
    std::to_array<Voce>({
        {6,  Forma::Elemento,  "GiorniRetribuiti",                    NumeroNonZero(27), Colonna(27)},
        {5,  Forma::Chiudi,    "DatiRetributiviMesePrecedente",       Sempre(),          Nulla()},
        {4,  Forma::Chiudi,    "MesePrecedente",                      Sempre(),          Nulla()},
    }));

// Collaborator element: the opening is always plain, column 39 is not read for collaborators.
inline constexpr auto Collaboratore = Unite(
    std::to_array<Voce>({
        {3,  Forma::Apri,      "Collaboratore",                       Sempre(),          Nulla()},
    }),
    DatiCollaboratore(4),
    std::to_array<Voce>({
        {3,  Forma::Chiudi,    "Collaboratore",                       Sempre(),          Nulla()},
    }));
// clang-format on

// Every table of the document, in its order, under the element it is written in.
// clang-format off
inline constexpr scrittura_xml::TabellaDelDocumento TabelleDelDocumento[] = {
    {"",                                                              AperturaDocumento},
    {"DenunceRetributiveMensili",                                     DatiMittente},
    {"DenunceRetributiveMensili",                                     AperturaAzienda},
    {"DenunceRetributiveMensili/Azienda",                             AperturaDipendenti},
    {"DenunceRetributiveMensili/Azienda/ListaDenunceIndividuali",     DenunciaIndividuale},
    {"DenunceRetributiveMensili/Azienda/ListaDenunceIndividuali/DenunciaIndividuale", MesePrecedente},
    {"DenunceRetributiveMensili/Azienda",                             ChiusuraDipendenti},
    {"DenunceRetributiveMensili/Azienda",                             AperturaCollaboratori},
    {"DenunceRetributiveMensili/Azienda/ListaCollaboratori",          Collaboratore},
    {"DenunceRetributiveMensili/Azienda",                             ChiusuraCollaboratori},
    {"DenunceRetributiveMensili",                                     ChiusuraAzienda},
    {"",                                                              ChiusuraDocumento},
};
// clang-format on

static_assert(Annidate(DatiMittente, 1));
static_assert(Annidate(AperturaAzienda, 1, 1));
static_assert(Annidate(AperturaDipendenti, 2, 1));
static_assert(Annidate(AperturaCollaboratori, 2, 1));
static_assert(Annidate(DenunciaIndividuale, 3));
static_assert(Annidate(MesePrecedente, 4));
static_assert(Annidate(Collaboratore, 3));

// What the values of a table come from: the line, and for an individual report the pending
// previous-month block (emptied once written).
class Fonte : public scrittura_xml::Fonte {
public:
    explicit Fonte(const RigaEmens& riga, std::string* sospeso = nullptr)
        : scrittura_xml::Fonte(&riga, sospeso), m_riga(riga) {}

    std::string ValoreProprio(const Valore& valore, const Settimana* settimana) const override;

private:
    const RigaEmens& m_riga;
};

} // namespace emens
