#!/usr/bin/env python3
"""Builds files.dfi, a two-track Dreamload file archive: 64 KiB tracks of 256
sectors, text header 1/0 (track count at 0x1C), disk header 1/1, directory
from 1/2, and a map on 1/16-1/47 of 32 bytes a track, bit 7 first, in which a
set bit means used. No tool here writes it.

SMALL (PRG, 100 bytes, seed 7) in 1/3; BIG (PRG, 60000 bytes, seed 8) in
1/4-1/15, 1/48-1/255 and 2/0-2/16. 239 blocks free.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from cbm_builder import Image, blocks_for, cbm_name, entry, pattern  # noqa: E402

TRACKS = 2
image = Image(TRACKS * 65536, lambda t, s: ((t - 1) * 256 + s) * 256)

archive = bytearray(256)
archive[1:23] = b"DREAMLOAD FILE ARCHIVE"
archive[0x1A] = 1
archive[0x1C] = TRACKS
archive[0x20:0x24] = bytes((1, 1, 1, 16))
archive[0x60:] = b" " * 0xA0
image.put(1, 0, 0, bytes(archive))

disk = bytearray(256)
disk[0:3] = bytes((1, 2, ord("M")))
disk[0x90:0xA0] = cbm_name("DREAMLOAD TEST")
disk[0xA2:0xA7] = b"DL\xa02A"
image.put(1, 1, 0, bytes(disk))

used = {(1, 0), (1, 1), (1, 2)} | {(1, s) for s in range(16, 48)}
small = [(1, 3)]
big = [(1, s) for s in range(4, 16)] + [(1, s) for s in range(48, 256)] + [(2, s) for s in range(17)]
files = [("SMALL", 100, 7, small), ("BIG", 60000, 8, big)]
entries = []
for name, size, seed, blocks in files:
    assert len(blocks) == blocks_for(size)
    image.write_chain(blocks, pattern(size, seed))
    used.update(blocks)
    entries.append(entry(0x82, blocks[0], name, len(blocks)))
image.write_directory((1, 2), entries)

for track in range(1, TRACKS + 1):
    bits = bytearray(32)
    for sector in range(256):
        if (track, sector) in used:
            bits[sector // 8] |= 0x80 >> (sector % 8)
    image.put(1, 16 + (track - 1) // 8, 32 * ((track - 1) % 8), bytes(bits))

with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "files.dfi"), "wb") as out:
    out.write(image.data)
