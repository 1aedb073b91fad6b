#!/usr/bin/env bash
# The converter as scripts use it: every option, the exit statuses, batch
# runs with bad files among good ones, reproducible bytes under
# SOURCE_DATE_EPOCH, the picture outputs without a display, and --info /
# --peaks of the bundled sample.
#
# Expected texts are derived by hand:
#   - samples/polystyrene.sp is made by tools/make_samples.cpp: dates
#     "26/12/01" and "10:00:00.00", operator "Tesvar", 4000 to 450 1/cm at
#     1 1/cm (3551 points, DeltaX -1), 16 scans; its 25 bands are Lorentz
#     lines centred on whole wavenumbers (the kBands table there), each a
#     local minimum that the band search finds.
#   - Under LC_ALL=C and SOURCE_DATE_EPOCH=0 the SP stamp is 1970-01-01
#     00:00:00 UTC; the C locale's date format "%m/%d/%y" gives the
#     separator '/', so the "yy/mm/dd" date is "70/01/01", and its time
#     format "%H:%M:%S" plus ".00" gives "00:00:00.00".
# Usage: convert_command_test.sh SOURCE_DIR BINARY_DIR. Exit 77 = skipped.
set -u
source "$1/tests/shell_support.sh"
converter_test_setup "$@"

start_checks
# expect_status WANT COMMAND... : runs the command, stdout/stderr to files.
expect_status() {
  local want=$1
  shift
  "$@" >"$dir/out" 2>"$dir/err"
  local got=$?
  [ "$got" -eq "$want" ] || fail "exit $got (wanted $want): $* -- $(head -c 300 "$dir/err")"
}
# No display, whatever the caller's session has.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# --- help, version, usage errors ------------------------------------------
expect_status 0 "$convert" --version
[ "$(cat "$dir/out")" = "tesvar-convert 1.5a" ] || fail "--version printed: $(cat "$dir/out")"
expect_status 0 "$convert" --help
grep -q "^Usage: tesvar-convert \[OPTIONS\] INPUT OUTPUT" "$dir/out" || fail "--help lacks the usage"
for args in "" "--bogus $sample x.jdx" "$sample x.doc"; do
  # shellcheck disable=SC2086
  expect_status 2 "$convert" $args
  grep -q "^tesvar-convert: " "$dir/err" || fail "usage error without a message: $args"
  grep -q "Try 'tesvar-convert --help'" "$dir/err" || fail "usage error without the hint: $args"
  [ ! -s "$dir/out" ] || fail "usage error printed to standard output: $args"
done

