#!/bin/sh
# The office's guide printed as a person prints it (headless Chromium): it stands alone (no script,
# nothing loaded from elsewhere), every page is A4 upright, and the printed text holds every section of
# the page in its order, among them those the office needs.
#
#   sh test_guida.sh GUIDA.html CARTELLA        (the PDF and its text go into CARTELLA)
set -e
pagina=$1
uscita=$2
mkdir -p "$uscita"
esito=0
errore() {
  printf 'guida: %s\n' "$*"
  esito=1
}

# The sections the office needs: what each program does, where the exports and the supplies are, how to
# check, list and compare a supply (also from the command line), the messages.
richieste="Che cosa fa ciascun programma
Dove ogni programma cerca l'esportazione
Dove va la fornitura
Controllare una fornitura prima di inviarla
La distinta
Confrontare due forniture
Dalla riga di comando
Messaggi frequenti e che cosa fare"

if grep -qi '<script\|<iframe\|<link\|<img\|@import\|url(' "$pagina"; then
  errore "la pagina carica qualcosa da fuori o ha uno script"
fi
if grep -qiE '(src|href)="[^#]' "$pagina"; then
  errore "la pagina rimanda a file o indirizzi esterni"
fi

sh "$(dirname "$0")/stampa_pdf.sh" "$pagina" "$uscita/guida.pdf"
testo="$uscita/guida.txt"

pagine=$(pdfinfo "$uscita/guida.pdf" | sed -n 's/^Pages: *//p')
[ "${pagine:-0}" -gt 0 ] || errore "il PDF non ha pagine"
# "Page    1 size: 594.96 x 841.92 pts (A4)" for each page.
pdfinfo -f 1 -l "$pagine" "$uscita/guida.pdf" | grep '^Page.* size:' >"$uscita/formati"
if [ "$(grep -c ' (A4)' "$uscita/formati")" -ne "$pagine" ]; then
  errore "non tutte le pagine sono A4:"
  cat "$uscita/formati"
fi
awk '{ if ($4 + 0 >= $6 + 0) exit 1 }' "$uscita/formati" || errore "pagine non verticali"

# The page's sections, each printed, in their order (the table of contents names them first: the last
# time each is printed is its own heading).
sed -n 's/.*<h2[^>]*>\(.*\)<\/h2>.*/\1/p' "$pagina" >"$uscita/sezioni"
[ -s "$uscita/sezioni" ] || errore "la pagina non ha sezioni"
precedente=0
while IFS= read -r sezione; do
  riga=$(grep -nF "$sezione" "$testo" | tail -n 1 | cut -d: -f1)
  if [ -z "$riga" ]; then
    errore "la sezione '$sezione' non è nel PDF"
  elif [ "$riga" -le "$precedente" ]; then
    errore "la sezione '$sezione' non è al suo posto"
  else
    precedente=$riga
  fi
done <"$uscita/sezioni"
printf '%s\n' "$richieste" | while IFS= read -r richiesta; do
  grep -qF "$richiesta" "$uscita/sezioni" || echo "$richiesta"
done >"$uscita/mancanti"
if [ -s "$uscita/mancanti" ]; then
  errore "mancano le sezioni: $(tr '\n' ';' <"$uscita/mancanti")"
fi

[ "$esito" -eq 0 ] && echo "guida: $pagine pagine A4, $(wc -l <"$uscita/sezioni") sezioni stampate in ordine"
exit $esito
