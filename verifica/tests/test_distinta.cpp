// The listing: one TSV row per person under one header, texts made safe for a spreadsheet and for a page;
// on the page each person's findings under its row and the findings about the supply apart.

#include "verifica/distinta.h"
#include "verifica/tests/supporto_fornitura.h"

#include <gtest/gtest.h>

#include <sstream>

namespace verifica {
namespace {

using test::FornituraProva;

TEST(Distinta, TsvUnaRigaPerPersona) {
    const auto f = FornituraProva({{"d", "AAA", "D'ARCO\tX", "MARIA", "1", "1.500,00", ""},
                                   {"c", "CCC", "VERDI", "LUC\xC0", "", "", "27,72"}});
    std::ostringstream tsv;
    ScriviDistintaTsv(f, tsv);
    EXPECT_EQ(tsv.str(), "tipo\tcodice fiscale\tcognome\tnome\tmodulo\timponibile\taliquota\n"
                         "dipendente\tAAA\tD'ARCO X\tMARIA\t1\t1.500,00\t\n"
                         "collaboratore\tCCC\tVERDI\tLUC\xC3\x80\t\t\t27,72\n");
}

TEST(Distinta, PaginaConRilieviPerPersona) {
    auto f = FornituraProva({{"d", "AAA", "ROSSI & <FIGLI>", "MARIO", "1", "1.500,00", ""},
                             {"d", "BBB", "BIANCHI", "ANNA", "2", "2.000,00", ""}});
    f.Segnala({Gravita::Errore, 11, 30, "codice fiscale 'BBB' non valido", 1});
    f.Segnala({Gravita::Avviso, 0, 0, "nome del file diverso", -1});
    f.esito.errori = 1;
    f.esito.avvisi = 1;
    std::ostringstream html;
    ScriviDistintaHtml(f, "INPSUNIEMENS-2012-03.xml, 01/04/2012 10:00", html);
    const std::string pagina = html.str();
    EXPECT_NE(pagina.find("ROSSI &amp; &lt;FIGLI&gt;"), std::string::npos);
    EXPECT_EQ(pagina.find("<FIGLI>"), std::string::npos);
    EXPECT_NE(pagina.find("1 errore, 1 avviso"), std::string::npos);
    // The finding about BBB sits in BBB's group of rows, after its row.
    const auto bbb = pagina.find("<td>BBB</td>");
    const auto rilievo = pagina.find("codice fiscale &#39;BBB&#39; non valido");
    ASSERT_NE(bbb, std::string::npos);
    ASSERT_NE(rilievo, std::string::npos);
    EXPECT_LT(bbb, rilievo);
    EXPECT_EQ(pagina.rfind("<tbody class=\"persona\">", rilievo), pagina.rfind("<tbody class=\"persona\">", bbb));
    // The one about the supply before the tables of persons.
    EXPECT_LT(pagina.find("nome del file diverso"), pagina.find("<h2>Dipendenti (2)</h2>"));
    EXPECT_EQ(pagina.find("<script"), std::string::npos);
    EXPECT_EQ(pagina.find("src="), std::string::npos);
}

TEST(Distinta, Esito) {
    Esito e;
    EXPECT_EQ(TestoEsito(e), "Nessun errore: la fornitura pu\xF2 essere inviata");
    e.avvisi = 2;
    EXPECT_EQ(TestoEsito(e), "Nessun errore: la fornitura pu\xF2 essere inviata (2 avvisi)");
    e.errori = 3;
    EXPECT_EQ(TestoEsito(e), "3 errori, 2 avvisi");
}

} // namespace
} // namespace verifica
