#pragma once
// What the UniEmens tests share: export lines built from a valid employee, the test data, and a real
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

namespace uniemens::test {

// An export line of `colonne` columns: a current-month employee of January 2012 whose every field
// reads, with the columns in `campi` changed.
inline std::string RigaProva(std::initializer_list<std::pair<int, std::string_view>> campi, int colonne = 46) {
    std::vector<std::string> c(46);
    // clang-format off
    c[0]  = "BRTGLI62M15L736K"; c[1]  = "IDRAULICA ZANON SNC"; c[2]  = "03456780274"; c[3]  = "02222220281";
    c[4]  = "2701";             c[7]  = "2012";                c[8]  = "1";           c[9]  = "2707654321";
    c[10] = "ZNNMRC75C12L736W"; c[11] = "ZANON";               c[12] = "MARCO";       c[13] = "1";
    c[24] = "1000";             c[25] = "1@X";                 c[27] = "26";          c[29] = "ATTUALE";
    c[30] = "DIPENDENTE";       c[41] = "4000";                c[42] = "1000";        c[43] = "100,00";
    c[44] = "26";
    // clang-format on
    for (const auto& [colonna, testo] : campi)
        c[static_cast<std::size_t>(colonna)] = testo;
    c.resize(static_cast<std::size_t>(colonne));
    return shell::test::Tabulato(c);
}

using shell::test::Esportazione;
using shell::test::FileVisibili;

inline std::string DatiProva(std::string_view nome) {
    return shell::test::LeggiFile(std::filesystem::path(UNIEMENS_DATI) / nome);
}

// The messages of a real XML parser reading the file; empty when the document is well-formed.
inline std::string ErroriXml(const std::filesystem::path& documento) {
    return shell::test::ErroriXml(XMLLINT, documento);
}

// Every file in the folder is a well-formed document.
inline void ControllaDocumenti(const std::filesystem::path& cartella) {
    for (const auto& voce : std::filesystem::directory_iterator(cartella)) {
        if (!shell::test::Nascosto(voce.path())) {
            EXPECT_EQ(ErroriXml(voce.path()), "") << voce.path();
        }
    }
}

} // namespace uniemens::test
