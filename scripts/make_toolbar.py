#!/usr/bin/env python3
"""Draws the main toolbar's strip (res/bitmaps/toolbar.bmp): one 28 x 24
picture per button, in the order of the toolbar resource. Light grey
(C0C0C0) is the background the toolbar shows as the button face. Run
once when a picture changes; the bitmap is committed."""
import os
import struct

W, H = 28, 24
FACE = (0xC0, 0xC0, 0xC0)  # mapped to the button face
INK = (0x20, 0x20, 0x20)
PAPER = (0xFE, 0xFE, 0xFE)  # pure white would be mapped to the highlight colour
EDGE = (0x50, 0x50, 0x60)
RED = (0xC8, 0x20, 0x20)
GREEN = (0x20, 0x90, 0x30)
BLUE = (0x28, 0x50, 0xB0)
YELLOW = (0xF0, 0xC0, 0x20)
BROWN = (0x90, 0x60, 0x30)
STEEL = (0x70, 0x78, 0x88)
TEAL = (0x10, 0x80, 0x80)


class Pic:
    def __init__(self):
        self.px = [[FACE] * W for _ in range(H)]

    def dot(self, x, y, c):
        if 0 <= x < W and 0 <= y < H:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, c)

    def box(self, x0, y0, x1, y1, c):
        self.fill(x0, y0, x1, y0, c)
        self.fill(x0, y1, x1, y1, c)
        self.fill(x0, y0, x0, y1, c)
        self.fill(x1, y0, x1, y1, c)

    def framed(self, x0, y0, x1, y1, inside, edge):
        self.fill(x0, y0, x1, y1, inside)
        self.box(x0, y0, x1, y1, edge)

    def line(self, x0, y0, x1, y1, c, thick=1):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            x = x0 + (x1 - x0) * i / steps
            y = y0 + (y1 - y0) * i / steps
            self.fill(round(x), round(y), round(x) + thick - 1, round(y) + thick - 1, c)

    def disc(self, cx, cy, r, c, inner=-1.0):
        for y in range(H):
            for x in range(W):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if inner < d <= r:
                    self.dot(x, y, c)

    def page(self, x0, y0, x1, y1, bar=RED):
        """A calendar leaf: coloured top bar, two rings, white paper."""
        self.fill(x0, y0, x1, y1, PAPER)
        self.fill(x0, y0, x1, y0 + 3, bar)
        self.box(x0, y0, x1, y1, EDGE)
        for rx in (x0 + 3, x1 - 3):
            self.fill(rx, y0 - 2, rx, y0 + 1, INK)

    def grid(self, x0, y0, x1, y1, cols, rows, c=STEEL):
        for i in range(cols + 1):
            x = x0 + (x1 - x0) * i // cols
            self.fill(x, y0, x, y1, c)
        for j in range(rows + 1):
            y = y0 + (y1 - y0) * j // rows
            self.fill(x0, y, x1, y, c)

    def lines(self, x0, y0, x1, y1, step=3, c=INK):
        for y in range(y0, y1 + 1, step):
            self.fill(x0, y, x1, y, c)


def small_page(p, bar=RED):
    p.page(2, 4, 17, 21, bar)
    p.lines(5, 11, 14, 19, 3, STEEL)


def calendar_manager(p):
    # Three leaves fanned out: the list of calendars.
    p.page(10, 3, 25, 15, BLUE)
    p.page(6, 7, 21, 19, GREEN)
    p.page(2, 11, 17, 22, RED)
    p.lines(5, 17, 14, 20, 3, STEEL)


def add(p):
    small_page(p)
    p.fill(19, 11, 26, 13, GREEN)
    p.fill(21, 8, 23, 16, GREEN)
    p.fill(18, 12, 27, 12, GREEN)
    p.fill(22, 7, 22, 17, GREEN)


def modify(p):
    small_page(p)
    # A pencil across the leaf, point at the lower left.
    for i in range(3):
        p.line(12 + i, 19, 24 + i, 7, YELLOW)
    p.line(11, 20, 23, 8, INK)
    p.line(15, 20, 27, 8, INK)
    p.fill(24, 5, 27, 8, RED)
    p.line(10, 21, 12, 19, INK)


def delete(p):
    small_page(p)
    p.line(17, 9, 26, 18, RED, 2)
    p.line(26, 9, 17, 18, RED, 2)


def search(p):
    # A magnifying glass.
    p.disc(11, 10, 7.5, EDGE)
    p.disc(11, 10, 5.5, (0xD8, 0xE8, 0xF8))
    p.dot(9, 7, PAPER)
    p.dot(8, 8, PAPER)
    p.line(16, 15, 23, 22, BROWN, 3)


