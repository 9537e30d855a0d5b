#pragma once
// A supply read in pieces, never whole: the check of a file of any size holds one piece of it and the
// line being read. The lines of the fixed-length supplies come one at a time, with their number and how
// they end; the XML reader takes the pieces as they come.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lettura {

// A file that cannot be opened or read. Its text is Italian (ISO-8859-1) and names the file.
class ErroreFile : public std::runtime_error {
public:
    explicit ErroreFile(const std::string& messaggio) : std::runtime_error(messaggio) {}
};

// Called after every piece with the bytes read so far and the file's size; false stops the reading
// (the window's "Chiudi" while a long file is read).
using Avanzamento = std::function<bool(std::uint64_t letti, std::uint64_t totale)>;

// A reading stopped by Avanzamento.
class LetturaInterrotta : public std::exception {
public:
    const char* what() const noexcept override { return "Lettura interrotta"; }
};

class FileInLettura {
public:
    // The bytes read at once: 128 KiB, as a copy with cat reads them; the lines are looked at while the piece is
    // still in the processor's cache (a piece of 1 MiB was slower, and its pages cost a fault each at the start).
    static constexpr std::size_t Pezzo = std::size_t{1} << 17;

    // Throws ErroreFile when the file is missing, is a folder, or cannot be opened.
    explicit FileInLettura(const std::filesystem::path& percorso, Avanzamento avanzamento = {});
    // The bytes of a supply already in memory (the fuzzing harness, tests), read the same way.
    static FileInLettura DaTesto(std::string contenuto);
    // The bytes of the file `percorso` read before (one that cannot be read twice, as a pipe), kept by the caller
    // while this reads them; the file named as it is.
    static FileInLettura DaMemoria(std::string_view contenuto, const std::filesystem::path& percorso);

    // Up to `quanti` bytes into `dove`; 0 at the end of the file. Throws ErroreFile on a read error and
    // LetturaInterrotta when Avanzamento says so.
    std::size_t Leggi(char* dove, std::size_t quanti);

    // The first `quanti` bytes of the file (fewer when it is shorter), read ahead: Leggi gives them
    // again from the start. Only before the first Leggi.
    std::string_view Inizio(std::size_t quanti);

    std::uint64_t Dimensione() const { return m_dimensione; }
    const std::filesystem::path& Percorso() const { return m_percorso; }

private:
    FileInLettura() = default;
    std::size_t LeggiDalFile(char* dove, std::size_t quanti);

    std::filesystem::path m_percorso;
    std::ifstream m_file;
    std::uint64_t m_dimensione = 0;
    std::uint64_t m_letti = 0;
    Avanzamento m_avanzamento;
    std::string m_contenuto;    // DaTesto: the whole supply, given piece by piece
    std::string_view m_memoria; // DaMemoria: the same, kept by the caller
    bool m_inMemoria = false;
    std::string m_inizio;         // the bytes read ahead by Inizio
    std::size_t m_inizioDato = 0; // how many of them Leggi has given
};

// How a line ends.
enum class FineRiga {
    CrLf,    // CR LF, as every supply's lines end
    SoloLf,  // a line feed without its carriage return
    Nessuna, // the last line of a file that does not end with a line end
};

// A hash of a text given in pieces, one character at a time (FNV-1a): the same however the text is cut.
class ImprontaFlusso {
public:
    void Aggiungi(char c) { m_valore = (m_valore ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL; }
    void Aggiungi(std::string_view testo) {
        for (const char c : testo)
            Aggiungi(c);
    }
    std::uint64_t Valore() const { return m_valore; }

private:
    std::uint64_t m_valore = 0xCBF29CE484222325ULL;
};

struct Riga {
    long numero = 0;           // from 1
    std::string_view testo;    // the line without its end, at most the reader's `massimo` characters
    std::size_t lunghezza = 0; // the whole line's length, without its end
    FineRiga fine = FineRiga::CrLf;
    // The characters past the first `massimo`, which `testo` leaves out, as ImprontaFlusso hashes them (its
    // value for no character when there are none): two lines with the same `testo` and `oltre` are the same.
    std::uint64_t oltre = ImprontaFlusso().Valore();
    std::string_view intera; // the whole line without its end, when the reader keeps whole lines; else `testo`
};

// The lines of a file one after the other. A line is what comes before a line feed (its carriage return,
// when there, is the CR of CR LF) or the rest of the file; a file that ends with a line end has no empty
// last line. A carriage return anywhere else is a character of the line. Only the first `massimo`
// characters of a line are kept (the longest record is 1,898): a longer line is counted whole and read
// in part, so that a file without line ends costs no more memory than any other.
class LettoreRighe {
public:
    // `pezzo`: the bytes read at a time (the tests make it small to put line ends across pieces).
    // `intere`: every line is also given whole (Riga::intera), however long: a comparison that shows the
    // bytes of a few records past the first `massimo`.
    explicit LettoreRighe(FileInLettura& file, std::size_t massimo = 4096, std::size_t pezzo = FileInLettura::Pezzo,
                          bool intere = false);

    // The next line into `riga` (its text valid until the next call); false at the end of the file.
    bool Prossima(Riga& riga);

private:
    bool Riempi();

    FileInLettura& m_file;
    std::size_t m_massimo;
    bool m_intere;
    std::vector<char> m_dati;
    std::size_t m_inizio = 0; // the next line starts here
    std::size_t m_fine = 0;   // bytes read into m_dati
    bool m_finito = false;    // the file has no more bytes
    std::string m_lunga;      // the kept part of a line that spans pieces (the whole line with `intere`)
    long m_numero = 0;
};

} // namespace lettura
