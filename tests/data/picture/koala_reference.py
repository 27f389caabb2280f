#!/usr/bin/env python3
"""Palette indices of a Koala Painter picture, written from the format alone.

A Koala file is a load address, 8000 bitmap bytes, 1000 screen bytes, 1000
colour bytes and the background colour. Each of the 40 x 25 cells is 4 x 8
double-wide pixels; bit pairs 00, 01, 10, 11 take the background, the screen
byte's high and low nibble, and the colour byte. Prints 320 x 200 index bytes.
"""
import sys

data = open(sys.argv[1], 'rb').read()[2:]
bitmap, screen, colour, background = data[:8000], data[8000:9000], data[9000:10000], data[10000] & 15
out = bytearray(320 * 200)
for y in range(200):
    for x in range(320):
        cell = (y // 8) * 40 + x // 8
        byte = bitmap[cell * 8 + y % 8]
        pair = (byte >> (6 - (x % 8) // 2 * 2)) & 3
        out[y * 320 + x] = [background, screen[cell] >> 4, screen[cell] & 15, colour[cell] & 15][pair]
sys.stdout.buffer.write(bytes(out))
