#pragma once
// The records of the TFR supply: "1" header, "2" employee, "3" period, "4" beneficiary, "9" trailer.
// Every record is a table of pieces, one row per field in the order of the record, on the layouts of
// the fixed-length records (tracciati/tracciato.h); the same tables write the records and read
// them back.

#include "shell/contatore.h"
#include "shell/contesto.h"
#include "shell/esportazione.h"
#include "tracciati/tracciato.h"
#include "shell/uscita.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tfr {

using tracciati::Nessuna;

// The numbers of records that record "9" counts (tracciati::Fonte::contatori).
enum NumeroTFR : int { ContoRecord1, ContoRecord2, ContoRecord3, ContoRecord4, NumeriTFR };

// The kinds of piece of the TFR records only; L is the common X.
enum class ProprioTFR : std::uint8_t {
    R,                 // the column, padded with blanks at the left, cut at the left
    LColonnaESeguente, // the column, a blank and the next column, as L
    LSenzaSpazi,       // the column with every blank removed, as L
    LSenzaIT,          // the column with every "IT" removed, as L (the IBAN check digits)
    Data,              // the column as a day/month/year date, written yyyymmdd; another text stops the run
    DataOZeri,         // as Data, but "00000000" for an empty column
    DataOdierna,       // the date of the run, yyyymmdd
    Importo,           // the column as an amount in cents, 10 digits with leading zeros
    SegnoImporto,      // "O" when the amount of the column is not 0, a blank when it is
    DueCifre,          // the column as a whole number from 0 to 99, 2 digits
    BloccoBanca,       // blanks when the column is "A", otherwise the bank block (BloccoBancario)
    CodaPeriodo,       // by the column: "AN" and zeros (CodaAN) or "PS" and the amounts (CodaPS)
};

inline constexpr int LunghezzaRecord1 = 280;
inline constexpr int LunghezzaRecord2 = 280;
inline constexpr int LunghezzaRecord3 = 90;
inline constexpr int LunghezzaRecord4 = 120;
inline constexpr int LunghezzaRecord9 = 25;

