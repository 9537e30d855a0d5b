#pragma once
// The records of the TFR supply: "1" header, "2" employee, "3" period, "4" beneficiary, "9" trailer.
// Every record is a table of fields, one row per field in the order of the record; the encoding of
// every kind of field is in one place (CodificaCampo).

#include "contatore.h"
#include "contesto.h"
#include "esportazione.h"
#include "uscita.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace tfr {

enum class Tipo {
    Letterale,    // `testo` as it stands
    Spazi,        // blanks
    L,            // the column, padded with blanks at the right, cut at the right
    R,            // the column, padded with blanks at the left, cut at the left
    LDueColonne,  // the column, a blank and the `seconda` column, as L
    LSenzaSpazi,  // the column with every blank removed, as L
    LSenzaIT,     // the column with every "IT" removed, as L (the IBAN check digits)
    Data,         // the column as a day/month/year date, written YYYYMMDD
    DataOZeri,    // as Data, but "00000000" for an empty column
    DataOdierna,  // the date of the run, YYYYMMDD
    Importo,      // the column as an amount in cents, 10 digits with leading zeros
    SegnoImporto, // "O" when the amount of the column is not 0, a blank when it is
    DueCifre,     // the column as a whole number from 0 to 99, 2 digits
    BloccoBanca,  // blanks when the column is "A", otherwise the bank block (BloccoBancario)
    CodaPeriodo,  // by the column: "AN" and zeros (CodaAN) or "PS" and the amounts (CodaPS)
    Conteggio,    // the record count number `colonna` (0 = "1" ... 3 = "4"), 6 digits
};

inline constexpr int Nessuna = -1;

struct Campo {
    int inizio; // position of the first character in the record, from 1
    int lunghezza;
    Tipo tipo;
    int colonna;            // export column (Conteggio: which record count)
    int seconda;            // second export column of LDueColonne
    std::string_view testo; // the text of Letterale
};

// clang-format off

// Record "1", supply header, from the first line of the main export.
inline constexpr auto Record1 = std::to_array<Campo>({
//   pos  lun  tipo                  col       2a col    testo
    {  1,   1, Tipo::Letterale,      Nessuna,  Nessuna,  "1"       },
    {  2,   8, Tipo::DataOdierna,    Nessuna,  Nessuna,  ""        },
    { 10,  10, Tipo::L,                    0,  Nessuna,  ""        },
    { 20,  11, Tipo::L,                    1,  Nessuna,  ""        },
    { 31,  35, Tipo::L,                    2,  Nessuna,  ""        },
    { 66,   4, Tipo::L,                    3,  Nessuna,  ""        },
    { 70,  55, Tipo::L,                    4,  Nessuna,  ""        },
    {125,   5, Tipo::L,                    5,  Nessuna,  ""        },
    {130,  45, Tipo::L,                    6,  Nessuna,  ""        },
    {175,  20, Tipo::L,                    7,  Nessuna,  ""        },
    {195,  20, Tipo::L,                    8,  Nessuna,  ""        },
    {215,  40, Tipo::LDueColonne,          9,       10,  ""        },
    {255,   4, Tipo::Letterale,      Nessuna,  Nessuna,  "MIVA"    },
    {259,   8, Tipo::Letterale,      Nessuna,  Nessuna,  "20080601"},
    {267,  14, Tipo::Spazi,          Nessuna,  Nessuna,  ""        },
});

// Record "2", employee, from the first line of each employee group.
inline constexpr auto Record2 = std::to_array<Campo>({
//   pos  lun  tipo                  col       2a col    testo
    {  1,   1, Tipo::Letterale,      Nessuna,  Nessuna,  "2"       },
    {  2,  10, Tipo::L,                    0,  Nessuna,  ""        },
    { 12,  11, Tipo::L,                    1,  Nessuna,  ""        },
    { 23,   9, Tipo::L,                   11,  Nessuna,  ""        },
    { 32,   8, Tipo::DataOZeri,           12,  Nessuna,  ""        },
    { 40,  16, Tipo::L,                   13,  Nessuna,  ""        },
    { 56,  26, Tipo::L,                   14,  Nessuna,  ""        },
    { 82,  26, Tipo::L,                   15,  Nessuna,  ""        },
    {108,  40, Tipo::L,                   16,  Nessuna,  ""        },
    {148,  36, Tipo::L,                   17,  Nessuna,  ""        },
    {184,   5, Tipo::L,                   18,  Nessuna,  ""        },
    {189,   4, Tipo::L,                   19,  Nessuna,  ""        },
    {193,   6, Tipo::L,                   20,  Nessuna,  ""        },
    {199,   3, Tipo::R,                   21,  Nessuna,  ""        },
    {202,   1, Tipo::Letterale,      Nessuna,  Nessuna,  "D"       },
    {203,   1, Tipo::L,                   22,  Nessuna,  ""        },
    {204,   8, Tipo::Data,                23,  Nessuna,  ""        },
    {212,   8, Tipo::Data,                24,  Nessuna,  ""        },
    {220,   1, Tipo::L,                   25,  Nessuna,  ""        },
    {221,   1, Tipo::SegnoImporto,        26,  Nessuna,  ""        },
    {222,  10, Tipo::Importo,             26,  Nessuna,  ""        },
    {232,   1, Tipo::L,                   27,  Nessuna,  ""        },
    {233,  34, Tipo::BloccoBanca,         27,  Nessuna,  ""        },
    {267,  14, Tipo::Spazi,          Nessuna,  Nessuna,  ""        },
});

