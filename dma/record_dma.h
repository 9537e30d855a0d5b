#pragma once
// The records of the DMA supply as tables: records A, B, C and Z in the fixed-length frame, the head
// that records B and C share, the fields of quadri D0 and E0 in the area of record C, and the checks
// of the employee's personal data. One row per field, in the order of the record; the same tables
// write the records and read them back.

#include "shell/conversioni.h"
#include "shell/esportazione.h"
#include "tracciati/tracciato.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dma {

using tracciati::Nessuna;

// The employee's columns that name the employee in the log and in messages.
inline constexpr int ColonnaCodiceFiscale = 31;
inline constexpr int ColonnaCognome = 32;
inline constexpr int ColonnaNome = 33;

// The numbers that the records count (tracciati::Fonte::contatori).
enum NumeroDMA : int {
    ModuloTesta,    // the module number of the head: 1 in record B, the C record count in record C
    ContoRecordB,   // record Z: the records B (1)
    ContoRecordC,   // record Z: the records C
    TerzoConteggio, // record Z: the third count, always 0
    NumeriDMA
};

// The kinds of piece of the DMA records only.
enum class ProprioDMA : std::uint8_t {
    Numero, // the column read with ValoreSemplice, rounded to a whole number (halves to even), N
    Data,   // the column read as a day/month/year date, DT; a text that is not a date stops the run
};

// clang-format off
namespace tabelleDMA {
using enum tracciati::Comune;
using enum ProprioDMA;
using enum tracciati::Rigore;

// Record A, supply header, from the first line.
inline constexpr auto RecordA = tracciati::RecordA("INP05", "01");

// Head of records B and C after the type (positions 2 to 66), from the line the record is made from.
inline constexpr auto Testata = std::to_array<tracciati::Pezzo>({
//   pos   lung  genere     col          testo
    {   2,   11, X,                   0},
    {  13,    5, Numero,              1, {}, {}, Tollerato}, // a number read plainly: other characters come
    {  18,    8, Contatore, ModuloTesta},                    // from the export as they stand
    {  26,    7, X,                   2},
    {  33,   11, X,                   3},
    {  44,   11, X,                   0},
    {  55,    5, Numero,              1, {}, {}, Tollerato},
    {  60,    7, X,                   2},
});

// Record B, frontispiece, from the first line.
inline constexpr auto RecordB = std::to_array<tracciati::Pezzo>({
//   pos   lung  genere     col          testo
    {   1,    1, Letterale, Nessuna,     "B"},
    {   2,   65, Tabella,   Nessuna,     "", Testata},
    {  67,   10, Spazi},
    {  77,    2, Numero,              6, {}, {}, Tollerato},
    {  79,   11, X,                   7},
    {  90,    1, Spazi},
    {  91,    2, Numero,              9},
    {  93,    4, Numero,              8},
    {  97,   60, X,                  10},
    { 157,    4, X,                  11},
    { 161,   60, X,                  12},
    { 221,    5, X,                  13},
    { 226,   12, X,                  14},
    { 238,   12, X,                  15},
    { 250,  100, X,                  16},
    { 350,   60, X,                  17},
    { 410,    4, X,                  18},
    { 414,   60, X,                  19},
    { 474,    5, X,                  20},
    { 479,   12, X,                  21},
    { 491,   12, X,                  22},
    { 503,  100, X,                  23},
    { 603,   60, X,                  10},
    { 663,    4, X,                  11},
    { 667,   60, X,                  12},
    { 727,    5, X,                  13},
    { 732,   12, X,                  14},
    { 744,   12, X,                  15},
    { 756,  100, X,                  16},
    { 856,   16, X,                  24},
    { 872,   24, X,                  25},
    { 896,   20, X,                  26},
    { 916,    1, X,                  27},
    { 917,    8, Data,               28},
    { 925,   40, X,                  29},
    { 965,    2, X,                  30},
    { 967,    1, Letterale, Nessuna,     "1"},
    { 968,    8, Zeri},                  // N of 0
    { 976,    8, Zeri},                  // N of 0
    { 984,    8, Zeri},                  // N of 0
    { 992,    8, Zeri},                  // N of 0
    {1000,   16, Spazi},                 // X of the empty text
    {1016,    2, Letterale, Nessuna,     "00"},
    {1018,    8, Letterale, Nessuna,     "00000000"},
    {1026,    1, Letterale, Nessuna,     "0"},
    {1027,    2, Spazi},
    {1029,    8, Zeri},                  // N of 0
    {1037,    8, Zeri},                  // N of 0
    {1045,    8, Zeri},                  // N of 0
    {1053,    8, Zeri},                  // N of 0
    {1061,    6, X,                  44},
    {1067,    6, X,                  45},
    {1073,  825, Spazi},
    {1898,    1, Fine},
});

// Record C, one per employee.
inline constexpr auto RecordC = std::to_array<tracciati::Pezzo>({
//   pos   lung  genere     col          testo
    {   1,    1, Letterale, Nessuna,     "C"},
    {   2,   65, Tabella,   Nessuna,     "", Testata},
    {  67,   16, X,                  31},
    {  83,    7, Spazi},
    {  90, 1800, Area},
    {1890,    8, Spazi},
    {1898,    1, Fine},
});

// Record Z, summary: the counts of records B and C and the third count.
inline constexpr auto RecordZ = std::to_array<tracciati::Pezzo>({
//   pos   lung  genere     col          testo
    {   1,    1, Letterale, Nessuna,     "Z"},
    {   2,   14, Spazi},
    {  16,    9, Contatore, ContoRecordB},
    {  25,    9, Contatore, ContoRecordC},
    {  34,    9, Contatore, TerzoConteggio},
    {  43, 1855, Spazi},
    {1898,    1, Fine},
});

static_assert(tracciati::RecordFissoCompleto(RecordA));
static_assert(tracciati::RecordFissoCompleto(RecordB));
static_assert(tracciati::RecordFissoCompleto(RecordC));
static_assert(tracciati::RecordFissoCompleto(RecordZ));
} // namespace tabelleDMA
// clang-format on

