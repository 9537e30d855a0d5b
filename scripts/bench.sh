#!/bin/sh
# Performance of every converter at the largest export (32,767 lines), against copying the same
# bytes with cat; the checker on every supply and its XML reader over the two XML supplies, against cat of
# the same file, the comparison of each supply with its copy against cat of both; then the microbenchmarks and
# the window's log.
#
#   sh scripts/bench.sh            (RIGHE=1000 RIPETIZIONI=3 sh scripts/bench.sh for a quick look)
#
# Builds in build-bench (or $BUILD; Release, benchmarks on, only the programs it runs); the
# generated exports and the supplies go to misure/ there. Every run is pinned to one core. For each
# converter: median wall time of RIPETIZIONI runs of fornitura, its CPU time (user + system), its
# peak memory (/usr/bin/time), the median wall time of `cat export > copia; cat supply > copia`
# measured in between, the ratio of the two, and the time the final fsync of the supply took
# (strace, one extra run).
set -e
cd "$(dirname "$0")/.."
RIGHE=${RIGHE:-32767}
RIPETIZIONI=${RIPETIZIONI:-5}

# The speed gate: `sh scripts/bench.sh --controlla` measures every converter, check and comparison on the
# exports of RIGHE lines against cat of the same bytes into a file, as the least CPU time of RIPETIZIONI
# alternated runs (the command, then cat), and ends with status 1 naming what is over its budget:
# converters 5 times cat, checks 8 times, comparisons 12 times cat of both files; a check under 64 MB; then the
# bench archive checked as a set on every core within 3 times cat of all its files (wall time).
if [ "${1:-}" = --controlla ]; then
  sh scripts/dipendenze.sh
  B=${BUILD:-build-bench}
  cmake -S . -B $B -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build $B -j2 --target fornitura genera_esportazioni cronometro >/dev/null
  M=$B/cancello
  rm -rf $M
  mkdir -p $M
  UNO=""
  command -v taskset >/dev/null 2>&1 && UNO="taskset -c 0"
  RIPETIZIONI=${RIPETIZIONI:-7}
  C=./$B/bin/cronometro
  # The least CPU time (microseconds) and the highest peak memory (KiB) of RIPETIZIONI runs of the command
  # $2 (its output to $1), alternated with runs of the cat commands $3: "cpu kb cpu_cat".
  alternate() {
    : >$M/comando; : >$M/cat
    i=0
    while [ $i -lt "$RIPETIZIONI" ]; do
      [ -n "${PRIMA:-}" ] && sh -c "$PRIMA"
      # shellcheck disable=SC2086
      $UNO $C --uscita "$1" $2 >>$M/comando
      rm -f $M/copia-*
      $UNO $C sh -c "$3" >>$M/cat
      i=$((i + 1))
    done
    awk '$4 != 0 && !e { e = 1; print "stato " $4 > "/dev/stderr" } { if (!m || $1 < m) m = $1; if ($3 > k) k = $3 }
         END { printf "%d %d ", m, k }' $M/comando
    awk '{ if (!m || $1 < m) m = $1 } END { printf "%d\n", m }' $M/cat
  }
  fuori=""
  riga() { # name, budget, cpu, kb, cpu_cat, memory budget in KiB (0: none)
    r=$(awk -v a="$3" -v b="$5" 'BEGIN { printf "%.1f", a / b }')
    esito=entro
    if awk -v r="$r" -v m="$2" 'BEGIN { exit !(r > m) }'; then esito=FUORI; fuori="$fuori $1 (${r}x)"; fi
    if [ "$6" -gt 0 ] && [ "$4" -gt "$6" ]; then esito=FUORI; fuori="$fuori $1 ($(($4 / 1024)) MB)"; fi
    printf '| %s | %.3f | %.3f | %s | %s | %.1f | %s |\n' "$1" "$(awk -v n=$3 'BEGIN{print n/1e6}')" \
      "$(awk -v n=$5 'BEGIN{print n/1e6}')" "$r" "$2" "$(awk -v n=$4 'BEGIN{print n/1024}')" "$esito"
  }
  echo "Macchina: $(nproc) core, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
  echo "Esportazioni di $RIGHE righe; minimo del tempo di CPU di $RIPETIZIONI esecuzioni alternate con cat, su un core"
  echo
  echo "| misura | CPU s | cat s | x cat | limite | memoria MB | esito |"
  echo "|---|---|---|---|---|---|---|"
  for conv in 770 uniemens dma emens tfr; do
    ./$B/bin/genera_esportazioni $conv "$RIGHE" $M/$conv
    PRIMA="rm -rf $M/arc-$conv"
    ./$B/bin/fornitura $conv --dir $M/$conv --archive $M/arc-$conv --now 2011-06-14T09:05:07 >/dev/null 2>&1
    fornitura=$(ls $M/arc-$conv/* | head -n 1)
    set -- $(alternate $M/log "./$B/bin/fornitura $conv --dir $M/$conv --archive $M/arc-$conv --now 2011-06-14T09:05:07" \
      "cat $M/$conv/*.tab >$M/copia-esportazione && cat $fornitura >$M/copia-fornitura")
    PRIMA=""
    riga "$conv" 5 "$1" "$2" "$3" 0
    ./$B/bin/fornitura $conv --dir $M/$conv --archive $M/arc-$conv --now 2011-06-14T09:05:07 >/dev/null 2>&1
    set -- $(alternate $M/esito "./$B/bin/fornitura verifica $fornitura" "cat $fornitura >$M/copia-fornitura")
    riga "verifica $conv" 8 "$1" "$2" "$3" 65536
    cp "$fornitura" $M/stessa-$conv
    set -- $(alternate $M/esito "./$B/bin/fornitura confronta $fornitura $M/stessa-$conv" \
      "cat $fornitura >$M/copia-fornitura; cat $M/stessa-$conv >$M/copia-stessa")
    riga "confronta $conv" 12 "$1" "$2" "$3" 0
  done
  # The bench archive (bench/genera_archivio.sh: 80 employers' year), checked as a set on every core against
  # cat of all its files, as the least wall time of alternated runs; the same output with 1 and 2 threads.
  sh bench/genera_archivio.sh ./$B/bin/fornitura ./$B/bin/genera_esportazioni $M/archivio
  file=$(find $M/archivio -type f ! -name '.*' | wc -l)
  mb=$(du -sm $M/archivio | cut -f1)
  : >$M/comando; : >$M/cat
  i=0
  while [ $i -lt "$RIPETIZIONI" ]; do
    $C --uscita $M/insieme ./$B/bin/fornitura verifica $M/archivio --ricorsivo >>$M/comando
    rm -f $M/copia-*
    $C sh -c "find $M/archivio -type f ! -name '.*' -exec cat {} + >$M/copia-archivio" >>$M/cat
    i=$((i + 1))
  done
  ./$B/bin/fornitura verifica $M/archivio --ricorsivo --thread 1 >$M/insieme-1 || true
  ./$B/bin/fornitura verifica $M/archivio --ricorsivo --thread 2 >$M/insieme-2 || true
  set -- $(awk '{ if (!m || $2 < m) m = $2; if ($3 > k) k = $3 } END { printf "%d %d ", m, k }' $M/comando) \
    $(awk '{ if (!m || $2 < m) m = $2 } END { printf "%d\n", m }' $M/cat)
  r=$(awk -v a="$1" -v b="$3" 'BEGIN { printf "%.1f", a / b }')
  esito=entro
  if awk -v r="$r" 'BEGIN { exit !(r > 3) }'; then esito=FUORI; fuori="$fuori archivio (${r}x)"; fi
  cmp -s $M/insieme-1 $M/insieme-2 || { esito=FUORI; fuori="$fuori archivio (uscite diverse con 1 e 2 thread)"; }
  echo
  echo "Archivio di prova: $file file, $mb MB; tempo reale minimo di $RIPETIZIONI esecuzioni alternate con cat, $(nproc) core"
  echo
  echo "| misura | tempo s | cat s | x cat | limite | memoria MB | 1 e 2 thread | esito |"
  echo "|---|---|---|---|---|---|---|---|"
  printf '| verifica archivio | %.3f | %.3f | %s | 3 | %.1f | %s | %s |\n' "$(awk -v n=$1 'BEGIN{print n/1e6}')" \
    "$(awk -v n=$3 'BEGIN{print n/1e6}')" "$r" "$(awk -v n=$2 'BEGIN{print n/1024}')" \
    "$(cmp -s $M/insieme-1 $M/insieme-2 && echo uguali || echo DIVERSE)" "$esito"
  echo
  if [ -n "$fuori" ]; then
    echo "Fuori dai limiti:$fuori"
    exit 1
  fi
  echo "Tutto entro i limiti."
  exit 0
fi

sh scripts/dipendenze.sh
sh scripts/dipendenze.sh libbenchmark-dev time

B=${BUILD:-build-bench}
cmake -S . -B $B -DCMAKE_BUILD_TYPE=Release -DFORNITURA_BENCH=ON >/dev/null
obiettivi="fornitura genera_esportazioni bench_shell bench_campi bench_lettore_xml"
grep -q '^FORNITURA_FINESTRE:BOOL=ON' $B/CMakeCache.txt && obiettivi="$obiettivi bench_finestra"
cmake --build $B -j2 --target $obiettivi >/dev/null

M=$B/misure
rm -rf $M
mkdir -p $M
UNO=""
command -v taskset >/dev/null 2>&1 && UNO="taskset -c 0"
ORA=2011-06-14T09:05:07

adesso() { date +%s%N; }
mediana() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
secondi() { awk -v n="$1" 'BEGIN { printf "%.3f", n / 1e9 }'; }
mb() { awk -v n="$1" 'BEGIN { printf "%.1f", n / 1048576 }'; }
rapporto() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }
# The wall time of the cat commands $1 on the same core, appended to $M/copia. The copies of the
# time before are removed first, so that every cat writes a new file as the programs do.
tempo_cat() {
  rm -f $M/copia-*
  inizio=$(adesso)
  $UNO sh -c "$1"
  fine=$(adesso)
  echo $((fine - inizio)) >>$M/copia
}

echo "Macchina: $(nproc) core, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo "Righe per esportazione: $RIGHE; esecuzioni per misura: $RIPETIZIONI (mediana), su un core"
echo
printf '%-9s %9s %9s %8s %8s %8s %7s %8s %9s %8s\n' \
  comando "esport.MB" "fornit.MB" "tempo s" "CPU s" "cat s" "x cat" "fsync s" "memoria MB" "limite MB"
for conv in 770 uniemens dma emens tfr; do
  ./$B/bin/genera_esportazioni $conv $RIGHE $M/$conv
  esportazione=$(cat $M/$conv/*.tab | wc -c)
  : >$M/tempi; : >$M/cpu; : >$M/memoria; : >$M/copia
  i=0
  while [ $i -lt "$RIPETIZIONI" ]; do
    rm -rf $M/arc-$conv
    inizio=$(adesso)
    $UNO /usr/bin/time -o $M/time.txt -f '%U %S %M' \
      ./$B/bin/fornitura $conv --dir $M/$conv --archive $M/arc-$conv --now $ORA >$M/log.txt 2>$M/err.txt || {
      echo "fornitura $conv non riuscita:"; cat $M/err.txt; exit 1; }
    fine=$(adesso)
    echo $((fine - inizio)) >>$M/tempi
    awk '{ print ($1 + $2) * 1e9 }' $M/time.txt >>$M/cpu
    awk '{ print $3 * 1024 }' $M/time.txt >>$M/memoria
    fornitura=$(ls $M/arc-$conv/* | head -n 1)
    # The same bytes with cat: the export in, the supply out.
    tempo_cat "cat $M/$conv/*.tab >$M/copia-esportazione && cat '$fornitura' >$M/copia-fornitura"
    i=$((i + 1))
  done
  dimensione=$(wc -c <"$fornitura")
  fsync="-"
  if command -v strace >/dev/null 2>&1; then
    rm -rf $M/arc-$conv
    strace -f -T -e trace=fsync -o $M/strace.txt \
      ./$B/bin/fornitura $conv --dir $M/$conv --archive $M/arc-$conv --now $ORA >/dev/null 2>&1
    fsync=$(sed -n 's/.*fsync(.*<\([0-9.]*\)>$/\1/p' $M/strace.txt | awk '{ s += $1 } END { printf "%.3f", s }')
  fi
  tempo=$(mediana <$M/tempi)
  copia=$(mediana <$M/copia)
  printf '%-9s %9s %9s %8s %8s %8s %7s %8s %9s %8s\n' $conv "$(mb $esportazione)" "$(mb $dimensione)" \
    "$(secondi $tempo)" "$(secondi "$(mediana <$M/cpu)")" "$(secondi $copia)" \
    "$(rapporto $tempo $copia)" "$fsync" \
    "$(mb "$(sort -n $M/memoria | tail -n 1)")" "$(mb $((2 * esportazione + 33554432)))"
done

# One command that reads supplies, RIPETIZIONI times against the cat commands $3 in between, as a row of
# the table: $1 the row's name, $2 the command's arguments after fornitura, $4 the supply measured.
misura_lettura() {
  : >$M/tempi; : >$M/cpu; : >$M/memoria; : >$M/copia
  i=0
  while [ $i -lt "$RIPETIZIONI" ]; do
    inizio=$(adesso)
    stato=0
    # shellcheck disable=SC2086
    $UNO /usr/bin/time -o $M/time.txt -f '%U %S %M' ./$B/bin/fornitura $2 >$M/lettura.txt 2>&1 || stato=$?
    fine=$(adesso)
    echo $((fine - inizio)) >>$M/tempi
    awk '{ print ($1 + $2) * 1e9 }' $M/time.txt >>$M/cpu
    awk '{ print $3 * 1024 }' $M/time.txt >>$M/memoria
    tempo_cat "$3"
    i=$((i + 1))
  done
  tempo=$(mediana <$M/tempi)
  copia=$(mediana <$M/copia)
  printf '%-9s %9s %8s %8s %8s %7s %9s %6s\n' $1 "$(mb "$(wc -c <"$4")")" "$(secondi $tempo)" \
    "$(secondi "$(mediana <$M/cpu)")" "$(secondi $copia)" \
    "$(rapporto $tempo $copia)" "$(mb "$(sort -n $M/memoria | tail -n 1)")" \
    "$stato"
}

# The checker on each supply just written, against copying the supply with cat; its status is 0 when
# the supply checks without error.
echo
printf '%-9s %9s %8s %8s %8s %7s %9s %6s\n' verifica "fornit.MB" "tempo s" "CPU s" "cat s" "x cat" "memoria MB" "esito"
for conv in 770 uniemens dma emens tfr; do
  fornitura=$(ls $M/arc-$conv/* | head -n 1)
  misura_lettura $conv "verifica $fornitura" "cat '$fornitura' >$M/copia-fornitura" "$fornitura"
done

# The comparison of each supply with a copy of itself (every person paired and held by its fingerprint),
# against cat of both files; its status is 0 when it finds them equal.
echo
printf '%-9s %9s %8s %8s %8s %7s %9s %6s\n' confronta "fornit.MB" "tempo s" "CPU s" "cat s" "x cat" "memoria MB" "esito"
for conv in 770 uniemens dma emens tfr; do
  fornitura=$(ls $M/arc-$conv/* | head -n 1)
  copiata=$M/stessa-$(basename "$fornitura")
  cp "$fornitura" "$copiata"
  misura_lettura $conv "confronta $fornitura $copiata" \
    "cat '$fornitura' >$M/copia-fornitura; cat '$copiata' >$M/copia-stessa" "$fornitura"
  rm -f "$copiata"
done

# The checker's XML reader over the two XML supplies just written, beside cat of the same file.
echo
printf '%-9s %9s %8s %8s %7s %9s\n' documento "MB" "tempo s" "cat s" "x cat" "memoria MB"
for conv in uniemens emens; do
  documento=$(ls $M/arc-$conv/*.xml | head -n 1)
  : >$M/tempi; : >$M/copia; : >$M/memoria
  i=0
  while [ $i -lt "$RIPETIZIONI" ]; do
    inizio=$(adesso)
    $UNO /usr/bin/time -o $M/time.txt -f '%M' ./$B/bin/bench_lettore_xml "$documento" >/dev/null || {
      echo "bench_lettore_xml $conv non riuscito"; exit 1; }
    fine=$(adesso)
    echo $((fine - inizio)) >>$M/tempi
    awk '{ print $1 * 1024 }' $M/time.txt >>$M/memoria
    tempo_cat "cat '$documento' >$M/copia-documento"
    i=$((i + 1))
  done
  tempo=$(mediana <$M/tempi)
  copia=$(mediana <$M/copia)
  printf '%-9s %9s %8s %8s %7s %9s\n' $conv "$(mb "$(wc -c <"$documento")")" "$(secondi $tempo)" \
    "$(secondi $copia)" "$(rapporto $tempo $copia)" \
    "$(mb "$(sort -n $M/memoria | tail -n 1)")"
done

echo
echo "== bench_shell"
./$B/bin/bench_shell --benchmark_min_time=0.2
echo
echo "== bench_campi"
./$B/bin/bench_campi --benchmark_min_time=0.2
if [ -x ./$B/bin/bench_finestra ]; then
  echo
  echo "== bench_finestra (piattaforma offscreen)"
  QT_QPA_PLATFORM=offscreen ./$B/bin/bench_finestra
fi
