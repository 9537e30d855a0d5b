// The tax codes seen in a fixed-length supply, to tell the same employee twice.

#include "formati/codici_visti.h"
#include "formati/tests/rilevati.h"
#include "lettura/lettura.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

namespace formati {

using lettura::Gravita;
using lettura::Lettura;
using prova::Rilevati;

namespace {

// The room is taken from the file's size, bounded: a size no file has takes no more than the bound (not an
// exception), and the same code twice is told at its later line whatever room was taken.
TEST(CodiciVisti, StanzaDallaDimensioneDelFile) {
    for (const std::uint64_t byte :
         {std::uint64_t{0}, std::uint64_t{1898}, std::uint64_t{100} << 30, std::numeric_limits<std::uint64_t>::max()}) {
        CodiciVisti visti;
        ASSERT_NO_THROW(visti.Prevedi(byte)) << byte;
        visti.Aggiungi("RSSMRA80A01H501U", 9);
        visti.Aggiungi("VRDLGU70B02F205X", 5);
        visti.Aggiungi("RSSMRA80A01H501U", 3);
        visti.Aggiungi("RSSMRA80A01H501", 7); // one character short: another code

        const auto rilievi = Rilevati([&](Lettura& l) { visti.Segnala(l, 30, "record G"); });
        ASSERT_EQ(rilievi.size(), 1u) << byte;
        EXPECT_EQ(rilievi[0].gravita, Gravita::Avviso);
        EXPECT_EQ(rilievi[0].riga, 9);
        EXPECT_EQ(rilievi[0].colonna, 30);
        EXPECT_EQ(rilievi[0].messaggio,
                  "record G: il dipendente RSSMRA80A01H501U compare due volte: anche alla riga 3");
    }
}

// Told at once: a code that comes back gives the line where it came first, however often it comes, and a
// code that is another's beginning is another code.
TEST(CodiciVisti, PrimaRigaDiUnCodiceCheTorna) {
    struct Passo {
        std::string_view codice;
        long riga;
        std::optional<long> prima;
    };
    constexpr Passo passi[] = {
        {"RSSMRA80A01H501U", 2, std::nullopt},
        {"VRDLGU70B02F205X", 5, std::nullopt},
        {"RSSMRA80A01H501U", 9, 2},
        {"RSSMRA80A01H501U", 12, 2},
        {"RSSMRA80A01H501", 14, std::nullopt},
        {"12345678901", 15, std::nullopt},
        {"12345678901", 20, 15},
        {"VRDLGU70B02F205X", 21, 5},
    };
    CodiciVisti visti;
    for (const Passo& p : passi)
        EXPECT_EQ(visti.PrimaRiga(p.codice, p.riga), p.prima) << p.codice << " alla riga " << p.riga;
}

} // namespace
} // namespace formati
