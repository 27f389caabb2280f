#!/bin/sh
# Builds the images of the bam, diff and fgrep tests. Needs cc1541 and python3.
# The outputs are committed so the tests need no tools.
set -eu
cd "$(dirname "$0")"
. ../fixture_steps.sh

# hello: load address $C000, "HELLO WORLD" (the PETSCII of "hello world" in
# the lower/upper-case set), then LDA #$00 / STA $D020 / RTS.
python3 -c 'import sys; sys.stdout.buffer.write(b"\x00\xc0HELLO WORLD\xa9\x00\x8d\x20\xd0\x60")' >"$tmp/hello.prg"
# chain: three blocks; "CROSS" at file bytes 251-255 runs from the last three
# bytes of the first block into the first two data bytes of the second.
python3 - "$tmp/chain.prg" <<'PY'
import sys
data = bytearray(b"\x00\x20" + bytes((i * 7) & 255 for i in range(3 * 254 - 2)))
data[251:256] = b"CROSS"
open(sys.argv[1], "wb").write(bytes(data))
PY

# files.d64: hello in 1/0, chain in 20/0, 20/10, 20/1 (cc1541's interleave
# of 10), then fill patterns on the free track 2 (see below).
rm -f files.d64 forty.d64
cc1541 -q -n "bam test" -i "bt 2a" -r 1 -b 0 -f hello -w "$tmp/hello.prg" \
    -r 20 -b 0 -f chain -w "$tmp/chain.prg" "$tmp/files.d64" >/dev/null

# forty.d64: 40 tracks with a SpeedDOS BAM, hello in 1/0 and a copy of chain
# from 36/0 on.
cc1541 -q -4 -n "forty" -i "ft 2a" -r 1 -b 0 -f hello -w "$tmp/hello.prg" \
    -r 36 -b 0 -f far -w "$tmp/chain.prg" forty.d64 >/dev/null

python3 - "$tmp/files.d64" <<'PY'
import sys

from cbm_builder import d64_offset as offset

def put(image, track, sector, data):
    image[offset(track, sector):offset(track, sector) + 256] = data

image = bytearray(open(sys.argv[1], "rb").read())
# Track 2: 2/0 the 1541's format pattern, marked used in the BAM; 2/1 and
# 2/2 the other fill patterns, free; 2/3 and 2/4 look like fill but are not.
put(image, 2, 0, b"\x4b" + b"\x01" * 255)
put(image, 2, 1, b"\x00" + b"\x01" * 255)
put(image, 2, 2, b"\x41" + b"\x01" * 255)
put(image, 2, 3, b"\x01" * 256)
put(image, 2, 4, b"\x4b" + b"\x01" * 254 + b"\x02")
bam = offset(18, 0) + 4 * 2       # BAM entry of track 2
image[bam] -= 1                   # free count
image[bam + 1] &= 0xFE            # sector 0 used
open("files.d64", "wb").write(image)

# changed.d64: three blocks differ: 1 byte of 1/0, 3 bytes of 20/1 and all
# 256 bytes of the empty 35/16.
changed = bytearray(image)
changed[offset(1, 0) + 100] ^= 0xFF
for i in range(10, 13):
    changed[offset(20, 1) + i] ^= 0x55
put(changed, 35, 16, b"\xff" * 256)
open("changed.d64", "wb").write(changed)

# errors.d64: the same blocks with error bytes: 17/3 error 20 (code 2), 18/1
# error 23 (code 5), every other block 1 (no error).
errors = bytearray([1] * 683)
errors[offset(17, 3) // 256] = 2
errors[offset(18, 1) // 256] = 5
open("errors.d64", "wb").write(image + errors)
PY

printf 'just some notes\n' >notes.txt
