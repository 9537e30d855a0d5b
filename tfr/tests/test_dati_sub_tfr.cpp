// The TFR run: the sample supply byte for byte, the grouping by employee with the beneficiaries,
// the output folder, and where each failure stops the run.

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/esecuzione.h"
#include "tests/supporto/contesto_registrato.h"
#include "tfr/dati_sub_tfr.h"
#include "shell/errore.h"
#include "tfr/tests/righe_tfr.h"
#include "shell/testo.h"
#include "shell/uscita.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tfr {
namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::ContestoRegistrato;
using shell::test::LeggiFile;
using shell::test::ScriviFile;
using test::Riga;
using test::RigaBeneficiario;
using test::RigaDipendente;

std::string Righe(const std::vector<std::string>& righe) {
    std::string testo;
    for (const auto& riga : righe)
        testo += riga + "\r\n";
    return testo;
}

std::vector<std::string> RecordDi(const std::string& fornitura) {
    std::vector<std::string> record;
    for (std::size_t inizio = 0; inizio < fornitura.size();) {
        const auto fine = fornitura.find("\r\n", inizio);
        record.push_back(fornitura.substr(inizio, fine - inizio));
        inizio = fine + 2;
    }
    return record;
}

// The record types in order, with the tax code of records "2" and "4": "2:A", "4:FA1", "9".
std::vector<std::string> Sequenza(const std::string& fornitura) {
    std::vector<std::string> sequenza;
    for (const auto& record : RecordDi(fornitura)) {
        const char tipo = record.at(0);
        std::string voce(1, tipo);
        if (tipo == '2')
            voce += ":" + std::string(shell::TogliSpazi(record.substr(39, 16)));
        if (tipo == '4')
            voce += ":" + std::string(shell::TogliSpazi(record.substr(1, 16)));
        sequenza.push_back(voce);
    }
    return sequenza;
}

class EsecuzioneTFR : public testing::Test {
protected:
    EsecuzioneTFR() { fs::create_directory(Programma()); }

    fs::path Programma() const { return m_dir / "prog"; }
    fs::path Archivio() const { return m_dir / "ARC"; }

    void Esportazione(const std::string& testo) { ScriviFile(Programma() / "EsportazioneTFR.tab", testo); }
    void Beneficiari(const std::string& testo) { ScriviFile(Programma() / "EsportazioneTFRBeneficiari.tab", testo); }

    // Loading and run as the window does them; the message of the error that stopped the run, or "".
    std::string Esegui() {
        return shell::test::EseguiComeLaFinestra(Descrittore(), Programma(), Archivio(), m_contesto);
    }

    std::string Fornitura(const std::string& nome = "MV106140.TXT") const { return LeggiFile(Archivio() / nome); }

    std::vector<std::string> FileIn(const fs::path& cartella) const {
        std::vector<std::string> nomi;
        for (const auto& voce : fs::directory_iterator(cartella))
            if (!shell::test::Nascosto(voce.path()))
                nomi.push_back(voce.path().filename().string());
        std::sort(nomi.begin(), nomi.end());
        return nomi;
    }

    std::string Log(const std::vector<std::string>& dipendenti, const fs::path& finale) const {
        std::string log;
        for (const auto& riga : dipendenti)
            log += "Elaborazione dipendente: " + riga + "\r\n";
        return log + shell::TestoCompletamento(finale);
    }

    CartellaTemporanea m_dir;
    ContestoRegistrato m_contesto{m_dir / "ARC"};
};

// The sample of samples/tfr, checked by hand field by field: several employees, one of them in two
// groups, beneficiaries of three of them (one key with blanks and small letters), one of nobody.
TEST_F(EsecuzioneTFR, EsempioByteByByte) {
    for (const char* nome : {"EsportazioneTFR.tab", "EsportazioneTFRBeneficiari.tab"})
        fs::copy_file(fs::path(TFR_ESEMPIO) / nome, Programma() / nome);
    ASSERT_EQ(Esegui(), "");
    const fs::path finale = Archivio() / "MV106140.TXT";
    EXPECT_EQ(Fornitura(), LeggiFile(fs::path(TFR_DATI) / "MV106140.TXT"));
    EXPECT_EQ(m_contesto.messaggio, LeggiFile(fs::path(TFR_DATI) / "MV106140.log") + shell::TestoCompletamento(finale));
    EXPECT_TRUE(m_contesto.cursoreInFondo);
    EXPECT_EQ(FileIn(Archivio()), std::vector<std::string>{"MV106140.TXT"}); // TFRtemp.txt deleted
}

