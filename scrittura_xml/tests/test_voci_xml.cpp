// The export line and the element writer both INPS converters use: the two preparations of a field,
// the errors in each converter's words, and the table writer with its weeks, attributes, pending
// block and the rows a converter makes itself.

#include "scrittura_xml/riga_inps.h"
#include "scrittura_xml/voci_xml.h"

#include <gtest/gtest.h>

#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace scrittura_xml {
namespace {

using namespace tabelle;

// clang-format off
constexpr TestiLettura Testi{"controllo <", ">", "intero fuori ", "senza chiocciola ", true};
constexpr TestiLettura TestiCampo{"controllo <", ">", "intero fuori ", "senza chiocciola ", false};
// clang-format on

std::string Messaggio(const std::function<void()>& fai) {
    try {
        fai();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "nessun errore";
}

TEST(RigaEsportazioneINPS, LeDuePreparazioniDannoLoStessoValoreNelDocumento) {
    const std::string testo = "d'arco & rossi\t <x> \t12\x1D"
                              "3";
    const RigaEsportazioneINPS codificata(4, testo, Preparazione::MaiuscoloCodificato, Testi);
    const RigaEsportazioneINPS maiuscola(4, testo, Preparazione::Maiuscolo, Testi);
    EXPECT_EQ(codificata[0], "D&apos;ARCO &amp; ROSSI");
    EXPECT_EQ(maiuscola[0], "D'ARCO & ROSSI");
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(codificata.Valore(c), maiuscola.Valore(c)) << c;
        EXPECT_EQ(codificata.Decodificata(c), maiuscola.Decodificata(c)) << c;
    }
    EXPECT_EQ(maiuscola.Valore(1), " &lt;X&gt; ");
    // A control character stops the run only where the field is escaped on its way into the document.
    EXPECT_EQ(Messaggio([&] { (void)maiuscola.Valore(2); }), "Riga 4, colonna 2: controllo <29>");
    EXPECT_EQ(codificata.Valore(2), "12\x1D"
                                    "3");
}

TEST(RigaEsportazioneINPS, LettureCheNonRiesconoNelleParoleDelConvertitore) {
    const RigaEsportazioneINPS riga(9,
                                    "40000\t1@X\x1D"
                                    "2\t1,2,3\t31/02/2012\t1e400",
                                    Preparazione::Maiuscolo, Testi);
    EXPECT_EQ(Messaggio([&] { (void)riga.LeggiIntero(0); }), "Riga 9, colonna 0: intero fuori '40000'");
    EXPECT_EQ(Messaggio([&] { (void)riga.Settimane(1); }), "Riga 9, colonna 1: senza chiocciola '2'");
    EXPECT_EQ(Messaggio([&] { (void)riga.LeggiImporto(2); }), "Riga 9, colonna 2: importo non valido '1,2,3'");
    EXPECT_EQ(Messaggio([&] { (void)riga.LeggiData(3); }), "Riga 9, colonna 3: data non valida '31/02/2012'");
    EXPECT_EQ(riga.NumeroIniziale(4), 1.0);
    EXPECT_EQ(Messaggio([&] { (void)riga[5]; }), "Riga 9, colonna 5: colonna mancante (la riga ha 5 colonne)");

    const RigaEsportazioneINPS campo(9,
                                     "\t1@X\x1D"
                                     "2",
                                     Preparazione::Maiuscolo, TestiCampo);
    EXPECT_EQ(Messaggio([&] { (void)campo.Settimane(1); }), "Riga 9, colonna 1: senza chiocciola '1@X\\x1D2'");
}

TEST(NumeroIniziale, UnNumeroTroppoPiccoloPerUnDoubleVale0) {
    EXPECT_EQ(NumeroIniziale("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(NumeroIniziale("-00," + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(NumeroIniziale("1" + std::string(400, '0')), std::nullopt);
}

// A converter's own values and lines: the code of the value in brackets, and one line per week.
class FonteProva : public Fonte {
public:
    using Fonte::Fonte;
    std::string ValoreProprio(const Valore& valore, const Settimana* settimana) const override {
        std::string testo = "[";
        testo += std::to_string(valore.proprio);
        if (settimana)
            testo += settimana->id;
        testo += ']';
        return testo;
    }
    void ScriviPropria(const Voce& voce, ScrittoreXML& xml) const override {
        xml.Riga(voce.profondita, "propria " + std::string(Riga()[voce.valore.colonna]));
    }
};

// clang-format off
constexpr Voce Tabella[] = {
    {1, Forma::Apri,     "Blocco",           Vuota(0),          Nulla()},
    {1, Forma::Apri,     "Blocco Elimina",   NonVuota(0),       Fisso("S")},
    {2, Forma::Elemento, "Nome",             Sempre(),          Colonna(1)},
    {2, Forma::Elemento, "Numero",           NumeroNonZero(2),  Imponibile(2)},
    {2, Forma::Apri,     "Settimana",        OgniSettimana(3),  Nulla()},
    {3, Forma::Elemento, "Id",               OgniSettimana(3),  IdSettimana()},
    {3, Forma::Elemento, "Tipo",             OgniSettimana(3),  TipoCopertura()},
    {3, Forma::Elemento, "Suo",              OgniSettimana(3),  Proprio(7)},
    {2, Forma::Chiudi,   "Settimana",        OgniSettimana(3),  Nulla()},
    {2, Forma::Propria,  "",                 Sempre(),          Colonna(1)},
    {2, Forma::Elemento, "Fuori",            Sempre(),          Proprio(8)},
    {0, Forma::Sospeso,  "",                 InSospeso(),       Nulla()},
    {1, Forma::Chiudi,   "Blocco",           Sempre(),          Nulla()},
};
constexpr Voce PropriaFuoriPosto[] = {
    {1, Forma::Apri,     "Blocco",           Sempre(),          Nulla()},
    {1, Forma::Propria,  "",                 Sempre(),          Nulla()},
    {1, Forma::Chiudi,   "Blocco",           Sempre(),          Nulla()},
};
// clang-format on
static_assert(Annidate(Tabella, 1));
static_assert(!Annidate(PropriaFuoriPosto, 1));

// When the tables write an element: one condition for all its rows, none when they differ or no row writes it.
// "Blocco" opens under two conditions, "Numero" comes again under the same one in a second table.
constexpr Voce Altra[] = {
    {1, Forma::Elemento, "Numero", NumeroNonZero(5), Colonna(5)},
    {1, Forma::Elemento, "Nome", NonVuota(1), Colonna(1)},
};
constexpr TabellaDelDocumento Tabelle[] = {{"", Tabella}, {"Radice", Altra}};
static_assert(QuandoScritto(Tabelle, "Numero") == Se::NumeroNonZero);
static_assert(QuandoScritto(Tabelle, "Id") == Se::OgniSettimana);
static_assert(!QuandoScritto(Tabelle, "Nome"));   // Sempre here, NonVuota there
static_assert(!QuandoScritto(Tabelle, "Blocco")); // Vuota and NonVuota
static_assert(!QuandoScritto(Tabelle, "Assente"));
static_assert(QuandoScritto(std::span<const TabellaDelDocumento>(Tabelle).first(1), "Nome") == Se::Sempre);

std::vector<std::string> Scrivi(std::string_view testo, std::string* sospeso) {
    std::vector<std::string> righe;
    ScrittoreXML xml([&](std::string_view riga) { righe.emplace_back(riga); });
    const RigaEsportazioneINPS riga(1, testo, Preparazione::Maiuscolo, Testi);
    ScriviVoci(Tabella, FonteProva(&riga, sospeso), xml);
    return righe;
}

TEST(ScriviVoci, RigheDellaTabella) {
    std::string sospeso = "\t<Prima/>\r\n\t<Dopo/>";
    const std::vector<std::string> attese = {
        "\t<Blocco Elimina=\"S\">",
        "\t\t<Nome>A&amp;B</Nome>",
        "\t\t<Numero>1,5</Numero>",
        "\t\t<Settimana>",
        "\t\t\t<Id>1</Id>",
        "\t\t\t<Tipo>X&lt;</Tipo>",
        "\t\t\t<Suo>[71]</Suo>",
        "\t\t</Settimana>",
        "\t\t<Settimana>",
        "\t\t\t<Id>2</Id>",
        "\t\t\t<Tipo></Tipo>",
        "\t\t\t<Suo>[72]</Suo>",
        "\t\t</Settimana>",
        "\t\tpropria A&B",
        "\t\t<Fuori>[8]</Fuori>",
        "\t<Prima/>\r\n\t<Dopo/>",
        "\t</Blocco>",
    };
    EXPECT_EQ(Scrivi("s\ta&b\t1.5\t1@x<\x1D\x1D"
                     "2@",
                     &sospeso),
              attese);
    EXPECT_EQ(sospeso, "");
    // Nothing pending, no weeks, a zero number, column 0 blank.
    EXPECT_EQ(Scrivi(" \tn\t0\t", &sospeso),
              (std::vector<std::string>{"\t<Blocco>", "\t\t<Nome>N</Nome>", "\t\tpropria N", "\t\t<Fuori>[8]</Fuori>",
                                        "\t</Blocco>"}));
}

TEST(ScriviVoci, LaListaDelleSettimaneSiLeggeTuttaPrimaDiScrivere) {
    std::vector<std::string> righe;
    ScrittoreXML xml([&](std::string_view riga) { righe.emplace_back(riga); });
    const RigaEsportazioneINPS riga(3,
                                    "\tn\t0\t1@X\x1D"
                                    "2",
                                    Preparazione::Maiuscolo, Testi);
    EXPECT_EQ(Messaggio([&] { ScriviVoci(std::span(Tabella).subspan(4, 5), FonteProva(&riga), xml); }),
              "Riga 3, colonna 3: senza chiocciola '2'");
    EXPECT_TRUE(righe.empty());
}

TEST(ScriviVoci, UnValoreProprioSenzaFonteFermaLaConversione) {
    std::vector<std::string> righe;
    ScrittoreXML xml([&](std::string_view riga) { righe.emplace_back(riga); });
    const RigaEsportazioneINPS riga(1, "x", Preparazione::Maiuscolo, Testi);
    EXPECT_EQ(Messaggio([&] { ScriviVoci(std::span(Tabella).subspan(10, 1), Fonte(&riga), xml); }),
              "Valore senza fonte (codice 8)");
}

} // namespace
} // namespace scrittura_xml
