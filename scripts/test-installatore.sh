#!/bin/sh
# The Windows installer under Wine, over the Windows build in build-win/ (scripts/test-windows.sh makes it
# and calls this script; run alone, it uses the same Wine prefix, build-win/wine, which must exist).
#
# cpack makes the installer, and an older-numbered one from the same programs. The installer's first page
# must be in Italian. The older one is installed silently into a folder whose name has a space and an
# accented letter; the host's exports are put beside the programs and an older supply into
# C:\KORVANTE\ARC; the new one is installed over it (the upgrade), with the Start-menu entries
# ("Verifica forniture", "Guida"), "Verifica fornitura" in the Send To menu and the guide; the uninstaller's
# page must be in Italian too; an installed converter converts its sample export, and its supply must be
# the Linux one, byte for byte; the silent uninstall must then remove every installed file and entry and
# leave the exports, their folders and the archive folder as they were.
set -e
cd "$(dirname "$0")/.."
radice="$PWD"
costruzione="$radice/build-win"
prova="$costruzione/prova-installatore"
linux="$radice/build/bin/fornitura"

if [ ! -f "$costruzione/CPackConfig.cmake" ]; then
  echo "Manca la compilazione per Windows in build-win (sh scripts/test-windows.sh)"
  exit 1
fi
if [ -z "$WINEPREFIX" ]; then
  # Alone: the windows need an X server, and one Wine server serves the whole run.
  if [ -z "$DISPLAY" ] && [ -f "$costruzione/bin/pilota.exe" ]; then
    exec xvfb-run -a sh "$0" "$@"
  fi
  WINEPREFIX="$costruzione/wine"
  WINEDEBUG=-all
  WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
  wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
  trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
  "$wineserver" -p </dev/null >/dev/null 2>&1 || true
  wine wineboot </dev/null >/dev/null 2>&1
fi
if [ ! -x "$linux" ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build -j2 --target fornitura >/dev/null
fi

esito=0
# printf, not echo: the Windows paths have backslashes.
errore() {
  printf 'installatore: %s\n' "$*"
  esito=1
}

versione=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$costruzione/CPackConfig.cmake")
editore=$(sed -n 's/^set(CPACK_PACKAGE_VENDOR "\(.*\)")$/\1/p' "$costruzione/CPackConfig.cmake")
chiave_disinstallazione='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Forniture'
chiave_programmi="HKLM\\Software\\$editore\\Forniture"

echo "== Installatore (cpack -G NSIS)"
rm -rf "$prova"
mkdir -p "$prova"
# A clean folder of its own, as in a fresh build folder: exactly one installer.
(cd "$costruzione" && cpack -G NSIS -B "$prova/pacchetto" >"$prova/cpack.log")
set -- "$prova"/pacchetto/*.exe
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
  echo "installatore: cpack deve fare un solo installatore, ha fatto: $*"
  exit 1
fi
installatore="$1"
echo "$(basename "$installatore"): $(wc -c <"$installatore") byte"
(cd "$costruzione" && cpack -G NSIS -B "$prova/vecchio" -D CPACK_PACKAGE_VERSION=0.9 \
  -D CPACK_PACKAGE_FILE_NAME=Forniture-0.9-win64 >"$prova/cpack-vecchio.log")
vecchio="$prova/vecchio/Forniture-0.9-win64.exe"

# A string value of a registry key ("@" the default one); empty when the key or the value is missing.
# The key goes through a .reg file (UTF-16): reg query prints in the console's code page.
valore() {
  rm -f "$prova/chiave.reg"
  wine reg export "$1" "$(winepath -w "$prova/chiave.reg")" /y >/dev/null 2>&1 || return 0
  if [ "$2" = @ ]; then nome='@'; else nome="\"$2\""; fi
  iconv -f UTF-16 -t UTF-8 "$prova/chiave.reg" | tr -d '\r' |
    sed -n "s/^$nome=\"\(.*\)\"\$/\1/p" | sed -e 's/\\\\/\\/g' -e 's/\\"/"/g'
}
# Read again a few times before it is called wrong: under load Wine's reg now and then exports a key without
# the value just written, which the next export has.
atteso() { # key, value name, expected text
  tentativi=0
  while trovato=$(valore "$1" "$2") && [ "$trovato" != "$3" ] && [ "$tentativi" -lt 5 ]; do
    tentativi=$((tentativi + 1))
    sleep 0.2
  done
  [ "$trovato" = "$3" ] || errore "$1 $2: '$trovato' invece di '$3'"
}

# The programs this build makes: the converters and their samples, then the others.
convertitori="carvek:770 lunfort:uniemens sabrelt:dma pelvorn:emens zandrik:tfr"
programmi=""
for voce in $convertitori obrisk: verifica: fornitura:; do
  programma=${voce%%:*}
  [ -f "$costruzione/bin/$programma.exe" ] && programmi="$programmi $programma"
done
echo "Programmi:$programmi"

pilota="$costruzione/bin/pilota.exe"
# A shortcut's target, as the .lnk file names it (its local path, in the system's code page: an accented
# letter cuts it, the end stays).
destinazione() {
  LC_ALL=C tr -c '[:print:]' '\n' <"$1" | grep '\\' | grep -i '\.exe$\|\.html$' | head -n 1
}
# The Send To entry of the user who installs (Windows has none for all users).
invia_a() {
  find "$unita_c/users" -path '*/SendTo/Verifica fornitura.lnk' 2>/dev/null | head -n 1
}

