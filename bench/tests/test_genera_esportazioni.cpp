// The generated exports: the same bytes for the same seed, the layout each converter reads, and a
// real `fornitura` run that converts every line without a warning.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/processo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;

constexpr int Righe = 400;

struct Caso {
    const char* comando;
    const char* esportazione;
    std::set<std::size_t> colonne; // the column counts a line may have
    const char* riga;              // the start of the log line written once per export line, or ""
    const char* errori;            // what the run writes on stderr
};

// The case by its command, in test names and failures.
void PrintTo(const Caso& caso, std::ostream* os) { *os << caso.comando; }

// clang-format off
const Caso Casi[] = {
//   comando     export file                 columns     log line per export line                         stderr
    {"770",      "Esportazione770.tab",      {200},      "Generazione Record Tipo G - ",                   ""},
    {"uniemens", "EsportazioneINPS.tab",     {46},       "",                                               "Errori di elaborazione:\nNessun errore.\n"},
    {"dma",      "EsportazioneINPDAP.tab",   {46},       "Generazione Record Tipo C - Quadro D0 - ",       ""},
    {"emens",    "EsportazioneINPS.tab",     {42, 46},   "",                                               ""},
    {"tfr",      "EsportazioneTFR.tab",      {42},       "",                                               ""},
};
// clang-format on

std::vector<std::string> Dividi(std::string_view testo, std::string_view separatore) {
    std::vector<std::string> parti;
    std::size_t inizio = 0;
    for (auto fine = testo.find(separatore); fine != std::string_view::npos; fine = testo.find(separatore, inizio)) {
        parti.emplace_back(testo.substr(inizio, fine - inizio));
        inizio = fine + separatore.size();
    }
    parti.emplace_back(testo.substr(inizio));
    return parti;
}

shell::test::EsitoProcesso Genera(const CartellaTemporanea& dir, const std::string& comando, const fs::path& cartella,
                                  const std::string& seme) {
    return EseguiProcesso(GENERATORE_EXE, {comando, std::to_string(Righe), cartella.string(), seme}, dir / "gen.out",
                          dir / "gen.err");
}

class Generatore : public ::testing::TestWithParam<Caso> {};

TEST_P(Generatore, StessoSemeStessiByteEOgniRigaNelSuoTracciato) {
    const Caso& caso = GetParam();
    CartellaTemporanea dir;
    ASSERT_EQ(Genera(dir, caso.comando, dir / "a", "7").stato, 0);
    ASSERT_EQ(Genera(dir, caso.comando, dir / "b", "7").stato, 0);
    ASSERT_EQ(Genera(dir, caso.comando, dir / "c", "8").stato, 0);
    const std::string a = LeggiFile(dir / "a" / caso.esportazione);
    EXPECT_EQ(a, LeggiFile(dir / "b" / caso.esportazione));
    EXPECT_NE(a, LeggiFile(dir / "c" / caso.esportazione));

    // Exactly the lines asked for, each ending with CR LF, no other line break or CR.
    ASSERT_TRUE(a.ends_with("\r\n"));
    const auto righe = Dividi(std::string_view(a).substr(0, a.size() - 2), "\r\n");
    ASSERT_EQ(righe.size(), static_cast<std::size_t>(Righe));
    for (std::size_t i = 0; i < righe.size(); ++i) {
        EXPECT_EQ(righe[i].find_first_of("\r\n"), std::string::npos) << "riga " << i + 1;
        EXPECT_TRUE(caso.colonne.contains(Dividi(righe[i], "\t").size())) << "riga " << i + 1;
    }
}

TEST_P(Generatore, FornituraConverteOgniRigaSenzaAvvisi) {
    const Caso& caso = GetParam();
    CartellaTemporanea dir;
    ASSERT_EQ(Genera(dir, caso.comando, dir / "in", "20110614").stato, 0);
    const auto esito = EseguiProcesso(FORNITURA_EXE,
                                      {caso.comando, "--dir", (dir / "in").string(), "--archive",
                                       (dir / "ARC").string(), "--now", "2011-06-14T09:05:07"},
                                      dir / "out.txt", dir / "err.txt");
    EXPECT_EQ(esito.stato, 0) << esito.out << esito.err;
    EXPECT_EQ(esito.err, caso.errori);
    ASSERT_EQ(std::count_if(fs::directory_iterator(dir / "ARC"), fs::directory_iterator(),
                            [](const auto& voce) { return !shell::test::Nascosto(voce.path()); }),
              1);
    if (*caso.riga) {
        int volte = 0;
        for (const auto& riga : Dividi(esito.out, "\n"))
            volte += riga.starts_with(caso.riga);
        EXPECT_EQ(volte, Righe);
    }
}

INSTANTIATE_TEST_SUITE_P(Esportazioni, Generatore, ::testing::ValuesIn(Casi),
                         [](const auto& info) { return "conv" + std::string(info.param.comando); });

// Every beneficiary belongs to an employee of the TFR export (else the converter would skip it).
TEST(GeneratoreTFR, BeneficiariDiDipendentiDellEsportazione) {
    CartellaTemporanea dir;
    ASSERT_EQ(Genera(dir, "tfr", dir / "in", "20110614").stato, 0);
    std::set<std::string> dipendenti;
    const std::string esportazione = LeggiFile(dir / "in" / "EsportazioneTFR.tab");
    for (const auto& riga : Dividi(esportazione, "\r\n"))
        if (!riga.empty())
            dipendenti.insert(Dividi(riga, "\t").at(13));
    EXPECT_LT(dipendenti.size(), static_cast<std::size_t>(Righe)); // several lines per employee
    const std::string beneficiari = LeggiFile(dir / "in" / "EsportazioneTFRBeneficiari.tab");
    int quanti = 0;
    for (const auto& riga : Dividi(beneficiari, "\r\n")) {
        if (riga.empty())
            continue;
        ++quanti;
        const auto colonne = Dividi(riga, "\t");
        ASSERT_EQ(colonne.size(), 6u);
        EXPECT_TRUE(dipendenti.contains(colonne[0])) << colonne[0];
    }
    EXPECT_GT(quanti, 0);
}

} // namespace
