#!/usr/bin/env python3
"""Writes C64 ARC archives (every mode, versions 1 and 2) and a self-dissolving
SDA from the format's layout:

  header  version, mode, checksum (2), length (3), blocks (2), type letter,
          name length n, name, and for version 2 the REL record length and
          two spare bytes;
  data    mode 0 stored, 1 run-length packed, 2 squeezed, 3 packed and
          crunched, 4 packed and squeezed, 5 packed and crunched with an end
          code. The next header starts `blocks` x 254 bytes after this one.

Runs are `marker count value`. Mode 1 data begin with their marker: in
version 1 the byte that is rarest in the file, in version 2 0xFE; the other
packing modes use 0x00 (version 1) or 0xFE without naming it. The header
checksum is the 16-bit sum of the data, in version 2 of each byte XOR its
position from 1 (mod 256); mode 5 gives it again after its end code.

Bits fill each byte from bit 0 upward. A squeeze table gives, for each byte
value, a 5-bit code length and the code, first bit least significant; LZW
codes (9 to 12 bits, first bit most significant) grow when the decoder's
counter reaches 2^width - 2.

Usage: mkarc.py OUTDIR  (appends the expected entries to OUTDIR/expected.txt)
"""
import heapq
import os
import sys

from fixture_data import manifest_line, noise, runs, text

BLOCK = 254


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.count = 0

    def bit(self, b):
        self.acc |= (b & 1) << self.count
        self.count += 1
        if self.count == 8:
            self.out.append(self.acc)
            self.acc = self.count = 0

    def low_first(self, value, width):
        for i in range(width):
            self.bit(value >> i)

    def high_first(self, value, width):
        for i in reversed(range(width)):
            self.bit(value >> i)

    def bytes(self):
        if self.count:
            self.out.append(self.acc)
            self.acc = self.count = 0
        return bytes(self.out)


def rarest(data):
    counts = [0] * 256
    for b in data:
        counts[b] += 1
    return min(range(256), key=lambda b: counts[b])


def pack_runs(data, version, marker=None):
    if marker is None:
        marker = 0xFE if version >= 2 else 0x00
    longest = 256 if version >= 2 else 255  # what a count of 0 stands for
    out = bytearray()
    i = 0
    while i < len(data):
        b = data[i]
        run = 1
        while i + run < len(data) and data[i + run] == b and run < longest:
            run += 1
        if run >= 4 or b == marker:
            out += bytes([marker, 0 if run == longest else run, b])
            i += run
        else:
            out.append(b)
            i += 1
    return bytes(out)


def code_lengths(data):
    freq = [0] * 256
    for b in data:
        freq[b] += 1
    present = [s for s in range(256) if freq[s]]
    if len(present) == 1:
        return {present[0]: 1}
    heap = [(freq[s], s, [s]) for s in present]
    heapq.heapify(heap)
    length = {s: 0 for s in present}
    while len(heap) > 1:
        f1, k1, a = heapq.heappop(heap)
        f2, k2, b = heapq.heappop(heap)
        for s in a + b:
            length[s] += 1
        heapq.heappush(heap, (f1 + f2, min(k1, k2), a + b))
    assert max(length.values()) <= 24
    return length


def squeeze(data):
    lengths = code_lengths(data)
    # Canonical codes, each bit-reversed: the decoder takes the first bit read as bit 0.
    codes = {}
    code = 0
    previous = 0
    for s in sorted(lengths, key=lambda s: (lengths[s], s)):
        code <<= lengths[s] - previous
        previous = lengths[s]
        codes[s] = int(format(code, f"0{previous}b")[::-1], 2)
        code += 1
    bits = BitWriter()
    for value in range(256):
        bits.low_first(lengths.get(value, 0), 5)
        if value in lengths:
            bits.low_first(codes[value], lengths[value])
    for b in data:
        bits.low_first(codes[b], lengths[b])
    return bits.bytes()


def crunch(data, end_code, check, length):
    bits = BitWriter()
    table = {bytes([i]): i for i in range(256)}
    next_code = 258
    counter = 257  # the decoder's: it counts a string for every code after the first
    width = 9
    emitted = 0

    def emit(code):
        nonlocal counter, width, emitted
        bits.high_first(code, width)
        if emitted:
            counter += 1
            if width < 12 and counter == (1 << width) - 2:
                width += 1
        emitted += 1

    current = b""
    for b in data:
        longer = current + bytes([b])
        if not current or longer in table:
            current = longer
            continue
        emit(table[current])
        if next_code < 4096:
            table[longer] = next_code
        next_code += 1
        current = bytes([b])
    if current:
        emit(table[current])
    if end_code:
        bits.high_first(256, width)
        bits.high_first(check, 16)
        bits.high_first(length, 24)
    return bits.bytes()


def checksum(data, version):
    if version < 2:
        return sum(data) & 0xFFFF
    return sum(b ^ ((i + 1) & 0xFF) for i, b in enumerate(data)) & 0xFFFF


def encode(data, mode, version):
    if mode == 0:
        return data
    if mode == 1:
        marker = 0xFE if version >= 2 else rarest(data)
        return bytes([marker]) + pack_runs(data, version, marker)
    if mode == 2:
        return squeeze(data)
    if mode == 4:
        return squeeze(pack_runs(data, version))
    return crunch(pack_runs(data, version), mode == 5, checksum(data, version), len(data))


