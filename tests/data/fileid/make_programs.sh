#!/bin/sh
# Regenerates the committed program fixtures beside this script: hello.prg (a
# two-line BASIC program, acme) and stub.prg (cc65 output behind a SYS line).
set -eu
cd "$(dirname "$0")"
acme -o hello.prg -f cbm hello.a
cl65 -t c64 -o stub.prg stub.c
rm -f stub.o
