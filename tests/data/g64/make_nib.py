#!/usr/bin/env python3
"""Builds a NIB file from the full tracks of a G64 and packs it as NBZ.

Each track's bytes are turned by a fixed pseudo-random offset and repeated to
fill the 8192-byte dump, as a drive reading from an arbitrary point for more
than one revolution would give them. The NBZ uses escape byte 0xFE: literals,
0xFE 0 for 0xFE itself, and 0xFE length distance (7-bit groups, big-endian,
bit 7 on all but the last) for back references found by a greedy search.

    make_nib.py [--damage KIND] IN.g64 OUT.nib OUT.nbz

--damage changes the tracks first (sectors are counted in the order they lie
on the track, as cc1541 writes them):
  tracks      track 1 all 0xFF, track 5 without any 0x52 byte, one data byte
              of track 7 sector 3 flipped
  zeros18     track 18 all zero bytes: no sync at all
  garbled18   every sector of track 18 garbled
  garbled18_4 sector 4 of track 18 garbled (the second directory block)
  checksum1_0 one data byte of track 1 sector 0 flipped
  few_syncs   every track keeps the syncs of its first sector only, so a search
              for any other sector walks long gaps without one
A garbled sector has every bit of its header and data blocks inverted, its
syncs kept: GCR never holds three zero bits in a row, so the inverted bytes
hold no sync, and no header marker follows either sync.
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


def sync_runs(track):
    """(start, end) of every run of 0xFF bytes, in order."""
    runs = []
    for i, byte in enumerate(track):
        if byte != 0xFF:
            continue
        if runs and runs[-1][1] == i:
            runs[-1] = (runs[-1][0], i + 1)
        else:
            runs.append((i, i + 1))
    return runs


def garble(track, sector):
    """Inverts the bytes between the sector's header sync and the sync after its data block."""
    runs = sync_runs(track)
    header, data = runs[2 * sector], runs[2 * sector + 1]
    end = runs[2 * sector + 2][0] if 2 * sector + 2 < len(runs) else len(track)
    for start, stop in ((header[1], data[0]), (data[1], end)):
        for i in range(start, stop):
            track[i] ^= 0xFF


def keep_first_syncs(track):
    for start, stop in sync_runs(track)[2:]:
        track[start:stop] = b'\x55' * (stop - start)


def flip_data_byte(track, sector):
    track[data_block_starts(track)[sector] + 100] ^= 0x01


def damage_tracks(tracks):
    tracks[1] = bytearray(b'\xff' * len(tracks[1]))
    tracks[5] = bytearray(0x53 if b == 0x52 else b for b in tracks[5])
    flip_data_byte(tracks[7], 3)


def damage_garbled18(tracks):
    for sector in range(19):
        garble(tracks[18], sector)


def damage_few_syncs(tracks):
    for track in tracks.values():
        keep_first_syncs(track)


DAMAGE = {
    'tracks': damage_tracks,
    'zeros18': lambda tracks: tracks.update({18: bytearray(len(tracks[18]))}),
    'garbled18': damage_garbled18,
    'garbled18_4': lambda tracks: garble(tracks[18], 4),
    'checksum1_0': lambda tracks: flip_data_byte(tracks[1], 0),
    'few_syncs': damage_few_syncs,
}


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
    damage = DAMAGE[argv[2]] if argv[1:2] == ['--damage'] else None
    source, nib_path, nbz_path = argv[3:] if damage else argv[1:]
    tracks = g64_tracks(open(source, 'rb').read())
    if damage:
        damage(tracks)
    data = nib(tracks)
    open(nib_path, 'wb').write(data)
    open(nbz_path, 'wb').write(nbz(data))


if __name__ == '__main__':
    main(sys.argv)
