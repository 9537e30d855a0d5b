// The check window's logic without a toolkit: what it shows of a supply (data, verdict, findings with the
// person they are about), the sorting of the list, the buttons, the files it holds and how they are opened,
// the reading away from the window's thread with its progress and its stop when the window closes, and the
// pages it writes and opens.

#include "tests/supporto/cartella_temporanea.h"
#include "verifica/confronto.h"
#include "verifica/distinta.h"
#include "verifica/finestra/finestra_verifica.h"
#include "verifica/tests/supporto_fornitura.h"
#include "verifica/finestra/tests/vista_prova.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <map>
#include <sstream>
#include <thread>

namespace verifica::finestra {

using lettura::Avanzamento;
using lettura::ErroreFile;
using lettura::Formato;
using lettura::Gravita;
using lettura::LetturaInterrotta;

namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::LeggiFile;
using shell::test::ScriviFile;
using test::DialogoChiesto;
using test::MessaggioMostrato;
using test::VistaProva;
using verifica::test::FornituraProva;
using Righe = std::vector<std::array<std::string, 4>>;

// Two employees and the three kinds of finding: about a person, about the whole supply, a warning.
FornituraLetta FornituraConRilievi() {
    auto f = FornituraProva({{"d", "RSSMRA80A01H501U", "ROSSI", "MARIO", "1", "1.500,00", ""},
                             {"d", "BNCNNA75B41F205X", "BIANCHI", "ANNA", "2", "2.000,00", ""}});
    f.Dati({{{"Dichiarante", "ALFA S.R.L."}, {"Periodo", "03/2012"}}});
    f.Segnala({Gravita::Errore, 12, 30, "codice fiscale 'BNCNNA75B41F205X' non valido", 1});
    f.Segnala({Gravita::Avviso, 0, 0, "nome del file diverso", -1});
    f.Segnala({Gravita::Avviso, 3, 0, "cognome in minuscolo", 0});
    f.esito.errori = 1;
    f.esito.avvisi = 2;
    f.esito.record = 14;
    return f;
}

class FinestraVerificaTest : public ::testing::Test {
protected:
    CartellaTemporanea m_dir;
    VistaProva m_vista;
    // The supplies the reader gives, by file name; another name is a missing file.
    std::map<std::string, FornituraLetta> m_forniture;
    std::atomic<int> m_letture{0};
    std::unique_ptr<FinestraVerifica> m_finestra;

    ServiziVerifica Servizi() {
        return {m_dir / "ARC", m_dir / "pagine", m_dir / "Guida.html",
                [this](const fs::path& percorso, const Avanzamento&) {
                    ++m_letture;
                    const auto trovata = m_forniture.find(percorso.filename().string());
                    if (trovata == m_forniture.end())
                        throw ErroreFile("File non trovato '" + percorso.string() + "'");
                    return trovata->second;
                }};
    }
    FinestraVerifica& Finestra(ServiziVerifica servizi) {
        m_finestra = std::make_unique<FinestraVerifica>(m_vista, std::move(servizi));
        return *m_finestra;
    }
    FinestraVerifica& Finestra() { return Finestra(Servizi()); }
    void Attendi() { ASSERT_TRUE(m_vista.Attendi(*m_finestra)); }

