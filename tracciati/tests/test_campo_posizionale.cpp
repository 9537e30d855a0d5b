// The positional fields: alignment, fillers and cuts of X and N, the date fields, which keep their
// 8 characters whatever the value, the numbers with zeros in front; and the fields read back.

#include "tracciati/campo_posizionale.h"
#include "tracciati/tests/dato_prova.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace tracciati {
namespace {

using T = TipoPosizionale;

using test::Dato;

struct Caso {
    const char* nome;
    Dato valore;
    int lunghezza;
    T tipo;
    std::string atteso;
};
void PrintTo(const Caso& caso, std::ostream* os) { *os << caso.nome; }

class CampoPosizionaleCaso : public testing::TestWithParam<Caso> {};

// Appended after what the record holds, always its length.
TEST_P(CampoPosizionaleCaso, LunghezzaFissa) {
    const Caso& caso = GetParam();
    std::string record = "AB";
    AggiungiCampoPosizionale(record, caso.valore.Come(), caso.lunghezza, caso.tipo);
    EXPECT_EQ(record, "AB" + caso.atteso);
    EXPECT_EQ(record.size(), 2 + static_cast<std::size_t>(caso.lunghezza));
}

TEST(CampoPosizionale, LunghezzaNullaNonAggiungeNulla) {
    for (const T tipo : {T::X, T::N, T::DT}) {
        std::string record = "AB";
        AggiungiCampoPosizionale(record, "123", 0, tipo);
        AggiungiCampoPosizionale(record, "123", -3, tipo);
        EXPECT_EQ(record, "AB");
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
    Caso{"NNegativo",       -7,                  5, T::N,  "000-7"},
    Caso{"NNumeroDouble",   5.0,                 2, T::N,  "05"},
    Caso{"NFrazione",       12.5,                2, T::N,  ",5"},
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

// Read back: what N and DT write gives its value, and the value its text again; what they never
// write (from a whole number or a date) is told apart.
struct CasoLettura {
    const char* nome;
    std::string testo;
    T tipo;
    bool buono;
};
void PrintTo(const CasoLettura& caso, std::ostream* os) { *os << caso.nome; }

class LetturaPosizionale : public testing::TestWithParam<CasoLettura> {};

TEST_P(LetturaPosizionale, ValoreERiscrittura) {
    const CasoLettura& caso = GetParam();
    const Lettura lettura = LeggiCampoPosizionale(caso.testo, caso.tipo);
    ASSERT_EQ(lettura.difformita == Difformita::Nessuna, caso.buono) << lettura.atteso;
    if (!caso.buono) {
        EXPECT_EQ(lettura.difformita, Difformita::Formato);
        return;
    }
    std::string record;
    AggiungiCampoPosizionale(record, lettura.valore, static_cast<int>(caso.testo.size()), caso.tipo);
    EXPECT_EQ(record, caso.testo);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Tipi, LetturaPosizionale, testing::Values(
    CasoLettura{"XQualsiasi",     " a b\xCC  ",  T::X,  true},
    CasoLettura{"NCifre",         "00012",       T::N,  true},
    CasoLettura{"NZeri",          "00000",       T::N,  true},
    CasoLettura{"NNegativo",      "000-7",       T::N,  true},
    CasoLettura{"NNegativoPieno", "-1234",       T::N,  true},
    CasoLettura{"NZeroDopoMeno",  "00-07",       T::N,  false},
    CasoLettura{"NMenoSolo",      "0000-",       T::N,  false},
    CasoLettura{"NLettera",       "0000A",       T::N,  false},
    CasoLettura{"NSpazio",        "  12",        T::N,  false},
    CasoLettura{"NVirgola",       ",5",          T::N,  false},
    CasoLettura{"DTData",         "29022012",    T::DT, true},
    CasoLettura{"DTAssente",      "00000000",    T::DT, true},
    CasoLettura{"DTImpossibile",  "29022011",    T::DT, false},
    CasoLettura{"DTSpazi",        "        ",    T::DT, false}
), [](const testing::TestParamInfo<CasoLettura>& info) { return std::string(info.param.nome); });
// clang-format on

// The numbers with zeros in front as printf's "%0*lld" writes them, from 0 to past the width, and
// below 0.
TEST(AggiungiConZeri, ComePrintf) {
    std::vector<long long> valori = {0, -1, -99999, -100000, 9223372036854775807LL, -9223372036854775807LL - 1};
    for (long long p = 1; p <= 10000000; p *= 10)
        for (const long long v : {p - 1, p, p + 1, 3 * p + 7})
            valori.push_back(v);
    for (const long long v : valori)
        for (const int cifre : {0, 1, 2, 6, 10}) {
            char atteso[40];
            std::snprintf(atteso, sizeof atteso, "%0*lld", cifre, v);
            std::string record = "AB";
            AggiungiConZeri(record, v, cifre);
            EXPECT_EQ(record, "AB" + std::string(atteso)) << v << " " << cifre;
        }
}

} // namespace
} // namespace tracciati
