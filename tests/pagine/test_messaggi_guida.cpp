// The office's guide quotes the programs' messages as they show them: each message is made here by the
// real programs (the command line `fornitura`, which prints the windows' texts, and the check window's
// logic), a folder or file of this machine put back to the example the guide gives, and looked for in
// the guide's text. A message that changes in the code and not in the guide fails here.

#include "tests/supporto/cartella_temporanea.h"
#include "verifica/distinta.h"
#include "dma/record_dma.h"
#include "verifica/finestra/finestra_verifica.h"
#include "cli/fornitura.h"
#include "shell/piattaforma.h"
#include "shell/testo.h"
#include "shell/uscita.h"
#include "verifica/finestra/tests/vista_prova.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::LeggiFile;
using shell::test::ScriviFile;

const fs::path Esempi = FORNITURA_ESEMPI;

// The guide's text: tags gone, every run of blanks one space.
std::string TestoGuida() {
    static const std::string testo = [] {
        const std::string html = LeggiFile(FORNITURA_GUIDA);
        std::string senzaTag = std::regex_replace(html, std::regex("<[^>]*>"), " ");
        return std::regex_replace(senzaTag, std::regex("\\s+"), " ");
    }();
    return testo;
}

std::string Spazi(std::string testo) { return std::regex_replace(testo, std::regex("\\s+"), " "); }

// `testo` with every `da` put to `a`.
std::string Sostituisci(std::string testo, const std::string& da, const std::string& a) {
    for (std::size_t p = testo.find(da); !da.empty() && p != std::string::npos; p = testo.find(da, p + a.size()))
        testo.replace(p, da.size(), a);
    return testo;
}

// A path as the command line prints it (UTF-8).
std::string Utf8(const fs::path& percorso) { return shell::Utf8DaLatin1(shell::TestoPercorso(percorso)); }

#define NELLA_GUIDA(messaggio)                                                                                         \
    EXPECT_NE(TestoGuida().find(Spazi(messaggio)), std::string::npos) << "manca nella guida: " << Spazi(messaggio)

struct Esecuzione {
    int stato;
    std::string out, err;
};

Esecuzione Fornitura(const std::vector<std::string>& argomenti) {
    std::ostringstream out, err;
    const int stato = cli::EseguiFornitura(argomenti, out, err);
    return {stato, out.str(), err.str()};
}

// The lines of a text, without the empty ones.
std::vector<std::string> Righe(const std::string& testo) {
    std::vector<std::string> righe;
    std::istringstream in(testo);
    for (std::string riga; std::getline(in, riga);)
        if (!riga.empty())
            righe.push_back(riga);
    return righe;
}

// Sets columns of an export's first line.
void CambiaPrimaRiga(const fs::path& esportazione, const std::vector<std::pair<int, std::string>>& valori) {
    std::string testo = LeggiFile(esportazione);
    const std::size_t fine = testo.find("\r\n");
    const std::string riga = testo.substr(0, fine);
    std::vector<std::string> colonne;
    for (std::size_t inizio = 0;;) {
        const std::size_t tab = riga.find('\t', inizio);
        colonne.push_back(riga.substr(inizio, tab - inizio));
        if (tab == std::string::npos)
            break;
        inizio = tab + 1;
    }
    for (const auto& [colonna, valore] : valori)
        colonne.at(static_cast<std::size_t>(colonna)) = valore;
    std::string nuova;
    for (std::size_t c = 0; c < colonne.size(); ++c) {
        if (c > 0)
            nuova += '\t';
        nuova += colonne[c];
    }
    ScriviFile(esportazione, nuova + testo.substr(fine));
}

class MessaggiNellaGuida : public ::testing::Test {
protected:
    CartellaTemporanea m_dir;

