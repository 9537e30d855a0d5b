#!/bin/sh
# Prints an HTML page to PDF in headless Chromium, as a person would print it (A4, the page's own
# layout), then writes the PDF's text beside it with pdftotext, one page after the other separated by a
# form feed. Used by the tests of the pages (the listing, the comparison, the guide).
#
#   sh stampa_pdf.sh PAGINA.html USCITA.pdf        (USCITA.txt holds the text)
set -e
pagina=$1
pdf=$2
[ -f "$pagina" ] || { echo "stampa_pdf: manca la pagina $pagina" >&2; exit 2; }
chromium=$(command -v chromium || command -v chromium-browser || true)
[ -n "$chromium" ] || { echo "stampa_pdf: chromium non installato" >&2; exit 2; }
command -v pdftotext >/dev/null || { echo "stampa_pdf: pdftotext non installato (poppler-utils)" >&2; exit 2; }
profilo=$(mktemp -d)
trap 'rm -rf "$profilo"' EXIT
assoluta=$(cd "$(dirname "$pagina")" && pwd)/$(basename "$pagina")
# No network here: Chromium's background connections are turned off, as is everything a first start does.
timeout 180 "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync --disable-extensions \
  --user-data-dir="$profilo" --no-pdf-header-footer --print-to-pdf="$pdf" "file://$assoluta" \
  >"$profilo/chromium.log" 2>&1 || { cat "$profilo/chromium.log" >&2; exit 1; }
[ -s "$pdf" ] || { echo "stampa_pdf: nessun PDF da $pagina" >&2; cat "$profilo/chromium.log" >&2; exit 1; }
pdftotext -layout "$pdf" "${pdf%.pdf}.txt"
