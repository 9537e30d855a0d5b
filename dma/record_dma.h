#pragma once
// The records of the DMA supply as tables: records A, B, C and Z in the fixed-length frame, the head
// that records B and C share, the fields of quadri D0 and E0 in the area of record C, and the checks
// of the employee's personal data. One row per field, in the order of the record; the encoding of
// every kind of row is in one place (CodificaPezzo, CampoQuadro).

#include "campo_non_posizionale.h"
#include "conversioni.h"
#include "esportazione.h"
#include "record_fisso.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dma {

namespace fields = conv770::fields;

inline constexpr int Nessuna = -1;

// The employee's columns that name the employee in the log and in messages.
inline constexpr int ColonnaCodiceFiscale = 31;
inline constexpr int ColonnaCognome = 32;
inline constexpr int ColonnaNome = 33;

// What a positional piece of a record holds.
enum class Contenuto {
    Tipo,       // the record type of the head ("B" or "C")
    Letterale,  // `testo` as it stands
    Spazi,      // blanks
    Testo,      // the column, X (left-aligned, spaces after, cut at the right)
    Numero,     // the column read with ValoreSemplice, rounded to a whole number (halves to even), N
    Data,       // the column read as a day/month/year date, DT; a text that is not a date stops the run
    Zero,       // the number 0, N
    Vuoto,      // the empty text, X
    Modulo,     // the module number, N
    Conteggio,  // record count number `colonna` (0 = B, 1 = C, 2 = the third count), N
    Testata,    // the head shared by records B and C (positions 1 to 66)
    Area,       // the non-positional area of record C, 1,800 characters
    FineRecord, // the end mark "A"
};

struct Pezzo {
    int inizio; // position of the first character, from 1
    int lunghezza;
    Contenuto contenuto;
    int colonna;            // export column (Conteggio: which count)
    std::string_view testo; // the text of Letterale
};

// clang-format off

// Record A, supply header, from the first line.
inline constexpr auto RecordA = std::to_array<Pezzo>({
//    pos   lun  contenuto              col      testo
    {    1,    1, Contenuto::Letterale,  Nessuna, "A"    },
    {    2,   14, Contenuto::Spazi,      Nessuna, ""     },
    {   16,    5, Contenuto::Letterale,  Nessuna, "INP05"},
    {   21,    2, Contenuto::Letterale,  Nessuna, "01"   },
    {   23,   16, Contenuto::Testo,            0, ""     },
    {   39,  483, Contenuto::Spazi,      Nessuna, ""     },
    {  522,    4, Contenuto::Letterale,  Nessuna, "0000" },
    {  526,    4, Contenuto::Letterale,  Nessuna, "0000" },
    {  530, 1368, Contenuto::Spazi,      Nessuna, ""     },
    { 1898,    1, Contenuto::FineRecord, Nessuna, ""     },
});

// Head of records B and C, from the line the record is made from.
inline constexpr auto Testata = std::to_array<Pezzo>({
//    pos   lun  contenuto              col      testo
    {    1,    1, Contenuto::Tipo,       Nessuna, ""     },
    {    2,   11, Contenuto::Testo,            0, ""     },
    {   13,    5, Contenuto::Numero,           1, ""     },
    {   18,    8, Contenuto::Modulo,     Nessuna, ""     },
    {   26,    7, Contenuto::Testo,            2, ""     },
    {   33,   11, Contenuto::Testo,            3, ""     },
    {   44,   11, Contenuto::Testo,            0, ""     },
    {   55,    5, Contenuto::Numero,           1, ""     },
    {   60,    7, Contenuto::Testo,            2, ""     },
});