cartella="$prova/Paghe e contabilità/Forniture"
mkdir -p "$prova/Paghe e contabilità"
cartella_win=$(winepath -w "$cartella")
unita_c="$WINEPREFIX/drive_c"
menu="$unita_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Forniture"

# Silent install. /D= must be the last argument and is not quoted even with spaces in it: given through
# cmd, as an IT person types it.
installa() {
  wine cmd /c "$(winepath -w "$1") /S /D=$cartella_win" </dev/null >"$prova/installa.out" 2>&1 || {
    errore "$(basename "$1") /S è finito con stato non zero"
    return 0
  }
  for programma in $programmi; do
    [ -f "$cartella/$programma/$programma.exe" ] || errore "$programma.exe non installato in $programma\\"
    cmp -s "$costruzione/bin/$programma.exe" "$cartella/$programma/$programma.exe" ||
      errore "$programma\\$programma.exe non è quello compilato"
    atteso "$chiave_programmi" "$programma" "$cartella_win\\$programma\\$programma.exe"
  done
  [ -f "$cartella/Disinstalla.exe" ] || errore "Disinstalla.exe non installato"
  atteso "$chiave_disinstallazione" DisplayName Forniture
  atteso "$chiave_disinstallazione" DisplayVersion "$2"
  atteso "$chiave_disinstallazione" Publisher "$editore"
  atteso "$chiave_disinstallazione" UninstallString "\"$cartella_win\\Disinstalla.exe\""
  atteso "$chiave_disinstallazione" InstallLocation "$cartella_win"
  atteso "$chiave_programmi" @ "$cartella_win"
  case " $programmi " in
  *" obrisk "*) [ -f "$menu/Test Cin e Check Digit IBAN.lnk" ] || errore "manca obrisk nel menu Start" ;;
  esac
  case " $programmi " in
  *" verifica "*)
    [ -f "$menu/Verifica forniture.lnk" ] || errore "manca Verifica forniture nel menu Start"
    case "$(destinazione "$menu/Verifica forniture.lnk")" in
    *'\verifica\verifica.exe') ;;
    *) errore "Verifica forniture nel menu Start non avvia verifica\\verifica.exe" ;;
    esac
    if [ -z "$(invia_a)" ]; then
      errore "manca Verifica fornitura nel menu Invia a"
    else
      case "$(destinazione "$(invia_a)")" in
      *'\verifica\verifica.exe') ;;
      *) errore "Verifica fornitura in Invia a non avvia verifica\\verifica.exe" ;;
      esac
    fi
    ;;
  esac
  # The office's guide, at the top of the folder, and its entry.
  cmp -s docs/guida.html "$cartella/Guida.html" || errore "Guida.html non installata o diversa da docs/guida.html"
  [ -f "$menu/Guida.lnk" ] || errore "manca la Guida nel menu Start"
  case "$(destinazione "$menu/Guida.lnk")" in
  *'\Guida.html') ;;
  *) errore "la Guida nel menu Start non apre Guida.html" ;;
  esac
  [ -f "$menu/Disinstalla.lnk" ] || errore "manca Disinstalla nel menu Start"
}

# The texts of a page of the installer or of the uninstaller, shown (not silent) until TESTO is there: the
# program is then ended, before it changes anything.
pagina() { # program and its arguments..., file of the texts; the text waited for is $quando
  uscita_pagina=$1
  shift
  wine "$pilota" --testi --quando "$quando" --attesa 60 "$@" >"$uscita_pagina" 2>&1 </dev/null ||
    errore "la pagina di $(basename "$1") non si è aperta (vedi $uscita_pagina)"
}