    // A converter's run on a copy of a sample folder, optionally changed.
    Esecuzione Converti(const std::string& comando, const std::string& esempio,
                        const std::function<void(const fs::path&)>& cambia = {}) {
        const fs::path cartella = m_dir / ("esportazione-" + comando);
        fs::create_directories(cartella);
        if (!esempio.empty())
            fs::copy(Esempi / esempio, cartella, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        if (cambia)
            cambia(cartella);
        return Fornitura({comando, "--dir", cartella.string(), "--archive", (m_dir / "ARC").string(), "--now",
                          "2011-06-14T09:05:07"});
    }
};

TEST_F(MessaggiNellaGuida, EsportazioneMancanteOVuota) {
    const Esecuzione mancante = Converti("770", "");
    ASSERT_EQ(mancante.stato, cli::EsitoFileMancante);
    const fs::path cercato = m_dir / "esportazione-770" / "Esportazione770.tab";
    NELLA_GUIDA(Sostituisci(Righe(mancante.err).at(0), Utf8(cercato), "C:\\Forniture\\carvek\\Esportazione770.tab"));

    const Esecuzione vuota =
        Converti("dma", "", [](const fs::path& cartella) { ScriviFile(cartella / "EsportazioneINPDAP.tab", ""); });
    ASSERT_EQ(vuota.stato, cli::EsitoErrore);
    NELLA_GUIDA(Righe(vuota.err).at(0));
}

TEST_F(MessaggiNellaGuida, TroppeRigheEValoreNonValido) {
    const Esecuzione troppe = Converti("dma", "", [](const fs::path& cartella) {
        std::string righe;
        for (int i = 0; i < 32768; ++i)
            righe += "X\r\n";
        ScriviFile(cartella / "EsportazioneINPDAP.tab", righe);
    });
    ASSERT_EQ(troppe.stato, cli::EsitoErrore);
    NELLA_GUIDA(Righe(troppe.err).at(0));

    // A birth date that is no date: the guide's example is on line 12. The second line names the temporary
    // file, for which the guide writes an ellipsis.
    const Esecuzione ferma = Converti("770", "770", [](const fs::path& cartella) {
        CambiaPrimaRiga(cartella / "Esportazione770.tab", {{24, "31/02/X"}});
    });
    ASSERT_EQ(ferma.stato, cli::EsitoErrore) << ferma.err;
    const std::vector<std::string> righe = Righe(ferma.err);
    ASSERT_EQ(righe.size(), 2u) << ferma.err;
    NELLA_GUIDA(Sostituisci(righe[0], "Riga 1,", "Riga 12,"));
    NELLA_GUIDA(std::regex_replace(righe[1], std::regex("'.*'"), "'\xE2\x80\xA6'"));
}

TEST_F(MessaggiNellaGuida, CartellaOccupataOInutilizzabile) {
    fs::create_directories(m_dir / "ARC");
    {
        shell::BloccoEsclusivo blocco(m_dir / "ARC" / shell::NomeFileBlocco("INPDAPDMA"));
        ASSERT_EQ(blocco.Stato(), shell::BloccoEsclusivo::Esito::Preso);
        const Esecuzione occupata = Converti("dma", "dma");
        ASSERT_EQ(occupata.stato, cli::EsitoErrore);
        NELLA_GUIDA(Sostituisci(Righe(occupata.err).at(0), Utf8(m_dir / "ARC"), "C:\\KORVANTE\\ARC"));
    }
    const fs::path manca = m_dir / "manca" / "ARC";
    const Esecuzione impossibile = Fornitura({"dma", "--dir", (m_dir / "esportazione-dma").string(), "--archive",
                                              manca.string(), "--now", "2011-06-14T09:05:07"});
    ASSERT_EQ(impossibile.stato, cli::EsitoErrore);
    NELLA_GUIDA(std::regex_replace(Righe(impossibile.err).at(0), std::regex("'[^']*'"), "'\xE2\x80\xA6'"));
}

// Another employer's supply of the same month under the final name: it stays, the run stops.
TEST_F(MessaggiNellaGuida, FornituraDiUnAltroDatoreDiLavoro) {
    fs::create_directories(m_dir / "ARC");
    ScriviFile(m_dir / "ARC" / "INPSUNIEMENS-2012-01.xml",
               "<DenunceMensili><Azienda><CFAzienda>02468010414</CFAzienda></Azienda></DenunceMensili>");
    const Esecuzione altro = Converti("uniemens", "uniemens");
    ASSERT_EQ(altro.stato, cli::EsitoErrore);
    const std::vector<std::string> righe = Righe(altro.err);
    ASSERT_GE(righe.size(), 2u) << altro.err;
    const std::string finale = Utf8(m_dir / "ARC" / "INPSUNIEMENS-2012-01.xml");
    NELLA_GUIDA(Sostituisci(righe.at(righe.size() - 2), finale, "C:\\KORVANTE\\ARC\\INPSUNIEMENS-2012-01.xml"));
    NELLA_GUIDA(std::regex_replace(righe.back(), std::regex("'.*'"), "'\xE2\x80\xA6'"));
}

// 770: the box of an employee without personal data, every line it can hold.
TEST_F(MessaggiNellaGuida, DatiMancanti770) {
    const Esecuzione esecuzione = Converti("770", "770", [](const fs::path& cartella) {
        // The first line's personal data blank.
        std::vector<std::pair<int, std::string>> vuote;
        for (const int c : {20, 21, 22, 23, 24, 25, 26, 29, 30, 31})
            vuote.emplace_back(c, "");
        CambiaPrimaRiga(cartella / "Esportazione770.tab", vuote);
    });
    ASSERT_EQ(esecuzione.stato, cli::EsitoCompletato) << esecuzione.err;
    const std::vector<std::string> righe = Righe(esecuzione.err);
    ASSERT_GE(righe.size(), 11u) << esecuzione.err;
    // "Errori sul dipendente con C.F.: " and the employee, then one line per missing datum.
    NELLA_GUIDA(righe[0].substr(0, righe[0].find("C.F.: ") + 6));
    for (std::size_t i = 1; i < 11; ++i)
        NELLA_GUIDA(righe[i]);
}

// DMA: "Attenzione!!!" and the log line that says what is missing.
TEST_F(MessaggiNellaGuida, DatiMancantiDma) {
    const Esecuzione esecuzione = Converti("dma", "dma");
    ASSERT_EQ(esecuzione.stato, cli::EsitoCompletato) << esecuzione.err;
    ASSERT_FALSE(Righe(esecuzione.err).empty());
    NELLA_GUIDA(Righe(esecuzione.err).at(0));
    bool trovata = false;
    for (const std::string& riga : Righe(esecuzione.out))
        if (const auto senza = riga.find(" Senza ");
            riga.starts_with("Generazione Record Tipo C") && senza != std::string::npos) {
            // "Generazione Record Tipo C - Quadro D0 - " and what is missing.
            NELLA_GUIDA(riga.substr(0, riga.find(" - Quadro D0 - ") + 15));
            NELLA_GUIDA(riga.substr(senza + 1));
            trovata = true;
        }
    EXPECT_TRUE(trovata) << esecuzione.out;
    // And every other check the converter makes.
    for (const dma::Controllo& controllo : dma::Controlli)
        NELLA_GUIDA(std::string(shell::TogliSpazi(controllo.testo)));
}

TEST_F(MessaggiNellaGuida, UniemensNonGenerato) {
    const Esecuzione esecuzione = Converti("uniemens", "", [](const fs::path& cartella) {
        fs::copy_file(fs::path(FORNITURA_DATI_UNIEMENS) / "errori.tab", cartella / "EsportazioneINPS.tab");
    });
    ASSERT_EQ(esecuzione.stato, cli::EsitoErrore);
    bool nonGenerato = false;
    for (const std::string& riga : Righe(esecuzione.out))
        if (riga.starts_with("Documento non generato")) {
            NELLA_GUIDA(riga);
            nonGenerato = true;
        }
    EXPECT_TRUE(nonGenerato) << esecuzione.out;
    NELLA_GUIDA(Righe(esecuzione.err).at(0)); // "Errori di elaborazione:"
    bool persona = false;
    for (const std::string& riga : Righe(esecuzione.err))
        if (riga.find("manca Dipendente/Collaboratore") != std::string::npos) {
            NELLA_GUIDA(riga);
            persona = true;
        }
    EXPECT_TRUE(persona) << esecuzione.err;
}

TEST_F(MessaggiNellaGuida, CartellaTfr) {
    // 36 supplies of the day there already: their names as the guide gives them (the run's day, 14/06/2011).
    fs::create_directories(m_dir / "TFR");
    const Esecuzione tutte = Converti("tfr", "tfr", [&](const fs::path& cartella) {
        ScriviFile(cartella / "PercorsoTFR.txt", shell::TestoPercorso(m_dir / "TFR") + "\r\n");
        for (const char c : std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"))
            ScriviFile(m_dir / "TFR" / (std::string("MV10614") + c + ".TXT"), "");
    });
    ASSERT_EQ(tutte.stato, cli::EsitoErrore) << tutte.err;
    NELLA_GUIDA(Sostituisci(Righe(tutte.err).at(0), Utf8(m_dir / "TFR"), "\xE2\x80\xA6"));

    const fs::path radice = m_dir.Percorso().root_path();
    const Esecuzione allaRadice = Converti("tfr", "tfr", [&](const fs::path& cartella) {
        ScriviFile(cartella / "PercorsoTFR.txt", shell::TestoPercorso(radice) + "\r\n");
    });
    ASSERT_EQ(allaRadice.stato, cli::EsitoErrore) << allaRadice.err;
    const std::string citata = std::string(1, '\'').append(Utf8(radice)).append(1, '\'');
    NELLA_GUIDA(Sostituisci(Righe(allaRadice.err).at(0), citata, "'C:\\'"));
}

// A tax code against its person and a municipality code against the registries: the guide's examples are the
// sample's first employee with another surname and a residence code that never existed.
TEST_F(MessaggiNellaGuida, CodiciFiscaliEComuni) {
    const Esecuzione conversione = Converti("770", "770", [](const fs::path& cartella) {
        CambiaPrimaRiga(cartella / "Esportazione770.tab", {{21, "Bianchi"}, {31, "X999"}});
    });
    ASSERT_EQ(conversione.stato, 0) << conversione.err;
    const Esecuzione verifica = Fornitura({"verifica", (m_dir / "ARC" / "Importa770-2011-02468130584.txt").string()});
    int trovati = 0;
    for (std::string riga : Righe(verifica.out)) {
        if (riga.find("indica il cognome") == std::string::npos && riga.find("DA001014:") == std::string::npos)
            continue;
        riga = riga.substr(riga.find("record G: ") + 10);
        NELLA_GUIDA(riga.substr(0, riga.find(" (dipendente")));
        ++trovati;
    }
    EXPECT_EQ(trovati, 2) << verifica.out;
}

// A document cut short is not compared: the guide's example is the sample's UniEmens document cut after its
// last report.
TEST_F(MessaggiNellaGuida, ConfrontoNonPossibile) {
    const Esecuzione conversione = Converti("uniemens", "uniemens");
    ASSERT_EQ(conversione.stato, 0) << conversione.err;
    const fs::path fornitura = m_dir / "ARC" / "INPSUNIEMENS-2012-01.xml";
    const std::string testo = LeggiFile(fornitura);
    const fs::path tagliata = m_dir / "aprile.xml";
    ScriviFile(tagliata, testo.substr(0, testo.rfind("</DenunciaIndividuale>") + 22));
    const Esecuzione confronto = Fornitura({"confronta", fornitura.string(), tagliata.string()});
    ASSERT_EQ(confronto.stato, cli::EsitoFileMancante) << confronto.out;
    const std::string riga = Righe(confronto.err).at(0);
    NELLA_GUIDA(Sostituisci(riga.substr(0, riga.find(" fine del documento") + 19), Utf8(tagliata), "aprile.xml"));
}

TEST_F(MessaggiNellaGuida, ControlloDiUnaFornitura) {
    NELLA_GUIDA(shell::Utf8DaLatin1(verifica::TestoEsito({})));
    lettura::Esito esito;
    esito.errori = 2;
    esito.avvisi = 1;
    NELLA_GUIDA(shell::Utf8DaLatin1(verifica::TestoEsito(esito)));

    ScriviFile(m_dir / "vuoto.txt", "");
    ScriviFile(m_dir / "strano.txt", "non una fornitura\r\n");
    for (const char* nome : {"vuoto.txt", "strano.txt"}) {
        const Esecuzione esecuzione = Fornitura({"verifica", (m_dir / nome).string()});
        ASSERT_EQ(esecuzione.stato, cli::EsitoErrore);
        std::string riga = Righe(esecuzione.out).at(0);
        riga = riga.substr(riga.find(": errore: ") + 10);
        NELLA_GUIDA(riga.substr(0, riga.find(" (")));
    }

    // The findings of one rule beyond the first hundred, in one line.
    std::string ripetute = "1" + std::string(279, ' ') + "\r\n";
    for (int i = 0; i < 350; ++i)
        ripetute += "X\r\n";
    ScriviFile(m_dir / "ripetute.TXT", ripetute);
    const Esecuzione sommati = Fornitura({"verifica", (m_dir / "ripetute.TXT").string()});
    const std::string prefisso = Utf8(m_dir / "ripetute.TXT") + ": errore: e altri ";
    const auto riga = sommati.out.find(prefisso);
    ASSERT_NE(riga, std::string::npos) << sommati.out;
    const std::string riepilogo = sommati.out.substr(riga + prefisso.size() - 8);
    NELLA_GUIDA(riepilogo.substr(0, riepilogo.find(" (riga")));

    // The window: a file that cannot be read.
    verifica::finestra::test::VistaProva vista;
    verifica::finestra::FinestraVerifica finestra(vista, {m_dir / "ARC", m_dir / "pagine", m_dir / "Guida.html", {}});
    finestra.Avvio({m_dir / "manca.txt"});
    NELLA_GUIDA(shell::Utf8DaLatin1(vista.esito)); // "Lettura in corso..."
    ASSERT_TRUE(vista.Attendi(finestra));
    NELLA_GUIDA(shell::Utf8DaLatin1(vista.esito));
    const std::string motivo = shell::Utf8DaLatin1(finestra.Cella(0, verifica::finestra::ColonnaRilievi::Messaggio));
    NELLA_GUIDA(motivo.substr(0, motivo.find('\'') + 1));
}

// The window's buttons and the program's title, as the guide names them.
TEST_F(MessaggiNellaGuida, PulsantiDellaFinestra) {
    NELLA_GUIDA(std::string(verifica::finestra::TitoloFinestra));
    for (const auto& pulsante : verifica::finestra::Pulsanti)
        NELLA_GUIDA(Sostituisci(std::string(pulsante.testo), "&", ""));
    for (const auto& colonna : verifica::finestra::ColonneRilievi)
        NELLA_GUIDA(shell::Utf8DaLatin1(colonna.titolo));
}

} // namespace
