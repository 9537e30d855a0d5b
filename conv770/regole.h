#pragma once
// The vocabulary of the record G field tables: the tests that decide whether a field is written
// (filled, non-zero amount, ...) and the forms in which a column becomes a field's value (text, whole
// amount, ...), evaluated in one place.

#include "shell/errore.h"
#include "shell/esportazione.h"
#include "tracciati/tracciato.h"

#include <array>
#include <bitset>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace conv770 {

// A field without a column of its own (fixed texts), or a rule without a column.
using tracciati::Nessuna;

// Tests on one column of the line (upper case, blanks kept).
enum class Prova {
    Sempre,             // always
    Riempita,           // filled: the column without its leading and trailing spaces is not empty
    NonZero,            // non-zero amount: filled, and shell::ValoreNumerico is not 0
    NonZeroSemplice,    // non-zero plain number: filled, and shell::ValoreSemplice is not 0
    NonZeroArrotondato, // non-zero rounded amount: filled, and ValoreNumerico rounded (halves to even) is not 0
};

struct Regola {
    Prova prova = Prova::Sempre;
    int colonna = Nessuna;

    friend constexpr bool operator==(const Regola&, const Regola&) = default;
};

inline constexpr Regola Sempre{};
constexpr Regola Riempita(int colonna) { return {Prova::Riempita, colonna}; }
constexpr Regola NonZero(int colonna) { return {Prova::NonZero, colonna}; }
constexpr Regola NonZeroSemplice(int colonna) { return {Prova::NonZeroSemplice, colonna}; }
constexpr Regola NonZeroArrotondato(int colonna) { return {Prova::NonZeroArrotondato, colonna}; }

// How the field's column becomes the value handed to the encoder.
enum class Forma {
    Testo,              // text: the column itself, not trimmed
    ImportoIntero,      // whole amount: ValoreNumerico rounded down (12.99 gives 12, -0.5 gives -1)
    ImportoArrotondato, // rounded amount: ValoreNumerico rounded, halves to even (2.5 gives 2)
    Importo,            // amount: ValoreNumerico, fraction included
    NumeroSemplice,     // plain number: ValoreSemplice ("12,5" gives 12)
    Data,               // date: day/month/year; a blank column gives no field
    Fisso,              // the row's fixed text
    // Forms of single fields:
    ProvinciaNascita, // "EE" when the trimmed column is longer than 2 characters, else the text
    TestoOAltra,      // the text when the `scelta` column is filled, else the text of the `altra` column
    Migliaia,         // thousands of N: N / 1000 rounded, halves to even (16-bit)
    RestoMigliaia,    // N - 1000 x thousands, rounded the same way
    ArrotondatoOUno,  // the rounded amount when it is not 0, else 1 (see Campo::altra)
};

// How the number N of Migliaia and RestoMigliaia is read.
enum class LetturaN { Semplice, Italiana };

// One field as the tables describe it, ready to be evaluated.
struct Campo {
    std::string_view codice; // the whole code: quadro, row and column, "DA001002", "DC002A22"
    tracciati::Tipo tipo;
    int colonna;   // the column of the value
    Regola quando; // written when this holds
    Regola anche;  // ...and this too
    Forma forma;
    int scelta = Nessuna;        // TestoOAltra: the column whose filling chooses the field's own column
    int altra = Nessuna;         // TestoOAltra: the other column; ArrotondatoOUno: the column that, as a
                                 // non-zero rounded amount, makes the field 1 when its own column does not
                                 // write it
    std::string_view fisso = {}; // Fisso: the text
    LetturaN lettura = LetturaN::Italiana;
};

// The columns of one employee line as the rules read them. A column can be replaced by a text for the
// rest of the line (quadro DC puts "00000" into a blank column); every reading sees the replacement.
class Colonne {
public:
    explicit Colonne(const shell::RigaEsportazione& riga)
        : m_riga(riga), m_colonne(riga.TutteLeColonne()), m_quante(riga.Colonne()) {}

    const shell::RigaEsportazione& Riga() const { return m_riga; }
    std::string_view Testo(int colonna) const {
        if (!m_sostituite.empty() && (colonna < 0 || colonna >= ColonneRicordate || Segnata(m_sostituita, colonna)))
            if (const std::string* sostituita = Sostituita(colonna))
                return *sostituita;
        if (colonna < 0 || static_cast<std::size_t>(colonna) >= m_quante)
            return m_riga[colonna]; // stops the run: the column is missing
        return m_colonne[colonna];
    }
    bool Riempita(int colonna) const {
        for (const char c : Testo(colonna))
            if (c != ' ')
                return true;
        return false;
    }
    // The readings of the export (shell::ValoreNumerico, ValoreSemplice, LeggiData): a text that
    // cannot be read stops the run, naming line, column and text.
    double Importo(int colonna) const {
        // A rule and the value of its field read the same column: it is read once.
        if (Segnata(m_importiLetti, colonna))
            return m_importi[static_cast<std::size_t>(colonna)];
        return LeggiImporto(colonna);
    }
    double Semplice(int colonna) const {
        if (Segnata(m_sempliciLetti, colonna))
            return m_semplici[static_cast<std::size_t>(colonna)];
        return LeggiSemplice(colonna);
    }
    shell::Data Data(int colonna) const;