// clang-format off
namespace tabelleTFR {
using enum tracciati::Comune;
using enum ProprioTFR;
using enum tracciati::Rigore;

// Record "1", supply header, from the first line of the main export.
inline constexpr auto Record1 = std::to_array<tracciati::Pezzo>({
//   pos  lung  genere             col      testo
    {  1,   1, Letterale,          Nessuna, "1"},
    {  2,   8, DataOdierna},
    { 10,  10, X,                        0},
    { 20,  11, X,                        1},
    { 31,  35, X,                        2},
    { 66,   4, X,                        3},
    { 70,  55, X,                        4},
    {125,   5, X,                        5},
    {130,  45, X,                        6},
    {175,  20, X,                        7},
    {195,  20, X,                        8},
    {215,  40, LColonnaESeguente,        9}, // column 9, a blank, column 10
    {255,   4, Letterale,          Nessuna, "MIVA",       {}, Stretto}, // the supply's kind
    {259,   8, Letterale,          Nessuna, "20080601",   {}, Stretto}, // and version
    {267,  14, Spazi,              Nessuna, {},           {}, Stretto},
});

// Record "2", employee, from the first line of each employee group.
inline constexpr auto Record2 = std::to_array<tracciati::Pezzo>({
//   pos  lung  genere             col      testo
    {  1,   1, Letterale,          Nessuna, "2"},
    {  2,  10, X,                        0},
    { 12,  11, X,                        1},
    { 23,   9, X,                       11},
    { 32,   8, DataOZeri,               12},
    { 40,  16, X,                       13},
    { 56,  26, X,                       14},
    { 82,  26, X,                       15},
    {108,  40, X,                       16},
    {148,  36, X,                       17},
    {184,   5, X,                       18},
    {189,   4, X,                       19},
    {193,   6, X,                       20},
    {199,   3, R,                       21},
    {202,   1, Letterale,          Nessuna, "D"},
    {203,   1, X,                       22},
    {204,   8, Data,                    23},
    {212,   8, Data,                    24},
    {220,   1, X,                       25},
    {221,   1, SegnoImporto,            26},
    {222,  10, Importo,                 26},
    {232,   1, X,                       27},
    {233,  34, BloccoBanca,             27},
    {267,  14, Spazi,              Nessuna, {},           {}, Stretto},
});

// Bank block of record "2", positions 233-266 (1-34 of the block): the Italian IBAN from its parts.
inline constexpr auto BloccoBancario = std::to_array<tracciati::Pezzo>({
//   pos  lung  genere             col      testo
    {233,   2, Letterale,          Nessuna, "IT",         {}, Stretto},
    {235,   2, LSenzaIT,                40},
    {237,   1, X,                       28},
    {238,   5, R,                       29},
    {243,   5, R,                       30},
    {248,  12, R,                       31},
    {260,   7, Spazi,              Nessuna, {},           {}, Stretto},
});

// The same positions without a bank block (payment "A").
inline constexpr auto SenzaBanca = std::to_array<tracciati::Pezzo>({
//   pos  lung  genere             col      testo
    {233,  34, Spazi,              Nessuna, {},           {}, Stretto},
});

// Record "3", period, from every line of the main export.
inline constexpr auto Record3 = std::to_array<tracciati::Pezzo>({
//   pos  lung  genere             col      testo
    {  1,   1, Letterale,          Nessuna, "3"},
    {  2,   8, Data,                    32},
    { 10,   8, Data,                    33},
    { 18,   2, DueCifre,                34},
    { 20,   1, Letterale,          Nessuna, "/",          {}, Stretto},
    { 21,   2, DueCifre,                35},
    { 23,  52, CodaPeriodo,             36},
    { 75,  16, Spazi,              Nessuna, {},           {}, Stretto},
});

// Tail of record "3" when column 36 is not 0.
inline constexpr auto CodaAN = std::to_array<tracciati::Pezzo>({
//   pos  lung  genere             col      testo
    { 23,   2, Letterale,          Nessuna, "AN"},
    { 25,  10, Letterale,          Nessuna, "0000000000", {}, Stretto},
    { 35,  10, Letterale,          Nessuna, "0000000000", {}, Stretto},
    { 45,  10, Letterale,          Nessuna, "0000000000", {}, Stretto},
    { 55,  10, Letterale,          Nessuna, "0000000000", {}, Stretto},
    { 65,  10, Letterale,          Nessuna, "0000000000", {}, Stretto},
});

// Tail of record "3" when column 36 is 0.
inline constexpr auto CodaPS = std::to_array<tracciati::Pezzo>({
//   pos  lung  genere             col      testo
    { 23,   2, Letterale,          Nessuna, "PS"},
    { 25,  10, Importo,                 37, {}, {}, Stretto},
    { 35,  10, Importo,                 38, {}, {}, Stretto},
    { 45,  10, Importo,                 41, {}, {}, Stretto},
    { 55,  10, Letterale,          Nessuna, "0000000000", {}, Stretto},
    { 65,  10, Importo,                 39, {}, {}, Stretto},
});

// Record "4", beneficiary, from a line of the beneficiaries export.
inline constexpr auto Record4 = std::to_array<tracciati::Pezzo>({
//   pos  lung  genere             col      testo
    {  1,   1, Letterale,          Nessuna, "4"},
    {  2,  16, X,                        1},
    { 18,  26, X,                        2},
    { 44,  26, X,                        3},
    { 70,   1, X,                        4},
    { 71,  34, LSenzaSpazi,              5},
    {105,  16, Spazi,              Nessuna, {},           {}, Stretto},
});

// Record "9", trailer: the counts of records "1", "2", "3" and "4".
inline constexpr auto Record9 = std::to_array<tracciati::Pezzo>({
//   pos  lung  genere             col      testo
    {  1,   1, Letterale,          Nessuna, "9"},
    {  2,   6, Contatore,     ContoRecord1},
    {  8,   6, Contatore,     ContoRecord2},
    { 14,   6, Contatore,     ContoRecord3},
    { 20,   6, Contatore,     ContoRecord4},
});

inline constexpr const tracciati::Pezzo& Banca = tracciati::DelGenere(Record2, BloccoBanca);
inline constexpr const tracciati::Pezzo& Coda = tracciati::DelGenere(Record3, CodaPeriodo);

static_assert(tracciati::RecordCompleto(Record1, LunghezzaRecord1));
static_assert(tracciati::RecordCompleto(Record2, LunghezzaRecord2));
static_assert(tracciati::PezziContigui(BloccoBancario, Banca.posizione, tracciati::UltimaPosizione(Banca)));
static_assert(tracciati::PezziContigui(SenzaBanca, Banca.posizione, tracciati::UltimaPosizione(Banca)));
static_assert(tracciati::RecordCompleto(Record3, LunghezzaRecord3));
static_assert(tracciati::PezziContigui(CodaAN, Coda.posizione, tracciati::UltimaPosizione(Coda)));
static_assert(tracciati::PezziContigui(CodaPS, Coda.posizione, tracciati::UltimaPosizione(Coda)));
static_assert(tracciati::RecordCompleto(Record4, LunghezzaRecord4));
static_assert(tracciati::RecordCompleto(Record9, LunghezzaRecord9));
} // namespace tabelleTFR
// clang-format on

// The TFR kinds, written and read. A writer knows the date of the run (record "1") and the employee
// key that the messages of a value that cannot be written name; a reader needs neither.
class GancioTFR : public tracciati::Gancio {
public:
    GancioTFR() = default;
    GancioTFR(const shell::DataOra& oggi, std::string_view dipendente) : m_oggi(oggi), m_dipendente(dipendente) {}

    std::span<const tracciati::Pezzo> Scelta(const tracciati::Pezzo& pezzo,
                                             const tracciati::Fonte& fonte) const override;
    tracciati::Valore Valuta(const tracciati::Pezzo& pezzo, const tracciati::Fonte& fonte,
                             std::string& appoggio) const override;
    void Scrivi(std::string& record, const tracciati::Pezzo& pezzo, const tracciati::Valore& valore) const override;
    std::span<const tracciati::Pezzo> SceltaLetta(const tracciati::Pezzo& pezzo,
                                                  std::string_view record) const override;
    tracciati::Lettura Leggi(const tracciati::Pezzo& pezzo, std::string_view testo) const override;

private:
    [[noreturn]] void ErroreValore(const tracciati::Fonte& fonte, int colonna, const std::string& descrizione) const;
    long long Centesimi(const tracciati::Fonte& fonte, int colonna) const;

    shell::DataOra m_oggi{};
    std::string_view m_dipendente;
};

// The layouts of the supply.
const tracciati::Tracciato& TracciatoTFR();

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
    void Scrivi(std::span<const tracciati::Pezzo> tabella, const tracciati::Fonte& fonte, const GancioTFR& gancio);

    shell::FileUscita& m_uscita;
    std::string m_record; // the record being made, its room kept from one record to the next
    int m_record1 = 0;    // 1 once record "1" is written
    shell::Contatore16 m_record2{"record \"2\" della fornitura"};
    shell::Contatore16 m_record3{"record \"3\" della fornitura"};
    shell::Contatore16 m_record4{"record \"4\" della fornitura"};
};

} // namespace tfr
