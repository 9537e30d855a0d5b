#!/bin/sh
# Runs a Windows program of the tests under Wine: the command through which ctest runs every test of
# the Windows build and lists the tests of each test program (WINEPREFIX, the other Wine settings
# and FORNITURA_WINE, the wine command, come from the toolchain's emulator command).
#
# Debian's wineserver ends as soon as the last program of its prefix does. A test run by ctest alone
# (not by scripts/test-windows.sh, which keeps one server for the whole run) would then start Wine
# afresh, server and services, for one test after another: seconds on a busy machine, beyond the
# time the test listing is given. So the first test of a run, under a lock, creates the prefix when
# it is missing, starts a server that outlives the last program by a minute, and starts Wine's
# services out of the tests' output (a service started by a test would hold that test's output open
# until Wine ends).
set -e
: "${WINEPREFIX:?WINEPREFIX is not set}"
wine=${FORNITURA_WINE:-wine}
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # The first start of a new prefix ends with an error about the 32-bit part, which is not needed
    # here; the prefix is complete when Wine has ended and written it out.
    "$wine" wineboot -i </dev/null >/dev/null 2>&1 9>&- || true
    "$wineserver" -w 9>&-
  fi
  # 0 when it has started a server, 2 when one is running already. What Wine starts here keeps
  # running after the lock is given back: it must not hold the lock's file open (9>&-).
  if "$wineserver" -p60 </dev/null >/dev/null 2>&1 9>&-; then
    "$wine" wineboot </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$WINEPREFIX.lock"

# A run is made once again, and only the second run's result counts, when the first did not get as far as
# the program's own output:
# - Wine's Linux side can fail as a program ends, after the program itself has finished (and its tests
#   passed): glibc's loader stops the process with "Inconsistency detected by ld.so: dl-fini.c", a race in
#   Wine's shutdown that has nothing to do with the test;
# - very rarely (about once in a few thousand starts, under load) a program ends with an error status and
#   without a byte of output, in a fraction of a second. Every test program writes its first line before
#   any test runs, and a test that fails says so, so such a run never ran a test, or its end took its output
#   with it: Wine did not start it, or ended it as it ended.
# The output of a first run that is dropped is never shown, so that a test listing is never given twice;
# its status is.
uscita=$(mktemp)
errori=$(mktemp)
trap 'rm -f "$uscita" "$errori"' EXIT
for prova in 1 2; do
  stato=0
  "$wine" "$@" >"$uscita" 2>"$errori" || stato=$?
  if [ "$stato" -ne 0 ] && [ "$prova" -eq 1 ]; then
    if grep -q "Inconsistency detected by ld.so: dl-fini.c" "$errori"; then
      echo "wine-test.sh: Wine stopped in ld.so as the program ended (status $stato); run again" >&2
      continue
    fi
    if [ ! -s "$uscita" ]; then
      echo "wine-test.sh: status $stato without any output ($(wc -c <"$errori") bytes of errors: $(head -c 300 "$errori" | tr '\n' ' ')); run again" >&2
      continue
    fi
  fi
  cat "$uscita"
  cat "$errori" >&2
  [ "$stato" -eq 0 ] || echo "wine-test.sh: status $stato" >&2
  exit "$stato"
done