    Righe Tabella() const {
        Righe righe;
        for (std::size_t r = 0; r < m_vista.righe; ++r) {
            std::array<std::string, 4> riga;
            for (const auto& c : ColonneRilievi)
                riga[static_cast<std::size_t>(c.colonna)] = m_finestra->Cella(r, c.colonna);
            righe.push_back(riga);
        }
        return righe;
    }
    std::vector<std::string> Colonna(ColonnaRilievi colonna) const {
        std::vector<std::string> valori;
        for (const auto& riga : Tabella())
            valori.push_back(riga[static_cast<std::size_t>(colonna)]);
        return valori;
    }
};

TEST_F(FinestraVerificaTest, SenzaFileIlDialogoSiApreNellArchivio) {
    Finestra().Avvio({});
    EXPECT_EQ(m_vista.dialoghi, (std::vector<DialogoChiesto>{{std::string(TitoloApri), m_dir / "ARC", true}}));
    // Cancelled: the window opens empty, "Apri..." is there.
    EXPECT_TRUE(m_vista.file.empty());
    EXPECT_EQ(m_vista.scelto, -1);
    EXPECT_EQ(m_vista.tipoEsito, TipoEsito::Nessuno);
    EXPECT_EQ(m_vista.righe, 0u);
    EXPECT_FALSE(m_vista.distinta);
    EXPECT_FALSE(m_vista.confronta);
    EXPECT_TRUE(m_vista.intestazione.empty());
    EXPECT_EQ(m_letture, 0);

    // Chosen there: read.
    m_forniture["a.xml"] = FornituraConRilievi();
    m_vista.risposte.push_back({m_dir / "ARC" / "a.xml"});
    m_finestra->Apri();
    Attendi();
    EXPECT_EQ(m_vista.dialoghi.back(), (DialogoChiesto{std::string(TitoloApri), m_dir / "ARC", true}));
    EXPECT_EQ(m_vista.file, std::vector<std::string>{(m_dir / "ARC" / "a.xml").string()});
    EXPECT_EQ(m_vista.tipoEsito, TipoEsito::ConErrori);
}

TEST_F(FinestraVerificaTest, DatiEsitoERilieviConLaPersona) {
    m_forniture["a.xml"] = FornituraConRilievi();
    const fs::path a = m_dir / "a.xml";
    Finestra().Avvio({a});
    // While it is read.
    EXPECT_TRUE(m_vista.dialoghi.empty());
    EXPECT_EQ(m_vista.file, std::vector<std::string>{a.string()});
    EXPECT_EQ(m_vista.scelto, 0);
    EXPECT_EQ(m_vista.tipoEsito, TipoEsito::InLettura);
    EXPECT_EQ(m_vista.intestazione, (std::vector<std::pair<std::string, std::string>>{{"File", "a.xml"}}));
    EXPECT_FALSE(m_vista.distinta);
    EXPECT_EQ(m_vista.righe, 0u);

    Attendi();
    const FornituraLetta& f = m_forniture["a.xml"];
    EXPECT_EQ(m_vista.esito, TestoEsito(f.esito));
    EXPECT_EQ(m_vista.tipoEsito, TipoEsito::ConErrori);
    EXPECT_EQ(m_vista.intestazione, (std::vector<std::pair<std::string, std::string>>{{"File", NomeEDataDelFile(a)},
                                                                                      {"Formato", "UniEmens"},
                                                                                      {"Dichiarante", "ALFA S.R.L."},
                                                                                      {"Periodo", "03/2012"},
                                                                                      {"Persone", "2"},
                                                                                      {"Record", "14"}}));
    // By line, the finding about the whole supply first.
    EXPECT_EQ(Tabella(), (Righe{{"", "Avviso", "", "nome del file diverso"},
                                {"3", "Avviso", "RSSMRA80A01H501U ROSSI MARIO", "cognome in minuscolo"},
                                {"12", "Errore", "BNCNNA75B41F205X BIANCHI ANNA",
                                 "codice fiscale 'BNCNNA75B41F205X' non valido"}}));
    EXPECT_TRUE(m_vista.distinta);
    EXPECT_TRUE(m_vista.confronta);
    EXPECT_FALSE(m_vista.avanzamento);
    EXPECT_TRUE(m_vista.messaggi.empty());
}

TEST_F(FinestraVerificaTest, EsitoSenzaErrori) {
    auto f = FornituraConRilievi();
    f.rilievi.erase(f.rilievi.begin());
    f.esito.errori = 0;
    m_forniture["a.xml"] = f;
    m_forniture["b.xml"] = FornituraProva({{"d", "RSSMRA80A01H501U", "ROSSI", "MARIO", "1", "1,00", ""}});
    Finestra().Avvio({m_dir / "a.xml", m_dir / "b.xml"});
    Attendi();
    EXPECT_EQ(m_vista.esito, TestoEsito(f.esito));
    EXPECT_EQ(m_vista.tipoEsito, TipoEsito::Inviabile);
    EXPECT_EQ(m_vista.righe, 2u);
    m_finestra->Scegli(1);
    EXPECT_EQ(m_vista.esito, TestoEsito(m_forniture["b.xml"].esito));
    EXPECT_EQ(m_vista.tipoEsito, TipoEsito::Inviabile);
    EXPECT_EQ(m_vista.righe, 0u);
    EXPECT_TRUE(m_vista.distinta);
}

// Persons told out of their order in the file, and a finding naming a person the file does not have.
TEST_F(FinestraVerificaTest, PersonaDalSuoIndice) {
    auto f = FornituraConRilievi();
    std::swap(f.persone[0], f.persone[1]);
    f.Segnala({Gravita::Errore, 20, 0, "persona sconosciuta", 7});
    m_forniture["a.xml"] = f;
    Finestra().Avvio({m_dir / "a.xml"});
    Attendi();
    EXPECT_EQ(Colonna(ColonnaRilievi::Persona),
              (std::vector<std::string>{"", "RSSMRA80A01H501U ROSSI MARIO", "BNCNNA75B41F205X BIANCHI ANNA", ""}));
}

TEST_F(FinestraVerificaTest, OrdinamentoPerColonnaEInverso) {
    auto f = FornituraConRilievi();
    f.Segnala({Gravita::Errore, 3, 40, "data non valida", 0});
    f.Segnala({Gravita::Errore, 2, 0, "anno errato", -1});
    m_forniture["a.xml"] = f;
    m_forniture["b.xml"] = f;
    Finestra().Avvio({m_dir / "a.xml", m_dir / "b.xml"});
    Attendi();
    EXPECT_EQ(m_vista.colonna, ColonnaRilievi::Riga);
    EXPECT_TRUE(m_vista.crescente);
    // Equal lines keep the order in which they were found.
    EXPECT_EQ(Colonna(ColonnaRilievi::Messaggio),
              (std::vector<std::string>{"nome del file diverso", "anno errato", "cognome in minuscolo",
                                        "data non valida", "codice fiscale 'BNCNNA75B41F205X' non valido"}));

    m_finestra->Ordina(ColonnaRilievi::Gravita);
    EXPECT_EQ(m_vista.colonna, ColonnaRilievi::Gravita);
    EXPECT_TRUE(m_vista.crescente);
    EXPECT_EQ(
        Colonna(ColonnaRilievi::Messaggio),
        (std::vector<std::string>{"anno errato", "data non valida", "codice fiscale 'BNCNNA75B41F205X' non valido",
                                  "nome del file diverso", "cognome in minuscolo"}));
    const Righe crescente = Tabella();
    m_finestra->Ordina(ColonnaRilievi::Gravita);
    EXPECT_FALSE(m_vista.crescente);
    EXPECT_EQ(Tabella(), Righe(crescente.rbegin(), crescente.rend()));

    m_finestra->Ordina(ColonnaRilievi::Persona);
    EXPECT_EQ(m_vista.colonna, ColonnaRilievi::Persona);
    EXPECT_TRUE(m_vista.crescente);
    EXPECT_EQ(Colonna(ColonnaRilievi::Persona),
              (std::vector<std::string>{"", "", "BNCNNA75B41F205X BIANCHI ANNA", "RSSMRA80A01H501U ROSSI MARIO",
                                        "RSSMRA80A01H501U ROSSI MARIO"}));
    EXPECT_EQ(Colonna(ColonnaRilievi::Riga), (std::vector<std::string>{"", "2", "12", "3", "3"}));

    m_finestra->Ordina(ColonnaRilievi::Messaggio);
    EXPECT_EQ(Colonna(ColonnaRilievi::Messaggio),
              (std::vector<std::string>{"anno errato", "codice fiscale 'BNCNNA75B41F205X' non valido",
                                        "cognome in minuscolo", "data non valida", "nome del file diverso"}));
    // The other file, shown now, in the same order.
    m_finestra->Scegli(1);
    EXPECT_EQ(m_vista.colonna, ColonnaRilievi::Messaggio);
    EXPECT_EQ(Colonna(ColonnaRilievi::Messaggio).front(), "anno errato");

    m_finestra->Ordina(ColonnaRilievi::Riga);
    EXPECT_TRUE(m_vista.crescente);
    EXPECT_EQ(Colonna(ColonnaRilievi::Riga), (std::vector<std::string>{"", "2", "3", "3", "12"}));
}

// The whole finding of a row, for the line under the list: the row's own finding, whatever the order;
// the file, the place as far as the finding names it, the kind; nothing of the message cut.
TEST_F(FinestraVerificaTest, TestoInteroDelRilievoScelto) {
    auto f = FornituraConRilievi();
    const std::string lungo = "importo non impostato (dipendente " + std::string(300, 'x') + ") fine";
    f.Segnala({Gravita::Avviso, 7, 0, lungo, 0});
    m_forniture["a.xml"] = f;
    Finestra().Avvio({m_dir / "a.xml"});
    EXPECT_EQ(m_finestra->TestoIntero(0), ""); // still being read
    Attendi();
    const std::vector<std::string> perRiga = {"a.xml: avviso: nome del file diverso",
                                              "a.xml:3: avviso: cognome in minuscolo", "a.xml:7: avviso: " + lungo,
                                              "a.xml:12:30: errore: codice fiscale 'BNCNNA75B41F205X' non valido"};
    std::vector<std::string> righe;
    for (std::size_t r = 0; r < m_vista.righe; ++r)
        righe.push_back(m_finestra->TestoIntero(r));
    EXPECT_EQ(righe, perRiga);
    EXPECT_EQ(m_finestra->TestoIntero(m_vista.righe), "");

    // Sorted otherwise: each row still gives the finding its cells show.
    m_finestra->Ordina(ColonnaRilievi::Messaggio);
    m_finestra->Ordina(ColonnaRilievi::Messaggio);
    ASSERT_EQ(m_vista.righe, 4u);
    for (std::size_t r = 0; r < m_vista.righe; ++r) {
        const std::string testo = m_finestra->TestoIntero(r);
        EXPECT_TRUE(testo.ends_with(": " + m_finestra->Cella(r, ColonnaRilievi::Messaggio))) << testo;
    }
    EXPECT_EQ(m_finestra->TestoIntero(0), "a.xml: avviso: nome del file diverso");
}

// What the file holds reaches the window on one line: a control character, a line end, a C1 code quoted
// by a message are shown as codes, in the cell, in the whole text, in the person and in the data.
TEST_F(FinestraVerificaTest, CaratteriDiControlloMostratiComeCodici) {
    auto f = FornituraProva({{"d", "RSSMRA80A01H501U", "ROS\tSI", "MARIO", "1", "1,00", ""}});
    f.Segnala({Gravita::Errore, 2, 5,
               "nome 'A\x01"
               "B\r\nC\x85"
               "D' non valido",
               0});
    f.Dati({{{"Dichiarante", "ALFA\r\nS.R.L."}}});
    m_forniture["a.xml"] = f;
    Finestra().Avvio({m_dir / "a.xml"});
    Attendi();
    ASSERT_GE(m_vista.intestazione.size(), 3u);
    EXPECT_EQ(m_vista.intestazione[2], (std::pair<std::string, std::string>{"Dichiarante", "ALFA\\x0D\\x0AS.R.L."}));
    ASSERT_EQ(m_vista.righe, 1u);
    EXPECT_EQ(m_finestra->Cella(0, ColonnaRilievi::Messaggio), "nome 'A\\x01B\\x0D\\x0AC\\x85D' non valido");
    EXPECT_EQ(m_finestra->Cella(0, ColonnaRilievi::Persona), "RSSMRA80A01H501U ROS\\x09SI MARIO");
    EXPECT_EQ(m_finestra->TestoIntero(0), "a.xml:2:5: errore: nome 'A\\x01B\\x0D\\x0AC\\x85D' non valido");
}

// A file that cannot be read: its reason is the list's only row, and so its whole text.
TEST_F(FinestraVerificaTest, TestoInteroDelFileIlleggibile) {
    Finestra().Avvio({m_dir / "manca.xml"});
    Attendi();
    ASSERT_EQ(m_vista.righe, 1u);
    EXPECT_EQ(m_finestra->TestoIntero(0),
              "manca.xml: errore: File non trovato '" + (m_dir / "manca.xml").string() + "'");
    EXPECT_EQ(m_finestra->TestoIntero(1), "");
    EXPECT_EQ(m_finestra->Cella(1, ColonnaRilievi::Messaggio), "");
}

TEST_F(FinestraVerificaTest, FormatoNonRiconosciutoSenzaDistinta) {
    FornituraLetta f;
    f.Segnala({Gravita::Errore, 0, 0, "Formato non riconosciuto", -1});
    f.esito.errori = 1;
    m_forniture["x.txt"] = f;
    Finestra().Avvio({m_dir / "x.txt"});
    Attendi();
    EXPECT_EQ(m_vista.tipoEsito, TipoEsito::ConErrori);
    EXPECT_EQ(m_vista.intestazione, (std::vector<std::pair<std::string, std::string>>{
                                        {"File", NomeEDataDelFile(m_dir / "x.txt")}, {"Formato", "non riconosciuto"}}));
    EXPECT_EQ(Tabella(), (Righe{{"", "Errore", "", "Formato non riconosciuto"}}));
    EXPECT_FALSE(m_vista.distinta);
    EXPECT_FALSE(m_vista.confronta);
    m_finestra->ApriDistinta();
    m_finestra->ConfrontaCon();
    EXPECT_TRUE(m_finestra->Inattiva());
    EXPECT_TRUE(m_vista.dialoghi.empty());
    EXPECT_TRUE(m_vista.pagine.empty());
}

// The real reader: a missing file, a folder, an empty file, a file of no known format. The window shows
// what the library finds, as a finding when the file cannot be read.
TEST_F(FinestraVerificaTest, FileRealiMancantiEStrani) {
    ServiziVerifica servizi = Servizi();
    servizi.leggi = {};
    Finestra(std::move(servizi));
    ScriviFile(m_dir / "vuoto.txt", "");
    ScriviFile(m_dir / "strano.txt", "non una fornitura\r\n");
    const std::vector<fs::path> file = {m_dir / "manca.txt", m_dir / "vuoto.txt", m_dir / "strano.txt"};
    // A folder among them is no file: it opens as an archive, whose table is shown.
    m_finestra->Avvio({file[0], m_dir.Percorso(), file[1], file[2]});
    Attendi();
    ASSERT_EQ(m_vista.file.size(), file.size());
    ASSERT_TRUE(m_vista.archivio);
    EXPECT_EQ(m_vista.archivio->cartella, m_dir.Percorso().string());
    for (std::size_t i = 0; i < file.size(); ++i) {
        SCOPED_TRACE(file[i].string());
        m_finestra->Scegli(static_cast<int>(i));
        try {
            const FornituraLetta letta = LeggiFornitura(file[i]);
            EXPECT_EQ(m_vista.esito, TestoEsito(letta.esito));
            EXPECT_EQ(m_vista.tipoEsito, TipoEsito::ConErrori);
            ASSERT_EQ(m_vista.righe, letta.rilievi.size());
            for (std::size_t r = 0; r < letta.rilievi.size(); ++r)
                EXPECT_EQ(m_finestra->Cella(r, ColonnaRilievi::Messaggio), letta.rilievi[r].messaggio);
        } catch (const ErroreFile& e) {
            EXPECT_EQ(m_vista.tipoEsito, TipoEsito::Illeggibile);
            EXPECT_EQ(Tabella(), (Righe{{"", "Errore", "", e.what()}}));
            EXPECT_EQ(m_vista.intestazione,
                      (std::vector<std::pair<std::string, std::string>>{{"File", file[i].filename().string()}}));
        }
        EXPECT_FALSE(m_vista.distinta);
    }
    EXPECT_TRUE(m_vista.messaggi.empty());
}

// The real reader on a supply with a rule found 150 times: the list has its first hundred and one row for the
// others, which sorts as a finding about the whole file and reads whole under the list; the verdict counts
// every finding, whatever the order of the list.
TEST_F(FinestraVerificaTest, RilieviOltreICentoInUnaRiga) {
    ServiziVerifica servizi = Servizi();
    servizi.leggi = {};
    Finestra(std::move(servizi));
    ScriviFile(m_dir / "MV.TXT", verifica::test::TfrConRigheSconosciute(150));
    m_finestra->Avvio({m_dir / "MV.TXT"});
    Attendi();
    const std::string riepilogo =
        "e altri 50 rilievi uguali al primo (riga 2): tipo di record 'X' sconosciuto: attesi 1, 2, 3, 4, 9";
    for (const ColonnaRilievi ordine :
         {ColonnaRilievi::Riga, ColonnaRilievi::Messaggio, ColonnaRilievi::Messaggio, ColonnaRilievi::Gravita}) {
        m_finestra->Ordina(ordine);
        EXPECT_EQ(m_vista.esito, "154 errori, 0 avvisi");
        const Righe righe = Tabella();
        ASSERT_EQ(righe.size(), 105u);
        const auto regola = std::count_if(righe.begin(), righe.end(),
                                          [](const auto& r) { return r[3].rfind("tipo di record '", 0) == 0; });
        EXPECT_EQ(regola, 100);
        const auto trovato =
            std::find(righe.begin(), righe.end(), std::array<std::string, 4>{"", "Errore", "", riepilogo});
        ASSERT_NE(trovato, righe.end());
        EXPECT_EQ(m_finestra->TestoIntero(static_cast<std::size_t>(trovato - righe.begin())),
                  "MV.TXT: errore: " + riepilogo);
    }
    m_finestra->Ordina(ColonnaRilievi::Riga);
    EXPECT_EQ(Colonna(ColonnaRilievi::Riga).back(), "101");
}

TEST_F(FinestraVerificaTest, PiuFileTrascinatiERiaperti) {
    for (const char* nome : {"a.xml", "b.xml", "c.xml"})
        m_forniture[nome] = FornituraConRilievi();
    const fs::path a = m_dir / "a.xml", b = m_dir / "b.xml", c = m_dir / "c.xml";
    Finestra().Avvio({a});
    Attendi();
    m_finestra->FileTrascinati({b, c});
    EXPECT_EQ(m_vista.file, (std::vector<std::string>{a.string(), b.string(), c.string()}));
    EXPECT_EQ(m_vista.scelto, 1);
    EXPECT_EQ(m_vista.tipoEsito, TipoEsito::InLettura);
    Attendi();
    EXPECT_EQ(m_vista.tipoEsito, TipoEsito::ConErrori);
    EXPECT_EQ(m_letture, 3);

    // A file open already is read again (it may have been written anew), not listed twice; a relative
    // path names the same file.
    m_forniture["a.xml"].Segnala({Gravita::Errore, 1, 1, "nuovo", -1});
    m_vista.risposte.push_back({m_dir / "." / "a.xml"});
    m_finestra->Apri();
    EXPECT_EQ(m_vista.dialoghi.back(), (DialogoChiesto{std::string(TitoloApri), m_dir.Percorso(), true}));
    EXPECT_EQ(m_vista.file.size(), 3u);
    EXPECT_EQ(m_vista.scelto, 0);
    Attendi();
    EXPECT_EQ(m_letture, 4);
    EXPECT_EQ(m_vista.righe, 4u);
    EXPECT_EQ(m_finestra->Cella(1, ColonnaRilievi::Messaggio), "nuovo");
}

TEST_F(FinestraVerificaTest, AvanzamentoEChiusuraDuranteLaLettura) {
    std::atomic<int> passo{0};
    std::atomic<bool> interrotta{false};
    ServiziVerifica servizi = Servizi();
    // 100 bytes in steps of 25 that the test lets go one by one; stopped, it ends as a reading does.
    servizi.leggi = [&](const fs::path&, const Avanzamento& avanzamento) -> FornituraLetta {
        for (int letti = 25; letti <= 100; letti += 25) {
            if (!avanzamento(static_cast<std::uint64_t>(letti), 100)) {
                interrotta = true;
                throw LetturaInterrotta();
            }
            while (passo * 25 < letti) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                if (!avanzamento(static_cast<std::uint64_t>(letti), 100)) {
                    interrotta = true;
                    throw LetturaInterrotta();
                }
            }
        }
        return FornituraConRilievi();
    };
    Finestra(std::move(servizi)).Avvio({m_dir / "grande.txt"});
    const auto fino = [&](int percentuale) {
        for (int i = 0; i < 100 && (!m_vista.avanzamento || m_vista.avanzamento->percentuale < percentuale); ++i)
            ASSERT_TRUE(m_vista.AttendiSveglia(*m_finestra));
    };
    fino(25);
    ASSERT_TRUE(m_vista.avanzamento);
    EXPECT_EQ(m_vista.avanzamento->testo, "Lettura di grande.txt");
    EXPECT_EQ(m_vista.avanzamento->percentuale, 25);
    EXPECT_EQ(m_vista.tipoEsito, TipoEsito::InLettura);
    passo = 1;
    fino(50);
    EXPECT_EQ(m_vista.avanzamento->percentuale, 50);
    passo = 2;
    fino(75);
    EXPECT_EQ(m_vista.avanzamento->percentuale, 75);