// Record B, frontispiece, from the first line, after the head.
inline constexpr auto RecordB = std::to_array<Pezzo>({
//    pos   lun  contenuto              col      testo
    {   67,   10, Contenuto::Spazi,      Nessuna, ""        },
    {   77,    2, Contenuto::Numero,           6, ""        },
    {   79,   11, Contenuto::Testo,            7, ""        },
    {   90,    1, Contenuto::Spazi,      Nessuna, ""        },
    {   91,    2, Contenuto::Numero,           9, ""        },
    {   93,    4, Contenuto::Numero,           8, ""        },
    {   97,   60, Contenuto::Testo,           10, ""        },
    {  157,    4, Contenuto::Testo,           11, ""        },
    {  161,   60, Contenuto::Testo,           12, ""        },
    {  221,    5, Contenuto::Testo,           13, ""        },
    {  226,   12, Contenuto::Testo,           14, ""        },
    {  238,   12, Contenuto::Testo,           15, ""        },
    {  250,  100, Contenuto::Testo,           16, ""        },
    {  350,   60, Contenuto::Testo,           17, ""        },
    {  410,    4, Contenuto::Testo,           18, ""        },
    {  414,   60, Contenuto::Testo,           19, ""        },
    {  474,    5, Contenuto::Testo,           20, ""        },
    {  479,   12, Contenuto::Testo,           21, ""        },
    {  491,   12, Contenuto::Testo,           22, ""        },
    {  503,  100, Contenuto::Testo,           23, ""        },
    {  603,   60, Contenuto::Testo,           10, ""        },
    {  663,    4, Contenuto::Testo,           11, ""        },
    {  667,   60, Contenuto::Testo,           12, ""        },
    {  727,    5, Contenuto::Testo,           13, ""        },
    {  732,   12, Contenuto::Testo,           14, ""        },
    {  744,   12, Contenuto::Testo,           15, ""        },
    {  756,  100, Contenuto::Testo,           16, ""        },
    {  856,   16, Contenuto::Testo,           24, ""        },
    {  872,   24, Contenuto::Testo,           25, ""        },
    {  896,   20, Contenuto::Testo,           26, ""        },
    {  916,    1, Contenuto::Testo,           27, ""        },
    {  917,    8, Contenuto::Data,            28, ""        },
    {  925,   40, Contenuto::Testo,           29, ""        },
    {  965,    2, Contenuto::Testo,           30, ""        },
    {  967,    1, Contenuto::Letterale,  Nessuna, "1"       },
    {  968,    8, Contenuto::Zero,       Nessuna, ""        },
    {  976,    8, Contenuto::Zero,       Nessuna, ""        },
    {  984,    8, Contenuto::Zero,       Nessuna, ""        },
    {  992,    8, Contenuto::Zero,       Nessuna, ""        },
    { 1000,   16, Contenuto::Vuoto,      Nessuna, ""        },
    { 1016,    2, Contenuto::Letterale,  Nessuna, "00"      },
    { 1018,    8, Contenuto::Letterale,  Nessuna, "00000000"},
    { 1026,    1, Contenuto::Letterale,  Nessuna, "0"       },
    { 1027,    2, Contenuto::Spazi,      Nessuna, ""        },
    { 1029,    8, Contenuto::Zero,       Nessuna, ""        },
    { 1037,    8, Contenuto::Zero,       Nessuna, ""        },
    { 1045,    8, Contenuto::Zero,       Nessuna, ""        },
    { 1053,    8, Contenuto::Zero,       Nessuna, ""        },
    { 1061,    6, Contenuto::Testo,           44, ""        },
    { 1067,    6, Contenuto::Testo,           45, ""        },
    { 1073,  825, Contenuto::Spazi,      Nessuna, ""        },
    { 1898,    1, Contenuto::FineRecord, Nessuna, ""        },
});

// Record C, one per employee.
inline constexpr auto RecordC = std::to_array<Pezzo>({
//    pos   lun  contenuto              col      testo
    {    1,   66, Contenuto::Testata,    Nessuna, ""     },
    {   67,   16, Contenuto::Testo,           31, ""     },
    {   83,    7, Contenuto::Spazi,      Nessuna, ""     },
    {   90, 1800, Contenuto::Area,       Nessuna, ""     },
    { 1890,    8, Contenuto::Spazi,      Nessuna, ""     },
    { 1898,    1, Contenuto::FineRecord, Nessuna, ""     },
});

