#!/bin/sh
# genera_archivio: an office's year of supplies, written by the real converters from generated exports, the same
# bytes on every run. Each employer has its folder (the converters name a month's supply by the month alone, so
# that two employers' supplies of one month cannot share a folder): twelve monthly UniEmens of 2010, twelve DMA
# for one employer in ten (public bodies), a 770 (tax year 2010) and a TFR supply. The first employer has 2,000
# persons a month, the others from 2 to 120. Three faults of the set are planted, each to be found once by
# `fornitura verifica CARTELLA --ricorsivo`, and nothing else of the set:
#   - employer 5's March converted twice, the first document kept under another name (two documents of one
#     position and month: an error);
#   - employer 9's February reported for one worker by an E-Mens too (a worker in an E-Mens and a UniEmens);
#   - employer 20's July sent twice (a copy of its document under another name: a resend).
# Each month's exports have that month's weeks and daily calendar: a worker works, from the day of hiring to the
# day of cessation, on the weekdays the generated line works on; the line of the previous month keeps its week.
#
#   sh bench/genera_archivio.sh FORNITURA GENERA_ESPORTAZIONI CARTELLA [DATORI [GRANDE]]
#
# DATORI employers (80 by default; the planted faults need 21), the first of GRANDE persons (2,000).
set -e
[ $# -ge 3 ] || { echo "uso: sh bench/genera_archivio.sh FORNITURA GENERA_ESPORTAZIONI CARTELLA [DATORI]" >&2; exit 2; }
F=$1
G=$2
A=$3
DATORI=${4:-80}
GRANDE=${5:-2000}
ORA=2011-01-20T09:00:00
rm -rf "$A"
mkdir -p "$A"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT

# An 11-digit tax code of a company with its check digit: PREFISSO (1 digit), seven digits of the employer's
# number, the office code 027.
partita_iva() {
  printf '%d%06d027' "$1" "$2" | awk '{
    s = 0
    for (i = 1; i <= 10; i++) {
      d = substr($0, i, 1) + 0
      if (i % 2 == 0) { d *= 2; if (d > 9) d -= 9 }
      s += d
    }
    printf "%s%d\n", $0, (10 - s % 10) % 10
  }'
}

# The export $1 with column $2 (from 0) set to $3 on every line, in place; or, with $4, on line $4 only.
colonna() {
  awk -F '\t' -v OFS='\t' -v c="$2" -v v="$3" -v r="${4:-0}" \
    '{ if (r == 0 || NR == r) { sub(/\r$/, "", $NF); $(c + 1) = v; $NF = $NF "\r" } print }' "$1" >"$1.nuovo"
  mv "$1.nuovo" "$1"
}

# The export $1's weeks (column 25) and daily calendar (column 45) made those of month $2 of 2010, on every line
# that has them. The generated lines are of a month that begins on a Sunday: their day i works on weekday
# (i - 1) mod 7, Sunday 0. Weeks are counted from 1 January, each from its Sunday, as the documents count them.
mese_vero() {
  awk -F '\t' -v OFS='\t' -v m="$2" 'BEGIN {
      split("31 28 31 30 31 30 31 31 30 31 30 31", giorni, " ")
      inizio = 0
      for (i = 1; i < m; i++) inizio += giorni[i]
      primo = 5 # 1 January 2010 was a Friday
      n = giorni[m]
    }
    { sub(/\r$/, "", $NF)
      assunto = $18 != "" ? $18 + 0 : 1
      cessato = $20 != "" ? $20 + 0 : n
      if ($46 != "") {
        k = split($46, cal, "\035")
        for (w = 0; w < 7; w++) lavora[w] = 0
        for (i = 1; i <= k; i++) if (cal[i] == "S") lavora[(i - 1) % 7] = 1
        nuovo = ""
        for (d = 1; d <= n; d++)
          nuovo = nuovo (d > 1 ? "\035" : "") (d >= assunto && d <= cessato && lavora[(inizio + d - 1 + primo) % 7] ? "S" : "N")
        $46 = nuovo
      }
      if ($26 != "" && $30 != "PRECEDENTE") {
        k = split($26, settimane, "\035")
        ultima = settimane[k]
        sub(/^[0-9]*@/, "", ultima)
        da = int((inizio + assunto - 1 + primo) / 7) + 1
        a = int((inizio + cessato - 1 + primo) / 7) + 1
        nuovo = ""
        for (s = da; s <= a; s++) nuovo = nuovo (s > da ? "\035" : "") s "@" (s == a ? ultima : "X")
        $26 = nuovo
      }
      $NF = $NF "\r"
      print }' "$1" >"$1.nuovo"
  mv "$1.nuovo" "$1"
}

