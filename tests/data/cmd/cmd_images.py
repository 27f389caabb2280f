"""Byte writers for hand-built DNP images.

They follow the formats' published layouts and share nothing with the production
classes, so a misread layout shows up as a failing test instead of agreeing with itself.
"""

TRACK = 65536


def pattern(size, seed):
    """The deterministic file contents of the fixtures: (i * 7 + seed) & 255."""
    return bytes(((i * 7 + seed) & 255) for i in range(size))


def cbm_name(text, length=16):
    raw = text.encode("ascii")
    return raw + b"\xa0" * (length - len(raw))


class Dnp:
    """A CMD native partition of `tracks` tracks of 256 sectors, formatted as a CMD drive does."""

    def __init__(self, tracks, name, disk_id=b"CM"):
        self.tracks = tracks
        self.data = bytearray(tracks * TRACK)
        header = bytearray(256)
        header[0:4] = bytes((1, 34, ord("H"), 0))
        header[4:0x1d] = b"\xa0" * 25
        header[4:20] = cbm_name(name)
        header[0x16:0x18] = disk_id
        header[0x19:0x1b] = b"1H"
        self.put(1, 1, header)
        self.put(1, 2, bytes((0, 0, ord("H"), 0xB7)) + disk_id + bytes((0, 0, tracks)))
        for t in range(1, 256):
            self.put_map(t, b"\xff" * 32)
        for s in range(34):
            self.use(1, s)
        self.next_free = (1, 34)
        self.root = self.new_directory_block()

    def offset(self, t, s):
        return (t - 1) * TRACK + s * 256

    def put(self, t, s, raw, at=0):
        start = self.offset(t, s) + at
        self.data[start:start + len(raw)] = raw

    def get(self, t, s):
        start = self.offset(t, s)
        return bytes(self.data[start:start + 256])

    def put_map(self, t, raw):
        self.put(1, 2 + t // 8, raw, 32 * (t % 8))

    def use(self, t, s):
        at = self.offset(1, 2 + t // 8) + 32 * (t % 8) + s // 8
        self.data[at] &= ~(0x80 >> (s % 8)) & 0xff

    def allocate(self):
        t, s = self.next_free
        self.use(t, s)
        self.next_free = (t, s + 1) if s < 255 else (t + 1, 0)
        return (t, s)

    def new_directory_block(self):
        block = self.allocate()
        self.put(*block, bytes((0, 0xff)))
        return block

    def add_entry(self, directory, entry):
        """Writes a 32-byte entry into the first free slot of a one-block directory; returns its offset."""
        raw = self.get(*directory)
        for k in range(8):
            if raw[k * 32 + 2] == 0:
                self.put(*directory, entry[2:], k * 32 + 2)
                return k * 32
        raise ValueError("directory block full")

    def add_file(self, directory, name, contents, file_type=0x82):
        blocks = [self.allocate() for _ in range(max(1, -(-len(contents) // 254)))]
        for i, block in enumerate(blocks):
            part = contents[i * 254:(i + 1) * 254]
            link = bytes(blocks[i + 1]) if i + 1 < len(blocks) else bytes((0, len(part) + 1))
            self.put(*block, link + part)
        entry = bytearray(32)
        entry[2] = file_type
        entry[3:5] = bytes(blocks[0])
        entry[5:21] = cbm_name(name)
        entry[30:32] = len(blocks).to_bytes(2, "little")
        self.add_entry(directory, entry)

    def add_subdirectory(self, directory, parent_header, name):
        """A DIR entry with its header block and first directory block; returns that block."""
        header = self.allocate()
        first = self.new_directory_block()
        entry = bytearray(32)
        entry[2] = 0x86
        entry[3:5] = bytes(header)
        entry[5:21] = cbm_name(name)
        entry[30:32] = (2).to_bytes(2, "little")
        offset = self.add_entry(directory, entry)
        raw = bytearray(256)
        raw[0:2] = bytes(first)
        raw[2] = ord("H")
        raw[4:0x1d] = b"\xa0" * 25
        raw[4:20] = cbm_name(name)
        raw[0x16:0x18] = b"SD"
        raw[0x20:0x22] = bytes(header)
        raw[0x22:0x24] = bytes(parent_header)
        raw[0x24:0x26] = bytes(directory)
        raw[0x26] = offset + 2
        self.put(*header, raw)
        return first
