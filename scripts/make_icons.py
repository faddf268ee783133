#!/usr/bin/env python3
"""Draws the program's own images into resources/ as PNG files.

The toolbar bitmaps (601 to 615, 621) and the dialog pictures (609, 616 to
620) are 32 x 32 pixels; the program icon sociantes.png is 64 x 64. Every
image is drawn here from simple shapes (rectangles, ellipses, polygons and
strokes), rendered four times larger and averaged down, so the edges are
smooth. Only the Python standard library is used; run it again after a
change: scripts/make_icons.py [OUTPUT_DIR]
"""

import os
import struct
import sys
import zlib

SS = 4  # supersampling factor


class Canvas:
    """An RGBA image drawn at SS times its size, shapes painted in order."""

    def __init__(self, size):
        self.size = size
        self.n = size * SS
        self.px = [[(0, 0, 0, 0)] * self.n for _ in range(self.n)]

    # --- painting ---------------------------------------------------------
    def _paint(self, inside, bbox, colour):
        """Sets every sample whose centre (in 32-unit coordinates) is inside."""
        scale = self.size / 32.0
        x0, y0, x1, y1 = bbox
        lo_x = max(0, int(x0 * scale * SS) - 1)
        hi_x = min(self.n, int(x1 * scale * SS) + 2)
        lo_y = max(0, int(y0 * scale * SS) - 1)
        hi_y = min(self.n, int(y1 * scale * SS) + 2)
        r, g, b, a = colour if len(colour) == 4 else (*colour, 255)
        for sy in range(lo_y, hi_y):
            y = (sy + 0.5) / SS / scale
            row = self.px[sy]
            for sx in range(lo_x, hi_x):
                x = (sx + 0.5) / SS / scale
                if inside(x, y):
                    if a == 255:
                        row[sx] = (r, g, b, 255)
                    else:
                        pr, pg, pb, pa = row[sx]
                        k = a / 255.0
                        na = a + pa * (1 - k)
                        if na == 0:
                            continue
                        row[sx] = (
                            int((r * a + pr * pa * (1 - k)) / na),
                            int((g * a + pg * pa * (1 - k)) / na),
                            int((b * a + pb * pa * (1 - k)) / na),
                            int(na),
                        )

    def rect(self, x0, y0, x1, y1, colour, radius=0.0):
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            if radius <= 0:
                return True
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius

        self._paint(inside, (x0, y0, x1, y1), colour)

    def frame(self, x0, y0, x1, y1, width, fill, edge, radius=0.0):
        """A filled rectangle with an edge of the given width."""
        self.rect(x0, y0, x1, y1, edge, radius)
        self.rect(x0 + width, y0 + width, x1 - width, y1 - width, fill,
                  max(0.0, radius - width))

    def ellipse(self, cx, cy, rx, ry, colour):
        def inside(x, y):
            return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0

        self._paint(inside, (cx - rx, cy - ry, cx + rx, cy + ry), colour)

    def circle(self, cx, cy, r, colour):
        self.ellipse(cx, cy, r, r, colour)

    def ring(self, cx, cy, r, width, colour):
        def inside(x, y):
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            return r - width <= d <= r

        self._paint(inside, (cx - r, cy - r, cx + r, cy + r), colour)

    def polygon(self, pts, colour):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]

        def inside(x, y):
            c = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]
                xj, yj = pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    c = not c
                j = i
            return c

        self._paint(inside, (min(xs), min(ys), max(xs), max(ys)), colour)

    def line(self, x0, y0, x1, y1, width, colour):
        """A stroke with round ends."""
        h = width / 2.0
        dx, dy = x1 - x0, y1 - y0
        ll = dx * dx + dy * dy

        def inside(x, y):
            t = 0.0 if ll == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / ll))
            px, py = x0 + t * dx, y0 + t * dy
            return (x - px) ** 2 + (y - py) ** 2 <= h * h

        self._paint(inside, (min(x0, x1) - h, min(y0, y1) - h, max(x0, x1) + h, max(y0, y1) + h),
                    colour)

    def polyline(self, pts, width, colour):
        for a, b in zip(pts, pts[1:]):
            self.line(a[0], a[1], b[0], b[1], width, colour)

    # --- output -----------------------------------------------------------
    def pixels(self):
        out = []
        for y in range(self.size):
            row = []
            for x in range(self.size):
                tr = tg = tb = ta = 0
                for sy in range(y * SS, y * SS + SS):
                    for sx in range(x * SS, x * SS + SS):
                        r, g, b, a = self.px[sy][sx]
                        tr += r * a
                        tg += g * a
                        tb += b * a
                        ta += a
                if ta == 0:
                    row.append((0, 0, 0, 0))
                else:
                    row.append((tr // ta, tg // ta, tb // ta, ta // (SS * SS)))
            out.append(row)
        return out

    def save(self, path):
        rows = self.pixels()
        raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in rows)

        def chunk(tag, data):
            body = tag + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        png = b"\x89PNG\r\n\x1a\n"
        png += chunk(b"IHDR", struct.pack(">IIBBBBB", self.size, self.size, 8, 6, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(raw, 9))
        png += chunk(b"IEND", b"")
        with open(path, "wb") as f:
            f.write(png)


# Colours
INK = (52, 60, 72)
PAPER = (250, 250, 246)
PAPER_EDGE = (120, 128, 140)
BLUE = (52, 101, 164)
LIGHT_BLUE = (114, 159, 207)
GREEN = (78, 154, 6)
RED = (204, 0, 0)
DARK_RED = (164, 0, 0)
YELLOW = (237, 212, 0)
ORANGE = (245, 121, 0)
BROWN = (143, 89, 2)
GREY = (136, 138, 133)
DARK_GREY = (85, 87, 83)
SKIN = (233, 185, 110)


def page(c, x0=6, y0=3, x1=24, y1=29):
    """A sheet of paper with a folded corner."""
    fold = 6
    c.polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], PAPER_EDGE)
    c.polygon([(x0 + 1, y0 + 1), (x1 - fold - 0.4, y0 + 1), (x1 - 1, y0 + fold + 0.4),
               (x1 - 1, y1 - 1), (x0 + 1, y1 - 1)], PAPER)
    c.polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], (210, 210, 204))


