// The final name of the supply: the suffix sequence, any entry of that name taken whatever its
// letter case or kind, the move that never replaces, and the day with all 36 names taken.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/contesto_registrato.h"
#include "shell/errore.h"
#include "tfr/nome_fornitura.h"
#include "shell/piattaforma.h"
#include "shell/testo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace tfr {
namespace {

namespace fs = std::filesystem;
using shell::DataOra;
using shell::EsitoSpostamento;
using shell::test::CartellaTemporanea;
using shell::test::ContestoRegistrato;
using shell::test::LeggiFile;
using shell::test::ScriviFile;

TEST(NomeFornitura, CinqueCifreDellaDataESuffisso) {
    const DataOra giugno{2011, 6, 14, 9, 5, 7};
    EXPECT_EQ(NomeFornitura(giugno, 0), "MV106140.TXT");
    EXPECT_EQ(NomeFornitura(giugno, 9), "MV106149.TXT");
    EXPECT_EQ(NomeFornitura(giugno, 10), "MV10614A.TXT");
    EXPECT_EQ(NomeFornitura(giugno, 35), "MV10614Z.TXT");
    EXPECT_EQ(NomeFornitura({2010, 12, 31, 23, 59, 59}, 1), "MV012311.TXT");
    EXPECT_EQ(NomeFornitura({2020, 1, 5, 0, 0, 0}, 11), "MV00105B.TXT");
}

// A clock that moves on by one day at each reading after the first `ferma` ones.
class ContestoCheAvanza : public ContestoRegistrato {
public:
    using ContestoRegistrato::ContestoRegistrato;
    DataOra Adesso() override {
        DataOra adesso = ContestoRegistrato::Adesso();
        adesso.giorno += m_letture++;
        return adesso;
    }

private:
    int m_letture = 0;
};

class NomeFinale : public testing::Test {
protected:
    NomeFinale() { ScriviFile(Temporaneo(), "1...\r\n9000001000000000000000000\r\n"); }

    fs::path Temporaneo() const { return m_dir / "TFRtemp.txt"; }
    fs::path DaiNome(shell::ContestoElaborazione& contesto) {
        return DaiNomeFornitura(contesto, Temporaneo(), m_dir.Percorso());
    }
    fs::path DaiNome() { return DaiNome(m_contesto); }

