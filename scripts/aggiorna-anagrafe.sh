#!/bin/sh
# Builds genera_luoghi and writes anagrafe/luoghi_tabella.cpp again from the registries in anagrafe/dati
# (comuni_anpr.csv, stati_esteri.csv). Run it after changing those files, then commit both.
# BUILD_ANAGRAFE names the build folder (default build-anagrafe).
set -e
cd "$(dirname "$0")/.."
cartella="${BUILD_ANAGRAFE:-build-anagrafe}"
lanciatore=""
command -v ccache >/dev/null 2>&1 && lanciatore="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -S . -B "$cartella" -DCMAKE_BUILD_TYPE=Release -DFORNITURA_FINESTRE=OFF $lanciatore >/dev/null
cmake --build "$cartella" -j2 --target genera_luoghi
"$cartella/bin/genera_luoghi" anagrafe/dati anagrafe/luoghi_tabella.cpp
