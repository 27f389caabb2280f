"""Deterministic file contents and the manifest of expected entries, shared by
the archive writers of this folder."""
import zlib

WORDS = (b"the commodore sixty four disk drive reads one sector of two hundred fifty six "
         b"bytes per block while the archive keeps every file packed with squeeze crunch "
         b"and run length codes so that users can move whole collections").split()


class Lcg:
    """A fixed pseudo-random sequence, the same on every Python."""

    def __init__(self, seed):
        self.state = seed

    def next(self, bound):
        self.state = (self.state * 1103515245 + 12345) & 0x7FFFFFFF
        return (self.state >> 8) % bound


def text(size, seed, line=b"\r"):
    """Words in random order, lines ended by `line`."""
    rng = Lcg(seed)
    out = bytearray()
    while len(out) < size:
        out += WORDS[rng.next(len(WORDS))]
        out += line if rng.next(9) == 0 else b" "
    return bytes(out[:size])


def noise(size, seed, alphabet=range(256)):
    rng = Lcg(seed)
    values = list(alphabet)
    return bytes(values[rng.next(len(values))] for _ in range(size))


def runs(size, seed, values=(0x41, 0x20, 0xFE, 0x00, 0x13)):
    """Runs of 1 to 300 equal bytes."""
    rng = Lcg(seed)
    out = bytearray()
    while len(out) < size:
        out += bytes([values[rng.next(len(values))]]) * (1 + rng.next(300))
    return bytes(out[:size])


TYPE_NAMES = {0: "DEL", 1: "SEQ", 2: "PRG", 3: "USR", 4: "REL"}


def manifest_line(archive, index, name, cbm_type, data):
    """One expected entry: archive, index, type, size, CRC-32, name (the rest of the line)."""
    shown = name.decode("latin-1")
    return f"{archive} {index} {TYPE_NAMES[cbm_type]} {len(data)} {zlib.crc32(data):08x} {shown}\n"
