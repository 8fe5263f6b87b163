#!/usr/bin/env python3
"""Draws Inkslip's 16 x 16 icons and writes them as .ico files.

The icons are committed, so building the program never runs this script;
run it again only after changing a drawing here:

    python3 scripts/make-icons.py            # writes resources/icons/*.ico
    python3 scripts/make-icons.py OUT_DIR    # writes them elsewhere

Only the standard library is used. Each file holds one 16 x 16 image in
32-bit BGRA with an AND mask, the form every Windows version since XP loads.
"""

import os
import struct
import sys

SIZE = 16

# Colours as (red, green, blue, alpha).
CLEAR = (0, 0, 0, 0)
BLACK = (0, 0, 0, 255)
WHITE = (255, 255, 255, 255)
OUTLINE = (48, 48, 48, 255)
NOTE_YELLOW = (255, 236, 110, 255)
NOTE_FOLD = (222, 196, 60, 255)
TAB_CYAN = (0, 200, 230, 255)
INK_BLUE = (30, 70, 200, 255)
WOOD = (240, 180, 70, 255)
WOOD_DARK = (190, 120, 30, 255)
GRAPHITE = (60, 60, 60, 255)
ERASER_PINK = (245, 140, 160, 255)
ERASER_SLEEVE = (70, 110, 200, 255)
BUCKET_GREY = (150, 150, 160, 255)
BUCKET_LIGHT = (205, 205, 215, 255)
PAINT_RED = (220, 40, 40, 255)
SHAPE_BLUE = (60, 120, 220, 255)
SHAPE_GREEN = (40, 170, 80, 255)


