#!/usr/bin/env python3
"""Measures the ink of a picture that an independent program drew from one of
our outputs: prints "PER_MILLE LEFT TOP RIGHT BOTTOM".

Reads a PBM (P4), a binary PGM (P5) or a PNG of 8-bit grey, grey with alpha,
RGB or RGBA without interlacing, the layouts hp2xx, pdftoppm, wmf2gd and
rsvg-convert write. A pixel is ink when it is opaque enough (alpha >= 128)
and darker than light grey (every colour below 200; a set PBM bit). The
bounding box (-1 when there is none) is that of every pixel not pure white,
so that it includes lines too thin to count as ink.

Usage: image_ink.py FILE
"""
import struct
import sys
import zlib


def netpbm_fields(data, count):
    """The first `count` numbers of a netpbm header and the offset after them."""
    fields, pos = [], 2
    while len(fields) < count:
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
    return fields, pos + 1


def png_rows(data):
    """Width, height and rows of (ink, not white) pairs of a PNG."""
    assert data[:8] == b'\x89PNG\r\n\x1a\n', 'neither PBM, PGM nor PNG'
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
    colours = 1 if channels <= 2 else 3
    alpha = channels in (2, 4)
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
        ink = []
        for i in range(0, stride, channels):
            opaque = line[i + channels - 1] >= 128 if alpha else True
            darkest = min(line[i:i + colours])
            ink.append((opaque and darkest < 200, opaque and darkest < 255))
        rows.append(ink)
        previous = line
    return width, height, rows


def rows_of(data):
    if data[:2] == b'P4':
        (width, height), pos = netpbm_fields(data, 2)
        bits = data[pos:]
        stride = (width + 7) // 8
        rows = []
        for y in range(height):
            line = bits[y * stride:(y + 1) * stride]
            row = [bool(line[x // 8] & (0x80 >> (x % 8))) for x in range(width)]
            rows.append([(b, b) for b in row])
        return width, height, rows
    if data[:2] == b'P5':
        (width, height, maxval), pos = netpbm_fields(data, 3)
        assert maxval == 255, 'unexpected PGM depth'
        grey = data[pos:]
        return width, height, [[(v < 200, v < 255) for v in grey[y * width:(y + 1) * width]]
                               for y in range(height)]
    return png_rows(data)


def main():
    width, height, rows = rows_of(open(sys.argv[1], 'rb').read())
    inked, left, top, right, bottom = 0, width, height, -1, -1
    for y, row in enumerate(rows):
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


if __name__ == '__main__':
    main()
