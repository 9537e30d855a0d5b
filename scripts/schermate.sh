#!/bin/sh
# Screenshots of every window, to look at: the Win32 programs under Wine and the Qt programs, each
# beside its sample export, on an X server of its own (Xvfb). PNG files into the folder given (default
# /tmp/schermate). Needs build-win/ (sh scripts/test-windows.sh) and build/ (sh scripts/test.sh).
set -e
cd "$(dirname "$0")/.."
uscita="${1:-/tmp/schermate}"
mkdir -p "$uscita"
lavoro=$(mktemp -d)
sh scripts/dipendenze.sh imagemagick

n=140
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
DISPLAY=":$n"
export DISPLAY
# A Wine prefix of its own: the tests' prefix may be in use.
WINEPREFIX="$PWD/build-win/wine-schermate"
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
trap '"$wineserver" -k >/dev/null 2>&1 || true; kill "$xvfb" 2>/dev/null || true; rm -rf "$lavoro"' EXIT
while [ ! -e "/tmp/.X11-unix/X$n" ]; do sleep 0.1; done
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wine wineboot -i </dev/null >/dev/null 2>&1 || true
  "$wineserver" -w
fi
"$wineserver" -p </dev/null >/dev/null 2>&1

win() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }

# Takes the screen while pilota waits with the window ready.
scatta() { # name, pause file
  while [ ! -e "$2" ]; do sleep 0.1; done
  sleep 0.5 # the last paint
  import -window root "$uscita/$1.png"
  rm -f "$2"
}

for coppia in 770:carvek uniemens:lunfort dma:sabrelt emens:pelvorn tfr:zandrik; do
  comando=${coppia%%:*}
  exe=${coppia#*:}
  mkdir -p "$lavoro/$comando"
  cp samples/"$comando"/* "$lavoro/$comando/"
  cp "build-win/bin/$exe.exe" "$lavoro/$comando/"
  if [ -x "build-win/bin/pilota.exe" ]; then
    FORNITURA_ARCHIVE=$(win "$lavoro/ARC-win") wine build-win/bin/pilota.exe --pausa "$(win "$lavoro/pausa")" \
      "$(win "$lavoro/$comando/$exe.exe")" >/dev/null 2>&1 </dev/null &
    scatta "win32-$exe" "$lavoro/pausa"
    wait $! || true
  fi
  if [ -x "build/bin/$exe" ]; then
    cp "build/bin/$exe" "$lavoro/$comando/"
    FORNITURA_ARCHIVE="$lavoro/ARC-qt" QT_QPA_PLATFORM=xcb "$lavoro/$comando/$exe" >/dev/null 2>&1 &
    programma=$!
    sleep 3
    import -window root "$uscita/qt-$exe.png"
    kill "$programma" 2>/dev/null || true
    wait "$programma" 2>/dev/null || true
  fi
done

# The check window on the 770 supply just written, and on a file that is not there (the selector holds both),
# once the supply is read (its verdict says "errore" or "Nessun errore").
fornitura=$(ls "$lavoro"/ARC-win/Importa770-2011-*.txt 2>/dev/null | head -n 1)
if [ -n "$fornitura" ] && [ -x build-win/bin/verifica.exe ]; then
  wine build-win/bin/pilota.exe --controlli --quando errore --pausa "$(win "$lavoro/pausa")" \
    "$(win "$PWD/build-win/bin/verifica.exe")" "$(win "$fornitura")" "$(win "$lavoro/manca.txt")" >/dev/null 2>&1 </dev/null &
  scatta win32-verifica "$lavoro/pausa"
  wait $! || true
fi
# The Qt converters above are ended before "Continua" (carvek waits on a message box): the Win32 one's supply.
if [ -n "$fornitura" ] && [ -x build/bin/verifica ]; then
  QT_QPA_PLATFORM=xcb build/bin/verifica "$fornitura" "$lavoro/manca.txt" >/dev/null 2>&1 &
  programma=$!
  sleep 3
  import -window root "$uscita/qt-verifica.png"
  kill "$programma" 2>/dev/null || true
  wait "$programma" 2>/dev/null || true
fi

wine build-win/bin/pilota.exe --controlli --pausa "$(win "$lavoro/pausa")" "$(win "$PWD/build-win/bin/obrisk.exe")" \
  >/dev/null 2>&1 </dev/null &
scatta win32-obrisk "$lavoro/pausa"
wait $! || true
if [ -x build/bin/obrisk ]; then
  QT_QPA_PLATFORM=xcb build/bin/obrisk >/dev/null 2>&1 &
  programma=$!
  sleep 2
  import -window root "$uscita/qt-obrisk.png"
  kill "$programma" 2>/dev/null || true
fi
ls "$uscita"
