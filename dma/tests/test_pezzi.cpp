// The pieces of the positional part written in place against the field encoder of the fixed-length
// records: the numbers of the head, and the pieces appended after what the record already holds.

#include "campo_posizionale.h"
#include "dma/record_dma.h"
#include "errore.h"
#include "esportazione.h"
#include "righe_dma.h"

#include <gtest/gtest.h>

#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace dma {
namespace {

using fields::CampoPosizionale;
using fields::TipoPosizionale;

// A number piece of the head (column 1 in 5 characters): the column read plainly, rounded with
// halves to the even neighbour, written as N writes the whole number.
struct CasoNumero {
    const char* nome;
    std::string testo;
    std::string atteso;
};
void PrintTo(const CasoNumero& caso, std::ostream* os) { *os << caso.nome; }

class NumeroDellaTestata : public testing::TestWithParam<CasoNumero> {};

TEST_P(NumeroDellaTestata, ComeIlCodificatore) {
    const CasoNumero& caso = GetParam();
    const shell::RigaEsportazione riga(1, test::Riga({{1, caso.testo}}), shell::Preparazione::MaiuscoloSenzaSpazi);
    const Pezzo pezzo = Testata[2];
    ASSERT_EQ(pezzo.contenuto, Contenuto::Numero);
    const std::string campo = CodificaPezzo(pezzo, {.riga = &riga});
    EXPECT_EQ(campo, caso.atteso);
    // The same as the encoder gives for the rounded whole number.
    const double valore = shell::ArrotondaAlPari(riga.Semplice(1));
    EXPECT_EQ(campo, CampoPosizionale(static_cast<long long>(valore), pezzo.lunghezza, TipoPosizionale::N));
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
    const Sorgente sorgente{.riga = &riga, .tipo = 'C', .modulo = 12};
    std::string record;
    Componi(record, std::span(RecordC).first(3), sorgente);
    // clang-format off
    EXPECT_EQ(record, "C" "80012345676" "00003" "00000012" "1234567" "00987650424" "80012345676" "00003" "1234567"
                      "RSSLRA75B45L378K" "       ");
    // clang-format on
    // A head anywhere but at the beginning is a fault of the table.
    EXPECT_THROW(AggiungiPezzo(record, RecordC[0], sorgente), std::logic_error);
}

} // namespace
} // namespace dma
