// Exact amounts for the totals of record J: the same texts as shell::ValoreNumerico, sums without
// binary rounding, the whole part rounded down, and the 64-bit limits.

#include "shell/conversioni.h"
#include "conv770/importo_esatto.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace conv770 {
namespace {

ImportoEsatto Importo(const char* testo) {
    const auto importo = ImportoEsatto::Leggi(testo);
    EXPECT_TRUE(importo.has_value()) << testo;
    return importo.value_or(ImportoEsatto());
}

TEST(ImportoEsatto, StessiTestiDiValoreNumerico) {
    for (const char* testo : {"1.234,56",     " -12,5 ", "",       "   ", ",75",  "-,5", "+3", "1.000", "5,",  "0,00",
                              "1.234.567,89", "-0,5",    "12,3,4", "ABC", "1,2A", "+",   "-",  ",",     "1 2", "--1"}) {
        const auto numero = shell::ValoreNumerico(testo);
        const auto esatto = ImportoEsatto::Leggi(testo);
        ASSERT_EQ(numero.has_value(), esatto.has_value()) << testo;
        if (numero) {
            EXPECT_DOUBLE_EQ(static_cast<double>(esatto->ParteIntera()) + esatto->Frazione() / 1e18, *numero) << testo;
        }
    }
}

// Texts of the characters amounts are written with, in every arrangement: read or refused as the
// double reading does, to the same value.
TEST(ImportoEsatto, OgniDisposizioneComeValoreNumerico) {
    const std::string caratteri = "0123456789012345.,,+- ";
    std::uint64_t seme = 99;
    for (int i = 0; i < 100000; ++i) {
        seme = seme * 6364136223846793005ULL + 1442695040888963407ULL;
        std::string testo;
        for (std::size_t k = (seme >> 33) % 12; k > 0; --k) {
            seme = seme * 6364136223846793005ULL + 1442695040888963407ULL;
            testo += caratteri[(seme >> 33) % caratteri.size()];
        }
        const auto numero = shell::ValoreNumerico(testo);
        const auto esatto = ImportoEsatto::Leggi(testo);
        ASSERT_EQ(numero.has_value(), esatto.has_value()) << "'" << testo << "'";
        if (numero) {
            const double letto = static_cast<double>(esatto->ParteIntera()) + esatto->Frazione() / 1e18;
            ASSERT_NEAR(letto, *numero, 1e-9 * (1 + std::fabs(*numero))) << "'" << testo << "'";
        }
    }
}

TEST(ImportoEsatto, ParteInteraVersoIlBasso) {
    EXPECT_EQ(Importo("99,99").ParteIntera(), 99);
    EXPECT_EQ(Importo("-0,5").ParteIntera(), -1);
    EXPECT_EQ(Importo("-0,5").Frazione(), ImportoEsatto::UnitaFrazione / 2);
    EXPECT_EQ(Importo("-3").ParteIntera(), -3);
    EXPECT_EQ(Importo("-3").Frazione(), 0);
    EXPECT_EQ(Importo("-0").ParteIntera(), 0);
}

TEST(ImportoEsatto, SommaSenzaErroriBinari) {
    ImportoEsatto totale;
    double doppio = 0;
    for (const char* testo : {"1.000,01", "1.234,56", "500,43"}) {
        ASSERT_TRUE(totale.Aggiungi(Importo(testo)));
        doppio += *shell::ValoreNumerico(testo);
    }
    EXPECT_EQ(totale.ParteIntera(), 2735);
    EXPECT_EQ(totale.Frazione(), 0);
    EXPECT_EQ(std::floor(doppio), 2734); // what a sum of doubles would write
    ASSERT_TRUE(totale.Sottrai(Importo("2.735,01")));
    EXPECT_EQ(totale.ParteIntera(), -1);
    EXPECT_EQ(totale, Importo("-0,01"));
}

TEST(ImportoEsatto, DecimaliOltreIlDiciottesimoIgnorati) {
    EXPECT_EQ(Importo("0,0000000000000000019"), Importo("0,000000000000000001"));
}

TEST(ImportoEsatto, Limiti64Bit) {
    const ImportoEsatto massimo = Importo("9.223.372.036.854.775.807");
    EXPECT_FALSE(ImportoEsatto::Leggi("9.223.372.036.854.775.808").has_value());
    EXPECT_EQ(Importo("-9.223.372.036.854.775.807,5").ParteIntera(), INT64_MIN);
    ImportoEsatto totale = massimo;
    EXPECT_FALSE(totale.Aggiungi(Importo("1")));
    EXPECT_EQ(totale, massimo); // unchanged after a failed sum
    ImportoEsatto minimo = Importo("-9.223.372.036.854.775.807,5");
    EXPECT_FALSE(minimo.Sottrai(Importo("0,5")));
    EXPECT_TRUE(minimo.Aggiungi(Importo("0,5")));
}

} // namespace
} // namespace conv770
