#!/bin/sh
# The Windows side, tested here without Windows: builds the six Win32 programs, `fornitura` and the
# tests for 64-bit Windows with MinGW-w64 into build-win/, runs every test under Wine (in a Wine prefix
# of its own, build-win/wine, created on the first run) on an X server of its own (Xvfb), then
# - runs fornitura.exe under Wine and the Linux `fornitura` on every sample export in samples/ and
#   checks that both write the same supplies, byte for byte, with the same texts;
# - starts each converter's .exe without arguments beside its sample export, as the host does, works its
#   window with tests/win32/pilota (message boxes confirmed, "Continua" pressed) and checks the same
#   supply, log, message-box texts and status 0 as the Linux `fornitura`; started without its export it
#   must show the error box and end with status 3 creating no folder; obrisk must open with 21 controls;
#   verifica, started with the 770 supply as Send To starts it, must show the verdict that the Linux
#   checker gives the same supply, and end with status 0.
set -e
cd "$(dirname "$0")/.."

# Debian packages, installed only when missing (the Linux build's own too).
sh scripts/dipendenze.sh cmake make g++-mingw-w64-x86-64-posix wine wine64 googletest xvfb xauth nsis
sh scripts/dipendenze.sh

echo "== Compilazione per Windows (build-win)"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-win -j2

# The same prefix and settings as the test commands that the toolchain registers.
WINEPREFIX="$PWD/build-win/wine"
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
# An X server of its own for the windows (none is needed or used otherwise): the first free display.
schermo=""
for n in $(seq 90 130); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  # Ready when its socket is there.
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
  done
  if [ -e "/tmp/.X11-unix/X$n" ]; then schermo=":$n"; break; fi
done
[ -n "$schermo" ] || { echo "Xvfb non parte"; exit 1; }
DISPLAY="$schermo"
export DISPLAY
trap '"$wineserver" -k >/dev/null 2>&1 || true; kill "$xvfb" 2>/dev/null || true' EXIT
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
# A program under Wine very rarely hangs (seen once: a window test waiting for its window's end); a test
# that runs past its time-out is stopped and run again, up to three times in all.
ctest --test-dir build-win --output-on-failure -j2 --timeout 600 --repeat after-timeout:3

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

