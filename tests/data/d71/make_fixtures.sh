#!/bin/sh
# Builds the D71 fixtures with cbmconvert and cc1541 and checks cbmconvert's
# extraction of both against the bytes they were made from. Needs python3.
#
# c.d71 (cbmconvert): ONE (7 bytes) and HUGE (200000 bytes, seed 1), whose
# chain runs over tracks 19-59, track 53 included. Its BAM agrees with itself.
# t.d71 (cc1541): AFILE and BFILE with the same contents. cc1541 leaves every
# second-side free count at 0 and lists the free blocks from its maps.
set -eu
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf '\001\010hello' >"$tmp/one.prg"
python3 -c "import sys;sys.stdout.buffer.write(bytes(((i*7+1)&255) for i in range(200000)))" >"$tmp/huge.prg"

rm -f c.d71 t.d71
cbmconvert -v0 -D7 c.d71 -n "$tmp/one.prg" "$tmp/huge.prg"
cc1541 -q -n "test" -i "ab" -f afile -w "$tmp/one.prg" -f bfile -w "$tmp/huge.prg" t.d71 >/dev/null

here=$(pwd)
mkdir "$tmp/c" "$tmp/t"
(cd "$tmp/c" && cbmconvert -v0 -N -d "$here/c.d71")
(cd "$tmp/t" && cbmconvert -v0 -N -d "$here/t.d71")
cmp "$tmp/c/one.prg" "$tmp/one.prg"
cmp "$tmp/c/huge.prg" "$tmp/huge.prg"
cmp "$tmp/t/bfile.prg" "$tmp/huge.prg"