def text_lines(c, x0, x1, ys, colour=GREY, width=1.4):
    for y in ys:
        c.line(x0, y, x1, y, width, colour)


def person(c, cx, top, scale, body, head=SKIN):
    """A person: head and shoulders."""
    c.circle(cx, top + 4.5 * scale, 4.2 * scale, head)
    c.rect(cx - 7 * scale, top + 9.5 * scale, cx + 7 * scale, top + 20 * scale, body,
           radius=5 * scale)


def envelope(c, x0, y0, x1, y1, fill=PAPER, edge=PAPER_EDGE):
    c.frame(x0, y0, x1, y1, 1.2, fill, edge, radius=1)
    mx = (x0 + x1) / 2
    c.polyline([(x0 + 1, y0 + 1.5), (mx, y0 + (y1 - y0) * 0.6), (x1 - 1, y0 + 1.5)], 1.4, edge)


def draw_new(c):      # 603: a new sheet with a plus
    page(c)
    text_lines(c, 9, 18, [12, 16, 20])
    c.circle(23, 23, 7, GREEN)
    c.line(23, 19, 23, 27, 2.4, (255, 255, 255))
    c.line(19, 23, 27, 23, 2.4, (255, 255, 255))


def draw_modify(c):   # 604: a sheet with a pencil
    page(c)
    text_lines(c, 9, 20, [10, 14, 18, 22])
    c.polygon([(27, 9), (30, 12), (16, 26), (12.5, 27.5), (14, 24)], ORANGE)
    c.polygon([(27, 9), (30, 12), (28.5, 13.5), (25.5, 10.5)], DARK_RED)
    c.polygon([(14, 24), (16, 26), (12.5, 27.5)], INK)


def draw_save(c):     # 602: a floppy disk
    c.frame(4, 4, 28, 28, 1.4, BLUE, (32, 74, 135), radius=2)
    c.rect(9, 5.5, 23, 13, (238, 238, 236))
    c.rect(18, 6.5, 21, 12, DARK_GREY)
    c.rect(8, 17, 24, 27, PAPER)
    text_lines(c, 10, 22, [20, 23.5], GREY, 1.2)


