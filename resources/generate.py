#!/usr/bin/python3
"""Draws Ambervale's pictures and writes its book.

Run with Debian's interpreter, which has PIL:  /usr/bin/python3 resources/generate.py
Every output is written byte for byte the same on each run; the results are committed.
"""

import itertools
import math
import os
import re
import struct
import textwrap

from PIL import Image, ImageChops, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
FONTS = "/usr/share/fonts/truetype/dejavu"

# The toolbar's image list treats this colour as transparent.
MASK_COLOUR = (192, 192, 192)

# Hot spot of the pointing hand (hand.ico), in pixels from its top-left corner: the top of
# the index finger. The code that turns the icon into a mouse pointer uses this point.
HAND_HOTSPOT = (11, 0)

SCALE = 8  # supersampling factor for smooth edges


def font(name, size):
    return ImageFont.truetype(os.path.join(FONTS, name), size)


def write_bytes(relative, data):
    path = os.path.join(HERE, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def save_image(relative, image, **options):
    path = os.path.join(HERE, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    image.save(path, **options)


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


# ---------------------------------------------------------------------------------------
# Drawing: shapes are given in final pixel units (pixel i covers [i, i + 1)) and drawn
# SCALE times larger, then averaged down.


class Canvas:
    def __init__(self, width, height=None):
        self.width = width
        self.height = width if height is None else height
        self.image = Image.new("RGBA", (self.width * SCALE, self.height * SCALE), (0, 0, 0, 0))
        self.draw = ImageDraw.Draw(self.image)

    @staticmethod
    def pts(points):
        return [(x * SCALE, y * SCALE) for x, y in points]

    @staticmethod
    def box(x0, y0, x1, y1):
        return [x0 * SCALE, y0 * SCALE, x1 * SCALE - 1, y1 * SCALE - 1]

    def polygon(self, points, fill, outline=None, width=1.0):
        self.draw.polygon(self.pts(points), fill=fill)
        if outline:
            self.lines(list(points) + [points[0]], outline, width)

    def lines(self, points, colour, width=1.0):
        w = max(1, int(round(width * SCALE)))
        self.draw.line(self.pts(points), fill=colour, width=w, joint="curve")
        r = w / 2
        for x, y in self.pts(points):
            self.draw.ellipse([x - r, y - r, x + r, y + r], fill=colour)

    def rect(self, x0, y0, x1, y1, fill, outline=None, width=1.0):
        if outline:
            self.draw.rectangle(self.box(x0, y0, x1, y1), fill=outline)
            self.draw.rectangle(self.box(x0 + width, y0 + width, x1 - width, y1 - width), fill=fill)
        else:
            self.draw.rectangle(self.box(x0, y0, x1, y1), fill=fill)

    def ellipse(self, x0, y0, x1, y1, fill, outline=None, width=1.0):
        if outline:
            self.draw.ellipse(self.box(x0, y0, x1, y1), fill=outline)
            self.draw.ellipse(self.box(x0 + width, y0 + width, x1 - width, y1 - width), fill=fill)
        else:
            self.draw.ellipse(self.box(x0, y0, x1, y1), fill=fill)

    def text(self, x, y, string, face, size, colour):
        self.draw.text((x * SCALE, y * SCALE), string, font=font(face, int(size * SCALE)), fill=colour)

    def result(self):
        small = self.image.convert("RGBa").resize((self.width, self.height), Image.Resampling.BOX)
        return small.convert("RGBA")


def bezier(p0, p1, p2, steps=16):
    out = []
    for i in range(steps + 1):
        t = i / steps
        out.append(tuple((1 - t) ** 2 * a + 2 * (1 - t) * t * b + t ** 2 * c for a, b, c in zip(p0, p1, p2)))
    return out


def over(top, bottom):
    """top drawn over bottom, both RGBA of the same size."""
    result = bottom.copy()
    result.alpha_composite(top)
    return result


# ---------------------------------------------------------------------------------------
# Palettes and the ICO container. PIL's ICO writer only stores 32-bit images, so the
# classic palette entries (BMP data followed by a 1-bit AND mask) are packed here.


def nearest(colour, palette):
    best, best_distance = 0, None
    for index, entry in enumerate(palette):
        d = sum((a - b) * (a - b) for a, b in zip(colour, entry))
        if best_distance is None or d < best_distance:
            best, best_distance = index, d
            if d == 0:
                break
    return best


def build_palette(colours, count):
    """At most `count` colours that represent the given list of RGB tuples."""
    unique = sorted(set(colours))
    if len(unique) <= count:
        return unique
    strip = Image.new("RGB", (len(colours), 1))
    strip.putdata(colours)
    reduced = strip.quantize(colors=count, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    flat = reduced.getpalette()[: 3 * count]
    return sorted(set(tuple(flat[i:i + 3]) for i in range(0, len(flat), 3)))


class IconImage:
    """One image of an icon: palette indices, a palette and the transparent pixels."""

    def __init__(self, rgba, bpp, key=None):
        self.width, self.height = rgba.size
        self.bpp = bpp
        pixels = list(rgba.getdata())
        if key is None:
            self.transparent = [p[3] < 128 for p in pixels]
        else:
            self.transparent = [p[:3] == key for p in pixels]
        opaque = [p[:3] for p, t in zip(pixels, self.transparent) if not t]
        if key is None:
            # Transparent pixels carry black, so that the AND/XOR pair leaves the screen as is.
            palette = [(0, 0, 0)] + [c for c in build_palette(opaque, 2 ** bpp - 1) if c != (0, 0, 0)]
        else:
            palette = [key] + [c for c in build_palette(opaque, 2 ** bpp - 1) if c != key]
        self.palette = palette + [(0, 0, 0)] * (2 ** bpp - len(palette))
        # With a key colour, entry 0 is the background and no drawn pixel may fall onto it.
        first = 0 if key is None else 1
        cache = {}
        self.indices = []
        for p, t in zip(pixels, self.transparent):
            if t:
                self.indices.append(0)
                continue
            if p[:3] not in cache:
                cache[p[:3]] = first + nearest(p[:3], palette[first:])
            self.indices.append(cache[p[:3]])

    def dib(self):
        w, h, bpp = self.width, self.height, self.bpp
        xor_stride = ((w * bpp + 31) // 32) * 4
        and_stride = ((w + 31) // 32) * 4
        xor_rows, and_rows = [], []
        for y in range(h - 1, -1, -1):  # bottom-up
            row = self.indices[y * w:(y + 1) * w]
            if bpp == 8:
                packed = bytes(row)
            else:
                packed = bytes((row[i] << 4) | (row[i + 1] if i + 1 < w else 0) for i in range(0, w, 2))
            xor_rows.append(packed.ljust(xor_stride, b"\0"))
            bits = bytearray(and_stride)
            for x in range(w):
                if self.transparent[y * w + x]:
                    bits[x // 8] |= 0x80 >> (x % 8)
            and_rows.append(bytes(bits))
        pixels = b"".join(xor_rows) + b"".join(and_rows)
        header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bpp, 0, len(pixels), 0, 0, 0, 0)
        palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in self.palette)
        return header + palette + pixels


def ico_bytes(images):
    blobs = [image.dib() for image in images]
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for image, blob in zip(images, blobs):
        directory += struct.pack("<BBBBHHII", image.width % 256, image.height % 256,
                                 16 if image.bpp == 4 else 0, 0, 1, image.bpp, len(blob), offset)
        offset += len(blob)
    return directory + b"".join(blobs)


def to_gif(rgb):
    """A 256-colour palette image; the palette keeps all 256 entries."""
    indexed = rgb.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = indexed.getpalette()
    indexed.putpalette(palette + [0] * (768 - len(palette)))
    return indexed


# ---------------------------------------------------------------------------------------
# The program icon: an open book in a warm glow.


def glow(width, height, cx, cy, radius, inner, outer):
    """A soft radial light, computed per pixel at final size."""
    image = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    data = []
    for y in range(height):
        for x in range(width):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy) / radius
            if d >= 1:
                data.append((0, 0, 0, 0))
                continue
            colour = lerp(inner, outer, d)
            alpha = int(round(255 * (1 - d ** 2) ** 1.5))
            data.append(colour + (alpha,))
    image.putdata(data)
    return image


def open_book(canvas, x0, y0, w, h, lines=True):
    """An open book seen from the front, filling the box w x h from (x0, y0)."""
    u = min(w, h)

    def p(x, y):
        return (x0 + x * w, y0 + y * h)

    cover = (128, 32, 24)
    edge = (92, 56, 28)
    outline = max(0.7, u / 36)
    canvas.polygon([p(0.0, 0.40), p(0.50, 0.56), p(1.0, 0.40), p(1.0, 0.84), p(0.50, 1.0), p(0.0, 0.84)],
                   cover)
    for side, paper in ((-1, (255, 252, 238)), (1, (240, 228, 198))):
        def q(x, y):
            return p(0.5 + side * x, y)
        top = bezier(q(0.0, 0.50), q(0.24, 0.30), q(0.47, 0.36))
        bottom = bezier(q(0.47, 0.78), q(0.24, 0.72), q(0.0, 0.92))
        canvas.polygon(top + bottom, paper, edge, outline)
        if lines:
            for i in range(4):
                dy = 0.10 + 0.085 * i
                row = bezier(q(0.08, 0.47 + dy), q(0.24, 0.30 + dy), q(0.39, 0.37 + dy), 8)
                canvas.lines(row, (150, 128, 96), max(0.5, u / 50))
    canvas.lines([p(0.5, 0.50), p(0.5, 0.92)], edge, outline)


def rays(canvas, cx, cy, inner, outer, count, spread, colour):
    """Pointed beams fanning upwards from (cx, cy)."""
    for i in range(count):
        angle = math.radians(-90 - spread / 2 + spread * i / (count - 1))
        half = math.radians(spread / (count - 1) / 4)
        tip = (cx + outer * math.cos(angle), cy + outer * math.sin(angle))
        left = (cx + inner * math.cos(angle - half), cy + inner * math.sin(angle - half))
        right = (cx + inner * math.cos(angle + half), cy + inner * math.sin(angle + half))
        canvas.polygon([left, tip, right], colour)


def program_icon(size):
    light = glow(size, size, size * 0.5, size * 0.44, size * 0.40, (255, 252, 210), (255, 170, 40))
    beams = Canvas(size)
    rays(beams, size * 0.5, size * 0.46, size * 0.10, size * 0.46, 7 if size >= 32 else 5, 150,
         (255, 190, 50, 255))
    canvas = Canvas(size)
    open_book(canvas, 0, size * 0.24, size, size * 0.76, lines=size >= 32)
    return over(canvas.result(), over(light, beams.result()))


# ---------------------------------------------------------------------------------------
# The pointing hand over the About box's banner. Drawn pixel by pixel: K outline,
# Y yellow, O shaded yellow, W highlight, . transparent.

HAND = [
    "..........KK....................",
    ".........KWYK...................",
    ".........KWYOK..................",
    ".........KWYOK..................",
    ".........KWYOK..................",
    ".........KWYOK..................",
    ".........KWYOK..................",
    ".........KWYOKKK................",
    ".........KWYOKWYKKK.............",
    ".........KWYOKWYOKWKK...........",
    ".........KWYOKWYOKWYOK..........",
    ".........KWYOKWYOKWYOKK.........",
    "...KKK...KWYOKWYOKWYOKWK........",
    "..KWYOK..KWYYYYYYYYYOKWOK.......",
    "..KWYYOK.KWYYYYYYYYYYYYOK.......",
    "...KWYYOKKWYYYYYYYYYYYYOK.......",
    "....KWYYOKWYYYYYYYYYYYYOK.......",
    ".....KWYYYYYYYYYYYYYYYYOK.......",
    "......KWYYYYYYYYYYYYYYYOK.......",
    "......KWYYYYYYYYYYYYYYOK........",
    ".......KWYYYYYYYYYYYYYOK........",
    ".......KWYYYYYYYYYYYYOK.........",
    "........KWYYYYYYYYYYYOK.........",
    "........KWYYYYYYYYYYOK..........",
    ".........KOOOOOOOOOOOK..........",
    ".........KKKKKKKKKKKKK..........",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]

HAND_COLOURS = {"K": (0, 0, 0), "Y": (255, 224, 32), "O": (214, 160, 0), "W": (255, 248, 170)}


def hand_pointer():
    image = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    for y, row in enumerate(HAND):
        assert len(row) == 32, y
        for x, cell in enumerate(row):
            if cell != ".":
                image.putpixel((x, y), HAND_COLOURS[cell] + (255,))
    return image


# ---------------------------------------------------------------------------------------
# The toolbar's nine pictures, 32 x 32, each on the image list's mask colour.

BLACK = (0, 0, 0, 255)
WHITE = (255, 255, 255, 255)
YELLOW = (255, 221, 0, 255)


def on_mask_colour(rgba):
    """Flattens onto the mask colour; only background pixels keep that exact colour."""
    key = Image.new("RGBA", rgba.size, MASK_COLOUR + (255,))
    flat = over(rgba, key).convert("RGB")
    out = []
    for (r, g, b, a), colour in zip(rgba.getdata(), flat.getdata()):
        if a < 128:
            out.append(MASK_COLOUR)
        elif colour == MASK_COLOUR:
            out.append((191, 191, 191))
        else:
            out.append(colour)
    image = Image.new("RGB", rgba.size)
    image.putdata(out)
    return image


def clipped_to_circle(layer, x0, y0, x1, y1):
    mask = Image.new("L", layer.size, 0)
    ImageDraw.Draw(mask).ellipse(Canvas.box(x0, y0, x1, y1), fill=255)
    result = layer.copy()
    result.putalpha(ImageChops.multiply(layer.getchannel("A"), mask))
    return result


def picture_page_in_frame():
    c = Canvas(32)
    c.rect(1, 1, 31, 31, (16, 40, 128, 255), BLACK)
    c.rect(7, 5, 25, 27, WHITE, BLACK)
    image = c.result()
    # the dotted yellow border runs round the frame, one pixel inside its edge
    for i in range(3, 29):
        for x, y in ((i, 3), (i, 28), (3, i), (28, i)):
            if (x + y) % 2 == 0:
                image.putpixel((x, y), YELLOW)
    for y, (left, right) in zip(range(8, 26, 2), ((9, 22), (9, 20), (9, 22), (9, 18), (9, 22),
                                                   (9, 21), (9, 22), (9, 16), (9, 19))):
        for x in range(left, right + 1):
            image.putpixel((x, y), (72, 72, 88, 255))
    return image


def picture_house():
    c = Canvas(32)
    c.rect(20, 4, 24, 12, (150, 60, 40, 255), BLACK)                      # chimney
    c.rect(6, 14, 27, 30, (255, 236, 190, 255), BLACK)                     # walls
    c.polygon([(2.5, 16.5), (16.5, 3.5), (30.5, 16.5)], (204, 32, 24, 255), BLACK)  # roof
    c.rect(9, 20, 15, 30, (132, 72, 24, 255), BLACK)                       # door
    c.rect(18, 19, 25, 25, (150, 210, 255, 255), BLACK)                    # window
    c.lines([(21.5, 19.5), (21.5, 24.5)], BLACK)
    c.lines([(18.5, 22), (24.5, 22)], BLACK)
    image = c.result()
    image.putpixel((13, 25), (255, 221, 0, 255))                          # door knob
    return image


def picture_arrow(direction):
    c = Canvas(32)
    c.polygon([(16, 1), (31, 16), (16, 31), (1, 16)], YELLOW, BLACK, 1.2)
    head = [(7, 16), (15, 8), (15, 24)]
    shaft = [(14, 13), (25, 13), (25, 19), (14, 19)]
    if direction > 0:
        head = [(32 - x, y) for x, y in head]
        shaft = [(32 - x, y) for x, y in shaft]
    c.polygon(head, BLACK)
    c.polygon(shaft, BLACK)
    return c.result()


def picture_binoculars():
    c = Canvas(32)
    dark, mid = (40, 40, 48, 255), (96, 96, 112, 255)
    for left in (3, 18):
        c.rect(left + 2, 2, left + 9, 8, mid, BLACK)                        # eyepiece
        c.polygon([(left + 1, 7), (left + 10, 7), (left + 11.5, 21), (left - 0.5, 21)], dark, BLACK)
        c.lines([(left + 3, 9), (left + 2.5, 19)], (130, 130, 150, 255), 1.2)  # shine
        c.ellipse(left - 1, 18, left + 12, 31, dark, BLACK)                  # objective
        c.ellipse(left + 1.5, 20.5, left + 9.5, 28.5, (60, 140, 240, 255))   # lens
        c.ellipse(left + 3, 22, left + 6, 25, (220, 240, 255, 255))         # glint
    c.rect(14, 9, 19, 16, mid, BLACK)                                        # bridge
    c.rect(15, 6, 18, 10, (150, 150, 160, 255), BLACK)                       # focus wheel
    return c.result()


def picture_printer():
    c = Canvas(32)
    c.rect(9, 2, 23, 14, WHITE, BLACK)                                       # sheet behind
    for y in (5, 7, 9, 11):
        c.lines([(11.5, y + 0.5), (20.5, y + 0.5)], (110, 110, 120, 255), 0.9)
    c.polygon([(5, 12), (27, 12), (30, 16), (2, 16)], (170, 170, 180, 255), BLACK)  # top
    c.rect(2, 15, 30, 26, (228, 226, 214, 255), BLACK)                       # body
    c.rect(3, 16, 29, 18, (255, 255, 248, 255))                              # highlight
    c.rect(6, 20, 26, 23, (60, 60, 64, 255))                                 # paper slot
    c.rect(25, 16, 28, 18, (0, 200, 60, 255))                                # power light
    c.polygon([(8, 22), (24, 22), (26, 30), (6, 30)], WHITE, BLACK)          # printed page
    c.lines([(9.5, 26.5), (22.5, 26.5)], (110, 110, 120, 255), 0.9)
    return c.result()


def picture_help_book():
    c = Canvas(32)
    c.polygon([(8, 3), (28, 3), (28, 26), (8, 26)], (240, 236, 220, 255), BLACK)  # page block
    c.polygon([(4, 5), (24, 5), (24, 30), (4, 30)], (24, 48, 168, 255), BLACK)   # front cover
    c.polygon([(24, 5), (28, 2.5), (28, 26.5), (24, 30)], (236, 232, 214, 255), BLACK)  # fore edge
    for y in (9, 14, 19, 24):
        c.lines([(24.8, y), (27.2, y - 1.6)], (170, 160, 140, 255), 0.6)
    c.polygon([(4, 5), (8, 2.5), (28, 2.5), (24, 5)], (236, 232, 214, 255), BLACK)  # top edge
    c.rect(4, 5, 7, 30, (12, 28, 110, 255), BLACK)                             # spine
    glyph = Canvas(32)
    for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1), (-0.7, -0.7), (0.7, 0.7), (-0.7, 0.7), (0.7, -0.7)):
        glyph.text(9 + dx, 5.5 + dy, "?", "DejaVuSans-Bold.ttf", 22, BLACK)
    glyph.text(9, 5.5, "?", "DejaVuSans-Bold.ttf", 22, YELLOW)
    return over(glyph.result(), c.result())


def picture_close():
    c = Canvas(32)
    c.ellipse(1, 1, 31, 31, (214, 24, 24, 255), (110, 0, 0, 255), 1.2)
    c.ellipse(4, 3.5, 24, 16, (236, 80, 70, 255))                            # sheen
    image = c.result()
    cross = Canvas(32)
    cross.lines([(10.5, 10.5), (21.5, 21.5)], WHITE, 3.6)
    cross.lines([(21.5, 10.5), (10.5, 21.5)], WHITE, 3.6)
    return over(cross.result(), image)


def picture_globe():
    stand = Canvas(32)
    brass, dark_brass = (214, 160, 48, 255), (120, 80, 16, 255)
    stand.ellipse(7, 27, 25, 32, brass, BLACK)                                # foot
    stand.rect(15, 23, 18, 29, brass, BLACK)                                  # stem
    # the meridian ring, open at the top where the axis comes through
    stand.draw.arc(Canvas.box(2.5, 0.5, 29.5, 27.5), 300, 240, fill=dark_brass, width=int(2.4 * SCALE))
    sea = Canvas(32)
    sea.ellipse(5, 3, 27, 25, (40, 110, 220, 255))
    land = (40, 170, 60, 255)
    sea.polygon([(7, 9), (11, 6), (15, 7), (14, 11), (16, 14), (13, 16), (11, 22), (9, 19), (9, 14),
                 (6, 13)], land)
    sea.polygon([(18, 5), (23, 6), (26, 10), (25, 14), (22, 13), (20, 16), (22, 20), (19, 23), (17, 18),
                 (18, 13), (16, 10)], land)
    sea.ellipse(9, 6, 14, 10, (150, 200, 255, 200))
    stand.image = over(clipped_to_circle(sea.image, 5, 3, 27, 25), stand.image)
    stand.draw = ImageDraw.Draw(stand.image)
    stand.draw.ellipse(Canvas.box(5, 3, 27, 25), outline=(16, 40, 110, 255), width=SCALE)
    return stand.result()


TOOLBAR_PICTURES = [
    picture_page_in_frame,
    picture_house,
    lambda: picture_arrow(-1),
    lambda: picture_arrow(+1),
    picture_binoculars,
    picture_printer,
    picture_help_book,
    picture_close,
    picture_globe,
]


# ---------------------------------------------------------------------------------------
# The splash banner. The splash window shows only its top-left 364 x 130 pixels, so the
# lettering stays inside that part.

SPLASH_SIZE = (413, 168)
SPLASH_SHOWN = (364, 130)


def splash():
    width, height = SPLASH_SIZE
    pale, orange = (255, 249, 204), (244, 128, 16)
    image = Image.new("RGBA", SPLASH_SIZE)
    data = []
    for y in range(height):
        for x in range(width):
            t = min(1.0, 0.78 * y / SPLASH_SHOWN[1] + 0.30 * x / SPLASH_SHOWN[0])
            data.append(lerp(pale, orange, t ** 1.2) + (255,))
    image.putdata(data)

    book = program_icon(76)
    image.alpha_composite(book, (282, 8))

    draw = ImageDraw.Draw(image)
    heading = font("DejaVuSerif-BoldItalic.ttf", 46)
    draw.text((14, 8), "Palendor", font=heading, fill=(16, 28, 112))
    draw.line([(18, 70), (262, 70)], fill=(16, 28, 112), width=2)
    tagline = font("DejaVuSans-Bold.ttf", 15)
    words = "Free books of faith, freely given"
    draw.text((19, 83), words, font=tagline, fill=(150, 62, 0))
    draw.text((18, 82), words, font=tagline, fill=(255, 255, 255))
    for box in (draw.textbbox((14, 8), "Palendor", font=heading),
                draw.textbbox((19, 83), words, font=tagline)):
        assert box[2] < SPLASH_SHOWN[0] and box[3] < SPLASH_SHOWN[1], box
    return to_gif(image.convert("RGB"))


# ---------------------------------------------------------------------------------------
# The About box's banner: a small computer, then the maker's name on a red band that
# fades to white.

BANNER_SIZE = (300, 31)


def computer():
    c = Canvas(32, 31)
    case, edge = (226, 222, 204, 255), (60, 60, 64, 255)
    c.rect(4, 1, 28, 20, case, edge)                                           # monitor
    c.rect(7, 3, 25, 17, (10, 40, 150, 255), edge)                             # screen
    c.polygon([(8, 4), (18, 4), (8, 12)], (60, 110, 220, 255))                  # glare
    c.rect(13, 20, 19, 23, case, edge)                                         # neck
    c.polygon([(3, 23), (29, 23), (31, 30), (1, 30)], case, edge)               # keyboard
    for y in (25, 27):
        for x in range(5, 27, 3):
            c.rect(x, y, x + 2, y + 1, (150, 150, 150, 255))
    return c.result()


def banner():
    width, height = BANNER_SIZE
    image = Image.new("RGBA", BANNER_SIZE, (255, 255, 255, 255))
    red, white = (200, 16, 16), (255, 255, 255)
    band_left = 36
    draw = ImageDraw.Draw(image)
    for x in range(band_left, width):
        t = (x - band_left) / (width - 1 - band_left)
        draw.line([(x, 0), (x, height - 1)], fill=lerp(red, white, max(0.0, t - 0.25) / 0.75))
    image.alpha_composite(computer(), (1, 0))
    script = font("DejaVuSerif-BoldItalic.ttf", 21)
    draw.text((47, 5), "Palendor", font=script, fill=(120, 0, 0))
    draw.text((46, 4), "Palendor", font=script, fill=(255, 255, 255))
    return to_gif(image.convert("RGB"))


# ---------------------------------------------------------------------------------------
# The book. The program stores it as a resource of exactly BOOK_SIZE bytes (the closing
# NUL included), so the text is fitted to that length: whole closing wishes are taken
# while they fit, then the last sentence picks the words that make the size exact.

BOOK_SIZE = 17760
BOOK_TITLE = "The Lamp in the Window"
AUTHOR = "Palendor"
NOTICE = "This book may be copied and given away freely, in whole or in part."
LINK_TEXT = "More free e-books from Palendor"
WRAP = 70

CHAPTERS = [
    ("A Word Before You Begin", [
        "This is a small book, and it is meant to be read slowly. It was written for anyone who "
        "has wondered whether faith is still possible in a busy and noisy age, and for anyone "
        "who once had faith and feels that it has slipped quietly away. I do not claim to have "
        "an answer for every question. I have only tried to set down, as plainly as I can, some "
        "of the things I have learned along the road, most of them the hard way.",
        "Read a chapter at a time. Put the book down when something stirs in you, and let it "
        "stir. A thought that is given room to grow will do more good than a hundred pages "
        "hurried through. If a line helps you, keep it. If it does not, pass it by without "
        "guilt and go on to the next. Each chapter stands on its own, so you may begin "
        "wherever you like and return to any part as often as you wish.",
    ]),
    ("Chapter One: What Faith Is Not", [
        "Many people carry a picture of faith that puts it out of reach. They imagine that "
        "faith means never having a doubt, never feeling afraid, never asking why. They look "
        "into their own hearts, find questions and worries there, and decide that faith must "
        "belong to other people: to better people, to people born with a gift they were not "
        "given.",
        "That picture is mistaken. Faith is not the absence of fear. It is not a feeling of "
        "certainty that arrives one morning and never leaves. It is not a reward for being "
        "good, and it is not a ticket to be shown at the door. Faith is much humbler than "
        "that, and much closer to hand.",
        "Think of a child learning to swim. She does not first become sure that the water will "
        "hold her up. She is afraid, and she says so. But she lets go of the edge, just a "
        "little, and the water does what water does. The next day she lets go a little more. "
        "Her trust grows, not because her fear was taken away beforehand, but because she "
        "acted while afraid and found that she was held.",
        "Faith works in much the same way. It begins with a small letting go. It grows by "
        "being used. It is less like a possession and more like a muscle, or like a path that "
        "becomes clearer each time it is walked. No one is too weak to begin, and no one is so "
        "strong that they have finished.",
        "So if you are reading this with a heart full of questions, you are not shut out. You "
        "stand exactly where most of the faithful have always stood: at the edge of the "
        "water, wondering whether to let go.",
    ]),
    ("Chapter Two: The Seed and the Soil", [
        "A farmer who plants a seed does not dig it up every morning to see whether it has "
        "sprouted. He waters it, he keeps the weeds away, and he waits. The growing happens "
        "out of sight, in the dark, in its own time. When the first green shoot appears it "
        "seems sudden, but it was weeks in the making.",
        "The beginnings of faith are often like that. A kind word from a stranger, a line read "
        "long ago, a moment of stillness on a walk, a prayer whispered almost without meaning "
        "it: these are seeds. We may forget them. We may think nothing came of them. Yet years "
        "later we find that something has been growing in us all along.",
        "The soil matters too. A seed on hard ground cannot take root, and a heart that is "
        "always rushed, always distracted, always defending itself, gives faith little room. "
        "We prepare the soil when we make a little quiet in our days, when we are honest about "
        "our needs, and when we stop pretending that we can carry everything alone.",
        "None of this needs special training. It asks only for patience and a willingness to "
        "be surprised. Some of the richest gardens I have seen were planted by people who "
        "thought they had no skill at all. They simply kept showing up, season after season, "
        "and the ground answered them.",
        "If your faith feels small today, do not despise it. Small is how every living thing "
        "begins. Water what you have. Pull a weed or two. Wait. The harvest is not yours to "
        "hurry, but it is yours to receive.",
    ]),
    ("Chapter Three: Faith in the Dark Hours", [
        "There are seasons when nothing seems to grow. Illness comes, or grief, or the loss of "
        "work, or a loneliness that settles over the house like fog. In such times the words "
        "that once comforted us can sound hollow. We pray and hear nothing. We read and feel "
        "nothing. We begin to wonder whether we were ever heard at all.",
        "I will not pretend that these seasons are easy, or that there is a trick for making "
        "them pass quickly. But I have noticed something in my own life and in the lives of "
        "many I have known. The dark hours are often the very places where faith puts down its "
        "deepest roots. A tree that has weathered storms holds the ground more firmly than one "
        "that has only known still air.",
        "When you cannot feel anything, it can help to do something small and faithful anyway. "
        "Light a candle. Say a simple thank you for one thing, even if the thing is only a cup "
        "of tea or a bird at the window. Sit with someone else who is struggling. These acts "
        "are not magic, but they keep a door open, and light has a way of finding open doors.",
        "It can also help to remember that you are not the first to walk this way. People in "
        "every age have cried out in the night and wondered whether morning would come. Many "
        "of them left us their songs and their stories, not because they had escaped the "
        "darkness, but because they found that they were not alone in it.",
        "Morning does come. It may come slowly, a grey light before any colour, but it comes. "
        "And when it does, you may find that you carry something you did not have before: a "
        "quieter strength, a gentler heart, a faith that no longer depends on fair weather.",
    ]),
    ("Chapter Four: The Company of Others", [
        "Faith is personal, but it was never meant to be private. We are made for company. A "
        "single coal taken from the fire soon grows cold, while coals kept together go on "
        "glowing through the night. In the same way, a believer who walks alone may find the "
        "way long and the warmth hard to keep.",
        "Look for people who will walk beside you. They need not be perfect, and they will not "
        "be. Some will disappoint you, and you will disappoint some of them. That is part of "
        "the bargain. Forgiveness is not an interruption of life together; it is the very "
        "thing that holds it together.",
        "Good company does not mean agreeing about everything. Some of the best talks I have "
        "had about faith were with friends who saw things very differently. We listened, we "
        "argued gently, we prayed for one another, and each of us went home with more to think "
        "about than before. Honest questions shared in love make faith stronger, not weaker.",
        "If you cannot find such company, consider becoming it for someone else. Notice who "
        "sits alone. Ask how a neighbour is really doing, and wait for the real answer. Offer "
        "to carry a burden, even a small one. Very often the friend we have been looking for "
        "is the friend we become for another.",
    ]),
    ("Chapter Five: Faith That Works", [
        "Faith that stays only in the head is like a letter that is written but never sent. It "
        "may be beautiful, but it reaches no one. Living faith has hands and feet. It shows "
        "itself in the way we treat the people in front of us, most of all those who can do "
        "nothing for us in return.",
        "This does not mean that we earn anything by our good works. It means that a heart "
        "which has been touched by grace cannot help but move. When we know that we have been "
        "forgiven, we find it easier to forgive. When we know that we have been cared for, we "
        "want to care for others. The deed follows the gift, as surely as spring follows "
        "winter.",
        "Start with what is near. Bring a meal to someone who is unwell. Write to a friend who "
        "has gone quiet. Pay attention to the cashier, the driver, the cleaner, the person "
        "everyone else walks past. Keep a promise that would be easy to break. These are not "
        "small things. They are the ordinary places where faith becomes visible.",
        "There will be days when you do not feel like being kind, and you may wonder whether "
        "kindness done without feeling still counts. It does. Often the feeling follows the "
        "deed rather than leading it. Do the good thing first, and let your heart catch up "
        "later.",
    ]),
    ("Chapter Six: Doubt as a Doorway", [
        "Many people are ashamed of their doubts. They hide them, even from themselves, afraid "
        "that one honest question might bring the whole house down. But a faith that cannot "
        "survive a question was already in trouble, and a faith that has faced its questions "
        "is a faith that can stand.",
        "Doubt is not the opposite of faith. Indifference is closer to that. The person who "
        "doubts still cares enough to ask, still hopes enough to look for an answer. Doubt can "
        "be a doorway into a larger room, where the simple beliefs of childhood are not thrown "
        "away but grown into something deeper.",
        "When doubts come, bring them into the open. Speak them aloud in prayer. Talk them over "
        "with someone you trust. Read, think, and wait. Some questions will find answers. "
        "Others will stay open for a long time, perhaps for the rest of your life, and you will "
        "learn to live with them the way we live with the stars: not understanding all of "
        "them, yet finding our way by their light.",
    ]),
    ("Chapter Seven: Prayer as Conversation", [
        "Prayer can seem like a great mystery, kept for saints and hermits. Yet at heart it is "
        "very simple. It is talking and listening. It is turning toward the One who made us, "
        "as a child turns toward a parent, and saying what is on our mind.",
        "You do not need fine words. Some of the truest prayers are only a few words long: "
        "help, thank you, I am sorry, show me the way. You do not need a special place, though "
        "a quiet corner can help. You can pray on a bus, at the kitchen sink, in a hospital "
        "corridor, or lying awake at three in the morning.",
        "Listening is the harder half. We are quick to speak and slow to be still. Try ending "
        "your prayer with a minute of silence. Do not expect a voice from the clouds. Often the "
        "answer comes later, in a thought that arrives unbidden, in a word from a friend, in a "
        "door that opens or closes. Over time you may learn to recognise the gentle way in "
        "which you are being led.",
        "Above all, keep at it. Prayer is a relationship, and relationships grow through time "
        "spent together. A friendship that meets once a year stays shallow. One that meets "
        "every day, even briefly, becomes a source of strength and joy.",
    ]),
    ("Chapter Eight: The Gift of Gratitude", [
        "Gratitude is one of the simplest doors into faith, and one of the most overlooked. We "
        "are quick to notice what is missing and slow to notice what has been given. A single "
        "unkind remark can fill our thoughts for a whole day, while a hundred small mercies "
        "pass by unseen.",
        "Try a small experiment. Each evening, before you sleep, name three things from the day "
        "for which you are thankful. They need not be large: warm bread, a phone call, the "
        "smell of rain, a task finished, a pain that eased. At first it may feel forced. After "
        "a few weeks you may find that you look for such things during the day, so that you "
        "will have something to name at night.",
        "Something changes in a person who gives thanks. The world does not become easier, but "
        "it becomes fuller. We begin to see that our lives rest on gifts we did not earn and "
        "could not buy: breath, light, the love of others, the very ground beneath our feet. "
        "And once we see that, it is a short step to wondering about the Giver.",
        "Gratitude also guards the heart against bitterness. It is hard to be thankful and "
        "resentful in the same moment. When old hurts rise up, a word of thanks for something "
        "good will not erase them, but it will remind you that the hurt is not the whole of "
        "your story.",
    ]),
    ("Chapter Nine: Learning to Rest", [
        "We live as though our worth depended on how much we get done. Our days are crowded, "
        "our evenings are spent catching up, and even our holidays come with lists. Many of us "
        "have forgotten how to rest, and some of us feel guilty when we try.",
        "Yet rest is woven into the pattern of creation. Night follows day. Winter follows "
        "harvest. A field is left fallow so that it may bear again. To stop, to lay down our "
        "tools and simply be, is not laziness. It is an act of trust. It says that the world "
        "will go on turning without our hand on it, and that we are held even when we are not "
        "holding everything together.",
        "Set aside a little time each week that belongs to no task. Walk without a destination. "
        "Sit with a friend without checking the hour. Read something for the joy of it. Sleep "
        "when you are tired. In that open space faith has room to breathe, and so do you.",
        "You may find rest uncomfortable at first. Worries rush in to fill the silence. Let "
        "them come and let them pass, like clouds over a hill. Beneath them, in time, you may "
        "find a deeper quiet, and in that quiet a presence that has been waiting for you all "
        "along.",
    ]),
    ("Chapter Ten: Forgiving and Being Forgiven", [
        "Few things weigh on the soul like an old wrong that has never been forgiven, whether "
        "we were the one who was wronged or the one who did the wrong. We carry it for years, "
        "often without knowing how much it costs us, like a stone sewn into the lining of a "
        "coat.",
        "Forgiving another person does not mean pretending that nothing happened. It does not "
        "mean that the harm did not matter, or that trust must be given back at once. It means "
        "that we stop demanding payment. We hand the debt over to a higher justice and a "
        "greater mercy, and we walk on lighter than before.",
        "Being forgiven can be even harder. Some of us find it easier to forgive others than to "
        "accept forgiveness ourselves. We keep going back to our old failures, turning them "
        "over, as though punishing ourselves could undo them. But mercy offered and refused "
        "helps no one. At some point we have to open our hands and receive it.",
        "Forgiveness is seldom a single act. More often it is a road walked one step at a "
        "time. You may forgive today and find the anger back tomorrow. That does not mean you "
        "have failed. It means you forgive again, and again, until the wound at last begins to "
        "heal.",
    ]),
    ("Chapter Eleven: The Long Road", [
        "Faith is not a single step but a long road, and the road has hills. There will be "
        "days of bright certainty and days when you can barely lift your feet. Neither kind of "
        "day is the whole story. What matters is that you keep walking, and that when you "
        "fall, you get up again.",
        "It helps to look back now and then. Remember the times you were carried through "
        "trouble you thought would break you. Remember the unexpected gifts, the friends who "
        "appeared at the right moment, the strength that came from somewhere beyond yourself. "
        "These memories are like stones set beside the path, marking the places where you were "
        "met.",
        "It helps, too, to look ahead with hope. The road does not wander without purpose. It "
        "leads home. Every act of love, every honest prayer, every small faithfulness is a step "
        "in that direction, even when the end of the road is hidden by the next bend.",
        "Be patient with yourself on the way. Growth in faith is slow, and it seldom moves in a "
        "straight line. The saints were not people who never stumbled. They were people who "
        "kept turning back toward the light, again and again, until turning back became the "
        "habit of their lives.",
    ]),
    ("A Closing Word", [
        "Thank you for walking with me through these pages. If they have helped you even a "
        "little, pass them on to someone who may need them. Faith was given to us freely, and "
        "it is meant to be shared in the same spirit.",
        "I have written these chapters as one traveller writing to another. I have not reached "
        "the end of the road myself, and I still stumble over the very stones I have warned you "
        "about. But I have learned that the road is worth walking, and that no one who sets out "
        "on it in earnest is ever truly alone.",
    ]),
]

FAREWELL_OPENING = "As you close this book, take these wishes with you."
WISHES = [
    "May your heart find rest in the quiet hours.",
    "May your doubts lead you to deeper questions and richer answers.",
    "May the people you meet find kindness in you.",
    "May the light you have been given grow a little brighter every day.",
    "May you never walk a dark road without a friend beside you.",
    "May your small acts of faith bear fruit, even where you cannot see it.",
    "May you be patient with yourself and generous with others.",
    "May you find, at the end of every road, that you were expected.",
    "May every morning remind you that you are loved.",
    "May you learn to hear the gentle voice that calls you by name.",
    "May your home be a place where strangers feel welcome.",
    "May you give thanks for small things and find them not so small.",
]
# The last sentence, "Go <how>, <whom>, and <wish>.", in words of many lengths: together
# they span more than the longest wish, so every length can be met.
FAREWELL_WORDS = [
    ["well", "gently", "in peace", "with hope", "in quiet joy", "with courage", "in peace and in hope",
     "with a glad and quiet heart", "with courage and with a quiet heart"],
    ["friend", "my friend", "dear reader", "good friend", "dear friend", "fellow traveller",
     "my friend and reader", "my friend and fellow traveller"],
    ["be blessed", "walk in the light", "keep the lamp burning", "may grace go with you",
     "may peace go before you", "may you always be held", "may the lamp in your window never go out",
     "may you find the light still burning when you come home"],
]


def maker_address():
    with open(os.path.join(ROOT, "view", "makeraddress.h"), encoding="ascii") as header:
        match = re.search(r'MakerAddress\[\]\s*=\s*"([^"]+)"', header.read())
    address = match.group(1)
    assert address.startswith("http://") and address.endswith("/"), address
    return address


def book_head(address):
    return [
        '<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">',
        "<html>",
        "<head>",
        '  <meta content="text/html; charset=ISO-8859-1" http-equiv="content-type">',
        "  <title>untitled</title>",
        "</head>",
        "<body>",
        # The view ignores colours written as color="rgb(...)", hence style attributes.
        '<div style="text-align: center;"><b><font style="color: rgb(0, 0, 153);" size="+3">'
        + BOOK_TITLE + '</font></b><b style="color: rgb(0, 0, 153);"></b>'
        '<b style="color: rgb(0, 0, 153);"></b>',
        '<b><font style="color: rgb(51, 51, 153);" size="+2"><br>',
        "by<br>",
        AUTHOR + "<br>",
        "<br>",
        '</font></b><font face="helvetica,arial,sans-serif" size="-1">'
        '<span style="font-weight: normal;">' + NOTICE + "<br>",
        '<a href="' + address + '">' + LINK_TEXT + "</a><br>",
        "<br>",
        "<br>",
        "<br>",
        "<br>",
        "</span></font></div>",
        "<br>",
    ]


def text_lines(paragraphs):
    lines = []
    for number, paragraph in enumerate(paragraphs):
        paragraph_lines = wrapped(paragraph)
        if number + 1 < len(paragraphs):
            paragraph_lines[-1] += "<br>"
            paragraph_lines.append("<br>")
        lines.extend(paragraph_lines)
    return lines


def encode(lines):
    data = "".join(line + "\r\n" for line in lines).encode("ascii") + b"\0"
    assert b"\r\r" not in data and not re.search(rb"(?<!\r)\n|\r(?!\n)", data)
    return data


def wrapped(paragraph):
    return textwrap.wrap(paragraph, WRAP, break_long_words=False, break_on_hyphens=False)


def book():
    body = []
    for heading, paragraphs in CHAPTERS:
        body.append(heading)
        body.extend(paragraphs)
    before = book_head(maker_address()) + text_lines(body + ["-"])[:-1]
    after = ["</body>", "</html>"]
    fixed = sum(len(line) + 2 for line in before + after) + 1
    for count in range(len(WISHES), -1, -1):
        for how, whom, wish in itertools.product(*FAREWELL_WORDS):
            last = "Go %s, %s, and %s." % (how, whom, wish)
            farewell = " ".join([FAREWELL_OPENING] + WISHES[:count] + [last])
            lines = wrapped(farewell)
            if fixed + sum(len(line) + 2 for line in lines) == BOOK_SIZE:
                data = encode(before + lines + after)
                assert len(data) == BOOK_SIZE
                return data
    raise SystemExit("the book does not fit %d bytes: write more text" % BOOK_SIZE)


# ---------------------------------------------------------------------------------------


def main():
    splash().save(os.path.join(HERE, "splash.gif"), format="GIF")
    banner().save(os.path.join(HERE, "banner.gif"), format="GIF")

    sizes = (16, 32, 48)
    pictures = {size: program_icon(size) for size in sizes}
    images = [IconImage(pictures[size], bpp) for bpp in (8, 4) for size in sizes]
    write_bytes("ambervale.ico", ico_bytes(images))
    for size in sizes:
        save_image("icons/ambervale-%d.png" % size, pictures[size], format="PNG")

    for number, draw in enumerate(TOOLBAR_PICTURES, start=1):
        flat = on_mask_colour(draw()).convert("RGBA")
        write_bytes("toolbar/picture%d.ico" % number, ico_bytes([IconImage(flat, 8, key=MASK_COLOUR)]))

    hand = hand_pointer()
    x, y = HAND_HOTSPOT
    assert hand.getpixel((x, y))[3] == 255 and all(hand.getpixel((x, row))[3] == 0 for row in range(y))
    write_bytes("hand.ico", ico_bytes([IconImage(hand, 4)]))

    write_bytes("d.htm", book())


if __name__ == "__main__":
    main()