    // The window closes while the reading waits: it stops, and nothing is shown any more.
    const int aggiornamenti = m_vista.aggiornamenti;
    m_finestra->Chiudi();
    EXPECT_TRUE(interrotta);
    m_finestra->Consegna();
    m_finestra->Ordina(ColonnaRilievi::Persona);
    EXPECT_EQ(m_vista.aggiornamenti, aggiornamenti);
    EXPECT_EQ(m_vista.tipoEsito, TipoEsito::InLettura);
    EXPECT_TRUE(std::is_sorted(m_vista.percentuali.begin(), m_vista.percentuali.end()));
}

TEST_F(FinestraVerificaTest, AvanzamentoNascostoAllaFine) {
    ServiziVerifica servizi = Servizi();
    servizi.leggi = [&](const fs::path&, const Avanzamento& avanzamento) {
        for (std::uint64_t letti = 1; letti <= 4; ++letti)
            avanzamento(letti << 20, 4 << 20);
        return FornituraConRilievi();
    };
    Finestra(std::move(servizi)).Avvio({m_dir / "a.xml"});
    Attendi();
    EXPECT_FALSE(m_vista.avanzamento);
    EXPECT_EQ(m_vista.tipoEsito, TipoEsito::ConErrori);
    EXPECT_LE(m_vista.percentuali.size(), 5u); // only when the percentage changes
}

