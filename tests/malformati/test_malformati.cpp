// Malformed exports: each case starts from a converter's bundled sample, changes one thing and runs
// the real `fornitura` on it. Whatever the export holds, the run ends by itself (no signal) with
// the expected status and message, writes nothing outside the archive folder, leaves no final
// supply when it fails, and a supply it completes has every record whole (the XML documents pass
// xmllint).

#include "cartella_temporanea.h"
#include "processo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::string_view_literals;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;
using shell::test::ScriviFile;

// How the export of a case is made from the sample.
enum class Modo {
    Vuoto,          // no byte at all
    SoloRigheVuote, // three line ends
    RigaVuotaInFondo,
    Tronca,     // line `riga` keeps only its first `colonna` columns
    Colonna,    // column `colonna` of line `riga` becomes `valore`
    Righe32768, // the sample's lines over and over, 32,768 lines
    Riga10MB,   // column `colonna` of line `riga` becomes 10 MB of `valore`
    SoloLF,     // every CR LF becomes LF
};

struct Caso {
    const char* nome;
    const char* comando;
    Modo modo;
    int riga = 0; // from 1
    int colonna = 0;
    std::string_view valore;
    int stato = 0;
    // A substring of standard error when the status is not 0; of the log (standard output) when it
    // is 0.
    std::string_view messaggio;
    const char* file = nullptr; // the export changed, when the converter reads more than one
};

constexpr std::string_view Completata = "' completata.";

