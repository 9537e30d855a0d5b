// The window's log under the offscreen platform: 32,767 lines (the most an export can give) must
// not cost with the square of the lines.

#include "shell/qt/elaborazione.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

const shell::Convertitore& Convertitore() {
    static const shell::Convertitore convertitore{
        "prova",
        "prova",
        "Registro",
        {10470, 6015, {120, 120, 10215, 5295}, {9000, 5520, 1335, 375}, std::nullopt, std::nullopt},
        {}};
    return convertitore;
}

void RegistroFinestra(benchmark::State& stato) {
    const int righe = static_cast<int>(stato.range(0));
    for (auto _ : stato) {
        shell::ui::Elaborazione finestra(
            Convertitore(),
            [righe](shell::ContestoElaborazione& contesto) {
                for (int i = 0; i < righe; ++i)
                    contesto.ScriviMessaggio(
                        "Generazione Record Tipo G - Comunicazione dati certificazioni lavoro dipendente C.F.: "
                        "RSSMRA80A01H501U - ROSSI MARIO " +
                        std::to_string(i));
                contesto.CursoreInFondo();
            },
            {[](QWidget*, const QString&, const QString&, bool) {}, [] { return shell::DataOra{}; }, "/nonusata"});
        finestra.show();
        QEvent attivazione(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&finestra, &attivazione);
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(finestra.Messaggio()->blockCount());
    }
    stato.SetComplexityN(righe);
}
BENCHMARK(RegistroFinestra)->RangeMultiplier(4)->Range(512, 32767)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication applicazione(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
