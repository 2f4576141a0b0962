#!/usr/bin/env python3
"""Draws the application icon and writes it as a Windows .ico file.

The artwork: a blue tile with a white listing of one product and its patches,
and a gold magnifying glass over it. Every image is drawn from the same shapes,
smoothed with 4 x 4 samples per pixel, and stored the way the classic icon
format has it: 4 bits per pixel (the 16 standard colours, unsmoothed) and
8 bits per pixel, each with a transparency mask, and 32 bits per pixel with
alpha, for 16 to 64 pixels; a PNG for 256 pixels. Images of 24 pixels and less
leave out a row of the listing and draw thicker strokes.

Standard library only, so anyone can regenerate the file:
    python3 tools/make_icon.py [output.ico] [--preview preview.png]
"""

import argparse
import math
import struct
import sys
import zlib
from pathlib import Path

DEFAULT_OUTPUT = Path(__file__).resolve().parent.parent / "src" / "ui" / "Mirovant931.ico"

# (size, bits per pixel) in the order the file stores them.
IMAGES = [(size, bits) for bits in (4, 8) for size in (64, 48, 32, 24, 16)] + [
    (size, 32) for size in (256, 64, 48, 32, 24, 16)
]

# The standard 16-colour palette of 4-bit icons.
VGA_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# The art's colours, and the standard colours that 4-bit images use instead,
# drawn without smoothing as 16-colour icons are.
FULL_COLOURS = {
    "tile top": (58, 124, 206), "tile bottom": (24, 72, 150), "tile edge": (16, 48, 104),
    "product": (255, 255, 255), "patch": (196, 220, 248),
    "gold": (250, 186, 40), "gold edge": (150, 92, 10), "lens": (226, 238, 252),
}
CLASSIC_COLOURS = {
    "tile top": (0, 0, 255), "tile bottom": (0, 0, 255), "tile edge": (0, 0, 128),
    "product": (255, 255, 255), "patch": (192, 192, 192),
    "gold": (255, 255, 0), "gold edge": (128, 128, 0), "lens": (255, 255, 255),
}


# Signed distances, in units of the 16-unit design grid: negative inside.

def rounded_box(x, y, left, top, right, bottom, radius):
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius
    qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def box(x, y, left, top, right, bottom):
    return max(left - x, x - right, top - y, y - bottom)


def segment(x, y, x0, y0, x1, y1, half_width):
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - x0 - t * dx, y - y0 - t * dy) - half_width


def circle(x, y, cx, cy, radius):
    return math.hypot(x - cx, y - cy) - radius


def layers(small, colours):
    """The shapes from back to front: (distance function, colour function).

    Small images leave out the third listing row and draw thicker strokes, so
    that 16 and 24 pixels stay legible.
    """
    tile = (1, 1, 15, 15, 3.0)
    shapes = [
        (lambda x, y: rounded_box(x, y, *tile), lambda x, y: colours["tile edge"]),
        (lambda x, y: rounded_box(x, y, 1.6, 1.6, 14.4, 14.4, 2.4),
         lambda x, y: blend(colours["tile top"], colours["tile bottom"], (y - 1.6) / 12.8)),
    ]
    if small:
        rows = [(3, 3, 5, 6, 13), (6, 5, 7, 8, 12)]  # top, bullet left, right, bar left, right
        row_height = 2
    else:
        rows = [(3, 3, 5, 6, 13), (6, 5, 6.5, 7.5, 12.5), (9, 5, 6.5, 7.5, 10)]
        row_height = 1.5
    for index, (top, bullet_left, bullet_right, bar_left, bar_right) in enumerate(rows):
        colour = colours["product" if index == 0 else "patch"]
        shapes.append((lambda x, y, t=top, l=bullet_left, r=bullet_right, h=row_height:
                       box(x, y, l, t, r, t + h), lambda x, y, c=colour: c))
        shapes.append((lambda x, y, t=top, l=bar_left, r=bar_right, h=row_height:
                       box(x, y, l, t, r, t + h), lambda x, y, c=colour: c))

    # The magnifier: dark outline, gold ring and handle, a pale lens.
    cx, cy, radius = (11.25, 11.25, 2.0) if small else (11.0, 11.25, 2.25)
    ring = 1.5 if small else 1.0
    handle_end = 14.4
    outline = 0.5 if small else 0.4
    start = cx + (radius + ring / 2) * 0.7071
    shapes += [
        (lambda x, y: min(circle(x, y, cx, cy, radius + ring / 2 + outline),
                          segment(x, y, start, start, handle_end, handle_end, ring * 0.75 + outline)),
         lambda x, y: colours["gold edge"]),
        (lambda x, y: min(abs(circle(x, y, cx, cy, radius)) - ring / 2,
                          segment(x, y, start, start, handle_end, handle_end, ring * 0.75)),
         lambda x, y: colours["gold"]),
        (lambda x, y: circle(x, y, cx, cy, radius - ring / 2), lambda x, y: colours["lens"]),
    ]
    return shapes


def blend(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(p + (q - p) * t) for p, q in zip(a, b))


