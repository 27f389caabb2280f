"""Byte writers for hand-built DNP, CMD and IDE64 CFS images.

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


class CmdImage:
    """The partition table of the CMD images: entries of 32 bytes, eight to a block; starts and
    sizes in 512-byte units."""

    def __init__(self, size):
        self.data = bytearray(size)
        self.entries = 0

    def put_entry(self, kind, name, start_unit, units):
        at = self.entry_offset(self.entries)
        self.entries += 1
        self.data[at + 2] = kind
        self.data[at + 5:at + 21] = cbm_name(name)
        self.data[at + 21:at + 24] = start_unit.to_bytes(3, "big")
        self.data[at + 30:at + 32] = units.to_bytes(2, "big")

    def add_partition(self, kind, name, start_unit, units, contents):
        assert len(contents) <= units * 512
        assert (start_unit + units) * 512 <= self.partition_space()
        self.put_entry(kind, name, start_unit, units)
        self.data[start_unit * 512:start_unit * 512 + len(contents)] = contents

    def patched_entry(self, slot, start_unit=None, units=None):
        """A copy of the image whose entry in `slot` has another start or size (a damaged copy)."""
        data = bytearray(self.data)
        at = self.entry_offset(slot)
        if start_unit is not None:
            data[at + 21:at + 24] = start_unit.to_bytes(3, "big")
        if units is not None:
            data[at + 30:at + 32] = units.to_bytes(2, "big")
        return data


class CmdFloppy(CmdImage):
    """A CMD FD image: the system header on drive track 81 sector 5, the table from sector 8."""

    KINDS = {"d1m": (829440, 40), "d2m": (1658880, 80), "d4m": (3317760, 160)}

    def __init__(self, kind):
        size, self.drive_sectors = self.KINDS[kind]
        super().__init__(size)
        header = bytearray(b"\xff" * 256)
        header[56] = header[57] = 0
        header[112] = 0
        header[113] = 12 if kind == "d2m" else 25
        header[168] = 0
        header[169] = 128 if kind == "d2m" else 0
        header[224:240] = bytes(16)
        header[226] = header[227] = 1
        header[240:256] = b"CMD FD SERIES   "
        self.put_block(self.system_block(5), header)
        links = [(1, 1), (1, 2), (1, 3), (0, 255)]
        for k, link in enumerate(links):
            self.put_block(self.system_block(8 + k), bytes(link) + bytes(254))
        self.put_entry(0xFF, "SYSTEM", 0, 0)

    def system_block(self, sector):
        """Linear 256-byte block number of a sector on the drive's track 81."""
        return 80 * self.drive_sectors + sector

    def put_block(self, number, raw):
        self.data[number * 256:number * 256 + len(raw)] = raw

    def entry_offset(self, slot):
        return self.system_block(8 + slot // 8) * 256 + (slot % 8) * 32

    def partition_space(self):
        return self.system_block(0) * 256


class CmdHardDisk(CmdImage):
    """A CMD HD image (DHD) of `tracks` tracks of 256 blocks: the partition table in blocks
    0-31 of track 5, linked relative to track 4, the disk name at byte 4 of block 33; partitions
    from unit 529 on."""

    TABLE = 4 * TRACK
    FIRST_UNIT = 529

    def __init__(self, tracks, name):
        super().__init__(tracks * TRACK)
        for k in range(32):
            link = (1, k + 1) if k < 31 else (0, 255)
            self.data[self.TABLE + k * 256:self.TABLE + k * 256 + 2] = bytes(link)
        header = self.TABLE + 33 * 256
        self.data[header + 4:header + 20] = cbm_name(name)
        self.put_entry(0xFF, "SYSTEM", 0, 0)

    def entry_offset(self, slot):
        return self.TABLE + (slot // 8) * 256 + (slot % 8) * 32

    def partition_space(self):
        return len(self.data)

    def add_partition(self, kind, name, start_unit, units, contents):
        assert start_unit >= self.FIRST_UNIT
        super().add_partition(kind, name, start_unit, units, contents)


def cfs_link(sector):
    """The 32-bit value whose 2-bit groups the 16 entries or records of a CFS block carry."""
    return (sector & 0xFF) << 24 | ((sector >> 8) & 0xFF) << 16 | ((sector >> 16) & 0xFF) << 8


def spread_link(block, sector, at, stride):
    value = cfs_link(sector)
    for i in range(16):
        bits = (value >> (30 - 2 * i)) & 3
        block[i * stride + at] = (block[i * stride + at] & ~0x30 & 0xff) | bits << 4


class Ide64:
    """An IDE64 CFS image of 512-byte sectors: header in sector 0, the partition list in 2-3."""

    def __init__(self, sectors):
        self.data = bytearray(sectors * 512)
        self.data[8:18] = b"C64 CFS V "
        self.data[25:28] = bytes((0, 0, 2))  # the list: track 0 (big-endian), sector 2
        self.slots = 0

    def add_list_entry(self, name, flags, kind, start, end, root):
        at = 2 * 512 + self.slots * 32
        self.slots += 1
        raw = bytearray(32)
        raw[0:len(name)] = name.encode("ascii")
        raw[16] = flags
        raw[17:20] = start.to_bytes(3, "big")
        raw[20] = kind << 4
        raw[21:24] = end.to_bytes(3, "big")
        raw[29:32] = root.to_bytes(3, "big")
        self.data[at:at + 32] = raw

    def sector(self, number):
        return number * 512

    def put(self, sector, raw, at=0):
        start = sector * 512 + at
        self.data[start:start + len(raw)] = raw


class CfsPartition:
    """Files and directories of one CFS partition, laid out from its first free sector on."""

    def __init__(self, image, first_free):
        self.image = image
        self.next = first_free

    def take(self, count=1):
        first = self.next
        self.next += count
        return first

    @staticmethod
    def interleaved(chunk):
        chunk = chunk + bytes(512 - len(chunk))
        stored = bytearray(512)
        for j in range(4):
            for k in range(128):
                stored[4 * k + j] = chunk[128 * j + k]
        return stored

    def store_file(self, contents):
        """Data sectors and block lists of 128 records; returns the first list's sector."""
        data = [self.take() for _ in range(max(1, -(-len(contents) // 512)))]
        for i, sector in enumerate(data):
            self.image.put(sector, self.interleaved(contents[i * 512:(i + 1) * 512]))
        lists = [self.take() for _ in range(-(-len(data) // 128))]
        for n, list_sector in enumerate(lists):
            records = bytearray(512)
            for r, sector in enumerate(data[n * 128:(n + 1) * 128]):
                records[4 * r + 1:4 * r + 4] = sector.to_bytes(3, "big")
            if n + 1 < len(lists):
                spread_link(records, lists[n + 1], 0, 4)
            self.image.put(list_sector, records)
        return lists[0]

    @staticmethod
    def entry(name, size, first, flags, letters):
        raw = bytearray(36)
        raw[0:len(name)] = name.encode("ascii")
        raw[16:24] = size.to_bytes(8, "little")
        raw[25:28] = first.to_bytes(3, "big")
        raw[28] = flags
        raw[29:32] = letters.encode("ascii")
        raw[32:36] = bytes((0x8a, 0x0b, 0x99, 0x20))
        return raw

    def directory(self, entries, blocks=1):
        """A directory of `blocks` blocks of 576 bytes; unused slots are marked unused."""
        first = self.take(2 * blocks)
        for b in range(blocks):
            raw = bytearray(576)
            for k in range(16):
                raw[k * 36 + 24] = 0x80
            for k, entry in enumerate(entries[b * 16:(b + 1) * 16]):
                raw[k * 36:(k + 1) * 36] = entry
            if b + 1 < blocks:
                spread_link(raw, first + 2 * (b + 1), 24, 36)
            self.image.put(first + 2 * b, raw)
        return first


def ide64_image(first):
    """List entries PART1 (CFS, flags bit 7, sectors first to first + 312), "IDE64 DISK" (the
    second entry carries the disk name; no partition), GEOSPART (GEOS, bit 5) and NOTUSED
    (flags 0). PART1's root directory
    spans two blocks: its label "PART ONE" and 15 unused slots, then HELLO (PRG, 300 bytes,
    seed 1), BIG (PRG, 70000 bytes, seed 3: two block lists), DATA (REL, record length 64, 1000
    bytes, seed 4), GONE (DEL) and SUB (DIR) holding INNER (PRG, 100 bytes, seed 5)."""
    end = first + 312
    hdd = Ide64(end)
    part = CfsPartition(hdd, first + 2)
    inner = part.store_file(pattern(100, 5))
    subdir = part.directory([part.entry("INNER", 100, inner, 0x29, "PRG")])
    hello = part.store_file(pattern(300, 1))
    big = part.store_file(pattern(70000, 3))
    data = part.store_file(pattern(1000, 4))
    label = part.entry("PART ONE", 0, 0, 0, "DIR")
    label[24] = 0x80
    root = part.directory([label] + [bytearray(36)] * 15 + [
        part.entry("HELLO", 300, hello, 0x29, "PRG"),
        part.entry("BIG", 70000, big, 0x29, "PRG"),
        part.entry("DATA", 1000 << 8 | 64, data, 0x49, "REL"),
        part.entry("GONE", 0, 0, 0x09, "DEL"),
        part.entry("SUB", 0, subdir, 0x29, "DIR"),
    ], blocks=2)
    assert part.next <= end
    hdd.add_list_entry("PART1", 0x80, 1, first, end, root)
    hdd.add_list_entry("IDE64 DISK", 0, 0, 0, 0, 0)
    hdd.add_list_entry("GEOSPART", 0x20, 2, 4, 6, 4)
    hdd.add_list_entry("NOTUSED", 0x00, 1, 4, 6, 4)
    return hdd.data
