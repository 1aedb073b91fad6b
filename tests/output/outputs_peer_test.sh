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
bin=$2

for program in hp2xx xmllint rsvg-convert python3; do
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

if ! TESVAR_PLOT_SAMPLES_DIR="$dir" "$bin/tests_output" --gtest_filter='PlotSamples.*' >"$dir/gtest.log" 2>&1; then
  cat "$dir/gtest.log"
  echo "FAIL: could not write the sample plots"
  exit 1
fi

# Prints the share of inked pixels (per mille) in a PBM (P4) or PNG file.
# PNG: 8-bit RGB or RGBA, not interlaced, as rsvg-convert writes them; a
# pixel counts when it is opaque enough and not white.
ink() {
  python3 - "$1" <<'EOF'
import struct, sys, zlib

data = open(sys.argv[1], 'rb').read()
if data[:2] == b'P4':
    fields, pos = [], 2
    while len(fields) < 2:
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
    width, height = fields
    bits = data[pos + 1:]
    stride = (width + 7) // 8
    inked = 0
    for row in range(height):
        line = bits[row * stride:(row + 1) * stride]
        for col in range(width):
            if line[col // 8] & (0x80 >> (col % 8)):
                inked += 1
    print(1000 * inked // (width * height))
    sys.exit(0)

assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG or PBM file'
pos, idat = 8, b''
while pos < len(data):
    length, kind = struct.unpack('>I4s', data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    if kind == b'IHDR':
        width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
    elif kind == b'IDAT':
        idat += body
    pos += 12 + length
assert depth == 8 and colour in (2, 6) and interlace == 0, 'unexpected PNG layout'
bpp = 4 if colour == 6 else 3
raw = zlib.decompress(idat)
stride = width * bpp
previous = bytearray(stride)
inked = 0
for row in range(height):
    kind = raw[row * (stride + 1)]
    line = bytearray(raw[row * (stride + 1) + 1:(row + 1) * (stride + 1)])
    for i in range(stride):
        a = line[i - bpp] if i >= bpp else 0
        b = previous[i]
        c = previous[i - bpp] if i >= bpp else 0
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
    for i in range(0, stride, bpp):
        alpha = line[i + 3] if bpp == 4 else 255
        if alpha >= 128 and min(line[i:i + 3]) < 200:
            inked += 1
    previous = line
print(1000 * inked // (width * height))
EOF
}

for plt in "$dir"/*.plt; do
  name=$(basename "$plt")
  report=$(hp2xx -m pbm -f "$plt.pbm" "$plt" 2>&1)
  rc=$?
  [ $rc -eq 0 ] || fail "$name: hp2xx exit status $rc"
  echo "$report" | grep -q 'HPGL command(s) ignored: 0$' || fail "$name: hp2xx ignored commands: $(echo "$report" | grep -i 'ignored')"
  echo "$report" | grep -q 'Unexpected event(s):  *0$' || fail "$name: hp2xx reports unexpected events"
  if [ -f "$plt.pbm" ]; then
    share=$(ink "$plt.pbm")
    echo "$name: hp2xx drew $share per mille"
    [ "${share:-0}" -ge 5 ] || fail "$name: hp2xx picture is blank ($share per mille)"
  else
    fail "$name: hp2xx wrote no picture"
  fi
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
  if [ -f "$svg.png" ]; then
    share=$(ink "$svg.png")
    echo "$name: rsvg-convert drew $share per mille"
    [ "${share:-0}" -ge 5 ] || fail "$name: rsvg-convert picture is blank ($share per mille)"
  fi
done

if [ $failures -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all exports opened by hp2xx, xmllint and rsvg-convert"
