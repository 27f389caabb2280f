#!/usr/bin/env python3
"""Builds files.d80 (8050) and files.d82 (8250) from the CBM DOS 2.7 layout:
header 39/0, BAM blocks on track 38 (50 tracks each, 5-byte entries from byte
6), directory from 39/1. No tool here writes these images.

files.d80: HELLO (PRG, 300 bytes, seed 1) in 38/10, 38/20; NOTES (SEQ, 254
bytes, seed 2) in 37/0; UPPER (PRG, 600 bytes, seed 3) in 40/0, 41/5, 77/22.
2046 blocks free. files.d82 adds FAR (PRG, 1000 bytes, seed 4) in 100/0,
101/0, 154/22, 78/28: 4123 blocks free. cut.d82: files.d82 cut to the size of
an 8050 image (its first 77 tracks).
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from cbm_builder import Image, blocks_for, cbm_name, entry, pattern  # noqa: E402


def sectors(track):
    t = (track - 1) % 77 + 1
    return 29 if t <= 39 else 27 if t <= 53 else 25 if t <= 64 else 23


def build(tracks, files, path):
    first = [0] * (tracks + 2)
    for t in range(2, tracks + 2):
        first[t] = first[t - 1] + sectors(t - 1)
    image = Image(first[tracks + 1] * 256, lambda t, s: (first[t] + s) * 256)
    used = {(39, 0), (39, 1)}
    bam_blocks = [(38, 3 * k) for k in range((tracks + 49) // 50)]
    used.update(bam_blocks)

    header = bytearray(256)
    header[0:4] = bytes((38, 0, ord("C"), 0))
    header[4:6] = b"\xa0\xa0"
    header[6:22] = cbm_name("TEST 8050" if tracks == 77 else "TEST 8250")
    header[22:24] = b"\xa0\xa0"
    header[24:26] = b"80"
    header[26] = 0xA0
    header[27:29] = b"2C"
    image.put(39, 0, 0, bytes(header))

    entries = []
    for name, type_byte, size, seed, blocks in files:
        contents = pattern(size, seed)
        assert len(blocks) == blocks_for(size)
        image.write_chain(blocks, contents)
        used.update(blocks)
        entries.append(entry(type_byte, blocks[0], name, len(blocks)))
    image.write_directory((39, 1), entries)

    for k, (t, s) in enumerate(bam_blocks):
        block = bytearray(256)
        block[0:2] = bytes(bam_blocks[k + 1]) if k + 1 < len(bam_blocks) else bytes((39, 1))
        block[2] = ord("C")
        low = 50 * k + 1
        high = min(low + 50, tracks + 1)
        block[4], block[5] = low, high
        for track in range(low, high):
            free = [s for s in range(sectors(track)) if (track, s) not in used]
            bits = sum(1 << s for s in free)
            at = 6 + 5 * (track - low)
            block[at] = len(free)
            block[at + 1:at + 5] = bits.to_bytes(4, "little")
        image.put(t, s, 0, bytes(block))
    with open(path, "wb") as out:
        out.write(image.data)


D80_FILES = [
    ("HELLO", 0x82, 300, 1, [(38, 10), (38, 20)]),
    ("NOTES", 0x81, 254, 2, [(37, 0)]),
    ("UPPER", 0x82, 600, 3, [(40, 0), (41, 5), (77, 22)]),
]
D82_FILES = D80_FILES + [("FAR", 0x82, 1000, 4, [(100, 0), (101, 0), (154, 22), (78, 28)])]

here = os.path.dirname(os.path.abspath(__file__))
build(77, D80_FILES, os.path.join(here, "files.d80"))
build(154, D82_FILES, os.path.join(here, "files.d82"))
with open(os.path.join(here, "files.d82"), "rb") as whole, open(os.path.join(here, "cut.d82"), "wb") as cut:
    cut.write(whole.read(533248))