TEST_F(EsecuzioneTFR, TreRigheDiUnDipendente) {
    Esportazione(Righe({RigaDipendente("A", "Bassi", "Ugo"), RigaDipendente("A"), RigaDipendente("A")}));
    Beneficiari(Righe({RigaBeneficiario("A", "FA1"), RigaBeneficiario("A", "FA2")}));
    ASSERT_EQ(Esegui(), "");
    EXPECT_EQ(Sequenza(Fornitura()), (std::vector<std::string>{"1", "2:A", "3", "3", "3", "4:FA1", "4:FA2", "9"}));
    EXPECT_EQ(RecordDi(Fornitura()).back(), "9"
                                            "000001"
                                            "000001"
                                            "000003"
                                            "000002");
    EXPECT_EQ(m_contesto.messaggio, Log({"A - BASSI UGO"}, Archivio() / "MV106140.TXT"));
}

// Beneficiaries in any order in their file: each employee's come right after its group.
TEST_F(EsecuzioneTFR, DueDipendentiConBeneficiari) {
    Esportazione(Righe({RigaDipendente("A"), RigaDipendente("A"), RigaDipendente("B")}));
    Beneficiari(Righe({RigaBeneficiario("B", "FB1"), RigaBeneficiario("A", "FA1"), RigaBeneficiario("B", "FB2")}));
    ASSERT_EQ(Esegui(), "");
    EXPECT_EQ(Sequenza(Fornitura()),
              (std::vector<std::string>{"1", "2:A", "3", "3", "4:FA1", "2:B", "3", "4:FB1", "4:FB2", "9"}));
}

// Lines A, B, A: two groups for A, and A's beneficiaries after each of them.
TEST_F(EsecuzioneTFR, GruppoFuoriOrdine) {
    Esportazione(Righe({RigaDipendente("A", "Bassi", "Ugo"), RigaDipendente("B", "Neri", "Eva"),
                        RigaDipendente("A", "Bassi", "Ugo")}));
    Beneficiari(Righe({RigaBeneficiario("A", "FA1"), RigaBeneficiario("B", "FB1")}));
    ASSERT_EQ(Esegui(), "");
    EXPECT_EQ(Sequenza(Fornitura()),
              (std::vector<std::string>{"1", "2:A", "3", "4:FA1", "2:B", "3", "4:FB1", "2:A", "3", "4:FA1", "9"}));
    EXPECT_EQ(RecordDi(Fornitura()).back(), "9"
                                            "000001"
                                            "000003"
                                            "000003"
                                            "000003");
    EXPECT_EQ(m_contesto.messaggio,
              Log({"A - BASSI UGO", "B - NERI EVA", "A - BASSI UGO"}, Archivio() / "MV106140.TXT"));
}

// A beneficiary key with blanks around it matches in every pass, not only after the last group.
TEST_F(EsecuzioneTFR, ChiaveDelBeneficiarioSenzaSpazi) {
    Esportazione(Righe({RigaDipendente("abc"), RigaDipendente("XYZ")}));
    Beneficiari(Righe(
        {RigaBeneficiario(" abc ", "FA1"), RigaBeneficiario("  XYZ", "FX1"), RigaBeneficiario("NESSUNO", "FN1")}));
    ASSERT_EQ(Esegui(), "");
    EXPECT_EQ(Sequenza(Fornitura()),
              (std::vector<std::string>{"1", "2:ABC", "3", "4:FA1", "2:XYZ", "3", "4:FX1", "9"}));
}

