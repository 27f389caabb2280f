#!/bin/sh
# Writes to OUT cc1541's G64 of an empty disk whose every sector off track 18 holds the
# 1541's format pattern (0x4B, then 255 bytes 0x01). The tests run it when cc1541 is there.
#   sh make_format_pattern.sh OUT
set -eu
out=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
cd "$(dirname "$0")"
. ../fixture_steps.sh

cc1541 -q -n "format" -i "fp 2a" "$tmp/disk.d64" >/dev/null
python3 - "$tmp/disk.d64" <<'PY'
import sys
path = sys.argv[1]
image = bytearray(open(path, "rb").read())
at = 0
for track in range(1, 36):
    sectors = 21 if track <= 17 else 19 if track <= 24 else 18 if track <= 30 else 17
    for _ in range(sectors):
        if track != 18:
            image[at:at + 256] = bytes([0x4B]) + bytes([0x01]) * 255
        at += 256
open(path, "wb").write(image)
PY
cc1541 -q -g "$out" "$tmp/disk.d64" >/dev/null
