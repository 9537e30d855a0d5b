// Malformed exports: each case of casi.tsv starts from a converter's bundled sample, changes one thing
// and runs the real `fornitura` on it (a new case is a line of that file). Whatever the export holds,
// the run ends by itself (no signal) with the expected status and message, writes nothing outside the
// archive folder, leaves no final supply when it fails, and a supply it completes has every record
// whole (the XML documents pass xmllint).

#include "tests/supporto/cartella_temporanea.h"
#include "tests/supporto/processo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using shell::test::Argomento;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;
using shell::test::ScriviFile;

// How the export of a case is made from the sample (casi.tsv tells each one).
enum class Modo {
    Vuoto,          // no byte at all
    SoloRigheVuote, // three line ends
    RigaVuotaInFondo,
    Tronca,     // line `riga` keeps only its first `colonna` columns
    Colonna,    // column `colonna` of line `riga` becomes `valore`
    Righe32768, // the sample's lines over and over, 32,768 lines
    Riga10MB,   // column `colonna` of line `riga` becomes 10 MB of `valore`
    SoloLF,     // every CR LF becomes LF
    Contenuto,  // the whole file becomes `valore`
};

// clang-format off
constexpr std::pair<std::string_view, Modo> NomiModi[] = {
    {"Vuoto",            Modo::Vuoto},
    {"SoloRigheVuote",   Modo::SoloRigheVuote},
    {"RigaVuotaInFondo", Modo::RigaVuotaInFondo},
    {"Tronca",           Modo::Tronca},
    {"Colonna",          Modo::Colonna},
    {"Righe32768",       Modo::Righe32768},
    {"Riga10MB",         Modo::Riga10MB},
    {"SoloLF",           Modo::SoloLF},
    {"Contenuto",        Modo::Contenuto},
};
// clang-format on

struct Caso {
    std::string nome;
    std::string comando;
    Modo modo = Modo::Vuoto;
    int riga = 0; // from 1
    int colonna = 0;
    int stato = 0;
    std::string valore;
    // A substring of standard error when the status is not 0; of the log (standard output) when it
    // is 0.
    std::string messaggio;
    std::string file;    // the file changed, when it is not the command's export
    std::string difetto; // what is wrong with the case's line in casi.tsv, when something is
};

// A field of casi.tsv: "\xNN" is the byte NN, "\\" a backslash.
std::optional<std::string> Decodifica(std::string_view campo) {
    std::string testo;
    for (std::size_t i = 0; i < campo.size(); ++i) {
        if (campo[i] != '\\') {
            testo += campo[i];
        } else if (campo.substr(i, 2) == "\\\\") {
            testo += '\\';
            ++i;
        } else if (campo.substr(i, 2) == "\\x" && i + 4 <= campo.size() &&
                   std::isxdigit(static_cast<unsigned char>(campo[i + 2])) &&
                   std::isxdigit(static_cast<unsigned char>(campo[i + 3]))) {
            testo += static_cast<char>(std::stoi(std::string(campo.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    return testo;
}

std::vector<std::string_view> Campi(std::string_view riga) {
    std::vector<std::string_view> campi;
    while (true) {
        const auto tab = riga.find('\t');
        campi.push_back(riga.substr(0, tab));
        if (tab == std::string_view::npos)
            return campi;
        riga.remove_prefix(tab + 1);
    }
}

Caso LeggiCaso(std::string_view riga, int numero) {
    Caso caso;
    const auto campi = Campi(riga);
    caso.nome = campi[0].empty() ? "riga" + std::to_string(numero) : std::string(campi[0]);
    if (campi.size() < 8 || campi.size() > 9) {
        caso.difetto = "8 or 9 columns expected";
        return caso;
    }
    caso.comando = campi[1];
    const auto modo = std::find_if(std::begin(NomiModi), std::end(NomiModi),
                                   [&](const auto& voce) { return voce.first == campi[2]; });
    const auto numeroIn = [](std::string_view testo, int& n) {
        return std::from_chars(testo.data(), testo.data() + testo.size(), n).ec == std::errc();
    };
    const auto valore = Decodifica(campi[6]);
    const auto messaggio = Decodifica(campi[7]);
    if (modo == std::end(NomiModi) || !numeroIn(campi[3], caso.riga) || !numeroIn(campi[4], caso.colonna) ||
        !numeroIn(campi[5], caso.stato) || !valore || !messaggio) {
        caso.difetto = "a column that does not read";
        return caso;
    }
    caso.modo = modo->second;
    caso.valore = *valore;
    caso.messaggio = *messaggio;
    if (campi.size() == 9)
        caso.file = campi[8];
    return caso;
}

std::vector<Caso> LeggiCasi() {
    std::vector<Caso> casi;
    std::ifstream file(CASI_MALFORMATI, std::ios::binary);
    if (!file) {
        Caso mancante;
        mancante.nome = "casi_tsv";
        mancante.difetto = std::string("cannot read ") + CASI_MALFORMATI;
        return {mancante};
    }
    std::string riga;
    for (int numero = 1; std::getline(file, riga); ++numero) {
        if (!riga.empty() && riga.back() == '\r')
            riga.pop_back();
        if (!riga.empty() && riga.front() != '#')
            casi.push_back(LeggiCaso(riga, numero));
    }
    return casi;
}

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

std::string Modifica(const Caso& caso, const std::string& esempio, const std::string& archivio) {
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
    case Modo::Contenuto: {
        std::string testo = caso.valore;
        for (auto segno = testo.find("{ARCHIVIO}"); segno != std::string::npos; segno = testo.find("{ARCHIVIO}"))
            testo.replace(segno, std::string_view("{ARCHIVIO}").size(), archivio);
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
    ASSERT_TRUE(caso.difetto.empty()) << "casi.tsv, " << caso.nome << ": " << caso.difetto;
    CartellaTemporanea tmp;
    // Everything the run may touch sits two levels down, so that a name climbing out with ".."
    // would still land inside the watched tree.
    const fs::path base = tmp / "a" / "b";
    const fs::path prog = base / "prog";
    const fs::path archivio = base / "ARC";
    fs::create_directories(prog);
    for (const auto& voce : fs::directory_iterator(fs::path(CARTELLA_ESEMPI) / caso.comando))
        fs::copy_file(voce.path(), prog / voce.path().filename());
    const fs::path esportazione =
        prog / (!caso.file.empty() ? std::string_view(caso.file) : FileEsportazione(caso.comando));
    ScriviFile(esportazione, Modifica(caso, LeggiFile(esportazione), Argomento(archivio)));

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
    const std::string& comando = caso.comando;
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

INSTANTIATE_TEST_SUITE_P(Casi, Malformati, testing::ValuesIn(LeggiCasi()),
                         [](const testing::TestParamInfo<Caso>& info) { return info.param.nome; });

} // namespace
