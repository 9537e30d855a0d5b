// The E-Mens run: the sample and the edge-case export byte for byte, the two lists and the order of
// the persons, the layouts of a line, the previous-month block, the document's name, and where each
// fault stops the run. Every finished document is read by a real XML parser.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/esecuzione.h"
#include "tests/supporto/contesto_registrato.h"
#include "emens/dati_sub_emens.h"
#include "shell/errore.h"
#include "emens/tests/supporto_emens.h"
#include "shell/uscita.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace emens {
namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::ContestoRegistrato;
using shell::test::LeggiFile;
using shell::test::ScriviFile;
using test::DatiProva;
using test::Esportazione;
using test::FileVisibili;
using test::RigaCollaboratore;
using test::RigaProva;

// How many times `parte` occurs in `testo`.
int Occorrenze(const std::string& testo, const std::string& parte) {
    int n = 0;
    for (auto i = testo.find(parte); i != std::string::npos; i = testo.find(parte, i + 1))
        ++n;
    return n;
}

class EsecuzioneEmens : public testing::Test {
protected:
    EsecuzioneEmens() { fs::create_directory(m_dir / "prog"); }
    ~EsecuzioneEmens() override { test::ControllaDocumenti(Archivio()); }

    fs::path Archivio() const { return m_dir / "ARC"; }

    // Loading and run as the window does them on `esportazione`; the message of the error that
    // stopped the run, or "".
    std::string Esegui(const std::string& esportazione) {
        ScriviFile(m_dir / "prog" / "EsportazioneINPS.tab", esportazione);
        return shell::test::EseguiComeLaFinestra(Descrittore(), m_dir / "prog", Archivio(), m_contesto);
    }

    std::string Documento(const std::string& nome = "INPSEMENS-2012-03.xml") const {
        return LeggiFile(Archivio() / nome);
    }

    // The log of a finished run: `righe`, each with its line end, and the two completion lines.
    std::string Log(const std::string& righe, const std::string& nome = "INPSEMENS-2012-03.xml") const {
        return righe + shell::TestoCompletamento(Archivio() / nome);
    }

    CartellaTemporanea m_dir;
    ContestoRegistrato m_contesto{m_dir / "ARC"};
};

// The sample of samples/emens, checked by hand element by element against the document rules and
// against a separate reading of them: a collaborator before the employees, previous-month blocks,
// both layouts, an apostrophe and an ampersand, accents. An older document of the month, of the same
// employer, is replaced.
TEST_F(EsecuzioneEmens, EsempioByteByByte) {
    fs::create_directory(Archivio());
    ScriviFile(Archivio() / "INPSEMENS-2008-06.xml", "<DenunceRetributiveMensili><Azienda><CFAzienda>02468010414"
                                                     "</CFAzienda></Azienda></DenunceRetributiveMensili>");
    ASSERT_EQ(Esegui(LeggiFile(fs::path(EMENS_ESEMPIO) / "EsportazioneINPS.tab")), "");
    EXPECT_EQ(Documento("INPSEMENS-2008-06.xml"), DatiProva("esempio.xml"));
    EXPECT_EQ(m_contesto.messaggio, Log(DatiProva("esempio.log"), "INPSEMENS-2008-06.xml"));
    EXPECT_TRUE(m_contesto.cursoreInFondo);
    EXPECT_EQ(m_contesto.errori, "");
    EXPECT_TRUE(m_contesto.avvisi.empty());
    EXPECT_EQ(FileVisibili(Archivio()), std::vector<std::string>{"INPSEMENS-2008-06.xml"});
}

// The edge cases of data/casi.tab, checked by hand in the same way: deletion mark, blank optional
// fields, half-given groups, weeks with empty items and extra parts, both layouts, a replaced and a
// pending previous-month block, reserved characters in the company name, in a name and in the
// consolidation type, a 60-character company name, empty lines.
TEST_F(EsecuzioneEmens, CasiByteByByte) {
    ASSERT_EQ(Esegui(DatiProva("casi.tab")), "");
    EXPECT_EQ(Documento(), DatiProva("casi.xml"));
    EXPECT_EQ(m_contesto.messaggio, Log(DatiProva("casi.log")));
}