TEST_F(FinestraVerificaTest, ApriDistinta) {
    m_forniture["a.xml"] = FornituraConRilievi();
    const fs::path a = m_dir / "a.xml";
    Finestra().Avvio({a});
    Attendi();
    m_finestra->ApriDistinta();
    Attendi();
    ASSERT_EQ(m_vista.pagine, std::vector<fs::path>{m_dir / "pagine" / "distinta-1-a.html"});
    std::ostringstream atteso;
    ScriviDistintaHtml(m_forniture["a.xml"], NomeEDataDelFile(a), atteso);
    EXPECT_EQ(LeggiFile(m_vista.pagine[0]), atteso.str());
    EXPECT_TRUE(m_vista.messaggi.empty());
}

TEST_F(FinestraVerificaTest, ConfrontaConLaFornituraPrecedente) {
    m_forniture["marzo.xml"] = FornituraProva(
        {{"d", "AAA", "ROSSI", "MARIO", "1", "1.500,00", ""}, {"d", "BBB", "BIANCHI", "ANNA", "2", "2.000,00", ""}});
    m_forniture["aprile.xml"] = FornituraProva({{"d", "AAA", "ROSSI", "MARIO", "1", "1.600,00", ""}});
    fs::create_directory(m_dir / "ARC");
    const fs::path marzo = m_dir / "vecchie" / "marzo.xml", aprile = m_dir / "ARC" / "aprile.xml";
    Finestra().Avvio({aprile});
    Attendi();

    // Cancelled: nothing.
    m_finestra->ConfrontaCon();
    EXPECT_EQ(m_vista.dialoghi, (std::vector<DialogoChiesto>{{std::string(TitoloConfronta), m_dir / "ARC", false}}));
    EXPECT_TRUE(m_finestra->Inattiva());

    m_vista.risposte.push_back({marzo});
    m_finestra->ConfrontaCon();
    Attendi();
    ASSERT_EQ(m_vista.pagine, std::vector<fs::path>{m_dir / "pagine" / "confronto-1-marzo-aprile.html"});
    const FornituraLetta &vecchia = m_forniture["marzo.xml"], &nuova = m_forniture["aprile.xml"];
    std::ostringstream atteso;
    ScriviConfrontoHtml(vecchia, nuova, Confronta(vecchia, nuova), NomeEDataDelFile(marzo, true),
                        NomeEDataDelFile(aprile, true), atteso);
    EXPECT_EQ(LeggiFile(m_vista.pagine[0]), atteso.str());
    EXPECT_TRUE(m_vista.messaggi.empty());
    // The earlier supply is not among the open files.
    EXPECT_EQ(m_vista.file, std::vector<std::string>{aprile.string()});
}

