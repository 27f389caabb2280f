"""Byte writers for hand-built CBM images of the test fixtures.

They follow the formats' published layouts and share nothing with the
production classes: a fixture and the reader are written apart, so a misread
layout shows up as a failing test instead of agreeing with itself.
"""


def pattern(size, seed, step=7):
    """The deterministic file contents of the fixtures: (i * step + seed) & 255."""
    return bytes(((i * step + seed) & 255) for i in range(size))


def d64_sectors(track):
    """Sectors of a 1541 track."""
    return 21 if track <= 17 else 19 if track <= 24 else 18 if track <= 30 else 17


def d64_offset(track, sector):
    """Byte offset of a block of a D64 image."""
    return (sum(d64_sectors(t) for t in range(1, track)) + sector) * 256


def cbm_name(text, length=16):
    """ASCII text as a PETSCII name padded with 0xA0."""
    raw = text.encode("ascii")
    return raw + b"\xa0" * (length - len(raw))


class Image:
    """A blank image whose blocks are addressed through `offset(track, sector)`."""

    def __init__(self, size, offset):
        self.data = bytearray(size)
        self.offset = offset

    def put(self, track, sector, at, raw):
        start = self.offset(track, sector) + at
        self.data[start:start + len(raw)] = raw

    def get(self, track, sector, at, length):
        start = self.offset(track, sector) + at
        return bytes(self.data[start:start + length])

    def write_chain(self, blocks, contents):
        """Stores contents over the blocks (254 bytes each), linked in order."""
        assert len(blocks) == max(1, -(-len(contents) // 254))
        for i, (track, sector) in enumerate(blocks):
            part = contents[i * 254:(i + 1) * 254]
            if i + 1 < len(blocks):
                link = bytes(blocks[i + 1])
            else:
                link = bytes((0, len(part) + 1))
            self.put(track, sector, 0, link + part)

    def write_directory(self, first, entries, link=(0, 0xFF)):
        """One directory block holding up to eight 32-byte entries."""
        block = bytearray(256)
        block[0:2] = bytes(link)
        for i, entry in enumerate(entries):
            block[i * 32 + 2:i * 32 + 32] = entry[2:]
        self.put(first[0], first[1], 0, bytes(block))


def entry(type_byte, first, name, blocks):
    """A 32-byte directory entry (link bytes 0)."""
    raw = bytearray(32)
    raw[2] = type_byte
    raw[3], raw[4] = first
    raw[5:21] = cbm_name(name)
    raw[30] = blocks & 255
    raw[31] = blocks >> 8
    return bytes(raw)


def blocks_for(size):
    return max(1, -(-size // 254))
