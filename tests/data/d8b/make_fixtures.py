#!/usr/bin/env python3
"""Builds files.d8b, a BackBit image: 40 tracks of 136 sectors, header 1/0,
BAM blocks 1/1-1/3 whose bytes 16-255 form one 720-byte map of 18 bytes a
track (free count, 17 map bytes), directory from 1/4. No tool here writes it.

SMALL (PRG, 100 bytes, seed 5) in 2/0; EDGES (PRG, 700 bytes, seed 6) in
14/135, 27/135, 40/135, whose map bits lie in bytes that continue into the
next BAM block for tracks 14 and 27. 5300 blocks free.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from cbm_builder import Image, cbm_name, entry, pattern  # noqa: E402

SECTORS = 136
TRACKS = 40

image = Image(TRACKS * SECTORS * 256, lambda t, s: ((t - 1) * SECTORS + s) * 256)
used = {(1, s) for s in range(5)}

header = bytearray(256)
header[0:4] = bytes((1, 4, ord("D"), 0))
header[4:20] = cbm_name("BACKBIT")
header[20:22] = b"\xa0\xa0"
header[22:24] = b"8B"
header[24] = 0xA0
header[25:27] = b"3D"
header[27] = 0xA0
image.put(1, 0, 0, bytes(header))

files = [("SMALL", 100, 5, [(2, 0)]), ("EDGES", 700, 6, [(14, 135), (27, 135), (40, 135)])]
entries = []
for name, size, seed, blocks in files:
    image.write_chain(blocks, pattern(size, seed))
    used.update(blocks)
    entries.append(entry(0x82, blocks[0], name, len(blocks)))
image.write_directory((1, 4), entries)

bam = bytearray()
for track in range(1, TRACKS + 1):
    free = [s for s in range(SECTORS) if (track, s) not in used]
    bam.append(len(free))
    bam += sum(1 << s for s in free).to_bytes(17, "little")
assert len(bam) == 720
for k in range(3):
    block = bytearray(256)
    block[0:2] = bytes((1, k + 2)) if k < 2 else bytes((0, 0xFF))
    block[2:7] = bytes((ord("D"), 0xBB)) + b"8B" + bytes((0xC0,))
    block[16:256] = bam[240 * k:240 * (k + 1)]
    image.put(1, k + 1, 0, bytes(block))

with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "files.d8b"), "wb") as out:
    out.write(image.data)