if [ -f "$pilota" ]; then
  echo "== Le pagine dell'installatore in italiano"
  # No installation recorded: the installer opens on its first page.
  wine reg delete "$chiave_disinstallazione" /f >/dev/null 2>&1 || true
  quando="Installazione di Forniture"
  pagina "$prova/pagina-installatore.txt" "$(winepath -w "$installatore")"
  for testo in "Installazione di Forniture" "Questo programma installerà Forniture nel computer" "Annulla"; do
    grep -qF "$testo" "$prova/pagina-installatore.txt" ||
      errore "la prima pagina dell'installatore non dice '$testo' (vedi $prova/pagina-installatore.txt)"
  done
  if grep -qF "Welcome" "$prova/pagina-installatore.txt"; then
    errore "la prima pagina dell'installatore è in inglese"
  fi
fi

echo "== Installazione silenziosa, prima una versione precedente"
# An uninstall entry left by an installation whose folder was deleted by hand must not stop the install.
wine reg add "$chiave_disinstallazione" /v UninstallString /d "\"$(winepath -w "$prova/sparita")\\Disinstalla.exe\"" \
  /f >/dev/null 2>&1
installa "$vecchio" 0.9

# What the host leaves beside the programs: each converter's export (from its sample), and an older
# supply in the archive folder.
esportazioni=""
for voce in $convertitori; do
  programma=${voce%%:*}
  case " $programmi " in *" $programma "*) ;; *) continue ;; esac
  cp samples/"${voce#*:}"/* "$cartella/$programma/"
  esportazioni="$esportazioni $programma"
done
if [ -z "$esportazioni" ]; then
  # A build without the windows: the command line's folder holds one, so that something the host wrote
  # sits beside an installed program.
  cp samples/uniemens/* "$cartella/fornitura/"
fi
# And a file of its own beside the uninstaller.
printf '[Gestionale]\r\n' >"$cartella/gestionale.ini"
(cd "$cartella" && find . -type f ! -name '*.exe' ! -name Guida.html | sort) >"$prova/esportazioni.elenco"
# Their contents, to compare after the upgrade and the uninstall.
impronte() {
  while read -r file; do
    if [ -f "$cartella/$file" ]; then cksum <"$cartella/$file"; else echo "manca"; fi
  done <"$prova/esportazioni.elenco"
}
impronte >"$prova/esportazioni.impronte"
archivio="$unita_c/KORVANTE/ARC"
mkdir -p "$archivio"
printf 'fornitura precedente\r\n' >"$archivio/INPSUNIEMENS-2000-01.xml"
cp "$archivio/INPSUNIEMENS-2000-01.xml" "$prova/archivio-precedente"

esportazioni_intatte() {
  impronte | cmp -s "$prova/esportazioni.impronte" - ||
    errore "$1: le esportazioni accanto ai programmi sono cambiate o sparite"
  cmp -s "$prova/archivio-precedente" "$archivio/INPSUNIEMENS-2000-01.xml" ||
    errore "$1: la fornitura in C:\\KORVANTE\\ARC è cambiata o sparita"
}

echo "== Aggiornamento silenzioso alla versione $versione"
installa "$installatore" "$versione"
esportazioni_intatte "aggiornamento"

if [ -f "$pilota" ]; then
  echo "== La pagina del programma di disinstallazione in italiano"
  # Run in place (_?=), as the upgrade runs it, and ended on its first page.
  quando="Disinstalla il programma Forniture"
  pagina "$prova/pagina-disinstallazione.txt" "$cartella_win\\Disinstalla.exe" "_?=$cartella_win"
  for testo in "Disinstalla il programma Forniture" "Annulla"; do
    grep -qF "$testo" "$prova/pagina-disinstallazione.txt" ||
      errore "la pagina del programma di disinstallazione non dice '$testo' (vedi $prova/pagina-disinstallazione.txt)"
  done
  [ -f "$cartella/Disinstalla.exe" ] || errore "il programma di disinstallazione fermato sulla sua pagina ha tolto qualcosa"
fi

echo "== I convertitori installati sulle loro esportazioni"
# Each installed converter is started in its folder, beside the export put there, as the host starts it:
# tests/win32/pilota confirms its message boxes and presses "Continua". Its supply must be the one the
# Linux `fornitura` writes from the same export, byte for byte. A build without the windows runs the
# installed fornitura.exe on the folder that holds the export instead.
converti() { # converter program, fornitura command
  riferimento="$prova/linux/$1"
  archivio_prova="$prova/windows/$1/ARC"
  # The run's date names the TFR supply: both sides run on the same day (again if midnight fell between).
  for _ in 1 2; do
    rm -rf "$riferimento" "$prova/windows/$1"
    mkdir -p "$riferimento/esportazione" "$riferimento/ARC" "$archivio_prova"
    giorno=$(date +%Y-%m-%d)
    ora=$(date +%Y-%m-%dT%H:%M:%S)
    cp samples/"$2"/* "$riferimento/esportazione/"
    "$linux" "$2" --dir "$riferimento/esportazione" --archive "$riferimento/ARC" --now "$ora" \
      >"$riferimento/out" 2>&1 || errore "fornitura $2 non converte l'esempio su Linux"
    stato=0
    if [ "$1" = fornitura ]; then
      wine "$cartella/fornitura/fornitura.exe" "$2" --dir "$cartella_win\\fornitura" \
        --archive "$(winepath -w "$archivio_prova")" --now "$ora" >"$prova/windows/$1/out" 2>&1 </dev/null || stato=$?
    else
      FORNITURA_ARCHIVE=$(winepath -w "$archivio_prova") wine "$pilota" --avvisi "$(winepath -w "$prova/windows/$1/avvisi")" \
        "$cartella_win\\$1\\$1.exe" >"$prova/windows/$1/out" 2>&1 </dev/null || stato=$?
    fi
    [ "$(date +%Y-%m-%d)" = "$giorno" ] && break
  done
  if [ "$stato" -ne 0 ]; then
    errore "$1.exe installato: stato $stato (vedi $prova/windows/$1/out)"
  elif [ -z "$(ls "$archivio_prova")" ] || ! diff -r "$riferimento/ARC" "$archivio_prova" >/dev/null; then
    errore "la fornitura di $1.exe installato differisce da quella di Linux ($archivio_prova, $riferimento/ARC)"
  else
    echo "$1.exe installato, nella sua cartella: $(ls "$archivio_prova"), come fornitura $2 su Linux"
  fi
}
if [ -n "$esportazioni" ] && [ -f "$pilota" ]; then
  for voce in $convertitori; do
    case " $esportazioni " in *" ${voce%%:*} "*) converti "${voce%%:*}" "${voce#*:}" ;; esac
  done
else
  converti fornitura uniemens
fi
# The run itself leaves nothing beside the programs.
(cd "$cartella" && find . -type f ! -name '*.exe' ! -name Guida.html | sort) | cmp -s "$prova/esportazioni.elenco" - ||
  errore "dopo le conversioni ci sono file nuovi accanto ai programmi"

echo "== Disinstallazione silenziosa"
# The uninstaller copies itself into the temporary folder, starts that copy and ends at once: the removal
# is over when its last traces (the programs' key and the Start-menu folder) are gone.
wine "$cartella/Disinstalla.exe" /S </dev/null >"$prova/disinstalla.out" 2>&1 || errore "Disinstalla.exe /S: stato non zero"
attesa=0
while [ -f "$cartella/Disinstalla.exe" ] || [ -d "$menu" ] || [ -n "$(invia_a)" ] ||
  [ -n "$(valore "$chiave_programmi" @)" ]; do
  attesa=$((attesa + 1))
  if [ "$attesa" -gt 120 ]; then
    errore "la disinstallazione non è finita in 60 secondi"
    break
  fi
  sleep 0.5
done
[ -z "$(valore "$chiave_disinstallazione" UninstallString)" ] || errore "la voce tra i programmi installati è rimasta"
[ ! -d "$menu" ] || errore "il menu Start Forniture è rimasto: $(ls "$menu" | tr '\n' ' ')"
[ -z "$(invia_a)" ] || errore "Verifica fornitura è rimasto nel menu Invia a"
# Left: the exports and the folders that hold them, nothing else.
(cd "$cartella" 2>/dev/null && find . -type f | sort) >"$prova/rimasti.elenco" || true
if ! cmp -s "$prova/esportazioni.elenco" "$prova/rimasti.elenco"; then
  errore "dopo la disinstallazione restano file diversi dalle esportazioni:"
  diff "$prova/esportazioni.elenco" "$prova/rimasti.elenco" || true
fi
esportazioni_intatte "disinstallazione"
rimaste=$(cd "$cartella" 2>/dev/null && find . -mindepth 1 -type d | sort | tr '\n' ' ' || true)
printf 'Rimasto in %s: %s file (%s), cartelle: %s\n' "$cartella_win" "$(wc -l <"$prova/rimasti.elenco")" \
  "$(tr '\n' ' ' <"$prova/rimasti.elenco" | sed 's/ $//')" "$rimaste"

if [ "$esito" -eq 0 ]; then
  echo "installatore: installato, aggiornato, eseguito e disinstallato; esportazioni e archivio intatti"
fi
exit $esito
