// The parallel reading of a set: its results taken in the order of the files whatever the threads, and a
// failure of one task passed on once every thread has ended.

#include "verifica/archivio.h"

#include "tests/supporto/cartella_temporanea.h"
#include "verifica/tests/supporto_fornitura.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace verifica {

using lettura::Destinatario;
using lettura::Rilievo;

namespace {

TEST(PerOgniFile, InOrdineConOgniNumeroDiThread) {
    for (const unsigned thread : {0u, 1u, 2u, 7u, 64u}) {
        std::vector<int> letti(40, 0), fatti;
        PerOgniFile(
            letti.size(), thread, [&](std::size_t i) { letti[i] = static_cast<int>(i) * 3; },
            [&](std::size_t i) {
                EXPECT_EQ(letti[i], static_cast<int>(i) * 3);
                fatti.push_back(static_cast<int>(i));
            });
        ASSERT_EQ(fatti.size(), letti.size()) << thread;
        for (std::size_t i = 0; i < fatti.size(); ++i)
            EXPECT_EQ(fatti[i], static_cast<int>(i)) << thread;
    }
    int chiamate = 0;
    PerOgniFile(
        0, 2, [&](std::size_t) { ++chiamate; }, [&](std::size_t) { ++chiamate; });
    EXPECT_EQ(chiamate, 0);
}

TEST(PerOgniFile, UnErroreFermaIlResto) {
    for (const unsigned thread : {1u, 3u}) {
        std::atomic<int> letti{0};
        std::vector<std::size_t> fatti;
        EXPECT_THROW(PerOgniFile(
                         1000, thread,
                         [&](std::size_t i) {
                             ++letti;
                             if (i == 5)
                                 throw std::runtime_error("guasto");
                             // The reading of a file takes a while: the failure is seen long before all of
                             // them could be read, however slowly the exception is thrown.
                             if (i > 5)
                                 std::this_thread::sleep_for(std::chrono::milliseconds(2));
                         },
                         [&](std::size_t i) { fatti.push_back(i); }),
                     std::runtime_error);
        EXPECT_EQ(fatti.size(), 5u) << thread; // those before the failure, and no other
        EXPECT_LT(letti.load(), 1000) << thread;
    }
    std::vector<std::size_t> fatti;
    EXPECT_THROW(PerOgniFile(
                     10, 2, [](std::size_t) {},
                     [&](std::size_t i) {
                         if (i == 2)
                             throw std::logic_error("stampa");
                         fatti.push_back(i);
                     }),
                 std::logic_error);
    EXPECT_EQ(fatti, (std::vector<std::size_t>{0, 1}));
}

// A file that grows while it is read is no supply of one content: its card says so, and the set holds it to no
// rule. One that does not change is a card as any other.
TEST(LeggiScheda, FileCambiatoMentreEraLetto) {
    shell::test::CartellaTemporanea dir;
    const auto percorso = dir / "MV106140.TXT";
    shell::test::ScriviFile(percorso, test::TfrConRigheSconosciute(6));
    class CheLoCambia : public Destinatario {
    public:
        explicit CheLoCambia(std::filesystem::path percorso) : m_percorso(std::move(percorso)) {}
        bool scritto = false;
        void Segnala(const Rilievo&) override {
            if (!scritto)
                scritto = static_cast<bool>(std::ofstream(m_percorso, std::ios::binary | std::ios::app) << "X\r\n");
        }

    private:
        std::filesystem::path m_percorso;
    };
    CheLoCambia cambia(percorso);
    const SchedaFornitura cambiata = LeggiScheda(percorso, {}, cambia);
    if (!cambia.scritto)
        GTEST_SKIP() << "il sistema non lascia scrivere un file aperto in lettura";
    EXPECT_TRUE(cambiata.cambiata);
    EXPECT_FALSE(cambiata.Fornitura());

    struct Nessuno : Destinatario {
        void Segnala(const Rilievo&) override {}
    } nessuno;
    const SchedaFornitura ferma = LeggiScheda(percorso, {}, nessuno);
    EXPECT_FALSE(ferma.cambiata);
    EXPECT_TRUE(ferma.Fornitura());
    EXPECT_TRUE(RegoleDellInsieme({cambiata, ferma}).empty());
}

} // namespace
} // namespace verifica
