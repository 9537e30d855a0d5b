#pragma once
// What the E-Mens tests share: export lines built from a valid employee, the test data, and a real
// XML parser to read every document the tests produce.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/errori_xml.h"
#include "tests/supporto/esportazione.h"
#include "tests/supporto/processo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace emens::test {

using Campi = std::initializer_list<std::pair<int, std::string_view>>;

// The columns of a current-month employee of March 2012 whose every field reads.
inline std::vector<std::string> ColonneDipendente() {
    std::vector<std::string> c(46);
    // clang-format off
    c[0]  = "BRTGLI62M15L736K"; c[1]  = "Idraulica Zanon snc"; c[2]  = "03456780274"; c[3]  = "02222220281";
    c[4]  = "2701";             c[5]  = "11101";               c[6]  = "3N";          c[7]  = "2012";
    c[8]  = "3";                c[9]  = "2707654321";          c[10] = "ZNNMRC75C12L736W";
    c[11] = "Zanon";            c[12] = "Marco";               c[13] = "1";           c[24] = "1000";
    c[25] = "10@X";             c[27] = "26";                  c[29] = "ATTUALE";     c[30] = "DIPENDENTE";
    c[31] = "30100";            c[32] = "027042";              c[33] = "1";           c[35] = "27,72";
    c[41] = "4000";             c[42] = "1000";
    // clang-format on
    return c;
}

// The columns changed by `campi`, the first `colonne` joined by TAB.
inline std::string Unisci(std::vector<std::string> c, Campi campi, int colonne) {
    for (const auto& [colonna, testo] : campi)
        c[static_cast<std::size_t>(colonna)] = testo;
    c.resize(static_cast<std::size_t>(colonne));
    return shell::test::Tabulato(c);
}

// An export line of `colonne` columns: the employee above with the columns in `campi` changed.
inline std::string RigaProva(Campi campi = {}, int colonne = 46) { return Unisci(ColonneDipendente(), campi, colonne); }

// A collaborator of the declared month, with the columns in `campi` changed.
inline std::string RigaCollaboratore(Campi campi = {}) {
    std::vector<std::string> c = ColonneDipendente();
    for (const auto& [colonna, testo] : Campi{{10, "CLLNNA80A41L736P"},
                                              {11, "Celli"},
                                              {12, "Anna"},
                                              {24, "1200"},
                                              {30, "COLLABORATORE"},
                                              {37, "01/03/2012"},
                                              {38, "31/03/2012"}})
        c[static_cast<std::size_t>(colonna)] = testo;
    return Unisci(std::move(c), campi, 46);
}

using shell::test::Esportazione;
using shell::test::FileVisibili;

inline std::string DatiProva(std::string_view nome) {
    return shell::test::LeggiFile(std::filesystem::path(EMENS_DATI) / nome);
}

// The messages of a real XML parser reading the file; empty when the document is well-formed.
inline std::string ErroriXml(const std::filesystem::path& documento) {
    return shell::test::ErroriXml(XMLLINT, documento);
}

// A working file left by a stopped run: its name holds the run's date and time.
inline bool Temporaneo(const std::string& nome) { return nome.find("-2011-06-14-09-05-07") != std::string::npos; }

// Every finished document in the folder is well-formed for a real XML parser.
inline void ControllaDocumenti(const std::filesystem::path& cartella) {
    for (const auto& nome : FileVisibili(cartella))
        if (!Temporaneo(nome)) {
            EXPECT_EQ(ErroriXml(cartella / nome), "") << nome;
        }
}

} // namespace emens::test
