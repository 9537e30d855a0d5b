// Microbenchmarks of the hot pieces every converter shares: splitting the export into lines and
// columns, upper case, the two number readers.

#include "shell/conversioni.h"
#include "shell/esportazione.h"
#include "shell/testo.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string RigaTipica(int colonne) {
    std::string riga;
    for (int c = 0; c < colonne; ++c) {
        if (c)
            riga += '\t';
        riga += (c % 3 == 0) ? "1.234,56" : (c % 3 == 1) ? "Rossi Mari\xE0" : "31/12/2010";
    }
    return riga;
}

void DividiRigheEsportazione(benchmark::State& stato) {
    std::string testo;
    const std::string riga = RigaTipica(200);
    for (int i = 0; i < 1000; ++i)
        testo += riga + "\r\n";
    for (auto _ : stato)
        benchmark::DoNotOptimize(shell::DividiRighe(testo));
    stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * testo.size()));
}
BENCHMARK(DividiRigheEsportazione);

void ColonneInMaiuscolo(benchmark::State& stato) {
    const std::string riga = RigaTipica(200);
    for (auto _ : stato)
        benchmark::DoNotOptimize(shell::RigaEsportazione(1, riga));
    stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * riga.size()));
}
BENCHMARK(ColonneInMaiuscolo);

void Maiuscolo(benchmark::State& stato) {
    const std::string testo = RigaTipica(200);
    for (auto _ : stato)
        benchmark::DoNotOptimize(shell::Maiuscolo(testo));
    stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * testo.size()));
}
BENCHMARK(Maiuscolo);

void ValoreNumerico(benchmark::State& stato) {
    for (auto _ : stato)
        benchmark::DoNotOptimize(shell::ValoreNumerico(" 1.234.567,89 "));
}
BENCHMARK(ValoreNumerico);

void ValoreSemplice(benchmark::State& stato) {
    for (auto _ : stato)
        benchmark::DoNotOptimize(shell::ValoreSemplice("1234567.89"));
}
BENCHMARK(ValoreSemplice);

} // namespace

BENCHMARK_MAIN();
