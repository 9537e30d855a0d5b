// The positional field formatter: alignment, fillers and cuts of X and N, and the date fields, which
// keep their 8 characters whatever the value.

#include "campo_posizionale.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace conv770::fields {
namespace {

struct Caso {
    const char* nome;
    Valore valore;
    int lunghezza;
    TipoPosizionale tipo;
    std::string atteso;
};
void PrintTo(const Caso& caso, std::ostream* os) { *os << caso.nome; }

class CampoPosizionaleCaso : public testing::TestWithParam<Caso> {};

using T = TipoPosizionale;

TEST_P(CampoPosizionaleCaso, LunghezzaFissa) {
    const Caso& caso = GetParam();
    const std::string campo = CampoPosizionale(caso.valore, caso.lunghezza, caso.tipo);
    EXPECT_EQ(campo, caso.atteso);
    EXPECT_EQ(campo.size(), static_cast<std::size_t>(caso.lunghezza));
    // A text appended in place: the same bytes after what the record holds.
    if (caso.valore.Testo()) {
        std::string record = "AB";
        AggiungiTestoPosizionale(record, caso.valore.ComeTesto(), caso.lunghezza, caso.tipo);
        EXPECT_EQ(record, "AB" + caso.atteso);
    }
}

TEST(CampoPosizionale, LunghezzaNullaNonAggiungeNulla) {
    for (const T tipo : {T::X, T::N, T::DT}) {
        std::string record = "AB";
        AggiungiTestoPosizionale(record, "123", 0, tipo);
        AggiungiTestoPosizionale(record, "123", -3, tipo);
        EXPECT_EQ(record, "AB");
        EXPECT_EQ(CampoPosizionale("123", 0, tipo), "");
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tipi, CampoPosizionaleCaso, testing::Values(
    Caso{"XCorto",          "ABC",               5, T::X,  "ABC  "},
    Caso{"XPieno",          "ABCDE",             5, T::X,  "ABCDE"},
    Caso{"XTagliatoADestra", "ABCDEFG",          5, T::X,  "ABCDE"},
    Caso{"XVuoto",          "",                  4, T::X,  "    "},
    Caso{"XAccentato",      "FORL\xCC",          6, T::X,  "FORL\xCC "},
    Caso{"XNumero",         12.5,                6, T::X,  "12,5  "},
    Caso{"NCorto",          "123",               8, T::N,  "00000123"},
    Caso{"NTagliatoASinistra", "1234567890",     8, T::N,  "34567890"},
    Caso{"NVuoto",          "",                  3, T::N,  "000"},
    Caso{"NTestoInvariato", "AB",                4, T::N,  "00AB"},
    Caso{"NUno",            1,                   8, T::N,  "00000001"},
    Caso{"NNumeroDouble",   5.0,                 2, T::N,  "05"},
    Caso{"NContoNoveCifre", 250,                 9, T::N,  "000000250"},
    Caso{"DTData",          shell::Data{2011, 6, 14}, 8, T::DT, "14062011"},
    Caso{"DTTesto",         "14/06/2011",        8, T::DT, "14062011"},
    Caso{"DTTestoCorto",    " 5/3/1960 ",        8, T::DT, "05031960"},
    Caso{"DTVuoto",         "",                  8, T::DT, "00000000"},
    Caso{"DTImpossibile",   "31/02/2010",        8, T::DT, "00000000"},
    Caso{"DTLettere",       "IGNOTA",            8, T::DT, "00000000"},
    Caso{"DTNumero",        14062011,            8, T::DT, "00000000"}
), [](const testing::TestParamInfo<Caso>& info) { return std::string(info.param.nome); });
// clang-format on

TEST(CampoPosizionale, TipoPerCodice) {
    EXPECT_EQ(CampoPosizionale("ab", 3, "x"), "ab ");
    EXPECT_EQ(CampoPosizionale("7", 3, "n"), "007");
    EXPECT_EQ(CampoPosizionale("1/1/2000", 8, "Dt"), "01012000");
    EXPECT_EQ(CampoPosizionale("ab", 3, "Z"), "");
    EXPECT_EQ(CampoPosizionale("ab", 0, T::X), "");
}

TEST(CampoPosizionale, DataValidaPerIlRiepilogo) {
    EXPECT_TRUE(DataPosizionaleValida("29/02/2012"));
    EXPECT_FALSE(DataPosizionaleValida("29/02/2011"));
    EXPECT_FALSE(DataPosizionaleValida(""));
}

} // namespace
} // namespace conv770::fields