// Record Z, summary: the counts of records B and C and the third count.
inline constexpr auto RecordZ = std::to_array<Pezzo>({
//    pos   lun  contenuto              col      testo
    {    1,    1, Contenuto::Letterale,  Nessuna, "Z"    },
    {    2,   14, Contenuto::Spazi,      Nessuna, ""     },
    {   16,    9, Contenuto::Conteggio,        0, ""     },
    {   25,    9, Contenuto::Conteggio,        1, ""     },
    {   34,    9, Contenuto::Conteggio,        2, ""     },
    {   43, 1855, Contenuto::Spazi,      Nessuna, ""     },
    { 1898,    1, Contenuto::FineRecord, Nessuna, ""     },
});

// clang-format on

// The pieces of a table follow one another from `inizio` without gaps, each literal fits its piece,
// the head, the area and the end mark are where the frame has them, and together they are
// `lunghezza` characters long.
constexpr bool Contigui(std::span<const Pezzo> pezzi, int inizio, int lunghezza) {
    int posizione = inizio;
    for (const Pezzo& pezzo : pezzi) {
        if (pezzo.inizio != posizione || pezzo.lunghezza <= 0)
            return false;
        if (pezzo.contenuto == Contenuto::Letterale && static_cast<int>(pezzo.testo.size()) != pezzo.lunghezza)
            return false;
        if ((pezzo.contenuto == Contenuto::Tipo && (pezzo.inizio != 1 || pezzo.lunghezza != 1)) ||
            (pezzo.contenuto == Contenuto::Testata && (pezzo.inizio != 1 || pezzo.lunghezza != 66)) ||
            (pezzo.contenuto == Contenuto::Area &&
             (pezzo.inizio != fields::InizioArea || pezzo.lunghezza != fields::LunghezzaArea)) ||
            (pezzo.contenuto == Contenuto::FineRecord &&
             (pezzo.inizio != fields::LunghezzaRecord || pezzo.lunghezza != 1)))
            return false;
        posizione += pezzo.lunghezza;
    }
    return posizione == inizio + lunghezza;
}

inline constexpr int LunghezzaTestata = 66;

static_assert(Contigui(RecordA, 1, fields::LunghezzaRecord));
static_assert(Contigui(Testata, 1, LunghezzaTestata));
static_assert(Contigui(RecordB, LunghezzaTestata + 1, fields::LunghezzaRecord - LunghezzaTestata));
static_assert(Contigui(RecordC, 1, fields::LunghezzaRecord));
static_assert(Contigui(RecordZ, 1, fields::LunghezzaRecord));

// The reference month as quadro E0 writes it: its first and last day. A month outside 1 to 12 rolls
// over into the neighbouring year (month 13 of 2011 is January 2012, month 0 is December 2010).
struct Periodo {
    shell::Data primo;
    shell::Data ultimo;
};

// No value when the first or the last day falls outside the years 1 to 9999.
std::optional<Periodo> PeriodoDiRiferimento(int anno, int mese);

// What the pieces of a record are made from.
struct Sorgente {
    const shell::RigaEsportazione* riga = nullptr;
    char tipo = ' ';               // record type of the head
    int modulo = 0;                // module number of the head
    std::array<int, 3> conteggi{}; // records B, records C, the third count
    std::string_view area{};       // the non-positional area of record C, exactly 1,800 characters
};

// The text of one piece, exactly `pezzo.lunghezza` characters (the head: 66). An unreadable date
// or a missing column stops the run, naming the line and the column.
std::string CodificaPezzo(const Pezzo& pezzo, const Sorgente& sorgente);

// The same, appended to `record`; the head only at the beginning of a record.
void AggiungiPezzo(std::string& record, const Pezzo& pezzo, const Sorgente& sorgente);

