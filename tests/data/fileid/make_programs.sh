#!/bin/sh
# Regenerates the committed program fixtures beside this script: hello.prg (a
# two-line BASIC program, acme) and the same program at the BASIC starts of the
# C128 in 64K mode ($2001, no machine's own) and of the C16/plus/4 ($4001), and
# the cc65 start-up stub for the C64, VIC-20, PET and C128 (stub*.prg).
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
acme -o hello.prg -f cbm hello.a
for start in 2001 4001; do
  sed "s/\\\$0801/\$$start/" hello.a > "$work/hello$start.a"
  acme -o "hello$start.prg" -f cbm "$work/hello$start.a"
done
cl65 -t c64 -o stub.prg stub.c
for target in vic20 pet c128; do
  cl65 -t $target -o "stub_$target.prg" stub.c
done
rm -f stub.o
