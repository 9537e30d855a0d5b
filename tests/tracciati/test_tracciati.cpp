// The supplies of 770, DMA and TFR read back by the tables that write them. Every record of the
// samples' supplies and of generated ones reads without a report, every record type of each supply
// among them, and written again from what was read gives the same bytes; so does every field of
// the non-positional areas. The cases of casi/ change a sample supply and say what the reader
// reports: a new case is a file.

#include "tests/supporto/cartella_temporanea.h"
#include "dma/record_dma.h"
#include "tests/supporto/processo.h"
#include "conv770/record770.h"
#include "tfr/record_tfr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;
using shell::test::CartellaTemporanea;
using shell::test::EseguiProcesso;
using shell::test::LeggiFile;

struct Fornitura {
    const char* comando;
    const tracciati::Tracciato& (*tracciato)();
    const char* esempio; // the supply of the bundled sample
};

// clang-format off
const Fornitura TutteLeForniture[] = {
    {"770", conv770::Tracciato770, FORNITURA_770},
    {"dma", dma::TracciatoDMA,     FORNITURA_DMA},
    {"tfr", tfr::TracciatoTFR,     FORNITURA_TFR},
};
// clang-format on

const Fornitura& DiComando(std::string_view comando) {
    for (const Fornitura& f : TutteLeForniture)
        if (comando == f.comando)
            return f;
    throw std::invalid_argument("fornitura sconosciuta: " + std::string(comando));
}

// The records of a supply: every line ends with CR LF.
std::vector<std::string_view> Record(std::string_view testo) {
    std::vector<std::string_view> record;
    for (std::size_t fine = testo.find("\r\n"); fine != std::string_view::npos; fine = testo.find("\r\n")) {
        record.push_back(testo.substr(0, fine));
        testo.remove_prefix(fine + 2);
    }
    EXPECT_TRUE(testo.empty()) << "testo dopo l'ultimo CR LF";
    return record;
}

std::string Genere(tracciati::Difformita d) {
    switch (d) {
    case tracciati::Difformita::Formato:
        return "formato";
    case tracciati::Difformita::Forma:
        return "forma";
    case tracciati::Difformita::Fisso:
        return "fisso";
    default:
        return "nessuna";
    }
}

// A supply read record by record, the areas of one module (consecutive records with the same text
// before the area: the records G of one employee) as one.
struct FornituraLetta {
    std::map<std::size_t, std::vector<std::string>> segnalazioni; // by record, from 0
    std::set<char> tipi;
    std::vector<std::string> diversi; // what, written again, differs from the supply
    int campi = 0;                    // the fields of the areas written again
};

FornituraLetta Leggi(const tracciati::Tracciato& tracciato, std::string_view testo) {
    FornituraLetta letta;
    const std::vector<std::string_view> record = Record(testo);
    tracciati::RecordLetto letto;
    tracciati::AreaLetta area;
    std::vector<std::string_view> aree;
    std::string testa; // what stands before the area in the records of the module
    std::size_t primo = 0;
    const auto chiudiModulo = [&] {
        if (aree.empty())
            return;
        area.Leggi(aree, tracciato.catalogo);
        for (const tracciati::Segnalazione& s : area.Segnalazioni())
            letta.segnalazioni[primo + static_cast<std::size_t>(s.record)].push_back(Genere(s.difformita) + " " +
                                                                                     s.Messaggio());
        // The fields written again one after the other give the blocks of the areas, up to the spaces.
        std::string unite, riscritte;
        for (const std::string_view a : aree)
            unite += a;
        for (const tracciati::CampoLetto& campo : area.Campi()) {
            tracciati::AggiungiCampoNonPosizionale(riscritte, campo.codice, campo.valore,
                                                campo.tipo.value_or(tracciati::Tipo::AN));
            ++letta.campi;
        }
        if (area.Segnalazioni().empty() &&
            (!unite.starts_with(riscritte) || unite.find_first_not_of(' ', riscritte.size()) != std::string::npos)) {
            const auto diverso = std::mismatch(riscritte.begin(), riscritte.end(), unite.begin(), unite.end());
            const std::size_t blocco = static_cast<std::size_t>(diverso.first - riscritte.begin()) / 24 * 24;
            letta.diversi.push_back("area del record " + std::to_string(primo + 1) + ", blocco '" +
                                    unite.substr(blocco, 24) + "' riscritto '" + riscritte.substr(blocco, 24) + "'");
        }
        aree.clear();
    };
    for (std::size_t i = 0; i < record.size(); ++i) {
        const std::string_view r = record[i];
        const std::span<const tracciati::Pezzo> tabella =
            r.empty() ? std::span<const tracciati::Pezzo>() : tracciato.Tabella(r[0]);
        if (tabella.empty()) {
            chiudiModulo();
            letta.segnalazioni[i].push_back("tipo di record sconosciuto");
            continue;
        }
        letta.tipi.insert(r[0]);
        letto.Leggi(r, tabella, tracciato.gancio);
        for (const tracciati::Segnalazione& s : letto.Segnalazioni())
            letta.segnalazioni[i].push_back(Genere(s.difformita) + " " + s.Messaggio());
        if (letto.Segnalazioni().empty()) {
            std::string riscritto;
            tracciati::Ricomponi(riscritto, letto.Pezzi(), tracciato.gancio);
            if (riscritto != r)
                letta.diversi.push_back("record " + std::to_string(i + 1));
        }
        const auto area = std::find_if(letto.Pezzi().begin(), letto.Pezzi().end(), [](const tracciati::PezzoLetto& p) {
            return p.pezzo->genere == tracciati::Comune::Area;
        });
        const tracciati::PezzoLetto* a = area == letto.Pezzi().end() ? nullptr : &*area;
        const std::string_view prima = a ? r.substr(0, static_cast<std::size_t>(a->pezzo->posizione - 1)) : "";
        if (!a || prima != testa)
            chiudiModulo();
        if (a) {
            if (aree.empty())
                primo = i;
            aree.push_back(a->testo);
            testa = prima;
        }
    }
    chiudiModulo();
    return letta;
}