// clang-format off
const Caso Casi[] = {
//   name                        cmd         how                   line col value                    st message
    {"c770_Vuoto",               "770",      Modo::Vuoto,            0,  0, {},                      1, "Il file di esportazione \xC3\xA8 vuoto"},
    {"c770_SoloRigheVuote",      "770",      Modo::SoloRigheVuote,   0,  0, {},                      1, "Riga 1, colonna 0: colonna mancante (la riga ha 0 colonne)"},
    {"c770_RigaVuotaInFondo",    "770",      Modo::RigaVuotaInFondo, 0,  0, {},                      1, "Riga 5, colonna 20: colonna mancante (la riga ha 0 colonne)"},
    {"c770_RigaTroncata",        "770",      Modo::Tronca,           2, 40, {},                      1, "Riga 2, colonna 185: colonna mancante (la riga ha 40 colonne)"},
    {"c770_LettereInImporto",    "770",      Modo::Colonna,          1, 37, "12A,50",                1, "Riga 1, colonna 37:"},
    {"c770_DataImpossibile",     "770",      Modo::Colonna,          1, 17, "31/02/1958",            0, "Riga 1, colonna 17: data non valida '31/02/1958', scritta come 00000000"},
    {"c770_Righe32768",          "770",      Modo::Righe32768,       0,  0, {},                      1, "Superato il limite di 32.767 righe del file di esportazione"},
    {"c770_Riga10MB",            "770",      Modo::Riga10MB,         1,  2, "A",                     0, Completata},
    {"c770_NulEControllo",       "770",      Modo::Colonna,          1,  2, "Off\0ic\x01ne\x1B"sv,   0, Completata},
    {"c770_ByteAlti",            "770",      Modo::Colonna,          1,  2, "Officine \x80\x9F\xA4\xD7", 0, Completata},
    {"c770_SoloLF",              "770",      Modo::SoloLF,           0,  0, {},                      1, "Riga 1, colonna 199: a capo (LF) senza ritorno carrello (CR)"},
    {"c770_SeparatoreInNome",    "770",      Modo::Colonna,          1,  0, "0246/8135790",          1, "Riga 1, colonna 0: il codice fiscale del dichiarante '0246/8135790' non pu\xC3\xB2 dare il nome"},
    {"c770_PuntiInNome",         "770",      Modo::Colonna,          1,  0, "..",                    1, "Riga 1, colonna 0: il codice fiscale del dichiarante '..' non pu\xC3\xB2 dare il nome"},

    {"uniemens_Vuoto",           "uniemens", Modo::Vuoto,            0,  0, {},                      1, "Il file di esportazione \xC3\xA8 vuoto"},
    {"uniemens_SoloRigheVuote",  "uniemens", Modo::SoloRigheVuote,   0,  0, {},                      1, "Documento vuoto."},
    {"uniemens_RigaVuotaInFondo","uniemens", Modo::RigaVuotaInFondo, 0,  0, {},                      0, Completata},
    {"uniemens_RigaTroncata",    "uniemens", Modo::Tronca,           2, 30, {},                      1, "Errore su persona in riga 2, colonna 30: colonna mancante (la riga ha 30 colonne)"},
    {"uniemens_LettereInImporto","uniemens", Modo::Colonna,          1, 43, "687,3O",                1, "riga 1, colonna 43: importo non valido"},
    {"uniemens_DataImpossibile", "uniemens", Modo::Colonna,          5, 37, "31/02/2012",            1, "riga 5, colonna 37: data non valida"},
    {"uniemens_Righe32768",      "uniemens", Modo::Righe32768,       0,  0, {},                      1, "Superato il limite di 32.767 righe del file di esportazione"},
    {"uniemens_Riga10MB",        "uniemens", Modo::Riga10MB,         1,  1, "A",                     0, Completata},
    {"uniemens_NulEControllo",   "uniemens", Modo::Colonna,          1,  1, "Impianti\0\x01\x1B"sv,  1, "Errore sui dati dell'azienda in riga 1, colonna 1: carattere di controllo non ammesso (codice 0)"},
    {"uniemens_ByteAlti",        "uniemens", Modo::Colonna,          1,  1, "Impianti \x80\x9F\xA4\xD7", 0, Completata},
    {"uniemens_SoloLF",          "uniemens", Modo::SoloLF,           0,  0, {},                      1, "Errore su persona in riga 1, colonna 45: carattere di controllo non ammesso (codice 10)"},
    {"uniemens_SeparatoreAnno",  "uniemens", Modo::Colonna,          1,  7, "20/12",                 0, "INPSUNIEMENS-0020-01.xml' completata."},
    {"uniemens_PuntiMese",       "uniemens", Modo::Colonna,          1,  8, "..",                    0, "INPSUNIEMENS-2012-00.xml' completata."},

    {"dma_Vuoto",                "dma",      Modo::Vuoto,            0,  0, {},                      1, "Il file di esportazione \xC3\xA8 vuoto"},
    {"dma_SoloRigheVuote",       "dma",      Modo::SoloRigheVuote,   0,  0, {},                      1, "Riga 1, colonna"},
    {"dma_RigaVuotaInFondo",     "dma",      Modo::RigaVuotaInFondo, 0,  0, {},                      1, "Riga 5, colonna 0: colonna mancante (la riga ha 0 colonne)"},
    {"dma_RigaTroncata",         "dma",      Modo::Tronca,           2, 40, {},                      1, "Riga 2, colonna 40:"},
    {"dma_LettereInImporto",     "dma",      Modo::Colonna,          1, 43, "0192I0",                0, Completata},
    {"dma_DataImpossibile",      "dma",      Modo::Colonna,          1, 28, "30/02/1958",            1, "Riga 1, colonna 28:"},
    {"dma_Righe32768",           "dma",      Modo::Righe32768,       0,  0, {},                      1, "Superato il limite di 32.767 righe del file di esportazione"},
    {"dma_Riga10MB",             "dma",      Modo::Riga10MB,         1, 25, "A",                     0, Completata},
    {"dma_NulEControllo",        "dma",      Modo::Colonna,          1, 25, "Ber\0na\x01rdi\x1B"sv,  0, Completata},
    {"dma_ByteAlti",             "dma",      Modo::Colonna,          1, 25, "Bernardi \x80\x9F\xA4\xD7", 0, Completata},
    {"dma_SoloLF",               "dma",      Modo::SoloLF,           0,  0, {},                      1, "Riga 1, colonna 45: a capo (LF) senza ritorno carrello (CR)"},
    {"dma_SeparatoreAnno",       "dma",      Modo::Colonna,          1,  8, "20/1",                  0, "INPDAPDMA-0020-06.txt' completata."},
    {"dma_PuntiMese",            "dma",      Modo::Colonna,          1,  9, "..",                    0, "INPDAPDMA-2011-00.txt' completata."},

    {"emens_Vuoto",              "emens",    Modo::Vuoto,            0,  0, {},                      1, "Il file di esportazione \xC3\xA8 vuoto"},
    {"emens_SoloRigheVuote",     "emens",    Modo::SoloRigheVuote,   0,  0, {},                      1, "Riga 1"},
    {"emens_RigaVuotaInFondo",   "emens",    Modo::RigaVuotaInFondo, 0,  0, {},                      0, Completata},
    {"emens_RigaTroncata",       "emens",    Modo::Tronca,           2, 30, {},                      1, "Riga 2, colonna 30:"},
    {"emens_LettereInImporto",   "emens",    Modo::Colonna,          1, 24, "2.15O,00",              0, Completata},
    {"emens_DataImpossibile",    "emens",    Modo::Colonna,          2, 37, "31/06/2008",            1, "Riga 2, colonna 37:"},
    {"emens_Righe32768",         "emens",    Modo::Righe32768,       0,  0, {},                      1, "Superato il limite di 32.767 righe del file di esportazione"},
    {"emens_Riga10MB",           "emens",    Modo::Riga10MB,         1,  1, "A",                     0, Completata},
    {"emens_NulEControllo",      "emens",    Modo::Colonna,          1,  1, "Ceramiche\0\x01\x1B"sv, 1, "Riga 1, colonna 1:"},
    {"emens_ByteAlti",           "emens",    Modo::Colonna,          1,  1, "Ceramiche \x80\x9F\xA4\xD7", 0, Completata},
    {"emens_SoloLF",             "emens",    Modo::SoloLF,           0,  0, {},                      1, "Riga 1, colonna 45: a capo (LF) senza ritorno carrello (CR)"},
    {"emens_SeparatoreAnno",     "emens",    Modo::Colonna,          1,  7, "20/8",                  0, "INPSEMENS-0020-06.xml' completata."},
    {"emens_PuntiMese",          "emens",    Modo::Colonna,          1,  8, "..",                    0, "INPSEMENS-2008-00.xml' completata."},

    {"tfr_Vuoto",                "tfr",      Modo::Vuoto,            0,  0, {},                      1, "Il file di esportazione \xC3\xA8 vuoto"},
    {"tfr_SoloRigheVuote",       "tfr",      Modo::SoloRigheVuote,   0,  0, {},                      1, "Riga 1, colonna"},
    {"tfr_RigaVuotaInFondo",     "tfr",      Modo::RigaVuotaInFondo, 0,  0, {},                      1, "Riga 10, colonna 13: colonna mancante (la riga ha 0 colonne)"},
    {"tfr_RigaTroncata",         "tfr",      Modo::Tronca,           2, 30, {},                      1, "Riga 2, colonna 32: colonna mancante (la riga ha 30 colonne)"},
    {"tfr_LettereInImporto",     "tfr",      Modo::Colonna,          1, 37, "31.25O,40",             0, Completata},
    {"tfr_DataImpossibile",      "tfr",      Modo::Colonna,          1, 24, "29/02/2005",            1, "Riga 1, colonna 24:"},
    {"tfr_Righe32768",           "tfr",      Modo::Righe32768,       0,  0, {},                      1, "Superato il limite di 32.767 righe del file di esportazione"},
    {"tfr_Riga10MB",             "tfr",      Modo::Riga10MB,         1,  2, "A",                     0, Completata},
    {"tfr_NulEControllo",        "tfr",      Modo::Colonna,          1,  2, "Offic\0ine\x01\x1B"sv,  0, Completata},
    {"tfr_ByteAlti",             "tfr",      Modo::Colonna,          1,  2, "Officine \x80\x9F\xA4\xD7", 0, Completata},
    {"tfr_SoloLF",               "tfr",      Modo::SoloLF,           0,  0, {},                      1, "Riga 1, colonna 41: a capo (LF) senza ritorno carrello (CR)"},
    {"tfr_BeneficiariSoloLF",    "tfr",      Modo::SoloLF,           0,  0, {},                      1, "File dei beneficiari: Riga 1, colonna 5: a capo (LF)", "EsportazioneTFRBeneficiari.tab"},
};
// clang-format on