TEST_F(FinestraVerificaTest, ConfrontoImpossibile) {
    m_forniture["nuova.xml"] = FornituraConRilievi();
    m_forniture["dma.txt"] = FornituraConRilievi();
    m_forniture["dma.txt"].formato = Formato::Dma;
    m_forniture["strano.txt"] = FornituraLetta();
    m_forniture["rotta.xml"] = FornituraConRilievi();
    m_forniture["rotta.xml"].esito.nonConfrontabile = "riga 3, colonna 1: documento XML non ben formato: x";
    Finestra().Avvio({m_dir / "nuova.xml"});
    Attendi();
    for (const char* nome : {"dma.txt", "strano.txt", "rotta.xml", "manca.xml"}) {
        m_vista.risposte.push_back({m_dir / nome});
        m_finestra->ConfrontaCon();
        Attendi();
    }
    EXPECT_EQ(m_vista.messaggi,
              (std::vector<MessaggioMostrato>{
                  {"Formati diversi: 'dma.txt' \xE8 una fornitura INPDAP DMA, 'nuova.xml' una fornitura UniEmens: si "
                   "confrontano solo forniture dello stesso formato",
                   false},
                  {"Il file 'strano.txt' non \xE8 una fornitura riconosciuta: non si pu\xF2 confrontare con "
                   "'nuova.xml'",
                   false},
                  {"Il file 'rotta.xml' non si pu\xF2 confrontare con 'nuova.xml': riga 3, colonna 1: documento XML "
                   "non ben formato: x",
                   false},
                  {"File non trovato '" + (m_dir / "manca.xml").string() + "'", true}}));
    EXPECT_TRUE(m_vista.pagine.empty());
}

