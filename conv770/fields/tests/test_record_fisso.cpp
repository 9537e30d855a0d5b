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
