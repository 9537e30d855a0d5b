// The three commands that read supplies, as a user runs them: exit statuses, what goes where, the
// listing's rows, the comparison of two supplies made from exports that differ in one person's data and
// one person less, and (on Linux) the listing's page printed in Chromium.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/processo.h"
#include "verifica/tests/supporto_fornitura.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using shell::test::Argomento;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::EsitoProcesso;
using shell::test::LeggiFile;
using shell::test::ScriviFile;

EsitoProcesso Fornitura(const CartellaTemporanea& cartella, const std::vector<std::string>& argomenti) {
    return EseguiProcesso(FORNITURA_EXE, argomenti, cartella / "out.txt", cartella / "err.txt");
}

std::vector<std::string> Righe(const std::string& testo) {
    std::vector<std::string> righe;
    std::istringstream flusso(testo);
    for (std::string riga; std::getline(flusso, riga);)
        righe.push_back(riga);
    return righe;
}

// The lines of an export, and back.
std::vector<std::string> RigheCrLf(const std::string& testo) {
    std::vector<std::string> righe;
    for (std::size_t inizio = 0; inizio < testo.size();) {
        const auto fine = testo.find("\r\n", inizio);
        righe.push_back(testo.substr(inizio, fine - inizio));
        inizio = fine == std::string::npos ? testo.size() : fine + 2;
    }
    return righe;
}
std::string Unisci(const std::vector<std::string>& righe) {
    std::string testo;
    for (const auto& r : righe)
        testo += r + "\r\n";
    return testo;
}
std::string Colonna(const std::string& riga, int n) {
    std::size_t inizio = 0;
    for (int i = 0; i < n; ++i)
        inizio = riga.find('\t', inizio) + 1;
    return riga.substr(inizio, riga.find('\t', inizio) - inizio);
}
std::string ConColonna(std::string riga, int n, const std::string& valore) {
    std::size_t inizio = 0;
    for (int i = 0; i < n; ++i)
        inizio = riga.find('\t', inizio) + 1;
    return riga.replace(inizio, riga.find('\t', inizio) - inizio, valore);
}

// The supply of an export in `cartella/nome`, written by the converter into `cartella/nome-arc`.
fs::path Converti(const CartellaTemporanea& cartella, const std::string& comando, const std::string& nome) {
    const fs::path archivio = cartella / (nome + "-arc");
    const auto esito = Fornitura(cartella, {comando, "--dir", Argomento(cartella / nome), "--archive",
                                            Argomento(archivio), "--now", "2011-06-14T09:05:07"});
    EXPECT_EQ(esito.stato, 0) << esito.err;
    for (const auto& voce : fs::directory_iterator(archivio))
        if (!voce.path().filename().string().starts_with("."))
            return voce.path();
    return {};
}

struct Formato {
    const char* comando;
    const char* esportazione;
    int codiceFiscale; // the export column of the person's tax code
    int cognome;
};

// clang-format off
const Formato Formati[] = {
    {"770", "Esportazione770.tab",    20, 21},
    {"dma", "EsportazioneINPDAP.tab", 31, 32},
};
// clang-format on

class Comandi : public testing::TestWithParam<Formato> {
protected:
    // A generated export of `righe` lines in `cartella/nome`.
    void Genera(const std::string& nome, int righe) {
        const auto esito =
            EseguiProcesso(GENERATORE_EXE, {GetParam().comando, std::to_string(righe), Argomento(m_dir / nome), "5"},
                           m_dir / "gen.out", m_dir / "gen.err");
        ASSERT_EQ(esito.stato, 0) << esito.err;
    }
    CartellaTemporanea m_dir;
};

