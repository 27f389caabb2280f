#!/bin/sh
# Writes the image the extraction tests export: make_image.sh OUT.d64. Needs
# cc1541 and python3. Its names hold characters a host refuses ('/', ':'),
# two entries share one name, and its files are a BASIC program, PETSCII text
# (colour, reverse, characters HTML and RTF escape), a Koala picture and a
# character set, a USR file and a DEL entry without data.
set -eu
out=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf '\001\010\013\010\012\000\231\042HI\042\000\000\000' >"$tmp/hello.prg"
python3 -c 'import sys; sys.stdout.buffer.write(bytes(509))' >"$tmp/big.prg"
printf '\005HELLO \022WORLD\222\r\r{A&B<C>}\\\r' >"$tmp/text.seq"
python3 - "$tmp" <<'PY'
import sys
tmp = sys.argv[1]
with open(tmp + "/koala.prg", "wb") as f:
    f.write(bytes([0x00, 0x60]) + bytes((i * 7 + 3) & 255 for i in range(10001)))
with open(tmp + "/font.prg", "wb") as f:
    f.write(bytes([0x00, 0x30]) + bytes((i * 13) & 255 for i in range(2048)))
PY
rm -f "$out"
cc1541 -q -m -n "export test" -i "ex 2a" \
    -f one -w "$tmp/hello.prg" \
    -T SEQ -f "a,b" -w "$tmp/text.seq" \
    -P -f locked -w "$tmp/big.prg" \
    -f "x/y:z" -w "$tmp/hello.prg" \
    -f ab -w "$tmp/hello.prg" \
    -N -f ab -w "$tmp/big.prg" \
    -T USR -f usr -w "$tmp/hello.prg" \
    -T DEL -f gone -L \
    -f koala -w "$tmp/koala.prg" \
    -f font -w "$tmp/font.prg" \
    -f "sixteen chars!!!" -w "$tmp/hello.prg" \
    "$out" >/dev/null
