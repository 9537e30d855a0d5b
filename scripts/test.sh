#!/bin/sh
# Builds everything (windows included) and runs every test.
set -e
cd "$(dirname "$0")/.."
sh scripts/dipendenze.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2