    void Sostituisci(int colonna, std::string testo);

private:
    const std::string* Sostituita(int colonna) const;
    double LeggiImporto(int colonna) const;
    double LeggiSemplice(int colonna) const;

    // The columns that the tables read are below 256: for those, what was read and what replaced is
    // marked by column.
    static constexpr int ColonneRicordate = 256;
    static bool Segnata(const std::bitset<ColonneRicordate>& segni, int colonna) {
        return colonna >= 0 && colonna < ColonneRicordate && segni[static_cast<std::size_t>(colonna)];
    }

    const shell::RigaEsportazione& m_riga;
    const std::string_view* m_colonne; // the line's columns, m_quante of them
    std::size_t m_quante;
    std::vector<std::pair<int, std::string>> m_sostituite;
    std::bitset<ColonneRicordate> m_sostituita; // the columns in m_sostituite below 256
    // The amounts and plain numbers read so far, by column.
    mutable std::array<double, ColonneRicordate> m_importi;
    mutable std::bitset<ColonneRicordate> m_importiLetti;
    mutable std::array<double, ColonneRicordate> m_semplici;
    mutable std::bitset<ColonneRicordate> m_sempliciLetti;
};

// The test of a rule whose column is known to be filled.
inline bool ValeRiempita(const Regola& regola, const Colonne& colonne) {
    const int c = regola.colonna;
    switch (regola.prova) {
    case Prova::Sempre:
    case Prova::Riempita:
        return true;
    case Prova::NonZero:
        return colonne.Importo(c) != 0;
    case Prova::NonZeroSemplice:
        return colonne.Semplice(c) != 0;
    case Prova::NonZeroArrotondato:
        return shell::ArrotondaAlPari(colonne.Importo(c)) != 0;
    }
    return false;
}

// The test of a rule: every test but Sempre needs its column filled.
inline bool Vale(const Regola& regola, const Colonne& colonne) {
    return regola.prova == Prova::Sempre || (colonne.Riempita(regola.colonna) && ValeRiempita(regola, colonne));
}

// Stops the run with the field's error, naming where it comes from: "Riga N, colonna C: " + the error
// + " (campo DA001002)".
[[noreturn]] void ErroreDelCampo(const Campo& campo, const Colonne& colonne, const shell::ErroreElaborazione& errore);

// ScriviCampo for a field whose `quando` column is filled, whose `quando` is Sempre, or whose form is
// ArrotondatoOUno: the field's rules, then the value of its form appended by the encoder.
bool ScriviCampoRiempito(const Campo& campo, const Colonne& colonne, std::string& area);

// The field's value when its rules hold, appended to the area. True when the field was written: a type "SI"
// field whose value is not "S\xCC" adds nothing but counts as written, as its rules held.
// Every test but Sempre needs its column filled, and most columns of a line are blank: such a field is
// passed over here, before any reading (but ArrotondatoOUno, which can still give 1).
// An error of the field's encoding (a text too long for the 32,767 blocks of one field) names the
// line, the column and the field's code, as the readings of the columns do.
inline bool ScriviCampo(const Campo& campo, const Colonne& colonne, std::string& area) {
    try {
        if (campo.forma != Forma::ArrotondatoOUno && campo.quando.prova != Prova::Sempre &&
            !colonne.Riempita(campo.quando.colonna))
            return false;
        return ScriviCampoRiempito(campo, colonne, area);
    } catch (const shell::ErroreCollocato&) {
        throw;
    } catch (const shell::ErroreElaborazione& e) {
        ErroreDelCampo(campo, colonne, e);
    }
}

// The whole codes of a quadro's fields in rows 001 to `Righi` (at most 999): for each row, the
// quadro, the row and every column code of `colonne` ("DC", {"018", "019"} gives "DC001018",
// "DC001019", "DC002018" ...), made by the compiler. Every column code has 3 characters.
template <std::size_t Righi, std::size_t N> struct CodiciRighi {
    std::array<std::array<char, tracciati::LunghezzaCodice>, Righi * N> codici{};

    constexpr CodiciRighi(std::string_view quadro, const std::array<std::string_view, N>& colonne) {
        for (std::size_t r = 0; r < Righi; ++r)
            for (std::size_t i = 0; i < N; ++i) {
                auto& codice = codici[r * N + i];
                const std::size_t rigo = r + 1;
                const char cifre[3] = {static_cast<char>('0' + rigo / 100), static_cast<char>('0' + rigo / 10 % 10),
                                       static_cast<char>('0' + rigo % 10)};
                for (std::size_t k = 0; k < 2; ++k)
                    codice[k] = quadro[k];
                for (std::size_t k = 0; k < 3; ++k) {
                    codice[2 + k] = cifre[k];
                    codice[5 + k] = colonne[i][k];
                }
            }
    }
    // The code of column `i` of `colonne` in row `rigo` (from 1).
    constexpr std::string_view Di(int rigo, std::size_t i) const {
        const auto& codice = codici[static_cast<std::size_t>(rigo - 1) * N + i];
        return std::string_view(codice.data(), codice.size());
    }
};

} // namespace conv770
