#pragma once
// The persons' tax codes that a reader of fixed-length records has seen, to tell the same person twice.

#include "lettura/lettura.h"

#include <array>
#include <compare>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace formati {

// The persons' tax codes as they come, for the same person twice: told at the end, every later line with the
// one before it (Aggiungi, Segnala: the 770 and DMA modules, one code each), or at once where a code comes
// back, with the line where it came first (PrimaRiga: the TFR groups, whose findings follow the lines).
class CodiciVisti {
public:
    // Room for the codes of a file of `byte` bytes, at most one per record, taken at once: a room grown by
    // doubling touches twice the pages, and each costs a fault.
    void Prevedi(std::uint64_t byte);
    void Aggiungi(std::string_view codice, long riga);
    // "record G: il dipendente X compare due volte: anche alla riga N", at the later line.
    void Segnala(lettura::Lettura& lettura, int posizione, std::string_view record);

    // The line where `codice` came first; none the first time, when it is kept with `riga`.
    std::optional<long> PrimaRiga(std::string_view codice, long riga);

private:
    // A code of up to 16 characters, NULs after a shorter one, and how many it has.
    struct Visto {
        std::array<char, 16> codice;
        std::uint8_t lunghezza;
        long riga;
        friend auto operator<=>(const Visto&, const Visto&) = default;
    };
    std::vector<Visto> m_codici;
    std::map<std::string, long, std::less<>> m_prime; // of PrimaRiga: each code, its first line
};

} // namespace formati
