#!/usr/bin/env bash
# Makes the seed files of the fuzz corpora that come from the sample
# spectrum, with the program's own converter (its writers):
#   fuzz/make_corpus.sh build/tesvar-convert
# The hand-made seeds beside them are committed as they are. The seeds are
# kept small (a 61-point cut around the 1601 1/cm band, one full DIFDUP
# file): libFuzzer mutates every seed many times, and short inputs run
# faster.
set -euo pipefail
cd "$(dirname "$0")/.."
convert=$(realpath "$1")
corpus=fuzz/corpus
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A fixed time stamp: the imports take the file's time as the date.
stamp() { touch -d "2026-12-01 10:00:00" "$@"; }

"$convert" samples/polystyrene.sp "$work/polystyrene.asc"
"$convert" --compressed samples/polystyrene.sp "$corpus/jcamp_reader/polystyrene_difdup.jdx"

# Points 2380 ... 2440 of the list: 1620 down to 1560 1/cm.
sed -n '2381,2441p' "$work/polystyrene.asc" >"$corpus/ascii_list/band_1601.asc"
cp "$corpus/ascii_list/band_1601.asc" "$work/band.asc"
stamp "$work/band.asc"
"$convert" "$work/band.asc" "$corpus/sp_reader/band_1601.sp"
"$convert" "$work/band.asc" "$corpus/jcamp_reader/band_1601_fix.jdx"
"$convert" --compressed "$work/band.asc" "$corpus/jcamp_reader/band_1601_difdup.jdx"

# The decoder's seeds: a set-up byte (transmittance, YFACTOR 0.00001, X
# descending: 0x05) and the data lines of the two band exports.
for form in fix difdup; do
  {
    printf '\005\000\000'
    sed -n '/^##XYDATA=/,/^##END=/p' "$corpus/jcamp_reader/band_1601_$form.jdx" | sed '1d;$d'
  } >"$corpus/jcamp_decoder/band_1601_$form"
done