echo "== I programmi Windows accanto ai loro esempi, come li avvia il gestionale"
pilota="$PWD/build-win/bin/pilota.exe"
programmi="$PWD/build-win/programmi"
rm -rf "$programmi"
# The windows' texts name paths with "\" and under Z:\ (Wine), the Linux texts with "/": each side's
# own folder becomes "." as above.
normalizza() { # file, root
  sed -e 's|\\|/|g' -e "s|$2/|./|g" <"$1"
}
# A path as Wine names it (Z: is the root), without starting Wine as winepath does.
win() {
  printf 'Z:%s' "$1" | sed 's|/|\\|g'
}
for campione in samples/*/; do
  [ -d "$campione" ] || continue
  comando=$(basename "$campione")
  case "$comando" in
  770) exe=carvek ;; uniemens) exe=lunfort ;; dma) exe=sabrelt ;; emens) exe=pelvorn ;; tfr) exe=zandrik ;;
  *) continue ;;
  esac
  base="$programmi/$comando"
  # The run's date names the TFR supply: both sides run on the same day (again if midnight fell between).
  for _ in 1 2; do
    rm -rf "$base"
    mkdir -p "$base/linux" "$base/windows"
    giorno=$(date +%Y-%m-%d)
    cp -R "$campione" "$base/linux/esportazione"
    stato=0
    (cd "$base/linux" && "$linux" "$comando" --dir esportazione --archive ARC --now "$(date +%Y-%m-%dT%H:%M:%S)" \
      >../linux.out 2>../linux.err) || stato=$?
    echo "$stato" >"$base/linux.stato"
    cp -R "$campione" "$base/windows/esportazione"
    cp "$PWD/build-win/bin/$exe.exe" "$base/windows/esportazione/"
    radice=$(win "$base/windows" | sed 's|\\|/|g')
    stato=0
    FORNITURA_ARCHIVE=$(win "$base/windows/ARC") \
      wine "$pilota" --avvisi "$(win "$base/windows.avvisi")" "$(win "$base/windows/esportazione/$exe.exe")" \
      >"$base/windows.out" 2>"$base/windows.err" </dev/null || stato=$?
    echo "$stato" >"$base/windows.stato"
    [ "$(date +%Y-%m-%d)" = "$giorno" ] && break
  done
  rm "$base/windows/esportazione/$exe.exe"
  normalizza "$base/linux.out" "$base/linux" >"$base/linux.out.testo"
  normalizza "$base/linux.err" "$base/linux" >"$base/linux.err.testo"
  normalizza "$base/windows.out" "$radice" >"$base/windows.out.testo"
  normalizza "$base/windows.err" "$radice" >"$base/windows.err.testo"
  # Every box is titled with the program's name.
  titoli=$(cut -f1 "$base/windows.avvisi" | sort -u)
  if [ "$(cat "$base/linux.stato")" -ne 0 ] || [ "$(cat "$base/windows.stato")" -ne 0 ]; then
    echo "$exe.exe: stato $(cat "$base/windows.stato") (Linux $(cat "$base/linux.stato")), vedi $base"
    esito=1
  elif diff -r "$base/linux" "$base/windows" && diff "$base/linux.out.testo" "$base/windows.out.testo" &&
    diff "$base/linux.err.testo" "$base/windows.err.testo" && { [ -z "$titoli" ] || [ "$titoli" = "$exe" ]; }; then
    echo "$exe.exe: stessa fornitura, stesso log, stessi messaggi ($(wc -l <"$base/windows.avvisi") finestre di messaggio) e stato 0 come fornitura $comando"
  else
    echo "$exe.exe: diverso da fornitura $comando (vedi $base)"
    esito=1
  fi

  # Without its export: the error box, status 3, no folder created.
  vuota="$programmi/$comando-senza"
  mkdir -p "$vuota/programma"
  cp "$PWD/build-win/bin/$exe.exe" "$vuota/programma/"
  stato=0
  FORNITURA_ARCHIVE=$(win "$vuota/ARC") \
    wine "$pilota" --avvisi "$(win "$vuota/avvisi")" "$(win "$vuota/programma/$exe.exe")" \
    >"$vuota/windows.out" 2>"$vuota/windows.err" </dev/null || stato=$?
  statoLinux=0
  (cd "$vuota" && "$linux" "$comando" --dir programma --archive ARC >linux.out 2>linux.err) || statoLinux=$?
  atteso=$(normalizza "$vuota/linux.err" "$vuota")
  ottenuto=$(normalizza "$vuota/windows.err" "Z:$vuota")
  if [ "$stato" -eq 3 ] && [ "$statoLinux" -eq 3 ] && [ ! -e "$vuota/ARC" ] && [ "$ottenuto" = "$atteso" ] &&
    [ "$(cat "$vuota/avvisi")" = "$(printf '%s\terrore' "$exe")" ] && [ ! -s "$vuota/windows.out" ]; then
    echo "$exe.exe senza esportazione: finestra d'errore, stato 3, nessuna cartella"
  else
    echo "$exe.exe senza esportazione: stato $stato, vedi $vuota"
    esito=1
  fi
done

# The bank window: its 21 controls, then closed with status 0.
stato=0
wine "$pilota" --controlli "$(win "$PWD/build-win/bin/obrisk.exe")" >"$programmi/obrisk.out" 2>&1 </dev/null ||
  stato=$?
if [ "$stato" -eq 0 ] && [ "$(head -n 1 "$programmi/obrisk.out")" = "21 controlli" ]; then
  echo "obrisk.exe: 21 controlli, stato 0"
else
  echo "obrisk.exe: stato $stato, vedi $programmi/obrisk.out"
  esito=1
fi

# The check window started with a supply, as "Invia a" starts it: once read, its verdict label says what
# the Linux checker says of the same supply (the verdict of its listing's page); then closed, status 0.
fornitura=$(ls "$programmi"/770/linux/ARC/Importa770-2011-*.txt 2>/dev/null | head -n 1)
if [ -z "$fornitura" ]; then
  echo "verifica.exe: nessuna fornitura 770 da aprire"
  esito=1
else
  "$linux" distinta "$fornitura" --html "$programmi/verifica-distinta.html" >/dev/null 2>&1 || true
  verdetto=$(sed -n 's/.*<p class="esito[^"]*">\(.*\)<\/p>.*/\1/p' "$programmi/verifica-distinta.html")
  stato=0
  wine "$pilota" --controlli --quando "$verdetto" "$(win "$PWD/build-win/bin/verifica.exe")" "$(win "$fornitura")" \
    >"$programmi/verifica.out" 2>&1 </dev/null || stato=$?
  if [ -n "$verdetto" ] && [ "$stato" -eq 0 ] && grep -qxF "$(printf 'Static\t%s' "$verdetto")" "$programmi/verifica.out"; then
    echo "verifica.exe con la fornitura 770: \"$verdetto\" come il controllo su Linux, stato 0"
  else
    echo "verifica.exe con la fornitura 770: stato $stato, esito atteso \"$verdetto\", vedi $programmi/verifica.out"
    esito=1
  fi
fi

sh scripts/test-installatore.sh || esito=1
exit $esito
