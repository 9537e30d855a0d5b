// Two supplies compared person by person: paired by key whatever their place, a position column never
// makes a difference, a key repeated in a file pairs occurrence by occurrence.

#include "verifica/confronto.h"
#include "verifica/tests/supporto_fornitura.h"

#include <gtest/gtest.h>

#include <sstream>

namespace verifica {
namespace {

using test::FornituraProva;

TEST(Confronto, StessoContenutoInAltroOrdine) {
    const auto prima = FornituraProva(
        {{"d", "AAA", "ROSSI", "MARIO", "1", "1.500,00", ""}, {"d", "BBB", "BIANCHI", "ANNA", "2", "2.000,00", ""}});
    const auto dopo = FornituraProva(
        {{"d", "BBB", "BIANCHI", "ANNA", "1", "2.000,00", ""}, {"d", "AAA", "ROSSI", "MARIO", "2", "1.500,00", ""}});
    EXPECT_TRUE(Confronta(prima, dopo).Nessuna());
}

TEST(Confronto, AggiuntaToltaCambiata) {
    const auto prima = FornituraProva({{"d", "AAA", "ROSSI", "MARIO", "1", "1.500,00", ""},
                                       {"d", "BBB", "BIANCHI", "ANNA", "2", "2.000,00", ""},
                                       {"c", "CCC", "VERDI", "LUCA", "", "", "27,72"}});
    const auto dopo = FornituraProva({{"d", "AAA", "ROSSI", "MARIO", "1", "1.600,00", ""},
                                      {"c", "CCC", "VERDI", "LUCA", "", "", "27,72"},
                                      {"c", "DDD", "NERI", "ELSA", "", "", "24,00"}});
    const Differenze d = Confronta(prima, dopo);
    ASSERT_EQ(d.tolte.size(), 1u);
    EXPECT_EQ(d.tolte[0].chiave, "BBB");
    ASSERT_EQ(d.aggiunte.size(), 1u);
    EXPECT_EQ(d.aggiunte[0].chiave, "DDD");
    ASSERT_EQ(d.cambiate.size(), 1u);
    EXPECT_EQ(d.cambiate[0].nuova.chiave, "AAA");
    ASSERT_EQ(d.cambiate[0].campi.size(), 1u);
    EXPECT_EQ(d.cambiate[0].campi[0].nome, "imponibile");
    EXPECT_EQ(d.cambiate[0].campi[0].vecchio, "1.500,00");
    EXPECT_EQ(d.cambiate[0].campi[0].nuovo, "1.600,00");

    std::ostringstream testo;
    ScriviConfronto(prima, dopo, d, "prima.xml", "dopo.xml", testo);
    EXPECT_NE(testo.str().find("  - dipendente BBB BIANCHI ANNA (riga 11)\n"), std::string::npos) << testo.str();
    EXPECT_NE(testo.str().find("  + collaboratore DDD NERI ELSA (riga 21)\n"), std::string::npos) << testo.str();
    EXPECT_NE(testo.str().find("      imponibile: 1.500,00 -> 1.600,00\n"), std::string::npos) << testo.str();
}

TEST(Confronto, StessaChiaveDiGeneriDiversi) {
    // The same tax code as an employee and as a collaborator: two persons.
    const auto prima = FornituraProva({{"d", "AAA", "ROSSI", "MARIO", "1", "1.500,00", ""}});
    const auto dopo = FornituraProva({{"c", "AAA", "ROSSI", "MARIO", "", "", "27,72"}});
    const Differenze d = Confronta(prima, dopo);
    EXPECT_EQ(d.tolte.size(), 1u);
    EXPECT_EQ(d.aggiunte.size(), 1u);
    EXPECT_TRUE(d.cambiate.empty());
}

TEST(Confronto, ChiaveRipetutaAppaiataPerOccorrenza) {
    const auto prima = FornituraProva(
        {{"d", "AAA", "ROSSI", "MARIO", "1", "100", ""}, {"d", "AAA", "ROSSI", "MARIO", "2", "200", ""}});
    const auto dopo = FornituraProva({{"d", "AAA", "ROSSI", "MARIO", "1", "100", ""},
                                      {"d", "AAA", "ROSSI", "MARIO", "2", "250", ""},
                                      {"d", "AAA", "ROSSI", "MARIO", "3", "300", ""}});
    const Differenze d = Confronta(prima, dopo);
    ASSERT_EQ(d.cambiate.size(), 1u);
    EXPECT_EQ(d.cambiate[0].nuova.indice, 1);
    ASSERT_EQ(d.aggiunte.size(), 1u);
    EXPECT_EQ(d.aggiunte[0].indice, 2);
}

TEST(Confronto, DatiETotali) {
    auto prima = FornituraProva({});
    auto dopo = FornituraProva({});
    prima.Dati({{{"Periodo", "2012-02"}, {"Azienda", "X"}}});
    dopo.Dati({{{"Periodo", "2012-03"}, {"Azienda", "X"}}});
    prima.Totale({"TotaleADebito", "100,00", "100,00", true});
    dopo.Totale({"TotaleADebito", "120,00", "120,00", true});
    const Differenze d = Confronta(prima, dopo);
    ASSERT_EQ(d.dati.size(), 1u);
    EXPECT_EQ(d.dati[0].nome, "Periodo");
    ASSERT_EQ(d.totali.size(), 1u);
    EXPECT_EQ(d.totali[0].nuovo, "120,00");
    EXPECT_FALSE(d.Nessuna());
}

// A name a damaged record holds twice, in the supply's data or among its own records' fields, is paired by its
// place among those of its name: a supply compared with itself has no difference, and the second one changed
// is that one.
TEST(Confronto, NomeRipetutoAppaiatoPerOccorrenza) {
    auto prima = FornituraProva({});
    prima.Dati({{{"Azienda", "X"}, {"Azienda", "Y"}}});
    prima.campi = {{"record J, DA0010", "03GIULIA"}, {"record J, DA0010", "04F"}, {"record J, DB0012", "51AN"}};
    EXPECT_TRUE(Confronta(prima, prima).Nessuna());
    auto dopo = FornituraProva({});
    dopo.Dati({{{"Azienda", "X"}, {"Azienda", "Z"}, {"Azienda", "W"}}});
    dopo.campi = {{"record J, DA0010", "03GIULIA"}, {"record J, DA0010", "04M"}, {"record J, DB0012", "51AN"}};
    const Differenze d = Confronta(prima, dopo);
    ASSERT_EQ(d.dati.size(), 3u);
    EXPECT_EQ(d.dati[0].nome, "Azienda");
    EXPECT_EQ(d.dati[0].vecchio, "Y");
    EXPECT_EQ(d.dati[0].nuovo, "Z");
    EXPECT_EQ(d.dati[1].vecchio, "");
    EXPECT_EQ(d.dati[1].nuovo, "W");
    EXPECT_EQ(d.dati[2].nome, "record J, DA0010");
    EXPECT_EQ(d.dati[2].vecchio, "04F");
    EXPECT_EQ(d.dati[2].nuovo, "04M");
}

// A total stated twice (a damaged supply with two closing records) is paired by its place among those of
// its name: a supply compared with itself has no difference, and the second one changed is that one.
TEST(Confronto, TotaleRipetuto) {
    auto prima = FornituraProva({});
    prima.Totale({"Record 9, record 1", "1", "1", true});
    prima.Totale({"Record 9, record 1", "7", "1", false});
    EXPECT_TRUE(Confronta(prima, prima).Nessuna());
    auto dopo = FornituraProva({});
    dopo.Totale({"Record 9, record 1", "1", "1", true});
    dopo.Totale({"Record 9, record 1", "8", "1", false});
    dopo.Totale({"Record 9, record 1", "1", "1", true});
    const Differenze d = Confronta(prima, dopo);
    ASSERT_EQ(d.totali.size(), 2u);
    EXPECT_EQ(d.totali[0].vecchio, "7");
    EXPECT_EQ(d.totali[0].nuovo, "8");
    EXPECT_EQ(d.totali[1].vecchio, "");
    EXPECT_EQ(d.totali[1].nuovo, "1");
}

} // namespace
} // namespace verifica
