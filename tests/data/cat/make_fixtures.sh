#!/bin/sh
# Builds the images the cat, ch and file tests read. Needs cc1541 and python3.
# Run from anywhere; the outputs are committed so the tests need no tools.
set -eu
cd "$(dirname "$0")"

pattern() {  # pattern SIZE SEED > file: deterministic bytes
    python3 -c "import sys;n,s=int(sys.argv[1]),int(sys.argv[2]);sys.stdout.buffer.write(bytes(((i*13+s)&255) for i in range(n)))" "$1" "$2"
}

# Sizes around the 254 data bytes of a block.
pattern 1 1 > s1.bin
pattern 253 2 > s253.bin
pattern 254 3 > s254.bin
pattern 255 4 > s255.bin
pattern 508 5 > s508.bin
pattern 509 6 > s509.bin
# 36 blocks: 17 on track 36, 17 on track 37, 2 on track 38.
pattern 9000 7 > s9000.bin

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