TEST_F(FinestraVerificaTest, PaginaNonScrivibileOBrowserAssente) {
    m_forniture["a.xml"] = FornituraConRilievi();
    ScriviFile(m_dir / "pagine", "un file, non una cartella");
    Finestra().Avvio({m_dir / "a.xml"});
    Attendi();
    m_finestra->ApriDistinta();
    Attendi();
    EXPECT_TRUE(m_vista.pagine.empty());
    ASSERT_EQ(m_vista.messaggi.size(), 1u);
    EXPECT_TRUE(m_vista.messaggi[0].errore);
    EXPECT_TRUE(m_vista.messaggi[0].testo.starts_with("Impossibile scrivere la pagina '" +
                                                      (m_dir / "pagine" / "distinta-1-a.html").string() +
                                                      "': Impossibile creare"))
        << m_vista.messaggi[0].testo;

    fs::remove(m_dir / "pagine");
    m_vista.messaggi.clear();
    m_vista.browserFunziona = false;
    m_finestra->ApriDistinta();
    Attendi();
    EXPECT_EQ(m_vista.messaggi,
              (std::vector<MessaggioMostrato>{{"Impossibile aprire la pagina '" +
                                                   (m_dir / "pagine" / "distinta-1-a.html").string() + "' nel browser",
                                               true}}));
}

