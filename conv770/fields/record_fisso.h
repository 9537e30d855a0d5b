#pragma once
// The frame of the fixed-length records: 1,898 characters (then CR LF in the file), the record type in
// position 1, the end mark "A" in position 1898, and in records with non-positional fields the area of
// positions 90 to 1889 followed by 8 spaces.

#include "campo_posizionale.h"
#include "campo_non_posizionale.h"

#include <string>
#include <string_view>

namespace conv770::fields {

inline constexpr int LunghezzaRecord = 1898;
inline constexpr char FineRecord = 'A';
inline constexpr int InizioArea = 90;                            // first position of the area
inline constexpr int LunghezzaArea = 1800;                       // positions 90 to 1889
inline constexpr int BlocchiArea = LunghezzaArea / LunghezzaBlocco; // 75
inline constexpr int SpaziDopoArea = 8;                          // positions 1890 to 1897

static_assert(LunghezzaArea % LunghezzaBlocco == 0, "the area holds whole blocks");
static_assert(InizioArea + LunghezzaArea + SpaziDopoArea == LunghezzaRecord, "area, spaces, end mark");

// A record assembled piece by piece from position 1, as the record tables list them. Every method
// appends at the current position. A piece that does not fit the frame (past position 1897, or an
// area that does not start at position 90) and a record closed before position 1898 are faults of the
// caller's table: they throw std::logic_error.
class RecordFisso {
public:
    // Position 1: the record type ('A', 'B', 'G' ...).
    explicit RecordFisso(char tipo);
    // A copy (the common head of several records) has the room of a whole record, as the original: it
    // grows to 1,898 characters without moving. An assignment keeps the room it has.
    RecordFisso(const RecordFisso& altro);
    RecordFisso& operator=(const RecordFisso& altro) = default;

    // The position (from 1) that the next piece starts at.
    int Posizione() const { return static_cast<int>(m_testo.size()) + 1; }

    // A literal text, written unchanged ("77S11").
    RecordFisso& Letterale(std::string_view testo);
    // n spaces; n zeros.
    RecordFisso& Spazi(int n);
    RecordFisso& Zeri(int n);
    // A positional field (CampoPosizionale).
    RecordFisso& Campo(const Valore& valore, int lunghezza, TipoPosizionale tipo);
    // The same for a text and for a whole number, without a Valore: what Valore(testo) and
    // Valore(numero) give.
    RecordFisso& CampoTesto(std::string_view testo, int lunghezza, TipoPosizionale tipo);
    RecordFisso& CampoIntero(long long numero, int lunghezza, TipoPosizionale tipo);
    // At position 90: the encoded fields padded with spaces to 1,800 characters (cut at 1,800 when
    // longer), then the 8 spaces of positions 1890-1897.
    RecordFisso& AreaNonPosizionale(std::string_view campi);

    // Appends the end mark at position 1898 and gives the whole record (without line end).
    const std::string& Chiudi();

private:
    void Aggiungi(std::string_view testo);
    void Aggiungi(int n, char carattere);
    // Throws unless `n` more characters fit before position 1898.
    void Spazio(std::size_t n) const;

    std::string m_testo;
    bool m_chiuso = false;
};

} // namespace conv770::fields
