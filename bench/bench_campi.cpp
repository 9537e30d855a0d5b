// Microbenchmarks of the field encoders the supplies spend their time in: the non-positional fields
// of the 770 and DMA records, and the XML escaping of every UniEmens and E-Mens value.

#include "campo_non_posizionale.h"
#include "testo_xml.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using conv770::fields::CampoNonPosizionale;
using conv770::fields::Tipo;

// One field per kind of value a record G holds: amounts read from the export's text, texts,
// dates, flags.
void CampoNonPosizionaleTipico(benchmark::State& stato) {
    for (auto _ : stato) {
        benchmark::DoNotOptimize(CampoNonPosizionale("DB", "001", "001", "28.456,78", Tipo::NP));
        benchmark::DoNotOptimize(CampoNonPosizionale("DB", "001", "002", "1.234,56", Tipo::NU));
        benchmark::DoNotOptimize(CampoNonPosizionale("DB", "001", "003", 1234567LL, Tipo::PC));
        benchmark::DoNotOptimize(CampoNonPosizionale("DA", "001", "002", "D'ANGELO M\xDCLLER", Tipo::AN));
        benchmark::DoNotOptimize(CampoNonPosizionale("DA", "001", "006", "10/12/1975", Tipo::DT));
        benchmark::DoNotOptimize(CampoNonPosizionale("DB", "003", "001", "S\xCC", Tipo::SI));
        benchmark::DoNotOptimize(CampoNonPosizionale("DC", "001", "001", "X\x1D\x1DY\x1DZ", Tipo::SI12));
    }
    stato.SetItemsProcessed(stato.iterations() * 7);
}
BENCHMARK(CampoNonPosizionaleTipico);

// A long text goes on in blocks of 15 characters.
void CampoNonPosizionaleTestoLungo(benchmark::State& stato) {
    const std::string testo(static_cast<std::size_t>(stato.range(0)), 'A');
    for (auto _ : stato)
        benchmark::DoNotOptimize(CampoNonPosizionale("DA", "001", "030", testo, Tipo::AN));
    stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * testo.size()));
}
BENCHMARK(CampoNonPosizionaleTestoLungo)->Arg(60)->Arg(6000);

// The values of a UniEmens line: most have nothing to escape, company names have "&" and "'".
void CodificaXMLValori(benchmark::State& stato) {
    const std::string valori[] = {"ZNNMRC75C12L736W", "2.150,00", "IMPIANTI TERMOIDRAULICI VENETI DELL'ACQUA & FIGLI",
                                  "D'ARCO & ROSSI", "1@X\x1D" "2@X\x1D" "3@X", "ATTUALE", "<NOTA \"A\">"};
    std::size_t byte = 0;
    for (const auto& v : valori)
        byte += v.size();
    for (auto _ : stato) {
        for (const auto& v : valori) {
            std::string campo = v;
            uniemens::xmltext::CodificaXML(campo);
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
        uniemens::xmltext::CodificaXML(campo);
        benchmark::DoNotOptimize(campo);
    }
    stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * testo.size()));
    stato.SetComplexityN(stato.range(0));
}
// Up to 4 KB: longer results pass the allocator's threshold for fresh pages, whose cost is not the escaping.
BENCHMARK(CodificaXMLDaEscapare)->RangeMultiplier(4)->Range(64, 4096)->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
