#!/usr/bin/env python3
"""Writes Lynx archives with cbmconvert (-L) from native files: five.lnx with
five files of different types and lengths (one ending on a whole block), and
cut.lnx, the same archive without its last 600 bytes; cut22.lnx, 22 files
(600, 1500 and twenty times 200 bytes) cut 700 bytes into the second one.
Copies of five.lnx whose numbers do not add up: five_fewer.lnx counts 4 files,
five_game_short.lnx gives GAME 11 blocks, five_dir_short.lnx gives the
directory 1 block, five_junk.lnx has 1024 bytes of noise appended; and
five_xmodem.lnx, padded with 0x1A to 128 bytes as an XMODEM transfer pads.

Usage: mklynx.py OUTDIR  (appends the expected entries of five.lnx to OUTDIR/expected.txt)
"""
import os
import subprocess
import sys
import tempfile

from fixture_data import manifest_line, noise, text

ARCHIVE = "five.lnx"
TYPES = {"prg": 2, "seq": 1, "usr": 3}


def lynx(target, files):
    """Writes the (name, data) files into the Lynx archive `target`; gives its bytes."""
    with tempfile.TemporaryDirectory() as work:
        paths = []
        for name, data in files:
            path = os.path.join(work, name)
            with open(path, "wb") as f:
                f.write(data)
            paths.append(path)
        subprocess.run(["cbmconvert", "-v0", "-L", target, "-n"] + paths, check=True)
    with open(target, "rb") as f:
        return f.read()


def damaged(outdir, whole):
    """The copies of five.lnx whose directory and data do not account for each other."""
    game = b"GAME" + b"\xa0" * 12 + b"\r"
    # The directory's block count is the first number of the text, after the 96-byte stub.
    copies = {
        "five_fewer.lnx": whole.replace(b"\r 5 \rGAME", b"\r 4 \rGAME", 1),
        "five_game_short.lnx": whole.replace(game + b" 12\r", game + b" 11\r", 1),
        "five_dir_short.lnx": whole[:96] + b"1" + whole[97:],
        "five_junk.lnx": whole + noise(1024, 56),
        "five_xmodem.lnx": whole + b"\x1a" * (-len(whole) % 128),
    }
    for name, data in copies.items():
        assert data != whole, name
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(data)


def main(outdir):
    files = [
        ("game.prg", noise(3000, 51)),
        ("notes.seq", text(1200, 52)),
        ("block.prg", noise(508, 53)),
        ("tiny.usr", text(7, 54)),
        ("story.seq", text(2100, 55)),
    ]
    whole = lynx(os.path.join(outdir, ARCHIVE), files)
    with open(os.path.join(outdir, "cut.lnx"), "wb") as f:
        f.write(whole[:-600])
    damaged(outdir, whole)
    many = [("f%02d.prg" % k, noise([600, 1500][k] if k < 2 else 200, 70 + k)) for k in range(22)]
    target = os.path.join(outdir, "cut22.lnx")
    whole = lynx(target, many)
    # The directory's block count follows the 96 bytes of the BASIC stub; file 0 takes 3 blocks.
    with open(target, "wb") as f:
        f.write(whole[:int(whole[96:].split()[0]) * 254 + 3 * 254 + 700])
    with open(os.path.join(outdir, "expected.txt"), "a") as manifest:
        for i, (name, data) in enumerate(files):
            stem, kind = name.split(".")
            manifest.write(manifest_line(ARCHIVE, i, stem.upper().encode(), TYPES[kind], data))


if __name__ == "__main__":
    main(sys.argv[1])
