#!/bin/sh
# Builds the DNP, CMD and IDE64 fixtures with the byte writers of cmd_images.py. The 1541
# partition is the cc1541 image tests/data/d64/base.d64. Needs python3.
#
# x.dnp: a 2-track DNP "NATIVE" holding HELLO (PRG, 300 bytes, seed 1) and a DIR "SUB"
#   with INNER (PRG, 600 bytes, seed 2).
# k.d1m: SYSTEM, "GAMES" (base.d64 as a 1541 partition at unit 0) and "NAT" (x.dnp as a
#   native partition at unit 400).
# x.hdd: the IDE64 image of cmd_images.ide64_image with PART1 from sector 8.
set -eu
cd "$(dirname "$0")"
python3 - <<'PY'
from cmd_images import CmdFloppy, Dnp, ide64_image, pattern

dnp = Dnp(2, "NATIVE")
dnp.add_file(dnp.root, "HELLO", pattern(300, 1))
sub = dnp.add_subdirectory(dnp.root, (1, 1), "SUB")
dnp.add_file(sub, "INNER", pattern(600, 2))
open("x.dnp", "wb").write(dnp.data)

d1m = CmdFloppy("d1m")
d1m.add_partition(2, "GAMES", 0, 342, open("../d64/base.d64", "rb").read())
d1m.add_partition(1, "NAT", 400, 256, dnp.data)
open("k.d1m", "wb").write(d1m.data)

open("x.hdd", "wb").write(ide64_image(8))
PY
