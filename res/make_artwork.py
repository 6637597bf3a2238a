#!/usr/bin/env python3
"""Draws Trayhound's artwork and writes it as the files the resource script and the samples use.

Standard library only, and deterministic: running it twice gives the same bytes, so the outputs
are committed together with this script and regenerated whenever a drawing changes.

    python3 res/make_artwork.py            # writes into the repository
    python3 res/make_artwork.py --out DIR  # writes the same tree below DIR
    python3 res/make_artwork.py --check    # fails when a committed file is out of date
"""

import argparse
import functools
import math
import struct
from pathlib import Path

# The colour behind the 12 x 12 menu pictures: the menu background of Windows 10 (COLOR_MENU).
# A 24-bit bitmap has no transparency; every picture's top left pixel shows this colour, so a
# loader that wants the menu's own colour behind a picture can take that pixel as the key.
MENU_BACKGROUND = (240, 240, 240)


# --- Pictures --------------------------------------------------------------------------------


class Picture:
    """An RGBA raster, row 0 at the top."""

    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.width = width
        self.height = height
        self.pixels = [[fill] * width for _ in range(height)]

    def get(self, x, y):
        return self.pixels[y][x]

    def set(self, x, y, rgba):
        self.pixels[y][x] = rgba


def from_grid(rows, palette):
    """A picture from rows of palette letters; '.' is transparent."""
    height = len(rows)
    width = len(rows[0])
    picture = Picture(width, height)
    for y, row in enumerate(rows):
        if len(row) != width:
            raise ValueError(f"row {y} is {len(row)} wide, expected {width}: {row!r}")
        for x, letter in enumerate(row):
            if letter == ".":
                continue
            colour = palette[letter]
            picture.set(x, y, colour if len(colour) == 4 else (*colour, 255))
    return picture


def mirrored(half_rows):
    """Full rows from their left halves, for drawings that are symmetric about the middle."""
    return [row + row[::-1] for row in half_rows]


def flatten(picture, background):
    """The picture composed over an opaque background colour."""
    result = Picture(picture.width, picture.height)
    for y in range(picture.height):
        for x in range(picture.width):
            r, g, b, a = picture.get(x, y)
            mix = [round((c * a + bg * (255 - a)) / 255) for c, bg in zip((r, g, b), background)]
            result.set(x, y, (*mix, 255))
    return result


# --- Vector drawing with supersampling -------------------------------------------------------


class Ellipse:
    def __init__(self, cx, cy, rx, ry, angle=0.0):
        self.cx, self.cy, self.rx, self.ry = cx, cy, rx, ry
        self.cos = math.cos(math.radians(angle))
        self.sin = math.sin(math.radians(angle))

    def grown(self, amount):
        grown = Ellipse(self.cx, self.cy, self.rx + amount, self.ry + amount)
        grown.cos, grown.sin = self.cos, self.sin
        return grown

    def contains(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        u = dx * self.cos + dy * self.sin
        v = -dx * self.sin + dy * self.cos
        return (u / self.rx) ** 2 + (v / self.ry) ** 2 <= 1.0


class Polygon:
    def __init__(self, points):
        self.points = points

    def contains(self, x, y):
        inside = False
        count = len(self.points)
        for i in range(count):
            x1, y1 = self.points[i]
            x2, y2 = self.points[(i + 1) % count]
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                inside = not inside
        return inside


class Clipped:
    """A shape limited to the inside of another."""

    def __init__(self, shape, clip):
        self.shape, self.clip = shape, clip

    def contains(self, x, y):
        return self.shape.contains(x, y) and self.clip.contains(x, y)


class Union:
    def __init__(self, *shapes):
        self.shapes = shapes

    def contains(self, x, y):
        return any(shape.contains(x, y) for shape in self.shapes)


def render(layers, size, design=100.0, samples=6):
    """Paints (shape, rgb) layers, drawn in order on a design square, into a size x size picture."""
    picture = Picture(size, size)
    scale = design / size
    step = 1.0 / samples
    for py in range(size):
        for px in range(size):
            sums = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) * step) * scale
                    y = (py + (sy + 0.5) * step) * scale
                    colour = None
                    for shape, rgb in layers:
                        if shape.contains(x, y):
                            colour = rgb
                    if colour is not None:
                        covered += 1
                        for k in range(3):
                            sums[k] += colour[k]
            if covered:
                alpha = round(255 * covered / samples**2)
                picture.set(px, py, (*(round(s / covered) for s in sums), alpha))
    return picture


