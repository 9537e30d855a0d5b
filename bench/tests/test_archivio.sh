#!/bin/sh
# The bench archive checked as a set: its three planted faults found, each once, and nothing else of the set;
# the same output with one thread and with two.
#
#   sh test_archivio.sh FORNITURA GENERA_ESPORTAZIONI CARTELLA
set -e
F=$1
A=$3/archivio
sh "$(dirname "$0")/../genera_archivio.sh" "$F" "$2" "$A" 21 20
stato=0
"$F" verifica "$A" --ricorsivo --thread 1 >"$3/uno.txt" 2>"$3/uno.err" || stato=$?
[ $stato -eq 1 ] || { echo "stato $stato, atteso 1 (l'errore piantato)"; cat "$3/uno.err"; exit 1; }
"$F" verifica "$A" --ricorsivo --thread 2 >"$3/due.txt" 2>&1 || true
cmp "$3/uno.txt" "$3/due.txt" || { echo "uscite diverse con 1 e 2 thread"; exit 1; }
# The set's findings: the lines that name another file, or come after the last file's summary line.
grep -c '(anche in ' "$3/uno.txt" >"$3/n.txt" || true
[ "$(cat "$3/n.txt")" = 3 ] || { echo "attesi 3 rilievi dell'insieme:"; grep '(anche in ' "$3/uno.txt"; exit 1; }
for atteso in \
  "/INPSUNIEMENS-2010-03_prima.xml:15: errore: un altro documento UniEmens è della stessa azienda" \
  "/INPSEMENS-2010-02.xml:20: avviso: il dipendente '" \
  "/INPSUNIEMENS-2010-07.xml: avviso: stesso contenuto di un'altra fornitura UniEmens"; do
  grep -q -F "$atteso" "$3/uno.txt" || { echo "manca: $atteso"; grep '(anche in ' "$3/uno.txt"; exit 1; }
done
tail -n 1 "$3/uno.txt" | grep -q -x "Insieme di 321 forniture: 1 errore, 2 avvisi tra le forniture" ||
  { echo "riepilogo inatteso: $(tail -n 1 "$3/uno.txt")"; exit 1; }
echo "tre rilievi dell'insieme, gli stessi con 1 e 2 thread"
