#!/bin/sh
# The Windows side, tested here without Windows: builds the libraries, `fornitura` and their tests for
# 64-bit Windows with MinGW-w64 into build-win/, runs every test under Wine (in a Wine prefix of its own,
# build-win/wine, created on the first run), then runs fornitura.exe under Wine and the Linux `fornitura`
# on every sample export in samples/ and checks that both write the same supplies, byte for byte.
set -e
cd "$(dirname "$0")/.."

# Debian packages, installed only when missing (the Linux build's own come from dipendenze.sh).
pacchetti="cmake make g++-mingw-w64-x86-64-posix wine wine64 googletest"
mancanti=""
for p in $pacchetti; do
  dpkg -s "$p" >/dev/null 2>&1 || mancanti="$mancanti $p"
done
if [ -n "$mancanti" ]; then
  echo "Installo:$mancanti"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $mancanti >/dev/null
fi
sh scripts/dipendenze.sh

echo "== Compilazione per Windows (build-win)"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DFORNITURA_FINESTRE=OFF \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-win -j2

# The same prefix and settings as the test commands that the toolchain registers.
WINEPREFIX="$PWD/build-win/wine"
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== Prefisso Wine $WINEPREFIX"
  # The first start of a new prefix ends with an error about the 32-bit part, which is not needed here;
  # the prefix is complete when Wine has ended and written it out.
  wine wineboot -i </dev/null >/dev/null 2>&1 || true
  "$wineserver" -w
fi
# One Wine server for the whole run; Wine's own services are started here, out of the tests' output (a
# service started by the first test would hold that test's output open until Wine ends).
# It answers 2 when a server is running already: one that a test run of the last minute left
# (cmake/wine-test.sh keeps it a minute after the last program).
"$wineserver" -p </dev/null >/dev/null 2>&1 || [ $? -eq 2 ]
wine wineboot </dev/null >/dev/null 2>&1

echo "== Test sotto Wine"
ctest --test-dir build-win --output-on-failure -j2

echo "== Stesse forniture da Linux e da Windows"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target fornitura >/dev/null
linux="$PWD/build/bin/fornitura"
windows="$PWD/build-win/bin/fornitura.exe"
confronto="$PWD/build-win/confronto"
rm -rf "$confronto"
esito=0
campioni=0
for campione in samples/*/; do
  [ -d "$campione" ] || continue
  comando=$(basename "$campione")
  campioni=$((campioni + 1))
  # Each side runs in a folder of its own, on its own copy of the sample, with relative paths: what a
  # converter writes anywhere under that folder is compared.
  for lato in linux windows; do
    cartella="$confronto/$comando/$lato"
    mkdir -p "$cartella"
    cp -R "$campione" "$cartella/esportazione"
    if [ "$lato" = linux ]; then programma="$linux"; else programma="wine $windows"; fi
    stato=0
    (cd "$cartella" && $programma "$comando" --dir esportazione --archive ARC --now 2011-06-14T09:05:07 \
      >../$lato.out 2>../$lato.err) || stato=$?
    echo "$stato" >"$confronto/$comando/$lato.stato"
    # The terminal's texts name paths with "\" on Windows and "/" on Linux, and the folders given on the
    # command line made absolute (Z:\... under Wine): each side's own folder becomes "." and they are the
    # same otherwise.
    if [ "$lato" = linux ]; then radice="$cartella"; else radice=$(winepath -w "$cartella" | sed 's|\\|/|g'); fi
    for flusso in out err; do
      sed -e 's|\\|/|g' -e "s|$radice/|./|g" <"$confronto/$comando/$lato.$flusso" \
        >"$confronto/$comando/$lato.$flusso.testo"
    done
  done
  if [ "$(cat "$confronto/$comando/linux.stato")" -ne 0 ]; then
    echo "fornitura $comando: l'esempio non si converte su Linux (vedi $confronto/$comando/linux.err)"
    esito=1
  elif diff -r "$confronto/$comando/linux" "$confronto/$comando/windows" &&
    cmp -s "$confronto/$comando/linux.stato" "$confronto/$comando/windows.stato" &&
    diff "$confronto/$comando/linux.out.testo" "$confronto/$comando/windows.out.testo" &&
    diff "$confronto/$comando/linux.err.testo" "$confronto/$comando/windows.err.testo"; then
    echo "fornitura $comando: stessi file e stessi messaggi da Linux e da Windows"
  else
    echo "fornitura $comando: Linux e Windows differiscono (vedi $confronto/$comando)"
    esito=1
  fi
done
[ "$campioni" -gt 0 ] || echo "Nessun esempio in samples/"
exit $esito
