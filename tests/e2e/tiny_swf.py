"""A one-frame Flash movie drawn from a background colour and one filled polygon, enough for
the player area to show which player was asked for."""

import struct

TWIPS = 20  # a pixel in the movie's units


class Bits:
    def __init__(self):
        self.bits = []

    def unsigned(self, value, count):
        self.bits += [(value >> (count - 1 - i)) & 1 for i in range(count)]

    def signed(self, value, count):
        self.unsigned(value & ((1 << count) - 1), count)

    def bytes(self):
        padded = self.bits + [0] * (-len(self.bits) % 8)
        return bytes(int("".join(map(str, padded[i:i + 8])), 2)
                     for i in range(0, len(padded), 8))


def signed_width(*values):
    return max(max(abs(v) for v in values).bit_length() + 1, 2)


def rect(xmin, xmax, ymin, ymax):
    bits = Bits()
    width = signed_width(xmin, xmax, ymin, ymax)
    bits.unsigned(width, 5)
    for value in (xmin, xmax, ymin, ymax):
        bits.signed(value, width)
    return bits.bytes()


def tag(code, body=b""):
    if len(body) < 0x3F:
        return struct.pack("<H", (code << 6) | len(body)) + body
    return struct.pack("<HI", (code << 6) | 0x3F, len(body)) + body


def polygon_shape(shape_id, points, colour, size):
    """DefineShape with one solid fill and the closed outline through `points` (pixels)."""
    width, height = size
    body = struct.pack("<H", shape_id) + rect(0, width * TWIPS, 0, height * TWIPS)
    body += bytes([1, 0x00]) + colour.to_bytes(3, "big")  # one solid fill style
    body += bytes([0])  # no line styles
    bits = Bits()
    bits.unsigned(1, 4)  # fill style index bits
    bits.unsigned(0, 4)  # line style index bits
    start = [p * TWIPS for p in points[0]]
    move = signed_width(*start)
    bits.unsigned(0, 1)  # style change record
    bits.unsigned(0b00101, 5)  # move to, fill style 1
    bits.unsigned(move, 5)
    bits.signed(start[0], move)
    bits.signed(start[1], move)
    bits.unsigned(1, 1)  # fill style 1 := the first style
    for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
        dx, dy = (x1 - x0) * TWIPS, (y1 - y0) * TWIPS
        count = signed_width(dx, dy)
        bits.unsigned(1, 1)  # edge record
        bits.unsigned(1, 1)  # straight
        bits.unsigned(count - 2, 4)
        bits.unsigned(1, 1)  # general line: both deltas
        bits.signed(dx, count)
        bits.signed(dy, count)
    bits.unsigned(0, 6)  # end of shape
    return tag(2, body + bits.bytes())


def movie(background, colour, size=(680, 460)):
    """A movie of `size` pixels: the `background` stage with a `colour` play triangle."""
    width, height = size
    cx, cy = width // 2, height // 2
    triangle = [(cx - 50, cy - 60), (cx + 70, cy), (cx - 50, cy + 60)]
    tags = tag(9, background.to_bytes(3, "big"))  # background colour
    tags += polygon_shape(1, triangle, colour, size)
    tags += tag(26, bytes([0x02]) + struct.pack("<HH", 1, 1))  # place shape 1 at depth 1
    tags += tag(1) + tag(0)  # show the frame, end
    header = rect(0, width * TWIPS, 0, height * TWIPS) + struct.pack("<HH", 12 << 8, 1)
    length = 8 + len(header) + len(tags)
    return b"FWS" + bytes([10]) + struct.pack("<I", length) + header + tags
