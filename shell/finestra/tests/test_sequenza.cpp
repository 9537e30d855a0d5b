// The converter window's run sequence against a view that records what it is told.

#include "shell/finestra/sequenza.h"

#include "tests/supporto/cartella_temporanea.h"
#include "shell/errore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using shell::Casella;
using shell::ContestoElaborazione;
using shell::finestra::SequenzaElaborazione;

namespace {

// Every call of the sequence as one line; the boxes as the view holds them.
class VistaRegistrata : public shell::finestra::VistaElaborazione {
public:
    std::vector<std::string> chiamate;
    std::string caselle[2];
    bool cursoreInFondo[2] = {false, false};
    bool avantiAbilitato = false;
    int esito = -1;
    std::function<void()> allAvviso; // what happens while a box is shown

    void Aggiungi(Casella c, std::string_view testo) override {
        chiamate.push_back(Nome(c) + " += " + std::string(testo));
        caselle[static_cast<int>(c)] += testo;
        cursoreInFondo[static_cast<int>(c)] = false;
    }
    void Svuota(Casella c) override {
        chiamate.push_back(Nome(c) + " svuotata");
        caselle[static_cast<int>(c)].clear();
    }
    void CursoreInFondo(Casella c) override {
        chiamate.push_back(Nome(c) + " in fondo");
        cursoreInFondo[static_cast<int>(c)] = true;
    }
    void AbilitaAvanti() override {
        chiamate.push_back("Avanti abilitato");
        avantiAbilitato = true;
    }
    void MostraAvviso(std::string_view testo, bool iconaErrore) override {
        chiamate.push_back(std::string(iconaErrore ? "errore: " : "avviso: ") + std::string(testo));
        if (allAvviso)
            allAvviso();
    }
    void Termina(int e) override {
        chiamate.push_back("termina " + std::to_string(e));
        esito = e;
    }

private:
    static std::string Nome(Casella c) { return c == Casella::Messaggio ? "Messaggio" : "Errori"; }
};

shell::DataOra Fisso() { return {2011, 6, 14, 9, 5, 7}; }

using Corsa = std::function<void(ContestoElaborazione&)>;

struct Caso {
    const char* nome;
    Corsa corsa;
    std::vector<std::string> chiamate; // after the first activation
    int esito;                         // after "Continua" (or at once, when the run stopped)
};

} // namespace

// The order in which the view is told things: texts held during the run, handed over before a box
// and when the run returns; the caret; the button; the status.
TEST(SequenzaElaborazione, CioCheLaVistaRiceve) {
    const std::vector<Caso> casi = {
        {"corsa completa",
         [](ContestoElaborazione& c) {
             c.ScriviMessaggio("uno");
             c.ScriviMessaggio("due \xE8", false, false);
             c.CursoreInFondo();
         },
         {"Messaggio += uno\r\ndue \xE8", "Messaggio in fondo", "Avanti abilitato"},
         0},
        {"avviso a met\xE0 corsa",
         [](ContestoElaborazione& c) {
             c.ScriviMessaggio("prima");
             c.Avviso("Attenzione!!!", true);
             c.ScriviMessaggio("dopo");
         },
         {"Messaggio += prima\r\n", "errore: Attenzione!!!", "Messaggio += dopo\r\n", "Avanti abilitato"},
         0},
        {"casella errori svuotata e in fondo",
         [](ContestoElaborazione& c) {
             c.ScriviErrore("vecchio", false, true);
             c.ScriviErrore("Nessun errore.", true, true);
             c.ScriviMessaggio("fine");
         },
         {"Errori svuotata", "Messaggio += fine\r\n", "Errori += Nessun errore.\r\n", "Errori in fondo",
          "Avanti abilitato"},
         0},
        {"documento non generato",
         [](ContestoElaborazione& c) {
             c.ScriviMessaggio("Documento non generato", false, false);
             c.SegnalaDocumentoNonGenerato();
         },
         {"Messaggio += Documento non generato", "Avanti abilitato"},
         1},
        {"errore che ferma la corsa",
         [](ContestoElaborazione& c) {
             c.ScriviMessaggio("Apertura");
             c.CursoreInFondo();
             throw shell::ErroreElaborazione("Riga 2, colonna 3: data non valida");
         },
         {"Messaggio += Apertura\r\n", "Messaggio in fondo", "errore: Riga 2, colonna 3: data non valida", "termina 1"},
         1},
        {"eccezione senza testo",
         [](ContestoElaborazione&) { throw std::runtime_error(""); },
         {"errore: Errore imprevisto durante l'elaborazione", "termina 1"},
         1},
        {"eccezione di altro tipo",
         [](ContestoElaborazione&) { throw 42; },
         {"errore: Errore imprevisto durante l'elaborazione", "termina 1"},
         1},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        VistaRegistrata vista;
        SequenzaElaborazione sequenza(vista, caso.corsa, Fisso, "/nonusata");
        sequenza.Attivazione();
        EXPECT_EQ(vista.chiamate, caso.chiamate);
        vista.chiamate.clear();
        sequenza.Attivazione(); // nothing more
        sequenza.Chiudi();
        if (vista.esito == -1 || !vista.chiamate.empty()) {
            EXPECT_EQ(vista.chiamate, std::vector<std::string>{"termina " + std::to_string(caso.esito)});
        }
        EXPECT_EQ(vista.esito, caso.esito);
        EXPECT_EQ(sequenza.Esito(), caso.esito);
    }
}

