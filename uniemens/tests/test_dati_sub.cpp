// The UniEmens run on whole exports: golden documents with their log and error box, and the document
// check that keeps a faulty export from replacing the month's document.

#include "tests/supporto/contesto_registrato.h"
#include "uniemens/dati_sub.h"
#include "shell/errore.h"
#include "tests/supporto/processo.h"
#include "uniemens/tests/supporto.h"
#include "shell/testo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace uniemens {
namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::ContestoRegistrato;
using shell::test::LeggiFile;
using shell::test::ScriviFile;
using namespace uniemens::test;

constexpr shell::DataOra Adesso{2012, 3, 5, 10, 11, 12};
constexpr const char* NomeTemporaneo = "INPSUNIEMENS-2012-03-05-10-11-12.xml";

std::string Sostituisci(std::string testo, std::string_view segnaposto, std::string_view con) {
    for (auto p = testo.find(segnaposto); p != std::string::npos; p = testo.find(segnaposto, p + con.size()))
        testo.replace(p, segnaposto.size(), con);
    return testo;
}

// One export in a fresh program folder, run as the window runs it.
struct Esecuzione {
    CartellaTemporanea dir;
    ContestoRegistrato contesto{dir / "ARC", Adesso};

    explicit Esecuzione(std::string_view esportazione) {
        ScriviFile(dir / "EsportazioneINPS.tab", esportazione);
        fs::create_directory(dir / "ARC");
    }
    void Esegui() { EseguiConversione(contesto, dir / "EsportazioneINPS.tab"); }
    fs::path Archivio() const { return dir / "ARC"; }
};

// --- Golden documents -----------------------------------------------------------------------------

struct Scenario {
    const char* nome;      // data/<nome>.tab, .xml, .log, .err
    const char* documento; // the name the document ends up with
    bool generato;
};
void PrintTo(const Scenario& s, std::ostream* os) { *os << s.nome; }

// "esempio" is the sample export that the project ships.
std::string EsportazioneScenario(const Scenario& s) {
    return std::string_view(s.nome) == "esempio" ? LeggiFile(ESEMPIO_UNIEMENS)
                                                 : DatiProva(std::string(s.nome) + ".tab");
}

class Documento : public testing::TestWithParam<Scenario> {};

TEST_P(Documento, ComeIlDocumentoAtteso) {
    const Scenario& s = GetParam();
    Esecuzione e(EsportazioneScenario(s));
    // What the boxes held before is emptied by the run.
    e.contesto.messaggio = "riga di prima\r\n";
    e.contesto.errori = "errore di prima\r\n";
    e.Esegui();

    EXPECT_EQ(FileVisibili(e.Archivio()), std::vector<std::string>{s.documento});
    EXPECT_EQ(LeggiFile(e.Archivio() / s.documento), DatiProva(std::string(s.nome) + ".xml"));
    const std::string archivio = shell::TestoPercorso(e.Archivio() / "");
    EXPECT_EQ(e.contesto.messaggio, Sostituisci(DatiProva(std::string(s.nome) + ".log"), "<ARCHIVIO>/", archivio));
    EXPECT_EQ(e.contesto.errori, DatiProva(std::string(s.nome) + ".err"));
    EXPECT_TRUE(e.contesto.cursoreInFondo);
    EXPECT_EQ(e.contesto.DocumentoNonGenerato(), !s.generato);
    EXPECT_TRUE(e.contesto.avvisi.empty());
    ControllaDocumenti(e.Archivio());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Esportazioni, Documento, testing::Values(
    //       nome                    documento                               generato
    Scenario{"esempio",              "INPSUNIEMENS-2012-01.xml",             true},
    Scenario{"casi",                 "INPSUNIEMENS-2012-02.xml",             true},
    Scenario{"solo_mese_precedente", "INPSUNIEMENS-2011-12.xml",             true},
    Scenario{"errori",               NomeTemporaneo,                         false}),
    [](const testing::TestParamInfo<Scenario>& info) { return std::string(info.param.nome); });
// clang-format on

// The document declares ISO-8859-1 and a parser reads its accented letters and references back.
TEST(Documento, LettoDaUnParserXml) {
    Esecuzione e(LeggiFile(ESEMPIO_UNIEMENS));
    e.Esegui();
#ifdef _WIN32
    GTEST_SKIP() << "xmllint is a Linux program";
#else
    const auto documento = e.Archivio() / "INPSUNIEMENS-2012-01.xml";
    const auto valore = [&](const std::string& percorso) {
        const CartellaTemporanea dir;
        std::string uscita =
            shell::test::EseguiProcesso(XMLLINT, {"--xpath", "string(" + percorso + ")", documento.string()},
                                        dir / "out", dir / "err")
                .out;
        if (!uscita.empty() && uscita.back() == '\n') // xmllint ends its answer with a line
            uscita.pop_back();
        return uscita;
    };
    EXPECT_EQ(valore("//DenunciaIndividuale[3]/Nome"), "NICOL\xC3\x92"); // UTF-8 of the ISO-8859-1 byte
    EXPECT_EQ(valore("//DenunciaIndividuale[2]/Cognome"), "D'ARCO & ROSSI");
    EXPECT_EQ(valore("//RagSocAzienda"), "IMPIANTI TERMOIDRAULICI VENETI DELL'ACQUA ");
#endif
}

