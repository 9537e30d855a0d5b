// The record frame: every record 1,898 characters with its end mark, the area of positions 90-1889,
// and the faults of a record table caught when the record is built.

#include "record_fisso.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace conv770::fields {
namespace {

RecordFisso TestaDiProva(char tipo) {
    RecordFisso record(tipo);
    record.Campo("01234567890", 16, TipoPosizionale::X).Campo(3, 8, TipoPosizionale::N).Spazi(64);
    return record;
}

TEST(RecordFisso, RecordPosizionale) {
    RecordFisso record('A');
    record.Spazi(14).Letterale("77S11").Letterale("06").Campo("ABCDEF12G34H567I", 16, TipoPosizionale::X);
    EXPECT_EQ(record.Posizione(), 39);
    record.Spazi(483).Letterale("0000").Letterale("0000").Spazi(1368);
    const std::string& testo = record.Chiudi();
    ASSERT_EQ(testo.size(), 1898u);
    EXPECT_EQ(testo.substr(0, 38), std::string("A").append(14, ' ') + "77S1106ABCDEF12G34H567I");
    EXPECT_EQ(testo.substr(521, 8), "00000000");
    EXPECT_EQ(testo.back(), 'A');
    EXPECT_EQ(record.Chiudi(), testo); // closing twice changes nothing
}

// A text or a whole number written without a Valore: the same bytes as through one, cut, padded and
// past the end of the frame alike.
TEST(RecordFisso, TestiENumeriComeValori) {
    const auto stessi = [](auto scrivi, auto conValore) {
        RecordFisso a('B'), b('B');
        scrivi(a);
        conValore(b);
        return a.Posizione() == b.Posizione() && a.Spazi(1897 - a.Posizione() + 1).Chiudi() ==
                                                     b.Spazi(1897 - b.Posizione() + 1).Chiudi();
    };
    for (const std::string testo : {"", "ABC", "0123456789ABCDEFGH", "  7  "})
        for (const auto tipo : {TipoPosizionale::X, TipoPosizionale::N, TipoPosizionale::DT})
            for (const int lunghezza : {0, 1, 8, 16}) {
                EXPECT_TRUE(stessi([&](RecordFisso& r) { r.CampoTesto(testo, lunghezza, tipo); },
                                   [&](RecordFisso& r) { r.Campo(Valore(testo), lunghezza, tipo); }))
                    << testo << " " << lunghezza;
                for (const long long numero : {0LL, 7LL, -42LL, 123456789012LL})
                    EXPECT_TRUE(stessi([&](RecordFisso& r) { r.CampoIntero(numero, lunghezza, tipo); },
                                       [&](RecordFisso& r) { r.Campo(Valore(numero), lunghezza, tipo); }))
                        << numero << " " << lunghezza;
            }
    RecordFisso pieno('B');
    pieno.Spazi(1890);
    EXPECT_THROW(pieno.CampoTesto("ABCDEFGH", 8, TipoPosizionale::X), std::logic_error);
    EXPECT_THROW(pieno.CampoIntero(12345678, 8, TipoPosizionale::N), std::logic_error);
    EXPECT_EQ(pieno.Posizione(), 1892); // nothing written by either
}

TEST(RecordFisso, AreaRiempitaDiSpazi) {
    RecordFisso record = TestaDiProva('J');
    ASSERT_EQ(record.Posizione(), InizioArea);
    const std::string campi = std::string(216, 'x');
    const std::string& testo = record.AreaNonPosizionale(campi).Chiudi();
    ASSERT_EQ(testo.size(), 1898u);
    EXPECT_EQ(testo.substr(0, 25), "J01234567890     00000003");
    EXPECT_EQ(testo.substr(89, 216), campi);
    EXPECT_EQ(testo.substr(89 + 216), std::string(1584 + 8, ' ') + "A");
}

TEST(RecordFisso, AreaPienaOTagliata) {
    const std::string piena(75 * 24, 'p');
    RecordFisso uno = TestaDiProva('G');
    EXPECT_EQ(uno.AreaNonPosizionale(piena).Chiudi().substr(89), piena + std::string(8, ' ') + "A");
    RecordFisso due = TestaDiProva('G');
    EXPECT_EQ(due.AreaNonPosizionale(piena + std::string(24, 'q')).Chiudi().substr(89),
              piena + std::string(8, ' ') + "A");
}

TEST(RecordFisso, ErroriDelTracciato) {
    RecordFisso corto('Z');
    corto.Spazi(10);
    EXPECT_THROW(corto.Chiudi(), std::logic_error);
    RecordFisso lungo('Z');
    EXPECT_THROW(lungo.Spazi(1897), std::logic_error);
    RecordFisso fuoriPosto('G');
    fuoriPosto.Spazi(10);
    EXPECT_THROW(fuoriPosto.AreaNonPosizionale(""), std::logic_error);
}

} // namespace
} // namespace conv770::fields
