// Value conversions of export texts: Italian amounts, plain numbers, digits, dates, upper case, and
// control characters made visible.

#include "shell/conversioni.h"
#include "shell/testo.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>

namespace shell {
namespace {

struct CasoNumero {
    const char* nome;
    std::string testo;
    std::optional<double> atteso;
};

void PrintTo(const CasoNumero& c, std::ostream* os) { *os << c.nome; }

class ValoreNumericoTest : public testing::TestWithParam<CasoNumero> {};

TEST_P(ValoreNumericoTest, LeggeImportiAllItaliana) {
    const auto& caso = GetParam();
    const auto valore = ValoreNumerico(caso.testo);
    ASSERT_EQ(valore.has_value(), caso.atteso.has_value()) << "'" << caso.testo << "'";
    if (caso.atteso) {
        EXPECT_DOUBLE_EQ(*valore, *caso.atteso);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tabella, ValoreNumericoTest,
    testing::Values(CasoNumero{"migliaia_e_decimali", "1.234,56", 1234.56},
                    CasoNumero{"piu_gruppi_migliaia", "1.234.567,89", 1234567.89},
                    CasoNumero{"virgola_iniziale", ",75", 0.75}, CasoNumero{"negativo_con_spazi", "  -12,5  ", -12.5},
                    CasoNumero{"vuoto", "", 0.0}, CasoNumero{"solo_spazi", "    ", 0.0},
                    CasoNumero{"punto_come_migliaia", "1.000", 1000.0}, CasoNumero{"virgola_finale", "5,", 5.0},
                    CasoNumero{"segno_piu", "+3", 3.0}, CasoNumero{"lettere", "12A", std::nullopt},
                    CasoNumero{"due_virgole", "1,2,3", std::nullopt}, CasoNumero{"solo_segno", "-", std::nullopt},
                    CasoNumero{"spazio_interno", "1 234", std::nullopt},
                    CasoNumero{"tabulazione", "\t12", std::nullopt}),
    [](const auto& info) { return std::string(info.param.nome); });

class ValoreSempliceTest : public testing::TestWithParam<CasoNumero> {};

TEST_P(ValoreSempliceTest, LeggeLaParteNumericaIniziale) {
    const auto& caso = GetParam();
    const auto valore = ValoreSemplice(caso.testo);
    ASSERT_EQ(valore.has_value(), caso.atteso.has_value()) << "'" << caso.testo << "'";
    if (caso.atteso) {
        EXPECT_DOUBLE_EQ(*valore, *caso.atteso);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tabella, ValoreSempliceTest,
    testing::Values(CasoNumero{"virgola_chiude", "12,5", 12.0}, CasoNumero{"punto_decimale", "1.234,56", 1.234},
                    CasoNumero{"spazi_interni_ignorati", "1 234", 1234.0},
                    CasoNumero{"tab_e_a_capo_ignorati", "\t1\n2", 12.0}, CasoNumero{"nessun_numero", "ABC", 0.0},
                    CasoNumero{"vuoto", "", 0.0}, CasoNumero{"negativo", "-7.25", -7.25},
                    CasoNumero{"punto_iniziale", ".5", 0.5}, CasoNumero{"esponente", "1.5E2", 150.0},
                    CasoNumero{"esponente_d", "2D3", 2000.0}, CasoNumero{"esponente_incompleto", "3E", 3.0},
                    CasoNumero{"resto_ignorato", "42 ANNI", 42.0}, CasoNumero{"solo_segno", "-", 0.0},
                    CasoNumero{"troppo_grande", "1E999", std::nullopt}, CasoNumero{"troppo_piccolo", "1E-999", 0.0}),
    [](const auto& info) { return std::string(info.param.nome); });

// The common shapes are read in one pass, the rest by the complete reading: both must give the
// very double (sign of zero included) that the plain decimal text gives to std::from_chars.
double DaCharconv(const std::string& testo) {
    double valore = 0;
    std::from_chars(testo.data(), testo.data() + testo.size(), valore);
    return valore;
}

TEST(ValoreNumerico, StessoDoubleDiFromCharsPerOgniForma) {
    struct Caso {
        std::string italiano;
        std::string semplice;
        std::string decimale;
    };
    const Caso casi[] = {
        {"0,1", "0.1", "0.1"},
        {"1.234,56", "1234.56", "1234.56"},
        {"999.999.999.999.999", "999999999999999", "999999999999999"},                           // 15 digits: one pass
        {"9.999.999.999.999.999", "9999999999999999", "9999999999999999"},                       // 16 digits: complete
        {"0,0000000000000000000001", "0.0000000000000000000001", "0.0000000000000000000001"},    // 22 decimals
        {"0,00000000000000000000001", "0.00000000000000000000001", "0.00000000000000000000001"}, // 23
        {"000.012,50", "00012.50", "12.5"},
        {"-0", "-0", "-0"},
        {"-0,000", "-0.000", "-0"},
        {"123456789,012345", "123456789.012345", "123456789.012345"},
        {"0,3", "0.3", "0.3"},
    };
    for (const Caso& caso : casi) {
        const double atteso = DaCharconv(caso.decimale);
        const auto italiano = ValoreNumerico(caso.italiano);
        const auto semplice = ValoreSemplice(caso.semplice);
        ASSERT_TRUE(italiano && semplice) << caso.italiano;
        EXPECT_EQ(*italiano, atteso) << caso.italiano;
        EXPECT_EQ(std::signbit(*italiano), std::signbit(atteso)) << caso.italiano;
        EXPECT_EQ(*semplice, atteso) << caso.semplice;
        EXPECT_EQ(std::signbit(*semplice), std::signbit(atteso)) << caso.semplice;
    }
    // Many amounts as the host writes them, cents included.
    std::uint64_t seme = 12345;
    for (int i = 0; i < 20000; ++i) {
        seme = seme * 6364136223846793005ULL + 1442695040888963407ULL;
        const std::uint64_t centesimi = (seme >> 11) % 100000000000000ULL;
        const std::string interi = std::to_string(centesimi / 100);
        std::string decimali = std::to_string(centesimi % 100);
        decimali.insert(0, 2 - decimali.size(), '0');
        std::string conPunti = interi;
        for (std::size_t p = conPunti.size(); p > 3; p -= 3)
            conPunti.insert(p - 3, 1, '.');
        const double atteso = DaCharconv(interi + "." + decimali);
        ASSERT_EQ(ValoreNumerico(conPunti + "," + decimali), atteso) << conPunti << "," << decimali;
        ASSERT_EQ(ValoreSemplice(interi + "." + decimali), atteso) << interi << "." << decimali;
    }
}

// Texts made of the characters an amount is written with, in every arrangement: the reading must be
// the plain rule (blanks around, points dropped, "," as decimal point, digits on at least one side of
// it; a text that starts with "," has a 0 before it, so "," alone is 0) worked out here the long way,
// for the short texts the host writes and the long ones it may.
std::optional<double> ImportoAllaLunga(std::string testo) {
    while (!testo.empty() && testo.front() == ' ')
        testo.erase(testo.begin());
    while (!testo.empty() && testo.back() == ' ')
        testo.pop_back();
    std::string senzaPunti;
    for (char c : testo)
        if (c != '.')
            senzaPunti += c;
    if (senzaPunti.empty() || senzaPunti.front() == ',')
        senzaPunti.insert(senzaPunti.begin(), '0');
    std::size_t i = 0;
    bool negativo = false;
    if (senzaPunti[0] == '+' || senzaPunti[0] == '-')
        negativo = senzaPunti[i++] == '-';
    std::string decimale;
    std::size_t cifre = 0;
    for (; i < senzaPunti.size() && senzaPunti[i] >= '0' && senzaPunti[i] <= '9'; ++i, ++cifre)
        decimale += senzaPunti[i];
    if (i < senzaPunti.size() && senzaPunti[i] == ',') {
        decimale += '.';
        for (++i; i < senzaPunti.size() && senzaPunti[i] >= '0' && senzaPunti[i] <= '9'; ++i, ++cifre)
            decimale += senzaPunti[i];
    }
    if (i != senzaPunti.size() || cifre == 0)
        return std::nullopt;
    const double valore = DaCharconv("0" + decimale);
    return negativo ? -valore : valore;
}

TEST(ValoreNumerico, OgniDisposizioneComeLaRegolaAllaLunga) {
    const std::string caratteri = "0123456789012345678900.,,+- ";
    std::uint64_t seme = 777;
    for (int i = 0; i < 200000; ++i) {
        seme = seme * 6364136223846793005ULL + 1442695040888963407ULL;
        const std::size_t lunghezza = (seme >> 33) % (i % 2 ? 30 : 9);
        std::string testo;
        for (std::size_t k = 0; k < lunghezza; ++k) {
            seme = seme * 6364136223846793005ULL + 1442695040888963407ULL;
            testo += caratteri[(seme >> 33) % caratteri.size()];
        }
        const auto atteso = ImportoAllaLunga(testo);
        const auto valore = ValoreNumerico(testo);
        ASSERT_EQ(valore.has_value(), atteso.has_value()) << "'" << testo << "'";
        if (atteso) {
            ASSERT_EQ(*valore, *atteso) << "'" << testo << "'";
            ASSERT_EQ(std::signbit(*valore), std::signbit(*atteso)) << "'" << testo << "'";
        }
    }
}

TEST(SoloCifre, TieneSoloLeCifreAscii) {
    EXPECT_EQ(SoloCifre("IT-12.345/67"), "1234567");
    EXPECT_EQ(SoloCifre(""), "");
    EXPECT_EQ(SoloCifre("\xB2\xB3 1"), "1"); // superscript digits are not digits
}

TEST(ArrotondaLontanoDaZero, MezziLontanoDaZeroEsattoOvunque) {
    const double infinito = std::numeric_limits<double>::infinity();
    // clang-format off
    const std::pair<double, double> casi[] = {
        {0.5, 1},                  {-0.5, -1},                  {2.5, 3},     {-2.5, -3},
        {2.4, 2},                  {2.6, 3},                    {-2.6, -3},   {1234.5, 1235},
        {0.49999999999999994, 0},  {-0.49999999999999994, -0.0},  // just below a half: the sum 0.5 + x rounds up
        {267.49999999999997, 267}, {4503599627370495.5, 4503599627370496}, {4503599627370497.0, 4503599627370497.0},
        {1e300, 1e300},            {infinito, infinito},        {-infinito, -infinito},
    };
    // clang-format on
    for (const auto& [numero, atteso] : casi) {
        EXPECT_EQ(ArrotondaLontanoDaZero(numero), atteso) << std::hexfloat << numero;
        EXPECT_EQ(std::signbit(ArrotondaLontanoDaZero(numero)), std::signbit(atteso)) << numero;
    }
    EXPECT_TRUE(std::signbit(ArrotondaLontanoDaZero(-0.2)));
    EXPECT_TRUE(std::isnan(ArrotondaLontanoDaZero(std::nan(""))));
}

TEST(ArrotondaAlPari, MezziAlVicinoPari) {
    const double infinito = std::numeric_limits<double>::infinity();
    // clang-format off
    const std::pair<double, double> casi[] = {
        {0.5, 0},     {-0.5, 0},    {1.5, 2},      {2.5, 2},      {3.5, 4},     {-1.5, -2},   {-2.5, -2},
        {-3.5, -4},   {2.4, 2},     {2.6, 3},      {-2.4, -2},    {-2.6, -3},   {1234.5, 1234}, {12.0, 12},
        {0.49999999999999994, 0},   {-0.49999999999999994, 0},    {0.5000000000000001, 1},
        {32767.5, 32768},           {-32768.5, -32768},           {4503599627370495.5, 4503599627370496},
        {4503599627370497.0, 4503599627370497.0},                 {1e300, 1e300}, {infinito, infinito},
    };
    // clang-format on
    for (const auto& [numero, atteso] : casi)
        EXPECT_EQ(ArrotondaAlPari(numero), atteso) << std::hexfloat << numero;
    EXPECT_TRUE(std::isnan(ArrotondaAlPari(std::nan(""))));
}

struct CasoData {
    const char* nome;
    std::string testo;
    std::optional<Data> attesa;
};

void PrintTo(const CasoData& c, std::ostream* os) { *os << c.nome; }

class LeggiDataTest : public testing::TestWithParam<CasoData> {};

TEST_P(LeggiDataTest, GiornoMeseAnno) {
    const auto& caso = GetParam();
    const auto data = LeggiData(caso.testo);
    ASSERT_EQ(data.has_value(), caso.attesa.has_value()) << "'" << caso.testo << "'";
    if (caso.attesa) {
        EXPECT_EQ(*data, *caso.attesa);
    }
}

INSTANTIATE_TEST_SUITE_P(Tabella, LeggiDataTest,
                         testing::Values(CasoData{"completa", "31/12/2010", Data{2010, 12, 31}},
                                         CasoData{"una_cifra", "1/2/2011", Data{2011, 2, 1}},
                                         CasoData{"spazi_intorno", " 05/06/2011 ", Data{2011, 6, 5}},
                                         CasoData{"bisestile", "29/02/2012", Data{2012, 2, 29}},
                                         CasoData{"bisestile_secolare", "29/02/2000", Data{2000, 2, 29}},
                                         CasoData{"non_bisestile", "29/02/2011", std::nullopt},
                                         CasoData{"non_bisestile_secolare", "29/02/1900", std::nullopt},
                                         CasoData{"trentuno_febbraio", "31/02/2010", std::nullopt},
                                         CasoData{"trentuno_aprile", "31/04/2010", std::nullopt},
                                         CasoData{"mese_tredici", "01/13/2010", std::nullopt},
                                         CasoData{"giorno_zero", "0/1/2010", std::nullopt},
                                         CasoData{"vuota", "", std::nullopt},
                                         CasoData{"tre_cifre_giorno", "001/01/2010", std::nullopt},
                                         CasoData{"anno_corto", "01/01/10", std::nullopt},
                                         // found by fuzzing: a long run of digits overflowed while being read
                                         CasoData{"cifre_senza_fine", "4444664444", std::nullopt},
                                         CasoData{"anno_lunghissimo", "1/1/99999999999999", std::nullopt},
                                         CasoData{"trattini", "01-01-2010", std::nullopt},
                                         CasoData{"testo_dopo", "01/01/2010X", std::nullopt}),
                         [](const auto& info) { return std::string(info.param.nome); });

// A date read is shown again as written, its day and month in two digits and its year in four; dates are
// ordered as in the calendar, the year first.
TEST(Data, ScrittaERilettaEInOrdine) {
    for (const char* testo : {"31/12/2010", "01/02/2011", "29/02/2000", "01/01/0999"}) {
        const auto data = LeggiData(testo);
        ASSERT_TRUE(data) << testo;
        EXPECT_EQ(DataItaliana(*data), testo);
    }
    EXPECT_LT((Data{2010, 12, 31}), (Data{2011, 1, 1}));
    EXPECT_LT((Data{2011, 1, 31}), (Data{2011, 2, 1}));
    EXPECT_GT((Data{2011, 2, 2}), (Data{2011, 2, 1}));
}

TEST(Maiuscolo, LettereAccentateDiIso88591) {
    // a-z, and 0xE0-0xFE but the division sign; sharp s and y diaeresis have no upper case here.
    EXPECT_EQ(Maiuscolo("s\xEC"), "S\xCC"); // si with i grave
    EXPECT_EQ(Maiuscolo("\xE0\xE8\xE9\xF2\xF9"), "\xC0\xC8\xC9\xD2\xD9");
    EXPECT_EQ(Maiuscolo("\xDF\xFF\xF7\xB5"), "\xDF\xFF\xF7\xB5");
    EXPECT_EQ(Maiuscolo("d'Arc 12 {z}"), "D'ARC 12 {Z}");
}

// Every character code at every place of texts longer and shorter than the steps a compiler makes
// wide: each character upper-cased as Maiuscola does it alone, in a copy and in place.
TEST(Maiuscolo, OgniCodiceInOgniPosizione) {
    for (std::size_t lunghezza : {1u, 15u, 16u, 17u, 31u, 33u, 4100u})
        for (unsigned codice = 0; codice < 256; ++codice) {
            std::string testo;
            for (std::size_t i = 0; i < lunghezza; ++i)
                testo += static_cast<char>((codice + i * 7) % 256);
            std::string atteso;
            for (char c : testo)
                atteso += Maiuscola(c);
            std::string copia(testo.size(), '#');
            CopiaInMaiuscolo(testo, copia.data());
            ASSERT_EQ(copia, atteso) << lunghezza << " " << codice;
            InMaiuscolo(testo);
            ASSERT_EQ(testo, atteso) << lunghezza << " " << codice;
        }
}

TEST(Testo, Utf8EIso88591) {
    EXPECT_EQ(Utf8DaLatin1("Citt\xE0"), "Citt\xC3\xA0");
    EXPECT_EQ(Latin1DaUtf8("Citt\xC3\xA0"), "Citt\xE0");
    EXPECT_EQ(Latin1DaUtf8("\xE2\x82\xAC 5"), "? 5"); // the euro sign has no ISO-8859-1 form
    EXPECT_EQ(Latin1DaUtf8("\xC3"), "?");             // cut sequence
    EXPECT_EQ(TogliSpazi("  a b  "), "a b");
    EXPECT_EQ(TogliSpazi("   "), "");
}

// Every control character shows as \xNN, whole: a NUL, an escape that would move a terminal's cursor, a
// line feed or a carriage return alone, DEL and the C1 controls; a CR LF line end stays, and so does every
// printable character, accented letters included. A text with none is handed back as it is.
TEST(Testo, ControlliVisibili) {
    using namespace std::string_literals;
    const std::pair<std::string, std::string> casi[] = {
        {"", ""},
        {"Rossi \xC8lite", "Rossi \xC8lite"},
        {"a\0b"s, "a\\x00b"},
        {"\0"s, "\\x00"},
        {"fine\0"s, "fine\\x00"},
        {"\x1B[2J\x07", "\\x1B[2J\\x07"},
        {"riga\r\nriga", "riga\r\nriga"},
        {"a\nb\rc\r\r\n", "a\\x0Ab\\x0Dc\\x0D\r\n"},
        {"\t\x1D\x7F\x80\x9F\xA0\xFF", "\\x09\\x1D\\x7F\\x80\\x9F\xA0\xFF"},
    };
    for (const auto& [testo, atteso] : casi) {
        EXPECT_EQ(TestoVisibile(testo), atteso) << testo;
        std::string appoggio;
        const std::string_view visibile = TestoVisibile(testo, appoggio);
        EXPECT_EQ(visibile, atteso);
        EXPECT_EQ(visibile.data() == testo.data(), testo == atteso) << "a copy only when something changed";
    }
}

} // namespace
} // namespace shell
