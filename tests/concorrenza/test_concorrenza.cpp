// Runs of one converter at the same time into one folder (a double start by the host, a double click,
// two clerks on one shared archive folder): one run at a time writes there; the other stops at once with
// status 1 and a message, having changed nothing; a supply under a final name is always one run's
// complete supply, and a run that reports completion finds its own supply under the name it announced.
// Real processes of `fornitura`, on POSIX and on Windows.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/processo.h"
#include "shell/uscita.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using shell::test::Argomento;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::EsitoProcesso;
using shell::test::LeggiFile;
using shell::test::ProcessoAvviato;
using shell::test::ScriviFile;

constexpr std::string_view Adesso = "2011-06-14T09:05:07";

struct Convertitore {
    const char* comando;
    const char* tipo;         // names the lock file: "." + tipo + ".lock"
    const char* esportazione; // the main export, the one cut short for the smaller run
};

// clang-format off
const Convertitore Convertitori[] = {
    {"770",      "Importa770",   "Esportazione770.tab"},
    {"uniemens", "INPSUNIEMENS", "EsportazioneINPS.tab"},
    {"dma",      "INPDAPDMA",    "EsportazioneINPDAP.tab"},
    {"emens",    "INPSEMENS",    "EsportazioneINPS.tab"},
    {"tfr",      "TFR",          "EsportazioneTFR.tab"},
};
// clang-format on

void PrintTo(const Convertitore& c, std::ostream* os) { *os << c.comando; }

// The entries of a folder that are not hidden, with their contents.
std::map<std::string, std::string> FileVisibili(const fs::path& cartella) {
    std::map<std::string, std::string> file;
    if (fs::exists(cartella))
        for (const auto& voce : fs::directory_iterator(cartella))
            if (!shell::test::Nascosto(voce.path()))
                file[voce.path().filename().string()] = voce.is_regular_file() ? LeggiFile(voce.path()) : "<cartella>";
    return file;
}

// Every entry of a folder, hidden ones included, with its contents and the time of its last change.
std::map<std::string, std::pair<std::string, fs::file_time_type>> Stato(const fs::path& cartella) {
    std::map<std::string, std::pair<std::string, fs::file_time_type>> voci;
    for (const auto& voce : fs::directory_iterator(cartella))
        voci[voce.path().filename().string()] = {LeggiFile(voce.path()), voce.last_write_time()};
    return voci;
}

bool Temporaneo(const std::string& nome) {
    return nome == "TFRtemp.txt" || nome.find("-2011-06-14-09-05-07") != std::string::npos;
}