def render(size, colours=FULL_COLOURS, samples=4):
    """RGBA rows, top row first: each pixel the average of samples x samples points."""
    shapes = layers(size <= 24, colours)
    scale = 16.0 / size
    pixels = []
    for row in range(size):
        line = []
        for column in range(size):
            r = g = b = a = 0.0
            for sy in range(samples):
                y = (row + (sy + 0.5) / samples) * scale
                for sx in range(samples):
                    x = (column + (sx + 0.5) / samples) * scale
                    for inside, colour in reversed(shapes):
                        if inside(x, y) <= 0:
                            red, green, blue = colour(x, y)
                            r += red
                            g += green
                            b += blue
                            a += 1
                            break
            n = samples * samples
            if a:
                line.append((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
            else:
                line.append((0, 0, 0, 0))
        pixels.append(line)
    return pixels


def nearest(palette, rgb):
    return min(range(len(palette)),
               key=lambda i: sum((p - q) ** 2 for p, q in zip(palette[i], rgb)))


def palette_256(images):
    """The 16 standard colours, then the most frequent colours of the art."""
    counts = {}
    for pixels in images:
        for line in pixels:
            for r, g, b, a in line:
                if a >= 128:
                    key = (r >> 2 << 2, g >> 2 << 2, b >> 2 << 2)
                    counts[key] = counts.get(key, 0) + 1
    palette = list(VGA_PALETTE)
    for colour, _ in sorted(counts.items(), key=lambda item: (-item[1], item[0])):
        if len(palette) == 256:
            break
        if colour not in palette:
            palette.append(colour)
    return palette + [(0, 0, 0)] * (256 - len(palette))


def row_bytes(bits, width):
    return (bits * width + 31) // 32 * 4


def and_mask(pixels):
    size = len(pixels)
    stride = row_bytes(1, size)
    out = bytearray()
    for line in reversed(pixels):
        row = bytearray(stride)
        for column, (_, _, _, a) in enumerate(line):
            if a < 128:
                row[column // 8] |= 0x80 >> (column % 8)
        out += row
    return bytes(out)


def bmp_image(pixels, bits, palette=None):
    """A DIB as icons store it: the header gives twice the height (image and mask)."""
    size = len(pixels)
    stride = row_bytes(bits, size)
    colour = bytearray()
    for line in reversed(pixels):
        row = bytearray()
        if bits == 32:
            for r, g, b, a in line:
                row += bytes((b, g, r, a))
        else:
            indices = [nearest(palette, (r, g, b)) if a >= 128 else 0 for r, g, b, a in line]
            if bits == 8:
                row += bytes(indices)
            else:
                for i in range(0, size, 2):
                    row.append(indices[i] << 4 | (indices[i + 1] if i + 1 < size else 0))
        row += bytes(stride - len(row))
        colour += row
    mask = and_mask(pixels)
    colours = 0 if bits == 32 else 1 << bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(colour) + len(mask), 0, 0, colours, 0)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette) if palette else b""
    return header + table + bytes(colour) + mask


def png_image(pixels):
    """RGBA rows, top first, as an 8-bit PNG."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\0" + bytes(v for p in line for v in p) for line in pixels)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def icon_file(art, classic):
    """The .ico bytes from the smoothed art and the 16-colour art, by size."""
    palettes = {4: VGA_PALETTE, 8: palette_256([art[size] for size in art if size <= 64])}
    blobs = []
    for size, bits in IMAGES:
        if size == 256:
            blobs.append(png_image(art[size]))
        else:
            pixels = classic[size] if bits == 4 else art[size]
            blobs.append(bmp_image(pixels, bits, palettes.get(bits)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(IMAGES)))
    offset = 6 + 16 * len(IMAGES)
    for (size, bits), blob in zip(IMAGES, blobs):
        colours = 16 if bits == 4 else 0
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


def preview(art, classic, path):
    """Every size enlarged to 256 pixels, smoothed art above 16-colour art, on grey."""
    sizes = sorted(art, reverse=True)
    width = len(sizes) * 266 + 10
    height = 2 * 266 + 10
    canvas = [[(200, 200, 200)] * width for _ in range(height)]
    for column, size in enumerate(sizes):
        zoom = 256 // size
        for row, images in enumerate((art, classic)):
            if size not in images:
                continue
            pixels = images[size]
            top, left = 10 + 266 * row, 10 + 266 * column
            for y in range(size * zoom):
                for x in range(size * zoom):
                    r, g, b, a = pixels[y // zoom][x // zoom]
                    back = canvas[top + y][left + x]
                    canvas[top + y][left + x] = tuple(
                        (c * a + d * (255 - a)) // 255 for c, d in zip((r, g, b), back))
    Path(path).write_bytes(png_image([[(r, g, b, 255) for r, g, b in line] for line in canvas]))


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", nargs="?", type=Path, default=DEFAULT_OUTPUT)
    parser.add_argument("--preview", type=Path, help="also write the images side by side as a PNG")
    args = parser.parse_args(argv)
    sizes = sorted({size for size, _ in IMAGES})
    art = {size: render(size) for size in sizes}
    classic = {size: render(size, CLASSIC_COLOURS, samples=1) for size in sizes if size <= 64}
    args.output.write_bytes(icon_file(art, classic))
    if args.preview:
        preview(art, classic, args.preview)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
