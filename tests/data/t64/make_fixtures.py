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
TWO (start 0x2000, 20 bytes, seed 14) and its 10, whose end address is 0xC3C6,
the one an old converter wrote into every entry.
padded.t64: FIRST (start 0x0801, 100 bytes, seed 15) and 20 zero bytes, then
LAST (start 0x1000, 300 bytes, seed 16), the file padded with zeros to 1024
bytes; both end addresses give the lengths without the padding.
wrong_end.t64: OVER (start 0x0801, 100 bytes, seed 17), whose end address
claims 200 bytes, NONZERO (start 0x2000, 120 bytes, seed 18), whose end
address says 100 bytes when the 20 after them are not zero, and CONVERTED
(start 0x0801, 50 bytes, seed 19) with the converter's end address 0xC3C6.
cut.t64: the first 600 bytes of files.t64, which end inside HELLO's data.
nine.t64: files.t64 with a header that claims 9 entries, 9 of them used, where the data
of SECOND begin after the third slot.
claims.t64: a header that claims 65535 entries and four entries whose data
offsets (0x1000, 0x7F0001CC, 0xFFFFFFFF, 0x200) lie past the end of the file.
Copies of files.t64 whose offsets and counts lie: offset_in_header.t64 gives
SECOND the data offset 10, shared_offset.t64 gives HELLO SECOND's offset,
inside_data.t64 starts HELLO's data 100 bytes into SECOND's; few_slots.t64 has
a header that counts 1 entry where the directory holds SECOND too, and
xmodem.t64 is padded with 0x1A to 128 bytes as an XMODEM transfer pads.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from cbm_builder import pattern  # noqa: E402


def header(banner, name, slots, used):
    return banner.ljust(32, b"\0") + struct.pack("<HHHH", 0x0100, slots, used, 0) + name.ljust(24, b" ")


def entry(file_name, start, end, offset):
    return struct.pack("<BBHHHII", 1, 0x82, start, end, 0, offset, 0) + file_name.ljust(16, b" ")


def tape(banner, name, slots, used, files, padding=b""):
    """files: (slot, name, start, end, data); data in list order after the table."""
    table = bytearray(32 * slots)
    data = bytearray()
    offset = 64 + len(table)
    for slot, file_name, start, end, contents in files:
        table[32 * slot:32 * slot + 32] = entry(file_name, start, end, offset + len(data))
        data += contents + padding
    return header(banner, name, slots, used) + bytes(table) + bytes(data)


def patched(contents, at, value, length):
    """`contents` with the little-endian `value` of `length` bytes at `at`."""
    return contents[:at] + value.to_bytes(length, "little") + contents[at + length:]


def write(file_name, contents):
    with open(os.path.join(here, file_name), "wb") as out:
        out.write(contents)


here = os.path.dirname(os.path.abspath(__file__))
banner = b"C64S tape image file"
second = pattern(300, 12)
hello = pattern(600, 11)
files = [(1, b"SECOND", 0xC000, 0x0100, second), (0, b"HELLO", 0x0801, 0x0801 + 600, hello)]
write("files.t64", tape(banner, b"TEST TAPE", 3, 2, files))
whole = tape(banner, b"TEST TAPE", 3, 2, files)
second_data = 64 + 3 * 32
write("offset_in_header.t64", patched(whole, 64 + 32 + 8, 10, 4))
write("shared_offset.t64", patched(whole, 64 + 8, second_data, 4))
write("inside_data.t64", patched(whole, 64 + 8, second_data + 100, 4))
write("few_slots.t64", patched(whole, 0x22, 1, 2))
write("xmodem.t64", whole + b"\x1a" * (-len(whole) % 128))
write("cut.t64", tape(banner, b"TEST TAPE", 3, 2, files)[:600])
write("nine.t64", header(banner, b"TEST TAPE", 9, 9) + tape(banner, b"TEST TAPE", 3, 2, files)[64:])

files = [(0, b"ONE", 0x1000, 0x1000 + 40, pattern(40, 13)), (1, b"TWO", 0x2000, 0xC3C6, pattern(20, 14))]
write("other.t64", tape(b"C64S tape file\r\n", b"OTHER", 2, 5, files, padding=b"\0" * 10))

files = [(0, b"FIRST", 0x0801, 0x0801 + 100, pattern(100, 15) + bytes(20)),
         (1, b"LAST", 0x1000, 0x1000 + 300, pattern(300, 16))]
padded = tape(banner, b"PADDED", 2, 2, files)
write("padded.t64", padded + bytes(1024 - len(padded)))

files = [(0, b"OVER", 0x0801, 0x0801 + 200, pattern(100, 17)),
         (1, b"NONZERO", 0x2000, 0x2000 + 100, pattern(120, 18)),
         (2, b"CONVERTED", 0x0801, 0xC3C6, pattern(50, 19))]
write("wrong_end.t64", tape(banner, b"WRONG END", 3, 3, files))

offsets = [0x1000, 0x7F0001CC, 0xFFFFFFFF, 0x200]
table = b"".join(entry(b"F%d" % k, 0x0801, 0x0901, offset) for k, offset in enumerate(offsets))
write("claims.t64", header(banner, b"DAMAGED", 0xFFFF, 0xFFFF) + table)
