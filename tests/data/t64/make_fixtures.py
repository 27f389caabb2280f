#!/usr/bin/env python3
"""Builds T64 tapes from the format's layout: a 64-byte header (banner,
version 0x0100, max and used entries, name), 32-byte entries {type 1, C64 file
type, start, end, 0, data offset, 0, name padded with spaces} and the data
without load addresses. No tool here writes tapes.

files.t64 ("C64S tape image file"): three slots, the last one free; HELLO
(start 0x0801, 600 data bytes, seed 11) whose data comes after SECOND's
(start 0xC000, 300 data bytes, seed 12, end address 0x0100: below its start).
other.t64 ("C64S tape file" CR LF): two used entries but a used count of 5,
and ONE (start 0x1000, 40 bytes, seed 13) followed by 10 padding bytes before
TWO (start 0x2000, 20 bytes, seed 14), whose end address claims 1000 bytes.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from cbm_builder import pattern  # noqa: E402


def tape(banner, name, slots, used, files, padding=b""):
    """files: (slot, name, start, end, data); data in list order after the table."""
    header = banner.ljust(32, b"\0") + struct.pack("<HHHH", 0x0100, slots, used, 0)
    header += name.ljust(24, b" ")
    table = bytearray(32 * slots)
    data = bytearray()
    offset = 64 + len(table)
    for slot, file_name, start, end, contents in files:
        entry = struct.pack("<BBHHHII", 1, 0x82, start, end, 0, offset + len(data), 0)
        table[32 * slot:32 * slot + 32] = entry + file_name.ljust(16, b" ")
        data += contents + padding
    return header + bytes(table) + bytes(data)


here = os.path.dirname(os.path.abspath(__file__))
second = pattern(300, 12)
hello = pattern(600, 11)
files = [(1, b"SECOND", 0xC000, 0x0100, second), (0, b"HELLO", 0x0801, 0x0801 + 600, hello)]
with open(os.path.join(here, "files.t64"), "wb") as out:
    out.write(tape(b"C64S tape image file", b"TEST TAPE", 3, 2, files))

files = [(0, b"ONE", 0x1000, 0x1000 + 40, pattern(40, 13)), (1, b"TWO", 0x2000, 0x2000 + 1000, pattern(20, 14))]
with open(os.path.join(here, "other.t64"), "wb") as out:
    out.write(tape(b"C64S tape file\r\n", b"OTHER", 2, 5, files, padding=b"\0" * 10))
