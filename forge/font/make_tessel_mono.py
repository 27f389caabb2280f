#!/usr/bin/python3
# SPDX-License-Identifier: OFL-1.1
# Builds Tessel Mono, a square-pixel TrueType font of the two Commodore 64
# character sets, from the C-64 font of the Homecomputer Fonts project
# (Debian package fonts-sixtyfour). Needs fontTools (python3-fonttools).
#
#   make_tessel_mono.py [--source C-64-Regular.ttf] OUTPUT.ttf
#
# The output is byte-for-byte reproducible from the same source font and
# fontTools version: no time stamps, no unordered iteration.

import argparse
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont

DEFAULT_SOURCE = "/usr/share/fonts/truetype/sixtyfour/C-64-Regular.ttf"

UNITS_PER_PIXEL = 128
CELL = 8 * UNITS_PER_PIXEL          # advance and em size
ASCENT = 7 * UNITS_PER_PIXEL        # the bottom pixel row lies below the baseline
DESCENT = -UNITS_PER_PIXEL
TIMESTAMP = 3881433600              # 2026-12-01 00:00 UTC, fixed for reproducible output

UPPER, LOWER = 0, 1

COPYRIGHT = ("Copyright 2019 The Homecomputer Fonts Project Authors, "
             "2019 Jens Kutilek <www.kutilek.de>. "
             "Tessel Mono is a Modified Version of their C-64 font.")
LICENCE = ("This Font Software is licensed under the SIL Open Font License, "
           "Version 1.1. This license is available with a FAQ at: "
           "https://openfontlicense.org")
LICENCE_URL = "https://openfontlicense.org"


def rows(text):
    return [int(word, 16) for word in text.split()]


# Code points of the character-generator positions 0x40-0x7F in each set, as
# the program's screen-code tables give them.
SCREEN_UNICODE_40_7F = {
    UPPER: rows("""
        2500 2660 2502 2500 EE44 EE45 EE46 EE47 EE48 256E 2570 256F EE4C 2572 2571 EE4F
        EE50 2022 EE52 2665 EE54 256D 2573 25CB 2663 EE59 2666 253C EE5C 2502 03C0 25E5
        00A0 258C 2584 2594 2581 258E 2592 EE67 EE68 25E4 EE6A 251C 2597 2514 2510 2582
        250C 2534 252C 2524 258E 258D EE76 EE77 EE78 2583 EE7A 2596 259D 2518 2598 259A"""),
    LOWER: rows("""
        2500 0041 0042 0043 0044 0045 0046 0047 0048 0049 004A 004B 004C 004D 004E 004F
        0050 0051 0052 0053 0054 0055 0056 0057 0058 0059 005A 253C EF5C 2502 EF5E EF5F
        00A0 258C 2584 2594 2581 258E 2592 EF67 EF68 EF69 EF6A 251C 2597 2514 2510 2582
        250C 2534 252C 2524 258E 258D EF76 EF77 EF78 2583 2713 2596 259D 2518 2598 259A"""),
}

# Reverse-video positions that the screen-code tables give standard code points.
SCREEN_UNICODE_REVERSED = {
    UPPER: {0xA0: 0x2588, 0xD1: 0x25D8, 0xD7: 0x25D9, 0xDF: 0x25E3},
    LOWER: {0xA0: 0x2588, 0xDE: 0x2592},
}
for _set in (UPPER, LOWER):
    SCREEN_UNICODE_REVERSED[_set].update({
        0xE0: 0x2588, 0xE1: 0x2590, 0xE2: 0x2580, 0xE3: 0x2587,
        0xE7: 0x258A, 0xEA: 0x258A, 0xEC: 0x259B,
        0xF6: 0x258B, 0xF7: 0x2586, 0xF8: 0x2585,
        0xFB: 0x259C, 0xFC: 0x2599, 0xFE: 0x259F, 0xFF: 0x259E})

