// The reference month of quadro E0 and the rounding of the whole numbers that the records write.

#include "dma/record_dma.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace dma {
namespace {

struct CasoPeriodo {
    const char* nome;
    int anno, mese;
    std::optional<Periodo> atteso;
};

void PrintTo(const CasoPeriodo& caso, std::ostream* os) { *os << caso.nome; }

class PeriodoE0 : public testing::TestWithParam<CasoPeriodo> {};

TEST_P(PeriodoE0, PrimoEUltimoGiorno) {
    const CasoPeriodo& caso = GetParam();
    const auto periodo = PeriodoDiRiferimento(caso.anno, caso.mese);
    ASSERT_EQ(periodo.has_value(), caso.atteso.has_value());
    if (periodo) {
        EXPECT_EQ(periodo->primo, caso.atteso->primo);
        EXPECT_EQ(periodo->ultimo, caso.atteso->ultimo);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Mesi, PeriodoE0, testing::Values(
    CasoPeriodo{"Giugno",               2011,   6, Periodo{{2011,  6, 1}, {2011,  6, 30}}},
    CasoPeriodo{"FebbraioBisestile",    2012,   2, Periodo{{2012,  2, 1}, {2012,  2, 29}}},
    CasoPeriodo{"FebbraioComune",       2011,   2, Periodo{{2011,  2, 1}, {2011,  2, 28}}},
    CasoPeriodo{"Febbraio1900",         1900,   2, Periodo{{1900,  2, 1}, {1900,  2, 28}}},
    CasoPeriodo{"Febbraio2000",         2000,   2, Periodo{{2000,  2, 1}, {2000,  2, 29}}},
    CasoPeriodo{"Dicembre",             2011,  12, Periodo{{2011, 12, 1}, {2011, 12, 31}}},
    CasoPeriodo{"Mese13",               2011,  13, Periodo{{2012,  1, 1}, {2012,  1, 31}}},
    CasoPeriodo{"Mese0",                2011,   0, Periodo{{2010, 12, 1}, {2010, 12, 31}}},
    CasoPeriodo{"MeseNegativo",         2011, -11, Periodo{{2010,  1, 1}, {2010,  1, 31}}},
    CasoPeriodo{"Mese26",               2011,  26, Periodo{{2013,  2, 1}, {2013,  2, 28}}},
    CasoPeriodo{"PrimoAnno",               1,   1, Periodo{{   1,  1, 1}, {   1,  1, 31}}},
    CasoPeriodo{"UltimoMese",           9999,  12, Periodo{{9999, 12, 1}, {9999, 12, 31}}},
    CasoPeriodo{"AnnoZero",                0,   6, std::nullopt},
    CasoPeriodo{"PrimaDellAnnoUno",        1,   0, std::nullopt},
    CasoPeriodo{"DopoIl9999",           9999,  13, std::nullopt},
    CasoPeriodo{"AnnoNegativo",       -32768,   1, std::nullopt},
    CasoPeriodo{"EstremiA16Bit",       32767, 32767, std::nullopt}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

TEST(ArrotondaAlPari, MetaVersoIlPari) {
    const struct {
        double valore, atteso;
    } casi[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},   {3.5, 4}, {2.4999, 2},      {2.5001, 3}, {-0.5, 0},
                {-1.5, -2}, {-2.5, -2}, {-2.6, -3}, {7, 7},   {32767.5, 32768}, {1e20, 1e20}};
    for (const auto& caso : casi)
        EXPECT_EQ(ArrotondaAlPari(caso.valore), caso.atteso) << caso.valore;
}

} // namespace
} // namespace dma