# --- File formats ----------------------------------------------------------------------------


def bmp24(picture):
    """A bottom-up 24-bit BMP file; the picture must be opaque."""
    row_size = (picture.width * 3 + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(picture.height)):
        row = bytearray()
        for x in range(picture.width):
            r, g, b, a = picture.get(x, y)
            if a != 255:
                raise ValueError("a 24-bit bitmap cannot hold transparency")
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        pixels += row
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    info = struct.pack(
        "<IiiHHIIiiII", 40, picture.width, picture.height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0
    )
    return file_header + info + bytes(pixels)


def mask_rows(picture, transparent):
    """The 1-bit AND mask of an icon or cursor, bottom-up, rows padded to 32 bits."""
    row_size = ((picture.width + 31) // 32) * 4
    data = bytearray()
    for y in reversed(range(picture.height)):
        row = bytearray(row_size)
        for x in range(picture.width):
            if transparent(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        data += row
    return bytes(data)


def palette_of(picture, limit=256):
    """A palette of at most `limit` colours for the opaque pixels, index 0 black.

    Median cut over the distinct colours, weighted by how often they occur; exact when the
    picture has few enough colours already.
    """
    counts = {}
    for row in picture.pixels:
        for r, g, b, a in row:
            if a >= 128:
                counts[(r, g, b)] = counts.get((r, g, b), 0) + 1
    colours = sorted(counts)
    if len(colours) < limit:
        return [(0, 0, 0)] + colours
    boxes = [colours]
    while len(boxes) < limit - 1:
        boxes.sort(key=lambda box: (-(len(box) > 1) * spread(box)[0], box[0]))
        box = boxes.pop(0)
        if len(box) < 2:
            boxes.append(box)
            break
        channel = spread(box)[1]
        box = sorted(box, key=lambda c: (c[channel], c))
        half = len(box) // 2
        boxes += [box[:half], box[half:]]
    result = [(0, 0, 0)]
    for box in sorted(boxes):
        weight = sum(counts[c] for c in box)
        result.append(tuple(round(sum(c[k] * counts[c] for c in box) / weight) for k in range(3)))
    return result


def spread(box):
    """The widest colour range of a box of colours, and its channel."""
    ranges = [max(c[k] for c in box) - min(c[k] for c in box) for k in range(3)]
    channel = max(range(3), key=lambda k: ranges[k])
    return ranges[channel], channel


def nearest(palette, rgb):
    return min(
        range(1, len(palette)),
        key=lambda i: sum((palette[i][k] - rgb[k]) ** 2 for k in range(3)) * 256 + i,
    )


def icon_image_8bpp(picture):
    """An icon image with 256 palette colours and a 1-bit mask (alpha below 128 is transparent)."""
    palette = palette_of(picture)
    palette += [(0, 0, 0)] * (256 - len(palette))
    lookup = {}
    row_size = (picture.width + 3) & ~3
    xor = bytearray()
    for y in reversed(range(picture.height)):
        row = bytearray(row_size)
        for x in range(picture.width):
            r, g, b, a = picture.get(x, y)
            if a >= 128:
                if (r, g, b) not in lookup:
                    lookup[(r, g, b)] = nearest(palette, (r, g, b))
                row[x] = lookup[(r, g, b)]
        xor += row
    mask = mask_rows(picture, lambda x, y: picture.get(x, y)[3] < 128)
    info = struct.pack(
        "<IiiHHIIiiII",
        40,
        picture.width,
        picture.height * 2,
        1,
        8,
        0,
        len(xor) + len(mask),
        0,
        0,
        256,
        0,
    )
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return info + colours + bytes(xor) + mask


def icon_image_32bpp(picture):
    """An icon image with an 8-bit alpha channel and the matching 1-bit mask."""
    xor = bytearray()
    for y in reversed(range(picture.height)):
        for x in range(picture.width):
            r, g, b, a = picture.get(x, y)
            xor += bytes((b, g, r, a)) if a else bytes(4)
    mask = mask_rows(picture, lambda x, y: picture.get(x, y)[3] < 128)
    info = struct.pack(
        "<IiiHHIIiiII",
        40,
        picture.width,
        picture.height * 2,
        1,
        32,
        0,
        len(xor) + len(mask),
        0,
        0,
        0,
        0,
    )
    return info + bytes(xor) + mask


def ico(pictures):
    """An .ico file holding each picture as a 256-colour and as a 32-bit image."""
    images = []
    for picture in pictures:
        images.append((picture, 8, icon_image_8bpp(picture)))
    for picture in pictures:
        images.append((picture, 32, icon_image_32bpp(picture)))
    return icon_directory(1, [(p.width, p.height, 0, 1, bits, data) for p, bits, data in images])


def icon_directory(kind, entries):
    header = struct.pack("<HHH", 0, kind, len(entries))
    offset = len(header) + 16 * len(entries)
    directory = bytearray()
    body = bytearray()
    for width, height, colours, planes_or_x, bits_or_y, data in entries:
        directory += struct.pack(
            "<BBBBHHII",
            width % 256,
            height % 256,
            colours,
            0,
            planes_or_x,
            bits_or_y,
            len(data),
            offset + len(body),
        )
        body += data
    return header + bytes(directory) + bytes(body)


def monochrome_cursor(rows, hot_spot):
    """A .cur file from rows of 'K' (black), 'W' (white), '.' (transparent) and '~' (inverted)."""
    height = len(rows)
    width = len(rows[0])
    picture = Picture(width, height)
    letters = {}
    for y, row in enumerate(rows):
        for x, letter in enumerate(row):
            letters[(x, y)] = letter
    # AND 1 + XOR 0 keeps the screen, AND 0 paints the XOR colour, AND 1 + XOR 1 inverts it.
    xor = mask_rows(picture, lambda x, y: letters[(x, y)] in "W~")
    mask = mask_rows(picture, lambda x, y: letters[(x, y)] in ".~")
    info = struct.pack(
        "<IiiHHIIiiII", 40, width, height * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0
    )
    colours = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    data = info + colours + xor + mask
    return icon_directory(2, [(width, height, 2, hot_spot[0], hot_spot[1], data)])


# --- Drawings --------------------------------------------------------------------------------


# The internal icon set, 12 x 12 menu pictures in the order of the standard icons.

INTERNAL_PALETTE = {
    "D": (36, 84, 160),  # window frame
    "L": (98, 160, 236),  # title bar, light
    "B": (52, 118, 212),  # title bar
    "W": (255, 255, 255),
    "g": (176, 196, 222),  # content lines
    "O": (168, 112, 20),  # folder outline
    "y": (232, 172, 48),  # folder back
    "Y": (252, 204, 84),  # folder front
    "H": (255, 232, 152),  # folder highlight
    "K": (104, 116, 136),  # page outline
    "F": (214, 222, 232),  # page fold
    "E": (128, 100, 64),  # envelope outline
    "P": (255, 250, 236),  # envelope paper
    "p": (238, 226, 200),  # envelope flap
    "V": (176, 150, 110),  # envelope flap edge
    "N": (28, 78, 150),  # globe outline
    "S": (70, 146, 226),  # sea
    "s": (150, 202, 248),  # sea, highlight
    "G": (88, 176, 72),  # land
}

INTERNAL_SET = {
    "Application": [
        "............",
        ".DDDDDDDDDD.",
        ".DLLLLLLLLD.",
        ".DBBBBBWBWD.",
        ".DDDDDDDDDD.",
        ".DWWWWWWWWD.",
        ".DWggggggWD.",
        ".DWWWWWWWWD.",
        ".DWggggWWWD.",
        ".DWWWWWWWWD.",
        ".DDDDDDDDDD.",
        "............",
    ],
    "Folder": [
        "............",
        ".OOOO.......",
        "OyyyyO......",
        "OyyyyyOOOOO.",
        "OyyyyyyyyyyO",
        "OOOOOOOOOOOO",
        "OHHHHHHHHHHO",
        "OYYYYYYYYYYO",
        "OYYYYYYYYYYO",
        "OYYYYYYYYYYO",
        "OOOOOOOOOOOO",
        "............",
    ],
    "Document": [
        "..KKKKKK....",
        "..KWWWWKK...",
        "..KWWWWKFK..",
        "..KWWWWKKKK.",
        "..KWWWWWWWK.",
        "..KWgggggWK.",
        "..KWWWWWWWK.",
        "..KWgggggWK.",
        "..KWWWWWWWK.",
        "..KWgggWWWK.",
        "..KWWWWWWWK.",
        "..KKKKKKKKK.",
    ],
    "Mail": [
        "............",
        "............",
        "EEEEEEEEEEEE",
        "EVppppppppVE",
        "EPVppppppVPE",
        "EPPVppppVPPE",
        "EPPPVppVPPPE",
        "EPPPPVVPPPPE",
        "EPPPPPPPPPPE",
        "EPPPPPPPPPPE",
        "EEEEEEEEEEEE",
        "............",
    ],
    "Web": [
        "....NNNN....",
        "..NNSSSSNN..",
        ".NssGGSSSSN.",
        ".NsGGGGSSSN.",
        "NSSGGGSSSSGN",
        "NSSSGGSSSGGN",
        "NSSSSGSSGGGN",
        "NSSSSSSSGGSN",
        ".NSSSSSSGSN.",
        ".NSSSSSSSSN.",
        "..NNSSSSNN..",
        "....NNNN....",
    ],
}


# The hound: a friendly front-facing head with long ears, on a 100 x 100 design square.

HOUND_OUTLINE = (58, 34, 20)
HOUND_EAR = (124, 68, 34)
HOUND_COAT = (214, 150, 78)
HOUND_WHITE = (252, 246, 234)
HOUND_NOSE = (40, 30, 28)
HOUND_SHINE = (255, 255, 255)
HOUND_TONGUE = (236, 112, 120)


def hound_layers(stroke):
    left_ear = Ellipse(20, 55, 12, 29, 14)
    right_ear = Ellipse(80, 55, 12, 29, -14)
    head = Ellipse(50, 42, 27, 31)
    muzzle = Ellipse(50, 72, 21, 17)
    face = Union(head, muzzle)
    blaze = Polygon([(46, 12), (54, 12), (57, 60), (43, 60)])
    tongue = Clipped(Ellipse(50, 86, 6, 7), Polygon([(40, 81), (60, 81), (60, 96), (40, 96)]))
    return [
        (Union(left_ear.grown(stroke), right_ear.grown(stroke)), HOUND_OUTLINE),
        (Union(left_ear, right_ear), HOUND_EAR),
        (Union(head.grown(stroke), muzzle.grown(stroke)), HOUND_OUTLINE),
        (face, HOUND_COAT),
        (Clipped(blaze, head), HOUND_WHITE),
        (muzzle, HOUND_WHITE),
        (Ellipse(37, 45, 4.5, 5.5), HOUND_OUTLINE),
        (Ellipse(63, 45, 4.5, 5.5), HOUND_OUTLINE),
        (Ellipse(38.5, 43, 1.6, 1.6), HOUND_SHINE),
        (Ellipse(64.5, 43, 1.6, 1.6), HOUND_SHINE),
        (tongue, HOUND_TONGUE),
        (Polygon([(48.8, 68), (51.2, 68), (51.2, 80), (48.8, 80)]), HOUND_OUTLINE),
        (Polygon([(40, 79), (60, 79), (60, 81.5), (40, 81.5)]), HOUND_OUTLINE),
        (Ellipse(50, 64, 10, 7), HOUND_NOSE),
        (Ellipse(46.5, 61.5, 3, 1.6), (120, 110, 110)),
    ]



# At 16 x 16 the drawing above blurs, so the tray's own size is drawn pixel by pixel.
HOUND_16 = mirrored(
    [
        "........",
        ".....kkk",
        "....kTTW",
        "...kTTTW",
        "..kkTTTW",
        ".kEETTTW",
        "kEEkTNTW",
        "kEEkTNTW",
        "kEEkTTWW",
        "kEEkTWNN",
        "kEEkWWWN",
        "kEEkWWWk",
        "kEEEkWkP",
        ".kEEkkWW",
        "..kk..kk",
        "........",
    ]
)
HOUND_PALETTE = {
    "k": HOUND_OUTLINE,
    "E": HOUND_EAR,
    "T": HOUND_COAT,
    "W": HOUND_WHITE,
    "N": HOUND_NOSE,
    "P": HOUND_TONGUE,
}


@functools.cache
def hound(size):
    if size == 16:
        return from_grid(HOUND_16, HOUND_PALETTE)
    return render(hound_layers(3.5), size)


# The About box: its banner's gradient runs from BANNER_START at the left edge to BANNER_END at
# the right edge, 345 pixels along; the strip sits on the banner's last five pixel rows.

BANNER_START = (101, 126, 211)
BANNER_END = (108, 140, 228)
BANNER_WIDTH = 345
TITLE_ORANGE = (247, 150, 55)


def mix(a, b, share):
    """Colour a moved by `share` (0 to 1) towards colour b."""
    return tuple(round(x + (y - x) * share) for x, y in zip(a, b))


def banner_colour(x):
    return mix(BANNER_START, BANNER_END, min(x, BANNER_WIDTH) / BANNER_WIDTH)


def about_strip(width=413, height=5):
    """A glossy rule from the title's orange to gold, with a light edge above and a shadow below."""
    strip = Picture(width, height)
    for x in range(width):
        banner = banner_colour(x)
        rule = mix(TITLE_ORANGE, (255, 214, 110), x / (width - 1))
        rows = [
            mix(banner, (255, 255, 255), 0.35),
            mix(rule, (255, 255, 255), 0.3),
            rule,
            mix(rule, (190, 90, 20), 0.35),
            mix(banner, (52, 66, 132), 0.55),
        ]
        for y, colour in enumerate(rows[:height]):
            strip.set(x, y, (*colour, 255))
    return strip


# The About box's link cursor: a pointing hand, the tip of the index finger at the hot spot.

LINK_CURSOR_HOT_SPOT = (7, 1)
LINK_CURSOR = [
    ".......KK.........",
    "......KWWK........",
    "......KWWK........",
    "......KWWK........",
    "......KWWK........",
    "......KWWKKK......",
    "......KWWKWWKKK...",
    "......KWWKWWKWWKK.",
    "......KWWKWWKWWKWK",
    ".KKK..KWWKWWKWWKWK",
    "KWWWK.KWWWWWWWWWWK",
    "KWWWWKKWWWWWWWWWWK",
    ".KWWWWKWWWWWWWWWWK",
    "..KWWWWWWWWWWWWWWK",
    "..KWWWWWWWWWWWWWWK",
    "...KWWWWWWWWWWWWWK",
    "...KWWWWWWWWWWWWK.",
    "....KWWWWWWWWWWWK.",
    "....KWWWWWWWWWWK..",
    ".....KWWWWWWWWWK..",
    ".....KWWWWWWWWWK..",
    ".....KKKKKKKKKKK..",
]


def padded(rows, width, height):
    return [row.ljust(width, ".") for row in rows] + ["." * width] * (height - len(rows))


# The sample icon set "Classic": the five standard pictures and three extras, drawn in the
# sixteen colours of the classic Windows palette.

CLASSIC_PALETTE = {
    "k": (0, 0, 0),
    "n": (0, 0, 128),
    "b": (0, 0, 255),
    "c": (0, 255, 255),
    "g": (128, 128, 128),
    "s": (192, 192, 192),
    "w": (255, 255, 255),
    "y": (255, 255, 0),
    "o": (128, 128, 0),
    "G": (0, 128, 0),
    "L": (0, 255, 0),
    "r": (255, 0, 0),
}

CLASSIC_SET = {
    "Application": [
        "............",
        "kkkkkkkkkkk.",
        "knnnnnnnsnk.",
        "kkkkkkkkkkkg",
        "kwwwwwwwwwkg",
        "kwwwwwwwwwkg",
        "kwwwwwwwwwkg",
        "kwwwwwwwwwkg",
        "kwwwwwwwwwkg",
        "kkkkkkkkkkkg",
        ".ggggggggggg",
        "............",
    ],
    "Folder": [
        "............",
        "............",
        ".kkkk.......",
        "kwyyykkkkk..",
        "kwyyyyyyyyk.",
        "kwyyyyyyyykg",
        "kyyyyyyyyykg",
        "kyyyyyyyyykg",
        "kyyyyyyyyykg",
        "koooooooookg",
        "kkkkkkkkkkkg",
        ".ggggggggggg",
    ],
    "Document": [
        ".kkkkkk.....",
        ".kwwwwkk....",
        ".kwwwwkwk...",
        ".kwwwwkkkk..",
        ".kwwwwwwwkg.",
        ".kwkkkkkwkg.",
        ".kwwwwwwwkg.",
        ".kwkkkkkwkg.",
        ".kwwwwwwwkg.",
        ".kwkkkwwwkg.",
        ".kkkkkkkkkg.",
        "..ggggggggg.",
    ],
    "Mail": [
        "............",
        "............",
        "kkkkkkkkkkk.",
        "kkwwwwwwwkk.",
        "kwkwwwwwkwkg",
        "kwwkwwwkwwkg",
        "kwwwkwkwwwkg",
        "kwwwwkwwwwkg",
        "kwwwwwwwwwkg",
        "kkkkkkkkkkkg",
        ".ggggggggggg",
        "............",
    ],
    "Web": [
        "....nnnn....",
        "..nnbbGGnn..",
        ".nbbbbGGGbn.",
        ".nGGbbbGbbn.",
        "nGGGGbbbbbbn",
        "nGGGGGbbbbbn",
        "nbGGGbbbGGbn",
        "nbbGGbbGGGGn",
        ".nbGbbbGGGn.",
        ".nbbbbbbGbn.",
        "..nnbbbbnn..",
        "....nnnn....",
    ],
    "Printer": [
        "............",
        "...kkkkkk...",
        "...kwwwwk...",
        "...kwkkwk...",
        ".kkkkkkkkkk.",
        "kwssssssssgk",
        "ksssssssLsgk",
        "ksssssssssgk",
        "kggkkkkkkggk",
        "kkkwwwwwwkkk",
        "..kwkkkkwk..",
        "..kkkkkkkk..",
    ],
    "Disk": [
        ".kkkkkkkkkk.",
        "knnssgssnnnk",
        "knnssgssnnnk",
        "knnssgssnnnk",
        "knnsssssnnnk",
        "knnnnnnnnnnk",
        "knwwwwwwwwnk",
        "knwkkkkkkwnk",
        "knwwwwwwwwnk",
        "knwkkkkwwwnk",
        "knwwwwwwwwnk",
        ".kkkkkkkkkk.",
    ],
    "Terminal": [
        ".kkkkkkkkkk.",
        "kssssssssssk",
        "kskkkkkkkkgk",
        "kskLkkkkkkgk",
        "kskkLkkkkkgk",
        "kskLkLLLkkgk",
        "kskkkkkkkkgk",
        "ksgggggggggk",
        ".kkkkkkkkkk.",
        "....kggk....",
        "..kkkkkkkk..",
        "..kggggggk..",
    ],
}


# --- Output ----------------------------------------------------------------------------------


def outputs():
    """Every file this script makes: its path relative to the repository, and its bytes."""
    files = {}
    for name, rows in INTERNAL_SET.items():
        picture = flatten(from_grid(rows, INTERNAL_PALETTE), MENU_BACKGROUND)
        files[f"res/internal/{name}.bmp"] = bmp24(picture)
    files["res/Trayhound.ico"] = ico([hound(size) for size in (16, 24, 32, 48)])
    files["res/About.ico"] = ico([hound(32)])
    files["res/AboutStrip.bmp"] = bmp24(about_strip())
    files["res/Link.cur"] = monochrome_cursor(padded(LINK_CURSOR, 32, 32), LINK_CURSOR_HOT_SPOT)
    iconset = [
        "[Trayhound Icon Set]",
        "name=Classic",
        "author=Wexmoor",
        "description=Sixteen-colour pictures in the classic Windows style, with three extras.",
        f"count={len(CLASSIC_SET)}",
    ]
    for number, (name, rows) in enumerate(CLASSIC_SET.items(), start=1):
        # The extra icons live in a subfolder: a value is a path relative to the set's folder.
        path = f"{name}.bmp" if number <= 5 else f"extra\\{name}.bmp"
        iconset.append(f"{number}={path}")
        picture = flatten(from_grid(rows, CLASSIC_PALETTE), MENU_BACKGROUND)
        files["samples/Classic/" + path.replace("\\", "/")] = bmp24(picture)
    # The program reads lines that end in CR LF (a lone LF does not end a line).
    files["samples/Classic/Classic.iconset"] = "".join(f"{line}\r\n" for line in iconset).encode(
        "ascii"
    )
    return files


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", type=Path, default=Path(__file__).resolve().parent.parent)
    parser.add_argument(
        "--check",
        action="store_true",
        help="write nothing; fail if a file below --out differs from what the script draws",
    )
    arguments = parser.parse_args()
    stale = []
    for relative, data in outputs().items():
        path = arguments.out / relative
        if arguments.check:
            if not path.is_file() or path.read_bytes() != data:
                stale.append(relative)
            continue
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)
    if stale:
        raise SystemExit("out of date, run res/make_artwork.py: " + ", ".join(stale))


if __name__ == "__main__":
    main()