# PETSCII 0x60-0x7F and 0xA0-0xFF to code points in each set.
PETSCII_UNICODE_60_7F = {
    UPPER: rows("""
        2500 2660 2502 2501 E064 E065 E066 E067 E068 256E 2570 256F E06C 2572 2571 E06F
        E070 25CF E072 2665 E074 256D 2573 25CB 2663 E079 2666 253C E07C 2502 03C0 25E5"""),
    LOWER: rows("""
        2500 0041 0042 0043 0044 0045 0046 0047 0048 0049 004A 004B 004C 004D 004E 004F
        0050 0051 0052 0053 0054 0055 0056 0057 0058 0059 005A 253C E17C 2502 E17E EF5F"""),
}
PETSCII_UNICODE_A0_FF = {
    UPPER: rows("""
        00A0 258C 2584 2594 2581 258E 2592 E0A7 E0A8 25E4 E0AA 251C 2597 2514 2510 2582
        250C 2534 252C 2524 258E 258D E0B6 E0B7 E0B8 2583 E0BA 2596 259D 2518 2598 259A
        2500 2660 2502 2500 E0C4 E0C5 E0C6 E0C7 E0C8 256E 2570 256F E0CC 2572 2571 E0CF
        E0D0 25CF E0D2 2665 E0D4 256D 2573 25CB 2663 E0D9 2666 253C E0DC 2502 03C0 25E5
        00A0 258C 2584 2594 2581 258E 2592 E0E7 E0E8 25E4 E0E7 251C 2597 2514 2510 2582
        250C 2534 252C 2524 258E 258D E0F6 E0F7 E0F8 2583 E0FA 2596 259D 2518 2598 03C0"""),
    LOWER: rows("""
        00A0 258C 2584 2594 2581 258E 2592 E1A7 E1A8 EF69 E1AA 251C 2597 2514 2510 2582
        250C 2534 252C 2525 258E 258D E1B6 E1B7 E1B8 2583 2713 2596 259D 2518 2598 259A
        2500 0041 0042 0043 0044 0045 0046 0047 0048 0049 004A 004B 004C 004D 004E 004F
        0050 0051 0052 0053 0054 0055 0056 0057 0058 0059 005A 253C E17C 2502 E17E EF5F
        00A0 258C 2584 2594 2581 258E 2592 E3E7 E1E8 EF69 E1EA 251C 2597 2514 2510 2582
        250C 2534 252C 2524 258E 258D E1F6 E1F7 E1F8 2583 2713 2596 259D 2518 2598 E1DE"""),
}

# The lower table's 0xE7 names the reversed glyph of its position; the
# program keeps that entry, so the check below lets it through.
KNOWN_TABLE_QUIRKS = {(LOWER, 0xE7)}

# Where the source font keeps each glyph. Its private-use code points hold
# the glyphs that Unicode lacks; it draws box lines with the heavy code
# points and the checkerboard as U+2593.
SOURCE_FOR_PRIVATE_USE = {
    0x44: 0xE001, 0x45: 0xE002, 0x46: 0xE003, 0x47: 0xE004, 0x48: 0xE005,
    0x4C: 0xE006, 0x4F: 0xE007, 0x50: 0xE008, 0x52: 0xE009, 0x54: 0xE00A,
    0x59: 0xE00B, 0x5C: 0xE00C, 0x67: 0xE00F, 0x68: 0xE00E, 0x6A: 0xE00F,
    0x76: 0xE010, 0x77: 0xE011, 0x78: 0xE012, 0x7A: 0xE013,
}
SOURCE_LOWER_ONLY = {0x5E: 0xE06F, 0x5F: 0x25A7, 0x69: 0x25A8}
SOURCE_SUBSTITUTES = {
    0x2500: 0x2501, 0x2502: 0x2503, 0x250C: 0x250F, 0x2510: 0x2513,
    0x2514: 0x2517, 0x2518: 0x251B, 0x251C: 0x2523, 0x2524: 0x252B,
    0x252C: 0x2533, 0x2534: 0x253B, 0x253C: 0x254B, 0x2592: 0x2593,
    0x2022: 0x25CF,  # the screen table's ball; the source's U+2022 is a small bullet
}
# Code points that the source draws differently from the screen tables.
REDRAWN = {0x2022}


def fail(message):
    sys.exit("make_tessel_mono: " + message)


