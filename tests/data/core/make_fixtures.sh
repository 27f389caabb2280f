#!/bin/sh
# Regenerates the container-opening fixtures with cc1541 and cbmconvert.
set -eu
cd "$(dirname "$0")"
. ../fixture_steps.sh

# hello.prg: a load address and 300 deterministic bytes (two blocks on disk).
python3 -c "import sys; sys.stdout.buffer.write(bytes([0x01,0x08]) + bytes((i*7)&255 for i in range(300)))" > hello.prg
# notes.seq: plain text.
printf 'SOME NOTES\r' > notes.seq

# small.d64: two files written by cc1541.
cc1541 -q -n "OPEN TEST" -i "ot 2a" -f "HELLO" -w hello.prg -T SEQ -f "NOTES" -w notes.seq small.d64

# hello.p00 and notes.s00: the PC64 wrappers that cbmconvert writes for both files.
(cd "$tmp" && cbmconvert -P -d "$OLDPWD/small.d64" >/dev/null 2>&1)
cp "$tmp"/hello.p00 hello.p00
cp "$tmp"/notes.s00 notes.s00

# small.lnx: the same two files in a Lynx archive written by cbmconvert.
cbmconvert -L "$tmp/small.lnx" -d small.d64 >/dev/null 2>&1
cp "$tmp"/small.lnx small.lnx
