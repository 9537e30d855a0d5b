// A supply is recognised by its first record or its root element, never by its name; a first record
// damaged in its length is still recognised by its fixed content.

#include "lettura/formato.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace lettura {
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

// Why a file is no supply: UTF-16 (its byte order mark, or one byte of each character NUL), NUL bytes
// (a file all of them, or begun by them), the UTF-8 byte order mark, or none of the formats.
TEST(Formato, PercheNonRiconosciuto) {
    const std::string utf16 = "Formato non riconosciuto: il file \xE8 scritto in UTF-16 (due byte per carattere), "
                              "mentre le forniture sono in ISO-8859-1 (un byte per carattere)";
    const std::string nessuno = "Formato non riconosciuto: il file non \xE8 una fornitura 770 Semplificato, INPDAP "
                                "DMA, TFR 2008, UniEmens o E-Mens (il formato si pu\xF2 indicare con --formato)";
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> casi = {
        {"\xFF\xFE<\0D\0",              utf16},
        {"\xFE\xFF\0<\0D",              utf16},
        {std::string("<\0D\0e\0", 6),    utf16},
        {std::string("\0<\0D\0e", 6),    utf16},
        {std::string(100, '\0'),         "Formato non riconosciuto: il file \xE8 fatto solo di 100 byte nulli (00), "
                                         "che nessuna fornitura contiene"},
        {std::string(1, '\0'),           "Formato non riconosciuto: il file \xE8 fatto solo di un byte nullo (00), "
                                         "che nessuna fornitura contiene"},
        {std::string(4096, '\0'),        "Formato non riconosciuto: il file comincia con 4096 byte nulli (00), che "
                                         "nessuna fornitura contiene"},
        {std::string(4, '\0') + "A\r\n", "Formato non riconosciuto: il file comincia con 4 byte nulli (00), che "
                                         "nessuna fornitura contiene"},
        {std::string("\0A\r\n", 4),      "Formato non riconosciuto: il file comincia con un byte nullo (00), che "
                                         "nessuna fornitura contiene"},
        {"\xEF\xBB\xBF" "ciao",            "Formato non riconosciuto: il file comincia con il segno BOM dell'UTF-8 (i "
                                         "byte EF BB BF), che nessuna fornitura ha"},
        {"non una fornitura\r\n",        nessuno},
    };
    // clang-format on
    for (const auto& [inizio, motivo] : casi)
        EXPECT_EQ(NonRiconosciuto(inizio), motivo) << inizio.size();
}

TEST(Formato, DaComando) {
    EXPECT_EQ(FormatoDaComando("770"), Formato::Semplificato770);
    EXPECT_EQ(FormatoDaComando("UniEmens"), Formato::Uniemens);
    EXPECT_EQ(FormatoDaComando("inps"), std::nullopt);
}

} // namespace
} // namespace lettura