TEST_F(EsecuzioneTFR, SenzaFileDeiBeneficiari) {
    Esportazione(Righe({RigaDipendente("A")}));
    ASSERT_EQ(Esegui(), "");
    EXPECT_EQ(Sequenza(Fornitura()), (std::vector<std::string>{"1", "2:A", "3", "9"}));
    EXPECT_EQ(RecordDi(Fornitura()).back(), "9"
                                            "000001"
                                            "000001"
                                            "000001"
                                            "000000");
}

// An empty key equals the empty key before the first line: no log line, no record "2"; its
// beneficiaries come only when the empty key is the last group.
TEST_F(EsecuzioneTFR, PrimaRigaSenzaChiave) {
    Esportazione(Righe({RigaDipendente(""), RigaDipendente("B", "Neri", "Eva")}));
    Beneficiari(Righe({RigaBeneficiario("", "F01"), RigaBeneficiario("B", "FB1")}));
    ASSERT_EQ(Esegui(), "");
    EXPECT_EQ(Sequenza(Fornitura()), (std::vector<std::string>{"1", "3", "2:B", "3", "4:FB1", "9"}));
    EXPECT_EQ(m_contesto.messaggio, Log({"B - NERI EVA"}, Archivio() / "MV106140.TXT"));
}

TEST_F(EsecuzioneTFR, EsportazioneVuotaRifiutata) {
    Esportazione("");
    Beneficiari(Righe({RigaBeneficiario("", "F01")}));
    EXPECT_EQ(Esegui(), "Il file di esportazione \xE8 vuoto");
    EXPECT_TRUE(FileIn(Archivio()).empty());
}

TEST_F(EsecuzioneTFR, EsportazioneMancante) {
    Beneficiari(Righe({RigaBeneficiario("A", "FA1")}));
    EXPECT_EQ(Esegui(), "manca " + (Programma() / "EsportazioneTFR.tab").string());
    EXPECT_FALSE(fs::exists(Archivio()));
}

// Column 13 and the dates of columns 23 and 24 of every line are checked before anything is written.
struct CasoControllo {
    const char* nome;
    std::string secondaRiga;
    std::string messaggio;
};
void PrintTo(const CasoControllo& caso, std::ostream* os) { *os << caso.nome; }

class ControlloPreliminare : public EsecuzioneTFR, public testing::WithParamInterface<CasoControllo> {};

