// The XML text helpers: escaping and its order, the cut that keeps references whole, the rounding
// of the totals and the line layout.

#include "scrittura_xml/testo_xml.h"

#include "shell/errore.h"
#include "shell/testo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace scrittura_xml {
namespace {

struct Caso {
    const char* nome;
    std::string ingresso;
    std::string atteso;
};

std::string NomeCaso(const testing::TestParamInfo<Caso>& info) { return info.param.nome; }
void PrintTo(const Caso& c, std::ostream* os) { *os << c.nome; }

// The five replacements one after the other, as the escaping is defined.
std::string CodificaInSequenza(std::string testo) {
    const std::pair<std::string, std::string> sostituzioni[] = {
        {"&", "&amp;"}, {"'", "&apos;"}, {"\"", "&quot;"}, {"<", "&lt;"}, {">", "&gt;"}};
    for (const auto& [cerca, con] : sostituzioni)
        for (auto p = testo.find(cerca); p != std::string::npos; p = testo.find(cerca, p + con.size()))
            testo.replace(p, cerca.size(), con);
    return testo;
}

class Codifica : public testing::TestWithParam<Caso> {};

TEST_P(Codifica, SostituisceICinqueCaratteri) {
    std::string campo = GetParam().ingresso;
    CodificaXML(campo);
    EXPECT_EQ(campo, GetParam().atteso);
    EXPECT_EQ(campo, CodificaInSequenza(GetParam().ingresso));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Testi, Codifica, testing::Values(
    Caso{"Vuoto",               "",                        ""},
    Caso{"SenzaRiservati",      "ROSSI MARIO",             "ROSSI MARIO"},
    Caso{"ApostrofoEAmpersand", "D'ARCO & ROSSI",          "D&apos;ARCO &amp; ROSSI"},
    Caso{"TuttiECinque",        "<\"'&'\">",               "&lt;&quot;&apos;&amp;&apos;&quot;&gt;"},
    Caso{"RiferimentoGiaFatto", "&amp;",                   "&amp;amp;"},
    Caso{"AccentatiIntatti",    "CAFF\xC8 \xC0 L'ANGOLO",  "CAFF\xC8 \xC0 L&apos;ANGOLO"},
    Caso{"SoloAmpersand",       "&&",                      "&amp;&amp;"},
    // A whole line is escaped at once: the text before the first and after the last reserved
    // character stays in place, TABs included.
    Caso{"RigaConTesto",        "A\tD'ARCO & FIGLI S.N.C.\t<X>\tCODA LUNGA DOPO",
                                "A\tD&apos;ARCO &amp; FIGLI S.N.C.\t&lt;X&gt;\tCODA LUNGA DOPO"},
    Caso{"AgliEstremi",         "'UN TESTO OLTRE I SEDICI CARATTERI\"", "&apos;UN TESTO OLTRE I SEDICI CARATTERI&quot;"}),
    NomeCaso);
// clang-format on

class Decodifica : public testing::TestWithParam<Caso> {};

TEST_P(Decodifica, RestituisceICaratteriNellOrdine) {
    const std::string campo = GetParam().ingresso;
    EXPECT_EQ(DecodificaXML(campo), GetParam().atteso);
    EXPECT_EQ(campo, GetParam().ingresso);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Testi, Decodifica, testing::Values(
    Caso{"Vuoto",               "",                                      ""},
    Caso{"ApostrofoEAmpersand", "D&apos;ARCO &amp; ROSSI",               "D'ARCO & ROSSI"},
    Caso{"TuttiECinque",        "&lt;&quot;&apos;&amp;&apos;&quot;&gt;", "<\"'&'\">"},
    Caso{"AmpersandPerPrimo",   "&amp;lt;",                              "<"},
    Caso{"MaiuscoleNonSonoRif", "&AMP; &LT;",                            "&AMP; &LT;"},
    Caso{"RiferimentoMonco",    "&amp &lt",                              "&amp &lt"}),
    NomeCaso);
// clang-format on

struct CasoTaglio {
    const char* nome;
    std::string testo;
    std::size_t n;
    std::string tronca;
    std::string troncaCodificato;
};

void PrintTo(const CasoTaglio& c, std::ostream* os) { *os << c.nome; }

class Taglio : public testing::TestWithParam<CasoTaglio> {};

TEST_P(Taglio, PrimiNCaratteri) {
    const auto& c = GetParam();
    EXPECT_EQ(Tronca(c.testo, c.n), c.tronca);
    EXPECT_EQ(TroncaCodificato(c.testo, c.n), c.troncaCodificato);
}

const std::string Sessanta = "SOCIETA COOPERATIVA EDILE DI COSTRUZIONI E RESTAURI 1234567";
const std::string Cinquanta = Sessanta.substr(0, 50);

// clang-format off
INSTANTIATE_TEST_SUITE_P(Testi, Taglio, testing::Values(
    //          nome                  testo               n   Tronca             TroncaCodificato
    CasoTaglio{"PiuCortoIntatto",     "ROSSI",           50, "ROSSI",            "ROSSI"},
    CasoTaglio{"Sessanta",            Sessanta + "8",    50, Cinquanta,          Cinquanta},
    CasoTaglio{"EsattamenteN",        Cinquanta,         50, Cinquanta,          Cinquanta},
    CasoTaglio{"ZeroCaratteri",       "ABC",              0, "",                 ""},
    CasoTaglio{"DentroAmp",           "AB &amp; C",       5, "AB &a",            "AB "},
    CasoTaglio{"SubitoDopoAmpersand", "AB &amp; C",       4, "AB &",             "AB "},
    CasoTaglio{"PrimaDelPuntoEVirg",  "AB &apos;C",       8, "AB &apos",         "AB "},
    CasoTaglio{"RiferimentoIntero",   "AB &amp; C",       8, "AB &amp;",         "AB &amp;"},
    CasoTaglio{"RiferimentoAllaFine", "AB&amp;",          7, "AB&amp;",          "AB&amp;"},
    CasoTaglio{"DopoUnRiferimento",   "&amp;B&lt;C",      8, "&amp;B&l",         "&amp;B"},
    CasoTaglio{"AccentatiUnByte",     "CAFF\xC8 SPA",     5, "CAFF\xC8",         "CAFF\xC8"}),
    [](const testing::TestParamInfo<CasoTaglio>& info) { return std::string(info.param.nome); });
// clang-format on

TEST(TogliPunti, TogliOgniPunto) {
    EXPECT_EQ(TogliPunti("1.234.567,50"), "1234567,50");
    EXPECT_EQ(TogliPunti("..."), "");
    EXPECT_EQ(TogliPunti(""), "");
    EXPECT_EQ(TogliPunti("12,5"), "12,5");
}

TEST(Tabulazioni, UnTabPerLivello) {
    EXPECT_EQ(Tabulazioni(-1), "");
    EXPECT_EQ(Tabulazioni(0), "");
    EXPECT_EQ(Tabulazioni(1), "\t");
    EXPECT_EQ(Tabulazioni(7), "\t\t\t\t\t\t\t");
}

TEST(ScrittoreXML, UnElementoPerRigaConITabDellaProfondita) {
    std::vector<std::string> righe;
    ScrittoreXML xml([&](std::string_view riga) { righe.emplace_back(riga); });
    xml.Dichiarazione();
    xml.Apri(0, "DenunceMensili");
    xml.Apri(1, "DatiMittente Tipo=\"1\"");
    xml.Elemento(2, "SedeINPS", "");
    xml.Elemento(2, "RagSocMittente", "D&apos;ARCO &amp; ROSSI");
    xml.Chiudi(1, "DatiMittente");
    xml.Riga(5, "<Giorno GG=\"7\">");
    xml.Chiudi(0, "DenunceMensili");
    const std::vector<std::string> attese = {
        "<?xml version='1.0' encoding='ISO-8859-1'?>",
        "<DenunceMensili>",
        "\t<DatiMittente Tipo=\"1\">",
        "\t\t<SedeINPS></SedeINPS>",
        "\t\t<RagSocMittente>D&apos;ARCO &amp; ROSSI</RagSocMittente>",
        "\t</DatiMittente>",
        "\t\t\t\t\t<Giorno GG=\"7\">",
        "</DenunceMensili>",
    };
    EXPECT_EQ(righe, attese);
}

TEST(ScrittoreXML, UnisciRigheSenzaFineRigaDopoLUltima) {
    std::string blocco;
    ScrittoreXML xml(UnisciRighe(blocco));
    xml.Apri(4, "MesePrecedente");
    xml.Elemento(5, "NumMensilita", "13000");
    xml.Chiudi(4, "MesePrecedente");
    EXPECT_EQ(blocco, "\t\t\t\t<MesePrecedente>\r\n\t\t\t\t\t<NumMensilita>13000</NumMensilita>\r\n"
                      "\t\t\t\t</MesePrecedente>");
    std::string vuoto;
    ScrittoreXML nessuna(UnisciRighe(vuoto));
    EXPECT_EQ(vuoto, "");
}

// The one-look preparation of a line gives what upper-casing and then escaping give.
std::string MaiuscoloPoiCodificato(std::string_view testo) {
    std::string t = shell::Maiuscolo(testo);
    CodificaXML(t);
    return t;
}

TEST(MaiuscoloCodificato, ComeMaiuscoloEPoiCodificaXML) {
    // clang-format off
    const std::string casi[] = {
        "", "a", "&", "<>", "&&&&", "'\"", "abc", "dell'acqua & figli s.n.c.\tx\t<y>",
        "&inizio", "fine&", "\xe0\xe8\xec\xf2\xf9\xf7\xff&amp;", "\t\t&\t",
        std::string("nul\0&dopo", 10), std::string(300, 'z') + "'",
        std::string(20000, '\'') + "a" + std::string(9000, '&'), // far more added than 16 bits count
    };
    // clang-format on
    std::string risultato = "resto di prima";
    for (const std::string& caso : casi) {
        MaiuscoloCodificato(caso, risultato);
        EXPECT_EQ(risultato, MaiuscoloPoiCodificato(caso)) << caso;
    }
    // Generated lines of every byte, the five characters and the letters more frequent.
    std::mt19937 generatore(17);
    const std::string frequenti = "&'\"<>aAz\t\xe0\xff";
    for (int n = 0; n < 2000; ++n) {
        std::string riga(generatore() % 80, ' ');
        for (char& c : riga)
            c = generatore() % 2 ? frequenti[generatore() % frequenti.size()] : static_cast<char>(generatore() % 256);
        MaiuscoloCodificato(riga, risultato);
        ASSERT_EQ(risultato, MaiuscoloPoiCodificato(riga)) << n;
    }
}

TEST(ScrittoreXML, UniteNelTestoComeUnisciRighe) {
    std::string conFunzione, inPosto = "gi\xe0 ";
    ScrittoreXML a(UnisciRighe(conFunzione));
    ScrittoreXML b(inPosto);
    for (ScrittoreXML* xml : {&a, &b}) {
        xml->Riga(0, "");
        xml->Apri(4, "MesePrecedente TipoConsolidamento", "S");
        xml->Elemento(5, "Nome", "");
        xml->Chiudi(4, "MesePrecedente");
    }
    EXPECT_EQ(conFunzione, "\r\n\t\t\t\t<MesePrecedente TipoConsolidamento=\"S\">\r\n\t\t\t\t\t<Nome></Nome>\r\n"
                           "\t\t\t\t</MesePrecedente>");
    EXPECT_EQ(inPosto, "gi\xe0 " + conFunzione); // appended, not replaced
}

TEST(ScrittoreXML, PerPezziRigheConCRLFInPezziDiRigheIntere) {
    std::vector<std::string> pezzi;
    std::string atteso;
    {
        auto xml = ScrittoreXML::PerPezzi([&](std::string_view pezzo) { pezzi.emplace_back(pezzo); });
        xml.Dichiarazione();
        atteso += std::string(DichiarazioneXML) + "\r\n";
        // Enough lines for several pieces, and one line longer than a piece.
        const std::string lunga(ScrittoreXML::DimensionePezzo * 2 + 3, 'x');
        for (int k = 0; k < 20000; ++k) {
            const std::string valore = k == 10000 ? lunga : std::to_string(k);
            xml.Elemento(k % 13, "V", valore);
            atteso += std::string(static_cast<std::size_t>(k % 13), '\t') + "<V>" + valore + "</V>\r\n";
        }
        xml.Apri(-1, "Fine");
        atteso += "<Fine>\r\n";
        xml.Svuota();
        xml.Svuota(); // nothing more to hand over
    }
    ASSERT_GT(pezzi.size(), 2u);
    std::string unito;
    for (const std::string& pezzo : pezzi) {
        EXPECT_FALSE(pezzo.empty());
        EXPECT_EQ(pezzo.substr(pezzo.size() - 2), "\r\n");
        unito += pezzo;
    }
    EXPECT_EQ(unito, atteso);
}

TEST(ScrittoreXML, PerPezziUnaCorsaFermataConsegnaLeRigheScritte) {
    std::string scritto;
    try {
        auto xml = ScrittoreXML::PerPezzi([&](std::string_view pezzo) { scritto += pezzo; });
        xml.Elemento(1, "A", "1");
        throw shell::ErroreElaborazione("fermata");
    } catch (const shell::ErroreElaborazione&) {
    }
    EXPECT_EQ(scritto, "\t<A>1</A>\r\n");
    // A destination that fails while the run is stopping does not end the program.
    EXPECT_THROW(
        {
            auto xml = ScrittoreXML::PerPezzi([](std::string_view) { throw std::runtime_error("disco pieno"); });
            xml.Chiudi(0, "A");
            throw shell::ErroreElaborazione("fermata");
        },
        shell::ErroreElaborazione);
    // On the normal path a failing destination stops the run at Svuota.
    auto xml = ScrittoreXML::PerPezzi([](std::string_view) { throw std::runtime_error("disco pieno"); });
    xml.Chiudi(0, "A");
    EXPECT_THROW(xml.Svuota(), std::runtime_error);
}

} // namespace
} // namespace scrittura_xml
