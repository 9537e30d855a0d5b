// The output scheme: temporary name from the clock, final name, the replace in one step, and what a
// stopped run leaves behind.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/contesto_registrato.h"
#include "shell/convertitore.h"
#include "shell/errore.h"
#include "shell/piattaforma.h"
#include "shell/testo.h"
#include "shell/uscita.h"

#include <gtest/gtest.h>

#include <exception>
#include <functional>
#include <filesystem>
#include <map>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>

namespace shell {
namespace {

namespace fs = std::filesystem;
using test::CartellaTemporanea;
using test::ContestoRegistrato;
using test::LeggiFile;
using test::ScriviFile;

TEST(NomeTemporaneo, DataEOraConTrattini) {
    EXPECT_EQ(NomeTemporaneo("Importa770-", {2011, 6, 14, 9, 5, 7}, ".txt"), "Importa770-2011-06-14-09-05-07.txt");
    EXPECT_EQ(NomeTemporaneo("Importa770-", {2010, 12, 31, 23, 59, 59}, ".txt"), "Importa770-2010-12-31-23-59-59.txt");
    EXPECT_EQ(NomeTemporaneo("INPSUNIEMENS-", {2012, 1, 2, 0, 0, 0}, ".xml"), "INPSUNIEMENS-2012-01-02-00-00-00.xml");
}

TEST(ControllaNomeFinale, RifiutaNomiFuoriDallArchivio) {
    for (const char* nome : {"Importa770-2011-../../etc/x.txt", "Importa770-2011-A/B.txt", "Importa770-2011-A\\B.txt",
                             "Importa770-2011-C:X.txt", "Importa770-2011-\x01.txt", "Importa770-2011-A\tB.txt",
                             "Importa770-2011-..txt", "Importa770-2011-A?.txt", ""})
        EXPECT_THROW(ControllaNomeFinale(nome), ErroreElaborazione) << nome;
    EXPECT_NO_THROW(ControllaNomeFinale("Importa770-2011-RSSMRA80A01H501U.txt"));
    EXPECT_NO_THROW(ControllaNomeFinale("Importa770-2011-.txt"));
    EXPECT_NO_THROW(ControllaNomeFinale("Importa770-2011-N\xD2 SPAZI.txt"));
}

// A converter that copies its export, line for line, and names the result after column 0 of line 1.
std::string Copia(const Esportazione& esportazione, FileUscita& uscita, ContestoElaborazione& contesto) {
    for (std::size_t i = 0; i < esportazione.Righe(); ++i) {
        uscita.ScriviRiga(esportazione.Riga(i));
        contesto.ScriviMessaggio("Riga " + std::to_string(i + 1));
    }
    return "Prova-" + std::string(RigaEsportazione(1, esportazione.Riga(0))[0]) + ".txt";
}

class EsecuzioneArchivio : public testing::Test {
protected:
    void Esegui(const std::string& esportazione, const Elaborazione& elabora = Copia) {
        ScriviFile(m_dir / "export.tab", esportazione);
        EseguiConversioneArchivio(m_contesto, m_dir / "export.tab", {"Prova-", ".txt"}, elabora);
    }
    std::string Errore(const std::string& esportazione, const Elaborazione& elabora = Copia) {
        try {
            Esegui(esportazione, elabora);
        } catch (const ErroreElaborazione& e) {
            return e.what();
        }
        return "nessun errore";
    }
    fs::path Archivio() const { return m_dir / "ARC"; }
    fs::path Temporaneo() const { return Archivio() / "Prova-2011-06-14-09-05-07.txt"; }