TEST_P(Comandi, VerificaEsiti) {
    Genera("prima", 20);
    const fs::path pulita = Converti(m_dir, GetParam().comando, "prima");
    auto esito = Fornitura(m_dir, {"verifica", Argomento(pulita)});
    EXPECT_EQ(esito.stato, 0) << esito.out;
    ASSERT_FALSE(Righe(esito.out).empty());
    EXPECT_NE(Righe(esito.out).back().find("nessun errore"), std::string::npos) << esito.out;

    // A damaged copy: its first record loses its last character.
    std::vector<std::string> righe = RigheCrLf(LeggiFile(pulita));
    righe[0].pop_back();
    ScriviFile(m_dir / "rotta.txt", Unisci(righe));
    esito = Fornitura(m_dir, {"verifica", Argomento(m_dir / "rotta.txt")});
    EXPECT_EQ(esito.stato, 1);
    EXPECT_NE(esito.out.find(Argomento(m_dir / "rotta.txt") + ":1: errore: "), std::string::npos) << esito.out;

    // A missing file among others: status 3, the others checked all the same.
    esito = Fornitura(m_dir, {"verifica", Argomento(m_dir / "manca.txt"), Argomento(pulita)});
    EXPECT_EQ(esito.stato, 3);
    EXPECT_NE(esito.err.find("manca.txt"), std::string::npos);
    EXPECT_NE(esito.out.find(Argomento(pulita) + ": "), std::string::npos);

    // An empty file, and one of no known format: errors about the whole file.
    ScriviFile(m_dir / "vuoto.txt", "");
    ScriviFile(m_dir / "altro.txt", "non una fornitura\r\n");
    esito = Fornitura(m_dir, {"verifica", Argomento(m_dir / "vuoto.txt"), Argomento(m_dir / "altro.txt")});
    EXPECT_EQ(esito.stato, 1);
    EXPECT_NE(esito.out.find(Argomento(m_dir / "vuoto.txt") + ": errore: "), std::string::npos) << esito.out;
    EXPECT_NE(esito.out.find(Argomento(m_dir / "altro.txt") + ": errore: Formato non riconosciuto"), std::string::npos);

    // A wrong command line.
    EXPECT_EQ(Fornitura(m_dir, {"verifica"}).stato, 2);
    EXPECT_EQ(Fornitura(m_dir, {"verifica", "--formato", "inps", Argomento(pulita)}).stato, 2);
    EXPECT_EQ(Fornitura(m_dir, {"verifica", "--html", "x.html", Argomento(pulita)}).stato, 2);
}

TEST_P(Comandi, DistintaUnaRigaPerPersona) {
    Genera("prima", 25);
    const fs::path fornitura = Converti(m_dir, GetParam().comando, "prima");
    const auto esito = Fornitura(m_dir, {"distinta", Argomento(fornitura)});
    ASSERT_EQ(esito.stato, 0) << esito.err;
    const auto righe = Righe(esito.out);
    ASSERT_EQ(righe.size(), 26u);
    EXPECT_EQ(righe[0].rfind("tipo\tcodice fiscale\tcognome\tnome\t", 0), 0u) << righe[0];
    const auto esportazione = RigheCrLf(LeggiFile(m_dir / "prima" / GetParam().esportazione));
    for (std::size_t i = 0; i < esportazione.size(); ++i)
        EXPECT_EQ(Colonna(righe[i + 1], 1), Colonna(esportazione[i], GetParam().codiceFiscale)) << righe[i + 1];
    EXPECT_EQ(Fornitura(m_dir, {"distinta", Argomento(m_dir / "manca.txt")}).stato, 3);
    EXPECT_EQ(Fornitura(m_dir, {"distinta"}).stato, 2);
}