// Everything a reading reports, one line per report: "record N: ...".
std::string Elenco(const FornituraLetta& letta) {
    std::string elenco;
    for (const auto& [record, righe] : letta.segnalazioni)
        for (const std::string& riga : righe)
            elenco += "record " + std::to_string(record + 1) + ": " + riga + "\n";
    for (const std::string& diverso : letta.diversi)
        elenco += diverso + " riscritto diverso\n";
    return elenco;
}

std::set<char> TuttiITipi(const tracciati::Tracciato& tracciato) {
    std::set<char> tipi;
    for (const tracciati::TabellaRecord& r : tracciato.record)
        tipi.insert(r.tipo);
    return tipi;
}

class Forniture : public testing::TestWithParam<Fornitura> {};

TEST_P(Forniture, EsempioLettoERiscrittoUguale) {
    const tracciati::Tracciato& tracciato = GetParam().tracciato();
    const FornituraLetta letta = Leggi(tracciato, LeggiFile(GetParam().esempio));
    EXPECT_EQ(Elenco(letta), "");
    if (!tracciato.catalogo.empty()) {
        EXPECT_GT(letta.campi, 0);
    }
}

// Generated exports converted by the real program: every record type of the supply comes out, and
// all of it reads back.
TEST_P(Forniture, GenerateLetteERiscritteUguali) {
    const Fornitura& fornitura = GetParam();
    const tracciati::Tracciato& tracciato = fornitura.tracciato();
    for (const char* seme : {"20110614", "7"}) {
        CartellaTemporanea dir;
        ASSERT_EQ(EseguiProcesso(GENERATORE_EXE, {fornitura.comando, "3000", (dir / "in").string(), seme},
                                 dir / "gen.out", dir / "gen.err")
                      .stato,
                  0);
        const auto esito = EseguiProcesso(FORNITURA_EXE,
                                          {fornitura.comando, "--dir", (dir / "in").string(), "--archive",
                                           (dir / "ARC").string(), "--now", "2011-06-14T09:05:07"},
                                          dir / "out.txt", dir / "err.txt");
        ASSERT_EQ(esito.stato, 0) << esito.err;
        fs::path supply;
        for (const auto& voce : fs::directory_iterator(dir / "ARC"))
            if (!shell::test::Nascosto(voce.path()))
                supply = voce.path();
        const FornituraLetta letta = Leggi(tracciato, LeggiFile(supply));
        EXPECT_EQ(Elenco(letta), "") << seme;
        EXPECT_EQ(letta.tipi, TuttiITipi(tracciato)) << seme;
        if (!tracciato.catalogo.empty()) {
            EXPECT_GT(letta.campi, 3000) << seme;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tracciati, Forniture, testing::ValuesIn(TutteLeForniture),
                         [](const auto& info) { return "conv" + std::string(info.param.comando); });

// ---------------------------------------------------------------------------------------------------
// The cases: a sample supply changed, and what the reader reports for the record changed.
//
//   # what the case shows
//   fornitura: 770            the sample supply of 770, dma or tfr
//   record: 3                 the record changed, from 1
//   posizione: 18             where the change begins in the record, from 1 ...
//   testo: 0000000A           ... and the text that it writes there
//   segnalazione: formato posizioni 18-25: trovato '0000000A', attese 8 cifre
//
// "posizione" and "testo" may come again for more changes; every "segnalazione" is one report of
// the record, in their order (none: the record reads as it is). Texts are ISO-8859-1.

struct Caso {
    std::string nome;
    std::string fornitura;
    std::size_t record = 0;
    std::vector<std::pair<std::size_t, std::string>> cambi;
    std::vector<std::string> segnalazioni;
};
void PrintTo(const Caso& caso, std::ostream* os) { *os << caso.nome; }
void PrintTo(const Fornitura& fornitura, std::ostream* os) { *os << fornitura.comando; }

Caso LeggiCaso(const fs::path& file) {
    Caso caso;
    caso.nome = file.stem().string();
    std::ifstream in(file, std::ios::binary);
    std::string riga;
    std::size_t posizione = 0;
    while (std::getline(in, riga)) {
        if (!riga.empty() && riga.back() == '\r')
            riga.pop_back();
        if (riga.empty() || riga[0] == '#')
            continue;
        const std::size_t due = riga.find(": ");
        if (due == std::string::npos)
            throw std::invalid_argument(caso.nome + ": riga senza chiave '" + riga + "'");
        const std::string chiave = riga.substr(0, due);
        const std::string valore = riga.substr(due + 2);
        if (chiave == "fornitura")
            caso.fornitura = valore;
        else if (chiave == "record")
            caso.record = std::stoul(valore);
        else if (chiave == "posizione")
            posizione = std::stoul(valore);
        else if (chiave == "testo")
            caso.cambi.emplace_back(posizione, valore);
        else if (chiave == "segnalazione")
            caso.segnalazioni.push_back(valore);
        else
            throw std::invalid_argument(caso.nome + ": chiave sconosciuta '" + chiave + "'");
    }
    return caso;
}

std::vector<Caso> CasiDaiFile() {
    std::vector<fs::path> file;
    for (const auto& voce : fs::directory_iterator(CARTELLA_CASI))
        if (voce.path().extension() == ".caso")
            file.push_back(voce.path());
    std::sort(file.begin(), file.end());
    std::vector<Caso> casi;
    for (const fs::path& f : file)
        casi.push_back(LeggiCaso(f));
    return casi;
}

class Casi : public testing::TestWithParam<Caso> {};

TEST_P(Casi, SegnalazioniDelRecord) {
    const Caso& caso = GetParam();
    const Fornitura& fornitura = DiComando(caso.fornitura);
    std::string testo = LeggiFile(fornitura.esempio);
    const std::vector<std::string_view> record = Record(testo);
    ASSERT_GE(caso.record, 1u);
    ASSERT_LE(caso.record, record.size());
    const std::size_t inizio = static_cast<std::size_t>(record[caso.record - 1].data() - testo.data());
    for (const auto& [posizione, nuovo] : caso.cambi) {
        ASSERT_GE(posizione, 1u);
        ASSERT_LE(posizione - 1 + nuovo.size(), record[caso.record - 1].size()) << "un cambio oltre il record";
        testo.replace(inizio + posizione - 1, nuovo.size(), nuovo);
    }
    const FornituraLetta letta = Leggi(fornitura.tracciato(), testo);
    const auto trovate = letta.segnalazioni.find(caso.record - 1);
    EXPECT_EQ(trovate == letta.segnalazioni.end() ? std::vector<std::string>() : trovate->second, caso.segnalazioni);
    // Nothing else in the supply is reported, and what reads without a report is written the same.
    for (const auto& [r, righe] : letta.segnalazioni)
        EXPECT_EQ(r, caso.record - 1) << righe.front();
    EXPECT_TRUE(letta.diversi.empty()) << letta.diversi.front();
}

INSTANTIATE_TEST_SUITE_P(File, Casi, testing::ValuesIn(CasiDaiFile()),
                         [](const testing::TestParamInfo<Caso>& info) { return info.param.nome; });

} // namespace