def entry(name, letter, data, mode, version, record_length=0, pad=True):
    body = encode(data, mode, version)
    tail = bytes([record_length, 0, 0]) if version >= 2 else b""
    size = 11 + len(name) + len(tail) + len(body)
    blocks = (size + BLOCK - 1) // BLOCK
    ck = checksum(data, version)
    header = bytes([version, mode, ck & 0xFF, ck >> 8, len(data) & 0xFF, (len(data) >> 8) & 0xFF,
                    len(data) >> 16, blocks & 0xFF, blocks >> 8, ord(letter), len(name)])
    out = header + name + tail + body
    return out + bytes(blocks * BLOCK - len(out)) if pad else out


TYPES = {"P": 2, "S": 1, "U": 3, "R": 4}


def write_arc(outdir, archive, version, files, manifest, prefix=b""):
    parts = [entry(name, letter, data, mode, version, reclen, pad=i + 1 < len(files))
             for i, (name, letter, mode, reclen, data) in enumerate(files)]
    with open(os.path.join(outdir, archive), "wb") as f:
        f.write(prefix + b"".join(parts))
    for i, (name, letter, _, reclen, data) in enumerate(files):
        cbm_type = TYPES[letter] if letter != "R" or reclen else 1
        manifest.write(manifest_line(archive, i, name[:16], cbm_type, data))


def entry_at(archive, index):
    """Where entry `index` starts: each header gives the blocks to the next one."""
    at = 0
    for _ in range(index):
        at += (archive[at + 7] | archive[at + 8] << 8) * BLOCK
    return at


def read(outdir, archive):
    with open(os.path.join(outdir, archive), "rb") as f:
        return f.read()


def write(outdir, archive, data):
    with open(os.path.join(outdir, archive), "wb") as f:
        f.write(data)


def sda_stub():
    """A 762-byte extractor stand-in: a BASIC load address, byte 4 = 9 (three
    blocks of stub), and the method words a detector looks for at 608."""
    stub = bytearray(762)
    stub[0:2] = b"\x01\x08"
    stub[4] = 9
    stub[608:624] = b"SQUEE\xdaCRUNC\xc8SQUA"
    return bytes(stub)


def main(outdir):
    prose = text(6000, 1)
    with open(os.path.join(outdir, "expected.txt"), "a") as manifest:
        write_arc(outdir, "modes_v2.arc", 2, [
            (b"STORED", "P", 0, 0, prose[:700] + b"\xfe\x00\xfe" + prose[700:900]),
            (b"SQUEEZED", "P", 2, 0, prose[:3500]),
            (b"CRUNCHED", "S", 3, 0, prose[:4000] + runs(600, 3, (0x41, 0x42))),
            (b"SQUEEZE AND PACK", "U", 4, 0, runs(1500, 4, (0x41, 0x20, 0x13)) + prose[:1000]),
            (b"END CODE", "P", 5, 0, text(3000, 5)),
            (b"RECORDS", "R", 0, 64, text(640, 6)),
            (b"PACKED", "S", 1, 0, runs(2000, 2)),
        ], manifest)
        # Version 1 archives hold the modes 0 to 2 only (the peers refuse
        # the others); REL entries carry no record length.
        write_arc(outdir, "modes_v1.arc", 1, [
            (b"STORED", "P", 0, 0, prose[:900] + b"\x00\xfe\x00"),
            (b"SQUEEZED", "S", 2, 0, prose[3000:5000]),
            (b"RECORDS", "R", 0, 0, text(640, 6)),
            (b"PACKED", "P", 1, 0, runs(2000, 12, (0x00, 0x41, 0x20))),
        ], manifest)
        # More than 4096 LZW codes: the dictionary stops growing, the counter goes on.
        write_arc(outdir, "crunch_long.arc", 2, [
            (b"LONG TEXT", "S", 3, 0, text(26000, 7)),
        ], manifest)
        # A crunched entry with an end code longer than 131072 bytes.
        write_arc(outdir, "endcode_long.arc", 2, [
            (b"HUGE", "P", 5, 0, runs(140000, 9, (0x20, 0x41, 0x2A)) + noise(64, 10)),
        ], manifest)
        # Four files of 170 blocks each: more than a D64 holds.
        write_arc(outdir, "overflow.arc", 2, [
            (b"PART %d" % k, "P", 5, 0, runs(43000, 20 + k, (0x20, 0x41))) for k in range(4)
        ], manifest)
        # A packed entry whose checksum is damaged, then a whole one; no manifest
        # lines, as the first fails its check on purpose.
        damaged = bytearray(entry(b"DAMAGED", "S", prose[:300], 1, 1))
        damaged[2] ^= 0xFF
        with open(os.path.join(outdir, "checksum.arc"), "wb") as f:
            f.write(bytes(damaged) + entry(b"WHOLE", "P", prose[300:400], 0, 1, pad=False))
        write_arc(outdir, "small.sda", 2, [
            (b"SDA TEXT", "S", 3, 0, prose[:2500]),
            (b"SDA PROGRAM", "P", 2, 0, prose[2500:3300]),
        ], manifest, prefix=sda_stub())
    # Damaged copies: cut 600 bytes into CRUNCHED (entry 2); SQUEEZED (entry 1) claiming
    # 0xFFFF blocks; the SDA cut 5 bytes into its second header.
    v2 = read(outdir, "modes_v2.arc")
    write(outdir, "cut_entry.arc", v2[:entry_at(v2, 2) + 600])
    at = entry_at(v2, 1)
    write(outdir, "blocks.arc", v2[:at + 7] + b"\xff\xff" + v2[at + 9:])
    sda = read(outdir, "small.sda")
    write(outdir, "header_cut.sda", sda[:len(sda_stub()) + entry_at(sda[len(sda_stub()):], 1) + 5])


if __name__ == "__main__":
    main(sys.argv[1])