// The reference month as quadro E0 writes it: its first and last day. A month outside 1 to 12 rolls
// over into the neighbouring year (month 13 of 2011 is January 2012, month 0 is December 2010).
struct Periodo {
    shell::Data primo;
    shell::Data ultimo;
};

// No value when the first or the last day falls outside the years 1 to 9999.
std::optional<Periodo> PeriodoDiRiferimento(int anno, int mese);

// --- Record C: quadri D0 and E0 -----------------------------------------------------------------

// Where the value of a non-positional field comes from.
enum class Origine {
    Colonna,       // the column's text
    DataColonna,   // the column read as a date
    NumeroColonna, // the column read with ValoreSemplice
    Numero,        // the number `numero`
    Testo,         // the text `testo`
    PrimoGiorno,   // the first day of the reference month
    UltimoGiorno,  // the last day of the reference month
};

// When a field is written.
enum class Quando {
    Sempre,
    SeData,     // only when the column reads as a date
    SeNonVuota, // only when the column is not empty
};

struct CampoQuadro {
    std::string_view codice; // quadro, rigo, colonna: "D0001001"
    tracciati::Tipo tipo;
    Origine origine;
    int colonna;
    int numero;
    std::string_view testo;
    Quando quando;
};

// clang-format off

// The fields of the area of record C, in the order they are written.
inline constexpr auto CampiQuadri = std::to_array<CampoQuadro>({
//   codice       tipo              origine                  col     num  testo  scritto
    {"D0001001", tracciati::Tipo::CF, Origine::Colonna,             31,   0, "",    Quando::Sempre    },
    {"D0001002", tracciati::Tipo::AN, Origine::Colonna,             32,   0, "",    Quando::Sempre    },
    {"D0001003", tracciati::Tipo::AN, Origine::Colonna,             33,   0, "",    Quando::Sempre    },
    {"D0001004", tracciati::Tipo::AN, Origine::Colonna,             34,   0, "",    Quando::Sempre    },
    {"D0001005", tracciati::Tipo::DT, Origine::DataColonna,         35,   0, "",    Quando::SeData    },
    {"D0001006", tracciati::Tipo::AN, Origine::Colonna,             36,   0, "",    Quando::Sempre    },
    {"D0001007", tracciati::Tipo::AN, Origine::Colonna,             37,   0, "",    Quando::Sempre    },
    {"D0001008", tracciati::Tipo::AN, Origine::Colonna,             38,   0, "",    Quando::Sempre    },
    {"D0001009", tracciati::Tipo::N5, Origine::NumeroColonna,       39,   0, "",    Quando::Sempre    },
    {"D0001011", tracciati::Tipo::AN, Origine::Colonna,             40,   0, "",    Quando::SeNonVuota},
    {"D0001012", tracciati::Tipo::AN, Origine::Colonna,             41,   0, "",    Quando::SeNonVuota},
    {"D0001013", tracciati::Tipo::AN, Origine::Colonna,             42,   0, "",    Quando::SeNonVuota},
    {"D0001015", tracciati::Tipo::NP, Origine::Numero,         Nessuna,   1, "",    Quando::Sempre    },
    {"E0001001", tracciati::Tipo::DT, Origine::PrimoGiorno,    Nessuna,   0, "",    Quando::Sempre    },
    {"E0001002", tracciati::Tipo::DT, Origine::UltimoGiorno,   Nessuna,   0, "",    Quando::Sempre    },
    {"E0001007", tracciati::Tipo::AN, Origine::Testo,          Nessuna,   0, "07",  Quando::Sempre    },
    {"E0001008", tracciati::Tipo::AN, Origine::Testo,          Nessuna,   0, "01",  Quando::Sempre    },
    {"E0001009", tracciati::Tipo::AN, Origine::Colonna,             43,   0, "",    Quando::Sempre    },
    {"E0001011", tracciati::Tipo::NP, Origine::Numero,         Nessuna,  13, "",    Quando::Sempre    },
    {"E0001012", tracciati::Tipo::NP, Origine::Numero,         Nessuna,   4, "",    Quando::Sempre    },
});

