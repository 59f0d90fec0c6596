"""A demanding Flash movie for the frame-rate figure: hundreds of shapes that move and turn
on every frame at 60 frames a second, and a square in the bottom left corner whose colour
tells the frame's index modulo 16 (the colours screen_watch's "frames" command reads)."""

import math
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from tiny_swf import TWIPS, Bits, polygon_shape, rect, signed_width, tag  # noqa: E402

FRAME_COLOURS = [0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
                 0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0x808080, 0xFF8000]
# Where the indicator square lies, in movie pixels: sample inside it.
INDICATOR = (0, 380, 80, 80)
INDICATOR_SAMPLE = (30, 420)

SIZE = (680, 460)
FRAMES = 64  # a multiple of 16, so that the indicator's colours run on across the loop
OBJECTS = 1000
SHAPE_COLOURS = [0x1E5AA8, 0xE8631A, 0x00A63F, 0xF5C400, 0x9B59B6, 0xE74C3C, 0x1ABC9C, 0xBDC3C7]
FIRST_INDICATOR_ID = 100


def _fixed(value):
    return int(round(value * 65536))


def _matrix(x, y, angle=0.0):
    """A MATRIX record: a turn by `angle` radians, then a move to x, y (pixels)."""
    bits = Bits()
    if angle:
        cos, sin = _fixed(math.cos(angle)), _fixed(math.sin(angle))
        bits.unsigned(1, 1)  # has scale
        width = signed_width(cos, cos)
        bits.unsigned(width, 5)
        bits.signed(cos, width)
        bits.signed(cos, width)
        bits.unsigned(1, 1)  # has rotate
        width = signed_width(sin, -sin)
        bits.unsigned(width, 5)
        bits.signed(sin, width)
        bits.signed(-sin, width)
    else:
        bits.unsigned(0, 1)
        bits.unsigned(0, 1)
    tx, ty = int(x * TWIPS), int(y * TWIPS)
    width = signed_width(tx, ty)
    bits.unsigned(width, 5)
    bits.signed(tx, width)
    bits.signed(ty, width)
    return bits.bytes()


def _place(depth, matrix, character=None, move=False):
    flags = 0x04 | (0x01 if move else 0) | (0x02 if character is not None else 0)
    body = bytes([flags]) + struct.pack("<H", depth)
    if character is not None:
        body += struct.pack("<H", character)
    return tag(26, body + matrix)


def _star(points, outer, inner):
    centre = outer
    corners = []
    for i in range(points * 2):
        radius = outer if i % 2 == 0 else inner
        angle = math.pi * i / points
        corners.append((round(centre + radius * math.sin(angle)),
                        round(centre - radius * math.cos(angle))))
    return corners


def movie():
    width, height = SIZE
    tags = tag(9, (0x202020).to_bytes(3, "big"))
    for index, colour in enumerate(SHAPE_COLOURS):
        tags += polygon_shape(1 + index, _star(5 + index % 3, 24, 10), colour, (48, 48))
    x0, y0, side, _ = INDICATOR
    square = [(0, 0), (side, 0), (side, side), (0, side)]
    for index, colour in enumerate(FRAME_COLOURS):
        tags += polygon_shape(FIRST_INDICATOR_ID + index, square, colour, (side, side))

    for frame in range(FRAMES):
        for item in range(OBJECTS):
            phase = item * 2.399963  # the golden angle spreads the paths
            x = (width - 48) * (0.5 + 0.45 * math.sin(phase + frame * 2 * math.pi / FRAMES))
            y = (height - 48) * (0.5 + 0.45 * math.cos(phase * 1.7 + frame * 4 * math.pi / FRAMES))
            angle = (phase + frame * 0.1) % (2 * math.pi) or 0.01
            character = 1 + item % len(SHAPE_COLOURS) if frame == 0 else None
            tags += _place(1 + item, _matrix(x, y, angle), character, move=frame > 0)
        # The indicator above everything, its colour swapped for the frame's.
        tags += _place(OBJECTS + 1, _matrix(x0, y0), FIRST_INDICATOR_ID + frame % 16,
                       move=frame > 0)
        tags += tag(1)  # show the frame
    tags += tag(0)
    header = rect(0, width * TWIPS, 0, height * TWIPS) + struct.pack("<HH", 60 << 8, FRAMES)
    length = 8 + len(header) + len(tags)
    return b"FWS" + bytes([10]) + struct.pack("<I", length) + header + tags


if __name__ == "__main__":
    sys.stdout.buffer.write(movie())
