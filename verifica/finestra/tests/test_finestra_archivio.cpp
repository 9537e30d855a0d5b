// The check window's logic on an archive's folder: the table of its supplies with the cells the command line's
// `fornitura archivio` prints, the set's findings and what of the folder is no supply, the summary; a row opened
// as a supply and the way back; an empty folder, one of no supplies, one that is not there.

#include "cli/comandi_verifica.h"
#include "shell/testo.h"
#include "tests/supporto/cartella_temporanea.h"
#include "verifica/archivio.h"
#include "verifica/distinta.h"
#include "verifica/finestra/finestra_verifica.h"
#include "verifica/finestra/tests/forniture_di_prova.h"
#include "verifica/finestra/tests/vista_prova.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <sstream>

namespace verifica::finestra {
namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::ScriviFile;
using test::DialogoChiesto;
using test::VistaProva;
using Tabella = std::vector<std::array<std::string, 9>>;

// The rows `fornitura archivio CARTELLA` prints, each cell back in ISO-8859-1.
Tabella TabellaDellaRigaDiComando(const fs::path& cartella) {
    std::ostringstream out, err;
    cli::EseguiArchivio({"archivio", cartella.string()}, out, err);
    std::istringstream righe(out.str());
    Tabella tabella;
    std::string riga;
    std::getline(righe, riga); // the header
    while (std::getline(righe, riga)) {
        std::array<std::string, 9> celle;
        std::istringstream campi(riga);
        for (std::string& cella : celle) {
            std::string campo;
            std::getline(campi, campo, '\t');
            cella = ValoreDaCellaTsv(campo);
        }
        tabella.push_back(celle);
    }
    return tabella;
}

class FinestraArchivioTest : public ::testing::Test {
protected:
    CartellaTemporanea m_dir;
    VistaProva m_vista;
    std::unique_ptr<FinestraVerifica> m_finestra;

    FinestraVerifica& Finestra() {
        m_finestra = std::make_unique<FinestraVerifica>(
            m_vista, ServiziVerifica{m_dir / "ARC", m_dir / "pagine", m_dir / "Guida.html", {}});
        return *m_finestra;
    }
    void Attendi() { ASSERT_TRUE(m_vista.Attendi(*m_finestra)); }

