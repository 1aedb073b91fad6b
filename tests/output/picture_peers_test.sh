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
bin=$2

for program in wmf2gd pdftoppm pdfinfo python3; do
  if ! command -v "$program" >/dev/null 2>&1; then
    echo "SKIP: $program is not installed"
    exit 77
  fi
done

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! TESVAR_PICTURE_DIR="$dir" QT_QPA_PLATFORM=offscreen "$bin/plot_output_qttest" writePictures \
  >"$dir/qttest.log" 2>&1; then
  cat "$dir/qttest.log"
  echo "FAIL: could not write the pictures"
  exit 1
fi

# Prints "inked-per-mille left top right bottom" of a binary PGM (P5) or a
# PNG of 8-bit grey, grey with alpha, RGB or RGBA without interlacing. A
# pixel is ink when it is opaque enough and darker than light grey; the
# bounding box (-1 when there is none) is that of every pixel not pure white,
# so that it includes lines too thin to count as ink.
measure() {
  python3 - "$1" <<'EOF'
import struct, sys, zlib

data = open(sys.argv[1], 'rb').read()

def report(width, height, pixels):
    # pixels(row) -> the row's (ink, not white) pairs
    inked, left, top, right, bottom = 0, width, height, -1, -1
    for y in range(height):
        row = pixels(y)
        inked += sum(ink for ink, _ in row)
        marked = [mark for _, mark in row]
        if any(marked):
            top = min(top, y)
            bottom = y
            left = min(left, marked.index(True))
            right = max(right, width - 1 - marked[::-1].index(True))
    if right < 0:
        left = top = -1
    print(1000 * inked // (width * height), left, top, right, bottom)

if data[:2] == b'P5':
    fields, pos = [], 2
    while len(fields) < 3:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(int(data[pos:end]))
        pos = end
    width, height, maxval = fields
    assert maxval == 255, 'unexpected PGM depth'
    grey = data[pos + 1:]
    report(width, height, lambda y: [(v < 200, v < 255) for v in grey[y * width:(y + 1) * width]])
    sys.exit(0)

assert data[:8] == b'\x89PNG\r\n\x1a\n', 'neither PGM nor PNG'
pos, idat = 8, b''
while pos < len(data):
    length, kind = struct.unpack('>I4s', data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    if kind == b'IHDR':
        width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
    elif kind == b'IDAT':
        idat += body
    pos += 12 + length
channels = {0: 1, 2: 3, 4: 2, 6: 4}.get(colour)
assert depth == 8 and channels and interlace == 0, 'unexpected PNG layout'
raw = zlib.decompress(idat)
stride = width * channels
rows, previous = [], bytearray(stride)
for y in range(height):
    kind = raw[y * (stride + 1)]
    line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for i in range(stride):
        a = line[i - channels] if i >= channels else 0
        b = previous[i]
        c = previous[i - channels] if i >= channels else 0
        if kind == 1:
            line[i] = (line[i] + a) & 255
        elif kind == 2:
            line[i] = (line[i] + b) & 255
        elif kind == 3:
            line[i] = (line[i] + (a + b) // 2) & 255
        elif kind == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    colours = 1 if channels <= 2 else 3
    alpha = channels in (2, 4)
    ink = []
    for i in range(0, stride, channels):
        opaque = line[i + channels - 1] >= 128 if alpha else True
        darkest = min(line[i:i + colours])
        ink.append((opaque and darkest < 200, opaque and darkest < 255))
    rows.append(ink)
    previous = line
report(width, height, lambda y: rows[y])
EOF
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

if [ $failures -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "metafiles opened by wmf2gd, printout by pdfinfo and pdftoppm"