// An export in the host's usual order (collaborators last) and the same lines with collaborators
// among the employees give the same document and the same log: employees first, each with the block
// of the previous-month line before it, then the collaborators, each kind in the order of the file.
TEST_F(EsecuzioneEmens, CollaboratoriPrimaDeiDipendenti) {
    const std::string primo = RigaProva();
    const std::string precedente =
        RigaProva({{10, "BNCLRA80A41L736X"}, {24, "0"}, {29, "PRECEDENTE"}, {40, "R"}, {41, "3000"}});
    const std::string secondo = RigaProva({{10, "BNCLRA80A41L736X"}, {11, "Bianchi"}, {12, "Laura"}});
    const std::string collaboratore = RigaCollaboratore();
    const std::string altro = RigaCollaboratore({{10, "FBBGNN66A01H294S"}, {31, "00100"}});

    ASSERT_EQ(Esegui(Esportazione({primo, precedente, secondo, collaboratore, altro})), "");
    const std::string ordinato = Documento();
    const std::string logOrdinato = m_contesto.messaggio;
    EXPECT_EQ(logOrdinato, Log("Elaborazione Dipendente: ZNNMRC75C12L736W - ZANON MARCO\r\n"
                               "Elaborazione Dipendente: BNCLRA80A41L736X - BIANCHI LAURA\r\n"
                               "Elaborazione Collaboratore: CLLNNA80A41L736P - CELLI ANNA\r\n"
                               "Elaborazione Collaboratore: FBBGNN66A01H294S - CELLI ANNA\r\n"));
    EXPECT_EQ(Occorrenze(ordinato, "\t\t\t\t\t<GiorniRetribuiti>26</GiorniRetribuiti>\r\n"
                                   "\t\t\t\t</DatiRetributivi>\r\n"
                                   "\t\t\t\t<MesePrecedente TipoConsolidamento=\"R\">\r\n"),
              1);
    EXPECT_EQ(Occorrenze(ordinato, "\t\t\t<CAP>30100</CAP>\r\n"), 1);

    for (const auto& righe : {std::vector<std::string>{collaboratore, primo, precedente, altro, secondo},
                              std::vector<std::string>{primo, collaboratore, precedente, secondo, altro}}) {
        m_contesto.messaggio.clear();
        ASSERT_EQ(Esegui(Esportazione(righe)), "");
        EXPECT_EQ(Documento(), ordinato);
        EXPECT_EQ(m_contesto.messaggio, logOrdinato);
    }
}

// The lines of the document at the depth of the lists, after the company opening.
std::vector<std::string> Scheletro(const std::string& documento) {
    std::vector<std::string> righe;
    for (auto inizio = documento.find("</RagSocAzienda>\r\n") + 18; inizio < documento.size();) {
        const auto fine = documento.find("\r\n", inizio);
        const std::string riga = documento.substr(inizio, fine - inizio);
        if (riga.find_first_not_of('\t') <= 2)
            righe.push_back(riga);
        inizio = fine + 2;
    }
    return righe;
}

// Each list is opened by the first person of its kind and closed after the last; the individual
// reports' list comes first whatever the order of the lines.
struct CasoListe {
    const char* nome;
    std::vector<std::string> righe;
    std::vector<std::string> scheletro;
};

void PrintTo(const CasoListe& caso, std::ostream* os) { *os << caso.nome; }

class Liste : public EsecuzioneEmens, public testing::WithParamInterface<CasoListe> {};

TEST_P(Liste, AperturaEChiusura) {
    ASSERT_EQ(Esegui(Esportazione(GetParam().righe)), "");
    EXPECT_EQ(Scheletro(Documento()), GetParam().scheletro);
}