    CartellaTemporanea m_dir;
    ContestoRegistrato m_contesto{m_dir.Percorso()};
};

TEST_F(NomeFinale, PrimoDelGiornoEFileTemporaneoTolto) {
    EXPECT_EQ(DaiNome(), m_dir / "MV106140.TXT");
    EXPECT_EQ(LeggiFile(m_dir / "MV106140.TXT"), "1...\r\n9000001000000000000000000\r\n");
    EXPECT_FALSE(fs::exists(Temporaneo()));
}

TEST_F(NomeFinale, DopoLeCifreLeLettere) {
    for (int n = 0; n < 10; ++n)
        ScriviFile(m_dir / NomeFornitura(m_contesto.Adesso(), n), "vecchia");
    EXPECT_EQ(DaiNome(), m_dir / "MV10614A.TXT");
    for (int n = 0; n < 10; ++n)
        EXPECT_EQ(LeggiFile(m_dir / NomeFornitura(m_contesto.Adesso(), n)), "vecchia");
}

// Name, kind and content of every entry of a folder.
std::map<std::string, std::string> Contenuto(const fs::path& cartella) {
    std::map<std::string, std::string> voci;
    for (const auto& voce : fs::directory_iterator(cartella)) {
        const auto tipo = voce.symlink_status().type();
        voci[voce.path().filename().string()] = std::to_string(static_cast<int>(tipo)) + ":" +
                                                (tipo == fs::file_type::regular ? LeggiFile(voce.path()) : "");
    }
    return voci;
}

// Whatever stands under the name, in any letter case, keeps it: nothing is replaced.
struct CasoOccupato {
    const char* nome;
    void (*prepara)(const fs::path& cartella);
};
void PrintTo(const CasoOccupato& caso, std::ostream* os) { *os << caso.nome; }

class NomeOccupatoDa : public NomeFinale, public testing::WithParamInterface<CasoOccupato> {};

TEST_P(NomeOccupatoDa, PassaAlSuffissoSeguente) {
    GetParam().prepara(m_dir.Percorso());
    fs::remove(Temporaneo());
    const auto prima = Contenuto(m_dir.Percorso());
    ScriviFile(Temporaneo(), "nuova");
    EXPECT_EQ(DaiNome(), m_dir / "MV106141.TXT");
    EXPECT_EQ(LeggiFile(m_dir / "MV106141.TXT"), "nuova");
    fs::remove(m_dir / "MV106141.TXT");
    EXPECT_EQ(Contenuto(m_dir.Percorso()), prima);
}

// clang-format off
const CasoOccupato CasiOccupato[] = {
    CasoOccupato{"Minuscole",       [](const fs::path& d) { ScriviFile(d / "mv106140.txt", "x"); }},
    CasoOccupato{"Maiuscole",       [](const fs::path& d) { ScriviFile(d / "MV106140.TXT", "x"); }},
    CasoOccupato{"Misto",           [](const fs::path& d) { ScriviFile(d / "Mv106140.Txt", "x"); }},
    CasoOccupato{"Cartella",        [](const fs::path& d) { fs::create_directory(d / "MV106140.TXT"); }},
#ifndef _WIN32 // no symbolic link on Windows: a privilege there, and MinGW's library makes none
    CasoOccupato{"CollegamentoRotto", [](const fs::path& d) { fs::create_symlink(d / "non-esiste", d / "MV106140.TXT"); }},
#endif
};
INSTANTIATE_TEST_SUITE_P(TFR, NomeOccupatoDa, testing::ValuesIn(CasiOccupato),
                         [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

TEST_F(NomeFinale, TuttiITrentaseiNomiOccupati) {
    for (int n = 0; n < NomiAlGiorno; ++n)
        ScriviFile(m_dir / NomeFornitura(m_contesto.Adesso(), n), std::to_string(n));
    try {
        DaiNome();
        FAIL() << "a 37th name was used";
    } catch (const shell::ErroreElaborazione& e) {
        EXPECT_EQ(std::string(e.what()), "Nella cartella '" + shell::TestoPercorso(m_dir.Percorso()) +
                                             "' ci sono gi\xE0 tutti i 36 documenti del giorno, da 'MV106140.TXT' a "
                                             "'MV10614Z.TXT': nessun nome libero per il nuovo documento");
    }
    EXPECT_TRUE(fs::exists(Temporaneo()));
    for (int n = 0; n < NomiAlGiorno; ++n)
        EXPECT_EQ(LeggiFile(m_dir / NomeFornitura(m_contesto.Adesso(), n)), std::to_string(n));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Percorso()), fs::directory_iterator()), 37);
}

// The date is read again for each name tried; the suffix goes on from where it was.
TEST_F(NomeFinale, DataLettaAOgniTentativo) {
    ContestoCheAvanza contesto(m_dir.Percorso());
    ScriviFile(m_dir / "MV106140.TXT", "x");
    EXPECT_EQ(DaiNome(contesto), m_dir / "MV106151.TXT");
}

TEST(SpostaEsclusivo, NuovoFileCompleto) {
    CartellaTemporanea dir;
    const std::string contenuto(200000, 'x'); // more than one block
    ScriviFile(dir / "origine", contenuto);
    EXPECT_EQ(shell::SpostaEsclusivo(dir / "origine", dir / "copia"), EsitoSpostamento::Spostato);
    EXPECT_EQ(LeggiFile(dir / "copia"), contenuto);
    EXPECT_FALSE(fs::exists(dir / "origine"));
}

TEST(SpostaEsclusivo, MaiSopraUnFileEsistente) {
    CartellaTemporanea dir;
    ScriviFile(dir / "origine", "nuovo");
    ScriviFile(dir / "copia", "vecchio");
    EXPECT_EQ(shell::SpostaEsclusivo(dir / "origine", dir / "copia"), EsitoSpostamento::Esistente);
    EXPECT_EQ(LeggiFile(dir / "copia"), "vecchio");
}

TEST(SpostaEsclusivo, FallimentiSenzaCopieParziali) {
    CartellaTemporanea dir;
    ScriviFile(dir / "origine", "nuovo");
    EXPECT_EQ(shell::SpostaEsclusivo(dir / "manca", dir / "copia"), EsitoSpostamento::Fallito);
    EXPECT_FALSE(fs::exists(dir / "copia"));
    EXPECT_EQ(shell::SpostaEsclusivo(dir / "origine", dir / "non-esiste" / "copia"), EsitoSpostamento::Fallito);
    // A folder as the origin is refused and stays where it is.
    fs::create_directory(dir / "cartella");
    EXPECT_EQ(shell::SpostaEsclusivo(dir / "cartella", dir / "copia"), EsitoSpostamento::Fallito);
    EXPECT_FALSE(fs::exists(dir / "copia"));
}

} // namespace
} // namespace tfr
