#!/usr/bin/env python3
"""Extracts the fixtures with the peer tools that read them (lhasa, unar,
cbmconvert) and compares every file they give with expected.txt. Entries a
peer cannot read are left out: cbmconvert's mode 5 beyond 64 KiB, its REL
files of Arkive (it counts the side sectors in the block count) and its empty
Arkive files; unar's crunched modes; SDA
stubs (neither knows this one). Wraptor, Library and SPYne have no peer.

Usage: check_peers.py DIR
"""
import glob
import os
import subprocess
import sys
import tempfile
import zlib

# archive -> (peer, entry indices it must give back)
CHECKS = [
    ("modes_v2.arc", "cbmconvert -a", [0, 1, 2, 3, 4, 5, 6]),
    ("modes_v1.arc", "cbmconvert -a", [0, 1, 2, 3]),
    ("crunch_long.arc", "cbmconvert -a", [0]),
    ("modes_v2.arc", "unar", [0, 1, 3, 5]),
    ("modes_v1.arc", "unar", [0, 1, 2]),
    ("files.ark", "cbmconvert -k", [0, 1, 2, 3]),
    ("small.lzh", "lhasa", "all"),
    ("stored.lzh", "lhasa", "all"),
    ("big.lzh", "lhasa", "all"),
]


def expected(folder):
    entries = {}
    for line in open(os.path.join(folder, "expected.txt")):
        archive, index, _, size, crc, name = line.rstrip("\n").split(" ", 5)
        entries.setdefault(archive, []).append((index, int(size), int(crc, 16), name))
    return entries


def extract(peer, archive, out):
    if peer == "unar":
        subprocess.run(["unar", "-q", "-f", "-D", "-o", out, archive], stderr=subprocess.DEVNULL)
        return lambda name: os.path.join(out, name)
    flag = peer.split()[1]
    subprocess.run(["cbmconvert", "-v0", "-N", flag, archive], cwd=out, stderr=subprocess.DEVNULL)
    return lambda name: next(iter(glob.glob(os.path.join(out, glob.escape(name.lower()) + ".*"))), "")


def matches(path, size, crc):
    if not os.path.isfile(path):
        return False
    data = open(path, "rb").read()
    return len(data) == size and zlib.crc32(data) == crc


def main(folder):
    entries = expected(folder)
    failed = 0
    for archive, peer, indices in CHECKS:
        path = os.path.join(folder, archive)
        if peer == "lhasa":
            # Printed back to back, in archive order, title first.
            data = subprocess.run(["lhasa", "-pq", path], capture_output=True, check=True).stdout
            at = 0
            results = []
            for index, size, crc, _ in entries[archive]:
                results.append((index, zlib.crc32(data[at:at + size]) == crc))
                at += size
            results.append(("length", at == len(data)))
        else:
            with tempfile.TemporaryDirectory() as out:
                found = extract(peer, os.path.abspath(path), out)
                results = [(index, matches(found(name), size, crc))
                           for index, size, crc, name in entries[archive] if int(index) in indices]
        for index, ok in results:
            failed += not ok
            print(f"{'ok  ' if ok else 'FAIL'} {peer:14} {archive} {index}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