const std::vector<std::string> Dip = {"\t\t<ListaDenunceIndividuali>", "\t\t</ListaDenunceIndividuali>"};
const std::vector<std::string> Coll = {"\t\t<ListaCollaboratori>", "\t\t</ListaCollaboratori>"};
const std::vector<std::string> Fine = {"\t</Azienda>", "</DenunceRetributiveMensili>"};

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, Liste, testing::Values(
    CasoListe{"solo_dipendenti",      {RigaProva(), RigaProva()},                 Dip + Fine},
    CasoListe{"solo_collaboratori",   {RigaCollaboratore(), RigaCollaboratore()}, Coll + Fine},
    CasoListe{"in_ordine",            {RigaProva(), RigaCollaboratore()},         Dip + Coll + Fine},
    CasoListe{"collaboratore_prima",  {RigaCollaboratore(), RigaProva()},         Dip + Coll + Fine},
    CasoListe{"senza_imponibile",     {RigaProva({{24, "0"}}), RigaCollaboratore({{24, "0,00"}})}, Fine},
    CasoListe{"solo_mese_precedente", {RigaProva({{29, "PRECEDENTE"}})},          Fine}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// The theoretical pay by layout: a line of exactly 42 columns takes the taxable pay when its paid
// days are not 0; any other line takes column 42.
struct CasoTracciato {
    const char* nome;
    int colonne;
    const char* imponibile; // column 24
    const char* giorni;     // column 27
    const char* teorica;    // column 42 (long layout)
    const char* atteso;
};

void PrintTo(const CasoTracciato& caso, std::ostream* os) { *os << caso.nome; }

class Tracciato : public EsecuzioneEmens, public testing::WithParamInterface<CasoTracciato> {};

TEST_P(Tracciato, RetribuzioneTeorica) {
    const CasoTracciato& caso = GetParam();
    ASSERT_EQ(
        Esegui(Esportazione({RigaProva({{24, caso.imponibile}, {27, caso.giorni}, {42, caso.teorica}}, caso.colonne)})),
        "");
    EXPECT_EQ(Occorrenze(Documento(), "\t\t\t\t\t<RetribTeorica>" + std::string(caso.atteso) + "</RetribTeorica>\r\n"),
              1);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, Tracciato, testing::Values(
    //           nome                        col  imponibile   giorni  col. 42   atteso
    CasoTracciato{"breve_con_giorni",         42, "1500",      "20",   "",       "1500"},
    CasoTracciato{"breve_senza_giorni",       42, "1500",      "0",    "",       "0"},
    CasoTracciato{"breve_giorni_sotto_mezzo", 42, "1500",      "0.4",  "",       "0"},
    CasoTracciato{"breve_arrotondato",        42, "1500.5",    "20",   "",       "1500"},
    CasoTracciato{"breve_migliaia",           42, "1.500,75",  "20",   "",       "1500"},
    CasoTracciato{"lungo",                    46, "1500",      "20",   "1234",   "1234"},
    CasoTracciato{"lungo_senza_giorni",       46, "1500",      "0",    "1234",   "1234"},
    CasoTracciato{"lungo_43_colonne",         43, "1500",      "20",   "800",    "800"},
    CasoTracciato{"lungo_migliaia",           46, "1500",      "20",   "1.234,00","1234"},
    CasoTracciato{"lungo_mezzo_al_pari",      46, "1500",      "20",   "2.5",    "2"},
    CasoTracciato{"lungo_negativo",           46, "1500",      "20",   "-7",     "-7"},
    CasoTracciato{"lungo_vuoto",              46, "1500",      "20",   "",       "0"}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// The taxable pay of an employee: the leading number in its shortest form; the collaborator's is
// written as it stands.
TEST_F(EsecuzioneEmens, Imponibile) {
    ASSERT_EQ(Esegui(Esportazione({RigaProva({{24, "1.234,56"}}), RigaProva({{24, "1500,75"}}),
                                   RigaProva({{24, " 1890.50 "}}), RigaCollaboratore({{24, "1.500,75"}})})),
              "");
    for (const char* valore : {"1234", "1500", "1890,5"})
        EXPECT_EQ(Occorrenze(Documento(), "\t\t\t\t\t<Imponibile>" + std::string(valore) + "</Imponibile>\r\n"), 1)
            << valore;
    EXPECT_EQ(Occorrenze(Documento(), "\t\t\t\t<Imponibile>1.500,75</Imponibile>\r\n"), 1);
}

// Paid days are written when their leading number is not 0, as the export gives them.
TEST_F(EsecuzioneEmens, GiorniRetribuitiEdElimina) {
    ASSERT_EQ(Esegui(Esportazione({RigaProva({{27, "0,5"}, {39, "  "}}), RigaProva({{27, " "}, {39, "S"}}),
                                   RigaProva({{27, "26 gg"}, {39, "x"}})})),
              "");
    EXPECT_EQ(Occorrenze(Documento(), "\t\t\t\t\t<GiorniRetribuiti>"), 1);
    EXPECT_EQ(Occorrenze(Documento(), "\t\t\t\t\t<GiorniRetribuiti>26 GG</GiorniRetribuiti>\r\n"), 1);
    EXPECT_EQ(Occorrenze(Documento(), "\t\t\t<DenunciaIndividuale>\r\n"), 1);
    EXPECT_EQ(Occorrenze(Documento(), "\t\t\t<DenunciaIndividuale Elimina=\"S\">\r\n"), 2);
}

// A previous-month block joins the next report even past collaborator lines and lines without pay;
// the block of a collaborator's line or of a line without pay is a block all the same.
TEST_F(EsecuzioneEmens, MesePrecedenteRaggiungeLaDenunciaSeguente) {
    ASSERT_EQ(Esegui(Esportazione({RigaProva({{24, "0"}, {29, "PRECEDENTE"}, {30, "COLLABORATORE"}, {40, " C "}}),
                                   RigaCollaboratore(), RigaProva({{10, "ALTRO"}, {24, "0"}}), RigaProva()})),
              "");
    const std::string documento = Documento();
    const auto blocco = documento.find("\t\t\t\t<MesePrecedente TipoConsolidamento=\"C\">\r\n");
    ASSERT_NE(blocco, std::string::npos);
    const std::string prima = "\t\t\t\t</DatiRetributivi>\r\n";
    EXPECT_EQ(documento.substr(blocco - prima.size(), prima.size()), prima);
    EXPECT_EQ(documento.find("\t\t\t\t</MesePrecedente>\r\n"
                             "\t\t\t</DenunciaIndividuale>\r\n"
                             "\t\t</ListaDenunceIndividuali>\r\n"
                             "\t\t<ListaCollaboratori>\r\n",
                             blocco),
              documento.find("\t\t\t\t</MesePrecedente>\r\n"));
    EXPECT_EQ(m_contesto.messaggio, Log("Elaborazione Dipendente: ZNNMRC75C12L736W - ZANON MARCO\r\n"
                                        "Elaborazione Collaboratore: CLLNNA80A41L736P - CELLI ANNA\r\n"));
}

// The document's name and `AnnoMeseDenuncia`: the year as written and as a whole number of at
// least four digits, the month as a whole number of two.
struct CasoPeriodo {
    const char* nome;
    const char* anno;
    const char* mese;
    const char* annoMese;
    const char* documento;
};

void PrintTo(const CasoPeriodo& caso, std::ostream* os) { *os << caso.nome; }

class Periodo : public EsecuzioneEmens, public testing::WithParamInterface<CasoPeriodo> {};

TEST_P(Periodo, NomeEAnnoMese) {
    const CasoPeriodo& caso = GetParam();
    ASSERT_EQ(Esegui(Esportazione({RigaProva({{7, caso.anno}, {8, caso.mese}}),
                                   RigaProva({{7, "1999"}, {8, "7"}})})), // only line 1 counts
              "");
    EXPECT_EQ(FileVisibili(Archivio()), std::vector<std::string>{caso.documento});
    EXPECT_EQ(Occorrenze(Documento(caso.documento),
                         "\t\t<AnnoMeseDenuncia>" + std::string(caso.annoMese) + "</AnnoMeseDenuncia>\r\n"),
              1);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, Periodo, testing::Values(
    //          nome                anno      mese   AnnoMeseDenuncia  documento
    CasoPeriodo{"mese_una_cifra",   "2012",   "3",   "2012-03",        "INPSEMENS-2012-03.xml"},
    CasoPeriodo{"mese_due_cifre",   "2012",   "03",  "2012-03",        "INPSEMENS-2012-03.xml"},
    CasoPeriodo{"dicembre",         "2011",   "12",  "2011-12",        "INPSEMENS-2011-12.xml"},
    CasoPeriodo{"anno_corto",       "8",      "6",   "8-06",           "INPSEMENS-0008-06.xml"},
    CasoPeriodo{"anno_con_spazi",   " 2012 ", "3",   " 2012 -03",      "INPSEMENS-2012-03.xml"}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// A run that stops: the message names line and column, the working file stays under its temporary
// name and nothing takes the final name.
struct CasoErrore {
    const char* nome;
    std::vector<std::string> righe;
    std::string messaggio;
};

void PrintTo(const CasoErrore& caso, std::ostream* os) { *os << caso.nome; }

class Errore : public EsecuzioneEmens, public testing::WithParamInterface<CasoErrore> {};

TEST_P(Errore, FermaLElaborazione) {
    const std::string temporaneo = "INPSEMENS-2011-06-14-09-05-07.xml";
    EXPECT_EQ(Esegui(Esportazione(GetParam().righe)), GetParam().messaggio +
                                                          "\r\nIl documento resta con il nome temporaneo '" +
                                                          (Archivio() / temporaneo).string() + "'.");
    EXPECT_EQ(FileVisibili(Archivio()), std::vector<std::string>{temporaneo});
    EXPECT_EQ(m_contesto.messaggio.find("Generazione documento"), std::string::npos);
}

const std::string Dipendente = RigaProva();

// clang-format off
INSTANTIATE_TEST_SUITE_P(Casi, Errore, testing::Values(
    CasoErrore{"prima_riga_vuota", {"", Dipendente},
        "Riga 1: riga vuota, mancano i dati del mittente e dell'azienda"},
    CasoErrore{"prima_riga_corta", {RigaProva({}, 9)},
        "Riga 1, colonna 9: colonna mancante (la riga ha 9 colonne, ne servono 30)"},
    CasoErrore{"riga_corta", {Dipendente, "A\tB"},
        "Riga 2, colonna 2: colonna mancante (la riga ha 2 colonne, ne servono 30)"},
    CasoErrore{"senza_tipo_di_persona", {Dipendente, RigaProva({}, 30)},
        "Riga 2, colonna 30: colonna mancante (la riga ha 30 colonne, ne servono 31)"},
    CasoErrore{"dipendente_corto", {Dipendente, RigaProva({}, 41)},
        "Riga 2, colonna 41: colonna mancante (la riga ha 41 colonne, ne servono 42)"},
    CasoErrore{"mese_precedente_corto", {RigaProva({{29, "PRECEDENTE"}}, 40), Dipendente},
        "Riga 1, colonna 40: colonna mancante (la riga ha 40 colonne, ne servono 42)"},
    CasoErrore{"collaboratore_corto", {Dipendente, RigaProva({{30, "COLLABORATORE"}}, 38)},
        "Riga 2, colonna 38: colonna mancante (la riga ha 38 colonne, ne servono 39)"},
    CasoErrore{"anno_oltre_16_bit", {RigaProva({{7, "40000"}})},
        "Riga 1, colonna 7: numero intero fuori dall'intervallo da -32.768 a 32.767 '40000'"},
    CasoErrore{"retribuzione_oltre_16_bit", {RigaProva({{42, "32768"}})},
        "Riga 1, colonna 42: numero intero fuori dall'intervallo da -32.768 a 32.767 '32768'"},
    CasoErrore{"imponibile_breve_oltre_16_bit", {RigaProva({{24, "40.000,00"}}, 42)},
        "Riga 1, colonna 24: numero intero fuori dall'intervallo da -32.768 a 32.767 '40.000,00'"},
    CasoErrore{"imponibile_oltre_un_double", {RigaProva({{24, std::string(400, '9')}})},
        "Riga 1, colonna 24: numero fuori dall'intervallo ammesso '" + std::string(400, '9') + "'"},
    CasoErrore{"settimana_senza_chiocciola", {RigaProva({{25, "10@X\x1D" "11X"}})},
        "Riga 1, colonna 25: settimana senza '@' in '10@X\\x1D11X'"},
    CasoErrore{"data_impossibile", {Dipendente, RigaCollaboratore({{38, "31/02/2012"}})},
        "Riga 2, colonna 38: data non valida '31/02/2012'"},
    CasoErrore{"data_illeggibile", {RigaCollaboratore({{37, "marzo"}})},
        "Riga 1, colonna 37: data non valida 'MARZO'"},
    CasoErrore{"carattere_di_controllo", {Dipendente, RigaProva({{11, "ZA\x01NON"}})},
        "Riga 2, colonna 11: carattere di controllo (codice 1) non ammesso in un documento XML"},
    CasoErrore{"a_capo_nel_collaboratore", {RigaCollaboratore({{35, "27,72\n"}})},
        "Riga 1, colonna 35: a capo (LF) senza ritorno carrello (CR); le righe del file di esportazione devono "
        "finire con CR LF"},
    CasoErrore{"nul_nel_mese_precedente", {RigaProva({{29, "PRECEDENTE"}, {41, std::string("40\0" "00", 5)}})},
        "Riga 1, colonna 41: carattere di controllo (codice 0) non ammesso in un documento XML"},
    CasoErrore{"mese_precedente_di_altra_persona",
        {Dipendente, RigaProva({{29, "PRECEDENTE"}}), RigaProva({{10, "BNCLRA80A41L736X"}})},
        "Riga 2, colonna 10: mese precedente di un'altra persona ('ZNNMRC75C12L736W', mentre la denuncia "
        "che segue, in riga 3, \xE8 di 'BNCLRA80A41L736X')"}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// Empty lines are skipped wherever they stand, the last one included.
TEST_F(EsecuzioneEmens, RigheVuoteSaltate) {
    ASSERT_EQ(Esegui(Esportazione({RigaProva(), "", RigaProva({{10, "BNCLRA80A41L736X"}}), ""})), "");
    EXPECT_EQ(Occorrenze(Documento(), "\t\t\t</DenunciaIndividuale>\r\n"), 2);
}

TEST_F(EsecuzioneEmens, EsportazioneVuota) {
    EXPECT_EQ(Esegui(""), "Il file di esportazione \xE8 vuoto");
    EXPECT_EQ(FileVisibili(Archivio()), std::vector<std::string>{});
}

} // namespace
} // namespace emens