// Bank block of record "2": the Italian IBAN from its parts; positions within the block.
inline constexpr auto BloccoBancario = std::to_array<Campo>({
//   pos  lun  tipo                  col       2a col    testo
    {  1,   2, Tipo::Letterale,      Nessuna,  Nessuna,  "IT"      },
    {  3,   2, Tipo::LSenzaIT,            40,  Nessuna,  ""        },
    {  5,   1, Tipo::L,                   28,  Nessuna,  ""        },
    {  6,   5, Tipo::R,                   29,  Nessuna,  ""        },
    { 11,   5, Tipo::R,                   30,  Nessuna,  ""        },
    { 16,  12, Tipo::R,                   31,  Nessuna,  ""        },
    { 28,   7, Tipo::Spazi,          Nessuna,  Nessuna,  ""        },
});

// Record "3", period, from every line of the main export.
inline constexpr auto Record3 = std::to_array<Campo>({
//   pos  lun  tipo                  col       2a col    testo
    {  1,   1, Tipo::Letterale,      Nessuna,  Nessuna,  "3"       },
    {  2,   8, Tipo::Data,                32,  Nessuna,  ""        },
    { 10,   8, Tipo::Data,                33,  Nessuna,  ""        },
    { 18,   2, Tipo::DueCifre,            34,  Nessuna,  ""        },
    { 20,   1, Tipo::Letterale,      Nessuna,  Nessuna,  "/"       },
    { 21,   2, Tipo::DueCifre,            35,  Nessuna,  ""        },
    { 23,  52, Tipo::CodaPeriodo,         36,  Nessuna,  ""        },
    { 75,  16, Tipo::Spazi,          Nessuna,  Nessuna,  ""        },
});

// Tail of record "3" when column 36 is not 0.
inline constexpr auto CodaAN = std::to_array<Campo>({
//   pos  lun  tipo                  col       2a col    testo
    { 23,   2, Tipo::Letterale,      Nessuna,  Nessuna,  "AN"        },
    { 25,  10, Tipo::Letterale,      Nessuna,  Nessuna,  "0000000000"},
    { 35,  10, Tipo::Letterale,      Nessuna,  Nessuna,  "0000000000"},
    { 45,  10, Tipo::Letterale,      Nessuna,  Nessuna,  "0000000000"},
    { 55,  10, Tipo::Letterale,      Nessuna,  Nessuna,  "0000000000"},
    { 65,  10, Tipo::Letterale,      Nessuna,  Nessuna,  "0000000000"},
});

// Tail of record "3" when column 36 is 0.
inline constexpr auto CodaPS = std::to_array<Campo>({
//   pos  lun  tipo                  col       2a col    testo
    { 23,   2, Tipo::Letterale,      Nessuna,  Nessuna,  "PS"        },
    { 25,  10, Tipo::Importo,             37,  Nessuna,  ""          },
    { 35,  10, Tipo::Importo,             38,  Nessuna,  ""          },
    { 45,  10, Tipo::Importo,             41,  Nessuna,  ""          },
    { 55,  10, Tipo::Letterale,      Nessuna,  Nessuna,  "0000000000"},
    { 65,  10, Tipo::Importo,             39,  Nessuna,  ""          },
});

// Record "4", beneficiary, from a line of the beneficiaries export.
inline constexpr auto Record4 = std::to_array<Campo>({
//   pos  lun  tipo                  col       2a col    testo
    {  1,   1, Tipo::Letterale,      Nessuna,  Nessuna,  "4"       },
    {  2,  16, Tipo::L,                    1,  Nessuna,  ""        },
    { 18,  26, Tipo::L,                    2,  Nessuna,  ""        },
    { 44,  26, Tipo::L,                    3,  Nessuna,  ""        },
    { 70,   1, Tipo::L,                    4,  Nessuna,  ""        },
    { 71,  34, Tipo::LSenzaSpazi,          5,  Nessuna,  ""        },
    {105,  16, Tipo::Spazi,          Nessuna,  Nessuna,  ""        },
});