TEST_P(ControlloPreliminare, FermaPrimaDelFileTemporaneo) {
    Esportazione(Righe({RigaDipendente("A"), GetParam().secondaRiga, RigaDipendente("B")}));
    EXPECT_EQ(Esegui(), GetParam().messaggio);
    EXPECT_TRUE(FileIn(Archivio()).empty());
    EXPECT_TRUE(m_contesto.messaggio.empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(TFR, ControlloPreliminare, testing::Values(
    CasoControllo{"SenzaColonna24",  Riga(test::Colonne(), 24),  "Riga 2, colonna 24: colonna mancante (la riga ha 24 colonne)"},
    CasoControllo{"SenzaColonna13",  Riga(test::Colonne(), 13),  "Riga 2, colonna 13: colonna mancante (la riga ha 13 colonne)"},
    CasoControllo{"RigaVuota",       "",                         "Riga 2, colonna 13: colonna mancante (la riga ha 0 colonne)"},
    CasoControllo{"Data23Errata",    Riga({{23, "31/02/1980"}}), "Riga 2, colonna 23: data non valida '31/02/1980'"},
    CasoControllo{"Data24Vuota",     Riga({{24, ""}}),           "Riga 2, colonna 24: data non valida ''"},
    // Lines long enough to hold more columns than a line may have are read in full.
    CasoControllo{"TroppeColonne",   Riga() + std::string(32767, '\t'),
                  "Riga 2: Superato il limite di 32.767 colonne in una riga"},
    CasoControllo{"TroppeColonneDopoLaChiave", Riga(test::Colonne(), 14) + std::string(32767, '\t'),
                  "Riga 2: Superato il limite di 32.767 colonne in una riga"},
    CasoControllo{"Data23ErrataInRigaLunga", Riga({{23, "31/02/1980"}, {41, std::string(40000, '7')}}),
                  "Riga 2, colonna 23: data non valida '31/02/1980'"},
    CasoControllo{"SenzaColonna24InRigaLunga", Riga(test::Colonne({{20, std::string(40000, 'X')}}), 24),
                  "Riga 2, colonna 24: colonna mancante (la riga ha 24 colonne)"}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// A line longer than 32,767 characters with fewer columns than that is an ordinary line.
TEST_F(EsecuzioneTFR, RigaLungaConPocheColonne) {
    Esportazione(Righe({RigaDipendente("A"), Riga({{13, "A"}, {41, "1.000,00" + std::string(40000, ' ')}})}));
    ASSERT_EQ(Esegui(), "");
    EXPECT_EQ(Sequenza(Fornitura()), (std::vector<std::string>{"1", "2:A", "3", "3", "9"}));
}

TEST_F(EsecuzioneTFR, BeneficiarioSenzaColonneFermaPrimaDelFileTemporaneo) {
    Esportazione(Righe({RigaDipendente("A")}));
    Beneficiari(Righe({RigaBeneficiario("A", "FA1"), ""}));
    EXPECT_EQ(Esegui(), "File dei beneficiari: Riga 2, colonna 0: colonna mancante (la riga ha 0 colonne)");
    EXPECT_TRUE(FileIn(Archivio()).empty());
}

TEST_F(EsecuzioneTFR, BeneficiarioCortoFermaLaScrittura) {
    Esportazione(Righe({RigaDipendente("A")}));
    Beneficiari(Righe({RigaBeneficiario("B", "FB1"), "A\tFA1\tROSSI"}));
    EXPECT_EQ(Esegui(), "File dei beneficiari: Riga 2, colonna 3: colonna mancante (la riga ha 3 colonne)\r\n"
                        "Il documento resta con il nome temporaneo '" +
                            shell::TestoPercorso(Archivio() / "TFRtemp.txt") + "'.");
}

// A failure while the records are written leaves the incomplete temporary file and no supply.
struct CasoScrittura {
    const char* nome;
    int colonna;
    std::string testo;
    std::string errore;
};
void PrintTo(const CasoScrittura& caso, std::ostream* os) { *os << caso.nome; }

class ErroreInScrittura : public EsecuzioneTFR, public testing::WithParamInterface<CasoScrittura> {};

TEST_P(ErroreInScrittura, LasciaIlFileTemporaneo) {
    Esportazione(
        Righe({RigaDipendente("A"), RigaDipendente("B"), Riga({{13, "B"}, {GetParam().colonna, GetParam().testo}})}));
    const fs::path temporaneo = Archivio() / "TFRtemp.txt";
    EXPECT_EQ(Esegui(), "Riga 3, colonna " + std::to_string(GetParam().colonna) + ": " + GetParam().errore +
                            "\r\nIl documento resta con il nome temporaneo '" + shell::TestoPercorso(temporaneo) +
                            "'.");
    EXPECT_EQ(FileIn(Archivio()), std::vector<std::string>{"TFRtemp.txt"});
    EXPECT_EQ(Sequenza(LeggiFile(temporaneo)), (std::vector<std::string>{"1", "2:A", "3", "2:B", "3"}));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(TFR, ErroreInScrittura, testing::Values(
    CasoScrittura{"Data32",            32, "1/13/2010",      "data non valida '1/13/2010'"},
    CasoScrittura{"ImportoNegativo",   38, "-5,00",          "importo negativo '-5,00', il tracciato non prevede il segno (dipendente B)"},
    CasoScrittura{"ImportoTroppoAlto", 41, "123.456.789,00", "importo '123.456.789,00' oltre il massimo di 99.999.999,99 (dipendente B)"},
    CasoScrittura{"Colonna35",         35, "120",            "valore '120' fuori dall'intervallo da 0 a 99 (dipendente B)"}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

// The output folder named by "PercorsoTFR.txt": its last non-blank line, blanks and tabs around it
// removed; the default folder when there is none.
struct CasoCartella {
    const char* nome;
    std::optional<std::string> contenuto; // no file when empty
    std::string attesa;
};
void PrintTo(const CasoCartella& caso, std::ostream* os) { *os << caso.nome; }

class CartellaDaFile : public testing::TestWithParam<CasoCartella> {};

TEST_P(CartellaDaFile, UltimaRigaNonVuota) {
    CartellaTemporanea dir;
    if (GetParam().contenuto)
        ScriviFile(dir / "PercorsoTFR.txt", *GetParam().contenuto);
    const std::string& attesa = GetParam().attesa; // UTF-8, which std::string paths are not on Windows
    EXPECT_EQ(CartellaTFR(dir / "PercorsoTFR.txt", "/predefinita"),
              fs::path(std::u8string(attesa.begin(), attesa.end())));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(TFR, CartellaDaFile, testing::Values(
    CasoCartella{"FileMancante",      std::nullopt,                          "/predefinita"},
    CasoCartella{"UnaRiga",           "/srv/tfr",                            "/srv/tfr"},
    CasoCartella{"DueRighe",          "/srv/prima\r\n/srv/seconda\r\n",      "/srv/seconda"},
    CasoCartella{"RigheVuoteInFondo", "/srv/tfr\r\n\r\n   \r\n\t\r\n",       "/srv/tfr"},
    CasoCartella{"SpaziETab",         " \t/srv/tfr dati \t\r\n",             "/srv/tfr dati"},
    CasoCartella{"FineRigaLF",        "/srv/prima\n/srv/seconda\n",          "/srv/seconda"},
    CasoCartella{"FineRigaCR",        "/srv/prima\r/srv/seconda",            "/srv/seconda"},
    CasoCartella{"Accentata",         "/srv/societ\xE0",                     "/srv/societ\xC3\xA0"},
    CasoCartella{"FileVuoto",         "",                                    "/predefinita"},
    CasoCartella{"SoloRigheVuote",    "\r\n  \r\n",                          "/predefinita"}
), [](const auto& info) { return std::string(info.param.nome); });
// clang-format on

TEST_F(EsecuzioneTFR, FornituraNellaCartellaDiPercorsoTFR) {
    Esportazione(Righe({RigaDipendente("A")}));
    ScriviFile(Programma() / "PercorsoTFR.txt", "C:\\VECCHIA\r\n" + (m_dir / "TFR").string() + "\r\n");
    ASSERT_EQ(Esegui(), "");
    EXPECT_EQ(FileIn(m_dir / "TFR"), std::vector<std::string>{"MV106140.TXT"});
    EXPECT_FALSE(fs::exists(Archivio()));
    EXPECT_EQ(m_contesto.messaggio, Log({"A - ROSSI ANNA"}, m_dir / "TFR" / "MV106140.TXT"));
}

TEST_F(EsecuzioneTFR, MaiNellaRadice) {
    Esportazione(Righe({RigaDipendente("A")}));
    ScriviFile(Programma() / "PercorsoTFR.txt", "/tmp\r\n/\r\n");
    EXPECT_EQ(Esegui(), "La cartella di destinazione '/' \xE8 la radice di un disco: il documento TFR non viene "
                        "scritto l\xEC.");
    ContestoRegistrato contesto(m_dir / "ARC");
    for (const char* cartella : {"", "/", "//", "/.", "/tmp/.."})
        EXPECT_THROW(EseguiConversione(contesto, cartella, Programma() / "EsportazioneTFR.tab", std::nullopt),
                     shell::ErroreElaborazione)
            << cartella;
    EXPECT_FALSE(fs::exists("/TFRtemp.txt"));
}

// A second run of the same day never touches the first supply.
TEST_F(EsecuzioneTFR, DueEsecuzioniNelloStessoGiorno) {
    Esportazione(Righe({RigaDipendente("A")}));
    ASSERT_EQ(Esegui(), "");
    ScriviFile(Archivio() / "MV106140.TXT", "prima fornitura");
    m_contesto.messaggio.clear();
    ASSERT_EQ(Esegui(), "");
    EXPECT_EQ(Fornitura("MV106140.TXT"), "prima fornitura");
    EXPECT_EQ(Sequenza(Fornitura("MV106141.TXT")), (std::vector<std::string>{"1", "2:A", "3", "9"}));
    EXPECT_EQ(m_contesto.messaggio, Log({"A - ROSSI ANNA"}, Archivio() / "MV106141.TXT"));
}

} // namespace
} // namespace tfr