    // An archive of the 770 supply, a copy of it with a tax code made wrong, a file that is no supply and a
    // folder; the supply's path into `fornitura`.
    fs::path Archivio(fs::path& fornitura) {
        const fs::path cartella = m_dir / "ARC";
        fornitura = test::Fornitura770(cartella);
        fs::remove_all(cartella / "carvek");
        std::string errato;
        const fs::path copia = test::ConCodiceFiscaleErrato(fornitura, m_dir / "altro", errato);
        fs::copy_file(copia, cartella / "Copia770.txt");
        ScriviFile(cartella / "note.txt", "appunti dell'ufficio\n");
        fs::create_directories(cartella / "vecchie");
        return cartella;
    }
};

TEST_F(FinestraArchivioTest, LaCartellaMostraLeFornitureComeLaRigaDiComando) {
    fs::path fornitura;
    const fs::path cartella = Archivio(fornitura);
    Finestra().Avvio({cartella});
    ASSERT_TRUE(m_vista.archivio);
    EXPECT_EQ(m_vista.archivio->riepilogo, "Lettura della cartella in corso...");
    EXPECT_TRUE(m_vista.dialoghi.empty()); // a folder given: no dialog
    Attendi();
    ASSERT_TRUE(m_vista.archivio);
    const ArchivioVisibile& archivio = *m_vista.archivio;
    EXPECT_EQ(archivio.cartella, shell::TestoPercorso(fs::absolute(cartella).lexically_normal()));
    // The rows in order with the cells of `fornitura archivio`: the copy with an error, then the supply.
    EXPECT_EQ(archivio.righe, TabellaDellaRigaDiComando(cartella));
    ASSERT_EQ(archivio.righe.size(), 2u);
    EXPECT_EQ(archivio.righe[0][2], "770 Semplificato");
    EXPECT_EQ(archivio.righe[0][4], "Copia770.txt");
    EXPECT_EQ(archivio.righe[0][8], "da correggere");
    EXPECT_EQ(archivio.righe[1][4], fornitura.filename().string());
    // What is no supply, then the set's finding naming the other file.
    ASSERT_EQ(archivio.rilievi.size(), 3u);
    EXPECT_EQ(archivio.rilievi[0].rfind("note.txt: non \xE8 una fornitura: ", 0), 0u) << archivio.rilievi[0];
    EXPECT_EQ(archivio.rilievi[1], "vecchie: cartella: letta solo con --ricorsivo");
    // Two ordinary 770 of one employer and year: told in the supply, naming the copy and its line.
    const std::string& insieme = archivio.rilievi[2];
    EXPECT_EQ(insieme.rfind(fornitura.filename().string() + ":1: avviso: un'altra dichiarazione 770 Semplificato "
                                                            "ordinaria dello stesso dichiarante '",
                            0),
              0u)
        << insieme;
    EXPECT_TRUE(insieme.ends_with(" (anche in Copia770.txt:1)")) << insieme;
    EXPECT_EQ(archivio.riepilogo,
              "2 forniture: 1 da correggere, 1 inviabile con avvisi, 0 inviabili; tra le forniture 0 errori, 1 avviso");
    EXPECT_TRUE(m_vista.apriFornitura);
    EXPECT_FALSE(m_vista.torna);
    EXPECT_FALSE(m_vista.distinta); // no supply shown
    EXPECT_FALSE(m_vista.avanzamento);
}

TEST_F(FinestraArchivioTest, UnaRigaApreLaFornituraEPoiSiTornaAllArchivio) {
    fs::path fornitura;
    const fs::path cartella = Archivio(fornitura);
    Finestra();
    m_vista.cartelle.push_back(cartella);
    m_finestra->ApriCartella();
    EXPECT_EQ(m_vista.dialoghi, (std::vector<DialogoChiesto>{{std::string(TitoloApriCartella), m_dir / "ARC", false}}));
    Attendi();
    ASSERT_TRUE(m_vista.archivio);
    const ArchivioVisibile letto = *m_vista.archivio;

    // The second row: the supply itself, shown as "Apri..." shows it.
    m_finestra->ApriRigaArchivio(1);
    Attendi();
    EXPECT_FALSE(m_vista.archivio);
    EXPECT_TRUE(m_vista.torna);
    EXPECT_EQ(m_vista.file, std::vector<std::string>{shell::TestoPercorso(fs::absolute(fornitura).lexically_normal())});
    EXPECT_EQ(m_vista.tipoEsito, TipoEsito::Inviabile);
    const FornituraLetta attesa = LeggiFornitura(fornitura);
    EXPECT_EQ(m_vista.esito, TestoEsito(attesa.esito));
    EXPECT_EQ(m_vista.righe, attesa.rilievi.size());
    EXPECT_TRUE(m_vista.distinta);

    // Back: the table as it was, nothing read again; the first row then is the copy with its error.
    m_finestra->TornaAllArchivio();
    ASSERT_TRUE(m_vista.archivio);
    EXPECT_EQ(m_vista.archivio->righe, letto.righe);
    EXPECT_FALSE(m_vista.torna);
    EXPECT_FALSE(m_vista.distinta);
    EXPECT_TRUE(m_finestra->Inattiva());
    m_finestra->ApriRigaArchivio(0);
    Attendi();
    EXPECT_EQ(m_vista.tipoEsito, TipoEsito::ConErrori);
    EXPECT_EQ(m_vista.file.size(), 2u);
    // A row the table does not have, or a row asked for while a supply is shown: nothing.
    m_finestra->ApriRigaArchivio(0);
    m_finestra->TornaAllArchivio();
    m_finestra->ApriRigaArchivio(5);
    EXPECT_TRUE(m_finestra->Inattiva());
    EXPECT_EQ(m_vista.file.size(), 2u);

    // A folder dialog cancelled changes nothing; it opens in the folder of the archive.
    m_finestra->ApriCartella();
    EXPECT_EQ(m_vista.dialoghi.back().cartella, fs::absolute(cartella).lexically_normal());
    ASSERT_TRUE(m_vista.archivio);
    EXPECT_EQ(m_vista.archivio->righe, letto.righe);
}

TEST_F(FinestraArchivioTest, CartelleSenzaForniture) {
    struct Caso {
        const char* nome;
        std::function<void(const fs::path&)> prepara;
        std::string riepilogo; // after the folder's name
        std::size_t rilievi;
    };
    const std::vector<Caso> casi = {
        {"vuota", [](const fs::path& c) { fs::create_directories(c); }, "' \xE8 vuota", 0},
        {"nascosti",
         [](const fs::path& c) {
             fs::create_directories(c);
             ScriviFile(c / ".blocco", "x");
         },
         "' \xE8 vuota", 0},
        {"senza forniture",
         [](const fs::path& c) {
             fs::create_directories(c);
             ScriviFile(c / "a.txt", "non una fornitura\n");
             ScriviFile(c / "b.xml", "<a/>");
         },
         "' non c'\xE8 alcuna fornitura", 2},
        {"assente", [](const fs::path&) {}, "' non esiste o non \xE8 una cartella", 0},
    };
    for (const Caso& caso : casi) {
        const fs::path cartella = m_dir / caso.nome;
        caso.prepara(cartella);
        Finestra().ApriArchivio(cartella);
        Attendi();
        ASSERT_TRUE(m_vista.archivio) << caso.nome;
        const std::string nome = shell::TestoPercorso(fs::absolute(cartella).lexically_normal());
        const std::string atteso = (caso.rilievi > 0 ? "Nella cartella '" : "La cartella '") + nome + caso.riepilogo;
        EXPECT_EQ(m_vista.archivio->riepilogo, atteso) << caso.nome;
        EXPECT_TRUE(m_vista.archivio->righe.empty()) << caso.nome;
        EXPECT_EQ(m_vista.archivio->rilievi.size(), caso.rilievi) << caso.nome;
        EXPECT_FALSE(m_vista.apriFornitura) << caso.nome;
        EXPECT_TRUE(m_vista.messaggi.empty()) << caso.nome;
    }
}

// Files and a folder dropped together: the files open, the folder's table is shown.
TEST_F(FinestraArchivioTest, FileECartellaTrascinati) {
    fs::path fornitura;
    const fs::path cartella = Archivio(fornitura);
    Finestra().FileTrascinati({fornitura, cartella});
    Attendi();
    EXPECT_EQ(m_vista.file.size(), 1u);
    ASSERT_TRUE(m_vista.archivio);
    EXPECT_EQ(m_vista.archivio->righe.size(), 2u);
    // Closed while a folder is read: nothing shown afterwards.
    m_finestra->ApriArchivio(cartella);
    m_finestra->Chiudi();
    EXPECT_TRUE(m_finestra->Inattiva());
}

} // namespace
} // namespace verifica::finestra
