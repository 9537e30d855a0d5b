// The UniEmens, E-Mens and DMA supplies are named by their month only: an office that converts the month
// of two employers into one archive folder must not lose the first supply to the second. A second run of
// the same employer replaces its supply; another employer's, or a file that is no such supply, stays,
// and the run stops with the new supply whole under its temporary name.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/processo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;
using shell::test::Argomento;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::EsitoProcesso;
using shell::test::LeggiFile;
using shell::test::ScriviFile;

struct Convertitore {
    const char* comando;
    const char* esportazione;
    int colonnaTitolare;   // the export column of the employer's code
    const char* documento; // as the message names it
    const char* chi;
    const char* titolare; // the sample's employer
};

// clang-format off
const Convertitore Convertitori[] = {
    {"uniemens", "EsportazioneINPS.tab",   2, "un documento UniEmens",   "datore di lavoro", "03456780273"},
    {"emens",    "EsportazioneINPS.tab",   2, "un documento E-Mens",     "datore di lavoro", "02468010414"},
    {"dma",      "EsportazioneINPDAP.tab", 0, "una fornitura INPDAP DMA", "ente",            "80012340586"},
};
// clang-format on
void PrintTo(const Convertitore& c, std::ostream* os) { *os << c.comando; }

constexpr const char* AltroTitolare = "09876543210";

// The entries of a folder that are not hidden, with their contents.
std::map<std::string, std::string> Visibili(const fs::path& cartella) {
    std::map<std::string, std::string> file;
    for (const auto& voce : fs::directory_iterator(cartella))
        if (!shell::test::Nascosto(voce.path()))
            file[voce.path().filename().string()] = LeggiFile(voce.path());
    return file;
}

class Sostituzione : public testing::TestWithParam<Convertitore> {
protected:
    // The sample's export in a folder of its own, with the employer's code of every line replaced when
    // `titolare` is given.
    fs::path Esportazione(const std::string& nome, const char* titolare = nullptr) {
        const fs::path cartella = m_dir / nome;
        fs::create_directories(cartella);
        for (const auto& voce : fs::directory_iterator(fs::path(CARTELLA_ESEMPI) / GetParam().comando))
            fs::copy_file(voce.path(), cartella / voce.path().filename());
        if (titolare) {
            const std::string testo = LeggiFile(cartella / GetParam().esportazione);
            std::string nuovo;
            for (std::size_t inizio = 0; inizio < testo.size();) {
                std::size_t fine = testo.find("\r\n", inizio);
                fine = fine == std::string::npos ? testo.size() : fine + 2;
                std::string riga = testo.substr(inizio, fine - inizio);
                std::size_t da = 0;
                for (int c = 0; c < GetParam().colonnaTitolare; ++c)
                    da = riga.find('\t', da) + 1;
                const std::size_t a = riga.find_first_of("\t\r", da);
                riga.replace(da, a - da, titolare);
                nuovo += riga;
                inizio = fine;
            }
            ScriviFile(cartella / GetParam().esportazione, nuovo);
        }
        return cartella;
    }
    EsitoProcesso Esegui(const fs::path& esportazione, const fs::path& archivio, const char* adesso) {
        return EseguiProcesso(
            FORNITURA_EXE,
            {GetParam().comando, "--dir", Argomento(esportazione), "--archive", Argomento(archivio), "--now", adesso},
            m_dir / "out.txt", m_dir / "err.txt");
    }
    // The one supply of a run into an empty folder.
    std::pair<std::string, std::string> SoloDocumento(const fs::path& esportazione, const char* adesso) {
        const fs::path archivio = m_dir / ("rif-" + esportazione.filename().string());
        const EsitoProcesso esito = Esegui(esportazione, archivio, adesso);
        EXPECT_EQ(esito.stato, 0) << esito.err;
        const auto file = Visibili(archivio);
        EXPECT_EQ(file.size(), 1u);
        if (file.empty())
            return {};
        return {file.begin()->first, file.begin()->second};
    }

