// The layout module on a table of its own: every common kind and a converter's own kinds written,
// read back and written again; the faults of a table, the width of a piece, the notices of a date;
// the area read field by field over the records of a module; the invariants the compiler checks.

#include "shell/errore.h"
#include "tracciati/tracciato.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

namespace tracciati {
namespace {

// Two kinds of a converter's own: a column written twice, and a choice between two tables.
enum class ProprioProva : std::uint8_t { Doppio, Scelta };

// clang-format off
namespace tabelle {
using enum Comune;
using enum ProprioProva;

constexpr auto Testa = std::to_array<Pezzo>({
    {  2,    3, X,               0},
    {  5,    4, Contatore,       0},
});
constexpr auto Si = std::to_array<Pezzo>({
    { 33,    2, Letterale, Nessuna, "SI"},
});
constexpr auto No = std::to_array<Pezzo>({
    { 33,    2, Spazi},
});
constexpr auto Record = std::to_array<Pezzo>({
    {  1,    1, Letterale, Nessuna, "Q"},
    {  2,    7, Tabella,   Nessuna, "", Testa},
    {  9,    3, Spazi},
    { 12,    2, Zeri},
    { 14,    5, N,               1},
    { 19,    8, DT,              2},
    { 27,    6, Doppio,          3},
    { 33,    2, Scelta,          4},
    { 35,   55, X,               5},
    { 90, 1800, Area},
    {1890,   8, Spazi},
    {1898,   1, Fine},
});
static_assert(RecordFissoCompleto(Record));

// What the compiler refuses.
constexpr auto Buco = std::to_array<Pezzo>({{1, 1, Letterale, Nessuna, "Q"}, {3, 2, Spazi}});
constexpr auto LetteraleLungo = std::to_array<Pezzo>({{1, 2, Letterale, Nessuna, "Q"}});
constexpr auto SenzaColonna = std::to_array<Pezzo>({{1, 1, Letterale, Nessuna, "Q"}, {2, 2, X}});
constexpr auto SottoStorta = std::to_array<Pezzo>({{1, 1, Letterale, Nessuna, "Q"}, {2, 7, Tabella, Nessuna, "", Si}});
constexpr auto AreaFuoriPosto = std::to_array<Pezzo>({{1, 1, Letterale, Nessuna, "Q"}, {2, 1800, Area}});
static_assert(!PezziContigui(Buco, 1, 4));
static_assert(!PezziContigui(LetteraleLungo, 1, 2));
static_assert(!PezziContigui(SenzaColonna, 1, 3));
static_assert(!PezziContigui(SottoStorta, 1, 8));
static_assert(!PezziContigui(AreaFuoriPosto, 1, 1801));
static_assert(!RecordFissoCompleto(std::span(Record).first(Record.size() - 1)));
} // namespace tabelle
// clang-format on

class GancioProva : public Gancio {
public:
    std::span<const Pezzo> Scelta(const Pezzo& pezzo, const Fonte& fonte) const override {
        if (static_cast<ProprioProva>(pezzo.genere.proprio) != ProprioProva::Scelta)
            return {};
        return (*fonte.riga)[pezzo.colonna] == "1" ? std::span<const Pezzo>(tabelle::Si) : tabelle::No;
    }
    Valore Valuta(const Pezzo& pezzo, const Fonte& fonte, std::string& appoggio) const override {
        appoggio.assign((*fonte.riga)[pezzo.colonna]).append((*fonte.riga)[pezzo.colonna]);
        return appoggio;
    }
    void Scrivi(std::string& record, const Pezzo& pezzo, const Valore& valore) const override {
        record += valore.ComeTesto(); // as long as it is: a wrong width is the composer's to find
        static_cast<void>(pezzo);
    }
    std::span<const Pezzo> SceltaLetta(const Pezzo& pezzo, std::string_view record) const override {
        if (static_cast<ProprioProva>(pezzo.genere.proprio) != ProprioProva::Scelta)
            return {};
        return record.substr(static_cast<std::size_t>(pezzo.posizione - 1), 2) == "SI"
                   ? std::span<const Pezzo>(tabelle::Si)
                   : tabelle::No;
    }
    Lettura Leggi(const Pezzo&, std::string_view testo) const override {
        if (testo.substr(0, testo.size() / 2) == testo.substr(testo.size() / 2))
            return Valore(testo);
        return Lettura::Errata(Difformita::Formato, "atteso un testo ripetuto");
    }
};

const GancioProva Gancio;

std::string Spazi(std::size_t n) { return std::string(n, ' '); }

struct Scritto {
    shell::RigaEsportazione riga;
    std::string record;
    std::vector<std::string> avvisi;
};

Scritto Scrivi(const std::string& colonne, int contatore, std::string_view area) {
    Scritto s{shell::RigaEsportazione(3, colonne), {}, {}};
    const std::array<int, 1> numeri{contatore};
    Componi(s.record, tabelle::Record, {&s.riga, numeri, area, &s.avvisi}, Gancio);
    return s;
}

TEST(Tracciato, OgniGenereAlSuoPosto) {
    const std::string area = "DA001001X" + Spazi(15);
    const Scritto s = Scrivi("abcd\t-7\t5/3/1960\tXYZ\t1\tcoda", 42, area);
    // clang-format off
    EXPECT_EQ(s.record, "Q" "ABC" "0042" "   " "00" "000-7" "05031960" "XYZXYZ" "SI" "CODA" + Spazi(51) +
                        area + Spazi(1800 - area.size()) + Spazi(8) + "A");
    // clang-format on
    EXPECT_TRUE(s.avvisi.empty());
    const Scritto no = Scrivi("a\t1\t\tXYZ\t0\t", 0, "");
    EXPECT_EQ(no.record.substr(13, 21), "00001"
                                        "00000000"
                                        "XYZXYZ"
                                        "  ");
}

TEST(Tracciato, LettoERiscrittoUguale) {
    const Scritto s = Scrivi("abcd\t123\t29/02/2012\tXYZ\t1\tcoda", 7, "DA001001X" + Spazi(15));
    RecordLetto letto;
    letto.Leggi(s.record, tabelle::Record, Gancio);
    EXPECT_TRUE(letto.Segnalazioni().empty());
    ASSERT_NE(letto.Letto(DellaColonna(tabelle::Record, 1)), nullptr);
    EXPECT_EQ(letto.Letto(DellaColonna(tabelle::Record, 1))->valore.ComeIntero(), 123);
    EXPECT_TRUE(letto.Letto(DellaColonna(tabelle::Record, 2))->valore.Data());
    EXPECT_EQ(letto.Letto(DellaColonna(tabelle::Record, 2))->valore.ComeData(), (shell::Data{2012, 2, 29}));
    EXPECT_EQ(letto.Testo(DellaColonna(tabelle::Record, 3)), "XYZXYZ");
    EXPECT_EQ(letto.Testo(DelGenere(tabelle::Record, Comune::Area)).substr(0, 9), "DA001001X");
    // A choice: its table's pieces, which read no column, stand for its row.
    EXPECT_EQ(letto.Letto(DellaColonna(tabelle::Record, 4)), nullptr);
    EXPECT_EQ(letto.Pezzi()[2].pezzo->genere,
              Comune::Contatore); // the head's pieces in their place
    EXPECT_EQ(letto.Pezzi()[2].valore.ComeIntero(), 7);
    std::string riscritto;
    Ricomponi(riscritto, letto.Pezzi(), Gancio);
    EXPECT_EQ(riscritto, s.record);
}

// A short record is told once, by its length; the pieces it holds are read.
TEST(Tracciato, RecordCorto) {
    const Scritto s = Scrivi("abcd\t123\t\tXYZ\t0\tcoda", 7, "");
    RecordLetto letto;
    letto.Leggi(std::string_view(s.record).substr(0, 100), tabelle::Record, Gancio);
    ASSERT_EQ(letto.Segnalazioni().size(), 1u);
    EXPECT_EQ(letto.Segnalazioni()[0].Messaggio(), "il record ha 100 caratteri invece di 1898");
    EXPECT_EQ(letto.Pezzi().size(), 10u); // up to position 89
}

TEST(Tracciato, DataNonValidaScrittaComeZeriConAvviso) {
    const Scritto s = Scrivi("abcd\t1\t31/02/2010\tXYZ\t0\t", 0, "");
    EXPECT_EQ(s.record.substr(18, 8), "00000000");
    EXPECT_EQ(s.avvisi,
              (std::vector<std::string>{"Riga 3, colonna 2: data non valida '31/02/2010', scritta come 00000000"}));
    EXPECT_TRUE(Scrivi("abcd\t1\t   \tXYZ\t0\t", 0, "").avvisi.empty()); // a blank column is no date, and no news
}

TEST(Tracciato, ErroriDelTracciatoEDeiValori) {
    const shell::RigaEsportazione riga(9, "abcd\t1\t\tXYZ\t0\tcoda");
    const std::array<int, 1> numeri{0};
    // A piece that is not where the record stands.
    std::string record = "Q";
    EXPECT_THROW(Componi(record, tabelle::Record, {&riga, numeri}, Gancio), std::logic_error);
    // A counter that the source does not give.
    record.clear();
    EXPECT_THROW(Componi(record, tabelle::Record, {&riga}, Gancio), std::logic_error);
    // The message of the error that stops the run.
    const auto errore = [&](const shell::RigaEsportazione& r, std::span<const int> n) -> std::string {
        try {
            record.clear();
            Componi(record, tabelle::Record, {&r, n}, Gancio);
        } catch (const shell::ErroreElaborazione& e) {
            return e.what();
        }
        return "nessun errore";
    };
    // A piece of another width stops the run, naming it.
    const shell::RigaEsportazione lunga(9, "abcd\t1\t\tXYZW\t0\tcoda");
    EXPECT_EQ(errore(lunga, numeri), "Campo in posizione 27 lungo 8 caratteri invece di 6");
    // A counter wider than its piece, the same.
    const std::array<int, 1> grande{12345};
    EXPECT_EQ(errore(riga, grande), "Campo in posizione 5 lungo 5 caratteri invece di 4");
    // A missing column names line and column.
    const shell::RigaEsportazione corta(9, "abcd\t1");
    EXPECT_EQ(errore(corta, numeri), "Riga 9, colonna 2: colonna mancante (la riga ha 2 colonne)");
}

// The area of two records read as one: a text that goes on from the first record into the second,
// the value of each field by the catalogue, a code it does not know read as a text.
constexpr auto CatalogoProva = Ordinato(std::array<VoceCatalogo, 2>{{
    {"DB001001", Tipo::NP},
    {"DA001002", Tipo::AN},
}});

TEST(AreaLetta, CampiSuPiuRecord) {
    std::string campi;
    AggiungiCampoNonPosizionale(campi, "DB001001", 12, Tipo::NP);
    for (int i = 0; i < 73; ++i)
        AggiungiCampoNonPosizionale(campi, "DB001001", 1234.5, Tipo::NP);
    AggiungiCampoNonPosizionale(campi, "DA001002", std::string(16 + 15 + 3, 'M'), Tipo::AN);
    AggiungiCampoNonPosizionale(campi, "ZZ999ABC", "ALTRO", Tipo::AN);
    ASSERT_EQ(campi.size(), 78u * 24);
    const std::string seconda = campi.substr(1800) + Spazi(3600 - campi.size());
    const std::array<std::string_view, 2> aree{std::string_view(campi).substr(0, 1800), seconda};
    AreaLetta area;
    area.Leggi(aree, CatalogoProva);
    EXPECT_TRUE(area.Segnalazioni().empty());
    ASSERT_EQ(area.Campi().size(), 76u);
    EXPECT_EQ(area.Campi()[0].valore.ComeIntero(), 12);
    EXPECT_EQ(area.Campi()[1].valore.ComeNumero(), 1234.5);
    const CampoLetto& lungo = area.Campi()[74];
    EXPECT_EQ(lungo.codice, "DA001002");
    EXPECT_EQ(lungo.blocchi, 3);
    EXPECT_EQ(lungo.record, 0);
    EXPECT_EQ(lungo.posizione, 90 + 74 * 24);
    EXPECT_EQ(lungo.valore.ComeTesto(), std::string(34, 'M') + Spazi(12));
    const CampoLetto& ignoto = area.Campi()[75];
    EXPECT_FALSE(ignoto.tipo.has_value());
    EXPECT_EQ(ignoto.valore.ComeTesto(), "ALTRO" + Spazi(11));
    EXPECT_EQ(ignoto.record, 1);
    // Written again field by field: the same blocks.
    std::string riscritto;
    for (const CampoLetto& campo : area.Campi())
        AggiungiCampoNonPosizionale(riscritto, campo.codice, campo.valore, campo.tipo.value_or(Tipo::AN));
    EXPECT_EQ(riscritto, campi);
}

// A code searched from any entry on finds what a search of the whole catalogue finds: every code of a
// catalogue of every size up to 80 (past the entries looked at one by one), codes between and around its own, from
// every starting entry.
TEST(Catalogo, CercatoDaUnaVoceQualunque) {
    std::vector<std::string> codici;
    for (int i = 0; i < 80; ++i)
        codici.push_back("DA" + std::to_string(100 + 2 * i) + "001");
    for (std::size_t n = 0; n <= codici.size(); ++n) {
        std::vector<VoceCatalogo> voci;
        for (std::size_t i = 0; i < n; ++i)
            voci.push_back({codici[i], Tipo::NP});
        std::vector<std::string> cercati = {"AA000000", "ZZ999999", "DA10000", "DA1000010"};
        for (std::size_t i = 0; i < n; ++i) {
            cercati.push_back(codici[i]);
            cercati.push_back(codici[i].substr(0, 7) + "2"); // just after it, held by none
        }
        for (const std::string& codice : cercati) {
            std::optional<std::size_t> atteso;
            for (std::size_t i = 0; i < n; ++i)
                if (voci[i].codice == codice)
                    atteso = i;
            for (std::size_t da = 0; da <= n + 1; ++da)
                EXPECT_EQ(PostoNelCatalogo(voci, codice, da), atteso) << n << " voci, " << codice << " da " << da;
        }
    }
}

} // namespace
} // namespace tracciati
