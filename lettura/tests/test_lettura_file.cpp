// The lines of a supply read in pieces: whatever the piece size, the same lines, lengths and ends as the
// whole file split at once; a line longer than the room is counted whole, kept in part and the rest hashed (or
// kept whole when asked).

#include "tests/supporto/cartella_temporanea.h"
#include "lettura/lettura_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace lettura {
namespace {

using shell::test::CartellaTemporanea;
using shell::test::ScriviFile;

struct Attesa {
    std::string testo;
    std::size_t lunghezza;
    FineRiga fine;
    std::uint64_t oltre; // the characters past the kept ones, hashed
    std::string intera;  // the whole line, when the reader keeps whole lines
};

// The lines of the whole text, split the plain way.
std::vector<Attesa> Dividi(const std::string& testo, std::size_t massimo) {
    std::vector<Attesa> righe;
    std::size_t inizio = 0;
    while (inizio < testo.size()) {
        const auto lf = testo.find('\n', inizio);
        std::string riga = testo.substr(inizio, lf == std::string::npos ? std::string::npos : lf - inizio);
        FineRiga fine = FineRiga::Nessuna;
        if (lf != std::string::npos) {
            fine = FineRiga::SoloLf;
            if (!riga.empty() && riga.back() == '\r') {
                riga.pop_back();
                fine = FineRiga::CrLf;
            }
        }
        ImprontaFlusso oltre;
        if (riga.size() > massimo)
            oltre.Aggiungi(std::string_view(riga).substr(massimo));
        righe.push_back({riga.substr(0, massimo), riga.size(), fine, oltre.Valore(), riga});
        if (lf == std::string::npos)
            break;
        inizio = lf + 1;
    }
    return righe;
}

std::vector<Attesa> Leggi(const std::filesystem::path& percorso, std::size_t massimo, std::size_t pezzo,
                          bool intere = false) {
    FileInLettura file(percorso);
    LettoreRighe lettore(file, massimo, pezzo, intere);
    std::vector<Attesa> righe;
    Riga riga;
    while (lettore.Prossima(riga)) {
        EXPECT_EQ(riga.numero, static_cast<long>(righe.size()) + 1);
        EXPECT_EQ(riga.intera, intere ? riga.intera : riga.testo);
        righe.push_back({std::string(riga.testo), riga.lunghezza, riga.fine, riga.oltre, std::string(riga.intera)});
    }
    return righe;
}

void Confronta(const std::vector<Attesa>& attese, const std::vector<Attesa>& lette, const std::string& caso,
               bool intere = false) {
    ASSERT_EQ(attese.size(), lette.size()) << caso;
    for (std::size_t i = 0; i < attese.size(); ++i) {
        EXPECT_EQ(attese[i].testo, lette[i].testo) << caso << ", riga " << i + 1;
        EXPECT_EQ(attese[i].lunghezza, lette[i].lunghezza) << caso << ", riga " << i + 1;
        EXPECT_EQ(attese[i].fine, lette[i].fine) << caso << ", riga " << i + 1;
        EXPECT_EQ(attese[i].oltre, lette[i].oltre) << caso << ", riga " << i + 1;
        if (intere) {
            EXPECT_EQ(attese[i].intera, lette[i].intera) << caso << ", riga " << i + 1;
        }
    }
}

TEST(LettoreRighe, GliStessiPezziComunqueTagliati) {
    CartellaTemporanea cartella;
    const auto percorso = cartella.Percorso() / "fornitura.txt";
    std::mt19937 caso(20261208);
    const char alfabeto[] = {'a', 'b', '\r', '\n', 'x'};
    for (int prova = 0; prova < 300; ++prova) {
        std::string testo(caso() % 200, ' ');
        for (char& c : testo)
            c = alfabeto[caso() % sizeof alfabeto];
        ScriviFile(percorso, testo);
        const std::size_t massimo = 1 + caso() % 12;
        for (const std::size_t pezzo : {1, 2, 3, 7, 16, 64, 1024})
            for (const bool intere : {false, true})
                Confronta(Dividi(testo, massimo), Leggi(percorso, massimo, pezzo, intere),
                          "prova " + std::to_string(prova) + ", pezzo " + std::to_string(pezzo) +
                              (intere ? ", righe intere" : ""),
                          intere);
    }
}

TEST(LettoreRighe, FineDiRigaACavalloDiDuePezzi) {
    CartellaTemporanea cartella;
    const auto percorso = cartella.Percorso() / "fornitura.txt";
    // CR at the end of one piece, LF at the start of the next; a line longer than the room.
    ScriviFile(percorso, "abc\r\nabcdefghij\r\nz");
    const auto righe = Leggi(percorso, 4, 4);
    ASSERT_EQ(righe.size(), 3u);
    EXPECT_EQ(righe[0].testo, "abc");
    EXPECT_EQ(righe[0].fine, FineRiga::CrLf);
    EXPECT_EQ(righe[1].testo, "abcd");
    EXPECT_EQ(righe[1].lunghezza, 10u);
    EXPECT_EQ(righe[1].fine, FineRiga::CrLf);
    EXPECT_EQ(righe[2].testo, "z");
    EXPECT_EQ(righe[2].fine, FineRiga::Nessuna);
}

TEST(FileInLettura, FileMancanteOCartella) {
    CartellaTemporanea cartella;
    EXPECT_THROW(FileInLettura(cartella.Percorso() / "manca.txt"), ErroreFile);
    EXPECT_THROW(FileInLettura(cartella.Percorso()), ErroreFile);
}

TEST(FileInLettura, InizioRiletto) {
    CartellaTemporanea cartella;
    const auto percorso = cartella.Percorso() / "fornitura.txt";
    ScriviFile(percorso, "riga uno\r\nriga due\r\n");
    FileInLettura file(percorso);
    EXPECT_EQ(file.Inizio(5), "riga ");
    LettoreRighe lettore(file);
    Riga riga;
    ASSERT_TRUE(lettore.Prossima(riga));
    EXPECT_EQ(riga.testo, "riga uno");
    ASSERT_TRUE(lettore.Prossima(riga));
    EXPECT_EQ(riga.testo, "riga due");
    EXPECT_FALSE(lettore.Prossima(riga));
}

TEST(FileInLettura, AvanzamentoInterrompe) {
    CartellaTemporanea cartella;
    const auto percorso = cartella.Percorso() / "fornitura.txt";
    ScriviFile(percorso, std::string(3 * FileInLettura::Pezzo, 'a'));
    std::vector<std::uint64_t> letti;
    FileInLettura file(percorso, [&](std::uint64_t n, std::uint64_t totale) {
        EXPECT_EQ(totale, 3 * FileInLettura::Pezzo);
        letti.push_back(n);
        return letti.size() < 2;
    });
    LettoreRighe lettore(file);
    Riga riga;
    EXPECT_THROW(lettore.Prossima(riga), LetturaInterrotta);
    EXPECT_EQ(letti, (std::vector<std::uint64_t>{FileInLettura::Pezzo, 2 * FileInLettura::Pezzo}));
}

} // namespace
} // namespace lettura
