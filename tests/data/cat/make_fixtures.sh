#!/bin/sh
# Builds the images the cat, ch and file tests read. Needs cc1541 and python3.
# Run from anywhere; the outputs are committed so the tests need no tools.
set -eu
cd "$(dirname "$0")"
. ../fixture_steps.sh

step=13

# Sizes around the 254 data bytes of a block.
pattern 1 1 $step > s1.bin
pattern 253 2 $step > s253.bin
pattern 254 3 $step > s254.bin
pattern 255 4 $step > s255.bin
pattern 508 5 $step > s508.bin
pattern 509 6 $step > s509.bin
# 36 blocks: 17 on track 36, 17 on track 37, 2 on track 38.
pattern 9000 7 $step > s9000.bin

# PETSCII text: upper-case letters, RETURNs, reverse on/off, a colour code
# (white), a pound sign and a graphics character.
python3 -c 'import sys; sys.stdout.buffer.write(b"HELLO, WORLD!\r\x12REVERSED\x92 PLAIN\r\x05WHITE \x5c\xa6\r")' > text.seq

rm -f cat.d64 wide40.d64
cc1541 -q -n "cat disk" -i "ca 2a" \
    -f one -w s1.bin \
    -f b253 -w s253.bin \
    -f b254 -w s254.bin \
    -f b255 -w s255.bin \
    -f b508 -w s508.bin \
    -f b509 -w s509.bin \
    -f text -T SEQ -w text.seq \
    -f dup -w s1.bin \
    cat.d64 >/dev/null
# 40 tracks; the file starts on track 36 and runs into track 38.
cc1541 -q -4 -n "wide" -i "wd 2a" -r 36 -f wide -w s9000.bin wide40.d64 >/dev/null
