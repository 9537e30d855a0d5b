#include "fornitura770.h"

#include "conversioni.h"
#include "quadri.h"
#include "record_fisso.h"
#include "regole.h"
#include "testo.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace conv770 {

namespace {

using fields::RecordFisso;
using fields::TipoPosizionale;

// One piece of a positional record, at its position (from 1) with its length.
enum class P {
    Letterale, // the text, unchanged
    Spazi,     // spaces
    Zeri,      // zeros
    X,         // X of the column
    XCifre,    // X of the digits of the column (shell::SoloCifre)
    N,         // N of the column's text
    NSemplice, // N of the plain reading of the column (shell::ValoreSemplice)
    NFisso,    // N of the number in `testo`
    DT,        // DT of the column
    NRighe,    // N of the number of lines of the export
    NModuli,   // N of the employee module count
    NRecordJ,  // N of the J record count
};

struct Pezzo {
    int posizione;
    int lunghezza;
    P tipo;
    int colonna;
    std::string_view testo;
};

// clang-format off
constexpr std::array RecordTipoA{
//        pos   lung  contenuto     col      testo
    Pezzo{   1,    1, P::Letterale, Nessuna, "A"},
    Pezzo{   2,   14, P::Spazi,     Nessuna, ""},
    Pezzo{  16,    5, P::Letterale, Nessuna, "77S11"},
    Pezzo{  21,    2, P::Letterale, Nessuna, "06"},
    Pezzo{  23,   16, P::X,               0, ""},
    Pezzo{  39,  483, P::Spazi,     Nessuna, ""},
    Pezzo{ 522,    4, P::Letterale, Nessuna, "0000"},
    Pezzo{ 526,    4, P::Letterale, Nessuna, "0000"},
    Pezzo{ 530,  100, P::Spazi,     Nessuna, ""},
    Pezzo{ 630, 1068, P::Spazi,     Nessuna, ""},
    Pezzo{1698,  200, P::Spazi,     Nessuna, ""},
    Pezzo{1898,    1, P::Letterale, Nessuna, "A"},
};

constexpr std::array RecordTipoB{
//        pos   lung  contenuto     col      testo
    Pezzo{   1,    1, P::Letterale, Nessuna, "B"},
    Pezzo{   2,   16, P::X,               0, ""},
    Pezzo{  18,    8, P::NFisso,    Nessuna, "1"},
    Pezzo{  26,    3, P::Spazi,     Nessuna, ""},
    Pezzo{  29,   25, P::Spazi,     Nessuna, ""},
    Pezzo{  54,   20, P::Spazi,     Nessuna, ""},
    Pezzo{  74,   16, P::X,               1, ""},
    Pezzo{  90,    1, P::Letterale, Nessuna, "1"},
    Pezzo{  91,    4, P::Letterale, Nessuna, "0000"},
    Pezzo{  95,   24, P::Spazi,     Nessuna, ""},
    Pezzo{ 119,   20, P::Spazi,     Nessuna, ""},
    Pezzo{ 139,   60, P::X,               2, ""},
    Pezzo{ 199,   13, P::Spazi,     Nessuna, ""},
    Pezzo{ 212,    6, P::X,               3, ""},
    Pezzo{ 218,  100, P::X,               4, ""},
    Pezzo{ 318,   12, P::XCifre,          5, ""},
    Pezzo{ 330,   12, P::XCifre,          6, ""},
    Pezzo{ 342,   42, P::Spazi,     Nessuna, ""},
    Pezzo{ 384,    8, P::Zeri,      Nessuna, ""},
    Pezzo{ 392,   43, P::Spazi,     Nessuna, ""},
    Pezzo{ 435,    5, P::Zeri,      Nessuna, ""},
    Pezzo{ 440,   39, P::Spazi,     Nessuna, ""},
    Pezzo{ 479,    8, P::Zeri,      Nessuna, ""},
    Pezzo{ 487,    2, P::NSemplice,       7, ""},
    Pezzo{ 489,    6, P::Zeri,      Nessuna, ""},
    Pezzo{ 495,   40, P::X,               8, ""},
    Pezzo{ 535,    2, P::N,               9, ""},
    Pezzo{ 537,    5, P::X,              10, ""},
    Pezzo{ 542,    4, P::X,              11, ""},
    Pezzo{ 546,   35, P::X,              12, ""},
    Pezzo{ 581,    6, P::Zeri,      Nessuna, ""},
    Pezzo{ 587,   42, P::Spazi,     Nessuna, ""},
    Pezzo{ 629,    5, P::Zeri,      Nessuna, ""},
    Pezzo{ 634,   39, P::Spazi,     Nessuna, ""},
    Pezzo{ 673,    2, P::Letterale, Nessuna, "16"},
    Pezzo{ 675,   11, P::Zeri,      Nessuna, ""},
    Pezzo{ 686,   60, P::Spazi,     Nessuna, ""},
    Pezzo{ 746,    1, P::Letterale, Nessuna, "1"},
    Pezzo{ 747,   16, P::Spazi,     Nessuna, ""},
    Pezzo{ 763,    2, P::Letterale, Nessuna, "00"},
    Pezzo{ 765,   16, P::Spazi,     Nessuna, ""},
    Pezzo{ 781,    1, P::Letterale, Nessuna, "0"},
    Pezzo{ 782,   15, P::Spazi,     Nessuna, ""},
    Pezzo{ 797,    1, P::Letterale, Nessuna, "1"},
    Pezzo{ 798,    8, P::NRighe,    Nessuna, ""},
    Pezzo{ 806,    8, P::NFisso,    Nessuna, "0"},
    Pezzo{ 814,    1, P::Letterale, Nessuna, "1"},
    Pezzo{ 815,    5, P::Letterale, Nessuna, "00000"},
    Pezzo{ 820,   16, P::Spazi,     Nessuna, ""},
    Pezzo{ 836,   44, P::Zeri,      Nessuna, ""},
    Pezzo{ 880,  300, P::Spazi,     Nessuna, ""},
    Pezzo{1180,    2, P::Letterale, Nessuna, "00"},
    Pezzo{1182,    4, P::Spazi,     Nessuna, ""},
    Pezzo{1186,    5, P::Zeri,      Nessuna, ""},
    Pezzo{1191,  119, P::Spazi,     Nessuna, ""},
    Pezzo{1310,    3, P::Zeri,      Nessuna, ""},
    Pezzo{1313,   83, P::Spazi,     Nessuna, ""},
    Pezzo{1396,   16, P::X,              13, ""},
    Pezzo{1412,    2, P::Letterale, Nessuna, "01"},
    Pezzo{1414,    8, P::Zeri,      Nessuna, ""},
    Pezzo{1422,   71, P::Spazi,     Nessuna, ""},
    Pezzo{1493,   24, P::X,              14, ""},
    Pezzo{1517,   20, P::X,              15, ""},
    Pezzo{1537,    1, P::X,              16, ""},
    Pezzo{1538,    8, P::DT,             17, ""},
    Pezzo{1546,   40, P::X,              18, ""},
    Pezzo{1586,    2, P::X,              19, ""},
    Pezzo{1588,    3, P::Zeri,      Nessuna, ""},
    Pezzo{1591,   95, P::Spazi,     Nessuna, ""},
    Pezzo{1686,    8, P::Zeri,      Nessuna, ""},
    Pezzo{1694,   11, P::Zeri,      Nessuna, ""},
    Pezzo{1705,   10, P::Spazi,     Nessuna, ""},
    Pezzo{1715,    2, P::Letterale, Nessuna, "00"},
    Pezzo{1717,   16, P::Spazi,     Nessuna, ""},
    Pezzo{1733,   14, P::Zeri,      Nessuna, ""},
    Pezzo{1747,    1, P::Letterale, Nessuna, "0"},
    Pezzo{1748,   16, P::Spazi,     Nessuna, ""},
    Pezzo{1764,   11, P::Zeri,      Nessuna, ""},
    Pezzo{1775,   16, P::Spazi,     Nessuna, ""},
    Pezzo{1791,    1, P::Letterale, Nessuna, "0"},
    Pezzo{1792,   86, P::Spazi,     Nessuna, ""},
    Pezzo{1878,    1, P::Letterale, Nessuna, "0"},
    Pezzo{1879,   19, P::Spazi,     Nessuna, ""},
    Pezzo{1898,    1, P::Letterale, Nessuna, "A"},
};

// Heads of records G and J (positions 1 to 89); the non-positional area follows.
constexpr std::array TestaTipoG{
//        pos   lung  contenuto     col      testo
    Pezzo{   1,    1, P::Letterale, Nessuna, "G"},
    Pezzo{   2,   16, P::X,               0, ""},
    Pezzo{  18,    8, P::NModuli,   Nessuna, ""},
    Pezzo{  26,    3, P::Spazi,     Nessuna, ""},
    Pezzo{  29,    1, P::Spazi,     Nessuna, ""},
    Pezzo{  30,   16, P::X,              20, ""},
    Pezzo{  46,    8, P::Spazi,     Nessuna, ""},
    Pezzo{  54,   20, P::Spazi,     Nessuna, ""},
    Pezzo{  74,   16, P::X,               1, ""},
};

constexpr std::array TestaTipoJ{
//        pos   lung  contenuto     col      testo
    Pezzo{   1,    1, P::Letterale, Nessuna, "J"},
    Pezzo{   2,   16, P::X,               0, ""},
    Pezzo{  18,    8, P::NRecordJ,  Nessuna, ""},
    Pezzo{  26,    3, P::Spazi,     Nessuna, ""},
    Pezzo{  29,    1, P::Spazi,     Nessuna, ""},
    Pezzo{  30,   24, P::Spazi,     Nessuna, ""},
    Pezzo{  54,   20, P::Spazi,     Nessuna, ""},
    Pezzo{  74,   16, P::X,               1, ""},
};

// Every count of record Z is 9 digits with leading zeros.
constexpr std::array RecordTipoZ{
//        pos   lung  contenuto     col      testo
    Pezzo{   1,    1, P::Letterale, Nessuna, "Z"},
    Pezzo{   2,   14, P::Spazi,     Nessuna, ""},
    Pezzo{  16,    9, P::NFisso,    Nessuna, "1"},
    Pezzo{  25,    9, P::NFisso,    Nessuna, "0"},
    Pezzo{  34,    9, P::NFisso,    Nessuna, "0"},
    Pezzo{  43,    9, P::NFisso,    Nessuna, "0"},
    Pezzo{  52,    9, P::NModuli,   Nessuna, ""},
    Pezzo{  61,    9, P::NFisso,    Nessuna, "0"},
    Pezzo{  70,    9, P::NRecordJ,  Nessuna, ""},
    Pezzo{  79, 1819, P::Spazi,     Nessuna, ""},
    Pezzo{1898,    1, P::Letterale, Nessuna, "A"},
};

// The fields of record J: quadro SS, row 002, the total of the same number as the column code,
// type NP, its whole part rounded down.
struct TotaleJ {
    std::string_view colonna;
    int totale;
};
constexpr std::array CampiRecordJ{
    TotaleJ{"001",  1},
    TotaleJ{"002",  2},
    TotaleJ{"009",  9},
    TotaleJ{"015", 15},
    TotaleJ{"016", 16},
    TotaleJ{"017", 17},
    TotaleJ{"018", 18},
    TotaleJ{"019", 19},
    TotaleJ{"020", 20},
};
// clang-format on

// The pieces follow one another without gap or overlap from position 1 (the type letter) to `fine`;
// a complete record ends with the end mark in position 1898.
template <std::size_t N> constexpr bool Contiguo(const std::array<Pezzo, N>& tabella, int fine) {
    if (tabella[0].posizione != 1 || tabella[0].tipo != P::Letterale || tabella[0].testo.size() != 1)
        return false;
    for (std::size_t i = 0; i < N; ++i) {
        const Pezzo& p = tabella[i];
        if (i > 0 && p.posizione != tabella[i - 1].posizione + tabella[i - 1].lunghezza)
            return false;
        if (p.lunghezza < 1 || (p.tipo == P::Letterale && p.testo.size() != static_cast<std::size_t>(p.lunghezza)))
            return false;
        const bool conColonna = p.tipo == P::X || p.tipo == P::XCifre || p.tipo == P::N ||
                                p.tipo == P::NSemplice || p.tipo == P::DT;
        if (conColonna != (p.colonna != Nessuna))
            return false;
    }
    const Pezzo& ultimo = tabella[N - 1];
    return ultimo.posizione + ultimo.lunghezza - 1 == fine;
}
template <std::size_t N> constexpr bool RecordCompleto(const std::array<Pezzo, N>& tabella) {
    const Pezzo& ultimo = tabella[N - 1];
    return Contiguo(tabella, fields::LunghezzaRecord) && ultimo.tipo == P::Letterale && ultimo.testo == "A";
}

static_assert(RecordCompleto(RecordTipoA));
static_assert(RecordCompleto(RecordTipoB));
static_assert(RecordCompleto(RecordTipoZ));
static_assert(Contiguo(TestaTipoG, fields::InizioArea - 1));
static_assert(Contiguo(TestaTipoJ, fields::InizioArea - 1));

struct Dati {
    const shell::RigaEsportazione* riga = nullptr;
    int righe = 0;
    int moduli = 0;
    int recordJ = 0;
};

// Appends the pieces after the type letter, up to the end mark or the end of the table. A date
// column that is filled but not a date is written as zeros and named in `avvisi`.
void Componi(RecordFisso& record, std::span<const Pezzo> tabella, const Dati& dati, std::vector<std::string>& avvisi) {
    for (const Pezzo& p : tabella.subspan(1)) {
        if (p.posizione == fields::LunghezzaRecord)
            break; // the end mark, which Chiudi writes
        switch (p.tipo) {
        case P::Letterale:
            record.Letterale(p.testo);
            break;
        case P::Spazi:
            record.Spazi(p.lunghezza);
            break;
        case P::Zeri:
            record.Zeri(p.lunghezza);
            break;
        case P::X:
            record.CampoTesto((*dati.riga)[p.colonna], p.lunghezza, TipoPosizionale::X);
            break;
        case P::XCifre:
            record.CampoTesto(shell::SoloCifre((*dati.riga)[p.colonna]), p.lunghezza, TipoPosizionale::X);
            break;
        case P::N:
            record.CampoTesto((*dati.riga)[p.colonna], p.lunghezza, TipoPosizionale::N);
            break;
        case P::NSemplice:
            record.Campo(dati.riga->Semplice(p.colonna), p.lunghezza, TipoPosizionale::N);
            break;
        case P::NFisso:
            record.CampoTesto(p.testo, p.lunghezza, TipoPosizionale::N);
            break;
        case P::DT: {
            const std::string_view testo = (*dati.riga)[p.colonna];
            if (!shell::TogliSpazi(testo).empty() && !fields::DataPosizionaleValida(testo))
                avvisi.push_back("Riga " + std::to_string(dati.riga->Numero()) + ", colonna " +
                                 std::to_string(p.colonna) + ": data non valida '" + std::string(testo) +
                                 "', scritta come " +
                                 std::string(static_cast<std::size_t>(p.lunghezza), '0'));
            record.Campo(testo, p.lunghezza, TipoPosizionale::DT);
            break;
        }
        case P::NRighe:
            record.CampoIntero(dati.righe, p.lunghezza, TipoPosizionale::N);
            break;
        case P::NModuli:
            record.CampoIntero(dati.moduli, p.lunghezza, TipoPosizionale::N);
            break;
        case P::NRecordJ:
            record.CampoIntero(dati.recordJ, p.lunghezza, TipoPosizionale::N);
            break;
        }
    }
}

template <std::size_t N> RecordFisso Inizia(const std::array<Pezzo, N>& tabella) {
    return RecordFisso(tabella[0].testo.front());
}

// "C.F.: " and the employee's tax code, surname and first name, as the log and the message box name
// the employee.
void AggiungiDipendente(std::string& testo, const shell::RigaEsportazione& riga) {
    testo.append("C.F.: ").append(riga[20]).append(" - ").append(riga[21]).append(" ").append(riga[22]);
}
std::string Dipendente(const shell::RigaEsportazione& riga) {
    std::string testo;
    AggiungiDipendente(testo, riga);
    return testo;
}

} // namespace