// clang-format on

// Every code is 8 characters, quadro D0 or E0, rigo 001, and the codes rise strictly.
constexpr bool CodiciCrescenti(std::span<const CampoQuadro> campi) {
    std::string_view precedente;
    for (const CampoQuadro& campo : campi) {
        if (campo.codice.size() != static_cast<std::size_t>(tracciati::LunghezzaCodice) ||
            (campo.codice.substr(0, 2) != "D0" && campo.codice.substr(0, 2) != "E0") ||
            campo.codice.substr(2, 3) != "001" || campo.codice <= precedente)
            return false;
        precedente = campo.codice;
    }
    return true;
}
static_assert(CodiciCrescenti(CampiQuadri));

// Appends the fields of the table to `area` one after the other, each when its condition holds: not
// yet padded, and possibly longer than the area. An error of the encoder stops the run naming the
// line and the field code.
void AggiungiCampiDelDipendente(std::string& area, const shell::RigaEsportazione& riga, const Periodo& periodo);

// The type of every field code that record C writes, from the table above, sorted by code.
inline constexpr auto CatalogoQuadri = [] {
    std::array<tracciati::VoceCatalogo, CampiQuadri.size()> voci{};
    for (std::size_t i = 0; i < CampiQuadri.size(); ++i)
        voci[i] = {CampiQuadri[i].codice, CampiQuadri[i].tipo};
    return tracciati::Ordinato(voci);
}();
tracciati::Catalogo CatalogoDeiCampi();

// The code of a field that record C writes, with its place in the catalogue: a code that the table does not
// write stops the compiler.
consteval tracciati::CodiceDelCatalogo CodiceDelCampo(std::string_view codice) {
    return tracciati::DelCatalogo(CatalogoQuadri, codice);
}

// A check of the employee's personal data.
enum class Verifica {
    NonVuota, // the column must not be empty
    Data,     // the column must read as a date
};

// What the log line of a failed check begins with, after "Generazione Record Tipo C - Quadro D0 - ".
enum class Intestazione {
    CodiceFiscale,      // column 31
    CodiceFiscaleENome, // column 31, a space, column 33
    CognomeENome,       // column 32, a space, column 33
};

struct Controllo {
    int colonna;
    Verifica verifica;
    Intestazione intestazione;
    std::string_view testo; // appended to the beginning as it stands
};

// clang-format off

// The checks of record C, in the order they run; all of them run.
inline constexpr auto Controlli = std::to_array<Controllo>({
//   col  verifica            intestazione                      testo
    {32, Verifica::NonVuota, Intestazione::CodiceFiscale,      "Senza cognome"            },
    {33, Verifica::NonVuota, Intestazione::CodiceFiscaleENome, " Senza nome"              },
    {34, Verifica::NonVuota, Intestazione::CognomeENome,       " Senza sesso"             },
    {35, Verifica::Data,     Intestazione::CognomeENome,       " Data nascita non valida "},
    {36, Verifica::NonVuota, Intestazione::CognomeENome,       " Senza luogo nascita"     },
    {37, Verifica::NonVuota, Intestazione::CognomeENome,       " Senza luogo residenza"   },
    {38, Verifica::NonVuota, Intestazione::CognomeENome,       " Senza indirizzo"         },
    {39, Verifica::NonVuota, Intestazione::CognomeENome,       " Senza CAP"               },
});

// clang-format on

inline constexpr std::string_view InizioRigaC = "Generazione Record Tipo C - Quadro D0 - ";

// The log lines of the failed checks, in order; none when the data are complete.
std::vector<std::string> ControllaDipendente(const shell::RigaEsportazione& riga);

// The layouts of the supply, with the Gancio that writes and reads the kinds of its own and the types
// of the field codes of record C.
const tracciati::Tracciato& TracciatoDMA();

} // namespace dma
