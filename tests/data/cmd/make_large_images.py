"""Writes the CMD images too large to commit into the folder OUTDIR, for the command-line
cases that list and read them (the test build runs it before them):
    python3 -B make_large_images.py OUTDIR

big.d2m: SYSTEM, "GAMES" (tests/data/d64/base.d64 as a 1541 partition at unit 0), "WIDE"
  (tests/data/d71/c.d71 as a 1571 partition at unit 400) and "NAT" (x.dnp as a native
  partition at unit 1100).
big.d4m: SYSTEM, "DISK81" (tests/data/d81/c.d81 as a 1581 partition at unit 0) and "GAMES"
  (base.d64 at unit 1700).
big.dhd: a 2 MiB hard disk "HARD DISK" with SYSTEM, "GAMES" (base.d64 at unit 529) and
  "DISK81" (c.d81 at unit 900).

Damaged copies, one each:
half71.d2m, half81.d4m, half81.dhd: WIDE's or DISK81's size field half its kind's size.
system.dhd: GAMES moved to unit 0, over the system area.
table.dhd: DISK81's entry in the second table block, the first block's link past the image.
cut.d2m, cut.d4m: big.d2m cut to a D1M's size, big.d4m to a D2M's.
cut.dhd: big.dhd cut inside its partition table (after its tenth block).
cut64.d81, cut64.d1m: tests/data/d81/c.d81 and k.d1m cut to a D64's size (the D1M's first
  partition a whole D64).

Sparse copies, a few MiB on disk, for reading an image far larger than memory would hold
whole: sparse.dhd is big.dhd and sparse.hdd is x.hdd, each grown to 320 MiB with "ZZZ" at
300 MiB + 2 (DHD block 4801,5 from byte 2; IDE64 block 2400,0 from byte 2).
"""
import os
import sys

from cmd_images import CmdFloppy, CmdHardDisk

HERE = os.path.dirname(os.path.abspath(__file__))
SPARSE_MARK = 300 << 20
SPARSE_SIZE = 320 << 20


def fixture(path):
    with open(os.path.join(HERE, path), "rb") as f:
        return f.read()


def main(outdir):
    os.makedirs(outdir, exist_ok=True)
    d64, d71, d81, dnp = (fixture(p) for p in ("../d64/base.d64", "../d71/c.d71", "../d81/c.d81", "x.dnp"))
    d64_size = len(d64)

    d2m = CmdFloppy("d2m")
    d2m.add_partition(2, "GAMES", 0, 342, d64)
    d2m.add_partition(3, "WIDE", 400, 683, d71)
    d2m.add_partition(1, "NAT", 1100, 256, dnp)

    d4m = CmdFloppy("d4m")
    d4m.add_partition(4, "DISK81", 0, 1600, d81)
    d4m.add_partition(2, "GAMES", 1700, 342, d64)

    dhd = CmdHardDisk(32, "HARD DISK")
    dhd.add_partition(2, "GAMES", 529, 342, d64)
    dhd.add_partition(4, "DISK81", 900, 1600, d81)

    table = CmdHardDisk(32, "HARD DISK")
    table.add_partition(2, "GAMES", 529, 342, d64)
    table.entries = 8
    table.add_partition(4, "DISK81", 900, 1600, d81)
    table.data[table.TABLE:table.TABLE + 2] = bytes((99, 0))

    images = {
        "big.d2m": d2m.data,
        "big.d4m": d4m.data,
        "big.dhd": dhd.data,
        "half71.d2m": d2m.patched_entry(2, units=683 // 2),
        "half81.d4m": d4m.patched_entry(1, units=800),
        "half81.dhd": dhd.patched_entry(2, units=800),
        "system.dhd": dhd.patched_entry(1, start_unit=0),
        "table.dhd": table.data,
        "cut.d2m": d2m.data[:CmdFloppy.KINDS["d1m"][0]],
        "cut.d4m": d4m.data[:CmdFloppy.KINDS["d2m"][0]],
        "cut.dhd": dhd.data[:CmdHardDisk.TABLE + 10 * 256],
        "cut64.d81": d81[:d64_size],
        "cut64.d1m": fixture("k.d1m")[:d64_size],
    }
    for name, data in images.items():
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(data)
    for name, data, planted in (("sparse.dhd", dhd.data, SPARSE_MARK + 5 * 256 + 2),
                                ("sparse.hdd", fixture("x.hdd"), SPARSE_MARK + 2)):
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(data)
            f.seek(planted)
            f.write(b"ZZZ")
            f.truncate(SPARSE_SIZE)


if __name__ == "__main__":
    main(sys.argv[1])
