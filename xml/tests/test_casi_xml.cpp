// The reader over the cases of data/xml: each is a document (<case>.xml) and the events the reader
// must give for it, or where and why it refuses it (<case>.atteso); a new case needs no C++. Every
// document is also handed over in pieces of 1, 2, 3, 7 and 64 bytes: a token cut anywhere, a line
// end split between its CR and its LF, read the same as whole.

#include "tests/supporto/cartella_temporanea.h"
#include "xml/tests/eventi_xml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace xml {
namespace {

namespace fs = std::filesystem;

const fs::path CartellaCasi = fs::path(XML_DATI);

std::vector<std::string> Casi() {
    std::vector<std::string> casi;
    for (const auto& voce : fs::directory_iterator(CartellaCasi))
        if (voce.path().extension() == ".xml")
            casi.push_back(voce.path().stem().string());
    std::sort(casi.begin(), casi.end());
    return casi;
}

class CasoXml : public testing::TestWithParam<std::string> {};

TEST_P(CasoXml, EventiAttesi) {
    const std::string documento = shell::test::LeggiFile(CartellaCasi / (GetParam() + ".xml"));
    const std::string atteso = shell::test::LeggiFile(CartellaCasi / (GetParam() + ".atteso"));
    ASSERT_FALSE(atteso.empty()) << "manca " << GetParam() << ".atteso";
    EXPECT_EQ(test::ElencaEventi(documento), atteso);
    for (const std::size_t pezzo : {1, 2, 3, 7, 64})
        EXPECT_EQ(test::ElencaEventi(documento, pezzo), atteso) << "a pezzi di " << pezzo << " byte";
}

INSTANTIATE_TEST_SUITE_P(Casi, CasoXml, testing::ValuesIn(Casi()),
                         [](const testing::TestParamInfo<std::string>& caso) { return caso.param; });

} // namespace
} // namespace xml