class Image:
    """A 16 x 16 RGBA picture with (0, 0) at the top left."""

    def __init__(self):
        self.pixels = [[CLEAR] * SIZE for _ in range(SIZE)]

    def set(self, x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.pixels[y][x] = colour

    def fill_rect(self, left, top, right, bottom, colour):
        """Fills the inclusive rectangle left..right, top..bottom."""
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.set(x, y, colour)

    def frame_rect(self, left, top, right, bottom, colour):
        for x in range(left, right + 1):
            self.set(x, top, colour)
            self.set(x, bottom, colour)
        for y in range(top, bottom + 1):
            self.set(left, y, colour)
            self.set(right, y, colour)

    def line(self, x0, y0, x1, y1, colour):
        """Bresenham line, both end points included."""
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        error = dx + dy
        while True:
            self.set(x0, y0, colour)
            if x0 == x1 and y0 == y1:
                return
            doubled = 2 * error
            if doubled >= dy:
                error += dy
                x0 += sx
            if doubled <= dx:
                error += dx
                y0 += sy

    def fill_polygon(self, points, colour):
        """Fills the pixels whose centres lie inside the polygon."""
        count = len(points)
        for y in range(SIZE):
            centre_y = y + 0.5
            crossings = []
            for i in range(count):
                (xa, ya), (xb, yb) = points[i], points[(i + 1) % count]
                if (ya <= centre_y) != (yb <= centre_y):
                    crossings.append(xa + (centre_y - ya) * (xb - xa) / (yb - ya))
            crossings.sort()
            for start, end in zip(crossings[0::2], crossings[1::2]):
                for x in range(SIZE):
                    if start <= x + 0.5 < end:
                        self.set(x, y, colour)

    def fill_ellipse(self, left, top, right, bottom, colour):
        """Fills the ellipse inscribed in the inclusive rectangle."""
        centre_x, centre_y = (left + right + 1) / 2, (top + bottom + 1) / 2
        radius_x, radius_y = (right - left + 1) / 2, (bottom - top + 1) / 2
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                u = (x + 0.5 - centre_x) / radius_x
                v = (y + 0.5 - centre_y) / radius_y
                if u * u + v * v <= 1.0:
                    self.set(x, y, colour)

    def outline_opaque(self, colour):
        """Draws a one-pixel border around every opaque area."""
        opaque = [[p[3] != 0 for p in row] for row in self.pixels]
        for y in range(SIZE):
            for x in range(SIZE):
                if not opaque[y][x]:
                    continue
                for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                    outside = not (0 <= nx < SIZE and 0 <= ny < SIZE)
                    if outside or not opaque[ny][nx]:
                        self.pixels[y][x] = colour
                        break


def draw_tray():
    """A yellow note with a cyan tab, a folded corner and a blue scribble."""
    image = Image()
    image.fill_rect(0, 0, 5, 3, TAB_CYAN)
    image.frame_rect(0, 0, 5, 3, OUTLINE)
    image.fill_polygon([(0, 3), (16, 3), (16, 12), (12, 16), (0, 16)], NOTE_YELLOW)
    image.line(0, 3, 15, 3, OUTLINE)
    image.line(15, 3, 15, 11, OUTLINE)
    image.line(0, 3, 0, 15, OUTLINE)
    image.line(0, 15, 11, 15, OUTLINE)
    image.line(15, 11, 11, 15, OUTLINE)
    image.fill_polygon([(12, 12), (15, 12), (12, 15)], NOTE_FOLD)
    scribble = [(3, 10), (5, 6), (7, 11), (9, 6), (12, 9)]
    for (x0, y0), (x1, y1) in zip(scribble, scribble[1:]):
        image.line(x0, y0, x1, y1, INK_BLUE)
    return image


def draw_pen():
    """A pencil lying from the top right down to its point at the bottom left."""
    image = Image()
    # Body: a band along the diagonal.
    image.fill_polygon([(12, 1), (15, 4), (6, 13), (3, 10)], WOOD)
    image.line(11, 2, 4, 9, WOOD_DARK)
    # Sharpened end and graphite point.
    image.fill_polygon([(3, 10), (6, 13), (1, 15)], (250, 220, 170, 255))
    image.fill_polygon([(1, 13), (3, 15), (0, 16)], GRAPHITE)
    # Eraser cap at the top right.
    image.fill_polygon([(12, 1), (13, 0), (16, 3), (15, 4)], ERASER_PINK)
    image.outline_opaque(OUTLINE)
    return image


def draw_eraser():
    """A slanted eraser block: pink rubber in a blue sleeve."""
    image = Image()
    image.fill_polygon([(1, 11), (7, 5), (12, 10), (6, 16)], ERASER_PINK)
    image.fill_polygon([(7, 5), (11, 1), (16, 6), (12, 10)], ERASER_SLEEVE)
    image.outline_opaque(OUTLINE)
    image.line(7, 5, 11, 9, OUTLINE)
    return image


def draw_fill():
    """A tilted paint bucket pouring a red drop."""
    image = Image()
    image.fill_polygon([(4, 7), (10, 2), (16, 9), (10, 15)], BUCKET_GREY)
    image.fill_polygon([(5, 7), (10, 3), (11, 4), (6, 8)], BUCKET_LIGHT)
    image.outline_opaque(OUTLINE)
    # The handle arching over the bucket.
    image.line(6, 4, 8, 1, OUTLINE)
    image.line(9, 0, 12, 0, OUTLINE)
    image.line(13, 1, 14, 4, OUTLINE)
    # Paint running over the lip and dripping down.
    image.fill_rect(3, 7, 5, 8, PAINT_RED)
    image.fill_rect(2, 8, 4, 11, PAINT_RED)
    image.fill_rect(2, 12, 3, 13, PAINT_RED)
    image.fill_rect(1, 14, 4, 15, PAINT_RED)
    return image


def draw_box():
    """A filled rectangle."""
    image = Image()
    image.fill_rect(1, 3, 14, 12, SHAPE_BLUE)
    image.frame_rect(1, 3, 14, 12, OUTLINE)
    return image


def draw_ellipse():
    """A filled ellipse."""
    image = Image()
    image.fill_ellipse(0, 2, 15, 13, SHAPE_GREEN)
    image.outline_opaque(OUTLINE)
    return image


def draw_text():
    """A black capital A on a white square."""
    image = Image()
    image.fill_rect(1, 1, 14, 14, WHITE)
    image.frame_rect(1, 1, 14, 14, OUTLINE)
    image.line(4, 12, 7, 3, BLACK)
    image.line(5, 12, 8, 3, BLACK)
    image.line(8, 3, 11, 12, BLACK)
    image.line(7, 3, 10, 12, BLACK)
    image.line(6, 9, 9, 9, BLACK)
    image.line(4, 12, 5, 12, BLACK)
    image.line(10, 12, 11, 12, BLACK)
    return image


ICONS = {
    "tray.ico": draw_tray,
    "pen.ico": draw_pen,
    "eraser.ico": draw_eraser,
    "fill.ico": draw_fill,
    "box.ico": draw_box,
    "ellipse.ico": draw_ellipse,
    "text.ico": draw_text,
}


def encode_ico(image):
    """One 16 x 16 32-bit image: ICONDIR, ICONDIRENTRY, BITMAPINFOHEADER,
    bottom-up BGRA rows, then the 1-bit AND mask (rows padded to 4 bytes)."""
    colour_rows = []
    mask_rows = []
    for row in reversed(image.pixels):
        colour_rows.append(b"".join(struct.pack("<BBBB", b, g, r, a) for r, g, b, a in row))
        bits = 0
        for x, (_, _, _, alpha) in enumerate(row):
            if alpha == 0:
                bits |= 0x8000 >> x
        mask_rows.append(struct.pack(">H", bits) + b"\0\0")
    colour = b"".join(colour_rows)
    mask = b"".join(mask_rows)
    # The height counts the colour and mask halves together.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    data = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(data), 6 + 16)
    return directory + entry + data


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_folder = os.path.join(here, "..", "resources", "icons")
    folder = sys.argv[1] if len(sys.argv) > 1 else default_folder
    os.makedirs(folder, exist_ok=True)
    for name, draw in ICONS.items():
        with open(os.path.join(folder, name), "wb") as file:
            file.write(encode_ico(draw()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
