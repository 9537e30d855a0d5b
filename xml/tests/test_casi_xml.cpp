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

namespace verifica {
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
    // A value read together with its tags stands for the events it takes the place of.
    for (const std::size_t pezzo : {std::size_t{1}, std::size_t{7}, SIZE_MAX})
        EXPECT_EQ(test::ElencaEventi(documento, pezzo, {.valori = true}), atteso)
            << "valori in linea, a pezzi di " << pezzo << " byte";
}

// The cases' documents give the value read in line somewhere: the test above is not only the other one.
TEST(CasiXml, QualcheValoreInLinea) {
    long inLinea = 0;
    for (const std::string& caso : Casi())
        test::ElencaEventi(shell::test::LeggiFile(CartellaCasi / (caso + ".xml")), SIZE_MAX,
                           {.valori = true, .inLinea = &inLinea});
    EXPECT_GT(inLinea, 10);
}

// The start tags' names, in the order of the document, as the events list them ("R:C <nome ...").
std::vector<std::string> NomiDegliInizi(const std::string& eventi) {
    std::vector<std::string> nomi;
    std::istringstream righe(eventi);
    for (std::string riga; std::getline(righe, riga);) {
        const std::size_t tag = riga.find(' ') + 1;
        if (riga.compare(tag, 1, "<") == 0 && riga.compare(tag, 2, "</") != 0)
            nomi.push_back(riga.substr(tag + 1, riga.find_first_of(" >/", tag + 1) - tag - 1));
    }
    return nomi;
}

// A start tag whose name the reader was told to expect reads as any other: told the right names it takes
// them with one comparison, told a name one character short or long of the tag's, never.
TEST_P(CasoXml, NomiAttesi) {
    const std::string documento = shell::test::LeggiFile(CartellaCasi / (GetParam() + ".xml"));
    const std::string atteso = shell::test::LeggiFile(CartellaCasi / (GetParam() + ".atteso"));
    const std::vector<std::string> giusti = NomiDegliInizi(atteso);
    std::vector<std::string> corti, lunghi;
    for (const std::string& nome : giusti) {
        corti.push_back(nome.substr(0, nome.size() - 1));
        lunghi.push_back(nome + "x");
    }
    long presi = 0;
    for (const std::size_t pezzo : {std::size_t{1}, std::size_t{7}, SIZE_MAX})
        EXPECT_EQ(test::ElencaEventi(documento, pezzo, {.attesi = &giusti, .presi = &presi}), atteso)
            << "a pezzi di " << pezzo << " byte";
    const bool semplici = std::any_of(giusti.begin(), giusti.end(),
                                      [](const std::string& n) { return xml::LettoreXML::NomeSemplice(n); });
    EXPECT_EQ(presi > 0, semplici);
    long sbagliati = 0;
    for (const auto* nomi : {&corti, &lunghi})
        EXPECT_EQ(test::ElencaEventi(documento, SIZE_MAX, {.attesi = nomi, .presi = &sbagliati}), atteso);
    EXPECT_EQ(sbagliati, 0);
}

INSTANTIATE_TEST_SUITE_P(Casi, CasoXml, testing::ValuesIn(Casi()),
                         [](const testing::TestParamInfo<std::string>& caso) { return caso.param; });

} // namespace
} // namespace verifica