constexpr std::string_view FileEsportazione(std::string_view comando) {
    if (comando == "770")
        return "Esportazione770.tab";
    if (comando == "dma")
        return "EsportazioneINPDAP.tab";
    if (comando == "tfr")
        return "EsportazioneTFR.tab";
    return "EsportazioneINPS.tab";
}

std::vector<std::string> Righe(const std::string& testo) {
    std::vector<std::string> righe;
    std::size_t inizio = 0;
    while (inizio < testo.size()) {
        auto fine = testo.find("\r\n", inizio);
        if (fine == std::string::npos)
            fine = testo.size();
        righe.push_back(testo.substr(inizio, fine - inizio));
        inizio = fine + 2;
    }
    return righe;
}

std::string Unisci(const std::vector<std::string>& righe) {
    std::string testo;
    for (const auto& riga : righe)
        testo += riga + "\r\n";
    return testo;
}

std::vector<std::string> Colonne(const std::string& riga) {
    std::vector<std::string> colonne;
    std::size_t inizio = 0;
    while (true) {
        const auto tab = riga.find('\t', inizio);
        colonne.push_back(riga.substr(inizio, tab == std::string::npos ? std::string::npos : tab - inizio));
        if (tab == std::string::npos)
            return colonne;
        inizio = tab + 1;
    }
}

