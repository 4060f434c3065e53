#!/usr/bin/env python3
"""Draw the Quillbar application icon and write it as a Windows .ico file.

The picture is a small button bar: a caption strip over a grey bar holding
three coloured buttons. It is kept as pixel art below so that it can be read
and edited here; run this script again to regenerate res/qlbar.ico.

Every picture is stored twice, as a 16-colour image for old displays and as
a 32-bit image with alpha, at 32x32 and 16x16. All colours are taken from the
standard 16-colour palette, so both forms look the same.

Standard library only.

    python3 tools/make_icon.py [output.ico]
"""

import os
import struct
import sys

# The standard VGA palette, in the order that 16-colour bitmaps use.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# Pixel art letter -> palette index; '.' is transparent.
COLOURS = {
    'K': 0,   # black
    'g': 2,   # green
    'N': 4,   # navy (caption)
    'S': 7,   # light grey (bar face)
    'G': 8,   # grey (button shadow)
    'R': 9,   # red
    'Y': 11,  # yellow
    'W': 15,  # white
}

ICON_32 = [
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "KNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNK",
    "KNNWWWWNWWWWWWWNNNNNNNNNNNNNNNNK",
    "KNNWWWWNWWWWWWWNNNNNNNNNNNNNNNNK",
    "KNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "KSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSK",
    "KSSWWWWWWWKSWWWWWWWKSWWWWWWWKSSK",
    "KSSWRRRRRGKSWYYYYYGKSWgggggGKSSK",
    "KSSWRRRRRGKSWYYYYYGKSWgggggGKSSK",
    "KSSWRRRRRGKSWYYYYYGKSWgggggGKSSK",
    "KSSWRRRRRGKSWYYYYYGKSWgggggGKSSK",
    "KSSWRRRRRGKSWYYYYYGKSWgggggGKSSK",
    "KSSWGGGGGGKSWGGGGGGKSWGGGGGGKSSK",
    "KSSKKKKKKKKSKKKKKKKKSKKKKKKKKSSK",
    "KSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]

ICON_16 = [
    "................",
    "................",
    "................",
    "KKKKKKKKKKKKKKKK",
    "KNWWNWWWWNNNNNNK",
    "KNNNNNNNNNNNNNNK",
    "KKKKKKKKKKKKKKKK",
    "KSSSSSSSSSSSSSSK",
    "KSRRRKYYYKgggKSK",
    "KSRRRKYYYKgggKSK",
    "KSRRRKYYYKgggKSK",
    "KSKKKKKKKKKKKKSK",
    "KSSSSSSSSSSSSSSK",
    "KKKKKKKKKKKKKKKK",
    "................",
    "................",
]


def check_art(art):
    size = len(art)
    for row in art:
        if len(row) != size:
            raise ValueError("pixel art rows must form a square")
        for ch in row:
            if ch != '.' and ch not in COLOURS:
                raise ValueError("unknown colour letter %r" % ch)
    return size


def row_stride(width, bits):
    # Bitmap rows are padded to whole 32-bit words.
    return ((width * bits + 31) // 32) * 4


def packed_rows(art, bits, value):
    """Rows bottom-up, each pixel's value in `bits` bits, high bits first."""
    stride = row_stride(len(art), bits)
    out = bytearray()
    for row in reversed(art):
        line = bytearray(stride)
        for x, ch in enumerate(row):
            bit = x * bits
            line[bit // 8] |= value(ch) << (8 - bits - bit % 8)
        out += line
    return bytes(out)


def and_mask(art):
    """1 bit per pixel, 1 = transparent; rows bottom-up."""
    return packed_rows(art, 1, lambda ch: 1 if ch == '.' else 0)


def bitmap_header(size, bits, image_bytes):
    # The height counts the colour image and the mask together.
    return struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0,
                       image_bytes, 0, 0, 0, 0)


def image_4bit(art):
    size = len(art)
    # Transparent pixels stay black.
    pixels = packed_rows(art, 4, lambda ch: COLOURS.get(ch, 0))
    mask = and_mask(art)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return (bitmap_header(size, 4, len(pixels) + len(mask))
            + palette + bytes(pixels) + mask)


def image_32bit(art):
    size = len(art)
    pixels = bytearray()
    for row in reversed(art):
        for ch in row:
            if ch == '.':
                pixels += b'\0\0\0\0'
            else:
                r, g, b = PALETTE[COLOURS[ch]]
                pixels += struct.pack('<BBBB', b, g, r, 255)
    mask = and_mask(art)
    return bitmap_header(size, 32, len(pixels) + len(mask)) + bytes(pixels) + mask


def build_ico(images):
    """images: list of (size, colour count or 0, bits per pixel, bytes)."""
    header = struct.pack('<HHH', 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    directory = bytearray()
    data = bytearray()
    for size, colours, bits, blob in images:
        directory += struct.pack('<BBBBHHII', size % 256, size % 256, colours,
                                 0, 1, bits, len(blob), offset + len(data))
        data += blob
    return header + bytes(directory) + bytes(data)


def main(argv):
    if len(argv) > 1:
        target = argv[1]
    else:
        root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
        target = os.path.join(root, 'res', 'qlbar.ico')
    images = []
    for art in (ICON_32, ICON_16):
        size = check_art(art)
        images.append((size, 16, 4, image_4bit(art)))
    for art in (ICON_32, ICON_16):
        size = check_art(art)
        images.append((size, 0, 32, image_32bit(art)))
    with open(target, 'wb') as f:
        f.write(build_ico(images))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
