// What the tables tell a reader of a module, against what the writer writes: the fields of quadro DA
// written for every employee, and the fields written together.

#include "conv770/quadri.h"
#include "conv770/tabelle_quadri.h"
#include "conv770/tests/riga_prova.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace conv770 {
namespace {

using test::Colonne;
using test::Riga;

// The codes of the fields that quadri DA, DB and DC write for the line.
std::set<std::string> CodiciScritti(const Colonne& colonne) {
    std::string area, mancanti;
    const shell::RigaEsportazione riga = Riga(colonne);
    CampiQuadroDA(riga, area, mancanti);
    Totali totali{};
    CampiQuadroDB(riga, area, totali);
    CampiQuadroDC(riga, area);
    tracciati::AreaLetta letta;
    const std::string_view aree[] = {area};
    letta.Leggi(aree, CatalogoDeiCampi());
    std::set<std::string> codici;
    for (const tracciati::CampoLetto& c : letta.Campi())
        codici.emplace(c.codice);
    return codici;
}

TEST(SempreDA, ScrittiConTutteLeColonneVuote) {
    Colonne vuote;
    for (int c = 20; c <= 36; ++c)
        vuote[c] = "";
    vuote[185] = "";
    std::set<std::string> attesi(SempreDA.begin(), SempreDA.end());
    attesi.erase("DA001005"); // a blank date gives no field: its message says it is missing
    std::set<std::string> scritti;
    for (const std::string& c : CodiciScritti(vuote))
        if (c.starts_with("DA"))
            scritti.insert(c);
    EXPECT_EQ(scritti, attesi);
}

// Lines that write the fields of every link: each link holds on each line, and each is put to the test by
// one line at least.
TEST(LegamiDeiCampi, TenutiDaCioCheIlConvertitoreScrive) {
    // clang-format off
    const Colonne righe[] = {
        {{34, "VIA ROMA"}},
        {{37, "100"}},
        {{37, "100"}, {58, "5"}},
        {{97, "3"}, {100, "7"}},
        // The three DC groups in rows 001 to 003.
        {{121, "3"}, {125, "2"}, {127, "4"}, {117, "2000"},
         {139, "3"}, {143, "2"}, {145, "4"}, {135, "2000"},
         {169, "3"}, {173, "2"}, {175, "4"}, {165, "2000"}},
    };
    // clang-format on
    std::vector<bool> provato(LegamiDeiCampi.size());
    for (const Colonne& colonne : righe) {
        const std::set<std::string> scritti = CodiciScritti(colonne);
        for (std::size_t i = 0; i < LegamiDeiCampi.size(); ++i) {
            const Legame& l = LegamiDeiCampi[i];
            if (!scritti.contains(std::string(l.se)))
                continue;
            provato[i] = true;
            EXPECT_TRUE(scritti.contains(std::string(l.allora))) << l.se << " senza " << l.allora;
        }
    }
    for (std::size_t i = 0; i < LegamiDeiCampi.size(); ++i)
        EXPECT_TRUE(provato[i]) << LegamiDeiCampi[i].se << " mai scritto";
}

} // namespace
} // namespace conv770