// --- The document check ---------------------------------------------------------------------------

struct CasoErrore {
    const char* nome;
    std::vector<std::string> righe;
    std::string errori; // the error box at the end
    bool mittente;      // the sender block was written
};
void PrintTo(const CasoErrore& c, std::ostream* os) { *os << c.nome; }

std::vector<CasoErrore> CasiErrore() {
    const auto collaboratore = [](std::string_view mese, int colonne = 46) {
        return RigaProva({{10, "FBBGPP58E22L736T"}, {24, "1500,75"}, {29, mese}, {30, "COLLABORATORE"}}, colonne);
    };
    const auto precedente = [](std::string_view cf, int colonne = 46) {
        return RigaProva({{10, cf}, {29, "PRECEDENTE"}}, colonne);
    };
    const std::string riga = "Errore su persona in riga ";
    const std::string azienda = "Errore sui dati dell'azienda in riga 1";
    // clang-format off
    return {
        {"CollaboratoreDelMesePrecedente", {RigaProva({}), collaboratore("PRECEDENTE")},
         riga + "2: Collaboratore segnalato su mese precedente\r\n", true},
        {"NeDipendenteNeCollaboratore", {RigaProva({{30, "APPRENDISTA"}})},
         riga + "1: manca Dipendente/Collaboratore\r\n", true},
        {"TreErroriInUnaVolta",
         {RigaProva({}), collaboratore("X"), RigaProva({{30, ""}}), RigaProva({}), RigaProva({{30, "DIPENDENTE "}})},
         riga + "2: Collaboratore segnalato su mese precedente\r\n" +
         riga + "3: manca Dipendente/Collaboratore\r\n" +
         riga + "5: manca Dipendente/Collaboratore\r\n", true},
        {"NessunaPersona", {RigaProva({{24, "0"}}), RigaProva({{24, "  "}, {30, "ALTRO"}})},
         "Nessuna persona segnalata come dipendente o collaboratore.", true},
        {"SoloRigheVuote", {"", ""}, "Documento vuoto.", false},
        {"DipendenteCorto", {RigaProva({}), RigaProva({}, 31)},
         riga + "2, colonna 31: colonna mancante (la riga ha 31 colonne)\r\n", true},
        {"RigaSenzaColonna24", {RigaProva({}), RigaProva({}, 24)},
         riga + "2, colonna 24: colonna mancante (la riga ha 24 colonne)\r\n", true},
        {"RigaSenzaTipo", {RigaProva({}), RigaProva({}, 30)},
         riga + "2, colonna 30: colonna mancante (la riga ha 30 colonne)\r\n", true},
        {"MesePrecedenteCorto", {precedente("ZNNMRC75C12L736W", 41), RigaProva({})},
         riga + "1, colonna 41: colonna mancante (la riga ha 41 colonne)\r\n", true},
        {"CollaboratoreCorto", {RigaProva({}), collaboratore("ATTUALE", 39)},
         riga + "2, colonna 39: colonna mancante (la riga ha 39 colonne)\r\n", true},
        {"ImportoNonValido", {RigaProva({{43, "12,3,4"}})},
         riga + "1, colonna 43: importo non valido '12,3,4'\r\n", true},
        {"RetribuzioneOltre16Bit", {RigaProva({{42, "40000"}})},
         riga + "1, colonna 42: numero intero fuori dall'intervallo da -32768 a 32767 '40000'\r\n", true},
        {"DataNonValida", {RigaProva({}), RigaProva({{24, "800"}, {30, "COLLABORATORE"}, {37, "31/02/2012"}, {38, "x"}})},
         riga + "2, colonna 37: data non valida '31/02/2012'\r\n" +
         riga + "2, colonna 38: data non valida 'X'\r\n", true},
        {"SettimanaSenzaChiocciola", {RigaProva({{25, "1@X\x1D" "2"}})},
         riga + "1, colonna 25: settimana senza '@' '2'\r\n", true},
        {"MesePrecedenteDiUnAltraPersona", {precedente("BSSNCL70T10L407M"), RigaProva({{30, "?"}}), RigaProva({})},
         riga + "1: mese precedente di un'altra persona\r\n" +
         riga + "2: manca Dipendente/Collaboratore\r\n", true},
        {"AnnoFuori16Bit", {RigaProva({{7, "99999"}})},
         azienda + ", colonna 7: numero intero fuori dall'intervallo da -32768 a 32767 '99999'\r\n", false},
        {"PrimaRigaCorta", {RigaProva({}, 5), RigaProva({})},
         azienda + ", colonna 5: colonna mancante (la riga ha 5 colonne)\r\n", false},
        {"PrimaRigaVuota", {"", RigaProva({})}, azienda + ": riga vuota\r\n", false},
        // Lines that end with a line feed only are one line: its line feeds are refused.
        {"FineRigaSoloLF", {RigaProva({{24, "0"}}) + "\n" + RigaProva({}) + "\n" + RigaProva({})},
         riga + "1, colonna 45: carattere di controllo non ammesso (codice 10)\r\n", false},
        {"SeparatoreFuoriDaUnaLista", {RigaProva({}), RigaProva({{11, "ZAN\x1DON"}, {25, "1@X\x1D" "2@X"}})},
         riga + "2, colonna 11: carattere di controllo non ammesso (codice 29)\r\n", true},
        {"ControlloNeiDatiAzienda", {RigaProva({{1, "ROSSI\x01SRL"}})},
         azienda + ", colonna 1: carattere di controllo non ammesso (codice 1)\r\n", false},
        {"ControlloInColonnaNonLetta", {RigaProva({{24, "0"}, {26, "\x7F\x1F"}})},
         riga + "1, colonna 26: carattere di controllo non ammesso (codice 31)\r\n", false},
    };
    // clang-format on
}

