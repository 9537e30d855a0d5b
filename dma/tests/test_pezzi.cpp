// The pieces of the positional part: the numbers of the head, read plainly and rounded with halves to
// the even neighbour, and the head and the first pieces of record C where their table puts them.

#include "dma/record_dma.h"
#include "esportazione.h"
#include "righe_dma.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>

namespace dma {
namespace {

const GancioDMA Gancio;

// A number piece of the head (column 1 in 5 characters): the column read plainly, rounded with
// halves to the even neighbour, written as N writes the whole number.
struct CasoNumero {
    const char* nome;
    std::string testo;
    std::string atteso;
};
void PrintTo(const CasoNumero& caso, std::ostream* os) { *os << caso.nome; }

class NumeroDellaTestata : public testing::TestWithParam<CasoNumero> {};

TEST_P(NumeroDellaTestata, ArrotondatoAlPariInCinqueCifre) {
    const CasoNumero& caso = GetParam();
    const shell::RigaEsportazione riga(1, test::Riga({{1, caso.testo}}), shell::Preparazione::MaiuscoloSenzaSpazi);
    const auto pezzo = std::span(tabelleDMA::Testata).subspan(1, 1);
    ASSERT_EQ(pezzo[0].genere, fields::Genere(ProprioDMA::Numero));
    std::string record(12, '-'); // positions 1-12
    fields::Componi(record, pezzo, {&riga}, Gancio);
    EXPECT_EQ(record.substr(12), caso.atteso);
    // Read back as the whole number it holds.
    EXPECT_EQ(Gancio.Leggi(pezzo[0], caso.atteso).difformita, fields::Difformita::Nessuna);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(DMA, NumeroDellaTestata, testing::Values(
    CasoNumero{"Tre",            "3",          "00003"},
    CasoNumero{"Vuota",          "",           "00000"},
    CasoNumero{"MezzoAlPari",    "12.5",       "00012"},
    CasoNumero{"MezzoAlDispari", "13.5",       "00014"},
    CasoNumero{"Negativo",       "-7",         "000-7"},
    CasoNumero{"NegativoMezzo",  "-2.5",       "000-2"},
    CasoNumero{"MenoZero",       "-0.4",       "00000"},
    CasoNumero{"TagliatoASinistra", "1234567", "34567"},
    CasoNumero{"Virgola",        "12,7",       "00012"},
    CasoNumero{"Grande",         "123456789012345678", "45680"}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// The head, then the rest of record C: every piece lands where its table puts it.
TEST(PezziDMA, TestataEPrimiPezziDelRecordC) {
    const shell::RigaEsportazione riga(1, test::Riga(), shell::Preparazione::MaiuscoloSenzaSpazi);
    std::array<int, NumeriDMA> numeri{};
    numeri[ModuloTesta] = 12;
    std::string record;
    fields::Componi(record, std::span(tabelleDMA::RecordC).first(4), {&riga, numeri}, Gancio);
    // clang-format off
    EXPECT_EQ(record, "C" "80012345676" "00003" "00000012" "1234567" "00987650424" "80012345676" "00003" "1234567"
                      "RSSLRA75B45L378K" "       ");
    // clang-format on
    // A head anywhere but after the type is a fault of the table.
    EXPECT_THROW(fields::Componi(record, std::span(tabelleDMA::RecordC).subspan(1, 1), {&riga, numeri}, Gancio),
                 std::logic_error);
}

} // namespace
} // namespace dma
