// Microbenchmarks of the field encoders the supplies spend their time in: the non-positional fields
// of the 770 and DMA records, and the XML escaping of every UniEmens and E-Mens value; and the reading
// of a 770 record back, which a reader of whole supplies repeats for every record.

#include "tracciati/campo_non_posizionale.h"
#include "conv770/record770.h"
#include "scrittura_xml/testo_xml.h"
#include "tracciati/tracciato.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string>

namespace {

using tracciati::AggiungiCampoNonPosizionale;
using tracciati::Tipo;

// One field per kind of value a record G holds: amounts as the rules read them, texts, dates, flags.
void CampoNonPosizionaleTipico(benchmark::State& stato) {
    std::string area;
    for (auto _ : stato) {
        area.clear();
        AggiungiCampoNonPosizionale(area, "DB001001", 28456LL, Tipo::NP);
        AggiungiCampoNonPosizionale(area, "DC001014", 28456.78, Tipo::NP);
        AggiungiCampoNonPosizionale(area, "DC001026", 1235LL, Tipo::NU);
        AggiungiCampoNonPosizionale(area, "DB001141", 1234567LL, Tipo::PC);
        AggiungiCampoNonPosizionale(area, "DA001002", "D'ANGELO M\xDCLLER", Tipo::AN);
        AggiungiCampoNonPosizionale(area, "DA001005", shell::Data{1975, 12, 10}, Tipo::DT);
        AggiungiCampoNonPosizionale(area, "DB001063", "S\xCC", Tipo::SI);
        AggiungiCampoNonPosizionale(area, "DC001011", "X\x1D\x1DY\x1DZ", Tipo::SI12);
        benchmark::DoNotOptimize(area.data());
    }
    stato.SetItemsProcessed(stato.iterations() * 8);
}
BENCHMARK(CampoNonPosizionaleTipico);

// A long text goes on in blocks of 15 characters.
void CampoNonPosizionaleTestoLungo(benchmark::State& stato) {
    const std::string testo(static_cast<std::size_t>(stato.range(0)), 'A');
    std::string area;
    for (auto _ : stato) {
        area.clear();
        AggiungiCampoNonPosizionale(area, "DA001030", testo, Tipo::AN);
        benchmark::DoNotOptimize(area.data());
    }
    stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * testo.size()));
}
BENCHMARK(CampoNonPosizionaleTestoLungo)->Arg(60)->Arg(6000);

// A record G of 60 fields read back: its pieces, then its area field by field with their values.
void LetturaRecordG(benchmark::State& stato) {
    std::string area;
    AggiungiCampoNonPosizionale(area, "DA001001", "RSSGLI80A41E507Z", Tipo::CF);
    AggiungiCampoNonPosizionale(area, "DA001002", "D'ANGELO M\xDCLLER NICOL\xD2", Tipo::AN);
    AggiungiCampoNonPosizionale(area, "DA001005", shell::Data{1980, 1, 1}, Tipo::DT);
    while (area.size() < 60 * 24)
        AggiungiCampoNonPosizionale(area, "DB001005", static_cast<long long>(area.size() * 37), Tipo::NP);
    std::string colonne = "02468135790\tQ";
    for (int c = 2; c < 200; ++c)
        colonne += c == 20 ? "\tRSSGLI80A41E507Z" : "\t";
    const shell::RigaEsportazione riga(1, colonne);
    const std::array<int, conv770::Numeri770> numeri{12};
    std::string record;
    const tracciati::Tracciato& tracciato = conv770::Tracciato770();
    tracciati::Componi(record, conv770::tabelle770::RecordG, {&riga, numeri, area}, tracciato.gancio);
    tracciati::RecordLetto letto;
    tracciati::AreaLetta campi;
    constexpr const tracciati::Pezzo& areaG =
        tracciati::DelGenere(conv770::tabelle770::RecordG, tracciati::Comune::Area);
    for (auto _ : stato) {
        letto.Leggi(record, conv770::tabelle770::RecordG, tracciato.gancio);
        const std::string_view aree[] = {letto.Testo(areaG)};
        campi.Leggi(aree, tracciato.catalogo);
        benchmark::DoNotOptimize(campi.Campi().data());
    }
    stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * (record.size() + 2)));
}
BENCHMARK(LetturaRecordG);

// The values of a UniEmens line: most have nothing to escape, company names have "&" and "'".
void CodificaXMLValori(benchmark::State& stato) {
    const std::string valori[] = {"ZNNMRC75C12L736W",
                                  "2.150,00",
                                  "IMPIANTI TERMOIDRAULICI VENETI DELL'ACQUA & FIGLI",
                                  "D'ARCO & ROSSI",
                                  "1@X\x1D"
                                  "2@X\x1D"
                                  "3@X",
                                  "ATTUALE",
                                  "<NOTA \"A\">"};
    std::size_t byte = 0;
    for (const auto& v : valori)
        byte += v.size();
    for (auto _ : stato) {
        for (const auto& v : valori) {
            std::string campo = v;
            scrittura_xml::CodificaXML(campo);
            benchmark::DoNotOptimize(campo);
        }
    }
    stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * byte));
}
BENCHMARK(CodificaXMLValori);

// A long value full of characters to escape: the cost must stay linear.
void CodificaXMLDaEscapare(benchmark::State& stato) {
    std::string testo;
    for (int i = 0; i < stato.range(0) / 5; ++i)
        testo += "&'\"<>";
    for (auto _ : stato) {
        std::string campo = testo;
        scrittura_xml::CodificaXML(campo);
        benchmark::DoNotOptimize(campo);
    }
    stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * testo.size()));
    stato.SetComplexityN(stato.range(0));
}
// Up to 4 KB: longer results pass the allocator's threshold for fresh pages, whose cost is not the escaping.
BENCHMARK(CodificaXMLDaEscapare)->RangeMultiplier(4)->Range(64, 4096)->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
