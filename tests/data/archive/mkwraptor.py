#!/usr/bin/env python3
"""Writes a GEOS Wraptor archive from the format's layout. Each entry:

  FF 42 4C FF, the name and a 0 byte, the CBM type + 1, an LZ77 bit stream
  (bits from bit 7 down, fields first bit most significant), padding to the
  next byte, 2 check bytes (not checked by anyone).

Stream tokens: 0 + 8 bits, a literal; 1 + W bits P (not 0) + 5 bits L, L
bytes from the slots P - 1 on of a 4096-byte ring of the output (an output
byte's slot is its index mod 4096); 1 + W zeros + 1, W grows (it starts at
8); 1 + W zeros + 0, the end.

Decoded data: a 9-byte head (bytes 0-6 become directory-entry bytes 23-29:
GEOS structure, GEOS type, date), for GEOS files (USR) the info block and
the VLIR record index (254 bytes each), then the file; VLIR records are
chunks led by a 16-bit length, bit 15 set when another chunk follows, and
end in two bytes that are not part of the record.

Usage: mkwraptor.py OUTDIR  (appends the expected entries to OUTDIR/expected.txt)
"""
import os
import struct
import sys

from fixture_data import manifest_line, noise, text

RING = 4096
ARCHIVE = "files.wr3"


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.count = 0

    def bits(self, value, width):
        for i in reversed(range(width)):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.count += 1
            if self.count == 8:
                self.out.append(self.acc)
                self.acc = self.count = 0

    def bytes(self):
        if self.count:
            self.out.append(self.acc << (8 - self.count))
            self.acc = self.count = 0
        return bytes(self.out)


def stream(data):
    bits = BitWriter()
    width = 8
    seen = {}  # 3-byte prefix -> recent indices
    i = 0
    while i < len(data):
        best_length, best_source = 0, 0
        for j in reversed(seen.get(data[i:i + 3], [])):
            if i - j > RING or j % RING == RING - 1:  # out of the ring, or a slot P cannot name
                continue
            length = 0
            while length < 31 and i + length < len(data) and data[j + length] == data[i + length]:
                length += 1
            if length > best_length:
                best_length, best_source = length, j
        if best_length >= 3:
            position = best_source % RING + 1
            while position >= 1 << width:
                bits.bits(1, 1)
                bits.bits(0, width)
                bits.bits(1, 1)
                width += 1
            bits.bits(1, 1)
            bits.bits(position, width)
            bits.bits(best_length, 5)
            step = best_length
        else:
            bits.bits(data[i], 9)  # a 0 flag, then the byte
            step = 1
        for k in range(i, i + step):
            seen.setdefault(data[k:k + 3], []).append(k)
        i += step
    bits.bits(1, 1)
    bits.bits(0, width)
    bits.bits(0, 1)
    return bits.bytes()


def entry(name, cbm_type, decoded):
    return b"\xff\x42\x4c\xff" + name + b"\x00" + bytes([cbm_type + 1]) + stream(decoded) + b"\x5a\xa5"


def head(structure, geos_type):
    return bytes([structure, geos_type, 88, 6, 1, 12, 30, 0, 0])


def info_block():
    return bytes((i * 3) & 0xFF for i in range(254))


def chunks(record, sizes):
    """The record and its two trailing bytes as chunks of the given sizes."""
    data = record + b"\x00\x00"
    out = bytearray()
    at = 0
    for k, size in enumerate(sizes):
        last = k + 1 == len(sizes)
        piece = data[at:] if last else data[at:at + size]
        out += struct.pack("<H", len(piece) | (0 if last else 0x8000)) + piece
        at += len(piece)
    return bytes(out)


def main(outdir):
    prose = text(5200, 21)
    records = [text(300, 22), text(700, 23), None, b"", noise(90, 24)]
    index = bytearray(254)
    vlir = bytearray()
    for k, record in enumerate(records):
        index[2 * k:2 * k + 2] = b"\x00\xff" if record is None else b"\x13\x01"
        if record is None:
            vlir += b"\x00\x00"  # no record: the archived index pair stays
        else:
            vlir += chunks(record, [250, 200] if len(record) > 500 else [len(record) + 2])
    files = [
        (b"HELLO", 2, head(0, 0) + b"HELLO C64\r" * 40),
        (b"EMPTY", 2, head(0, 0)),  # nothing to store: skipped
        (b"LONG TEXT FILE NAME", 1, head(0, 0) + prose),
        (b"GEOS SEQUENTIAL", 3, head(0, 6) + info_block() + prose[:900]),
        (b"GEOS VLIR", 3, head(1, 7) + info_block() + bytes(index) + bytes(vlir)),
    ]
    archive = b"".join(entry(name, cbm_type, decoded) for name, cbm_type, decoded in files)
    with open(os.path.join(outdir, ARCHIVE), "wb") as f:
        f.write(archive)
    # A damaged copy: the last 3 bytes of HELLO's stream (its end token) and its 2 check bytes zeroed.
    end = archive.index(b"\xff\x42\x4c\xff", 1)
    with open(os.path.join(outdir, "no_end.wr3"), "wb") as f:
        f.write(archive[:end - 5] + bytes(5) + archive[end:])
    stored = [
        (b"HELLO", 2, files[0][2][9:]),
        (b"LONG TEXT FILE N", 1, prose),
        (b"GEOS SEQUENTIAL", 3, prose[:900]),
        # A VLIR file lists the bytes of its records one after the other.
        (b"GEOS VLIR", 3, b"".join(r for r in records if r)),
    ]
    with open(os.path.join(outdir, "expected.txt"), "a") as manifest:
        for i, (name, cbm_type, data) in enumerate(stored):
            manifest.write(manifest_line(ARCHIVE, i, name, cbm_type, data))


if __name__ == "__main__":
    main(sys.argv[1])
