// A supply is recognised by its first record or its root element, never by its name; a first record
// damaged in its length is still recognised by its fixed content.

#include "lettura/formato.h"

#include <gtest/gtest.h>

#include <string>

namespace verifica {
namespace {

std::string Record(char tipo, std::size_t lunghezza, std::size_t posizione = 0, std::string_view testo = {}) {
    std::string record(lunghezza, ' ');
    record[0] = tipo;
    record.replace(posizione > 0 ? posizione - 1 : 0, testo.size(), testo);
    if (posizione == 0)
        record[0] = tipo;
    return record + "\r\n";
}

TEST(Formato, DalPrimoRecord) {
    EXPECT_EQ(RiconosciFormato(Record('A', 1898, 16, "77S11")), Formato::Semplificato770);
    EXPECT_EQ(RiconosciFormato(Record('A', 1897, 16, "77S11")), Formato::Semplificato770);
    EXPECT_EQ(RiconosciFormato(Record('A', 1898, 16, "INP05")), Formato::Dma);
    EXPECT_EQ(RiconosciFormato(Record('Z', 1898)), Formato::Dma);
    EXPECT_EQ(RiconosciFormato(Record('1', 280)), Formato::Tfr);
    EXPECT_EQ(RiconosciFormato(Record('1', 279, 255, "MIVA20080601")), Formato::Tfr);
    EXPECT_EQ(RiconosciFormato(Record('4', 120)), Formato::Tfr);
    EXPECT_EQ(RiconosciFormato(Record('9', 25)), Formato::Tfr);
    EXPECT_EQ(RiconosciFormato(Record('A', 1898, 16, "77S12")), std::nullopt);
    EXPECT_EQ(RiconosciFormato(Record('1', 279)), std::nullopt);
    EXPECT_EQ(RiconosciFormato("A"), std::nullopt);
}

TEST(Formato, DallaRadiceXml) {
    EXPECT_EQ(RiconosciFormato("<?xml version='1.0' encoding='ISO-8859-1'?>\r\n<DenunceMensili>\r\n"),
              Formato::Uniemens);
    EXPECT_EQ(RiconosciFormato("\xEF\xBB\xBF<!-- commento -->\n<DenunceRetributiveMensili>"), Formato::Emens);
    EXPECT_EQ(RiconosciFormato("<?xml version='1.0'?><Altro/>"), std::nullopt);
    EXPECT_EQ(RiconosciFormato("<?xml version='1.0'"), std::nullopt);
}

TEST(Formato, DaComando) {
    EXPECT_EQ(FormatoDaComando("770"), Formato::Semplificato770);
    EXPECT_EQ(FormatoDaComando("UniEmens"), Formato::Uniemens);
    EXPECT_EQ(FormatoDaComando("inps"), std::nullopt);
}

} // namespace
} // namespace verifica
