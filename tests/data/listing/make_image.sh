#!/bin/sh
# Writes the image the listing-document tests list: make_image.sh OUT.d64.
# Needs cc1541. Names are given in lower case, which cc1541 stores as the
# unshifted letters a drive lists as capitals; several hold characters that
# CSV, HTML and RTF documents must escape.
set -eu
out=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf '\001\010\013\010\012\000\231\042HI\042\000\000\000' >"$tmp/hello.prg"
python3 -c 'import sys; sys.stdout.buffer.write(bytes(range(254)))' >"$tmp/data.seq"
python3 -c 'import sys; sys.stdout.buffer.write(bytes(509))' >"$tmp/big.prg"
rm -f "$out"
cc1541 -q -n "list test" -i "lt 2a" \
    -f one -w "$tmp/hello.prg" \
    -T SEQ -f "a,b" -w "$tmp/data.seq" \
    -P -f locked -w "$tmp/big.prg" \
    -O -f open -w "$tmp/hello.prg" \
    -f 'x&y<z>' -w "$tmp/hello.prg" \
    -f 'q"x' -w "$tmp/hello.prg" \
    -f 'sixteen chars!!!' -w "$tmp/hello.prg" \
    "$out" >/dev/null