    CartellaTemporanea m_dir;
    ContestoRegistrato m_contesto{m_dir / "ARC"};
};

TEST_F(EsecuzioneArchivio, DocumentoCompletoConIlNomeFinale) {
    Esegui("abc\tx\r\ndef\r\n");
    const fs::path finale = Archivio() / "Prova-ABC.txt";
    EXPECT_EQ(LeggiFile(finale), "abc\tx\r\ndef\r\n");
    EXPECT_FALSE(fs::exists(Temporaneo()));
    EXPECT_EQ(m_contesto.messaggio, "Riga 1\r\nRiga 2\r\nGenerazione documento '" + TestoPercorso(finale) +
                                        "' completata.\r\nPremi il pulsante 'Continua' per terminare.");
    EXPECT_TRUE(m_contesto.cursoreInFondo);
}

TEST_F(EsecuzioneArchivio, UnDocumentoPiuVecchioVieneSostituito) {
    fs::create_directory(Archivio());
    ScriviFile(Archivio() / "Prova-ABC.txt", "vecchio");
    Esegui("ABC\r\nnuovo");
    EXPECT_EQ(LeggiFile(Archivio() / "Prova-ABC.txt"), "ABC\r\nnuovo\r\n");
}

TEST_F(EsecuzioneArchivio, NomeFinaleFuoriDallArchivioRifiutato) {
    const std::string errore = Errore("../../fuori\r\n");
    EXPECT_NE(errore.find("'Prova-../../FUORI.txt' non \xE8 un nome di file ammesso"), std::string::npos) << errore;
    EXPECT_NE(errore.find(TestoPercorso(Temporaneo())), std::string::npos) << errore;
    EXPECT_EQ(LeggiFile(Temporaneo()), "../../fuori\r\n");
    EXPECT_FALSE(fs::exists(m_dir / "FUORI.txt"));
    EXPECT_EQ(m_contesto.messaggio.find("Generazione documento"), std::string::npos);
}

TEST_F(EsecuzioneArchivio, SpostamentoFallitoLasciaIlVecchioDocumento) {
    // The final name is taken by a folder with a file inside: the move fails.
    fs::create_directories(Archivio() / "Prova-ABC.txt");
    ScriviFile(Archivio() / "Prova-ABC.txt" / "dentro", "vecchio");
    const std::string errore = Errore("ABC\r\n");
    EXPECT_NE(errore.find("Impossibile dare al documento il nome finale"), std::string::npos) << errore;
    EXPECT_EQ(LeggiFile(Temporaneo()), "ABC\r\n");
    EXPECT_EQ(LeggiFile(Archivio() / "Prova-ABC.txt" / "dentro"), "vecchio");
}

TEST_F(EsecuzioneArchivio, ErroreAMetaLasciaIlTemporaneoEIlVecchioIntatti) {
    fs::create_directory(Archivio());
    ScriviFile(Archivio() / "Prova-ABC.txt", "vecchio");
    const std::string errore = Errore("ABC\r\n1\r\n", [](const Esportazione& e, FileUscita& u, ContestoElaborazione&) {
        u.ScriviRiga("parziale");
        RigaEsportazione(2, e.Riga(1)).LeggiData(0);
        return std::string("Prova-ABC.txt");
    });
    EXPECT_EQ(errore, "Riga 2, colonna 0: data non valida '1'\r\nIl documento resta con il nome temporaneo '" +
                          TestoPercorso(Temporaneo()) + "'.");
    EXPECT_EQ(LeggiFile(Temporaneo()), "parziale\r\n");
    EXPECT_EQ(LeggiFile(Archivio() / "Prova-ABC.txt"), "vecchio");
}

TEST_F(EsecuzioneArchivio, EsportazioneVuotaRifiutataSenzaCreareFile) {
    EXPECT_EQ(Errore(""), "Il file di esportazione \xE8 vuoto");
    EXPECT_TRUE(shell::test::SenzaFileVisibili(Archivio()));
}

TEST_F(EsecuzioneArchivio, TroppeRigheRifiutateSenzaCreareFile) {
    std::string testo;
    for (int i = 0; i < 32768; ++i)
        testo += "A\r\n";
    EXPECT_EQ(Errore(testo), "Superato il limite di 32.767 righe del file di esportazione");
    EXPECT_TRUE(shell::test::SenzaFileVisibili(Archivio()));
}

TEST_F(EsecuzioneArchivio, CartellaSuperioreMancanteNonCreaNulla) {
    ContestoRegistrato contesto(m_dir / "KORVANTE" / "ARC");
    ScriviFile(m_dir / "export.tab", "ABC\r\n");
    try {
        EseguiConversioneArchivio(contesto, m_dir / "export.tab", {"Prova-", ".txt"}, Copia);
        FAIL() << "run completed without its folder";
    } catch (const ErroreElaborazione& e) {
        EXPECT_NE(std::string(e.what()).find("Impossibile creare o bloccare il file '" +
                                             TestoPercorso(m_dir / "KORVANTE" / "ARC" / ".Prova.lock") + "'"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(fs::exists(m_dir / "KORVANTE"));
}

// A supply whose first line names its employer: "TITOLARE <code>".
std::optional<std::string> TitolareDiProva(const fs::path& file) {
    const std::string testo = LeggiFile(file);
    constexpr std::string_view Inizio = "TITOLARE ";
    if (testo.rfind(Inizio, 0) != 0)
        return std::nullopt;
    return testo.substr(Inizio.size(), testo.find('\r') - Inizio.size());
}
constexpr Titolare DiProva{"un documento di prova", "datore di lavoro", TitolareDiProva};

// Named by the month only: an older supply under the name is replaced when it is the same employer's,
// and stays, with the new one under its temporary name, when it is another employer's or no supply at
// all (something that is not a regular file included).
TEST_F(EsecuzioneArchivio, IlDocumentoDiUnAltroTitolareResta) {
    const auto copia = [](const Esportazione& e, FileUscita& u, ContestoElaborazione& c) {
        Copia(e, u, c);
        return std::string("Prova-MESE.txt");
    };
    const fs::path finale = Archivio() / "Prova-MESE.txt";
    const std::string nuovo = "TITOLARE 111\r\n";
    struct Caso {
        const char* nome;
        std::function<void()> prepara;
        std::string errore; // empty: replaced
    };
    const std::string altro =
        "' \xE8 gi\xE0 un documento di prova di un altro datore di lavoro (codice fiscale '222'), non di quello di "
        "questa elaborazione (codice fiscale '111'): non viene sostituito. Spostarlo in un'altra cartella e ripetere "
        "l'elaborazione.";
    const std::string nonFornitura = "' non \xE8 un documento di prova che si possa leggere: non viene sostituito.";
    const Caso casi[] = {
        {"nessun documento", [] {}, ""},
        {"lo stesso titolare", [&] { ScriviFile(finale, "TITOLARE 111\r\nvecchio\r\n"); }, ""},
        {"un altro titolare", [&] { ScriviFile(finale, "TITOLARE 222\r\nvecchio\r\n"); }, altro},
        {"un titolare che ne comincia un altro", [&] { ScriviFile(finale, "TITOLARE 1111\r\n"); }, "1111"},
        {"nessuna fornitura", [&] { ScriviFile(finale, "vecchio"); }, nonFornitura},
        {"un file vuoto", [&] { ScriviFile(finale, ""); }, nonFornitura},
#ifndef _WIN32
        {"un collegamento", [&] { fs::create_symlink(m_dir / "export.tab", finale); }, nonFornitura},
#endif
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        fs::remove_all(Archivio());
        fs::create_directory(Archivio());
        caso.prepara();
        const std::string prima = fs::exists(fs::symlink_status(finale)) ? LeggiFile(finale) : "";
        ScriviFile(m_dir / "export.tab", nuovo);
        std::string errore;
        try {
            EseguiConversioneArchivio(m_contesto, m_dir / "export.tab", {"Prova-", ".txt", &DiProva}, copia);
        } catch (const ErroreElaborazione& e) {
            errore = e.what();
        }
        if (caso.errore.empty()) {
            EXPECT_EQ(errore, "");
            EXPECT_EQ(LeggiFile(finale), nuovo);
            EXPECT_FALSE(fs::exists(Temporaneo()));
            continue;
        }
        EXPECT_NE(errore.find("Il file '" + TestoPercorso(finale)), std::string::npos) << errore;
        EXPECT_NE(errore.find(caso.errore), std::string::npos) << errore;
        EXPECT_NE(errore.find("Il documento resta con il nome temporaneo '" + TestoPercorso(Temporaneo())),
                  std::string::npos)
            << errore;
        EXPECT_EQ(LeggiFile(finale), prima);
        EXPECT_EQ(LeggiFile(Temporaneo()), nuovo);
    }
    EXPECT_EQ(LeggiFile(m_dir / "export.tab"), nuovo);
}

// A folder under the name is never replaced: the rename fails, as for every converter.
TEST_F(EsecuzioneArchivio, UnaCartellaSottoIlNomeDiUnDocumentoConTitolare) {
    fs::create_directories(Archivio() / "Prova-ABC.txt");
    ScriviFile(m_dir / "export.tab", "ABC\r\n");
    try {
        EseguiConversioneArchivio(m_contesto, m_dir / "export.tab", {"Prova-", ".txt", &DiProva}, Copia);
        ADD_FAILURE() << "run completed";
    } catch (const ErroreElaborazione& e) {
        EXPECT_NE(std::string(e.what()).find("Impossibile dare al documento il nome finale"), std::string::npos)
            << e.what();
    }
    EXPECT_TRUE(fs::is_directory(Archivio() / "Prova-ABC.txt"));
}

// The folder's contents: name and bytes of every entry, hidden ones included.
std::map<std::string, std::string> Contenuto(const fs::path& cartella) {
    std::map<std::string, std::string> voci;
    for (const auto& voce : fs::directory_iterator(cartella))
        voci[voce.path().filename().string()] = voce.is_regular_file() ? LeggiFile(voce.path()) : "<cartella>";
    return voci;
}

// While another run of the same kind holds the folder, a run stops before it reads the clock or the
// export, and leaves every file as it was: the other run's temporary file, an older document.
TEST_F(EsecuzioneArchivio, UnaSecondaElaborazioneNellaStessaCartellaSiFerma) {
    fs::create_directory(Archivio());
    ScriviFile(Archivio() / "Prova-ABC.txt", "vecchio");
    ScriviFile(Temporaneo(), "dell'altra elaborazione");
    const EsclusivaCartella altra(Archivio(), "Prova");
    const auto prima = Contenuto(Archivio());
    EXPECT_EQ(Errore("ABC\r\n"),
              "Un'altra elaborazione dello stesso convertitore sta gi\xE0 scrivendo nella cartella '" +
                  TestoPercorso(Archivio()) +
                  "': attendere che termini e riprovare. Nessun file \xE8 stato creato o modificato.");
    EXPECT_EQ(Contenuto(Archivio()), prima);
    EXPECT_EQ(m_contesto.messaggio, "");
}

// Another kind of document (another prefix) has a lock of its own: UniEmens and E-Mens side by side.
TEST_F(EsecuzioneArchivio, UnAltroConvertitoreNonLaBlocca) {
    fs::create_directory(Archivio());
    const EsclusivaCartella altra(Archivio(), "Altro");
    Esegui("ABC\r\n");
    EXPECT_EQ(LeggiFile(Archivio() / "Prova-ABC.txt"), "ABC\r\n");
}

// Taken when the run starts, given back when it ends, completed or stopped; the hidden lock file stays.
TEST_F(EsecuzioneArchivio, BloccoPresoDuranteLElaborazioneERilasciatoDopo) {
    std::optional<BloccoEsclusivo::Esito> durante;
    const auto prova = [&](const Esportazione& e, FileUscita& u, ContestoElaborazione& c) {
        durante = BloccoEsclusivo(Archivio() / ".Prova.lock").Stato();
        return Copia(e, u, c);
    };
    Esegui("ABC\r\n", prova);
    EXPECT_EQ(durante, BloccoEsclusivo::Esito::Occupato);
    EXPECT_EQ(BloccoEsclusivo(Archivio() / ".Prova.lock").Stato(), BloccoEsclusivo::Esito::Preso);

    const auto ferma = [&](const Esportazione&, FileUscita&, ContestoElaborazione&) -> std::optional<std::string> {
        throw ErroreElaborazione("fermata");
    };
    EXPECT_NE(Errore("ABC\r\n", ferma).find("fermata"), std::string::npos);
    EXPECT_EQ(BloccoEsclusivo(Archivio() / ".Prova.lock").Stato(), BloccoEsclusivo::Esito::Preso);
    EXPECT_EQ(LeggiFile(Archivio() / ".Prova.lock"), "");
    EXPECT_FALSE(FileOrdinarioEsiste(Archivio() / ".Prova.lock"));
}

// A control character in the archive folder's path (a NUL would end the name there, and the files would
// land in another folder) stops the run before anything is created, the message showing it.
TEST_F(EsecuzioneArchivio, CarattereDiControlloNellaCartellaRifiutato) {
    for (const char* nome : {"A\x01RC", "ARC\n", "A\x7FRC"}) {
        ContestoRegistrato contesto(m_dir / nome);
        ScriviFile(m_dir / "export.tab", "ABC\r\n");
        try {
            EseguiConversioneArchivio(contesto, m_dir / "export.tab", {"Prova-", ".txt"}, Copia);
            ADD_FAILURE() << "run completed";
        } catch (const ErroreElaborazione& e) {
            EXPECT_EQ(std::string(e.what()),
                      TestoVisibile("Il percorso della cartella di destinazione '" + TestoPercorso(m_dir / nome) +
                                    "' contiene un carattere di controllo: nessun file "
                                    "\xE8 stato creato"));
        }
    }
    EXPECT_EQ(Contenuto(m_dir.Percorso()), (std::map<std::string, std::string>{{"export.tab", "ABC\r\n"}}));
}

// A message is whole wherever it goes: its control characters show as \x00, and the window and the
// terminal, which read it as a C string, no longer cut it at a NUL. The log and the boxes likewise.
TEST(Messaggi, ControlliVisibiliNonTagliati) {
    using namespace std::string_literals;
    EXPECT_EQ(std::string(ErroreElaborazione("Riga 1, colonna 2: numero non valido '1\0X'"s).what()),
              "Riga 1, colonna 2: numero non valido '1\\x00X'");
    test::ContestoRegistrato contesto("ARC");
    contesto.ScriviMessaggio("Elaborazione dipendente: ROS\0SI\x1B"s);
    contesto.ScriviErrore("riga\r\n\x01", false, false);
    contesto.Avviso("Errori sul dipendente \0"s, false);
    EXPECT_EQ(contesto.messaggio, "Elaborazione dipendente: ROS\\x00SI\\x1B\r\n");
    EXPECT_EQ(contesto.errori, "riga\r\n\\x01");
    ASSERT_EQ(contesto.avvisi.size(), 1u);
    EXPECT_EQ(contesto.avvisi[0].testo, "Errori sul dipendente \\x00");
}

// Whatever stops a run, the program shows one text: an ErroreElaborazione's own; for memory that ran
// out, a failure of the file system or anything else, what happened, in the suite's words.
TEST(Messaggi, OgniEccezioneHaIlSuoTesto) {
    const auto testo = [](auto eccezione) { return MessaggioEccezione(std::make_exception_ptr(eccezione)); };
    EXPECT_EQ(testo(ErroreElaborazione("Il file di esportazione \xE8 vuoto")), "Il file di esportazione \xE8 vuoto");
    EXPECT_EQ(testo(std::bad_alloc()), "Memoria insufficiente: l'elaborazione si \xE8 fermata");
    const std::string fileSystem = testo(
        fs::filesystem_error("x", fs::path("/ARC\x01"), std::make_error_code(std::errc::no_such_file_or_directory)));
    EXPECT_EQ(fileSystem.rfind("Errore del file system sul percorso '/ARC\\x01': ", 0), 0u) << fileSystem;
    EXPECT_EQ(testo(std::runtime_error("boh")), "Errore imprevisto durante l'elaborazione: boh");
    EXPECT_EQ(testo(std::runtime_error("")), "Errore imprevisto durante l'elaborazione");
    EXPECT_EQ(testo(42), "Errore imprevisto durante l'elaborazione");
}

TEST(TipoDocumento, IlPrefissoSenzaTrattino) {
    EXPECT_EQ(TipoDocumento({"Importa770-", ".txt"}), "Importa770");
    EXPECT_EQ(TipoDocumento({"INPSEMENS-", ".xml"}), "INPSEMENS");
    EXPECT_EQ(NomeFileBlocco("INPSUNIEMENS"), ".INPSUNIEMENS.lock");
}

TEST(FileOrdinario, NascostiECartelleNonContano) {
    CartellaTemporanea dir;
    ScriviFile(dir / "visibile.tab", "x");
    ScriviFile(dir / ".nascosto.tab", "x");
    fs::create_directory(dir / "cartella.tab");
    EXPECT_TRUE(FileOrdinarioEsiste(dir / "visibile.tab"));
    EXPECT_FALSE(FileOrdinarioEsiste(dir / ".nascosto.tab"));
    EXPECT_FALSE(FileOrdinarioEsiste(dir / "cartella.tab"));
    EXPECT_FALSE(FileOrdinarioEsiste(dir / "manca.tab"));
}

TEST(CaricaEsportazione, FileMancanteConIlPercorsoCompleto) {
    CartellaTemporanea dir;
    const auto caricamento = CaricaEsportazione(dir.Percorso(), "Esportazione770.tab", {});
    ASSERT_TRUE(caricamento.fileMancante);
    EXPECT_EQ(MessaggioFileMancante(*caricamento.fileMancante), "Non trovo il file originale in '" +
                                                                    TestoPercorso(dir / "Esportazione770.tab") +
                                                                    "', quindi non posso continuare...");
}

} // namespace
} // namespace shell