Fornitura770::Fornitura770(shell::FileUscita& uscita, shell::ContestoElaborazione& contesto, int righeEsportazione)
    : m_uscita(uscita), m_contesto(contesto), m_righeEsportazione(righeEsportazione) {}

void Fornitura770::Scrivi(const std::string& record, std::string_view messaggio) {
    m_uscita.ScriviRiga(record);
    if (!messaggio.empty())
        m_contesto.ScriviMessaggio(messaggio);
}

void Fornitura770::RecordA(const shell::RigaEsportazione& riga) {
    std::vector<std::string> avvisi;
    RecordFisso record = Inizia(RecordTipoA);
    Componi(record, RecordTipoA, {&riga}, avvisi);
    Scrivi(record.Chiudi(), "Generazione Record Tipo A - Intestazione Fornitura");
}

void Fornitura770::RecordB(const shell::RigaEsportazione& riga) {
    std::vector<std::string> avvisi;
    RecordFisso record = Inizia(RecordTipoB);
    Componi(record, RecordTipoB, {&riga, m_righeEsportazione}, avvisi);
    Scrivi(record.Chiudi(), "Generazione Record Tipo B - Frontespizio");
    for (const auto& avviso : avvisi)
        m_contesto.ScriviMessaggio(avviso);
}

void Fornitura770::ScriviRecordG(const shell::RigaEsportazione& riga) {
    const int modulo = m_moduli.Incrementa();

    std::string& area = m_area;
    area.clear();
    std::string mancanti;
    CampiQuadroDA(riga, area, mancanti);
    CampiQuadroDB(riga, area, m_totali);
    CampiQuadroDC(riga, area);

    // One record per 1,800 characters of fields, at least one; all with the same head.
    std::vector<std::string> avvisi;
    RecordFisso testa = Inizia(TestaTipoG);
    Componi(testa, TestaTipoG, {&riga, 0, modulo}, avvisi);
    const std::size_t quanti = area.empty() ? 1 : (area.size() + fields::LunghezzaArea - 1) / fields::LunghezzaArea;
    RecordFisso record = testa;
    for (std::size_t i = 0; i < quanti; ++i) {
        if (i > 0)
            record = testa; // in the room of the record before
        const std::string_view parte = std::string_view(area).substr(std::min(area.size(), i * fields::LunghezzaArea),
                                                                     fields::LunghezzaArea);
        Scrivi(record.AreaNonPosizionale(parte).Chiudi(), "");
    }

    std::string& messaggio = m_messaggio;
    messaggio.assign("Generazione Record Tipo G - Comunicazione dati certificazioni lavoro dipendente ");
    AggiungiDipendente(messaggio, riga);
    m_contesto.ScriviMessaggio(messaggio);
    if (quanti > 2)
        m_contesto.ScriviMessaggio("I dati del dipendente con " + Dipendente(riga) + " occupano " +
                                   std::to_string(quanti) + " record di Tipo G");
    if (!mancanti.empty())
        m_contesto.Avviso("Errori sul dipendente con " + Dipendente(riga) + "\r\n\r\n" + mancanti, false);
}

void Fornitura770::RecordJ(const shell::RigaEsportazione& ultimaRiga) {
    const int recordJ = m_recordJ.Incrementa();
    std::string area;
    for (const TotaleJ& campo : CampiRecordJ) {
        const ImportoEsatto& totale = m_totali[static_cast<std::size_t>(campo.totale)];
        area += fields::CampoNonPosizionale("SS", "002", campo.colonna, static_cast<long long>(totale.ParteIntera()),
                                            fields::Tipo::NP);
    }
    std::vector<std::string> avvisi;
    RecordFisso record = Inizia(TestaTipoJ);
    Componi(record, TestaTipoJ, {&ultimaRiga, 0, 0, recordJ}, avvisi);
    Scrivi(record.AreaNonPosizionale(area).Chiudi(), "Generazione Record Tipo J - Prospetto SS Riepilogo");
}

void Fornitura770::RecordZ() {
    std::vector<std::string> avvisi;
    RecordFisso record = Inizia(RecordTipoZ);
    Componi(record, RecordTipoZ, {nullptr, 0, m_moduli.Valore(), m_recordJ.Valore()}, avvisi);
    Scrivi(record.Chiudi(), "Generazione Record Tipo Z - Riepilogo");
}

} // namespace conv770
