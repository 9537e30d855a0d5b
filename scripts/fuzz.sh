#!/bin/sh
# Builds the libFuzzer harnesses with clang and runs each for a bounded time (seconds: $1, default 60),
# seeded with the samples and the inputs that once failed (fuzz/regressioni/<harness>/).
# A crash, a sanitizer report, a hang or an unexpected exception fails; the failing input is kept in
# fuzz/regressioni/<harness>/ to become a regression case.
set -e
cd "$(dirname "$0")/.."
secondi=${1:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFORNITURA_FUZZ=ON \
  -DFORNITURA_FINESTRE=OFF -DFORNITURA_TEST=OFF >/dev/null
cmake --build build-fuzz -j2
esito=0
for harness in build-fuzz/bin/fuzz_*; do
  nome=$(basename "$harness" | sed 's/^fuzz_//')
  regressioni="fuzz/regressioni/$nome"
  corpus="build-fuzz/corpus/$nome"
  mkdir -p "$regressioni" "$corpus"
  case "$nome" in
    esportazione) semi=$(find samples -type f -name '*.tab') ;;
    tracciati) semi="conv770/tests/data/Importa770-2011-02468130584.txt dma/tests/data/INPDAPDMA-2011-06.txt tfr/tests/data/MV106140.TXT" ;;
    verifica)
      # The supplies the converters write from the samples, each preceded by the byte that lets the
      # checker recognise its format.
      semi=""
      for esempio in samples/*/; do
        comando=$(basename "$esempio")
        rm -rf build-fuzz/semi-verifica && mkdir -p build-fuzz/semi-verifica
        build-fuzz/bin/fornitura "$comando" --dir "$esempio" --archive build-fuzz/semi-verifica \
          --now 2011-06-14T09:05:07 >/dev/null 2>&1 || true
        for f in build-fuzz/semi-verifica/*; do
          [ -f "$f" ] && { printf '\000'; cat "$f"; } > "$corpus/$comando"
        done
      done ;;
    lettore_xml)
      # The documents the converters write from the samples, and the reader's own cases.
      semi=$(find xml/tests/data -type f -name '*.xml')
      for conv in uniemens emens; do
        [ -d "samples/$conv" ] || continue
        rm -rf "build-fuzz/semi-$conv"
        build-fuzz/bin/fornitura "$conv" --dir "samples/$conv" --archive "build-fuzz/semi-$conv" \
          --now 2011-06-14T09:05:07 >/dev/null 2>&1 || true
        cp build-fuzz/semi-"$conv"/*.xml "$corpus/" 2>/dev/null || true
      done ;;
    tfr) semi=""; if [ -d samples/tfr ]; then { cat samples/tfr/EsportazioneTFR.tab; printf "\036"; cat samples/tfr/EsportazioneTFRBeneficiari.tab; } > "$corpus/esempio"; fi ;;
    *) semi=$(find "samples/$nome" -type f -name '*.tab' 2>/dev/null | head -1) ;;
  esac
  for s in $semi; do cp "$s" "$corpus/"; done
  # Every input that once failed must pass now.
  if [ -n "$(ls -A "$regressioni")" ]; then
    "$harness" -runs=0 "$regressioni"/* >/dev/null 2>&1 || { echo "fuzz_$nome: regressione"; esito=1; continue; }
  fi
  echo "== fuzz_$nome ($secondi s)"
  lunghezza=65536; [ "$nome" = esportazione ] && lunghezza=8192
  if ! "$harness" "$corpus" -max_total_time="$secondi" -timeout=10 -rss_limit_mb=2048 -max_len=$lunghezza \
      -artifact_prefix="$regressioni/" -print_final_stats=1 2>build-fuzz/$nome.log; then
    tail -40 build-fuzz/$nome.log
    esito=1
  fi
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' build-fuzz/$nome.log | sed "s/^/   /"
done
exit $esito
