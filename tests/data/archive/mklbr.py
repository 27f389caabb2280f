#!/usr/bin/env python3
"""Writes a Library archive from the format's layout: the text "DWB ", the
file count, " " and CR; per file its PETSCII name, CR, a type letter, CR,
" ", its length in decimal, " ", CR; then the files back to back.

Usage: mklbr.py OUTDIR  (appends the expected entries to OUTDIR/expected.txt)
"""
import os
import sys

from fixture_data import manifest_line, noise, text

ARCHIVE = "files.lbr"
TYPES = {"P": 2, "S": 1, "U": 3, "D": 0, "X": 2}


def main(outdir):
    files = [
        (b"LIBRARY TEXT", "S", text(1200, 41)),
        (b"LIBRARY PROGRAM", "P", noise(700, 42)),
        (b"ODD LETTER", "X", text(10, 43)),
        (b"NOTHING", "U", b""),
    ]
    out = bytearray(b"DWB %d \r" % len(files))
    for name, letter, data in files:
        out += name + b"\r" + letter.encode() + b"\r %d \r" % len(data)
    for _, _, data in files:
        out += data
    with open(os.path.join(outdir, ARCHIVE), "wb") as f:
        f.write(out)
    # A damaged copy: the first length 1200 made 1100.
    with open(os.path.join(outdir, "short_length.lbr"), "wb") as f:
        f.write(bytes(out).replace(b"\r 1200 \r", b"\r 1100 \r", 1))
    with open(os.path.join(outdir, "expected.txt"), "a") as manifest:
        for i, (name, letter, data) in enumerate(files):
            manifest.write(manifest_line(ARCHIVE, i, name, TYPES[letter], data))


if __name__ == "__main__":
    main(sys.argv[1])