// Appends the pieces of a table to `record`, which must end where the table begins.
void Componi(std::string& record, std::span<const Pezzo> pezzi, const Sorgente& sorgente);

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
    fields::Tipo tipo;
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
    {"D0001001", fields::Tipo::CF, Origine::Colonna,             31,   0, "",    Quando::Sempre    },
    {"D0001002", fields::Tipo::AN, Origine::Colonna,             32,   0, "",    Quando::Sempre    },
    {"D0001003", fields::Tipo::AN, Origine::Colonna,             33,   0, "",    Quando::Sempre    },
    {"D0001004", fields::Tipo::AN, Origine::Colonna,             34,   0, "",    Quando::Sempre    },
    {"D0001005", fields::Tipo::DT, Origine::DataColonna,         35,   0, "",    Quando::SeData    },
    {"D0001006", fields::Tipo::AN, Origine::Colonna,             36,   0, "",    Quando::Sempre    },
    {"D0001007", fields::Tipo::AN, Origine::Colonna,             37,   0, "",    Quando::Sempre    },
    {"D0001008", fields::Tipo::AN, Origine::Colonna,             38,   0, "",    Quando::Sempre    },
    {"D0001009", fields::Tipo::N5, Origine::NumeroColonna,       39,   0, "",    Quando::Sempre    },
    {"D0001011", fields::Tipo::AN, Origine::Colonna,             40,   0, "",    Quando::SeNonVuota},
    {"D0001012", fields::Tipo::AN, Origine::Colonna,             41,   0, "",    Quando::SeNonVuota},
    {"D0001013", fields::Tipo::AN, Origine::Colonna,             42,   0, "",    Quando::SeNonVuota},
    {"D0001015", fields::Tipo::NP, Origine::Numero,         Nessuna,   1, "",    Quando::Sempre    },
    {"E0001001", fields::Tipo::DT, Origine::PrimoGiorno,    Nessuna,   0, "",    Quando::Sempre    },
    {"E0001002", fields::Tipo::DT, Origine::UltimoGiorno,   Nessuna,   0, "",    Quando::Sempre    },
    {"E0001007", fields::Tipo::AN, Origine::Testo,          Nessuna,   0, "07",  Quando::Sempre    },
    {"E0001008", fields::Tipo::AN, Origine::Testo,          Nessuna,   0, "01",  Quando::Sempre    },
    {"E0001009", fields::Tipo::AN, Origine::Colonna,             43,   0, "",    Quando::Sempre    },
    {"E0001011", fields::Tipo::NP, Origine::Numero,         Nessuna,  13, "",    Quando::Sempre    },
    {"E0001012", fields::Tipo::NP, Origine::Numero,         Nessuna,   4, "",    Quando::Sempre    },
});

// clang-format on

// Every code is 8 characters, quadro D0 or E0, rigo 001, and the codes rise strictly.
constexpr bool CodiciCrescenti(std::span<const CampoQuadro> campi) {
    std::string_view precedente;
    for (const CampoQuadro& campo : campi) {
        if (campo.codice.size() != static_cast<std::size_t>(fields::LunghezzaCodice) ||
            (campo.codice.substr(0, 2) != "D0" && campo.codice.substr(0, 2) != "E0") ||
            campo.codice.substr(2, 3) != "001" || campo.codice <= precedente)
            return false;
        precedente = campo.codice;
    }
    return true;
}
static_assert(CodiciCrescenti(CampiQuadri));

// The encoded field (one or more blocks of 24 characters), or the empty text when its condition
// fails. An error of the encoder stops the run naming the line and the field code.
std::string CodificaCampoQuadro(const CampoQuadro& campo, const shell::RigaEsportazione& riga, const Periodo& periodo);

// All the fields of the table one after the other, not yet padded: may be longer than the area.
std::string CampiDelDipendente(const shell::RigaEsportazione& riga, const Periodo& periodo);

// The same two, appended to `area`.
void AggiungiCampoQuadro(std::string& area, const CampoQuadro& campo, const shell::RigaEsportazione& riga,
                         const Periodo& periodo);
void AggiungiCampiDelDipendente(std::string& area, const shell::RigaEsportazione& riga, const Periodo& periodo);

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

} // namespace dma
