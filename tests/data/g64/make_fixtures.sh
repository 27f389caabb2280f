#!/bin/sh
# Regenerates the raw-track fixtures. Run from this directory; the outputs are
# committed so tests need no tools.
#   base.g64      cc1541's G64 of ../d64/base.d64 (35 tracks, 70 table entries)
#   base.nib      a NIB built from base.g64's tracks, two revolutions a dump (make_nib.py)
#   base.nbz      base.nib packed as NBZ
#   damaged.nbz   the same with track 1 all sync, no header byte on track 5 and
#                 one flipped data byte on track 7
#   zeros_18.nbz, garbled_18.nbz, garbled_18_4.nbz, checksum_1_0.nbz, few_syncs.nbz
#                 base.nbz with track 18 all zeros, every sector of track 18 garbled,
#                 only 18/4 (the second directory block) garbled, a data byte of
#                 HELLO's block 1/0 flipped, and only each track's first sector's
#                 syncs left (make_nib.py --damage)
#   no_sync_18.g64  base.g64 with track 18 all 0x55: no sync (fill_g64_track.py)
#   broken.nbz    "MNIB" and a back reference reaching before the start
#   cut.g64       cc1541's G64 of a disk with near on track 1 and far on track 30,
#                 its tracks stored 18, 1, 2, ... and the file cut after track 1
#   table_only.g64  that G64's header and tables alone: every track offset past the end
#   no_tracks.g64 the same with every offset 0 (cut_g64.py)
set -eu
cd "$(dirname "$0")"
. ../fixture_steps.sh

cp ../d64/base.d64 "$tmp/base.d64"
cc1541 -q -g base.g64 "$tmp/base.d64"
cmp "$tmp/base.d64" ../d64/base.d64  # cc1541 only read the image
python3 make_nib.py base.g64 base.nib base.nbz
python3 make_nib.py --damage tracks base.g64 "$tmp/damaged.nib" damaged.nbz
python3 make_nib.py --damage zeros18 base.g64 "$tmp/damaged.nib" zeros_18.nbz
python3 make_nib.py --damage garbled18 base.g64 "$tmp/damaged.nib" garbled_18.nbz
python3 make_nib.py --damage garbled18_4 base.g64 "$tmp/damaged.nib" garbled_18_4.nbz
python3 make_nib.py --damage checksum1_0 base.g64 "$tmp/damaged.nib" checksum_1_0.nbz
python3 make_nib.py --damage few_syncs base.g64 "$tmp/damaged.nib" few_syncs.nbz
python3 fill_g64_track.py base.g64 no_sync_18.g64 18 0x55
printf '\376MNIB\376\005\177' > broken.nbz
pattern 600 3 > "$tmp/near.prg"
pattern 600 5 > "$tmp/far.prg"
cc1541 -q -n "cut" -i "ct 2a" -r 1 -b 0 -f near -w "$tmp/near.prg" -r 30 -f far -w "$tmp/far.prg" "$tmp/cut.d64" >/dev/null
cc1541 -q -g "$tmp/cut.g64" "$tmp/cut.d64" >/dev/null
python3 cut_g64.py "$tmp/cut.g64" cut.g64 table_only.g64 no_tracks.g64