TEST_F(FinestraVerificaTest, Guida) {
    Finestra().Avvio({});
    m_finestra->Guida();
    EXPECT_EQ(m_vista.messaggi,
              (std::vector<MessaggioMostrato>{{"Non trovo la guida '" + (m_dir / "Guida.html").string() + "'", true}}));
    EXPECT_TRUE(m_vista.pagine.empty());
    ScriviFile(m_dir / "Guida.html", "<!DOCTYPE html>");
    m_finestra->Guida();
    EXPECT_EQ(m_vista.pagine, std::vector<fs::path>{m_dir / "Guida.html"});
    EXPECT_EQ(m_vista.messaggi.size(), 1u);
}

TEST(PercorsoGuida, NellaCartellaDelProgrammaOInQuellaSopra) {
    CartellaTemporanea dir;
    fs::create_directories(dir / "verifica");
    EXPECT_EQ(PercorsoGuida(dir / "verifica"), dir / "Guida.html");
    ScriviFile(dir / "Guida.html", "");
    EXPECT_EQ(PercorsoGuida(dir / "verifica"), dir / "Guida.html");
    ScriviFile(dir / "verifica" / "Guida.html", "");
    EXPECT_EQ(PercorsoGuida(dir / "verifica"), dir / "verifica" / "Guida.html");
}

