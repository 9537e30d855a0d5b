#!/bin/sh
# Every output of the programs in one folder, so that two versions of the code can be held against each
# other byte for byte (`diff -r`): each converter on its sample and on a generated export (the supply, the
# log, the messages, the status); then `fornitura verifica`, `distinta` (TSV and page) and `confronta`
# (text and page) on every supply written and on the supply of every case of the checker (its case
# against the unchanged supply).
#
#   sh scripts/istantanea.sh CARTELLA [BUILD]     (RIGHE=32767 by default: the lines of each generated export)
#
# BUILD is a configured build folder (default build/); what it lacks is built. Every supply is given the
# same time before it is read, and the folder's own path is written "@", so that two snapshots taken in
# different folders compare equal.
set -e
[ -n "$1" ] || { echo "uso: sh scripts/istantanea.sh CARTELLA [BUILD]" >&2; exit 2; }
radice=$(cd "$(dirname "$0")/.." && pwd)
B=$(cd "${2:-$radice/build}" && pwd)
RIGHE=${RIGHE:-32767}
ORA=2011-06-14T09:05:07
cmake --build "$B" -j2 --target fornitura genera_esportazioni casi_tests >/dev/null
F=$B/bin/fornitura
rm -rf "$1"
mkdir -p "$1"
D=$(cd "$1" && pwd)

# Runs a command, its standard output, standard error and status into $1.{out,err,esito}, the folder's
# path written "@".
esegui() {
  uscita=$1
  shift
  set +e
  "$@" >"$uscita.out" 2>"$uscita.err"
  echo $? >"$uscita.esito"
  set -e
  sed -i "s|$D|@|g" "$uscita.out" "$uscita.err"
}

# The three commands on one supply (relative to $D), beside it; `$2` the supply it is compared with.
leggi() {
  f=$1
  touch -d 2011-06-14T09:05:07 "$D/$f" "$D/$2"
  shift 2
  esegui "$D/$f.verifica" "$F" verifica "$@" -- "$f"
  esegui "$D/$f.distinta" "$F" distinta "$@" -- "$f"
  esegui "$D/$f.distinta-html" "$F" distinta "$@" --html "$D/$f.distinta.html" -- "$f"
}
confronta() {
  a=$1
  b=$2
  shift 2
  esegui "$D/$b.confronta" "$F" confronta "$@" -- "$a" "$b"
  esegui "$D/$b.confronta-html" "$F" confronta "$@" --html "$D/$b.confronta.html" -- "$a" "$b"
}

cd "$D"
for conv in 770 uniemens dma emens tfr; do
  mkdir -p campioni/$conv generate/$conv/esportazione
  esegui campioni/$conv/fornitura "$F" $conv --dir "$radice/samples/$conv" --archive "$D/campioni/$conv/arc" --now $ORA
  "$B/bin/genera_esportazioni" $conv "$RIGHE" generate/$conv/esportazione
  esegui generate/$conv/fornitura "$F" $conv --dir generate/$conv/esportazione --archive "$D/generate/$conv/arc" --now $ORA
  for cartella in campioni generate; do
    for s in $cartella/$conv/arc/*; do
      leggi "$s" "$s"
      confronta "$s" "$s" --formato=$conv
    done
  done
done
rm -rf generate/*/esportazione

# The cases: each supply as its case changes it, with the options it is checked with.
FORNITURA_CASI_COPIE="$D/casi" "$B/bin/casi_tests" >/dev/null
for caso in casi/*/; do
  caso=${caso%/}
  s=$(ls "$caso" | head -n 1)
  opzioni=$(cat "$caso/.opzioni")
  leggi "$caso/$s" "$caso/$s" $opzioni
  for conv in 770 uniemens dma emens tfr; do
    case $caso in casi/${conv}_*)
      originale=$(ls campioni/$conv/arc/* | head -n 1)
      touch -d 2011-06-14T09:05:07 "$originale"
      confronta "$originale" "$caso/$s"
    esac
  done
done
find "$D" -name '*.html' -exec sed -i "s|$D|@|g" {} +
echo "istantanea in $D: $(find "$D" -type f | wc -l) file"
