#pragma once
// The export file: read once into memory as ISO-8859-1 lines, and the columns of one line.

#include "shell/conversioni.h"
#include "shell/piattaforma.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace shell {

// Lines of a text: a line ends at CR LF or at a CR alone; a line feed alone is an ordinary character;
// the last line needs no terminator. At most 32,767 lines (more stops the run).
std::vector<std::string_view> DividiRighe(std::string_view testo);

// The columns of a line, split at every TAB, as views into the line, put into `colonne` (emptied
// first); an empty line has no column. More than 32,767 columns stop the run.
void DividiColonne(std::string_view riga, std::vector<std::string_view>& colonne);

class Esportazione {
public:
    // Reads the whole file; stops the run when it cannot be read or holds more than 32,767 lines.
    static Esportazione Leggi(const std::filesystem::path& percorso);
    static Esportazione DaTesto(std::string testo);

    // The lines point into the bytes: moving keeps them, a copy would not.
    Esportazione(Esportazione&&) = default;
    Esportazione& operator=(Esportazione&&) = default;
    Esportazione(const Esportazione&) = delete;
    Esportazione& operator=(const Esportazione&) = delete;

    std::size_t Righe() const { return m_righe.size(); }
    bool Vuota() const { return m_righe.empty(); }
    std::string_view Riga(std::size_t indice) const { return m_righe[indice]; }
    const std::vector<std::string_view>& TutteLeRighe() const { return m_righe; }

private:
    Esportazione() = default;

    Stanza m_dati; // the file's bytes; the lines point into them
    std::vector<std::string_view> m_righe;
};

// Stops the run at the first line feed without its carriage return ("Riga N, colonna C: ..."), for
// the converters that write a line feed nowhere: a file with LF line ends would otherwise be read as
// one line, the next lines glued into its last column and lost without a word.
void RifiutaACapoIsolati(const Esportazione& esportazione);

// How the columns of a line are prepared after the split.
enum class Preparazione {
    Maiuscolo,          // upper case (every converter)
    MaiuscoloSenzaSpazi // upper case, then leading and trailing spaces removed
};

// One export line split into its columns. Every reading of a column names the line (from 1) and the
// column (from 0) in the error that stops the run. The line is copied once, upper-cased as it is
// copied, and the columns are views into that copy: a line read into the same object with Carica
// reuses its room.
class RigaEsportazione {
public:
    RigaEsportazione() = default;
    RigaEsportazione(int numero, std::string_view testo, Preparazione preparazione = Preparazione::Maiuscolo);
    // The columns point into the object's own copy of the line: a copy would point into the other's.
    RigaEsportazione(const RigaEsportazione& altra);
    RigaEsportazione& operator=(const RigaEsportazione& altra);
    RigaEsportazione(RigaEsportazione&& altra) noexcept;
    RigaEsportazione& operator=(RigaEsportazione&& altra) noexcept;

    // Reads another line into this object, as the constructor does.
    void Carica(int numero, std::string_view testo, Preparazione preparazione = Preparazione::Maiuscolo);

    int Numero() const { return m_numero; }
    std::size_t Colonne() const { return m_colonne.size(); }
    // Every column, for a reader that checks the bounds itself (operator[] is the checked way).
    const std::string_view* TutteLeColonne() const { return m_colonne.data(); }
    bool Ha(int colonna) const { return colonna >= 0 && static_cast<std::size_t>(colonna) < m_colonne.size(); }

    // The column's text; a missing column stops the run.
    std::string_view operator[](int colonna) const {
        if (!Ha(colonna))
            ColonnaMancante(colonna);
        return m_colonne[static_cast<std::size_t>(colonna)];
    }
    // The column read with ValoreSemplice or as a date; a text that cannot be read stops the run.
    double Semplice(int colonna) const { return Semplice(colonna, (*this)[colonna]); }
    Data LeggiData(int colonna) const { return LeggiData(colonna, (*this)[colonna]); }
    // The same readings, and ValoreNumerico, of a text that stands for the column (what a rule put in
    // its place): an error names the line, the column and the text.
    double Numerico(int colonna, std::string_view testo) const;
    double Semplice(int colonna, std::string_view testo) const;
    Data LeggiData(int colonna, std::string_view testo) const;

    // Stops the run with "Riga N, colonna C: " + descrizione (an ErroreCollocato).
    [[noreturn]] void Errore(int colonna, std::string_view descrizione) const;

private:
    void Dividi(Preparazione preparazione);
    [[noreturn]] void ColonnaMancante(int colonna) const;
    // Points the columns, taken from `altra`, into this object's copy of the line (a short line
    // lives inside the string object, which a move does not carry along).
    void Rifai(const char* vecchio);

    int m_numero = 0;
    std::string m_testo;                     // the line, upper-cased
    std::vector<std::string_view> m_colonne; // views into m_testo
};

} // namespace shell
