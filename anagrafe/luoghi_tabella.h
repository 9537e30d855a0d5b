#pragma once
// The compiled registries, as genera_luoghi writes them into luoghi_tabella.cpp. Read through
// anagrafe/luoghi.h only.

#include <cstddef>
#include <cstdint>

namespace anagrafe::tabella {

// One period of one code.
struct RigaLuogo {
    std::uint16_t codice; // the index of the code in Codici
    char provincia[2];    // "MI"; "EE" for a foreign state
    std::uint32_t dal;    // yyyymmdd
    std::uint32_t al;     // yyyymmdd, inclusive; 99991231 while in force
    std::uint32_t nome;   // the offset in Nomi of the name, NUL, the other name (often empty), NUL
};

// Every code, 4 characters each with no separator, in ascending order.
extern const char Codici[];
extern const std::size_t NumeroCodici;

// Every province abbreviation of some row, 2 characters each, in ascending order.
extern const char Province[];
extern const std::size_t NumeroProvince;

// The names of the rows, each pair of names once.
extern const char Nomi[];

// The periods, by code, then by start date, end date and names.
extern const RigaLuogo Righe[];
extern const std::size_t NumeroRighe;

} // namespace anagrafe::tabella
