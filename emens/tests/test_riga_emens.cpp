// The ways a field is read (leading number, whole number, weeks) and the number formats of the
// document; the nesting check of the element tables.

#include "emens/riga_emens.h"
#include "emens/voci_emens.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace emens {
namespace {

struct CasoNumero {
    const char* nome;
    std::string testo;
    std::optional<double> atteso;
};

void PrintTo(const CasoNumero& caso, std::ostream* os) { *os << caso.nome; }

class LetturaNumeroIniziale : public testing::TestWithParam<CasoNumero> {};

TEST_P(LetturaNumeroIniziale, Valore) { EXPECT_EQ(NumeroIniziale(GetParam().testo), GetParam().atteso); }

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, LetturaNumeroIniziale, testing::Values(
    CasoNumero{"intero",                     "1500",        1500.0},
    CasoNumero{"decimali_col_punto",         "1500.5",      1500.5},
    CasoNumero{"la_virgola_ferma_la_lettura","1500,75",     1500.0},
    CasoNumero{"migliaia_con_virgola",       "1.500,75",    1500.0},
    CasoNumero{"migliaia_milioni",           "1.234.567,8", 1234567.0},
    CasoNumero{"punto_senza_virgola",        "1.500",       1.5},
    CasoNumero{"spazi_ovunque",              " 1 2 3 ",     123.0},
    CasoNumero{"segno_meno",                 "-12.25",      -12.25},
    CasoNumero{"segno_piu",                  "+7",          7.0},
    CasoNumero{"solo_decimali",              ".5",          0.5},
    CasoNumero{"punto_finale",               "12.",         12.0},
    CasoNumero{"lettere_dopo",               "26GG",        26.0},
    CasoNumero{"nessun_esponente",           "1E3",         1.0},
    CasoNumero{"lettere",                    "ABC",         0.0},
    CasoNumero{"vuoto",                      "",            0.0},
    CasoNumero{"solo_segno",                 "-",           0.0},
    CasoNumero{"oltre_un_double",            std::string(400, '9'), std::nullopt},
    CasoNumero{"evanescente",                "0." + std::string(400, '0') + "1", 0.0}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

struct CasoIntero {
    const char* nome;
    const char* testo;
    std::optional<int> atteso;
};

void PrintTo(const CasoIntero& caso, std::ostream* os) { *os << caso.nome; }

class LetturaIntero16 : public testing::TestWithParam<CasoIntero> {};

TEST_P(LetturaIntero16, Valore) {
    const auto valore = Intero16(GetParam().testo);
    ASSERT_EQ(valore.has_value(), GetParam().atteso.has_value());
    if (valore) {
        EXPECT_EQ(*valore, *GetParam().atteso);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, LetturaIntero16, testing::Values(
    CasoIntero{"intero",                "1234",      1234},
    CasoIntero{"mezzo_al_pari_in_basso","2.5",       2},
    CasoIntero{"mezzo_al_pari_in_alto", "3.5",       4},
    CasoIntero{"mezzo_negativo",        "-2.5",      -2},
    CasoIntero{"oltre_mezzo",           "2.51",      3},
    CasoIntero{"migliaia",              "1.500,00",  1500},
    CasoIntero{"massimo",               "32767",     32767},
    CasoIntero{"massimo_arrotondato",   "32767.4",   32767},
    CasoIntero{"oltre_il_massimo",      "32767.5",   std::nullopt},
    CasoIntero{"minimo",                "-32768",    -32768},
    CasoIntero{"minimo_arrotondato",    "-32768.5",  -32768},
    CasoIntero{"sotto_il_minimo",       "-32769",    std::nullopt},
    CasoIntero{"lettere",               "X",         0}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

struct CasoImponibile {
    const char* nome;
    double valore;
    const char* atteso;
};

void PrintTo(const CasoImponibile& caso, std::ostream* os) { *os << caso.nome; }

class FormatoDellImponibile : public testing::TestWithParam<CasoImponibile> {};

TEST_P(FormatoDellImponibile, Testo) { EXPECT_EQ(FormatoImponibile(GetParam().valore), GetParam().atteso); }

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, FormatoDellImponibile, testing::Values(
    CasoImponibile{"intero",                1500,                "1500"},
    CasoImponibile{"un_decimale",           1500.5,              "1500,5"},
    CasoImponibile{"decimali_binari",       1234.56,             "1234,56"},
    CasoImponibile{"meno_di_uno",           0.1,                 "0,1"},
    CasoImponibile{"piccolo",               0.00001,             "0,00001"},
    CasoImponibile{"negativo",              -12.25,              "-12,25"},
    CasoImponibile{"quindici_cifre",        123456789012.345,    "123456789012,345"},
    CasoImponibile{"oltre_quindici_cifre",  1234567890.1234567,  "1234567890,12346"},
    CasoImponibile{"grande_senza_esponente",1e15,                "1000000000000000"},
    CasoImponibile{"grande_arrotondato",    123456789012345678., "123456789012346000"},
    CasoImponibile{"zero",                  0,                   "0"}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

TEST(CifreMinime, RiempieDiZeriIlValoreSenzaTroncarlo) {
    EXPECT_EQ(CifreMinime(3, 2), "03");
    EXPECT_EQ(CifreMinime(12, 2), "12");
    EXPECT_EQ(CifreMinime(2012, 4), "2012");
    EXPECT_EQ(CifreMinime(8, 4), "0008");
    EXPECT_EQ(CifreMinime(12345, 4), "12345");
    EXPECT_EQ(CifreMinime(-3, 2), "-03");
    EXPECT_EQ(CifreMinime(-32768, 4), "-32768");
}

// The weeks as (identifier, coverage) pairs.
std::optional<std::vector<std::pair<std::string, std::string>>> Settimane(std::string_view campo) {
    const auto settimane = DividiSettimane(campo);
    if (!settimane)
        return std::nullopt;
    std::vector<std::pair<std::string, std::string>> coppie;
    for (const auto& s : *settimane)
        coppie.emplace_back(s.id, s.copertura);
    return coppie;
}

TEST(DividiSettimane, ElementiSeparatiDalCodice29) {
    using Coppie = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(Settimane(""), Coppie{});
    EXPECT_EQ(Settimane("10@X"), (Coppie{{"10", "X"}}));
    EXPECT_EQ(Settimane("10@X\x1D"
                        "11@1\x1D"
                        "12@X\x1D"
                        "13@2"),
              (Coppie{{"10", "X"}, {"11", "1"}, {"12", "X"}, {"13", "2"}}));
    // Empty items are skipped, parts after the second are ignored, empty parts stay empty.
    EXPECT_EQ(Settimane("\x1D"
                        "10@X\x1D\x1D"
                        "11@X@Y\x1D"),
              (Coppie{{"10", "X"}, {"11", "X"}}));
    EXPECT_EQ(Settimane("@"), (Coppie{{"", ""}}));
    // An item without "@" has no coverage: refused, not guessed.
    EXPECT_EQ(Settimane("10@X\x1D"
                        "11"),
              std::nullopt);
    EXPECT_EQ(Settimane(" "), std::nullopt);
}

// The nesting check refuses the tables a slip would produce.
// clang-format off
constexpr Voce ChiusuraSbagliata[] = {
    {3, Forma::Apri,     "Collaboratore",  Sempre(),      Nulla()},
    {3, Forma::Chiudi,   "Collaboratori",  Sempre(),      Nulla()},
};
constexpr Voce ProfonditaSbagliata[] = {
    {3, Forma::Apri,     "Collaboratore",  Sempre(),      Nulla()},
    {3, Forma::Elemento, "Nome",           Sempre(),      Colonna(12)},
    {3, Forma::Chiudi,   "Collaboratore",  Sempre(),      Nulla()},
};
constexpr Voce CondizioneSbagliata[] = {
    {4, Forma::Apri,     "Assunzione",     NonVuote(17, 18), Nulla()},
    {4, Forma::Chiudi,   "Assunzione",     NonVuote(17, 19), Nulla()},
};
constexpr Voce GruppoAperto[] = {
    {5, Forma::Apri,     "Settimana",      OgniSettimana(25), Nulla()},
    {6, Forma::Elemento, "IdSettimana",    OgniSettimana(25), IdSettimana()},
    {5, Forma::Chiudi,   "Settimana",      Sempre(),          Nulla()},
};
// clang-format on
static_assert(!Annidate(ChiusuraSbagliata, 3));
static_assert(!Annidate(ProfonditaSbagliata, 3));
static_assert(!Annidate(CondizioneSbagliata, 4));
static_assert(!Annidate(GruppoAperto, 5));
static_assert(!Annidate(DatiMittente, 2));
static_assert(!Annidate(AperturaAzienda, 1)); // leaves `Azienda` open

} // namespace
} // namespace emens
