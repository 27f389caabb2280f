#!/bin/sh
# Builds the GEOS fixtures with cc1541 and python3 and checks them with cbmconvert.
#
# records.d64: two GEOS VLIR applications (USR). LONG VLIR: record 0 of 300 bytes
# (seed 1), record 1 of 300 blocks (76190 bytes, seed 2), record 2 of 100 bytes (seed 3).
# SMALL VLIR: record 0 of 400 bytes (seed 4), record 1 empty, record 2 of 254 bytes
# (seed 5). cc1541 writes each info block, record index and record as a file of its own,
# which gives them their blocks and the BAM; the patch turns those entries into the two
# GEOS entries and fills the record indexes.
# long.cvt, small.cvt: their GEOS Convert files, written from the layout: the entry's
# bytes 2-31, the signature, the info block, the record table of (blocks, last byte + 1)
# pairs and the records on whole 254-byte blocks. A table has one byte for the blocks:
# record 1 of LONG VLIR is counted as 255.
# cut.cvt: small.cvt cut 100 bytes into its record 2.
# last_byte.cvt: small.cvt with record 0's last-block byte (0x93 at 509) set to 1, a size no
# record has.
set -eu
cd "$(dirname "$0")"
. ../fixture_steps.sh

python3 - "$tmp" <<'PY'
import sys
from cbm_builder import pattern

def info_block(name):
    """The 254 data bytes of an info block: icon, types, addresses and class."""
    raw = bytearray(254)
    raw[0:3] = bytes((3, 21, 0xBF))
    raw[66:69] = bytes((0x83, 6, 1))
    raw[69:75] = bytes((0x00, 0x04, 0xFF, 0x7F, 0x00, 0x04))
    raw[75:75 + len(name)] = name.encode("ascii")
    return bytes(raw)

files = {
    "10": info_block("Long Vlir   V1.0"), "11": bytes(254),
    "12": pattern(300, 1), "13": pattern(76190, 2), "14": pattern(100, 3),
    "20": info_block("Small Vlir  V1.0"), "21": bytes(254),
    "22": pattern(400, 4), "24": pattern(254, 5),
}
for name, data in files.items():
    open(f"{sys.argv[1]}/{name}", "wb").write(data)
PY

rm -f records.d64 long.cvt small.cvt cut.cvt last_byte.cvt
set --
for name in 10 11 12 13 14 20 21 22 24; do set -- "$@" -f "$name" -w "$tmp/$name"; done
cc1541 -q -n "geos records" -i "gr" "$@" records.d64 >/dev/null

python3 - records.d64 <<'PY'
import sys
from cbm_builder import blocks_for, cbm_name, d64_offset

image = bytearray(open(sys.argv[1], "rb").read())

def chain(first):
    blocks = [first]
    while True:
        at = d64_offset(*blocks[-1])
        if image[at] == 0:
            return blocks
        blocks.append((image[at], image[at + 1]))

def data_of(first):
    blocks = chain(first)
    out = bytearray()
    for i, (track, sector) in enumerate(blocks):
        at = d64_offset(track, sector)
        used = 254 if i + 1 < len(blocks) else image[at + 1] - 1
        out += image[at + 2:at + 2 + used]
    return bytes(out)

# The files cc1541 wrote, by name, and every slot of the directory.
first, slots = {}, []
track, sector = 18, 1
while track:
    at = d64_offset(track, sector)
    for k in range(8):
        slot = at + 32 * k
        slots.append(slot)
        if image[slot + 2]:
            first[bytes(image[slot + 5:slot + 21]).rstrip(b"\xa0").decode()] = (image[slot + 3], image[slot + 4])
    track, sector = image[at], image[at + 1]
for slot in slots:
    image[slot + 2:slot + 32] = bytes(30)

def geos_file(slot, name, info, index, records):
    """Points the index at the records (None: an empty record) and writes the entry."""
    at = d64_offset(*first[index])
    pairs = bytearray(254)
    blocks = 2
    for i, record in enumerate(records):
        pairs[2 * i:2 * i + 2] = bytes(first[record]) if record else bytes((0, 0xFF))
        if record:
            blocks += len(chain(first[record]))
    image[at + 2:at + 256] = pairs
    entry = bytearray(32)
    entry[2] = 0x83
    entry[3:5] = bytes(first[index])
    entry[5:21] = cbm_name(name)
    entry[21:23] = bytes(first[info])
    entry[23:30] = bytes((1, 6, 94, 5, 17, 12, 30))
    entry[30:32] = blocks.to_bytes(2, "little")
    image[slot + 2:slot + 32] = entry[2:]

    cvt = bytearray(entry[2:32]) + b"PRG formatted GEOS file V1.0"
    cvt += bytes(254 - len(cvt)) + data_of(first[info])
    table = bytearray(254)
    data = bytearray()
    for i, record in enumerate(records):
        if not record:
            table[2 * i:2 * i + 2] = bytes((0, 0xFF))
            continue
        content = data_of(first[record])
        count = blocks_for(len(content))
        table[2 * i:2 * i + 2] = bytes((min(count, 255), len(content) - 254 * (count - 1) + 1))
        data += bytes(-len(data) % 254) + content
    return bytes(cvt + table + data)

long_cvt = geos_file(slots[0], "LONG VLIR", "10", "11", ["12", "13", "14"])
small_cvt = geos_file(slots[1], "SMALL VLIR", "20", "21", ["22", None, "24"])
open(sys.argv[1], "wb").write(image)
open("long.cvt", "wb").write(long_cvt)
open("small.cvt", "wb").write(small_cvt)
# Record 2 of SMALL VLIR starts after the two blocks of record 0.
open("cut.cvt", "wb").write(small_cvt[:762 + 2 * 254 + 100])
open("last_byte.cvt", "wb").write(small_cvt[:509] + b"\x01" + small_cvt[510:])
PY

# cbmconvert extracts the same Convert files, with the entry's block addresses (bytes 1-2
# and 19-20) left 0 and the low byte of 300 (44) as record 1's count.
out=$(mktemp -d "$tmp/extract.XXXXXX")
(cd "$out" && cbmconvert -v0 -N -d "$OLDPWD/records.d64" >/dev/null 2>&1 || true)
python3 - "$out" <<'PY'
import os, sys
extracted = sorted((open(os.path.join(sys.argv[1], name), "rb").read() for name in os.listdir(sys.argv[1])), key=len)
ours = [bytearray(open(name, "rb").read()) for name in ("small.cvt", "long.cvt")]
for cvt in ours:
    cvt[1:3] = cvt[19:21] = bytes(2)
ours[1][510] = 300 & 255
assert extracted == [bytes(cvt) for cvt in ours]
PY
