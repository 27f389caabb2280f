#!/bin/sh
# Regenerates the zipcode fixtures: a set written by disk2zip from a cc1541 image, the same
# parts stored as entries of a D64 by cbmconvert, and damaged sets made from them.
# Run from this directory; the outputs are committed so tests need no tools.
set -eu
cd "$(dirname "$0")"
. ../fixture_steps.sh
pattern 1 1 > "$tmp/f1.bin"
pattern 254 2 > "$tmp/f254.bin"
pattern 255 3 > "$tmp/f255.bin"
pattern 509 5 > "$tmp/f509.bin"
cc1541 -q -n "base disk" -i "ab 2a" -f one -w "$tmp/f1.bin" -T SEQ -f seq254 -w "$tmp/f254.bin" \
    -T USR -f u255 -w "$tmp/f255.bin" -P -f locked -w "$tmp/f509.bin" "$tmp/game.d64"

rm -rf '1!game' '2!game' '3!game' '4!game' zset.d64 solo gap cut short one '../unzip/1!clash.d64'
(cd "$tmp" && disk2zip game.d64 game)
cp "$tmp/1!game" "$tmp/2!game" "$tmp/3!game" "$tmp/4!game" .
# The peer reads its own set back into the image it came from.
(cd "$tmp" && zip2disk game back.d64 && cmp back.d64 game.d64)

# The set as four PRG entries of an image.
cbmconvert -v0 -D4 zset.d64 -n '1!game' '2!game' '3!game' '4!game'

# A set whose part 1 (tracks 1-8) is missing, and one whose part 4 (tracks 26-35) is missing.
mkdir solo gap
cp '2!game' 'solo/2!solo'
cp '3!game' 'solo/3!solo'
cp '4!game' 'solo/4!solo'
cp '1!game' 'gap/1!gap'
cp '2!game' 'gap/2!gap'
cp '3!game' 'gap/3!gap'
# A set whose part 2 (tracks 9-16) ends inside a record.
mkdir cut
cp '1!game' 'cut/1!cut'
head -c 300 '2!game' > 'cut/2!cut'
cp '3!game' 'cut/3!cut'
cp '4!game' 'cut/4!cut'
# A set whose parts 2 and 4 are too short to hold a block (5 bytes and none): missing parts.
mkdir short
cp '1!game' 'short/1!short'
head -c 5 '2!game' > 'short/2!short'
cp '3!game' 'short/3!short'
: > 'short/4!short'
# The set under a name of one character, as "zt zip IMAGE g" names it: parts "1!g" ... "4!g".
mkdir one
for k in 1 2 3 4; do cp "$k!game" "one/$k!g"; done
# Part 1 under a name with an extension, which unzip must not write over.
cp '1!game' '../unzip/1!clash.d64'
