#!/bin/sh
# Regenerates the committed archive and packed-set fixtures beside this script:
#   lh1.lha, lh0.lha   level-0 LHA archives of two programs, packed and stored
#                      (jLHA through MakeLha.java, checked with lhasa)
#   1!parts .. 4!parts the four-part zipcode set of a small disk (cc1541, disk2zip)
#   hello.cvt          a GEOS Convert file (cc65 for the geos-cbm target)
#   hires.shp          a Loadstar hires picture, from the RLE's rules (python3)
# Needs: default-jdk, libjlha-java, lhasa, cc1541, cbmconvert, cc65, python3.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

jlha=/usr/share/java/jlha.jar
javac -d "$work" -cp "$jlha" MakeLha.java
java -cp "$jlha:$work" MakeLha -lh1- lh1.lha stub.prg hello.prg
java -cp "$jlha:$work" MakeLha -lh0- lh0.lha stub.prg hello.prg
lhasa t lh1.lha > /dev/null
lhasa t lh0.lha > /dev/null

cc1541 -q -n PARTS -w stub.prg "$work/parts.d64" > /dev/null
(cd "$work" && disk2zip parts.d64 parts)
for part in 1 2 3 4; do cp "$work/$part!parts" "$part!parts"; done

cl65 -t geos-cbm -o hello.cvt hello.grc stub.c
rm -f stub.o hello.o

# Load address $4000, hires flag, run marker $FE; 8000 bitmap bytes as 31 runs of
# 256 and one of 64, then 1000 screen bytes in runs behind marker 0, then padding.
python3 - <<'PY'
bitmap = bytes([0xFE, 0, 0x55]) * 31 + bytes([0xFE, 64, 0xAA])
screen = bytes([0, 0, 0x10]) * 3 + bytes([0, 232, 0x10])
data = bytes([0x00, 0x40, 0x80, 0xFE]) + bitmap + screen
open("hires.shp", "wb").write(data + bytes(300 - len(data)))
PY