    CartellaTemporanea m_dir;
};

TEST_P(Sostituzione, LaFornituraDiUnAltroDatoreDiLavoroResta) {
    const fs::path a = Esportazione("A"), b = Esportazione("B", AltroTitolare);
    const auto [nome, fornituraA] = SoloDocumento(a, "2012-02-01T10:00:00");
    const std::string fornituraB = SoloDocumento(b, "2012-02-01T10:00:00").second;
    ASSERT_NE(fornituraA, fornituraB);

    const fs::path archivio = m_dir / "ARC";
    ASSERT_EQ(Esegui(a, archivio, "2012-02-01T10:00:00").stato, 0);
    // The same employer again: its supply is replaced, nothing is left beside it.
    const EsitoProcesso ancora = Esegui(a, archivio, "2012-02-01T11:00:00");
    EXPECT_EQ(ancora.stato, 0) << ancora.err;
    EXPECT_EQ(Visibili(archivio), (std::map<std::string, std::string>{{nome, fornituraA}}));

    // Another employer, the same month: A's supply stays, B's is whole under its temporary name.
    const EsitoProcesso altro = Esegui(b, archivio, "2012-02-01T12:00:00");
    EXPECT_EQ(altro.stato, 1);
    const std::string temporaneo =
        nome.substr(0, nome.find('-') + 1) + "2012-02-01-12-00-00" + nome.substr(nome.rfind('.'));
    EXPECT_EQ(Visibili(archivio), (std::map<std::string, std::string>{{nome, fornituraA}, {temporaneo, fornituraB}}));
    const std::string atteso = "Il file '" + Argomento(archivio / nome) + "' \xC3\xA8 gi\xC3\xA0 " +
                               GetParam().documento + " di un altro " + GetParam().chi + " (codice fiscale '" +
                               GetParam().titolare +
                               "'), non di quello di questa elaborazione (codice fiscale '09876543210'): non viene "
                               "sostituito. Spostarlo in un'altra cartella e ripetere l'elaborazione.\n"
                               "Il documento resta con il nome temporaneo '" +
                               Argomento(archivio / temporaneo) + "'.\n";
    EXPECT_NE(altro.err.find(atteso), std::string::npos) << altro.err;
    EXPECT_EQ(altro.out.find("Generazione documento"), std::string::npos) << altro.out;
}

// A file under the name that is no supply of the converter's kind (another kind, a text, a supply cut
// before it names its employer) is no supply to replace.
TEST_P(Sostituzione, UnFileCheNonEUnaFornituraResta) {
    const fs::path a = Esportazione("A");
    const auto [nome, fornitura] = SoloDocumento(a, "2012-02-01T10:00:00");
    const std::string contenuti[] = {"ciao\r\n", "", fornitura.substr(0, fornitura.size() > 400 ? 300 : 1),
                                     fornitura.substr(1)};
    int prova = 0;
    for (const std::string& contenuto : contenuti) {
        SCOPED_TRACE(prova);
        const fs::path archivio = m_dir / ("ARC" + std::to_string(prova++));
        fs::create_directories(archivio);
        ScriviFile(archivio / nome, contenuto);
        const EsitoProcesso esito = Esegui(a, archivio, "2012-02-01T12:00:00");
        EXPECT_EQ(esito.stato, 1);
        EXPECT_NE(esito.err.find("Il file '" + Argomento(archivio / nome) + "' non \xC3\xA8 " + GetParam().documento +
                                 " che si possa leggere: non viene sostituito."),
                  std::string::npos)
            << esito.err;
        EXPECT_EQ(LeggiFile(archivio / nome), contenuto);
        EXPECT_EQ(Visibili(archivio).size(), 2u);
    }
}

INSTANTIATE_TEST_SUITE_P(Convertitori, Sostituzione, testing::ValuesIn(Convertitori),
                         [](const auto& info) { return std::string(info.param.comando); });

} // namespace
