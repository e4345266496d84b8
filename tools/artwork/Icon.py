"""The application icon: a sheet of parchment with lines of writing and a quill across it.
Drawn for each size separately, with less detail and firmer outlines the smaller it gets."""

from Geometry import mix, rgb, shade, smoothstep, stroke, fractal
from Quill import Quill
from Raster import Canvas

OUTLINE = rgb('#3b220f')
PARCHMENT = rgb('#f6e4b8')
PARCHMENT_AGED = rgb('#cf9f5c')
WRITING = rgb('#5a3a26')


def render(size):
    canvas = Canvas(size, size)
    k = size / 48.0
    line = max(1.0, 1.25 * k)
    draw_sheet(canvas, size, k, line)
    draw_writing(canvas, size, k)
    detail = 0 if size <= 16 else 1 if size <= 32 else 2
    quill = Quill((size * 0.27, size * 0.80), (size * 0.985, size * 0.015), bend=-1.5 * k,
                  vane_width=size * (0.16 if size > 16 else 0.2), detail=detail)
    quill.draw(canvas, outline=(OUTLINE, 0.9 * line if size > 16 else 0.8),
               shadow=(rgb('#000000'), 0.35, max(1, int(k * 1.5)), (1.2 * k, 1.2 * k)) if size > 16
               else None)
    return canvas


def sheet_corners(size, k):
    left, top, right, bottom = size * 0.06, size * 0.10, size * 0.78, size * 0.96
    fold = size * 0.16
    return left, top, right, bottom, fold


def draw_sheet(canvas, size, k, line):
    left, top, right, bottom, fold = sheet_corners(size, k)
    sheet = [(left, top), (right, top), (right, bottom - fold), (right - fold, bottom), (left, bottom)]
    grown = [(left - line, top - line), (right + line, top - line), (right + line, bottom - fold + 0.4 * line),
             (right - fold + 0.4 * line, bottom + line), (left - line, bottom + line)]
    canvas.fill(grown, lambda x, y: OUTLINE)

    def paper(x, y):
        edge = min(x - left, right - x, y - top, bottom - y) / (size * 0.2)
        colour = mix(PARCHMENT, PARCHMENT_AGED, 0.55 * (1.0 - smoothstep(0.0, 1.0, edge)))
        if size > 16:
            colour = mix(colour, PARCHMENT_AGED, 0.3 * fractal(x * 4 / size, y * 4 / size, 5))
        return shade(colour, 1.05 - 0.15 * (x + y) / (2 * size))
    canvas.fill(sheet, paper)
    flap = [(right, bottom - fold), (right - fold, bottom), (right - fold * 0.85, bottom - fold * 0.85)]
    canvas.fill(flap, lambda x, y: shade(PARCHMENT_AGED, 0.9))
    canvas.fill(stroke(flap + [flap[0]], max(0.8, 0.8 * line)), lambda x, y: OUTLINE)


def draw_writing(canvas, size, k):
    left, top, right, bottom, fold = sheet_corners(size, k)
    count = 3 if size <= 16 else 4 if size <= 32 else 5
    step = (bottom - top) / (count + 1.2)
    for i in range(count):
        y = top + step * (i + 0.9)
        end = right - size * (0.08 + 0.16 * ((i * 5) % 3) / 2)
        if i == count - 1:
            end = left + (right - left) * 0.3
        thickness = 1.0 if size <= 16 else 0.9 * k + 0.3
        if size <= 16:
            y = int(y) + 0.5
        canvas.fill(stroke([(left + size * 0.1, y), (end, y)], thickness), lambda x, y: WRITING,
                    0.9 if size <= 16 else 0.7)