def wizard(p):
    # A wand with a star at its tip.
    p.line(3, 21, 15, 9, INK, 2)
    p.line(4, 21, 7, 18, PAPER, 1)
    cx, cy = 19, 6
    p.fill(cx - 5, cy, cx + 5, cy, YELLOW)
    p.fill(cx, cy - 5, cx, cy + 5, YELLOW)
    p.fill(cx - 2, cy - 2, cx + 2, cy + 2, YELLOW)
    p.line(cx - 3, cy - 3, cx + 3, cy + 3, YELLOW)
    p.line(cx - 3, cy + 3, cx + 3, cy - 3, YELLOW)
    for x, y in ((24, 14), (12, 3), (25, 1)):
        p.dot(x, y, YELLOW)
        p.dot(x + 1, y, YELLOW)


def options(p):
    # A cog wheel.
    cx, cy = 13.5, 12
    p.disc(cx, cy, 7.5, STEEL)
    for dx, dy in ((0, -1), (0, 1), (-1, 0), (1, 0)):
        x, y = int(cx + dx * 8.5), int(cy + dy * 8.5)
        p.fill(x - 1, y - 1, x + 2, y + 1, STEEL)
    for dx, dy in ((-1, -1), (1, -1), (-1, 1), (1, 1)):
        x, y = int(cx + dx * 6.5), int(cy + dy * 6.5)
        p.fill(x - 1, y - 1, x + 1, y + 1, STEEL)
    p.disc(cx, cy, 3.2, FACE)
    p.disc(cx, cy, 7.5, INK, 6.8)


def print_(p):
    # A printer: paper in, body, paper out.
    p.framed(8, 2, 19, 9, PAPER, EDGE)
    p.framed(3, 9, 24, 17, STEEL, INK)
    p.fill(20, 11, 22, 12, GREEN)
    p.framed(7, 15, 20, 22, PAPER, EDGE)
    p.lines(9, 18, 18, 20, 2, INK)


def view_frame(p, bar=TEAL):
    p.fill(2, 2, 25, 21, PAPER)
    p.fill(2, 2, 25, 5, bar)
    p.box(2, 2, 25, 21, EDGE)


def day_view(p):
    # One day: hour lines and a booked slot.
    view_frame(p)
    p.lines(3, 9, 24, 20, 3, STEEL)
    p.fill(9, 10, 24, 14, BLUE)
    p.fill(4, 7, 7, 20, (0xE0, 0xE0, 0xE0))


def week_view(p):
    # Seven day columns under one heading.
    view_frame(p)
    p.grid(2, 6, 25, 21, 7, 1)
    p.fill(12, 8, 15, 12, BLUE)


def month_view(p):
    view_frame(p)
    p.grid(2, 6, 25, 21, 7, 5)


def list_part(p, y0, y1):
    for y in range(y0, y1 + 1, 3):
        p.fill(4, y, 6, y + 1, RED)
        p.fill(9, y, 23, y, INK)


def calendar_and_list(p):
    view_frame(p, BLUE)
    list_part(p, 7, 10)
    p.fill(2, 12, 25, 12, EDGE)
    p.grid(2, 13, 25, 21, 7, 2)


def calendar_only(p):
    view_frame(p, BLUE)
    p.grid(2, 6, 25, 21, 4, 3)
    p.fill(9, 12, 12, 15, RED)


def list_only(p):
    view_frame(p, BLUE)
    list_part(p, 7, 20)


def hide(p):
    # A window going down into the notification area.
    p.fill(2, 2, 17, 12, PAPER)
    p.fill(2, 2, 17, 4, BLUE)
    p.box(2, 2, 17, 12, EDGE)
    p.framed(14, 17, 26, 22, STEEL, INK)
    p.fill(22, 19, 24, 20, GREEN)
    p.fill(8, 9, 10, 16, RED)
    for i in range(4):
        p.fill(5 + i, 16 + i, 13 - i, 16 + i, RED)


# The toolbar resource's buttons in order (separators have no picture).
BUTTONS = [calendar_manager, add, modify, delete, search, wizard, options, print_,
           day_view, week_view, month_view,
           calendar_and_list, calendar_only, list_only,
           hide]


def bmp(pics):
    """An 8-bit bitmap with a colour table: the toolbar maps the table's
    light grey to the button face, which it cannot do in a 24-bit one."""
    width = W * len(pics)
    rows = [[c for pic in pics for c in pic.px[y]] for y in range(H)]
    palette = sorted({c for row in rows for c in row})
    assert len(palette) <= 256
    index = {c: i for i, c in enumerate(palette)}
    row_bytes = (width + 3) & ~3
    body = b''
    for row in reversed(rows):  # bottom-up
        body += bytes(index[c] for c in row) + b'\0' * (row_bytes - width)
    table = b''.join(bytes((c[2], c[1], c[0], 0)) for c in palette)
    info = struct.pack('<IiiHHIIiiII', 40, width, H, 1, 8, 0, len(body), 2835, 2835, len(palette), 0)
    offset = 14 + len(info) + len(table)
    head = struct.pack('<2sIHHI', b'BM', offset + len(body), 0, 0, offset)
    return head + info + table + body


def main():
    pics = []
    for draw in BUTTONS:
        p = Pic()
        draw(p)
        pics.append(p)
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res', 'bitmaps', 'toolbar.bmp')
    with open(out, 'wb') as f:
        f.write(bmp(pics))


if __name__ == '__main__':
    main()