TEST_P(Comandi, ConfrontaUnaPersonaCambiataEUnaTolta) {
    Genera("prima", 12);
    auto righe = RigheCrLf(LeggiFile(m_dir / "prima" / GetParam().esportazione));
    const std::string cambiato = Colonna(righe[3], GetParam().codiceFiscale);
    const std::string tolto = Colonna(righe[7], GetParam().codiceFiscale);
    righe[3] = ConColonna(righe[3], GetParam().cognome, "ALTROCOGNOME");
    righe.erase(righe.begin() + 7);
    fs::create_directories(m_dir / "dopo");
    ScriviFile(m_dir / "dopo" / GetParam().esportazione, Unisci(righe));
    const fs::path prima = Converti(m_dir, GetParam().comando, "prima");
    const fs::path dopo = Converti(m_dir, GetParam().comando, "dopo");

    EXPECT_EQ(Fornitura(m_dir, {"confronta", Argomento(prima), Argomento(prima)}).stato, 0);
    const auto esito = Fornitura(m_dir, {"confronta", Argomento(prima), Argomento(dopo)});
    EXPECT_EQ(esito.stato, 1) << esito.err;
    // Exactly the two persons: the changed one with its surname, the removed one.
    std::vector<std::string> persone;
    for (const auto& riga : Righe(esito.out))
        if (riga.rfind("  + ", 0) == 0 || riga.rfind("  - ", 0) == 0 || riga.rfind("  ~ ", 0) == 0)
            persone.push_back(riga);
    ASSERT_EQ(persone.size(), 2u) << esito.out;
    EXPECT_EQ(persone[0].rfind("  - dipendente " + tolto, 0), 0u) << esito.out;
    EXPECT_EQ(persone[1].rfind("  ~ dipendente " + cambiato, 0), 0u) << esito.out;
    EXPECT_NE(esito.out.find("      cognome"), std::string::npos) << esito.out;
    EXPECT_NE(esito.out.find(" -> ALTROCOGNOME\n"), std::string::npos) << esito.out;

    // The same as a page.
    EXPECT_EQ(
        Fornitura(m_dir, {"confronta", Argomento(prima), Argomento(dopo), "--html", Argomento(m_dir / "c.html")}).stato,
        1);
    const std::string pagina = LeggiFile(m_dir / "c.html");
    EXPECT_NE(pagina.find(tolto), std::string::npos);
    EXPECT_NE(pagina.find("ALTROCOGNOME"), std::string::npos);

    EXPECT_EQ(Fornitura(m_dir, {"confronta", Argomento(prima), Argomento(m_dir / "manca.txt")}).stato, 3);
    EXPECT_EQ(Fornitura(m_dir, {"confronta", Argomento(prima)}).stato, 2);

    // Read as the command reads, the same as with every listing value, both ways round.
    verifica::test::ConfrontoInDueModi(prima, dopo);
    verifica::test::ConfrontoInDueModi(dopo, prima);

    // The file changed between the two readings: never the values of another supply.
    const auto vecchia = verifica::LeggiFornitura(prima, {}, {}, false);
    const auto nuova = verifica::LeggiFornitura(dopo, {}, {}, false);
    std::string testo = LeggiFile(dopo);
    testo.replace(testo.find("ALTROCOGNOME"), 12, "ALTROCOGNOMI");
    ScriviFile(dopo, testo);
    try {
        verifica::Confronta(vecchia, nuova);
        ADD_FAILURE() << "un file cambiato durante il confronto";
    } catch (const lettura::ErroreFile& e) {
        EXPECT_NE(std::string(e.what()).find("cambiato mentre lo si confrontava"), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Forniture, Comandi, testing::ValuesIn(Formati),
                         [](const testing::TestParamInfo<Formato>& info) {
                             return std::string(info.param.comando) == "770" ? std::string("c770")
                                                                             : std::string(info.param.comando);
                         });

// Two supplies that differ in any one field are told different, the field named with its old and new
// value; a comparison of the listing's columns alone called them equal.
struct CampoCambiatoDaVedere {
    const char* nome;
    const char* comando;
    int riga;           // the line changed, from 1
    const char* da;     // a text of that line ...
    const char* a;      // ... and what it becomes
    const char* atteso; // the field as the comparison names it
};
void PrintTo(const CampoCambiatoDaVedere& c, std::ostream* os) { *os << c.nome; }

// clang-format off
const CampoCambiatoDaVedere CampiDaVedere[] = {
    {"IbanDelBeneficiario",   "tfr",  5, "IT80L0306902400100000012345", "IT60X0542811101000000123456", "record 4, posizioni 71-104"},
    {"CognomeDelBeneficiario","tfr",  5, "FERRETTI   ",                 "FERRETTO   ",                 "record 4, posizioni 18-43"},
    {"ContattoDelRecord1",    "tfr",  1, "051 6013344",                 "051 6013399",                 "record 1, posizioni"},
    {"DataDellaFornitura",    "tfr",  1, "120110614",                   "120110615",                   "(data della fornitura)"},
    {"SecondoRecordG",        "770",  5, "DB001123              60",    "DB001123             999",    "DB001123"},
    {"GruppoDC",              "770",  3, "DC001021          1234,5",    "DC001021          1234,6",    "DC001021"},
    {"RagioneSocialeB",       "770",  2, "BELLANDI S.R.L.",             "BELLANDO S.R.L.",             "record B, posizioni"},
    {"FissoDiRecordC",        "dma",  3, "E000100707",                  "E000100708",                  "E0001007"},
    {"CFSoftwarehouse",       "uniemens", 7, "02222220283",             "02222220999",                 "DenunceMensili/DatiMittente/CFSoftwarehouse: 02222220283 -> 02222220999"},
    {"GiornoLavorato",        "uniemens", 67, "<Lavorato>S",            "<Lavorato>N",                 "DatiRetributivi/Giorno/Lavorato (5): S -> N"},
    {"AttributoAggiunto",     "uniemens", 66, "GG=\"5\"",               "GG=\"5\" Tipo=\"1\"",         "DatiRetributivi/Giorno@Tipo: (assente) -> 1"},
    {"ImponibileEMens",       "emens", 34, "<Imponibile>2150",          "<Imponibile>2151",            "DatiRetributivi/Imponibile: 2150 -> 2151"},
};
// clang-format on

class ConfrontaOgniCampo : public testing::TestWithParam<CampoCambiatoDaVedere> {};

TEST_P(ConfrontaOgniCampo, DifferenzaNominata) {
    const CampoCambiatoDaVedere& c = GetParam();
    CartellaTemporanea dir;
    fs::copy(fs::path(CAMPIONI) / c.comando, dir / "e");
    const fs::path prima = Converti(dir, c.comando, "e");
    std::vector<std::string> righe = RigheCrLf(LeggiFile(prima));
    std::string& riga = righe.at(static_cast<std::size_t>(c.riga - 1));
    const auto dove = riga.find(c.da);
    ASSERT_NE(dove, std::string::npos) << c.da;
    riga.replace(dove, std::string_view(c.da).size(), c.a);
    const fs::path dopo = dir / ("dopo-" + prima.filename().string());
    ScriviFile(dopo, Unisci(righe));
    const auto esito = Fornitura(dir, {"confronta", Argomento(prima), Argomento(dopo)});
    EXPECT_EQ(esito.stato, 1) << esito.out << esito.err;
    EXPECT_EQ(esito.out.find("stesso contenuto"), std::string::npos) << esito.out;
    EXPECT_NE(esito.out.find(c.atteso), std::string::npos) << esito.out;
    EXPECT_NE(verifica::test::ConfrontoInDueModi(prima, dopo).find(c.atteso), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Campi, ConfrontaOgniCampo, testing::ValuesIn(CampiDaVedere),
                         [](const testing::TestParamInfo<CampoCambiatoDaVedere>& info) {
                             return std::string(info.param.nome);
                         });

TEST(Confronta, FormatiDiversi) {
    CartellaTemporanea dir;
    fs::create_directories(dir / "a");
    fs::copy(fs::path(CAMPIONI) / "770", dir / "a770");
    fs::copy(fs::path(CAMPIONI) / "dma", dir / "adma");
    const fs::path f770 = Converti(dir, "770", "a770");
    const fs::path fdma = Converti(dir, "dma", "adma");
    const auto esito = Fornitura(dir, {"confronta", Argomento(f770), Argomento(fdma)});
    EXPECT_EQ(esito.stato, 2);
    EXPECT_NE(esito.err.find("formati diversi"), std::string::npos) << esito.err;
}

// A file whose content is not all there is not compared: status 3 and the cause, as the check names it. A byte
// order mark in an XML document is told as in a fixed-length supply.
struct NonConfrontabile {
    const char* nome;
    const char* comando;
    std::string (*cambia)(std::string);
    const char* motivo;  // why the comparison does not compare the file
    bool comeLaVerifica; // the check says it too: the comparison quotes its finding to the end
};
void PrintTo(const NonConfrontabile& c, std::ostream* os) { *os << c.nome; }

// clang-format off
const NonConfrontabile NonConfrontabili[] = {
    {"Tagliato",       "uniemens", [](std::string t) { return t.substr(0, t.rfind("</DenunciaIndividuale>")); },
                       "documento XML non ben formato: ", true},
    {"SporcoInFondo",  "emens",    [](std::string t) { return t.replace(t.rfind("</Azienda>"), 2, "<Q"); },
                       "documento XML non ben formato: ", true},
    {"BomUniemens",    "uniemens", [](std::string t) { return "\xEF\xBB\xBF" + t; },
                       "il file comincia con il segno BOM dell'UTF-8 (i byte EF BB BF), che nessuna fornitura ha", false},
    {"Bom770",         "770",      [](std::string t) { return "\xEF\xBB\xBF" + t; },
                       "il file comincia con il segno BOM dell'UTF-8 (i byte EF BB BF), che nessuna fornitura ha", true},
};
// clang-format on

class ConfrontaNonConfrontabile : public testing::TestWithParam<NonConfrontabile> {};

TEST_P(ConfrontaNonConfrontabile, Stato3EIlMotivo) {
    const NonConfrontabile& c = GetParam();
    CartellaTemporanea dir;
    fs::copy(fs::path(CAMPIONI) / c.comando, dir / "e");
    const fs::path buona = Converti(dir, c.comando, "e");
    const fs::path rotta = dir / "rotta";
    ScriviFile(rotta, c.cambia(LeggiFile(buona)));
    std::string motivo = c.motivo;
    if (c.comeLaVerifica) {
        // The check's own words, to the end of its line.
        const auto verifica = Fornitura(dir, {"verifica", Argomento(rotta)});
        const auto inizio = verifica.out.find(c.motivo);
        ASSERT_NE(inizio, std::string::npos) << verifica.out;
        motivo = verifica.out.substr(inizio, verifica.out.find('\n', inizio) - inizio);
    }
    for (const auto& [a, b] : {std::pair{buona, rotta}, std::pair{rotta, buona}}) {
        const auto esito = Fornitura(dir, {"confronta", Argomento(a), Argomento(b)});
        EXPECT_EQ(esito.stato, 3) << esito.out;
        EXPECT_TRUE(esito.out.empty()) << esito.out;
        EXPECT_NE(esito.err.find(motivo), std::string::npos) << esito.err << "\natteso: " << motivo;
    }
}

INSTANTIATE_TEST_SUITE_P(Casi, ConfrontaNonConfrontabile, testing::ValuesIn(NonConfrontabili),
                         [](const testing::TestParamInfo<NonConfrontabile>& info) {
                             return std::string(info.param.nome);
                         });

#ifndef _WIN32
// A supply given through a pipe is read once: equal to its file, and with a changed person shown from that
// reading; never "changed while compared".
TEST(Confronta, DaUnaPipe) {
    CartellaTemporanea dir;
    fs::copy(fs::path(CAMPIONI) / "uniemens", dir / "e");
    const fs::path fornitura = Converti(dir, "uniemens", "e");
    std::string testo = LeggiFile(fornitura);
    testo.replace(testo.find("<Cognome>ZANON<"), 15, "<Cognome>ZANONI<");
    ScriviFile(dir / "cambiata.xml", testo);
    const auto pipe = [&](const fs::path& letta) {
        return EseguiProcesso("/bin/sh",
                              {"-c", "cat \"$1\" | \"$2\" confronta \"$3\" /dev/stdin", "sh", Argomento(letta),
                               FORNITURA_EXE, Argomento(fornitura)},
                              dir / "out.txt", dir / "err.txt");
    };
    auto esito = pipe(fornitura);
    EXPECT_EQ(esito.stato, 0) << esito.out << esito.err;
    EXPECT_NE(esito.out.find("Le due forniture hanno lo stesso contenuto."), std::string::npos) << esito.out;
    esito = pipe(dir / "cambiata.xml");
    EXPECT_EQ(esito.stato, 1) << esito.out << esito.err;
    EXPECT_NE(esito.out.find("      Cognome: ZANON -> ZANONI\n"), std::string::npos) << esito.out << esito.err;
}
#endif

// Nothing of a file reaches the terminal raw: an escape sequence and a line break in a surname, and (where
// the system allows it) a line break and a colon in the file's name, are shown escaped, so that every
// finding is one line that begins with the file's name. A forged line "falso.xml:1:1: errore" and a
// finding split in two were the faults.
TEST(Terminale, OgniRigaCominciaConIlNomeDelFile) {
    CartellaTemporanea dir;
    fs::copy(fs::path(CAMPIONI) / "uniemens", dir / "e");
    const fs::path fatta = Converti(dir, "uniemens", "e");
    std::string testo = LeggiFile(fatta);
    const std::string cognome = "<Cognome>ZANON</Cognome>";
    const auto dove = testo.find(cognome);
    ASSERT_NE(dove, std::string::npos);
    // In a document of ISO-8859-1, byte 0x9B is the character U+009B, which XML allows and a terminal may
    // read as the start of an escape sequence.
    testo.replace(dove, cognome.size(),
                  "<Cognome>zanon\nfalso.xml:1:1: errore: \x9B"
                  "2J</Cognome>");
#ifdef _WIN32
    const fs::path percorso = dir / "con;nome.xml";
#else
    const fs::path percorso = dir / "con\nnome:strano.xml";
#endif
    ScriviFile(percorso, testo);
    for (const std::string comando : {"verifica", "distinta"}) {
        const auto esito = Fornitura(dir, {comando, Argomento(percorso)});
        const std::string tutto = esito.out + esito.err;
        // The output is UTF-8: a C1 control character would be C2 80 to C2 9F.
        for (std::size_t i = 0; i < tutto.size(); ++i) {
            const auto u = static_cast<unsigned char>(tutto[i]);
            const bool c1 = u == 0xC2 && i + 1 < tutto.size() && static_cast<unsigned char>(tutto[i + 1]) <= 0x9F;
            EXPECT_FALSE((u < 0x20 && u != '\n' && u != '\t') || u == 0x7F || c1) << i << "\n" << tutto;
        }
        EXPECT_NE(tutto.find("\\x9B"), std::string::npos) << tutto;
        if (std::string(comando) != "verifica")
            continue;
        const auto righe = Righe(esito.out);
        ASSERT_GE(righe.size(), 2u) << esito.out;
        const std::string nome = righe.back().substr(0, righe.back().find(".xml") + 4);
        for (const auto& riga : righe)
            EXPECT_EQ(riga.rfind(nome, 0), 0u) << riga;
        EXPECT_EQ(esito.out.find("\nfalso.xml"), std::string::npos) << esito.out;
    }
}

// Beside a municipality's code the listing shows its name and province in the reported month.
TEST(Distinta, LuogoAccantoAlCodiceDelComune) {
    CartellaTemporanea dir;
    fs::copy(fs::path(CAMPIONI) / "emens", dir / "e");
    const auto esito = Fornitura(dir, {"distinta", Argomento(Converti(dir, "emens", "e"))});
    EXPECT_EQ(esito.stato, 0) << esito.err;
    EXPECT_NE(esito.out.find("\tH294 RIMINI (RN)"), std::string::npos) << esito.out;
}

// A page named over one of the files it is made from is refused before anything is written (status 2),
// by any spelling of the same file; an input destroyed by its own listing was the fault.
TEST(Pagina, MaiSopraUnFileLetto) {
    CartellaTemporanea dir;
    fs::copy(fs::path(CAMPIONI) / "770", dir / "e");
    const fs::path fornitura = Converti(dir, "770", "e");
    const std::string contenuto = LeggiFile(fornitura);
    fs::create_directory(dir / "altra");
    const std::string nome = fornitura.filename().string();
    const std::vector<fs::path> stessi = {fornitura, fornitura.parent_path() / "." / nome,
                                          dir / "altra" / ".." / fornitura.parent_path().filename() / nome};
    for (const fs::path& pagina : stessi) {
        for (const auto& comando : std::vector<std::vector<std::string>>{
                 {"distinta", Argomento(fornitura), "--html", Argomento(pagina)},
                 {"confronta", Argomento(fornitura), Argomento(fornitura), "--html", Argomento(pagina)}}) {
            const auto esito = Fornitura(dir, comando);
            EXPECT_EQ(esito.stato, 2) << Argomento(pagina) << esito.err;
            EXPECT_NE(esito.err.find("distruggerebbe"), std::string::npos) << esito.err;
            EXPECT_EQ(LeggiFile(fornitura), contenuto) << Argomento(pagina);
        }
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(fornitura.parent_path()), fs::directory_iterator()), 2)
        << "the supply and the lock file only";
}

#ifndef _WIN32
// The same through a second name or a link; a link at the page's name is replaced by the page, and what
// it points at stays as it was.
TEST(Pagina, CollegamentiSostituitiMaiAttraversati) {
    CartellaTemporanea dir;
    fs::copy(fs::path(CAMPIONI) / "dma", dir / "e");
    const fs::path fornitura = Converti(dir, "dma", "e");
    const std::string contenuto = LeggiFile(fornitura);
    fs::create_hard_link(fornitura, dir / "secondo.html");
    fs::create_symlink(fornitura, dir / "collegamento.html");
    for (const char* pagina : {"secondo.html", "collegamento.html"}) {
        const auto esito = Fornitura(dir, {"distinta", Argomento(fornitura), "--html", Argomento(dir / pagina)});
        EXPECT_EQ(esito.stato, 2) << pagina << esito.err;
        EXPECT_EQ(LeggiFile(fornitura), contenuto) << pagina;
    }
    ScriviFile(dir / "altro.txt", "un altro file");
    fs::create_symlink(dir / "altro.txt", dir / "pagina.html");
    ASSERT_EQ(Fornitura(dir, {"distinta", Argomento(fornitura), "--html", Argomento(dir / "pagina.html")}).stato, 0);
    EXPECT_FALSE(fs::is_symlink(dir / "pagina.html"));
    EXPECT_NE(LeggiFile(dir / "pagina.html").find("<!DOCTYPE html>"), std::string::npos);
    EXPECT_EQ(LeggiFile(dir / "altro.txt"), "un altro file");
}

// The listing's page printed in a real browser: every person's tax code and the totals in the PDF.
TEST(Distinta, PaginaStampataInChromium) {
    CartellaTemporanea dir;
    const auto genera =
        EseguiProcesso(GENERATORE_EXE, {"770", "150", Argomento(dir / "e"), "9"}, dir / "g.out", dir / "g.err");
    ASSERT_EQ(genera.stato, 0);
    const fs::path fornitura = Converti(dir, "770", "e");
    ASSERT_EQ(Fornitura(dir, {"distinta", Argomento(fornitura), "--html", Argomento(dir / "distinta.html")}).stato, 0);
    const auto stampa =
        EseguiProcesso("/bin/sh", {STAMPA_PDF, Argomento(dir / "distinta.html"), Argomento(dir / "distinta.pdf")},
                       dir / "s.out", dir / "s.err");
    ASSERT_EQ(stampa.stato, 0) << LeggiFile(dir / "s.err");
    const std::string testo = LeggiFile(dir / "distinta.txt");
    EXPECT_NE(testo.find("Totali della fornitura"), std::string::npos);
    EXPECT_NE(testo.find("Record Z, posizioni 52-60"), std::string::npos);
    for (const auto& riga : RigheCrLf(LeggiFile(dir / "e" / "Esportazione770.tab")))
        EXPECT_NE(testo.find(Colonna(riga, 20)), std::string::npos) << Colonna(riga, 20);
    // Several pages, each with the table's head.
    const auto pagine = std::count(testo.begin(), testo.end(), '\f');
    EXPECT_GE(pagine, 3);
    std::size_t teste = 0;
    for (std::size_t i = testo.find("codice fiscale"); i != std::string::npos; i = testo.find("codice fiscale", i + 1))
        ++teste;
    EXPECT_GE(teste, static_cast<std::size_t>(pagine) - 1);
}

// The archive's page printed in a real browser: every employer with its supplies, the set's findings under it.
TEST(Archivio, PaginaStampataInChromium) {
    CartellaTemporanea dir;
    for (const char* comando : {"770", "uniemens", "dma", "emens", "tfr"})
        ASSERT_EQ(Fornitura(dir, {comando, "--dir", Argomento(fs::path(CAMPIONI) / comando), "--archive",
                                  Argomento(dir / "arc"), "--now", "2011-06-14T09:05:07"})
                      .stato,
                  0);
    fs::copy_file(dir / "arc" / "INPSUNIEMENS-2012-01.xml", dir / "arc" / "INPSUNIEMENS-2012-01_2.xml");
    ASSERT_EQ(Fornitura(dir, {"archivio", Argomento(dir / "arc"), "--html", Argomento(dir / "archivio.html")}).stato, 0)
        << LeggiFile(dir / "err.txt");
    const auto stampa =
        EseguiProcesso("/bin/sh", {STAMPA_PDF, Argomento(dir / "archivio.html"), Argomento(dir / "archivio.pdf")},
                       dir / "s.out", dir / "s.err");
    ASSERT_EQ(stampa.stato, 0) << LeggiFile(dir / "s.err");
    const std::string testo = LeggiFile(dir / "archivio.txt");
    for (const char* atteso : {"02345670372", "02468010414", "02468130584", "03456780273", "80012340586",
                               "COMUNE DI VALBRUNA", "Rilievi tra le forniture", "stesso contenuto"})
        EXPECT_NE(testo.find(atteso), std::string::npos) << atteso << "\n" << testo;
    // Each year's grid under its own head, on whatever page it falls.
    for (const char* anno : {"2008", "2010", "2011", "2012"})
        EXPECT_NE(testo.find(anno), std::string::npos) << anno;
}
#endif

} // namespace