def source_bitmaps(font):
    """Maps every code point of the source font to its 8x8 bitmap (8 row bytes).

    Each glyph of the source is a composite of horizontal bars pixel.N, N
    pixels long, placed by translations on the 128-unit pixel grid."""
    glyf = font["glyf"]

    def light(name, dx, dy, bits):
        glyph = glyf[name]
        if not glyph.isComposite():
            if not name.startswith("pixel."):
                if glyph.numberOfContours == 0:
                    return
                fail("unexpected outline in glyph " + name)
            length = int(name.split(".")[1])
            if dx % UNITS_PER_PIXEL or dy % UNITS_PER_PIXEL:
                fail("bar off the pixel grid in a glyph")
            column, row = dx // UNITS_PER_PIXEL, (ASCENT - UNITS_PER_PIXEL - dy) // UNITS_PER_PIXEL
            if not (0 <= row < 8 and 0 <= column and column + length <= 8):
                fail("bar outside the cell in a glyph")
            for x in range(column, column + length):
                bits[row] |= 0x80 >> x
            return
        for component in glyph.components:
            if getattr(component, "transform", None) is not None:
                fail("scaled component in glyph " + name)
            light(component.glyphName, dx + component.x, dy + component.y, bits)

    result = {}
    for code_point, name in font.getBestCmap().items():
        bits = [0] * 8
        light(name, 0, 0, bits)
        result[code_point] = tuple(bits)
    return result


def inverse(bitmap):
    return tuple(0xFF ^ row for row in bitmap)


def character_generator(source):
    """The 256 glyphs of each set, positions 0x80-0xFF being the reverse ones."""
    def source_glyph(code_point):
        if code_point not in source:
            fail("source font lacks U+%04X" % code_point)
        return source[code_point]

    generator = {}
    for charset in (UPPER, LOWER):
        glyphs = [None] * 256
        glyphs[0x00] = source_glyph(0x40)
        for i in range(26):
            glyphs[0x01 + i] = source_glyph((0x61 if charset == LOWER else 0x41) + i)
        for position, code_point in ((0x1B, 0x5B), (0x1C, 0xA3), (0x1D, 0x5D),
                                     (0x1E, 0x2191), (0x1F, 0x2190)):
            glyphs[position] = source_glyph(code_point)
        for position in range(0x20, 0x40):
            glyphs[position] = source_glyph(position)
        for position in range(0x40, 0x80):
            code_point = SCREEN_UNICODE_40_7F[charset][position - 0x40]
            if charset == LOWER and position in SOURCE_LOWER_ONLY:
                code_point = SOURCE_LOWER_ONLY[position]
            elif 0xEE00 <= code_point <= 0xEFFF:
                code_point = SOURCE_FOR_PRIVATE_USE[position]
            glyphs[position] = source_glyph(SOURCE_SUBSTITUTES.get(code_point, code_point))
        for position in range(0x80):
            glyphs[position | 0x80] = inverse(glyphs[position])
        generator[charset] = glyphs
    return generator


def petscii_screen_code(c):
    """Character-generator position of PETSCII byte c; control codes show
    their reverse-video glyph, as in quote mode."""
    if c & 0x60 == 0:
        return 0x80 | (c & 0x1F) | ((c >> 1) & 0x40)
    if c < 0x60:
        return c & 0x3F
    if c < 0x80:
        return c & 0x5F
    if c < 0xFF:
        return (c & 0x3F) | 0x40
    return 0x5E


def petscii_unicode(charset, c):
    """Code point of PETSCII byte c in the program's PETSCII tables."""
    if c < 0x20:
        if charset == LOWER and 0x01 <= c <= 0x1A:
            return 0x61 + c - 1
        return petscii_unicode(charset, c + 0x40)
    if c < 0x40:
        return c
    if c < 0x60:
        if 0x41 <= c <= 0x5A:
            return c + (0x20 if charset == LOWER else 0)
        return {0x40: 0x40, 0x5B: 0x5B, 0x5C: 0xA3, 0x5D: 0x5D, 0x5E: 0x2191, 0x5F: 0x2190}[c]
    if c < 0x80:
        return PETSCII_UNICODE_60_7F[charset][c - 0x60]
    if c < 0xA0:
        if c == 0x80:
            return 0x2501
        if c == 0x83 and charset == UPPER:
            return 0x2500
        return petscii_unicode(charset, c - 0x20)
    return PETSCII_UNICODE_A0_FF[charset][c - 0xA0]


