#!/bin/sh
# Builds the DNP fixtures with the byte writers of cmd_images.py. Needs python3.
#
# x.dnp: a 2-track DNP "NATIVE" holding HELLO (PRG, 300 bytes, seed 1) and a DIR "SUB"
#   with INNER (PRG, 600 bytes, seed 2).
set -eu
cd "$(dirname "$0")"
python3 - <<'PY'
from cmd_images import Dnp, pattern

dnp = Dnp(2, "NATIVE")
dnp.add_file(dnp.root, "HELLO", pattern(300, 1))
sub = dnp.add_subdirectory(dnp.root, (1, 1), "SUB")
dnp.add_file(sub, "INNER", pattern(600, 2))
open("x.dnp", "wb").write(dnp.data)
PY
