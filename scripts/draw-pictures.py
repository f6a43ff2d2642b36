#!/usr/bin/env python3
"""Draws Tamblin's pictures (tree images, toolbar buttons, program icon, splash) as PNG
files under data/. Standard library only; shapes are sampled 4x4 per pixel for smooth
edges. Run from the source tree: python3 scripts/draw-pictures.py"""
import math
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
SS = 4  # samples per pixel side

BLUE = (30, 80, 200)
RED = (210, 40, 40)
GREEN = (40, 150, 60)
YELLOW = (240, 200, 40)
DARK = (40, 40, 50)
GREY = (130, 130, 140)
LIGHT = (235, 235, 240)
WHITE = (255, 255, 255)
PAPER = (250, 250, 245)


class Canvas:
    def __init__(self, w, h, background=None):
        self.w, self.h = w, h
        bg = (0, 0, 0, 0) if background is None else tuple(background) + (255,)
        self.px = [list(bg) for _ in range(w * h)]

    def fill(self, inside, box, colour, alpha=1.0):
        x0, y0, x1, y1 = box
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.w, int(math.ceil(x1)) + 1), min(self.h, int(math.ceil(y1)) + 1)
        step = 1.0 / SS
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                            hits += 1
                if hits:
                    self.blend(x, y, colour, alpha * hits / (SS * SS))

    def blend(self, x, y, colour, a):
        p = self.px[y * self.w + x]
        da = p[3] / 255.0
        oa = a + da * (1 - a)
        for i in range(3):
            p[i] = int(round((colour[i] * a + p[i] * da * (1 - a)) / oa)) if oa else 0
        p[3] = int(round(oa * 255))

    def save(self, path):
        raw = b"".join(b"\x00" + bytes(c for p in self.px[y * self.w:(y + 1) * self.w] for c in p)
                       for y in range(self.h))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(png)


# Shapes: each takes the canvas, a scale and an offset, so one drawing serves many sizes.
class Pen:
    def __init__(self, canvas, scale=1.0, dx=0.0, dy=0.0):
        self.c, self.s, self.dx, self.dy = canvas, scale, dx, dy

    def P(self, x, y):
        return x * self.s + self.dx, y * self.s + self.dy

    def rect(self, x0, y0, x1, y1, colour, alpha=1.0):
        (a, b), (c, d) = self.P(x0, y0), self.P(x1, y1)
        self.c.fill(lambda x, y: a <= x < c and b <= y < d, (a, b, c, d), colour, alpha)

    def ellipse(self, cx, cy, rx, ry, colour, inner=0.0, alpha=1.0):
        (X, Y), RX, RY = self.P(cx, cy), rx * self.s, ry * self.s

        def inside(x, y):
            v = ((x - X) / RX) ** 2 + ((y - Y) / RY) ** 2
            return v <= 1.0 and v >= inner ** 2

        self.c.fill(inside, (X - RX, Y - RY, X + RX, Y + RY), colour, alpha)

    def line(self, points, width, colour, alpha=1.0):
        pts = [self.P(x, y) for x, y in points]
        r = width * self.s / 2.0

        def inside(x, y):
            for (ax, ay), (bx, by) in zip(pts, pts[1:]):
                vx, vy = bx - ax, by - ay
                l2 = vx * vx + vy * vy
                t = 0.0 if l2 == 0 else max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / l2))
                qx, qy = ax + t * vx - x, ay + t * vy - y
                if qx * qx + qy * qy <= r * r:
                    return True
            return False

        xs, ys = [p[0] for p in pts], [p[1] for p in pts]
        self.c.fill(inside, (min(xs) - r, min(ys) - r, max(xs) + r, max(ys) + r), colour, alpha)

    def polygon(self, points, colour, alpha=1.0):
        pts = [self.P(x, y) for x, y in points]

        def inside(x, y):
            hit = False
            for (ax, ay), (bx, by) in zip(pts, pts[1:] + pts[:1]):
                if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                    hit = not hit
            return hit

        xs, ys = [p[0] for p in pts], [p[1] for p in pts]
        self.c.fill(inside, (min(xs), min(ys), max(xs), max(ys)), colour, alpha)

    def arc(self, cx, cy, r, start, end, width, colour, steps=24):
        pts = [(cx + r * math.cos(math.radians(start + (end - start) * i / steps)),
                cy + r * math.sin(math.radians(start + (end - start) * i / steps))) for i in range(steps + 1)]
        self.line(pts, width, colour)