std::string Tabulato(const std::vector<std::string>& colonne) {
    std::string riga;
    for (std::size_t i = 0; i < colonne.size(); ++i)
        riga += (i ? "\t" : "") + colonne[i];
    return riga;
}

std::string Modifica(const Caso& caso, const std::string& esempio) {
    auto righe = Righe(esempio);
    const auto indice = static_cast<std::size_t>(caso.riga - 1);
    switch (caso.modo) {
    case Modo::Vuoto:
        return {};
    case Modo::SoloRigheVuote:
        return "\r\n\r\n\r\n";
    case Modo::RigaVuotaInFondo:
        return esempio + "\r\n";
    case Modo::Tronca: {
        auto colonne = Colonne(righe.at(indice));
        colonne.resize(static_cast<std::size_t>(caso.colonna));
        righe[indice] = Tabulato(colonne);
        return Unisci(righe);
    }
    case Modo::Colonna:
    case Modo::Riga10MB: {
        auto colonne = Colonne(righe.at(indice));
        std::string valore(caso.valore);
        if (caso.modo == Modo::Riga10MB)
            while (valore.size() < 10'000'000)
                valore += valore;
        colonne.at(static_cast<std::size_t>(caso.colonna)) = valore;
        righe[indice] = Tabulato(colonne);
        return Unisci(righe);
    }
    case Modo::Righe32768: {
        std::vector<std::string> tante;
        while (tante.size() < 32'768)
            tante.push_back(righe[tante.size() % righe.size()]);
        return Unisci(tante);
    }
    case Modo::SoloLF: {
        std::string testo;
        for (const auto& riga : righe)
            testo += riga + "\n";
        return testo;
    }
    }
    return esempio;
}

// Every file under a folder, by relative path, with its contents.
std::map<std::string, std::string> Albero(const fs::path& radice, const fs::path& escluso) {
    std::map<std::string, std::string> file;
    for (auto voce = fs::recursive_directory_iterator(radice); voce != fs::recursive_directory_iterator(); ++voce) {
        if (voce->path() == escluso) {
            voce.disable_recursion_pending();
            continue;
        }
        file[fs::relative(voce->path(), radice).generic_string()] =
            voce->is_regular_file() ? LeggiFile(voce->path()) : std::string("<cartella>");
    }
    return file;
}

bool Temporaneo(const std::string& nome) {
    return nome == "TFRtemp.txt" || nome.find("-2011-06-14-09-05-07") != std::string::npos;
}

// A fixed-record supply: lines end with CR LF, the first record is the header, the last the
// trailer, and the records of one type all have the same length.
void ControllaRecord(const std::string& nome, const std::string& testo, char testata, char coda) {
    ASSERT_TRUE(testo.ends_with("\r\n")) << nome;
    const auto righe = Righe(testo);
    ASSERT_GE(righe.size(), 2u) << nome;
    EXPECT_EQ(righe.front().front(), testata) << nome;
    EXPECT_EQ(righe.back().front(), coda) << nome;
    std::map<char, std::size_t> lunghezze;
    for (std::size_t i = 0; i < righe.size(); ++i) {
        const auto& riga = righe[i];
        ASSERT_FALSE(riga.empty()) << nome << " record " << i + 1;
        EXPECT_EQ(riga.find_first_of("\r\n"), std::string::npos) << nome << " record " << i + 1;
        const auto [voce, nuova] = lunghezze.emplace(riga.front(), riga.size());
        EXPECT_EQ(voce->second, riga.size()) << nome << " record " << i + 1 << " of type " << riga.front();
    }
}

class Malformati : public testing::TestWithParam<Caso> {};

void PrintTo(const Caso& caso, std::ostream* os) { *os << caso.nome; }

TEST_P(Malformati, EsitoEMessaggio) {
    const Caso& caso = GetParam();
    CartellaTemporanea tmp;
    // Everything the run may touch sits two levels down, so that a name climbing out with ".."
    // would still land inside the watched tree.
    const fs::path base = tmp / "a" / "b";
    const fs::path prog = base / "prog";
    const fs::path archivio = base / "ARC";
    fs::create_directories(prog);
    for (const auto& voce : fs::directory_iterator(fs::path(CARTELLA_ESEMPI) / caso.comando))
        fs::copy_file(voce.path(), prog / voce.path().filename());
    const fs::path esportazione = prog / (caso.file ? std::string_view(caso.file) : FileEsportazione(caso.comando));
    ScriviFile(esportazione, Modifica(caso, LeggiFile(esportazione)));

    fs::create_directory(tmp / "flussi");
    const auto prima = Albero(tmp.Percorso(), tmp / "flussi");
    const auto esito = EseguiProcesso(
        FORNITURA_EXE,
        {caso.comando, "--dir", prog.string(), "--archive", archivio.string(), "--now", "2011-06-14T09:05:07"},
        tmp / "flussi" / "out.txt", tmp / "flussi" / "err.txt");

    ASSERT_NE(esito.stato, -1) << "the run did not end by itself\n" << esito.err;
    EXPECT_EQ(esito.stato, caso.stato) << esito.err;
    const std::string& dove = caso.stato == 0 ? esito.out : esito.err;
    EXPECT_NE(dove.find(caso.messaggio), std::string::npos) << "expected: " << caso.messaggio << "\nstdout:\n"
                                                            << esito.out << "\nstderr:\n"
                                                            << esito.err.substr(0, 2000);

    auto dopo = Albero(tmp.Percorso(), tmp / "flussi");
    std::vector<std::pair<std::string, std::string>> finali;
    const std::string radiceArchivio = fs::relative(archivio, tmp.Percorso()).generic_string();
    for (auto voce = dopo.begin(); voce != dopo.end();) {
        if (voce->first == radiceArchivio || voce->first.starts_with(radiceArchivio + "/")) {
            const std::string nome = voce->first.substr(std::min(voce->first.size(), radiceArchivio.size() + 1));
            if (!nome.empty() && !shell::test::Nascosto(nome)) { // the converter's lock file is hidden
                EXPECT_EQ(nome.find('/'), std::string::npos) << "a subfolder in the archive: " << nome;
                if (!Temporaneo(nome))
                    finali.emplace_back(nome, voce->second);
            }
            voce = dopo.erase(voce);
        } else {
            ++voce;
        }
    }
    EXPECT_EQ(dopo, prima) << "something outside the archive folder was written or changed";

    if (caso.stato != 0) {
        for (const auto& [nome, testo] : finali)
            ADD_FAILURE() << "a final supply after a failed run: " << nome;
        return;
    }
    ASSERT_EQ(finali.size(), 1u) << "one final supply expected";
    const auto& [nome, testo] = finali.front();
    const std::string comando = caso.comando;
    if (comando == "uniemens" || comando == "emens") {
        EXPECT_TRUE(testo.ends_with(comando == "emens" ? "</DenunceRetributiveMensili>\r\n" : "</DenunceMensili>\r\n"))
            << nome;
        if (std::string_view(XMLLINT).empty())
            GTEST_SKIP() << "xmllint not found";
        const auto controllo = EseguiProcesso(XMLLINT, {"--huge", "--noout", (archivio / nome).string()},
                                              tmp / "flussi" / "xout.txt", tmp / "flussi" / "xerr.txt");
        EXPECT_EQ(controllo.stato, 0) << nome << "\n" << controllo.err.substr(0, 2000);
    } else if (comando == "tfr") {
        ControllaRecord(nome, testo, '1', '9');
    } else {
        ControllaRecord(nome, testo, 'A', 'Z');
    }
}

INSTANTIATE_TEST_SUITE_P(Casi, Malformati, testing::ValuesIn(Casi),
                         [](const testing::TestParamInfo<Caso>& info) { return std::string(info.param.nome); });

} // namespace
