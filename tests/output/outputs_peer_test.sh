#!/usr/bin/env bash
# Opens the HPGL and SVG exports with independent programs:
#   hp2xx            reads every plot file; it exits 0 even when it skips
#                    commands, so its report must say that none were ignored
#                    and nothing unexpected happened, and the bitmap it draws
#                    must not be blank;
#   xmllint          every SVG must be well-formed XML (no network: --nonet,
#                    and no validation, which would fetch the DTD);
#   rsvg-convert     every SVG must render to PNG without a message and the
#                    picture must not be blank.
# Usage: outputs_peer_test.sh SOURCE_DIR BINARY_DIR. Exit 77 = a program is
# missing.
set -u
src=$1
bin=$2
source "$src/tests/shell_support.sh"
need_programs skip hp2xx xmllint rsvg-convert python3
start_checks

if ! TESVAR_PLOT_SAMPLES_DIR="$dir" "$bin/tests_output" --gtest_filter='PlotSamples.*' >"$dir/gtest.log" 2>&1; then
  cat "$dir/gtest.log"
  echo "FAIL: could not write the sample plots"
  exit 1
fi

# The share of inked pixels (per mille) of a PBM or PNG picture.
ink() {
  python3 "$src/tests/image_ink.py" "$1" | cut -d' ' -f1
}

# expect_ink NAME PROGRAM PICTURE: the picture PROGRAM drew of NAME exists
# and is not blank; its share of ink is left in $share.
expect_ink() {
  share=0
  if [ ! -f "$3" ]; then
    fail "$1: $2 wrote no picture"
    return
  fi
  share=$(ink "$3")
  echo "$1: $2 drew $share per mille"
  [ "${share:-0}" -ge 5 ] || fail "$1: $2 picture is blank ($share per mille)"
}

for plt in "$dir"/*.plt; do
  name=$(basename "$plt")
  report=$(hp2xx -m pbm -f "$plt.pbm" "$plt" 2>&1)
  rc=$?
  [ $rc -eq 0 ] || fail "$name: hp2xx exit status $rc"
  echo "$report" | grep -q 'HPGL command(s) ignored: 0$' || fail "$name: hp2xx ignored commands: $(echo "$report" | grep -i 'ignored')"
  echo "$report" | grep -q 'Unexpected event(s):  *0$' || fail "$name: hp2xx reports unexpected events"
  expect_ink "$name" hp2xx "$plt.pbm"
  # The file selects no pen (a plotter starts with the pen its operator put
  # in); hp2xx draws lines then but skips label text. With pen 1 selected in
  # a copy, the texts (numbers, unit, title, peak labels) must add ink.
  sed '1s/^IN;/IN;SP1;/' "$plt" >"$dir/pen1.plt"
  if hp2xx -q -m pbm -f "$dir/pen1.pbm" "$dir/pen1.plt" >/dev/null 2>&1 && [ -f "$dir/pen1.pbm" ]; then
    with_text=$(ink "$dir/pen1.pbm")
    [ "${with_text:-0}" -gt "${share:-0}" ] || fail "$name: hp2xx drew no text ($with_text per mille with pen 1)"
  else
    fail "$name: hp2xx could not draw the copy with pen 1"
  fi
  rm -f "$dir/pen1.plt" "$dir/pen1.pbm"
done

for svg in "$dir"/*.svg; do
  name=$(basename "$svg")
  out=$(xmllint --noout --nonet "$svg" 2>&1) || fail "$name: xmllint: $out"
  [ -z "$out" ] || fail "$name: xmllint says: $out"
  out=$(rsvg-convert -f png -b white -o "$svg.png" "$svg" 2>&1) || fail "$name: rsvg-convert: $out"
  [ -z "$out" ] || fail "$name: rsvg-convert says: $out"
  expect_ink "$name" rsvg-convert "$svg.png"
done

end_checks "all exports opened by hp2xx, xmllint and rsvg-convert"
