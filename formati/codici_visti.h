#pragma once
// The persons' tax codes that a reader of fixed-length records has seen, to tell the same person twice.

#include "lettura/lettura.h"

#include <array>
#include <compare>
#include <cstdint>
#include <string_view>
#include <vector>

namespace verifica {

// The persons' tax codes as they come, for the same person twice, told at the end.
class CodiciVisti {
public:
    // Room for the codes of a file of `byte` bytes, at most one per record, taken at once: a room grown by
    // doubling touches twice the pages, and each costs a fault.
    void Prevedi(std::uint64_t byte);
    void Aggiungi(std::string_view codice, long riga);
    // "record G: il dipendente X compare due volte: anche alla riga N", at the later line.
    void Segnala(Lettura& lettura, int posizione, std::string_view record);

private:
    // A code of up to 16 characters, NULs after a shorter one.
    struct Visto {
        std::array<char, 16> codice;
        long riga;
        friend auto operator<=>(const Visto&, const Visto&) = default;
    };
    std::vector<Visto> m_codici;
};

} // namespace verifica
