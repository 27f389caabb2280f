#!/bin/sh
# Regenerates the D64 fixtures with cc1541 (and checks them with cbmconvert).
# Run from this directory; the outputs are committed so tests need no tools.
set -eu
cd "$(dirname "$0")"
. ../fixture_steps.sh

pattern 1 1 > f1.bin
pattern 254 2 > f254.bin
pattern 255 3 > f255.bin
pattern 508 4 > f508.bin
pattern 509 5 > f509.bin
pattern 177800 6 > f700blocks.bin

rm -f base.d64 speed40.d64 dolphin40.d64 cut40.d64 file_into_header.d64
# 35 tracks: one entry of each kind, in this order.
cc1541 -q -n "TEST DISK" -i "ab 2a" \
    -f "HELLO" -w f254.bin \
    -T SEQ -f "NOTES" -w f255.bin \
    -T USR -f "USR" -w f1.bin \
    -P -f "LOCKED" -w f508.bin \
    -O -f "SPLAT" -w f509.bin \
    -T DEL -f "DEL" -w f1.bin \
    -T REL -f "REL" -w f254.bin \
    -T 0 -f "SCRATCHED" -w f1.bin \
    -f "NOFILE" -L \
    base.d64
# 40 tracks, SpeedDOS extended BAM; the big file spans tracks 36-38.
cc1541 -q -4 -n "SPEED" -i "sd 2a" -f "BIG" -w f700blocks.bin -f "SMALL" -w f255.bin speed40.d64
# 40 tracks, DolphinDOS extended BAM.
cc1541 -q -5 -n "DOLPHIN" -i "dd 2a" -f "ONE" -w f508.bin dolphin40.d64
# speed40.d64 cut to 35 tracks: BIG's blocks on tracks 36-38 are past its end.
head -c 174848 speed40.d64 >cut40.d64
# base.d64 whose HELLO links from its block 1/0 into the header 18/0.
patch_link base.d64 file_into_header.d64 0 18 0

# cc1541's own listings, for the record.
for image in base.d64; do cc1541 "$image" > "${image%.d64}.listing.txt"; done
cp speed40.d64 "$tmp/zt_speed_copy.d64" && cc1541 -4 "$tmp/zt_speed_copy.d64" > speed40.listing.txt
cp dolphin40.d64 "$tmp/zt_dolphin_copy.d64" && cc1541 -5 "$tmp/zt_dolphin_copy.d64" > dolphin40.listing.txt

check_extract base.d64 HELLO.prg f254.bin NOTES.seq f255.bin USR.usr f1.bin LOCKED.prg f508.bin DEL.del f1.bin
rm -f f*.bin  # inputs only; the tests regenerate the same bytes
