#!/usr/bin/env python3
"""Draws the 31 notification-area icons (a calendar page with the day of
the month) into res/icons/tray/dayNN.ico. Run once when the picture
changes; the icons are committed."""
import os
import struct

DIGITS = {
    '0': ["111", "101", "101", "101", "101", "101", "111"],
    '1': ["010", "110", "010", "010", "010", "010", "111"],
    '2': ["111", "001", "001", "111", "100", "100", "111"],
    '3': ["111", "001", "001", "111", "001", "001", "111"],
    '4': ["101", "101", "101", "111", "001", "001", "001"],
    '5': ["111", "100", "100", "111", "001", "001", "111"],
    '6': ["111", "100", "100", "111", "101", "101", "111"],
    '7': ["111", "001", "001", "010", "010", "010", "010"],
    '8': ["111", "101", "101", "111", "101", "101", "111"],
    '9': ["111", "101", "101", "111", "001", "001", "111"],
}
RED, WHITE, BLACK, GREY = (0xC0, 0x20, 0x20), (0xFF, 0xFF, 0xFF), (0, 0, 0), (0x60, 0x60, 0x60)


def picture(day):
    px = [[None] * 16 for _ in range(16)]
    for y in range(1, 16):
        for x in range(0, 16):
            edge = x in (0, 15) or y in (1, 15)
            px[y][x] = GREY if edge else (RED if y < 5 else WHITE)
    text = str(day)
    width = len(text) * 4 - 1
    left = (16 - width) // 2
    for i, ch in enumerate(text):
        for row, bits in enumerate(DIGITS[ch]):
            for col, bit in enumerate(bits):
                if bit == '1':
                    px[6 + row][left + i * 4 + col] = BLACK
    return px


def ico(px):
    rows = b''
    for y in range(15, -1, -1):  # bottom-up
        for x in range(16):
            c = px[y][x]
            rows += bytes((c[2], c[1], c[0], 0xFF)) if c else b'\0\0\0\0'
    mask = b''
    for y in range(15, -1, -1):
        bits = 0
        for x in range(16):
            if px[y][x] is None:
                bits |= 1 << (15 - x)
        mask += struct.pack('>H', bits) + b'\0\0'
    header = struct.pack('<IiiHHIIiiII', 40, 16, 32, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    image = header + rows + mask
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', 16, 16, 0, 0, 1, 32, len(image), 22) + image


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res', 'icons', 'tray')
    os.makedirs(out, exist_ok=True)
    for day in range(1, 32):
        with open(os.path.join(out, 'day%02d.ico' % day), 'wb') as f:
            f.write(ico(picture(day)))


if __name__ == '__main__':
    main()
