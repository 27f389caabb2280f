#!/usr/bin/env python3
"""Writes G64 files that end before tracks their table lists.

    cut_g64.py IN.g64 CUT.g64 TABLE_ONLY.g64 NO_TRACKS.g64

CUT.g64 holds IN's tracks with the data of track 18 first, then track 1, then
the others in order, and ends after track 1: the offsets of tracks 2-17 and
19-35 point past its end. TABLE_ONLY.g64 is IN's header and tables alone, so
every offset points past its end. NO_TRACKS.g64 is that with every offset 0,
the format's mark for a track not recorded.
"""
import struct
import sys

FIRST = (18, 1)


def main(argv):
    source, cut_path, table_path, empty_path = argv[1:]
    data = open(source, 'rb').read()
    count = data[9]
    header_size = 12 + 8 * count
    header = bytearray(data[:header_size])
    tracks = {}
    for entry in range(count):
        offset = struct.unpack_from('<I', data, 12 + 4 * entry)[0]
        if offset:
            length = struct.unpack_from('<H', data, offset)[0]
            tracks[entry] = data[offset:offset + 2 + length]
    open(table_path, 'wb').write(bytes(header))

    order = [2 * (t - 1) for t in FIRST] + [e for e in sorted(tracks) if e not in [2 * (t - 1) for t in FIRST]]
    body = bytearray()
    for entry in order:
        struct.pack_into('<I', header, 12 + 4 * entry, header_size + len(body))
        body += tracks[entry]
    kept = sum(len(tracks[2 * (t - 1)]) for t in FIRST)
    open(cut_path, 'wb').write(bytes(header) + bytes(body[:kept]))

    struct.pack_into('<%dI' % count, header, 12, *([0] * count))
    open(empty_path, 'wb').write(bytes(header))


if __name__ == '__main__':
    main(sys.argv)
