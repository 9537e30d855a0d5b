#!/bin/sh
# Builds `fornitura` and runs every converter on the sample exports in samples/; the supplies go to
# out/ARC, emptied first (a TFR supply never replaces another, so runs would pile up). Then checks every
# supply written, as an office would before sending it.
set -e
cd "$(dirname "$0")/.."
sh scripts/dipendenze.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target fornitura >/dev/null
rm -rf out/ARC
mkdir -p out
for conv in 770 uniemens dma emens tfr; do
  [ -d "samples/$conv" ] || continue
  echo "== fornitura $conv"
  ./build/bin/fornitura "$conv" --dir "samples/$conv" --archive out/ARC --now 2011-06-14T09:05:07 || exit $?
done
echo
ls -l out/ARC
echo
echo "== fornitura verifica"
./build/bin/fornitura verifica out/ARC/*