TEST(SequenzaElaborazione, NienteSiMostraPrimaDellAvvisoODellaFine) {
    VistaRegistrata vista;
    std::size_t chiamateDuranteLaCorsa = 99;
    SequenzaElaborazione sequenza(
        vista,
        [&](ContestoElaborazione& c) {
            for (int i = 0; i < 1000; ++i)
                c.ScriviMessaggio("riga");
            chiamateDuranteLaCorsa = vista.chiamate.size();
        },
        Fisso, "/nonusata");
    sequenza.Attivazione();
    EXPECT_EQ(chiamateDuranteLaCorsa, 0u);
    ASSERT_EQ(vista.chiamate.size(), 2u); // one insertion, then the button
    EXPECT_EQ(vista.caselle[0].size(), 1000u * 6);
}

// A message box of the run activates the window again when it closes, however often: one run.
TEST(SequenzaElaborazione, UnaSolaCorsaAncheConAttivazioniDaUnAvviso) {
    VistaRegistrata vista;
    int corse = 0;
    SequenzaElaborazione* attiva = nullptr;
    vista.allAvviso = [&] {
        attiva->Attivazione();
        attiva->Attivazione();
    };
    SequenzaElaborazione sequenza(
        vista,
        [&](ContestoElaborazione& c) {
            ++corse;
            c.Avviso("uno", false);
            c.Avviso("due", false);
        },
        Fisso, "/nonusata");
    attiva = &sequenza;
    EXPECT_FALSE(sequenza.Avviata());
    sequenza.Attivazione();
    sequenza.Attivazione();
    EXPECT_EQ(corse, 1);
    EXPECT_TRUE(sequenza.Avviata());
    EXPECT_TRUE(vista.avantiAbilitato);
}

// The close box before the run: the window closes, nothing runs, status 0.
TEST(SequenzaElaborazione, ChiusuraPrimaDellaCorsa) {
    VistaRegistrata vista;
    int corse = 0;
    SequenzaElaborazione sequenza(
        vista, [&](ContestoElaborazione&) { ++corse; }, Fisso, "/nonusata");
    sequenza.Chiudi();
    sequenza.Attivazione();
    sequenza.Chiudi();
    EXPECT_EQ(corse, 0);
    EXPECT_EQ(vista.chiamate, std::vector<std::string>{"termina 0"});
}

TEST(SequenzaElaborazione, OrologioEArchivioPassanoAllaCorsa) {
    VistaRegistrata vista;
    shell::DataOra letta;
    fs::path archivio;
    SequenzaElaborazione sequenza(
        vista,
        [&](ContestoElaborazione& c) {
            letta = c.Adesso();
            archivio = c.CartellaArchivio();
        },
        Fisso, "/una/cartella/ARC");
    sequenza.Attivazione();
    EXPECT_EQ(letta, Fisso());
    EXPECT_EQ(archivio, fs::path("/una/cartella/ARC"));
}

TEST(SequenzaElaborazione, AvvisoDelFileMancante) {
    shell::test::CartellaTemporanea dir;
    const shell::Caricamento mancante =
        shell::CaricaEsportazione(dir.Percorso(), "Esportazione770.tab", [](ContestoElaborazione&, const fs::path&) {});
    const auto avviso = shell::finestra::AvvisoCaricamento(mancante);
    ASSERT_TRUE(avviso);
    EXPECT_EQ(*avviso, shell::MessaggioFileMancante(dir / "Esportazione770.tab"));
    EXPECT_NE(avviso->find("Non trovo il file originale in '"), std::string::npos);

    shell::test::ScriviFile(dir / "Esportazione770.tab", "x\r\n");
    const shell::Caricamento presente =
        shell::CaricaEsportazione(dir.Percorso(), "Esportazione770.tab", [](ContestoElaborazione&, const fs::path&) {});
    EXPECT_FALSE(shell::finestra::AvvisoCaricamento(presente));
    EXPECT_FALSE(fs::exists(dir / "ARC"));
}

// The start of a converter's program: a loading that throws, or that finds no export, is an error box and a
// status, the window never opened; else the window is opened with the run loaded, and its status is the
// program's.
TEST(SequenzaElaborazione, AvvioDelProgramma) {
    shell::test::CartellaTemporanea dir;
    std::vector<std::string> avvisi;
    const auto avviso = [&](std::string_view testo) { avvisi.emplace_back(testo); };
    int aperte = 0;
    const auto apri = [&](std::function<void(ContestoElaborazione&)> esegui) {
        ++aperte;
        return esegui ? 42 : -1;
    };
    shell::Convertitore convertitore{};
    convertitore.carica = [](const fs::path&, const fs::path&) -> shell::Caricamento {
        throw std::runtime_error("memoria esaurita");
    };
    EXPECT_EQ(shell::finestra::AvviaConvertitore(convertitore, dir.Percorso(), dir / "ARC", avviso, apri),
              shell::finestra::EsitoErrore);
    ASSERT_EQ(avvisi.size(), 1u);
    EXPECT_NE(avvisi[0].find("memoria esaurita"), std::string::npos) << avvisi[0];

    convertitore.carica = [](const fs::path& programma, const fs::path&) {
        return shell::CaricaEsportazione(programma, "Esportazione770.tab",
                                         [](ContestoElaborazione&, const fs::path&) {});
    };
    EXPECT_EQ(shell::finestra::AvviaConvertitore(convertitore, dir.Percorso(), dir / "ARC", avviso, apri),
              shell::finestra::EsitoFileMancante);
    ASSERT_EQ(avvisi.size(), 2u);
    EXPECT_EQ(avvisi[1], shell::MessaggioFileMancante(dir / "Esportazione770.tab"));
    EXPECT_EQ(aperte, 0);

    shell::test::ScriviFile(dir / "Esportazione770.tab", "x\r\n");
    EXPECT_EQ(shell::finestra::AvviaConvertitore(convertitore, dir.Percorso(), dir / "ARC", avviso, apri), 42);
    EXPECT_EQ(aperte, 1);
    EXPECT_EQ(avvisi.size(), 2u);
}
