#!/usr/bin/env python3
"""Builds a NIB file from the full tracks of a G64 and packs it as NBZ.

Each track's bytes are turned by a fixed pseudo-random offset and repeated to
fill the 8192-byte dump, as a drive reading from an arbitrary point for more
than one revolution would give them. The NBZ uses escape byte 0xFE: literals,
0xFE 0 for 0xFE itself, and 0xFE length distance (7-bit groups, big-endian,
bit 7 on all but the last) for back references found by a greedy search.

    make_nib.py [--damage] IN.g64 OUT.nib OUT.nbz

--damage: track 1 all 0xFF, track 5 without any 0x52 byte, one data byte of
track 7 sector 3 flipped.
"""
import struct
import sys

DUMP = 8192
ESCAPE = 0xFE
MIN_MATCH = 8


def g64_tracks(data):
    count = data[9]
    tracks = {}
    for entry in range(0, count, 2):
        offset = struct.unpack_from('<I', data, 12 + 4 * entry)[0]
        if offset:
            length = struct.unpack_from('<H', data, offset)[0]
            tracks[entry // 2 + 1] = bytearray(data[offset + 2:offset + 2 + length])
    return tracks


def data_block_starts(track):
    """Offsets of the data blocks (a sync, then the GCR of marker 7) in order."""
    starts = []
    for i in range(len(track) - 1):
        if track[i] == 0xFF and track[i + 1] == 0x55:
            starts.append(i + 1)
    return starts


def damage(tracks):
    tracks[1] = bytearray(b'\xff' * len(tracks[1]))
    tracks[5] = bytearray(0x53 if b == 0x52 else b for b in tracks[5])
    tracks[7][data_block_starts(tracks[7])[3] + 100] ^= 0x01


def nib(tracks):
    header = bytearray(b'MNIB-1541-RAW\x03\x00\x00')
    dumps = bytearray()
    for number in sorted(tracks):
        track = tracks[number]
        zone = 3 if number <= 17 else 2 if number <= 24 else 1 if number <= 30 else 0
        header += bytes([2 * number, zone])
        rotation = (number * 2654435761) % len(track)
        dumps += bytes(track[(rotation + i) % len(track)] for i in range(DUMP))
    return bytes(header.ljust(256, b'\0') + dumps)


def groups(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


def nbz(data):
    out = bytearray([ESCAPE])
    last = {}
    at = 0
    while at < len(data):
        key = data[at:at + MIN_MATCH]
        earlier = last.get(key)
        length = 0
        if earlier is not None and len(key) == MIN_MATCH:
            while at + length < len(data) and data[earlier + length] == data[at + length]:
                length += 1
        if length >= MIN_MATCH:
            out += bytes([ESCAPE]) + groups(length) + groups(at - earlier)
            for i in range(at, at + length):
                last[data[i:i + MIN_MATCH]] = i
            at += length
            continue
        last[key] = at
        out.append(data[at])
        if data[at] == ESCAPE:
            out.append(0)
        at += 1
    return bytes(out)


def main(argv):
    damaged = argv[1:2] == ['--damage']
    source, nib_path, nbz_path = argv[2:] if damaged else argv[1:]
    tracks = g64_tracks(open(source, 'rb').read())
    if damaged:
        damage(tracks)
    data = nib(tracks)
    open(nib_path, 'wb').write(data)
    open(nbz_path, 'wb').write(nbz(data))


if __name__ == '__main__':
    main(sys.argv)
