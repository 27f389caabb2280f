#!/bin/sh
# Writes the fixtures of the view and render cases into this folder:
#   hello.seq   PETSCII text: clear screen, white, "HELLO", return
#   notes.seq   bytes that identify as nothing: 0 to 47; NOTES.SEQ the same
#   empty.seq   PETSCII text of three returns: nothing to draw
#   koala.koa   a Koala Painter picture at 0x6000 (10,003 bytes): a blue page with
#               one row of cells in the four multicolour patterns
#   font.bin    a character set at 0x3000 (2,050 bytes) with "I" and "O" drawn
#   view.d64    cc1541's image of the four and tests/data/fileid/hello.prg
set -eu
cd "$(dirname "$0")"

printf '\223\005HELLO\r' > hello.seq
printf '\r\r\r' > empty.seq

/usr/bin/python3 - <<'EOF'
open('notes.seq', 'wb').write(bytes(range(48)))
open('NOTES.SEQ', 'wb').write(bytes(range(48)))

koala = bytearray(b'\x00\x60' + bytes(10001))
for cell in range(40):
    koala[2 + cell * 8:2 + cell * 8 + 8] = b'\x1b' * 8      # patterns 00 01 10 11
koala[2 + 8000:2 + 9000] = b'\x25' * 1000                    # red and green
koala[2 + 9000:2 + 10000] = b'\x07' * 1000                   # yellow
koala[2 + 10000] = 6                                         # blue
open('koala.koa', 'wb').write(koala)

font = bytearray(b'\x00\x30' + bytes(2048))
font[2 + 9 * 8:2 + 10 * 8] = bytes([0x3c, 0x18, 0x18, 0x18, 0x18, 0x18, 0x3c, 0x00])   # I
font[2 + 15 * 8:2 + 16 * 8] = bytes([0x3c, 0x66, 0x66, 0x66, 0x66, 0x66, 0x3c, 0x00])  # O
open('font.bin', 'wb').write(font)
EOF

rm -f view.d64
cc1541 -q -n view -i 01 -f pic -w koala.koa -f font -w font.bin -T SEQ -f text -w hello.seq \
    -f prog -w ../fileid/hello.prg view.d64 > /dev/null