// Record "9", trailer: the counts of records "1", "2", "3" and "4".
inline constexpr auto Record9 = std::to_array<Campo>({
//   pos  lun  tipo                  col       2a col    testo
    {  1,   1, Tipo::Letterale,      Nessuna,  Nessuna,  "9"       },
    {  2,   6, Tipo::Conteggio,            0,  Nessuna,  ""        },
    {  8,   6, Tipo::Conteggio,            1,  Nessuna,  ""        },
    { 14,   6, Tipo::Conteggio,            2,  Nessuna,  ""        },
    { 20,   6, Tipo::Conteggio,            3,  Nessuna,  ""        },
});

// clang-format on

// The fields of a table follow one another from `inizio` without gaps, each literal fits its
// field, and together they are `lunghezza` characters long.
constexpr bool Contigui(std::span<const Campo> campi, int inizio, int lunghezza) {
    int posizione = inizio;
    for (const Campo& campo : campi) {
        if (campo.inizio != posizione || campo.lunghezza <= 0)
            return false;
        if (campo.tipo == Tipo::Letterale && static_cast<int>(campo.testo.size()) != campo.lunghezza)
            return false;
        posizione += campo.lunghezza;
    }
    return posizione == inizio + lunghezza;
}

inline constexpr int LunghezzaRecord1 = 280;
inline constexpr int LunghezzaRecord2 = 280;
inline constexpr int LunghezzaRecord3 = 90;
inline constexpr int LunghezzaRecord4 = 120;
inline constexpr int LunghezzaRecord9 = 25;

// The one field of a given kind in a table.
constexpr Campo CampoDelTipo(std::span<const Campo> campi, Tipo tipo) {
    for (const Campo& campo : campi)
        if (campo.tipo == tipo)
            return campo;
    return {0, 0, tipo, Nessuna, Nessuna, ""};
}

static_assert(Contigui(Record1, 1, LunghezzaRecord1));
static_assert(Contigui(Record2, 1, LunghezzaRecord2));
static_assert(Contigui(BloccoBancario, 1, CampoDelTipo(Record2, Tipo::BloccoBanca).lunghezza));
static_assert(Contigui(Record3, 1, LunghezzaRecord3));
static_assert(Contigui(CodaAN, CampoDelTipo(Record3, Tipo::CodaPeriodo).inizio,
                       CampoDelTipo(Record3, Tipo::CodaPeriodo).lunghezza));
static_assert(Contigui(CodaPS, CampoDelTipo(Record3, Tipo::CodaPeriodo).inizio,
                       CampoDelTipo(Record3, Tipo::CodaPeriodo).lunghezza));
static_assert(Contigui(Record4, 1, LunghezzaRecord4));
static_assert(Contigui(Record9, 1, LunghezzaRecord9));

// What a field is made from: the export line (none for record "9"), the employee key named in the
// messages, the date of the run (record "1"), and the record counts (record "9").
struct Sorgente {
    const shell::RigaEsportazione* riga = nullptr;
    std::string_view dipendente;
    shell::DataOra oggi{};
    std::array<int, 4> conteggi{};
};

// The text of one field, exactly `campo.lunghezza` characters; an unreadable column or a value that
// does not fit its field stops the run, naming the line, the column and the employee.
std::string CodificaCampo(const Campo& campo, const Sorgente& sorgente);

// The fields of a table one after the other.
std::string ComponiRecord(std::span<const Campo> campi, const Sorgente& sorgente);

// The same, appended to `record`.
void AggiungiCampo(std::string& record, const Campo& campo, const Sorgente& sorgente);
void AggiungiRecord(std::string& record, std::span<const Campo> campi, const Sorgente& sorgente);

// Writes the records into the supply as they come and keeps their counts.
class FornituraTFR {
public:
    explicit FornituraTFR(shell::FileUscita& uscita) : m_uscita(uscita) {}

    void ScriviRecord1(const shell::RigaEsportazione& riga, const shell::DataOra& oggi);
    void ScriviRecord2(const shell::RigaEsportazione& riga);
    void ScriviRecord3(const shell::RigaEsportazione& riga);
    void ScriviRecord4(const shell::RigaEsportazione& beneficiario);
    void ScriviRecord9();

private:
    void Scrivi(std::span<const Campo> campi, const Sorgente& sorgente);

    shell::FileUscita& m_uscita;
    std::string m_record; // the record being made, its room kept from one record to the next
    int m_record1 = 0; // 1 once record "1" is written
    shell::Contatore16 m_record2{"record \"2\" della fornitura"};
    shell::Contatore16 m_record3{"record \"3\" della fornitura"};
    shell::Contatore16 m_record4{"record \"4\" della fornitura"};
};

} // namespace tfr
