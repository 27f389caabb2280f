#!/usr/bin/env python3
"""Writes a copy of a G64 with every byte of one track set to one value.

    fill_g64_track.py IN.g64 OUT.g64 TRACK BYTE

The track keeps its place and length in the file; BYTE is decimal or 0x hex.
"""
import struct
import sys


def main(argv):
    source, target, track, byte = argv[1], argv[2], int(argv[3]), int(argv[4], 0)
    data = bytearray(open(source, 'rb').read())
    offset = struct.unpack_from('<I', data, 12 + 4 * 2 * (track - 1))[0]
    length = struct.unpack_from('<H', data, offset)[0]
    data[offset + 2:offset + 2 + length] = bytes([byte]) * length
    open(target, 'wb').write(bytes(data))


if __name__ == '__main__':
    main(sys.argv)