def draw_delete(c):   # 606: a waste bin
    c.rect(7, 7, 25, 9.5, DARK_GREY, radius=1)
    c.rect(13, 4.5, 19, 7.5, DARK_GREY, radius=1)
    c.polygon([(8.5, 10.5), (23.5, 10.5), (22, 29), (10, 29)], GREY)
    for x in (12.5, 16, 19.5):
        c.line(x, 13, x, 26.5, 1.5, (230, 230, 226))


def draw_cancel(c):   # 605: a red circle with a cross
    c.circle(16, 16, 13, RED)
    c.circle(16, 16, 10.6, (239, 41, 41))
    c.line(11, 11, 21, 21, 3.2, (255, 255, 255))
    c.line(21, 11, 11, 21, 3.2, (255, 255, 255))


def draw_search(c):   # 601: a magnifying glass
    c.line(19, 19, 28, 28, 4.5, BROWN)
    c.circle(13, 13, 10, DARK_GREY)
    c.circle(13, 13, 7.6, (214, 230, 245))
    c.ellipse(10.5, 10, 2.5, 1.6, (255, 255, 255))


def draw_history(c):  # 607: a clock
    c.circle(16, 16, 14, DARK_GREY)
    c.circle(16, 16, 12, PAPER)
    for i in range(12):
        import math
        a = i * math.pi / 6
        c.circle(16 + 10 * math.cos(a), 16 + 10 * math.sin(a), 0.9, INK)
    c.line(16, 16, 16, 7.5, 2.0, INK)
    c.line(16, 16, 22, 19, 2.0, INK)
    c.circle(16, 16, 1.6, RED)


def draw_email(c):    # 609: an envelope with an @
    envelope(c, 3, 8, 29, 26)
    c.ring(23, 21, 6, 1.6, BLUE)
    c.circle(23, 21, 2.2, BLUE)
    c.line(25.2, 21, 25.2, 23.5, 1.4, BLUE)


def draw_photo(c):    # 610: a portrait in a frame
    c.frame(4, 3, 28, 29, 2, (220, 225, 232), BROWN, radius=1)
    person(c, 16, 7, 1.0, BLUE)


def draw_mailing(c):  # 611: a stack of letters
    envelope(c, 9, 4, 29, 18, (236, 236, 230))
    envelope(c, 6, 9, 26, 23, (243, 243, 238))
    envelope(c, 3, 14, 23, 28)


def draw_print(c):    # 613: a printer with an address sheet
    c.rect(9, 3, 23, 14, PAPER_EDGE)
    c.rect(10, 4, 22, 14, PAPER)
    text_lines(c, 12, 20, [7, 10], GREY, 1.2)
    c.rect(3, 12, 29, 24, DARK_GREY, radius=2.5)
    c.rect(5, 14, 27, 22, GREY, radius=1.5)
    c.circle(24, 16.5, 1.1, GREEN)
    c.rect(8, 20, 24, 29, PAPER_EDGE)
    c.rect(9, 21, 23, 29, PAPER)
    text_lines(c, 11, 20, [24, 27], INK, 1.2)


def draw_member_card(c):  # 615: an identity card with a portrait
    c.frame(2, 6, 30, 26, 1.2, (232, 240, 250), BLUE, radius=2.5)
    c.rect(3.2, 7.2, 28.8, 11, BLUE)
    c.rect(5, 13, 14, 24, (255, 255, 255))
    person(c, 9.5, 13.5, 0.5, GREEN)
    text_lines(c, 16, 27, [15.5, 19, 22.5], DARK_GREY, 1.3)


def draw_record_card(c):  # 614: an index card with lines
    c.frame(3, 5, 29, 27, 1.0, (255, 252, 220), BROWN, radius=1)
    c.line(4, 10, 28, 10, 1.3, RED)
    text_lines(c, 6, 26, [14, 17.5, 21, 24.5], LIGHT_BLUE, 1.1)


