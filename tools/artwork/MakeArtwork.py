#!/usr/bin/python3
"""Draws the updater's artwork and writes it into res/: the dialog picture (Picture.bmp, 178 x 240,
256 colours) and the application icon (Quill.ico: 16, 32 and 48 pixels, each in 16 and in 256
colours). Deterministic: running it again gives the same bytes."""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import Icon  # noqa: E402
import Picture  # noqa: E402
from Palette import build_palette, map_pixels  # noqa: E402
from WinFormats import bitmap_file, icon_file, icon_image  # noqa: E402

ICON_SIZES = (16, 32, 48)
ICON_BITS = (4, 8)
BLACK = (0, 0, 0)


def to_bytes(canvas):
    """Straight colours 0..255 and alpha 0..1 of every pixel, top row first."""
    colours, alphas = [], []
    for y in range(canvas.height):
        for x in range(canvas.width):
            r, g, b, a = canvas.pixel(x, y)
            colours.append(tuple(int(round(max(0.0, min(1.0, c)) * 255)) for c in (r, g, b)))
            alphas.append(a)
    return colours, alphas


def make_picture():
    canvas = Picture.render()
    colours, _ = to_bytes(canvas)
    palette = build_palette(colours, 256)
    indices = map_pixels(colours, canvas.width, canvas.height, palette, diffuse=0.5)
    return bitmap_file(canvas.width, canvas.height, palette, indices)


def make_icon_image(size, bits):
    canvas = Icon.render(size)
    colours, alphas = to_bytes(canvas)
    opaque = [a >= 0.5 for a in alphas]
    # Entry 0 is black: transparent pixels hold it, so that the AND mask shows the background.
    palette = build_palette([c for c, o in zip(colours, opaque) if o], 1 << bits, reserved=(BLACK,))
    indices = map_pixels(colours, size, size, palette, diffuse=0.35 if bits == 4 and size > 16 else 0.0,
                         opaque=opaque)
    return icon_image(size, bits, palette, indices, [not o for o in opaque])


def make_icon():
    return icon_file([(size, bits, make_icon_image(size, bits))
                      for size in ICON_SIZES for bits in ICON_BITS])


def main():
    root = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument('--out', default=os.path.join(root, 'res'), help='output directory')
    parser.add_argument('--only', choices=('picture', 'icon'), help='draw just one of the two')
    args = parser.parse_args()
    outputs = {'picture': ('Picture.bmp', make_picture), 'icon': ('Quill.ico', make_icon)}
    for name, (file_name, make) in outputs.items():
        if args.only in (None, name):
            with open(os.path.join(args.out, file_name), 'wb') as f:
                f.write(make())
            print(os.path.join(args.out, file_name))


if __name__ == '__main__':
    main()