def screen_unicode(charset, s):
    """Code point of character-generator position s in the program's screen tables."""
    if s < 0x20:
        return petscii_unicode(charset, s + 0x40)
    if s < 0x40:
        return s
    if s < 0x80:
        return SCREEN_UNICODE_40_7F[charset][s - 0x40]
    return SCREEN_UNICODE_REVERSED[charset].get(s, (0xEE00 if charset == UPPER else 0xEF00) + s)


def font_glyphs(generator):
    """Maps every code point of Tessel Mono to its bitmap."""
    glyphs = {}
    for charset in (UPPER, LOWER):
        for reverse in (0, 1):
            for c in range(256):
                position = petscii_screen_code(c) ^ (0x80 * reverse)
                glyphs[0xE000 + 0x100 * charset + 0x200 * reverse + c] = generator[charset][position]
        for s in range(256):
            glyphs[(0xEE00 if charset == UPPER else 0xEF00) + s] = generator[charset][s]
    return glyphs


def add_standard_code_points(glyphs, generator, source):
    """Adds the standard code points of the program's tables, checking that
    every table entry draws the glyph of its position."""
    def private_use(code_point):
        return 0xE000 <= code_point <= 0xF8FF

    entries = []
    for charset in (UPPER, LOWER):
        for c in range(256):
            shown = c
            if c < 0x20:
                shown = c + 0x40
            elif 0x80 <= c < 0xA0:
                shown = c - 0x20
            position = petscii_screen_code(shown)
            entries.append(((charset, c), petscii_unicode(charset, c), generator[charset][position]))
        for s in range(256):
            entries.append((None, screen_unicode(charset, s), generator[charset][s]))

    for origin, code_point, bitmap in entries:
        if private_use(code_point):
            if glyphs[code_point] != bitmap and origin not in KNOWN_TABLE_QUIRKS:
                fail("table entry U+%04X does not draw its position's glyph" % code_point)
            continue
        if glyphs.setdefault(code_point, bitmap) != bitmap:
            fail("U+%04X would need two different glyphs" % code_point)

    for code_point in sorted(glyphs):
        if private_use(code_point) or code_point in REDRAWN or code_point not in source:
            continue
        if source[code_point] != glyphs[code_point]:
            fail("U+%04X differs from the source font's glyph" % code_point)


def trace(bitmap):
    """Outlines of the lit pixels as closed contours in font units: outer
    contours clockwise, holes counter-clockwise, collinear points dropped."""
    edges = set()
    for row in range(8):
        for column in range(8):
            if not bitmap[row] & (0x80 >> column):
                continue
            top, bottom = 8 - row, 7 - row
            corners = [(column, top), (column + 1, top), (column + 1, bottom), (column, bottom)]
            for i in range(4):
                edge = (corners[i], corners[(i + 1) % 4])
                reverse_edge = (edge[1], edge[0])
                if reverse_edge in edges:
                    edges.remove(reverse_edge)
                else:
                    edges.add(edge)

    outgoing = {}
    for start, end in edges:
        outgoing.setdefault(start, []).append(end)

    contours = []
    while outgoing:
        start = min(outgoing)
        points = [start]
        direction = None
        point = start
        while True:
            choices = outgoing[point]
            if len(choices) == 1 or direction is None:
                target = min(choices)
            else:
                # At a corner where two pixels touch diagonally, turn right
                # to keep every contour simple.
                dx, dy = direction
                preference = [(dy, -dx), (dx, dy), (-dy, dx)]
                target = min(choices, key=lambda end: preference.index(
                    (end[0] - point[0], end[1] - point[1])))
            choices.remove(target)
            if not choices:
                del outgoing[point]
            direction = (target[0] - point[0], target[1] - point[1])
            point = target
            if point == start:
                break
            points.append(point)
        corners = [p for i, p in enumerate(points)
                   if direction_between(points[i - 1], p) != direction_between(p, points[(i + 1) % len(points)])]
        contours.append([(x * UNITS_PER_PIXEL, y * UNITS_PER_PIXEL + DESCENT) for x, y in corners])
    return contours