// The work away from the window's thread, alone.
TEST(LavoriInDisparte, SeguitiInOrdineSulThreadDiChiConsegna) {
    std::atomic<int> sveglie{0};
    LavoriInDisparte lavori([&] { ++sveglie; });
    std::vector<int> fatti;
    const auto chiamante = std::this_thread::get_id();
    std::vector<std::thread::id> thread;
    for (int i = 0; i < 3; ++i)
        lavori.Accoda("lavoro", [&, i](const Avanzamento&) -> LavoriInDisparte::Seguito {
            thread.push_back(std::this_thread::get_id());
            return [&, i] {
                EXPECT_EQ(std::this_thread::get_id(), chiamante);
                fatti.push_back(i);
            };
        });
    for (int i = 0; i < 1000 && !lavori.Inattivi(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        lavori.Consegna();
    }
    EXPECT_EQ(fatti, (std::vector<int>{0, 1, 2}));
    ASSERT_EQ(thread.size(), 3u);
    EXPECT_NE(thread[0], chiamante);
    EXPECT_GT(sveglie, 0);
}

// One call of Sveglia until the window has taken what there is, however much happens meanwhile.
TEST(LavoriInDisparte, UnaSvegliaFinoAllaConsegna) {
    std::atomic<int> sveglie{0};
    LavoriInDisparte lavori([&] { ++sveglie; });
    std::atomic<bool> fatto{false};
    lavori.Accoda("lavoro", [&](const Avanzamento& avanzamento) -> LavoriInDisparte::Seguito {
        for (std::uint64_t i = 1; i <= 100; ++i)
            avanzamento(i, 100);
        fatto = true;
        return [] {};
    });
    while (!fatto)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    while (!lavori.Inattivi() && sveglie < 1)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(sveglie, 1);
    lavori.Consegna();
    EXPECT_TRUE(lavori.Inattivi());
    lavori.Accoda("altro", [](const Avanzamento&) { return LavoriInDisparte::Seguito{}; });
    for (int i = 0; i < 1000 && sveglie < 2; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(sveglie, 2);
}

TEST(LavoriInDisparte, FermaInterrompeEScartaIlResto) {
    LavoriInDisparte lavori([] {});
    std::atomic<bool> iniziato{false}, interrotto{false}, secondo{false};
    lavori.Accoda("lungo", [&](const Avanzamento& avanzamento) -> LavoriInDisparte::Seguito {
        iniziato = true;
        while (avanzamento(1, 2))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        interrotto = true;
        return [] { ADD_FAILURE() << "consegnato dopo Ferma"; };
    });
    lavori.Accoda("secondo", [&](const Avanzamento&) -> LavoriInDisparte::Seguito {
        secondo = true;
        return {};
    });
    while (!iniziato)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    lavori.Ferma();
    EXPECT_TRUE(interrotto);
    EXPECT_FALSE(secondo);
    lavori.Consegna();
    lavori.Accoda("dopo", [&](const Avanzamento&) -> LavoriInDisparte::Seguito {
        secondo = true;
        return {};
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(secondo);
}

} // namespace
} // namespace verifica::finestra
