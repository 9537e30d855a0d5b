// The persons seen in a supply, to tell the same person twice.

#include "formati/codici_visti.h"
#include "formati/tests/rilevati.h"
#include "lettura/lettura.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <utility>
#include <optional>
#include <string_view>
#include <vector>

namespace formati {

using lettura::Gravita;
using lettura::Lettura;
using prova::Rilevati;

namespace {

// Told at the end, each later line with the one just before it, in the order of the codes and their lines
// whatever order they came in; a code one character short, or of eleven digits, is another code.
TEST(CodiciVisti, OgniRipetutoConQuelloPrimaDiLui) {
    CodiciVisti visti;
    visti.Aggiungi("RSSMRA80A01H501U", 9);
    visti.Aggiungi("VRDLGU70B02F205X", 5);
    visti.Aggiungi("RSSMRA80A01H501U", 3);
    visti.Aggiungi("RSSMRA80A01H501", 7);
    visti.Aggiungi("02468135799", 8);
    visti.Aggiungi("RSSMRA80A01H501U", 12);
    visti.Aggiungi("02468135799", 4);

    const auto rilievi = Rilevati([&](Lettura& l) { visti.Segnala(l, 30, "record G"); });
    ASSERT_EQ(rilievi.size(), 3u);
    const std::pair<long, std::string_view> attesi[] = {
        {8, "record G: il dipendente 02468135799 compare due volte: anche alla riga 4"},
        {9, "record G: il dipendente RSSMRA80A01H501U compare due volte: anche alla riga 3"},
        {12, "record G: il dipendente RSSMRA80A01H501U compare due volte: anche alla riga 9"},
    };
    for (std::size_t i = 0; i < std::size(attesi); ++i) {
        EXPECT_EQ(rilievi[i].gravita, Gravita::Avviso);
        EXPECT_EQ(rilievi[i].riga, attesi[i].first);
        EXPECT_EQ(rilievi[i].colonna, 30);
        EXPECT_EQ(rilievi[i].messaggio, attesi[i].second);
    }
}

// Reports: a code is the same person only within its kind; of a later one, the one just before it and the one
// just before it with the same key, which need not be the same one. Two on one line keep their order of coming.
TEST(CodiciVisti, RipetutiPerGenereEChiave) {
    using Visto = CodiciVisti::Visto;
    CodiciVisti visti;
    visti.Aggiungi(Visto{"RSSMRA80A01H501U", 40, 3, 0, "A", false, 4});
    visti.Aggiungi(Visto{"RSSMRA80A01H501U", 10, 3, 0, "A", false, 0});
    visti.Aggiungi(Visto{"RSSMRA80A01H501U", 20, 3, 1, "A", false, 1}); // a collaborator: another person
    visti.Aggiungi(Visto{"RSSMRA80A01H501U", 30, 3, 0, "B", true, 2});
    visti.Aggiungi(Visto{"RSSMRA80A01H501U", 30, 3, 0, "B", false, 3}); // on the same line, after it

    const auto ripetuti = visti.Ripetuti();
    struct Atteso {
        long persona, prima, stessaChiave; // -1: none
    };
    const Atteso attesi[] = {{2, 0, -1}, {3, 2, 2}, {4, 3, 0}};
    ASSERT_EQ(ripetuti.size(), std::size(attesi));
    for (std::size_t i = 0; i < std::size(attesi); ++i) {
        EXPECT_EQ(ripetuti[i].visto->persona, attesi[i].persona) << i;
        EXPECT_EQ(ripetuti[i].prima->persona, attesi[i].prima) << i;
        EXPECT_EQ(ripetuti[i].stessaChiave ? ripetuti[i].stessaChiave->persona : -1, attesi[i].stessaChiave) << i;
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
