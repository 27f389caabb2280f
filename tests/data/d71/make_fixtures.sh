#!/bin/sh
# Builds the D71 fixtures with cbmconvert and cc1541 and checks cbmconvert's
# extraction of both against the bytes they were made from. Needs python3.
#
# c.d71 (cbmconvert): ONE (7 bytes) and HUGE (200000 bytes, seed 1), whose
# chain runs over tracks 19-59, track 53 included. Its BAM agrees with itself.
# t.d71 (cc1541): AFILE and BFILE with the same contents. cc1541 leaves every
# second-side free count at 0 and lists the free blocks from its maps.
# cut.d71: c.d71 cut to the size of a 35-track D64 (its first side).
set -eu
cd "$(dirname "$0")"
. ../fixture_steps.sh
printf '\001\010hello' >"$tmp/one.prg"
pattern 200000 1 >"$tmp/huge.prg"

rm -f c.d71 t.d71 cut.d71
cbmconvert -v0 -D7 c.d71 -n "$tmp/one.prg" "$tmp/huge.prg"
cc1541 -q -n "test" -i "ab" -f afile -w "$tmp/one.prg" -f bfile -w "$tmp/huge.prg" t.d71 >/dev/null
head -c 174848 c.d71 >cut.d71

check_extract c.d71 one.prg "$tmp/one.prg" huge.prg "$tmp/huge.prg"
check_extract t.d71 bfile.prg "$tmp/huge.prg"
