#!/usr/bin/env python3
"""Writes level-0 LHA archives with libjlha-java (MkLha.java): C64 names are
NAME, a 0 byte and the CBM type letter; an entry named "title" first is the
archive's title, not a file. stored_end_early.lzh is stored.lzh with the
size byte of its second header set to 0, the end mark, before the archive's end.

Usage: mklha.py OUTDIR  (appends the expected entries to OUTDIR/expected.txt;
the title's line has the index "title")
"""
import os
import subprocess
import sys
import tempfile

from fixture_data import manifest_line, noise, text

HERE = os.path.dirname(os.path.abspath(__file__))
JAR = "/usr/share/java/jlha.jar"
TYPES = {"p": 2, "s": 1, "u": 3, "r": 1, "": 2}  # a REL entry carries no record length: SEQ


def de_bruijn(k, n):
    """Every string of n symbols below k exactly once (cyclically)."""
    a = [0] * k * n
    seq = []

    def walk(t, p):
        if t > n:
            if n % p == 0:
                seq.extend(a[1:p + 1])
        else:
            a[t] = a[t - p]
            walk(t + 1, p)
            for j in range(a[t - p] + 1, k):
                a[t] = j
                walk(t + 1, t)

    walk(1, 1)
    return seq


def big_text():
    """150,000 bytes whose LZHUF code needs well over 32,768 symbols, the point
    where the encoder halves its frequencies and rebuilds the tree, while the
    archive stays small: 33,000 letters without a repeated triple inside the
    4 KiB window, then one line over and over."""
    letters = de_bruijn(17, 3) * 7
    head = bytes(b"abcdefghijklmnopq"[i] for i in letters[:33000])
    line = b"THE COMMODORE 64 LHA ARCHIVE TEST LINE.\r"
    return head + (line * 3000)[:150000 - len(head)]


def write(outdir, work, archive, method, entries, manifest):
    args = ["java", "-cp", f"{JAR}:{work}", "MkLha", os.path.join(outdir, archive), method]
    for k, (name, letter, data) in enumerate(entries):
        path = os.path.join(work, f"{archive}.{k}")
        with open(path, "wb") as f:
            f.write(data)
        args += [name, letter, path]
    subprocess.run(args, check=True)
    index = 0
    for k, (name, letter, data) in enumerate(entries):
        if k == 0 and name == "title":
            manifest.write(manifest_line(archive, "title", b"title", 1, data))
            continue
        shown = name.encode()[:18].split(b"\0")[0][:16].upper()
        manifest.write(manifest_line(archive, index, shown, TYPES[letter], data))
        index += 1


def damaged(outdir):
    """The copy of stored.lzh whose end mark comes before its second entry."""
    with open(os.path.join(outdir, "stored.lzh"), "rb") as f:
        whole = bytearray(f.read())
    second = 2 + whole[0] + int.from_bytes(whole[7:11], "little")  # after the first header and its data
    whole[second] = 0
    with open(os.path.join(outdir, "stored_end_early.lzh"), "wb") as f:
        f.write(whole)


def main(outdir):
    with tempfile.TemporaryDirectory() as work:
        subprocess.run(["javac", "-nowarn", "-cp", JAR, "-d", work, os.path.join(HERE, "MkLha.java")],
                       check=True, stderr=subprocess.DEVNULL)
        with open(os.path.join(outdir, "expected.txt"), "a") as manifest:
            write(outdir, work, "small.lzh", "-lh1-", [
                ("title", "", text(46, 71)),
                ("game", "p", text(3000, 72)),
                ("data", "s", text(800, 73)),
                ("noletter", "", text(120, 74)),
                ("random", "r", noise(600, 75)),  # jlha stores it: packing would not shrink it
                ("title", "u", text(90, 76)),
                ("averyveryverylongname", "s", text(300, 77)),
            ], manifest)
            write(outdir, work, "stored.lzh", "-lh0-", [
                ("text", "s", text(700, 78)),
                ("prog", "p", noise(300, 79)),
            ], manifest)
            write(outdir, work, "big.lzh", "-lh1-", [("big", "s", big_text())], manifest)
    damaged(outdir)


if __name__ == "__main__":
    main(sys.argv[1])
