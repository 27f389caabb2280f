#!/usr/bin/env python3
"""Writes a SPYne archive from the format's layout: 15 blocks of 254 bytes of
extractor (a stand-in here, "SPYNE" at 530), then the directory: records of
30 bytes laid out as directory entries without their link bytes, eight to a
block, 32 bytes apart (type, 16-byte name at 3, 16-bit sum of the data at
23, bytes used in the last block + 1 at 25, 0xFF at 26 when another record
follows, block count at 28); the files follow from the next block, each in
whole blocks.

Usage: mkspy.py OUTDIR  (appends the expected entries to OUTDIR/expected.txt)
"""
import os
import sys

from fixture_data import manifest_line, noise, text

BLOCK = 254
ARCHIVE = "files.spy"


def main(outdir):
    files = [(b"SPY FILE %d" % k, 0x82 if k % 3 else 0x81, text(40 + 30 * k, 50 + k)) for k in range(9)]
    files.append((b"SPY NOISE", 0x82, noise(300, 60)))
    out = bytearray(15 * BLOCK)
    out[0:2] = b"\x01\x08"
    out[530:535] = b"SPYNE"
    directory = bytearray(((len(files) + 7) // 8) * BLOCK)
    for k, (name, type_byte, data) in enumerate(files):
        blocks = (len(data) + BLOCK - 1) // BLOCK
        at = k // 8 * BLOCK + k % 8 * 32
        rec = bytearray(30)
        rec[0] = type_byte
        rec[3:19] = name + b"\xa0" * (16 - len(name))
        rec[23:25] = (sum(data) & 0xFFFF).to_bytes(2, "little")
        rec[25] = len(data) - (blocks - 1) * BLOCK + 1
        rec[26] = 0xFF if k + 1 < len(files) else 0
        rec[28:30] = blocks.to_bytes(2, "little")
        directory[at:at + 30] = rec
    out += directory
    for _, _, data in files:
        out += data + bytes(-len(data) % BLOCK)
    with open(os.path.join(outdir, ARCHIVE), "wb") as f:
        f.write(out)
    # Damaged copies: record 0's block count 0xFFFF; record 9 marked as followed by another.
    directory_at = 15 * BLOCK
    with open(os.path.join(outdir, "blocks.spy"), "wb") as f:
        f.write(out[:directory_at + 28] + b"\xff\xff" + out[directory_at + 30:])
    with open(os.path.join(outdir, "phantom.spy"), "wb") as f:
        at = directory_at + BLOCK + 32 + 26
        f.write(out[:at] + b"\xff" + out[at + 1:])
    with open(os.path.join(outdir, "expected.txt"), "a") as manifest:
        for k, (name, type_byte, data) in enumerate(files):
            manifest.write(manifest_line(ARCHIVE, k, name, type_byte & 7, data))


if __name__ == "__main__":
    main(sys.argv[1])