def draw_folder(c):   # 621: an open folder
    c.polygon([(3, 7), (12, 7), (14, 10), (27, 10), (27, 26), (3, 26)], BROWN)
    c.polygon([(3.9, 8), (11.5, 8), (13.5, 11), (26, 11), (26, 25), (3.9, 25)], (233, 185, 110))
    c.polygon([(6, 14), (30, 14), (27, 26), (3, 26)], (252, 175, 62))


def draw_quit(c):     # 608: a door with an arrow going out
    c.rect(6, 3, 20, 29, BROWN)
    c.rect(7.5, 4.5, 18.5, 29, (193, 125, 17))
    c.circle(16.5, 17, 1.1, YELLOW)
    c.line(14, 16, 26, 16, 3.0, RED)
    c.polygon([(24, 10), (31, 16), (24, 22)], RED)


def draw_member(c):   # 616: a member
    c.circle(16, 16, 15, (214, 230, 245))
    person(c, 16, 5, 1.05, BLUE)


def draw_wait(c):     # 617: an hourglass
    c.rect(7, 3, 25, 6, BROWN, radius=1)
    c.rect(7, 26, 25, 29, BROWN, radius=1)
    c.polygon([(9, 6), (23, 6), (17.5, 16), (23, 26), (9, 26), (14.5, 16)], (214, 230, 245))
    c.polygon([(11.5, 9), (20.5, 9), (16, 15)], YELLOW)
    c.polygon([(16, 19), (21, 25.5), (11, 25.5)], YELLOW)


def draw_capture(c):  # 618: a text line being written
    c.frame(2, 14, 30, 25, 1.2, (255, 255, 255), PAPER_EDGE, radius=1.5)
    c.line(6, 19.5, 16, 19.5, 1.6, INK)
    c.line(18, 16.5, 18, 22.5, 1.4, BLUE)
    c.polygon([(24, 2), (27, 5), (17, 15), (13.5, 16.5), (15, 13)], ORANGE)
    c.polygon([(15, 13), (17, 15), (13.5, 16.5)], INK)


def draw_mapping(c):  # 619: a page with position marks
    page(c, 5, 3, 23, 29)
    c.line(9, 13, 19, 13, 1.4, GREY)
    c.line(9, 16, 17, 16, 1.4, GREY)
    c.line(2, 8, 2, 20, 1.3, RED)
    c.polyline([(1, 10), (2, 8), (3, 10)], 1.1, RED)
    c.line(26, 13, 31, 13, 1.3, BLUE)
    c.line(26, 10, 26, 16, 1.3, BLUE)


def draw_question(c):  # 620: a question mark in a circle
    c.circle(16, 16, 14, BLUE)
    c.circle(16, 16, 12, LIGHT_BLUE)
    c.polyline([(11.5, 12.5), (12, 10), (14, 8), (18, 8), (20.5, 10.5), (20.5, 13),
                (18.5, 15.5), (16, 17), (16, 20)], 3.0, (255, 255, 255))
    c.circle(16, 24.5, 2.0, (255, 255, 255))


def draw_program(c):  # the program icon: three members in a circle
    c.circle(16, 16, 15.5, (32, 74, 135))
    c.circle(16, 16, 14.2, (114, 159, 207))
    person(c, 8.5, 8.5, 0.72, GREEN)
    person(c, 23.5, 8.5, 0.72, ORANGE)
    person(c, 16, 9.5, 0.95, RED)
    c.rect(4, 25.5, 28, 27.5, (255, 255, 255), radius=1)


IMAGES = {
    "601": draw_search, "602": draw_save, "603": draw_new, "604": draw_modify,
    "605": draw_cancel, "606": draw_delete, "607": draw_history, "608": draw_quit,
    "609": draw_email, "610": draw_photo, "611": draw_mailing, "613": draw_print,
    "614": draw_record_card, "615": draw_member_card, "616": draw_member,
    "617": draw_wait, "618": draw_capture, "619": draw_mapping, "620": draw_question,
    "621": draw_folder,
}


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    os.makedirs(out, exist_ok=True)
    for name, draw in IMAGES.items():
        c = Canvas(32)
        draw(c)
        c.save(os.path.join(out, name + ".png"))
    icon = Canvas(64)
    draw_program(icon)
    icon.save(os.path.join(out, "sociantes.png"))


if __name__ == "__main__":
    main()