def question_mark(pen, x, y, h, colour):
    """A question mark whose box starts at (x, y) and is h high."""
    r = h * 0.22
    w = h * 0.16
    pen.arc(x + r + w / 2, y + r + w / 2, r, 180, 405, w, colour)
    cx = x + r + w / 2
    pen.line([(cx + r * math.cos(math.radians(45)), y + r + w / 2 + r * math.sin(math.radians(45))),
              (cx, y + h * 0.68)], w, colour)
    pen.ellipse(cx, y + h * 0.88, w * 0.62, w * 0.62, colour)


def mark(pen, first, second):
    """The program's mark: a pair of question marks, the back one offset."""
    question_mark(pen, 1.0, 0.5, 12.5, first)
    question_mark(pen, 7.0, 2.0, 12.5, second)


# --- 5x7 capitals for the splash -------------------------------------------------------
GLYPHS = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "X": ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    " ": ["00000"] * 7,
}


def text(pen, x, y, cell, message, colour):
    for ch in message:
        for row, bits in enumerate(GLYPHS[ch]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    pen.rect(x + col * cell, y + row * cell, x + (col + 1) * cell - cell * 0.12,
                             y + (row + 1) * cell - cell * 0.12, colour)
        x += 6 * cell


# --- the five tree images, 16 x 15 ------------------------------------------------------
def tree_images():
    def image(index, draw):
        c = Canvas(16, 15)
        draw(Pen(c))
        c.save(os.path.join(ROOT, "pictures", "tree", "image%d.png" % index))

    image(0, lambda p: mark(p, BLUE, RED))
    image(1, lambda p: mark(p, RED, BLUE))

    def no_entry(p):
        p.ellipse(8, 7.5, 7, 7, RED, inner=0.72)
        p.line([(3.4, 12.1), (12.6, 2.9)], 2.0, RED)
    image(2, no_entry)

    def listing(p):
        p.rect(1, 1, 15, 14, WHITE)
        for i, colour in enumerate([BLUE, RED, GREEN, BLUE, YELLOW]):
            indent = 2 if i in (0, 3) else 5
            p.rect(indent + 0.5, 2.5 + i * 2.3, 14, 3.9 + i * 2.3, colour)
    image(3, listing)

    def boxed_k(p):
        p.rect(1, 1, 15, 14, WHITE)
        p.rect(1, 1, 15, 2, DARK)
        p.rect(1, 13, 15, 14, DARK)
        p.rect(1, 1, 2, 14, DARK)
        p.rect(14, 1, 15, 14, DARK)
        p.rect(4.5, 3.5, 6.5, 11.5, BLUE)
        p.line([(11.5, 3.8), (6.5, 7.5), (11.5, 11.2)], 2.0, BLUE)
    image(4, boxed_k)


# --- toolbar buttons, 16 x 15 -----------------------------------------------------------
def page(p, fold=True):
    p.polygon([(3, 1), (10, 1), (13, 4), (13, 14), (3, 14)], DARK)
    p.polygon([(4, 2), (9.5, 2), (12, 4.5), (12, 13), (4, 13)], PAPER)
    if fold:
        p.polygon([(9.5, 2), (9.5, 4.5), (12, 4.5)], GREY)


def toolbar_images():
    def button(name, draw):
        c = Canvas(16, 15)
        draw(Pen(c))
        c.save(os.path.join(ROOT, "pictures", "toolbar", name + ".png"))

    button("new", page)

    def folder(p):
        p.polygon([(1, 4), (5, 4), (6, 5), (13, 5), (13, 13), (1, 13)], (190, 140, 40))
        p.polygon([(3, 7), (15, 7), (13, 13), (1, 13)], YELLOW)
    button("open", folder)

    def disk(p):
        p.rect(1.5, 1.5, 14.5, 14, BLUE)
        p.rect(4, 1.5, 12, 6, WHITE)
        p.rect(10, 2.2, 11.3, 5.2, BLUE)
        p.rect(4, 9, 12, 14, LIGHT)
    button("save", disk)

    def scissors(p):
        p.line([(4, 1), (10, 9)], 1.4, GREY)
        p.line([(12, 1), (6, 9)], 1.4, GREY)
        p.ellipse(5, 11.5, 2.6, 2.6, RED, inner=0.45)
        p.ellipse(11, 11.5, 2.6, 2.6, RED, inner=0.45)
    button("cut", scissors)

    def copy(p):
        Pen(p.c, 0.75, -1.5, -0.5).polygon([(3, 1), (13, 1), (13, 14), (3, 14)], DARK)
        Pen(p.c, 0.75, -1.5, -0.5).polygon([(4, 2), (12, 2), (12, 13), (4, 13)], PAPER)
        Pen(p.c, 0.75, 4, 3.3).polygon([(3, 1), (13, 1), (13, 14), (3, 14)], DARK)
        Pen(p.c, 0.75, 4, 3.3).polygon([(4, 2), (12, 2), (12, 13), (4, 13)], PAPER)
    button("copy", copy)

    def paste(p):
        p.rect(2, 2.5, 12, 14, (170, 120, 60))
        p.rect(5, 1, 9, 4, GREY)
        p.rect(7, 6, 15, 14.5, DARK)
        p.rect(8, 7, 14, 13.5, PAPER)
    button("paste", paste)

    def undo(p):
        p.arc(8.5, 8.5, 4.5, 200, 450, 2.0, BLUE)
        p.polygon([(0.5, 6), (7, 4), (5, 10.5)], BLUE)
    button("undo", undo)

    def find(p):
        p.ellipse(6.5, 6, 4.5, 4.5, DARK, inner=0.7)
        p.ellipse(6.5, 6, 3.3, 3.3, (200, 230, 255))
        p.line([(10, 9.5), (14, 13.5)], 2.4, DARK)
    button("find", find)

    def test(p):
        p.ellipse(8, 7.5, 6.8, 6.8, BLUE)
        p.ellipse(8, 7.5, 6.8, 2.8, (120, 180, 255), inner=0.0, alpha=0.7)
        p.line([(8, 0.9), (8, 14.1)], 1.0, WHITE)
        p.line([(1.3, 7.5), (14.7, 7.5)], 1.0, WHITE)
        p.ellipse(8, 7.5, 3.2, 6.8, WHITE, inner=0.8)
    button("test", test)

    def printer(p):
        p.rect(4, 1, 12, 6, PAPER)
        p.rect(1, 6, 15, 12, GREY)
        p.rect(12, 7.5, 13.5, 9, GREEN)
        p.rect(4, 10, 12, 14.5, PAPER)
        p.rect(5, 11.5, 11, 12.3, DARK)
    button("print", printer)

    def about(p):
        mark(Pen(p.c, 0.8, 0.5, 0.0), BLUE, RED)
        p.rect(9, 11, 15, 14.5, YELLOW)
        p.rect(11.4, 11.5, 12.6, 14, DARK)
    button("about", about)

    def context_help(p):
        p.polygon([(1, 1), (1, 12), (3.5, 9.5), (5.5, 14), (7, 13.3), (5, 9), (8.5, 9)], DARK)
        p.polygon([(2, 3.3), (2, 9.8), (3.8, 8.1), (5.8, 12.5), (5.9, 12.3), (3.9, 8.1), (6.2, 8.1)], WHITE)
        question_mark(Pen(p.c), 9.5, 1.5, 12, BLUE)
    button("contexthelp", context_help)


# --- program icon at the sizes the desktop asks for, and the index file icon -------------
def icon(size):
    c = Canvas(size, size)
    s = size / 48.0
    p = Pen(c, s)
    p.polygon([(6, 4), (38, 4), (44, 10), (44, 44), (6, 44)], (60, 60, 80))
    p.polygon([(8, 6), (37, 6), (42, 11), (42, 42), (8, 42)], PAPER)
    for i, colour in enumerate([BLUE, RED, GREEN, BLUE, YELLOW]):
        indent = 12 if i in (0, 3) else 18
        p.rect(indent, 27 + i * 3, 38, 28.6 + i * 3, colour)
    mark(Pen(c, s * 1.45, 10 * s, 5 * s), BLUE, RED)
    return c


def file_icon(size):
    c = Canvas(size, size)
    s = size / 48.0
    p = Pen(c, s)
    p.polygon([(9, 3), (31, 3), (40, 12), (40, 45), (9, 45)], (60, 60, 80))
    p.polygon([(11, 5), (30, 5), (38, 13), (38, 43), (11, 43)], PAPER)
    p.polygon([(30, 5), (30, 13), (38, 13)], GREY)
    for i, colour in enumerate([BLUE, RED, GREEN, BLUE, YELLOW, RED, GREEN]):
        indent = 15 if i in (0, 3, 5) else 20
        p.rect(indent, 17 + i * 3.5, 34, 19 + i * 3.5, colour)
    return c


def icons():
    for size in (16, 22, 24, 32, 48, 64, 128, 256):
        icon(size).save(os.path.join(ROOT, "icons", "hicolor", "%dx%d" % (size, size), "apps", "tamblin.png"))
        file_icon(size).save(os.path.join(ROOT, "icons", "hicolor", "%dx%d" % (size, size), "mimetypes",
                                          "application-x-navora-index.png"))
    icon(48).save(os.path.join(ROOT, "pictures", "tamblin.png"))


# --- splash and about pictures ----------------------------------------------------------
def splash():
    w, h = 420, 260
    c = Canvas(w, h, background=(248, 248, 252))
    p = Pen(c)
    for i in range(40):  # a soft band of colour across the top
        p.rect(0, i * 2, w, i * 2 + 2, (30 + i * 2, 80 + i * 2, 200 - i), 1.0)
    p.rect(0, 80, w, 82, RED)
    mark(Pen(c, 7.0, 24, 96), BLUE, RED)
    text(p, 172, 108, 5, "TAMBLIN", DARK)
    text(p, 172, 166, 2, "NAVORA INDEX EDITOR", GREY)
    for i, colour in enumerate([BLUE, RED, GREEN, BLUE, YELLOW]):
        indent = 170 if i in (0, 3) else 190
        p.rect(indent, 196 + i * 10, 390, 202 + i * 10, colour, 0.85)
    p.rect(0, 0, w, 1, DARK)
    p.rect(0, h - 1, w, h, DARK)
    p.rect(0, 0, 1, h, DARK)
    p.rect(w - 1, 0, w, h, DARK)
    c.save(os.path.join(ROOT, "pictures", "splash.png"))


def about_picture():
    w, h = 240, 40
    c = Canvas(w, h)
    p = Pen(c)
    for i, colour in enumerate([BLUE, RED, GREEN, BLUE, YELLOW]):
        indent = 6 if i in (0, 3) else 22
        p.rect(indent, 4 + i * 7, 234, 8 + i * 7, colour, 0.9)
    c.save(os.path.join(ROOT, "pictures", "about.png"))


if __name__ == "__main__":
    tree_images()
    toolbar_images()
    icons()
    splash()
    about_picture()
