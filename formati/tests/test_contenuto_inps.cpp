// The values of the INPS documents as the listing shows them: amounts with the decimals they are written with,
// dates, the previous month's block as one text.

#include "formati/contenuto_inps.h"

#include <gtest/gtest.h>

namespace formati::inps {
namespace {

TEST(ContenutoInps, ValoriDellaDistinta) {
    struct Caso {
        std::string_view scritto, importo, data;
    };
    const Caso casi[] = {
        {"1500,5", "1.500,5", "1500,5"},
        {"1500", "1.500", "1500"},
        {"-1234567,00", "-1.234.567,00", "-1234567,00"},
        {"1.500,25", "1.500,25", "1.500,25"},
        {"0,07", "0,07", "0,07"},
        {"12a", "12a", "12a"}, // no number: as written
        {"", "", ""},
        {"2012-01-31", "2012-01-31", "31/01/2012"},
    };
    for (const Caso& c : casi) {
        EXPECT_EQ(ImportoDistinta(c.scritto), c.importo) << c.scritto;
        EXPECT_EQ(DataDistinta(c.scritto), c.data) << c.scritto;
    }
}

TEST(ContenutoInps, MesePrecedente) {
    PartiMese parti;
    EXPECT_EQ(TestoMesePrecedente(parti), "");
    parti[SettimaneMese] = "21:X 22:X";
    EXPECT_EQ(TestoMesePrecedente(parti), "settimane 21:X 22:X");
    parti[Orario] = "4000";
    parti[GiorniMese] = "8";
    parti[Consolidamento] = "2";
    EXPECT_EQ(TestoMesePrecedente(parti),
              "TipoConsolidamento 2; OrarioContrattuale 4000; settimane 21:X 22:X; GiorniRetribuiti 8");
}

} // namespace
} // namespace formati::inps
