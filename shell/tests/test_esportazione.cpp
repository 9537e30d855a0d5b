// Reading the export: line ends, columns, upper case, limits, and where a reading error points.

#include "shell/contatore.h"
#include "shell/errore.h"
#include "shell/esportazione.h"
#include "shell/testo.h"

#include <gtest/gtest.h>

#include <cstdint>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace shell {
namespace {

using Righe = std::vector<std::string_view>;

TEST(DividiRighe, FiniRigaCrLfOCrDaSolo) {
    EXPECT_EQ(DividiRighe("A\r\nB\r\n"), (Righe{"A", "B"}));
    EXPECT_EQ(DividiRighe("A\rB\rC"), (Righe{"A", "B", "C"}));
    EXPECT_EQ(DividiRighe("A\r\nB"), (Righe{"A", "B"}));       // the last line needs no terminator
    EXPECT_EQ(DividiRighe("A\nB\nC\n"), (Righe{"A\nB\nC\n"})); // a line feed alone is a character
    EXPECT_EQ(DividiRighe("A\r\n\r\n"), (Righe{"A", ""}));     // a trailing empty line is a line
    EXPECT_EQ(DividiRighe("\n\r"), (Righe{"\n"}));
    EXPECT_EQ(DividiRighe(""), Righe{});
}

TEST(RifiutaACapoIsolati, FermaAlPrimoLfSenzaCrConRigaEColonna) {
    RifiutaACapoIsolati(Esportazione::DaTesto("A\tB\r\nC\rD"));
    try {
        RifiutaACapoIsolati(Esportazione::DaTesto("A\tB\r\nC\tD\tE\nF\tG\nH\r\n"));
        FAIL() << "a line feed without its carriage return accepted";
    } catch (const ErroreElaborazione& e) {
        EXPECT_STREQ(e.what(), "Riga 2, colonna 2: a capo (LF) senza ritorno carrello (CR); le righe del file di "
                               "esportazione devono finire con CR LF");
    }
}

TEST(DividiRighe, PiuDi32767RigheFermaLElaborazione) {
    std::string testo;
    for (int i = 0; i < 32767; ++i)
        testo += "X\r\n";
    EXPECT_EQ(DividiRighe(testo).size(), 32767u);
    testo += "ULTIMA";
    try {
        DividiRighe(testo);
        FAIL() << "32,768 lines accepted";
    } catch (const ErroreElaborazione& e) {
        EXPECT_STREQ(e.what(), "Superato il limite di 32.767 righe del file di esportazione");
    }
}

std::vector<std::string> Colonne(std::string_view riga) {
    std::vector<std::string_view> colonne;
    DividiColonne(riga, colonne);
    return {colonne.begin(), colonne.end()};
}

TEST(DividiColonne, TabSenzaVirgolette) {
    EXPECT_EQ(Colonne("A\t\tB"), (std::vector<std::string>{"A", "", "B"}));
    EXPECT_EQ(Colonne("SOLA"), (std::vector<std::string>{"SOLA"}));
    EXPECT_EQ(Colonne(""), (std::vector<std::string>{}));
    EXPECT_EQ(Colonne("\t"), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Colonne("\"A\tB\""), (std::vector<std::string>{"\"A", "B\""}));
}

// The split against one made a character at a time: TABs at every place, around the end of the line,
// next to characters that differ from a TAB in one bit only (0x89, 0x08, 0x0B, 0x19, 0x49).
TEST(DividiColonne, ComeUnCarattereAllaVolta) {
    const auto unoAllaVolta = [](std::string_view riga) {
        std::vector<std::string_view> colonne;
        if (riga.empty())
            return colonne;
        std::size_t inizio = 0;
        for (std::size_t i = 0; i <= riga.size(); ++i)
            if (i == riga.size() || riga[i] == '\t') {
                colonne.push_back(riga.substr(inizio, i - inizio));
                inizio = i + 1;
            }
        return colonne;
    };
    const std::string vicini = "\x89\x08\x0B\x19\x49\x01\xFF";
    std::uint32_t seme = 12345;
    const auto caso = [&] {
        seme = seme * 1103515245u + 12345u;
        return seme >> 16;
    };
    std::vector<std::string_view> colonne;
    for (int prova = 0; prova < 2000; ++prova) {
        std::string riga(caso() % 40, 'A');
        for (char& c : riga) {
            const auto r = caso() % 4;
            c = r == 0 ? '\t' : r == 1 ? vicini[caso() % vicini.size()] : static_cast<char>('A' + caso() % 26);
        }
        DividiColonne(riga, colonne);
        const auto attese = unoAllaVolta(riga);
        ASSERT_EQ(colonne.size(), attese.size()) << prova;
        for (std::size_t c = 0; c < attese.size(); ++c) {
            EXPECT_EQ(colonne[c], attese[c]) << prova;
            EXPECT_EQ(colonne[c].data(), attese[c].data()) << prova; // views into the line
        }
    }
    // Every single TAB place in a line of 1 to 24 characters.
    for (std::size_t n = 1; n <= 24; ++n)
        for (std::size_t t = 0; t < n; ++t) {
            std::string riga(n, '\x89');
            riga[t] = '\t';
            DividiColonne(riga, colonne);
            ASSERT_EQ(colonne.size(), 2u) << n << " " << t;
            EXPECT_EQ(colonne[0].size(), t);
            EXPECT_EQ(colonne[1].size(), n - t - 1);
        }
}

TEST(DividiColonne, AlPiu32767ColonneComeViste) {
    std::vector<std::string_view> colonne;
    DividiColonne(std::string(32766, '\t'), colonne);
    EXPECT_EQ(colonne.size(), 32767u);
    EXPECT_THROW(DividiColonne(std::string(32767, '\t'), colonne), ErroreElaborazione);
    EXPECT_TRUE(colonne.empty());
}

TEST(RigaEsportazione, MaiuscoloEPulizia) {
    const RigaEsportazione riga(1, "s\xEC\t rossi \tmari\xE0");
    EXPECT_EQ(riga[0], "S\xCC");
    EXPECT_EQ(riga[1], " ROSSI ");
    EXPECT_EQ(riga[2], "MARI\xC0");
    const RigaEsportazione pulita(1, "s\xEC\t rossi \t", Preparazione::MaiuscoloSenzaSpazi);
    EXPECT_EQ(pulita[1], "ROSSI");
    EXPECT_EQ(pulita[2], "");
}

// Every reading error names the line (from 1), the column (from 0) and the text.
TEST(RigaEsportazione, GliErroriDiconoDove) {
    const RigaEsportazione riga(12, "A\t12A\t31/02/X\t1E999");
    const auto messaggio = [](auto&& leggi) {
        try {
            leggi();
        } catch (const ErroreElaborazione& e) {
            return std::string(e.what());
        }
        return std::string("nessun errore");
    };
    EXPECT_EQ(messaggio([&] { (void)riga[24]; }), "Riga 12, colonna 24: colonna mancante (la riga ha 4 colonne)");
    EXPECT_EQ(messaggio([&] { riga.Numerico(1, riga[1]); }), "Riga 12, colonna 1: numero non valido '12A'");
    EXPECT_EQ(messaggio([&] { riga.LeggiData(2); }), "Riga 12, colonna 2: data non valida '31/02/X'");
    EXPECT_EQ(messaggio([&] { riga.Semplice(3); }), "Riga 12, colonna 3: numero fuori dall'intervallo ammesso '1E999'");
    EXPECT_EQ(messaggio([&] { (void)RigaEsportazione(3, "")[0]; }),
              "Riga 3, colonna 0: colonna mancante (la riga ha 0 colonne)");
    EXPECT_DOUBLE_EQ(riga.Semplice(1), 12.0);
}

TEST(RigaEsportazione, PiuDi32767ColonneFermaLElaborazione) {
    std::string testo(32766, '\t'); // 32,767 columns
    EXPECT_EQ(RigaEsportazione(1, testo).Colonne(), 32767u);
    testo += '\t';
    EXPECT_THROW(RigaEsportazione(1, testo), ErroreElaborazione);
}

// The columns are views into the object's own copy of the line: copies, moves and a new line read
// into the same object must each see their own text, short lines (kept inside the string object)
// and long ones alike.
TEST(RigaEsportazione, CopieESpostamentiVedonoLaPropriaRiga) {
    const std::string lunga = "primo campo lungo piu' di sedici caratteri\tsecondo\t\tquarto";
    for (const std::string& testo : {std::string("a\tb"), lunga}) {
        RigaEsportazione origine(4, testo);
        const RigaEsportazione copia(origine);
        RigaEsportazione assegnata;
        assegnata = origine;
        RigaEsportazione spostata(std::move(origine));
        RigaEsportazione spostataAssegnata;
        spostataAssegnata = RigaEsportazione(copia);
        origine.Carica(9, "altra\triga\tdiversa"); // a moved-from object can be read into again
        for (const RigaEsportazione* riga :
             std::initializer_list<const RigaEsportazione*>{&copia, &assegnata, &spostata, &spostataAssegnata}) {
            ASSERT_EQ(riga->Numero(), 4);
            const auto colonne = Colonne(Maiuscolo(testo));
            ASSERT_EQ(riga->Colonne(), colonne.size()) << testo;
            for (std::size_t c = 0; c < colonne.size(); ++c)
                EXPECT_EQ((*riga)[static_cast<int>(c)], colonne[c]) << testo;
        }
        EXPECT_EQ(origine[2], "DIVERSA");
    }
}

TEST(RigaEsportazione, CaricaRiusaLOggettoPerUnAltraRiga) {
    RigaEsportazione riga(1, "uno\tdue\ttre\tquattro", Preparazione::MaiuscoloSenzaSpazi);
    riga.Carica(2, "  x  \t   ", Preparazione::MaiuscoloSenzaSpazi);
    EXPECT_EQ(riga.Numero(), 2);
    ASSERT_EQ(riga.Colonne(), 2u);
    EXPECT_EQ(riga[0], "X");
    EXPECT_EQ(riga[1], "");
    EXPECT_FALSE(riga.Ha(2));
    riga.Carica(3, "");
    EXPECT_EQ(riga.Colonne(), 0u);
    std::string troppe(32767, '\t');
    EXPECT_THROW(riga.Carica(4, troppe), ErroreElaborazione);
    riga.Carica(5, "di nuovo");
    EXPECT_EQ(riga[0], "DI NUOVO");
}

TEST(Esportazione, LettaPerInteroAncheOltreUnBlocco) {
    // More than the 1 MB read at a time, with its last line unterminated.
    const auto percorso = std::filesystem::temp_directory_path() / "prova_esportazione_grande.tab";
    std::string testo;
    for (int i = 0; testo.size() < (std::size_t{3} << 20); ++i)
        testo += "riga " + std::to_string(i) + "\tcolonna\t" + std::string(100, 'x') + "\r\n";
    testo += "ULTIMA";
    {
        std::ofstream file(percorso, std::ios::binary);
        file << testo;
    }
    const auto esportazione = Esportazione::Leggi(percorso);
    std::filesystem::remove(percorso);
    const auto attese = DividiRighe(testo);
    ASSERT_EQ(esportazione.Righe(), attese.size());
    EXPECT_EQ(esportazione.Riga(0), "riga 0\tcolonna\t" + std::string(100, 'x'));
    EXPECT_EQ(esportazione.Riga(esportazione.Righe() - 1), "ULTIMA");
}

TEST(Contatore16, OltreIlLimite) {
    Contatore16 contatore("record");
    for (int i = 0; i < 32767; ++i)
        contatore.Incrementa();
    EXPECT_EQ(contatore.Valore(), 32767);
    EXPECT_THROW(contatore.Incrementa(), ErroreElaborazione);
    EXPECT_EQ(contatore.Valore(), 32767);
}

TEST(Esportazione, LettaUnaVoltaDalDisco) {
    const auto esportazione = Esportazione::DaTesto("PRIMA\r\nSECONDA");
    EXPECT_EQ(esportazione.Righe(), 2u);
    EXPECT_EQ(esportazione.Riga(1), "SECONDA");
    EXPECT_THROW(Esportazione::Leggi("/nessuna/cartella/nessun_file.tab"), ErroreElaborazione);
}

} // namespace
} // namespace shell
