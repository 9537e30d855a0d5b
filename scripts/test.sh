#!/bin/sh
# Checks the sources' style, builds everything (windows included) and runs every test: the ordinary build, the same tests built
# with AddressSanitizer and UndefinedBehaviorSanitizer, each fuzzing harness for a bounded time
# (FUZZ_SECONDI seconds each, default 20), then the Windows side under Wine.
#
#   sh scripts/test.sh --rapido    the Linux build and its tests only (no sanitizers, fuzzers or Windows side),
#                                  for the edit-compile-test loop
set -e
cd "$(dirname "$0")/.."
sh scripts/dipendenze.sh

if [ "${1:-}" = --rapido ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build -j2
  ctest --test-dir build --output-on-failure -j2
  exit 0
fi

echo "== the sources in the style of .clang-format"
sh scripts/formato.sh --controlla

echo "== build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2

echo "== build and tests with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DFORNITURA_SANITIZER=ON >/dev/null
cmake --build build-asan -j2
# The random kills of large runs and the repeated races of two large runs are left to the ordinary build:
# under the sanitizers they take minutes and test the file system and its locks, not the code (the lock
# itself is tested here too, held by the test while a run starts). So is the bench archive: its rules run here in
# the archive cases, and its size is the ordinary build's to hold.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j2 \
  -E 'UccisoInMomentiACaso|DueElaborazioniInsiemeRipetute|ElaborazioneUccisaENuovaElaborazione|bench.archivio'

echo "== fuzzing"
sh scripts/fuzz.sh "${FUZZ_SECONDI:-20}"

# The Windows build and its tests under Wine, on every machine: scripts/test-windows.sh installs
# MinGW-w64, Wine, NSIS and Xvfb when they are missing.
echo "== Windows build and tests under Wine"
sh scripts/test-windows.sh
