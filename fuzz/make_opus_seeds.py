#!/usr/bin/env python3
"""Writes the hand-made seeds of the OPUS fuzz target (fuzz/corpus/opus/):
small files in the layout the instruments write (header, directory,
parameter blocks, float32 data), each showing one path of the reader.
    python3 fuzz/make_opus_seeds.py
"""
import math
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "opus")


def record(key, kind, value):
    """One parameter record: key + NUL, int16 type, int16 size in words, value."""
    if kind == 0:
        data = struct.pack("<i", value)
    elif kind == 1:
        data = struct.pack("<d", value)
    else:
        data = value.encode("latin-1") + b"\0"
        data += b"\0" * (len(data) % 2)
    return key.encode() + b"\0" + struct.pack("<hh", kind, len(data) // 2) + data


def parameters(records):
    block = b"".join(record(*r) for r in records) + b"END\0" + struct.pack("<hh", 0, 0)
    return block + b"\0" * (-len(block) % 4)


def status(points, first, last, unit="WN"):
    return parameters([("DPF", 0, 1), ("NPT", 0, points), ("FXV", 1, first), ("LXV", 1, last),
                       ("CSF", 1, 1.0), ("DAT", 2, "06/11/2015"), ("TIM", 2, "14:38:14.100 (GMT+1)"),
                       ("DXU", 3, unit)])


def data(values):
    return b"".join(struct.pack("<f", v) for v in values)


def opus(blocks):
    """blocks: (type, bytes) in file order, after a directory of 40 slots."""
    directory_at, slots = 24, 40
    at = directory_at + 12 * slots
    entries = [(0x3400, 120, directory_at)]
    body = b""
    for kind, payload in blocks:
        entries.append((kind, len(payload) // 4, at + len(body)))
        body += payload
    header = b"\x0a\x0a\xfe\xfe" + struct.pack("<diii", 920622.0, directory_at, slots, len(entries))
    directory = b"".join(struct.pack("<Iii", *e) for e in entries)
    directory += b"\0" * (12 * slots - len(directory))
    return header + directory + body


BAND = [0.1 + 0.8 * math.exp(-((i - 30) / 6.0) ** 2) for i in range(61)]
SAMPLE = (0x400000A0, parameters([("CNM", 2, "Default"), ("SNM", 2, "band 1601")]))
ACQUISITION = (0x40000030, parameters([("NSS", 0, 32), ("PLF", 3, "AB")]))

SEEDS = {
    "absorbance.0": [SAMPLE, ACQUISITION, (0x4000100F, data(BAND)),
                     (0x4000101F, status(61, 1620.0, 1560.0))],
    "measured_and_processed.1": [SAMPLE, (0x4000100F, data(BAND)),
                                 (0x4000101F, status(61, 1620.0, 1560.0)),
                                 (0x0000100F, data([a * 0.9 for a in BAND])),
                                 (0x0000101F, status(61, 1620.0, 1560.0))],
    "transmittance.001": [SAMPLE, (0x4000140F, data([90 * 10 ** -a for a in BAND])),
                          (0x4000141F, status(61, 1620.0, 1560.0))],
    "interferogram.0000": [(0x40000807, data(BAND)), (0x40000817, status(61, 61.0, 1.0, "PNT"))],
    "micrometres.2": [(0x4000100F, data(BAND)), (0x4000101F, status(61, 6.17, 6.41, "MI"))],
}

os.makedirs(HERE, exist_ok=True)
for name, blocks in SEEDS.items():
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(opus(blocks))
