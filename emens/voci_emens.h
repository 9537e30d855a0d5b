#pragma once
// The elements of the E-Mens document as tables: one row per line of the document, in its order,
// with its depth, its condition and the source of its value. ScriviVoci writes a table; the way
// each kind of value is made is in one place (ValoreVoce).

#include "riga_emens.h"
#include "testo_xml.h"

#include <span>
#include <string>
#include <string_view>

namespace emens {

enum class Forma {
    Apri,     // opening tag; with a value, the tag ends with an attribute holding it: <nome="valore">
    Chiudi,   // closing tag
    Elemento, // <nome>valore</nome> on one line
    Sospeso,  // the pending previous-month block, written as one piece
};

enum class Quando {
    Sempre,
    Vuota,         // the column is blank
    NonVuota,      // the column is not blank
    NonVuote,      // both columns are not blank
    NumeroNonZero, // the column's leading number is not 0
    OgniSettimana, // once per item of the weeks list; consecutive rows form the repeated group
    InSospeso,     // a previous-month block is pending
};

enum class Da {
    Nulla,          // no value
    Colonna,        // the prepared field
    Fisso,          // a fixed text
    AnnoMese,       // the column (the year) unchanged, "-", column 8 (the month) as a whole number of two digits
    Imponibile,     // the column's leading number, shortest decimal form
    RetribTeorica,  // by the layout of the line: the column, or the short layout's taxable pay
    Data,           // the column as a date, yyyy-mm-dd
    Consolidamento, // the column without its surrounding blanks; "S" when that is empty
    IdSettimana,    // the identifier of the week being written
    TipoCopertura,  // the coverage code of the week being written
};

inline constexpr int Nessuna = -1;

struct Condizione {
    Quando quando;
    int colonna = Nessuna;
    int seconda = Nessuna;
    friend constexpr bool operator==(const Condizione&, const Condizione&) = default;
};

struct Valore {
    Da da;
    int colonna = Nessuna;
    std::string_view testo = {};
};

struct Voce {
    int profondita;
    Forma forma;
    std::string_view nome; // tag name; for Apri with a value, followed by the attribute's name
    Condizione quando;
    Valore valore;
};

// clang-format off
constexpr Condizione Sempre()                    { return {Quando::Sempre}; }
constexpr Condizione Vuota(int c)                { return {Quando::Vuota, c}; }
constexpr Condizione NonVuota(int c)             { return {Quando::NonVuota, c}; }
constexpr Condizione NonVuote(int c, int d)      { return {Quando::NonVuote, c, d}; }
constexpr Condizione NumeroNonZero(int c)        { return {Quando::NumeroNonZero, c}; }
constexpr Condizione OgniSettimana(int c)        { return {Quando::OgniSettimana, c}; }
constexpr Condizione InSospeso()                 { return {Quando::InSospeso}; }

constexpr Valore Nulla()                         { return {Da::Nulla}; }
constexpr Valore Colonna(int c)                  { return {Da::Colonna, c}; }
constexpr Valore Fisso(std::string_view t)       { return {Da::Fisso, Nessuna, t}; }
constexpr Valore AnnoMese(int c)                 { return {Da::AnnoMese, c}; }
constexpr Valore Imponibile(int c)               { return {Da::Imponibile, c}; }
constexpr Valore RetribTeorica(int c)            { return {Da::RetribTeorica, c}; }
constexpr Valore DataISO(int c)                  { return {Da::Data, c}; }
constexpr Valore Consolidamento(int c)           { return {Da::Consolidamento, c}; }
constexpr Valore IdSettimana()                   { return {Da::IdSettimana}; }
constexpr Valore TipoCopertura()                 { return {Da::TipoCopertura}; }

// Sender block, from line 1.
inline constexpr Voce DatiMittente[] = {
//   prof forma            nome                                   quando             valore
    {1,  Forma::Apri,      "DatiMittente",                        Sempre(),          Nulla()},
    {2,  Forma::Elemento,  "CFPersonaMittente",                   Sempre(),          Colonna(0)},
    {2,  Forma::Elemento,  "RagSocMittente",                      Sempre(),          Colonna(1)},
    {2,  Forma::Elemento,  "CFMittente",                          Sempre(),          Colonna(2)},
    {2,  Forma::Elemento,  "CFSoftwarehouse",                     Sempre(),          Colonna(3)},
    {2,  Forma::Elemento,  "SedeINPS",                            Sempre(),          Colonna(4)},
    {1,  Forma::Chiudi,    "DatiMittente",                        Sempre(),          Nulla()},
};

// Company opening, from line 1; `Azienda` stays open for the lists.
inline constexpr Voce AperturaAzienda[] = {
    {1,  Forma::Apri,      "Azienda",                             Sempre(),          Nulla()},
    {2,  Forma::Elemento,  "AnnoMeseDenuncia",                    Sempre(),          AnnoMese(7)},
    {2,  Forma::Elemento,  "CFAzienda",                           Sempre(),          Colonna(2)},
    {2,  Forma::Elemento,  "RagSocAzienda",                       Sempre(),          Colonna(1)},
};

// Opening of the individual reports' list, from the line of its first report; the list stays open.
inline constexpr Voce AperturaDipendenti[] = {
    {2,  Forma::Apri,      "ListaDenunceIndividuali",             Sempre(),          Nulla()},
    {3,  Forma::Elemento,  "Matricola",                           Sempre(),          Colonna(9)},
    {3,  Forma::Apri,      "CaratteristicheContributive",         Sempre(),          Nulla()},
    {4,  Forma::Elemento,  "CSC",                                 Sempre(),          Colonna(5)},
    {4,  Forma::Elemento,  "CA",                                  Sempre(),          Colonna(6)},
    {3,  Forma::Chiudi,    "CaratteristicheContributive",         Sempre(),          Nulla()},
};

// Opening of the collaborators' list, from the line of its first collaborator; the list stays open.
inline constexpr Voce AperturaCollaboratori[] = {
    {2,  Forma::Apri,      "ListaCollaboratori",                  Sempre(),          Nulla()},
    {3,  Forma::Elemento,  "CAP",                                 Sempre(),          Colonna(31)},
    {3,  Forma::Elemento,  "ISTAT",                               Sempre(),          Colonna(32)},
};

// Individual report of an employee of the declared month.
inline constexpr Voce DenunciaIndividuale[] = {
//   prof forma            nome                                   quando             valore
    {3,  Forma::Apri,      "DenunciaIndividuale",                 Vuota(39),         Nulla()},
    {3,  Forma::Apri,      "DenunciaIndividuale Elimina",         NonVuota(39),      Fisso("S")},
    {4,  Forma::Elemento,  "CFLavoratore",                        Sempre(),          Colonna(10)},
    {4,  Forma::Elemento,  "Cognome",                             Sempre(),          Colonna(11)},
    {4,  Forma::Elemento,  "Nome",                                Sempre(),          Colonna(12)},
    {4,  Forma::Elemento,  "Qualifica1",                          Sempre(),          Colonna(13)},
    {4,  Forma::Elemento,  "Qualifica2",                          NonVuota(14),      Colonna(14)},
    {4,  Forma::Elemento,  "Qualifica3",                          NonVuota(15),      Colonna(15)},
    {4,  Forma::Elemento,  "TipoContribuzione",                   Sempre(),          Fisso("71")},
    {4,  Forma::Elemento,  "CodiceComune",                        NonVuota(16),      Colonna(16)},
    {4,  Forma::Elemento,  "CodiceContratto",                     Sempre(),          Fisso("EP")},
    {4,  Forma::Elemento,  "OrarioContrattuale",                  Sempre(),          Colonna(41)},
    {4,  Forma::Elemento,  "NumMensilita",                        Sempre(),          Fisso("13000")},
    // Assunzione group
    {4,  Forma::Apri,      "Assunzione",                          NonVuote(17, 18),  Nulla()},
    {5,  Forma::Elemento,  "GiornoAssunzione",                    NonVuote(17, 18),  Colonna(17)},
    {5,  Forma::Elemento,  "TipoAssunzione",                      NonVuote(17, 18),  Colonna(18)},
    {4,  Forma::Chiudi,    "Assunzione",                          NonVuote(17, 18),  Nulla()},
    // Cessazione group
    {4,  Forma::Apri,      "Cessazione",                          NonVuote(19, 20),  Nulla()},
    {5,  Forma::Elemento,  "GiornoCessazione",                    NonVuote(19, 20),  Colonna(19)},
    {5,  Forma::Elemento,  "TipoCessazione",                      NonVuote(19, 20),  Colonna(20)},
    {4,  Forma::Chiudi,    "Cessazione",                          NonVuote(19, 20),  Nulla()},
    {4,  Forma::Apri,      "DatiRetributivi",                     Sempre(),          Nulla()},
    {5,  Forma::Elemento,  "TipoLavoratore",                      Sempre(),          Fisso("0")},
    {5,  Forma::Elemento,  "Imponibile",                          Sempre(),          Imponibile(24)},
    {5,  Forma::Elemento,  "RetribTeorica",                       Sempre(),          RetribTeorica(42)},
    // Settimana groups
    {5,  Forma::Apri,      "Settimana",                           OgniSettimana(25), Nulla()},
    {6,  Forma::Elemento,  "IdSettimana",                         OgniSettimana(25), IdSettimana()},
    {6,  Forma::Elemento,  "TipoCopertura",                       OgniSettimana(25), TipoCopertura()},
    {5,  Forma::Chiudi,    "Settimana",                           OgniSettimana(25), Nulla()},
    {5,  Forma::Elemento,  "GiorniRetribuiti",                    NumeroNonZero(27), Colonna(27)},
    {4,  Forma::Chiudi,    "DatiRetributivi",                     Sempre(),          Nulla()},
    {0,  Forma::Sospeso,   "",                                    InSospeso(),       Nulla()},
    {3,  Forma::Chiudi,    "DenunciaIndividuale",                 Sempre(),          Nulla()},
};

// Previous-month block, built from its own line and kept until the next individual report.
inline constexpr Voce MesePrecedente[] = {
//   prof forma            nome                                   quando             valore
    {4,  Forma::Apri,      "MesePrecedente TipoConsolidamento",   Sempre(),          Consolidamento(40)},
    {5,  Forma::Elemento,  "CodiceComune",                        NonVuota(16),      Colonna(16)},
    {5,  Forma::Elemento,  "CodiceContratto",                     Sempre(),          Fisso("EP")},
    {5,  Forma::Elemento,  "OrarioContrattuale",                  Sempre(),          Colonna(41)},
    {5,  Forma::Elemento,  "NumMensilita",                        Sempre(),          Fisso("13000")},
    // Assunzione group
    {5,  Forma::Apri,      "Assunzione",                          NonVuote(17, 18),  Nulla()},
    {6,  Forma::Elemento,  "GiornoAssunzione",                    NonVuote(17, 18),  Colonna(17)},
    {6,  Forma::Elemento,  "TipoAssunzione",                      NonVuote(17, 18),  Colonna(18)},
    {5,  Forma::Chiudi,    "Assunzione",                          NonVuote(17, 18),  Nulla()},
    // Cessazione group
    {5,  Forma::Apri,      "Cessazione",                          NonVuote(19, 20),  Nulla()},
    {6,  Forma::Elemento,  "GiornoCessazione",                    NonVuote(19, 20),  Colonna(19)},
    {6,  Forma::Elemento,  "TipoCessazione",                      NonVuote(19, 20),  Colonna(20)},
    {5,  Forma::Chiudi,    "Cessazione",                          NonVuote(19, 20),  Nulla()},
    {5,  Forma::Apri,      "DatiRetributiviMesePrecedente",       Sempre(),          Nulla()},
    // Settimana groups
    {6,  Forma::Apri,      "Settimana",                           OgniSettimana(25), Nulla()},
    {7,  Forma::Elemento,  "IdSettimana",                         OgniSettimana(25), IdSettimana()},
    {7,  Forma::Elemento,  "TipoCopertura",                       OgniSettimana(25), TipoCopertura()},
    {6,  Forma::Chiudi,    "Settimana",                           OgniSettimana(25), Nulla()},
    {6,  Forma::Elemento,  "GiorniRetribuiti",                    NumeroNonZero(27), Colonna(27)},
    {5,  Forma::Chiudi,    "DatiRetributiviMesePrecedente",       Sempre(),          Nulla()},
    {4,  Forma::Chiudi,    "MesePrecedente",                      Sempre(),          Nulla()},
};

// Collaborator element: the opening is always plain, column 39 is not read for collaborators.
inline constexpr Voce Collaboratore[] = {
//   prof forma            nome                                   quando             valore
    {3,  Forma::Apri,      "Collaboratore",                       Sempre(),          Nulla()},
    {4,  Forma::Elemento,  "CFCollaboratore",                     Sempre(),          Colonna(10)},
    {4,  Forma::Elemento,  "Cognome",                             Sempre(),          Colonna(11)},
    {4,  Forma::Elemento,  "Nome",                                Sempre(),          Colonna(12)},
    {4,  Forma::Elemento,  "CodiceComune",                        NonVuota(16),      Colonna(16)},
    {4,  Forma::Elemento,  "TipoRapporto",                        Sempre(),          Colonna(33)},
    {4,  Forma::Elemento,  "CodiceAttivita",                      NonVuota(34),      Colonna(34)},
    {4,  Forma::Elemento,  "Imponibile",                          Sempre(),          Colonna(24)},
    {4,  Forma::Elemento,  "Aliquota",                            Sempre(),          Colonna(35)},
    {4,  Forma::Elemento,  "AltraAss",                            NonVuota(36),      Colonna(36)},
    {4,  Forma::Elemento,  "Dal",                                 NonVuota(37),      DataISO(37)},
    {4,  Forma::Elemento,  "Al",                                  NonVuota(38),      DataISO(38)},
    {3,  Forma::Chiudi,    "Collaboratore",                       Sempre(),          Nulla()},
};
// clang-format on

// The tag name of a row: its `nome` up to the attribute.
constexpr std::string_view NomeTag(const Voce& voce) { return voce.nome.substr(0, voce.nome.find(' ')); }

// A table's tags nest from depth `base`: every opening is closed by a row of the same name and
// depth under the same condition (two openings of the same name in a row are alternatives, as with
// `Elimina`, and their closing is unconditional), every element and closing stands at the depth of
// what is open, `aperti` tags stay open at the end, and the rows of a repeated group of weeks come
// together and close what they open.
constexpr bool Annidate(std::span<const Voce> voci, int base, int aperti = 0) {
    struct Aperta {
        const Voce* voce;
        bool alternative;
    };
    Aperta pila[8] = {};
    int n = 0;
    int inizioGruppo = -1; // open tags when the current group of weeks began
    const Voce* precedente = nullptr;
    for (const Voce& voce : voci) {
        const bool inGruppo = voce.quando.quando == Quando::OgniSettimana;
        if (inGruppo && inizioGruppo < 0)
            inizioGruppo = n;
        if (!inGruppo && inizioGruppo >= 0) {
            if (n != inizioGruppo)
                return false;
            inizioGruppo = -1;
        }
        switch (voce.forma) {
        case Forma::Apri:
            if (n > 0 && pila[n - 1].voce == precedente && NomeTag(*precedente) == NomeTag(voce)) {
                pila[n - 1].alternative = true;
                break;
            }
            if (n == 8 || voce.profondita != base + n)
                return false;
            pila[n++] = {&voce, false};
            break;
        case Forma::Chiudi: {
            if (n == 0 || voce.profondita != base + n - 1 || NomeTag(*pila[n - 1].voce) != voce.nome)
                return false;
            const Condizione attesa = pila[n - 1].alternative ? Sempre() : pila[n - 1].voce->quando;
            if (!(voce.quando == attesa))
                return false;
            --n;
            break;
        }
        case Forma::Elemento:
            if (voce.profondita != base + n)
                return false;
            break;
        case Forma::Sospeso:
            break;
        }
        precedente = &voce;
    }
    return n == aperti && (inizioGruppo < 0 || n == inizioGruppo);
}

static_assert(Annidate(DatiMittente, 1));
static_assert(Annidate(AperturaAzienda, 1, 1));
static_assert(Annidate(AperturaDipendenti, 2, 1));
static_assert(Annidate(AperturaCollaboratori, 2, 1));
static_assert(Annidate(DenunciaIndividuale, 3));
static_assert(Annidate(MesePrecedente, 4));
static_assert(Annidate(Collaboratore, 3));

// What the values of a table come from: the line, and for an individual report the pending
// previous-month block (emptied once written).
struct Fonte {
    const RigaEmens& riga;
    std::string* sospeso = nullptr;
};

// Writes the rows of a table whose condition holds.
void ScriviVoci(std::span<const Voce> voci, const Fonte& fonte, uniemens::xmltext::ScrittoreXML& xml);

} // namespace emens
