#!/bin/sh
# Builds the D81 fixtures and checks them with cbmconvert. Needs cc1541,
# cbmconvert and python3.
#
# c.d81 (cbmconvert): ONE (7 bytes) and BIG (60000 bytes, seed 2).
# p.d81 (cc1541, then patched): AFILE and BFILE with the same contents, and a
# 1581 partition PART on tracks 70-72 (120 blocks) holding INNER (PRG, 300
# bytes, seed 3) in 70/4, 70/5. cc1541 writes no partitions; the patch
# follows the 1581 layout: the partition's header, two BAM blocks and first
# directory block on its first track, its tracks marked used outside.
# bad_parts.d81: p.d81 with five more partition entries of 120 blocks whose areas are not
# the image's: BAD0 from 0/0, BAD40 from 40/0 (the directory track), BAD81 from 81/0,
# BAD200 from 200/0, and BADEND from 79/0 (past track 80).
# bad_inner.d81: p.d81 whose partition links outside its area (its directory block 70/3 to
# 75/0, INNER's 70/4 to 1/0), with five more partition entries no 1581 enters: SIZE0, SIZE1,
# SIZE119 and SIZE121 from 70/0 with those sizes, and SECTOR5 of 120 blocks from 73/5.
# dir_into_bam.d81: c.d81 whose directory block 40/3 links to the BAM block 40/1.
set -eu
cd "$(dirname "$0")"
. ../fixture_steps.sh
printf '\001\010hello' >"$tmp/one.prg"
pattern 60000 2 >"$tmp/big.prg"

rm -f c.d81 p.d81 bad_parts.d81 bad_inner.d81 dir_into_bam.d81
cbmconvert -v0 -D8 c.d81 -n "$tmp/one.prg" "$tmp/big.prg"
cc1541 -q -n "d81 disk" -i "81" -f afile -w "$tmp/one.prg" -f bfile -w "$tmp/big.prg" p.d81 >/dev/null

python3 - p.d81 <<'PY'
import sys
from cbm_builder import pattern
P, TRACKS = 70, 3
image = bytearray(open(sys.argv[1], "rb").read())
def at(t, s): return ((t - 1) * 40 + s) * 256
def bam_entry(bam_track, t):
    return at(bam_track, 1 if t <= 40 else 2) + 10 + 6 * ((t - 1) % 40 + 1)
def mark(bam_track, t, s, free):
    e = bam_entry(bam_track, t)
    byte = e + 1 + s // 8
    if free: image[byte] |= 1 << (s % 8)
    else: image[byte] &= ~(1 << (s % 8)) & 255
    image[e] = sum(bin(image[e + 1 + k]).count("1") for k in range(5))
for t in range(P, P + TRACKS):
    for s in range(40):
        mark(40, t, s, False)
# The entry in the third slot of 40/3.
e = at(40, 3) + 2 * 32
image[e + 2:e + 32] = bytes((0x85, P, 0)) + b"PART".ljust(16, b"\xa0") + bytes(9) + bytes((120, 0))
# The partition's own blocks.
image[at(P, 0):at(P, 4)] = bytes(1024)
header = bytes((P, 3, ord("D"), 0)) + b"PART".ljust(16, b"\xa0") + b"\xa0\xa0PA\xa03D\xa0\xa0"
image[at(P, 0):at(P, 0) + len(header)] = header
image[at(P, 1):at(P, 1) + 7] = bytes((P, 2, ord("D"), 0xBB)) + b"PA" + bytes((0xC0,))
image[at(P, 2):at(P, 2) + 7] = bytes((0, 0xFF, ord("D"), 0xBB)) + b"PA" + bytes((0xC0,))
for t in range(P, P + TRACKS):
    for s in range(40):
        mark(P, t, s, True)
inner = pattern(300, 3)
for s in range(6):
    mark(P, P, s, False)
d = at(P, 3)
image[d:d + 2] = bytes((0, 0xFF))
image[d + 2:d + 32] = bytes((0x82, P, 4)) + b"INNER".ljust(16, b"\xa0") + bytes(9) + bytes((2, 0))
image[at(P, 4):at(P, 5)] = bytes((P, 5)) + inner[:254]
image[at(P, 5):at(P, 5) + 2 + 46] = bytes((0, 47)) + inner[254:]
assert len(image) == 819200
open(sys.argv[1], "wb").write(image)
PY

python3 - p.d81 bad_parts.d81 <<'PY'
import sys
image = bytearray(open(sys.argv[1], "rb").read())
directory = (39 * 40 + 3) * 256
for slot, (name, track) in enumerate(
        ((b"BAD0", 0), (b"BAD40", 40), (b"BAD81", 81), (b"BAD200", 200), (b"BADEND", 79)), start=3):
    e = directory + slot * 32
    image[e + 2:e + 32] = bytes((0x85, track, 0)) + name.ljust(16, b"\xa0") + bytes(9) + bytes((120, 0))
open(sys.argv[2], "wb").write(image)
PY

python3 - p.d81 bad_inner.d81 <<'PY'
import sys
image = bytearray(open(sys.argv[1], "rb").read())
def at(t, s): return ((t - 1) * 40 + s) * 256
image[at(70, 3):at(70, 3) + 2] = bytes((75, 0))
image[at(70, 4):at(70, 4) + 2] = bytes((1, 0))
parts = ((b"SIZE0", 70, 0, 0), (b"SIZE1", 70, 0, 1), (b"SIZE119", 70, 0, 119), (b"SIZE121", 70, 0, 121),
         (b"SECTOR5", 73, 5, 120))
for slot, (name, track, sector, blocks) in enumerate(parts, start=3):
    e = at(40, 3) + slot * 32
    image[e + 2:e + 32] = bytes((0x85, track, sector)) + name.ljust(16, b"\xa0") + bytes(9) + bytes((blocks, 0))
open(sys.argv[2], "wb").write(image)
PY

patch_link c.d81 dir_into_bam.d81 $(((39 * 40 + 3) * 256)) 40 1

check_extract c.d81 big.prg "$tmp/big.prg"
check_extract p.d81 bfile.prg "$tmp/big.prg"
cp p.d81 "$tmp/copy.d81"
cc1541 "$tmp/copy.d81" | grep -q '^120 *"part" *cbm'