// The final path announced by a completed run: "Generazione documento '...' completata.".
std::optional<fs::path> DocumentoAnnunciato(const std::string& out) {
    constexpr std::string_view inizio = "Generazione documento '", fine = "' completata.";
    const auto da = out.rfind(inizio);
    if (da == std::string::npos)
        return std::nullopt;
    const auto a = out.find(fine, da);
    if (a == std::string::npos)
        return std::nullopt;
    const std::string utf8 = out.substr(da + inizio.size(), a - da - inizio.size());
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// The message of a run that found the folder taken, as the command line prints it (UTF-8).
std::string MessaggioOccupata(const fs::path& cartella) {
    return "Un'altra elaborazione dello stesso convertitore sta gi\xC3\xA0 scrivendo nella cartella '" +
           Argomento(cartella) +
           "': attendere che termini e riprovare. Nessun file \xC3\xA8 stato creato o modificato.";
}

class Concorrenza : public testing::TestWithParam<Convertitore> {
protected:
    std::vector<std::string> Argomenti(const fs::path& programma, const fs::path& archivio) const {
        return {GetParam().comando,  "--dir", Argomento(programma), "--archive",
                Argomento(archivio), "--now", std::string(Adesso)};
    }
    EsitoProcesso Esegui(const fs::path& programma, const fs::path& archivio) {
        return EseguiProcesso(FORNITURA_EXE, Argomenti(programma, archivio), m_dir / "out.txt", m_dir / "err.txt");
    }
    // The supply of an undisturbed run of `programma`'s exports: name and contents.
    std::pair<std::string, std::string> Riferimento(const fs::path& programma, const std::string& nome) {
        const fs::path archivio = m_dir / ("rif-" + nome);
        const EsitoProcesso esito = Esegui(programma, archivio);
        EXPECT_EQ(esito.stato, 0) << esito.err;
        const auto file = FileVisibili(archivio);
        EXPECT_EQ(file.size(), 1u);
        if (file.empty())
            return {};
        return {file.begin()->first, file.begin()->second};
    }
    // The sample's exports in a folder of their own.
    fs::path Esempio() {
        const fs::path prog = m_dir / "esempio";
        fs::create_directories(prog);
        for (const auto& voce : fs::directory_iterator(fs::path(CARTELLA_ESEMPI) / GetParam().comando))
            fs::copy_file(voce.path(), prog / voce.path().filename());
        return prog;
    }
    // A generated export of the most lines the counters allow, and another of its first 15,000 lines.
    std::pair<fs::path, fs::path> Grandi() {
        const fs::path grande = m_dir / "grande", piccola = m_dir / "piccola";
        const EsitoProcesso generato =
            EseguiProcesso(GENERATORE_EXE, {GetParam().comando, "32767", Argomento(grande), "20110614"},
                           m_dir / "out.txt", m_dir / "err.txt");
        EXPECT_EQ(generato.stato, 0) << generato.err;
        fs::create_directories(piccola);
        for (const auto& voce : fs::directory_iterator(grande))
            fs::copy_file(voce.path(), piccola / voce.path().filename());
        const std::string testo = LeggiFile(grande / GetParam().esportazione);
        std::size_t fine = 0;
        for (int riga = 0; riga < 15000 && fine != std::string::npos; ++riga)
            if ((fine = testo.find("\r\n", fine)) != std::string::npos)
                fine += 2;
        EXPECT_NE(fine, std::string::npos);
        ScriviFile(piccola / GetParam().esportazione, testo.substr(0, fine));
        return {grande, piccola};
    }
    fs::path FileBlocco(const fs::path& archivio) const { return archivio / shell::NomeFileBlocco(GetParam().tipo); }
    bool Tfr() const { return std::string_view(GetParam().comando) == "tfr"; }

    CartellaTemporanea m_dir;
};

// Deterministic: the test holds the converter's lock on the folder, as a run in progress does, while it
// starts the real program. The program stops at once, changes nothing (the other run's temporary file,
// an older supply, the lock file); once the lock is free, a run proceeds over the stale temporary file.
TEST_P(Concorrenza, CartellaOccupataDaUnAltraElaborazione) {
    const fs::path prog = Esempio();
    const auto [nomeFinale, riferimento] = Riferimento(prog, "esempio");
    ASSERT_FALSE(nomeFinale.empty());

    const fs::path archivio = m_dir / "ARC";
    fs::create_directory(archivio);
    const std::string temporaneo = Tfr() ? "TFRtemp.txt"
                                         : nomeFinale.substr(0, nomeFinale.find('-') + 1) + "2011-06-14-09-05-07" +
                                               fs::path(nomeFinale).extension().string();
    ScriviFile(archivio / temporaneo, "scritto a met\xE0 da un'altra elaborazione");
    if (!Tfr()) // an older supply of the same employer
        ScriviFile(archivio / nomeFinale, riferimento + "\r\n");
    {
        const shell::EsclusivaCartella altra(archivio, GetParam().tipo);
        const auto prima = Stato(archivio);
        std::this_thread::sleep_for(std::chrono::milliseconds(20)); // a change would show in the times
        const EsitoProcesso esito = Esegui(prog, archivio);
        EXPECT_EQ(esito.stato, 1) << esito.err;
        EXPECT_NE(esito.err.find(MessaggioOccupata(archivio) + "\n"), std::string::npos) << esito.err;
        EXPECT_EQ(esito.out, "");
        EXPECT_EQ(Stato(archivio), prima) << "a file was created or changed";
    }

    // The other run was killed: its lock went with it, its files stay. A new run proceeds as usual.
    const EsitoProcesso esito = Esegui(prog, archivio);
    ASSERT_EQ(esito.stato, 0) << esito.err;
    EXPECT_EQ(FileVisibili(archivio), (std::map<std::string, std::string>{{nomeFinale, riferimento}}));
    EXPECT_TRUE(fs::exists(FileBlocco(archivio)));
}

// A run killed in the middle of its work (its temporary file open, the lock held) blocks nothing: the next
// run finds the folder free and writes its supply over the stale temporary file.
TEST_P(Concorrenza, ElaborazioneUccisaENuovaElaborazione) {
    const auto [grande, piccola] = Grandi();
    const auto [nomeFinale, riferimento] = Riferimento(grande, "grande");
    // The run is killed as soon as its temporary file is there. Only the folder's names are watched: a file
    // opened by the test would hold up the run's renaming on Windows. A run quick enough to end by itself
    // first is made again, in a new folder.
    fs::path archivio;
    bool uccisa = false;
    for (int prova = 0; prova < 5 && !uccisa; ++prova) {
        archivio = m_dir / ("ARC" + std::to_string(prova));
        ProcessoAvviato corsa(FORNITURA_EXE, Argomenti(grande, archivio), m_dir / "out1.txt", m_dir / "err1.txt");
        const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        const auto temporaneo = [&] {
            std::error_code ec;
            for (fs::directory_iterator voce(archivio, ec), fine; !ec && voce != fine; voce.increment(ec))
                if (Temporaneo(voce->path().filename().string()))
                    return true;
            return false;
        };
        while (!temporaneo() && std::chrono::steady_clock::now() < limite)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        corsa.Uccidi();
        const EsitoProcesso esito = corsa.Attendi();
        uccisa = esito.stato == -1;
        if (!uccisa) {
            ASSERT_EQ(esito.stato, 0) << "a run that was not killed failed\n" << esito.err;
        }
    }
    ASSERT_TRUE(uccisa) << "five runs ended before they could be killed";
    const EsitoProcesso esito = Esegui(grande, archivio);
    ASSERT_EQ(esito.stato, 0) << esito.err;
    const auto file = FileVisibili(archivio);
    ASSERT_EQ(file.size(), 1u);
    EXPECT_EQ(file.begin()->first, nomeFinale);
    EXPECT_TRUE(file.begin()->second == riferimento) << "not the complete supply";
}

// Under Wine a program very rarely does not start, or ends at once without writing a byte and with an
// error status (see cmake/wine-test.sh); the converters always write something, to the log or as the
// message that stops them. Such a run tells nothing of the race. Elsewhere the same end is a crash.
bool NonPartito(const EsitoProcesso& esito) {
#ifdef _WIN32
    return esito.stato != 0 && esito.stato != 1 && esito.out.empty() && esito.err.empty();
#else
    (void)esito;
    return false;
#endif
}

// A real race, repeated: a run on 32,767 lines and one on their first 15,000, the second started 0 to
// 40 ms after the first (in both orders). Whatever the timing, every supply under a final name is one
// run's whole supply, a run that reports completion finds its own supply under the name it announced,
// and a run that does not stops with the message, having left no file of its own.
TEST_P(Concorrenza, DueElaborazioniInsiemeRipetute) {
    const auto [grande, piccola] = Grandi();
    const auto rifGrande = Riferimento(grande, "grande");
    const auto rifPiccola = Riferimento(piccola, "piccola");
    ASSERT_NE(rifGrande.second, rifPiccola.second);

    constexpr int Ripetizioni = 6;
    int fermate = 0;
    for (int i = 0; i < Ripetizioni; ++i) {
        const fs::path archivio = m_dir / ("ARC" + std::to_string(i));
        const auto ritardo = std::chrono::milliseconds(i * 40 / (Ripetizioni - 1));
        const bool grandePrima = i % 2 == 0;
        const fs::path primo = grandePrima ? grande : piccola, secondo = grandePrima ? piccola : grande;
        const std::string& rifPrimo = grandePrima ? rifGrande.second : rifPiccola.second;
        const std::string& rifSecondo = grandePrima ? rifPiccola.second : rifGrande.second;

        EsitoProcesso esiti[2];
        for (int prova = 1;; ++prova) {
            fs::remove_all(archivio);
            ProcessoAvviato a(FORNITURA_EXE, Argomenti(primo, archivio), m_dir / "outa.txt", m_dir / "erra.txt");
            std::this_thread::sleep_for(ritardo);
            ProcessoAvviato b(FORNITURA_EXE, Argomenti(secondo, archivio), m_dir / "outb.txt", m_dir / "errb.txt");
            esiti[0] = a.Attendi();
            esiti[1] = b.Attendi();
            if (prova == 3 || !(NonPartito(esiti[0]) || NonPartito(esiti[1])))
                break;
            std::cerr << "repetition " << i << ": a run never started (Wine), made again\n";
        }
        const std::string* riferimenti[] = {&rifPrimo, &rifSecondo};
        const std::string caso =
            "repetition " + std::to_string(i) + ", second start after " + std::to_string(ritardo.count()) + " ms";

        std::vector<fs::path> annunciati;
        std::vector<const std::string*> completi;
        for (int k = 0; k < 2; ++k) {
            const EsitoProcesso& esito = esiti[k];
            if (esito.stato == 1) {
                ++fermate;
                EXPECT_EQ(esito.out, "") << caso;
                EXPECT_NE(esito.err.find(MessaggioOccupata(archivio)), std::string::npos) << caso << "\n" << esito.err;
                continue;
            }
            ASSERT_EQ(esito.stato, 0) << caso << "\n" << esito.err;
            const auto annunciato = DocumentoAnnunciato(esito.out);
            ASSERT_TRUE(annunciato) << caso << "\n" << esito.out;
            annunciati.push_back(*annunciato);
            completi.push_back(riferimenti[k]);
        }
        ASSERT_FALSE(annunciati.empty()) << caso << ": neither run completed";
        const auto file = FileVisibili(archivio);
        // No temporary file is left: the run that stopped made none.
        for (const auto& [nome, testo] : file) {
            EXPECT_FALSE(Temporaneo(nome)) << caso << ": " << nome << " left";
            EXPECT_TRUE(testo == rifGrande.second || testo == rifPiccola.second)
                << caso << ": " << nome << " is not one run's complete supply";
        }
        if (annunciati.size() == 2 && annunciati[0] == annunciati[1]) {
            // Both ran, one wholly after the other: the later supply replaced the earlier one.
            EXPECT_EQ(file.size(), 1u) << caso;
            continue;
        }
        EXPECT_EQ(file.size(), annunciati.size()) << caso;
        for (std::size_t k = 0; k < annunciati.size(); ++k)
            EXPECT_TRUE(LeggiFile(annunciati[k]) == *completi[k])
                << caso << ": " << annunciati[k] << " does not hold the supply of the run that announced it";
    }
    // The second start fell inside the first run at least once: the race was run, not only the order.
    EXPECT_GT(fermate, 0);
}

INSTANTIATE_TEST_SUITE_P(Convertitori, Concorrenza, testing::ValuesIn(Convertitori),
                         [](const auto& info) { return "conv" + std::string(info.param.comando); });

} // namespace