class Controllo : public testing::TestWithParam<CasoErrore> {};

TEST_P(Controllo, DocumentoNonGenerato) {
    const CasoErrore& caso = GetParam();
    Esecuzione e(Esportazione(caso.righe));
    const std::string precedente = "il documento di gennaio gi\xE0 inviato\r\n";
    ScriviFile(e.Archivio() / "INPSUNIEMENS-2012-01.xml", precedente);
    e.Esegui();

    EXPECT_EQ(e.contesto.errori, caso.errori);
    const std::string fine = "Presenza di errori nel documento.\r\n"
                             "Creazione dati Azienda completati.\r\n"
                             "Documento non generato: correggere gli errori segnalati.\r\n"
                             "Premi il pulsante 'Continua' per terminare.";
    ASSERT_GE(e.contesto.messaggio.size(), fine.size());
    EXPECT_EQ(e.contesto.messaggio.substr(e.contesto.messaggio.size() - fine.size()), fine) << e.contesto.messaggio;
    EXPECT_EQ(e.contesto.messaggio.find("Elaborazione"), std::string::npos);
    EXPECT_TRUE(e.contesto.DocumentoNonGenerato());

    // The month's earlier document is untouched; the refused one stays under its temporary name.
    EXPECT_EQ(FileVisibili(e.Archivio()), (std::vector<std::string>{"INPSUNIEMENS-2012-01.xml", NomeTemporaneo}));
    EXPECT_EQ(LeggiFile(e.Archivio() / "INPSUNIEMENS-2012-01.xml"), precedente);
    const std::string documento = LeggiFile(e.Archivio() / NomeTemporaneo);
    if (caso.mittente) {
        EXPECT_EQ(documento.find("<PosContributiva"), std::string::npos);
        EXPECT_EQ(documento.find("<ListaCollaboratori"), std::string::npos);
        const std::string chiusura = "\t\t<RagSocAzienda>IDRAULICA ZANON SNC</RagSocAzienda>\r\n"
                                     "\t</Azienda>\r\n</DenunceMensili>\r\n";
        ASSERT_GE(documento.size(), chiusura.size());
        EXPECT_EQ(documento.substr(documento.size() - chiusura.size()), chiusura);
    } else {
        EXPECT_EQ(documento,
                  "<?xml version='1.0' encoding='ISO-8859-1'?>\r\n<DenunceMensili>\r\n</DenunceMensili>\r\n");
        EXPECT_EQ(e.contesto.messaggio.find("Creazione dati Mittente"), std::string::npos);
    }
    EXPECT_EQ(ErroriXml(e.Archivio() / NomeTemporaneo), "");
}

INSTANTIATE_TEST_SUITE_P(Esportazioni, Controllo, testing::ValuesIn(CasiErrore()),
                         [](const testing::TestParamInfo<CasoErrore>& info) { return std::string(info.param.nome); });

// Each kind of line needs its columns up to the last one it reads, and no more.
TEST(Controllo, RigheLungheQuantoBasta) {
    Esecuzione e(Esportazione({
        RigaProva({{24, "0"}}, 25),                                              // no person
        RigaProva({{29, "PRECEDENTE"}}, 42),                                     // previous month, up to 41
        RigaProva({}, 46),                                                       // declared month, up to 45
        RigaProva({{24, "800"}, {30, "COLLABORATORE"}, {37, "01/01/2012"}}, 40), // collaborator, up to 39
    }));
    e.Esegui();
    EXPECT_EQ(e.contesto.errori, "Nessun errore.\r\n");
    EXPECT_FALSE(e.contesto.DocumentoNonGenerato());
    EXPECT_EQ(FileVisibili(e.Archivio()), std::vector<std::string>{"INPSUNIEMENS-2012-01.xml"});
    ControllaDocumenti(e.Archivio());
}

// Too many lines for the 16-bit counters: refused before the working file exists.
TEST(Controllo, OltreIl32767RigheNessunFile) {
    std::string righe;
    for (int i = 0; i < 32768; ++i)
        righe += "X\r\n";
    Esecuzione e(righe);
    EXPECT_THROW(e.Esegui(), shell::ErroreElaborazione);
    EXPECT_TRUE(FileVisibili(e.Archivio()).empty());
}

} // namespace
} // namespace uniemens