# --- reproducible bytes -------------------------------------------------------
outputs="sp jdx asc plt svg wmf png pdf"
make_all() {  # make_all FOLDER
  mkdir -p "$1"
  for ext in $outputs; do
    LC_ALL=C SOURCE_DATE_EPOCH=0 "$convert" --grid --label-peaks "$sample" "$1/a.$ext" ||
      fail "converting to $ext"
  done
  LC_ALL=C SOURCE_DATE_EPOCH=0 "$convert" --compressed "$sample" "$1/c.jdx" || fail "DIFDUP"
}
make_all "$dir/run1"
sleep 1  # a clock that reached any file would now show another second
make_all "$dir/run2"
for f in "$dir"/run1/*; do
  cmp -s "$f" "$dir/run2/$(basename "$f")" || fail "$(basename "$f") differs between two runs"
done
stamp=$(sed -n '6p;7p' "$dir/run1/a.sp" | tr -d '\r' | tr '\n' ' ')
[ "$stamp" = "70/01/01 00:00:00.00 " ] || fail "SP modification stamp is '$stamp'"

# --- the picture outputs ----------------------------------------------------
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'; }
[ "$(head -c 8 "$dir/run1/a.png" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] ||
  fail "a.png is not a PNG file"
[ "$(png_size "$dir/run1/a.png")" = "1200x400" ] || fail "default PNG size $(png_size "$dir/run1/a.png")"
expect_status 0 "$convert" --size 640x300 "$sample" "$dir/small.png"
[ "$(png_size "$dir/small.png")" = "640x300" ] || fail "--size 640x300 gave $(png_size "$dir/small.png")"
[ "$(head -c 4 "$dir/run1/a.wmf" | od -An -tx1 | tr -d ' \n')" = "d7cdc69a" ] ||
  fail "a.wmf lacks the placeable metafile key"
expect_status 0 "$convert" --grid --label-peaks --screen 800x600 "$sample" "$dir/small.wmf"
cmp -s "$dir/small.wmf" "$dir/run1/a.wmf" && fail "--screen 800x600 changed nothing"
[ "$(head -c 5 "$dir/run1/a.pdf")" = "%PDF-" ] || fail "a.pdf is not a PDF file"
if command -v pdfinfo >/dev/null 2>&1; then
  pdfinfo "$dir/run1/a.pdf" | grep -q "^Pages: *1$" || fail "a.pdf is not one page"
  pdfinfo "$dir/run1/a.pdf" | grep -q "^Page size:.*(A4)" || fail "a.pdf is not A4"
fi
# --grid and --label-peaks reach the drawing: band 1601 is labelled.
expect_status 0 "$convert" "$sample" "$dir/plain.svg"
grep -q ">1601.0<" "$dir/plain.svg" && fail "labels without --label-peaks"
grep -q ">1601.0<" "$dir/run1/a.svg" || fail "--label-peaks did not label band 1601"
expect_status 0 "$convert" --grid "$sample" "$dir/grid.svg"
[ "$(wc -c <"$dir/grid.svg")" -gt "$(wc -c <"$dir/plain.svg")" ] || fail "--grid drew nothing"

# --- batch with bad files among good ones ----------------------------------
cp "$sample" "$dir/one.sp"
cp "$sample" "$dir/two.sp"
printf 'not a spectrum\r\n' >"$dir/bad.sp"
expect_status 1 "$convert" --to jdx --compressed --verify --output-dir "$dir/batch" \
  "$dir/one.sp" "$dir/bad.sp" "$dir/nothere.sp" "$dir/two.sp"
for name in one two; do
  [ -s "$dir/batch/$name.jdx" ] || fail "batch did not write $name.jdx"
  grep -q "^##\$ASDF FORM= DIFDUP" "$dir/batch/$name.jdx" || fail "$name.jdx is not DIFDUP"
  grep -q "^$dir/batch/$name.jdx: largest ordinate difference 0\.00000" "$dir/out" ||
    fail "no check report for $name.jdx"
done
[ -e "$dir/batch/bad.jdx" ] && fail "a file was written for bad.sp"
grep -qx "tesvar-convert: $dir/bad.sp: Unknown file format!" "$dir/err" || fail "bad.sp message"
grep -qx "tesvar-convert: $dir/nothere.sp: File not found." "$dir/err" || fail "nothere.sp message"
[ "$(wc -l <"$dir/err")" -eq 2 ] || fail "more messages than the two bad files: $(cat "$dir/err")"
expect_status 0 "$convert" --to asc --output-dir "$dir/batch" "$dir/one.sp" "$dir/two.sp"

# --- --info and --peaks of the sample ----------------------------------------
expect_status 0 "$convert" --info "$sample"
cat >"$dir/info.want" <<'INFO'
Date of acquisition: 26/12/01,  10:00:00.00
Last modification: 26/12/01,  10:00:00.00
Operator: Tesvar
Comment: Polystyrene film (synthetic sample)
First X (1/cm): 4000.0
Last X (1/cm): 450.0
Delta X (1/cm): -1.00
Number of data points: 3551
Number of scans: 16
INFO
diff "$dir/info.want" "$dir/out" >/dev/null || fail "--info printed: $(cat "$dir/out")"
expect_status 0 "$convert" --peaks "$sample"
want="3082.0 3060.0 3026.0 3001.0 2924.0 2850.0 1944.0 1871.0 1801.0 1745.0 1601.0 1583.0"
want="$want 1493.0 1452.0 1370.0 1181.0 1155.0 1069.0 1028.0 965.0 906.0 842.0 757.0 698.0 540.0"
[ "$(tr '\n' ' ' <"$dir/out")" = "$want " ] || fail "--peaks printed: $(tr '\n' ' ' <"$dir/out")"

# --- the shared real files, when they are there -----------------------------
shared=$src/../shared/testdata
if [ -d "$shared/jcamp" ]; then
  expect_status 0 "$convert" --verify "$shared/jcamp/isopropanol_asdf.jdx" "$dir/iso.sp"
  expect_status 0 "$convert" --verify "$dir/iso.sp" "$dir/iso.asc"
  expect_status 0 "$convert" --verify "$dir/iso.asc" "$dir/iso.jdx"
  # Not an infrared spectrum: the JCAMP-DX import's own text.
  expect_status 1 "$convert" "$shared/jcamp/ethanol_nmr.jdx" "$dir/nmr.sp"
  grep -qx "tesvar-convert: $shared/jcamp/ethanol_nmr.jdx: no IR spectrum" "$dir/err" ||
    fail "NMR file message: $(cat "$dir/err")"
else
  echo "note: $shared is absent; the real-file cases were skipped"
fi

end_checks "all converter command checks passed"
