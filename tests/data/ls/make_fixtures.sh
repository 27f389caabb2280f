#!/bin/sh
# Builds the images the ls tests list. Needs cc1541, cbmconvert and python3.
set -eu
cd "$(dirname "$0")"
. ../fixture_steps.sh

# A one-block BASIC program at $0801, a 300-byte SEQ file, a two-byte USR file.
printf '\001\010\013\010\012\000\231\042HI\042\000\000\000' >"$tmp/hello.prg"
python3 -c 'import sys; sys.stdout.buffer.write(bytes(range(256)) + bytes(range(44)))' >"$tmp/data.seq"
printf '\000\300' >"$tmp/two.usr"
python3 -c 'import sys; sys.stdout.buffer.write(b"\x00\x10" + bytes(1536))' >"$tmp/big.prg"

# t.d64: one file, as a drive would list it.
rm -f t.d64
cc1541 -q -n "test disk" -i "ab 2a" -f hello -w "$tmp/hello.prg" t.d64 >/dev/null

# flags.d64: one entry per listing rule (cc1541 stores lower-case ASCII as
# the unshifted letters). Slots: 0 AB<SS>C, 1 LOCKED (PRG, locked), 2 OPEN
# (PRG, not closed), 3 GONE (DEL), 4 RECORDS (REL), 5 USER (USR), 6 DATA
# (SEQ), 7 ZERO (lies: 0 blocks), 8 MANY (lies: 999 blocks), 9 Q"X<SS>Y,
# 10 SIXTEEN CHARS!!! (16 characters), 11 SCRATCHED (type 0), 12 WEIRD (type
# 13), 13 ODD (type 6), 14 GRAPHIC<0xC1>, 15 BIG (1538 bytes at $1000).
rm -f flags.d64
cc1541 -q -m -n "flags" -i "fl 2a" \
    -f "ab#a0c" -w "$tmp/hello.prg" \
    -f locked -P -w "$tmp/hello.prg" \
    -f open -O -w "$tmp/hello.prg" \
    -f gone -T DEL -w "$tmp/hello.prg" \
    -f records -T REL -w "$tmp/data.seq" \
    -f user -T USR -w "$tmp/two.usr" \
    -f data -T SEQ -w "$tmp/data.seq" \
    -f zero -B 0 -w "$tmp/data.seq" \
    -f many -B 999 -w "$tmp/hello.prg" \
    -f 'q"x#a0y' -w "$tmp/hello.prg" \
    -f 'sixteen chars!!!' -w "$tmp/hello.prg" \
    -f scratched -T 0 -w "$tmp/hello.prg" \
    -f weird -T 13 -w "$tmp/hello.prg" \
    -f odd -T 6 -w "$tmp/hello.prg" \
    -f 'graphic#c1' -w "$tmp/hello.prg" \
    -f big -w "$tmp/big.prg" \
    flags.d64 >/dev/null

# full.d64: a directory of 144 entries, all it can hold.
rm -f full.d64
set --
i=0
while [ $i -lt 144 ]; do
    set -- "$@" -f "file$i" -L
    i=$((i + 1))
done
cc1541 -q -m -n "full" -i "fu 2a" "$@" full.d64 >/dev/null

# tree/: a host directory for the recursive walk, built by cbmconvert and cc1541.
rm -rf tree blank.d64
mkdir -p tree/sub
cp "$tmp/hello.prg" "$tmp/hello"
(cd "$tmp" && cbmconvert -v0 -n -D4 A.d64 hello)
cp "$tmp/A.d64" tree/A.d64
cc1541 -q -n "bee" -i "bb 2a" -f data -T SEQ -w "$tmp/data.seq" tree/b.d64 >/dev/null
cc1541 -q -n "sea" -i "cc 2a" -f user -T USR -w "$tmp/two.usr" tree/sub/c.d64 >/dev/null
cc1541 -q -n "blank" -i "bl 2a" blank.d64 >/dev/null
printf 'just some notes\n' >tree/notes.txt

# lynx.d64: a Lynx archive stored as a file, for the deep listing.
(cd "$tmp" && cbmconvert -v0 -n -L arch.lnx hello)
rm -f lynx.d64
cc1541 -q -n "archives" -i "ar 2a" -f hello -w "$tmp/hello.prg" -f "arch.lnx" -w "$tmp/arch.lnx" lynx.d64 >/dev/null

# picked.d64: A.LZH, an LHA archive of six files, and GW.CVT, a geoWrite document in GEOS
# Convert form, for the deep listing of one selected entry.
rm -f picked.d64
cc1541 -q -n "picked" -i "pk 2a" -f a.lzh -w ../archive/small.lzh -f gw.cvt -w ../geowrite/doc.cvt \
    picked.d64 >/dev/null

# archives.d64: entries named as archives, for the deep listing's messages: 0 HELLO, 1
# FAKE.LNX (a program, no archive), 2 OLD.SDA (an "Archive V1.2" file, a kind nothing
# expands), 3 ARCH.LNX (a Lynx archive holding HELLO).
python3 -c 'import sys; d = bytearray(500); d[277:293] = b"ARCHIVE V1.2 GEN"; sys.stdout.buffer.write(d)' >"$tmp/old.sda"
rm -f archives.d64
cc1541 -q -n "archives" -i "ar 2a" -f hello -w "$tmp/hello.prg" -f "fake.lnx" -w "$tmp/hello.prg" \
    -f "old.sda" -w "$tmp/old.sda" -f "arch.lnx" -w "$tmp/arch.lnx" archives.d64 >/dev/null

# sfx.d64: programs named as archives that identification finds no archive in: X.SFX (a
# self-extracting LHA by its name) and 1!!S1 (named as a part of a six-part zipcode set).
# lynx_damaged.d64: a Lynx archive (ARCH.LNX) whose file count was wiped, still identified as
# Lynx by its banner.
rm -f sfx.d64 lynx_damaged.d64
cc1541 -q -n "sfx" -i "sf 2a" -f hello -w "$tmp/hello.prg" -f "x.sfx" -w "$tmp/hello.prg" \
    -f '1!!s1' -w "$tmp/hello.prg" sfx.d64 >/dev/null
python3 - "$tmp/arch.lnx" "$tmp/damaged.lnx" <<'PY'
import sys
lynx = bytearray(open(sys.argv[1], "rb").read())
assert lynx[0x7c:0x80] == b" 1 \r"
lynx[0x7c:0x7f] = bytes(3)
open(sys.argv[2], "wb").write(lynx)
PY
cc1541 -q -n "damaged" -i "dm 2a" -f hello -w "$tmp/hello.prg" -f "arch.lnx" -w "$tmp/damaged.lnx" \
    lynx_damaged.d64 >/dev/null

# broken.d64: t.d64 with the first file's chain pointing at itself, and a
# directory block linking back to itself, for the loop guards.
python3 - t.d64 broken.d64 <<'PY'
import sys
from cbm_builder import d64_offset as offset
img = bytearray(open(sys.argv[1], 'rb').read())
d = offset(18, 1)                # the first directory block
img[d + 0], img[d + 1] = 18, 1   # links to itself
t, s = img[d + 3], img[d + 4]    # first file's first block
o = offset(t, s)
img[o + 0], img[o + 1] = t, s    # the chain loops
open(sys.argv[2], 'wb').write(img)
PY