# A converter's run on the export folder $2 into the employer's folder $3.
converti() {
  "$F" "$1" --dir "$2" --archive "$3" --now $ORA >"$T/log" 2>&1 || { echo "fornitura $1 non riuscita:" >&2; cat "$T/log" >&2; exit 1; }
}

# The employer's month of UniEmens (or E-Mens, $1) of $5 lines from seed $6 into folder $7: tax code $2, name $3,
# month $4.
mese_inps() {
  rm -rf "$T/e"
  "$G" "$1" "$5" "$T/e" "$6" >/dev/null
  x=$T/e/EsportazioneINPS.tab
  colonna "$x" 1 "$3"
  colonna "$x" 2 "$2"
  colonna "$x" 7 2010
  colonna "$x" 8 "$4"
  colonna "$x" 9 "27$(printf '%08d' "$8")"
  mese_vero "$x" "$4"
  [ -z "${SOSTITUISCI:-}" ] || { colonna "$x" 10 "$(echo "$SOSTITUISCI" | cut -f1)" 1
    colonna "$x" 11 "$(echo "$SOSTITUISCI" | cut -f2)" 1; colonna "$x" 12 "$(echo "$SOSTITUISCI" | cut -f3)" 1; }
  cp "$x" "$T/ultima.tab"
  converti "$1" "$T/e" "$7"
}

PERSONE="2 3 4 6 8 10 15 20 30 50 80 120"
e=0
while [ $e -lt "$DATORI" ]; do
  cf=$(partita_iva 0 $((e * 7919 % 1000000 + 100)))
  nome="Azienda di prova $e S.r.l."
  d=$A/$cf
  mkdir -p "$d"
  if [ $e -eq 0 ]; then righe=$GRANDE; else righe=$(echo $PERSONE | cut -d' ' -f$((e % 12 + 1))); fi
  m=1
  while [ $m -le 12 ]; do
    mese_inps uniemens "$cf" "$nome" $m $righe $((e * 100 + m)) "$d" $e
    mm=$(printf '%02d' $m)
    if [ $e -eq 5 ] && [ $m -eq 3 ]; then
      mv "$d/INPSUNIEMENS-2010-03.xml" "$d/INPSUNIEMENS-2010-03_prima.xml"
      mese_inps uniemens "$cf" "$nome" 3 3 $((e * 100 + m + 50)) "$d" $e
    fi
    if [ $e -eq 9 ] && [ $m -eq 2 ]; then
      SOSTITUISCI=$(awk -F '\t' -v OFS='\t' '$31 == "DIPENDENTE" && $30 == "ATTUALE" { print $11, $12, $13; exit }' "$T/ultima.tab")
      export SOSTITUISCI
      mese_inps emens "$cf" "$nome" 2 2 $((e * 100 + m + 70)) "$d" $e
      unset SOSTITUISCI
    fi
    if [ $((e % 10)) -eq 3 ]; then
      rm -rf "$T/e"
      "$G" dma $((righe < 200 ? righe : 200)) "$T/e" $((e * 100 + m + 30)) >/dev/null
      x=$T/e/EsportazioneINPDAP.tab
      colonna "$x" 0 "$(partita_iva 8 $((e * 7919 % 1000000 + 100)))"
      colonna "$x" 4 "Comune di prova $e"
      colonna "$x" 10 "Comune di prova $e"
      colonna "$x" 8 2010
      colonna "$x" 9 "$mm"
      converti dma "$T/e" "$d"
    fi
    m=$((m + 1))
  done
  if [ $e -eq 20 ]; then cp "$d/INPSUNIEMENS-2010-07.xml" "$d/INPSUNIEMENS-2010-07 (copia).xml"; fi
  rm -rf "$T/e"
  "$G" 770 $righe "$T/e" $((e * 100 + 90)) >/dev/null
  colonna "$T/e/Esportazione770.tab" 0 "$cf"
  colonna "$T/e/Esportazione770.tab" 1 "$cf"
  colonna "$T/e/Esportazione770.tab" 2 "$nome"
  converti 770 "$T/e" "$d"
  rm -rf "$T/e"
  "$G" tfr $righe "$T/e" $((e * 100 + 95)) >/dev/null
  colonna "$T/e/EsportazioneTFR.tab" 1 "$cf"
  colonna "$T/e/EsportazioneTFR.tab" 2 "$nome"
  converti tfr "$T/e" "$d"
  e=$((e + 1))
done
# The converters' lock files stay, as in an office's archive: the check passes them over.
