#!/bin/sh
# The sources in the style of .clang-format: `sh scripts/formato.sh` rewrites every file that differs,
# `sh scripts/formato.sh --controlla` only names them and fails (the tests run it). The generated table of
# places is left as its generator writes it.
set -e
cd "$(dirname "$0")/.."
FORMATTATORE=$(command -v clang-format-14 || command -v clang-format)
file=$(git ls-files '*.cpp' '*.h' | grep -v '^anagrafe/luoghi_tabella\.cpp$')
if [ "$1" = "--controlla" ]; then
  diversi=""
  for f in $file; do
    "$FORMATTATORE" --style=file "$f" | cmp -s "$f" - || diversi="$diversi $f"
  done
  if [ -n "$diversi" ]; then
    echo "File da formattare (sh scripts/formato.sh):$diversi"
    exit 1
  fi
  exit 0
fi
# shellcheck disable=SC2086
"$FORMATTATORE" -i --style=file $file