def direction_between(a, b):
    return (b[0] - a[0], b[1] - a[1])


def outline(bitmap):
    pen = TTGlyphPen(None)
    for contour in trace(bitmap):
        pen.moveTo(contour[0])
        for point in contour[1:]:
            pen.lineTo(point)
        pen.closePath()
    return pen.glyph()


def monospaced_panose():
    panose = {name: 0 for name in ("bFamilyType", "bSerifStyle", "bWeight", "bProportion",
                                   "bContrast", "bStrokeVariation", "bArmStyle",
                                   "bLetterForm", "bMidline", "bXHeight")}
    panose.update(bFamilyType=2, bProportion=9)  # Latin text, monospaced
    return panose


NOTDEF = (0x00, 0x7E, 0x42, 0x42, 0x42, 0x42, 0x7E, 0x00)


def build(glyphs):
    bitmaps = {}
    for code_point in sorted(glyphs):
        bitmaps.setdefault(glyphs[code_point], "space" if code_point == 0x20 else "g%03d" % len(bitmaps))
    if bitmaps.get((0,) * 8) != "space":
        fail("the space must be the first blank glyph")
    glyph_order = [".notdef"] + list(bitmaps.values())
    outlines = {".notdef": outline(NOTDEF)}
    outlines.update({name: outline(bitmap) for bitmap, name in bitmaps.items()})

    builder = FontBuilder(CELL, isTTF=True)
    builder.font.recalcTimestamp = False
    builder.setupHead(unitsPerEm=CELL, created=TIMESTAMP, modified=TIMESTAMP,
                      fontRevision=1.0, lowestRecPPEM=8)
    builder.font["head"].flags = 0x000B  # baseline at 0, lsb at xMin, integer scaling
    builder.setupGlyphOrder(glyph_order)
    builder.setupCharacterMap({code_point: bitmaps[glyphs[code_point]] for code_point in sorted(glyphs)})
    builder.setupGlyf(outlines)
    glyf = builder.font["glyf"]
    builder.setupHorizontalMetrics(
        {name: (CELL, getattr(glyf[name], "xMin", 0)) for name in glyph_order})
    builder.setupHorizontalHeader(ascent=ASCENT, descent=DESCENT, lineGap=0)
    builder.setupNameTable({
        "copyright": COPYRIGHT,
        "familyName": "Tessel Mono",
        "styleName": "Regular",
        "uniqueFontIdentifier": "TesselMono-Regular 1.000",
        "fullName": "Tessel Mono",
        "version": "Version 1.000",
        "psName": "TesselMono",
        "licenseDescription": LICENCE,
        "licenseInfoURL": LICENCE_URL,
    }, mac=False)
    builder.setupOS2(
        version=4, achVendID="NONE", fsType=0, fsSelection=0x40 | 0x80,
        sTypoAscender=ASCENT, sTypoDescender=DESCENT, sTypoLineGap=0,
        usWinAscent=ASCENT, usWinDescent=-DESCENT,
        sxHeight=5 * UNITS_PER_PIXEL, sCapHeight=7 * UNITS_PER_PIXEL,
        panose=monospaced_panose())
    builder.setupPost(keepGlyphNames=False, isFixedPitch=1,
                      underlinePosition=DESCENT // 2, underlineThickness=UNITS_PER_PIXEL)
    return builder.font


def main():
    parser = argparse.ArgumentParser(description="Build the Tessel Mono font.")
    parser.add_argument("--source", default=DEFAULT_SOURCE, help="the C-64 font (fonts-sixtyfour)")
    parser.add_argument("output", help="TrueType file to write")
    arguments = parser.parse_args()

    source = source_bitmaps(TTFont(arguments.source))
    generator = character_generator(source)
    glyphs = font_glyphs(generator)
    add_standard_code_points(glyphs, generator, source)
    build(glyphs).save(arguments.output)


if __name__ == "__main__":
    main()
