#!/usr/bin/env python3
"""Writes an Arkive archive from the format's layout: byte 0 the number of
files N, then N records of 29 bytes (type byte, bytes used in the last block
+ 1, 16-byte name, REL record length, date (5), spare, REL side-sector
blocks, spare, block count), then from the next 254-byte boundary the files,
each in whole 254-byte blocks, a REL file followed by its side-sector blocks.

Usage: mkark.py OUTDIR  (appends the expected entries to OUTDIR/expected.txt)
"""
import os
import sys

from fixture_data import manifest_line, noise, text

BLOCK = 254
ARCHIVE = "files.ark"


def record(name, type_byte, data, record_length=0, side_blocks=0):
    blocks = (len(data) + BLOCK - 1) // BLOCK
    last = len(data) - (blocks - 1) * BLOCK if blocks else 0
    padded = name + b"\xa0" * (16 - len(name))
    return (bytes([type_byte, last + 1]) + padded + bytes([record_length]) + bytes([88, 6, 1, 12, 30]) +
            bytes([0, side_blocks, 0]) + bytes([blocks & 0xFF, blocks >> 8]))


def main(outdir):
    files = [
        (b"BIG PROGRAM", 0x82, noise(5000, 31), 0, 0),
        (b"ONE BLOCK", 0x81, text(254, 32), 0, 0),
        (b"BLOCK AND ONE", 0xC1, text(255, 33), 0, 0),  # locked
        (b"SHORT", 0x82, text(35, 34), 0, 0),
        (b"RECORDS", 0x84, text(1000, 35), 50, 1),
        (b"NOTHING", 0x81, b"", 0, 0),
    ]
    directory = bytes([len(files)]) + b"".join(record(n, t, d, r, s) for n, t, d, r, s in files)
    start = (29 * len(files) + BLOCK) // BLOCK * BLOCK
    out = bytearray(directory + bytes(start - len(directory)))
    for _, _, data, _, side_blocks in files:
        blocks = (len(data) + BLOCK - 1) // BLOCK
        out += data + bytes(blocks * BLOCK - len(data)) + b"\x55" * (side_blocks * BLOCK)
    with open(os.path.join(outdir, ARCHIVE), "wb") as f:
        f.write(out)
    with open(os.path.join(outdir, "expected.txt"), "a") as manifest:
        for i, (name, type_byte, data, _, _) in enumerate(files):
            manifest.write(manifest_line(ARCHIVE, i, name, type_byte & 7, data))


if __name__ == "__main__":
    main(sys.argv[1])
