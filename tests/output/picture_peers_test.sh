#!/usr/bin/env bash
# Opens the metafile and the PDF printout with independent programs:
#   wmf2gd      (libwmf) draws each placeable metafile; it must exit 0 with
#               no message besides its progress counter, and the picture must
#               not be blank; the one with the grid must carry more ink than
#               the one without (the grey dotted pens are honoured);
#   pdfinfo     the printout is one A4 page;
#   pdftoppm    (poppler) renders that page at 60 dpi. The printout bitmap is
#               4760 x 2380 printer pixels at (100, 100) of a 600 dpi page,
#               copied unscaled, so at 60 dpi it covers (10, 10) ... (486,
#               248) and everything not white must lie in there. Its content
#               reaches from the ordinate texts to the frame's right edge and
#               from the title to the wavenumber texts: at least (20, 25) ...
#               (470, 240). (Poppler happens to shade the bitmap's paper 254,
#               which makes the box exactly the bitmap's place.)
# Usage: picture_peers_test.sh SOURCE_DIR BINARY_DIR. Exit 77 = a program is
# missing.
set -u
src=$1
bin=$2
source "$src/tests/shell_support.sh"
need_programs skip wmf2gd pdftoppm pdfinfo python3
start_checks

if ! TESVAR_PICTURE_DIR="$dir" QT_QPA_PLATFORM=offscreen "$bin/plot_output_qttest" writePictures \
  >"$dir/qttest.log" 2>&1; then
  cat "$dir/qttest.log"
  echo "FAIL: could not write the pictures"
  exit 1
fi

# "inked-per-mille left top right bottom" of a PGM or PNG picture.
measure() {
  python3 "$src/tests/image_ink.py" "$1"
}

# wmf2gd writes a progress counter (" 42%" and three backspaces) on
# standard error; anything else it says is a complaint.
declare -A wmf_ink
for name in sample plain; do
  wmf="$dir/$name.wmf"
  said=$(wmf2gd -o "$wmf.png" "$wmf" 2>&1)
  rc=$?
  [ $rc -eq 0 ] || fail "$name.wmf: wmf2gd exit status $rc"
  said=$(printf '%s' "$said" | tr '\b\r' '\n\n' | grep -v '^ *[0-9]*%$' | grep -v '^$')
  [ -z "$said" ] || fail "$name.wmf: wmf2gd says: $said"
  if [ -f "$wmf.png" ]; then
    read -r share _ <<<"$(measure "$wmf.png")"
    echo "$name.wmf: wmf2gd drew $share per mille"
    [ "${share:-0}" -ge 5 ] || fail "$name.wmf: wmf2gd picture is blank ($share per mille)"
    wmf_ink[$name]=${share:-0}
  else
    fail "$name.wmf: wmf2gd wrote no picture"
  fi
done
if [ "${wmf_ink[sample]:-0}" -le "${wmf_ink[plain]:-0}" ]; then
  fail "the metafile with grid and labels has no more ink than the plain one"
fi

pdf="$dir/printout.pdf"
info=$(pdfinfo "$pdf" 2>&1) || fail "printout.pdf: pdfinfo: $info"
echo "$info" | grep -q '^Pages: *1$' || fail "printout.pdf is not one page: $(echo "$info" | grep Pages)"
echo "$info" | grep -q '^Page size:.*(A4)' || fail "printout.pdf is not A4: $(echo "$info" | grep 'Page size')"
said=$(pdftoppm -r 60 -gray "$pdf" "$dir/page" 2>&1) || fail "printout.pdf: pdftoppm: $said"
[ -z "$said" ] || fail "printout.pdf: pdftoppm says: $said"
page=$(ls "$dir"/page*.pgm 2>/dev/null | head -n 1)
if [ -n "$page" ]; then
  read -r share left top right bottom <<<"$(measure "$page")"
  echo "printout.pdf: pdftoppm drew $share per mille, ink from ($left, $top) to ($right, $bottom)"
  # The plot fills a third of the page, with lines a tenth of a pixel wide
  # at this resolution: little ink, but not none.
  [ "${share:-0}" -ge 1 ] || fail "printout.pdf: the page is blank ($share per mille)"
  if [ "$left" -lt 10 ] || [ "$top" -lt 10 ] || [ "$right" -gt 486 ] || [ "$bottom" -gt 248 ]; then
    fail "printout.pdf: drawing outside the bitmap's place on the page"
  fi
  if [ "$left" -gt 20 ] || [ "$top" -gt 25 ] || [ "$right" -lt 470 ] || [ "$bottom" -lt 240 ]; then
    fail "printout.pdf: the plot is smaller than the bitmap"
  fi
else
  fail "printout.pdf: pdftoppm wrote no page"
fi

end_checks "metafiles opened by wmf2gd, printout by pdfinfo and pdftoppm"
