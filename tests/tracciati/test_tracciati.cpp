// The supplies of 770, DMA and TFR read back by the tables that write them. Every record of the
// samples' supplies and of generated ones reads without a report, every record type of each supply
// among them, and written again from what was read gives the same bytes; so does every field of
// the non-positional areas. What the reader reports of a changed supply is in the checker's cases
// (tests/casi/), run through the real `fornitura verifica`.

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

} // namespace
