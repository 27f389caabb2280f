#!/bin/sh
# Builds the images the selection tests read. Needs cc1541 and python3.
set -eu
cd "$(dirname "$0")"
. ../fixture_steps.sh

printf '\001\010\013\010\012\000\231\042HI\042\000\000\000' >"$tmp/hello.prg"
python3 -c 'import sys; sys.stdout.buffer.write(bytes(range(256)) * 3)' >"$tmp/data.seq"

# Slots: 0 HELLO, 1 DATA (SEQ), 2 HEAP, 3 HELLO again, 4 EMPTY (no data),
# 5 PART (a CBM entry, which a 1541 cannot enter); 6 and 7 are empty slots.
rm -f sel.d64
# cc1541 stores lower-case ASCII as the unshifted letters 0x41-0x5A.
cc1541 -q -m -n "selection" -i "ab 2a" \
    -f hello -w "$tmp/hello.prg" \
    -f data -T SEQ -w "$tmp/data.seq" \
    -f heap -w "$tmp/hello.prg" \
    -N -f hello -w "$tmp/hello.prg" \
    -f empty -L \
    -f part -T 5 -L \
    sel.d64

# nest.d64: DIR entries the generic directory code can enter.
#   root: 0 SUB (DIR, header 20/0 -> 20/1), 1 FILE (PRG), 2 DEEP (DIR, 1/0)
#   SUB:  0 INNER (PRG), 1 UP (DIR, header 18/0: back to the root),
#         2 SELF (DIR, header 20/0: itself)
#   DEEP: 17 levels, level t (header t/0 -> t/1) holding "D" (level t+1)
#         and the last one "LEAF".
rm -f nest.d64
cc1541 -q -n "nest" -i "ne 2a" nest.d64 >/dev/null
python3 - nest.d64 <<'PY'
import sys

from cbm_builder import d64_offset as offset

img = bytearray(open(sys.argv[1], 'rb').read())

def block(track, sector, data):
    o = offset(track, sector)
    img[o:o + 256] = bytes(data).ljust(256, b'\0')

def entry(name, type_byte, track, sector, blocks):
    e = bytearray(32)
    e[2] = type_byte
    e[3], e[4] = track, sector
    e[5:21] = name.encode().ljust(16, b'\xa0')
    e[30] = blocks
    return e

def directory(track, sector, entries):
    data = bytearray(256)
    for i, e in enumerate(entries):
        data[i * 32:i * 32 + 32] = e
    data[0], data[1] = 0, 0xff
    block(track, sector, data)

PRG, DIR = 0x82, 0x86
block(21, 0, [0, 5, 0x01, 0x08, 0, 0])  # one block: load address and two bytes
directory(18, 1, [entry('SUB', DIR, 20, 0, 2), entry('FILE', PRG, 21, 0, 1), entry('DEEP', DIR, 1, 0, 2)])
block(20, 0, [20, 1])
directory(20, 1, [entry('INNER', PRG, 21, 0, 1), entry('UP', DIR, 18, 0, 2), entry('SELF', DIR, 20, 0, 2)])
for t in range(1, 18):
    block(t, 0, [t, 1])
    inner = entry('D', DIR, t + 1, 0, 2) if t < 17 else entry('LEAF', PRG, 21, 0, 1)
    directory(t, 1, [inner])
open(sys.argv[1], 'wb').write(img)
PY
