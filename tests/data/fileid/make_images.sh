#!/bin/sh
# Builds the images the identification tests walk over, into directory $1, from
# real tools: acme (a BASIC program), cc1541 (D64/D71/D81/G64) and cbmconvert
# (PC64 file, D64/D71/D81).
set -eu
out=$1
src=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
cd "$out"

acme -o hello.prg -f cbm "$src/hello.a"

cc1541 -q -n TEST -w hello.prg t.d64 > /dev/null
cc1541 -q -4 -w hello.prg s.d64 > /dev/null
cc1541 -q -5 -w hello.prg dd.d64 > /dev/null
cc1541 -q -w hello.prg t.d71 > /dev/null
cc1541 -q -w hello.prg t.d81 > /dev/null
cc1541 -q -w hello.prg -g t.g64 g.d64 > /dev/null

# Error bytes appended (one per block, all "no error"), with a C128 boot signature.
cp t.d64 te.d64
head -c 683 /dev/zero | tr '\0' '\1' >> te.d64
printf CBM | dd of=te.d64 conv=notrunc status=none

# The GEOS disk signature in the header block.
cp t.d64 geos.d64
printf 'GEOS format V1.0' | dd of=geos.d64 bs=1 seek=$((0x165AD)) conv=notrunc status=none

# A D64 cut off after its directory track.
head -c 100000 t.d64 > tr.d64

cbmconvert -v0 -P hello.prg
cbmconvert -v0 -n -D4 c.d64 hello.prg
cbmconvert -v0 -n -D7 c.d71 hello.prg
cbmconvert -v0 -n -D8 c.d81 hello.prg
