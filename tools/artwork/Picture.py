"""The picture on the left of the update dialog: a parchment scroll on a writing desk, half
written, with a quill at the end of the last line and an ink pot beside it."""

import math

from Geometry import (clamp, cubic, cubic_points, ellipse, fractal, mix, noise, random_sequence,
                      rgb, shade, smoothstep, stroke)
from Quill import Quill
from Raster import Canvas

WIDTH, HEIGHT = 178, 240

WOOD_DARK = rgb('#2a160c')
WOOD_LIGHT = rgb('#6b3c1f')
PARCHMENT = rgb('#f1dfb4')
PARCHMENT_AGED = rgb('#c99a5b')
PARCHMENT_BURNT = rgb('#7a4a22')
INK = rgb('#3a2216')
CRIMSON = rgb('#9e2a1c')
GOLD = rgb('#d6a640')
SHADOW = rgb('#120804')

SHEET_LEFT, SHEET_RIGHT, SHEET_TOP, SHEET_BOTTOM = 13.0, 165.0, 22.0, 224.0
CURL = 32.0  # size of the curled corner, bottom left


def left_edge(y):
    return SHEET_LEFT + 1.6 * (noise(y * 0.09, 1.0, 3) - 0.5) + 0.8 * (noise(y * 0.4, 2.0, 4) - 0.5)


def right_edge(y):
    return SHEET_RIGHT + 1.6 * (noise(y * 0.09, 5.0, 3) - 0.5) + 0.8 * (noise(y * 0.4, 6.0, 4) - 0.5)


def bottom_edge(x):
    return SHEET_BOTTOM + 2.2 * (noise(x * 0.08, 9.0, 3) - 0.5) + 0.8 * (noise(x * 0.5, 7.0, 4) - 0.5)


def sheet_outline():
    """The sheet hanging from the roll, with its bottom-left corner folded away."""
    points = [(left_edge(SHEET_TOP), SHEET_TOP), (right_edge(SHEET_TOP), SHEET_TOP)]
    points += [(right_edge(y), y) for y in frange(SHEET_TOP, SHEET_BOTTOM, 2.0)]
    points += [(x, bottom_edge(x)) for x in frange(right_edge(SHEET_BOTTOM), SHEET_LEFT + CURL, -2.0)]
    points += [(left_edge(y), y) for y in frange(SHEET_BOTTOM - CURL, SHEET_TOP, -2.0)]
    return points


def frange(a, b, step):
    n = max(1, int(abs(b - a) / abs(step)))
    return [a + (b - a) * i / n for i in range(n + 1)]


def sheet_shader(x, y):
    edge = min(x - left_edge(y), right_edge(y) - x, bottom_edge(x) - y, y - SHEET_TOP + 6.0,
               (x - SHEET_LEFT) + (SHEET_BOTTOM - y) - CURL * 0.95)
    mottle = fractal(x * 0.045, y * 0.045, 11)
    fibre = noise(x * 0.9, y * 0.12, 21)
    colour = mix(PARCHMENT, PARCHMENT_AGED, clamp(0.15 + 0.55 * (mottle - 0.35)))
    colour = mix(colour, PARCHMENT_AGED, 0.6 * (1.0 - smoothstep(0.0, 14.0, edge)))
    colour = mix(colour, PARCHMENT_BURNT, 0.75 * (1.0 - smoothstep(0.0, 3.5, edge)))
    colour = shade(colour, 0.97 + 0.06 * fibre)
    # light falls from the upper left
    return shade(colour, 1.04 - 0.12 * (x / WIDTH) - 0.08 * (y / HEIGHT))


def desk_shader(x, y):
    grain = fractal(x * 0.02, y * 0.35, 31, 3)
    rings = 0.5 + 0.5 * math.sin(y * 0.22 + grain * 9.0 + noise(x * 0.03, y * 0.05, 32) * 4.0)
    colour = mix(WOOD_DARK, WOOD_LIGHT, 0.25 + 0.45 * rings * grain + 0.2 * grain)
    vignette = ((x - WIDTH * 0.5) / WIDTH) ** 2 + ((y - HEIGHT * 0.55) / HEIGHT) ** 2
    return shade(colour, 1.05 - 1.1 * vignette)


def draw_desk(canvas):
    canvas.fill([(0, 0), (WIDTH, 0), (WIDTH, HEIGHT), (0, HEIGHT)], desk_shader)


def draw_sheet(canvas):
    outline = sheet_outline()
    canvas.shadow(outline, SHADOW, 0.75, 3, (3.0, 4.0))
    canvas.fill(outline, sheet_shader)


def curl_flap():
    """The folded corner: the fold runs from a point on the left edge to one on the bottom."""
    a = (left_edge(SHEET_BOTTOM - CURL), SHEET_BOTTOM - CURL)
    b = (SHEET_LEFT + CURL, bottom_edge(SHEET_LEFT + CURL))
    corner = (SHEET_LEFT + CURL * 0.95, SHEET_BOTTOM - CURL * 0.95)
    return a, b, ([a] + cubic_points(a, (a[0] + 14, a[1] + 4), (corner[0] - 6, corner[1] + 2), corner, 16)
                  + cubic_points(corner, (corner[0] + 2, corner[1] + 8), (b[0] - 2, b[1] - 14), b, 16))


def draw_curl(canvas):
    a, b, flap = curl_flap()
    canvas.shadow(flap, SHADOW, 0.5, 2, (2.5, 2.5))
    fold_dx, fold_dy = b[0] - a[0], b[1] - a[1]
    length = math.hypot(fold_dx, fold_dy)

    def shader(x, y):
        # distance from the fold line, towards the curled tip
        d = ((x - a[0]) * fold_dy - (y - a[1]) * fold_dx) / -length
        roll = smoothstep(0.0, 22.0, d)
        colour = mix(rgb('#f8e9c4'), rgb('#b88a4e'), roll * 0.8)
        return shade(colour, 1.08 - 0.25 * math.sin(roll * math.pi * 0.8))
    canvas.fill(flap, shader)
    edge = stroke(cubic_points(a, (a[0] + 14, a[1] + 4), (b[0] - 2, b[1] - 14), b, 20), 0.8)
    canvas.fill(edge, lambda x, y: rgb('#fff6dc'), 0.5)


def draw_roll(canvas):
    """The rolled-up top of the scroll, a cylinder with the spiral of its end showing."""
    top, bottom = 9.0, 25.0
    left, right = 8.0, 170.0
    radius = (bottom - top) / 2.0
    centre = (top + bottom) / 2.0
    body = [(left, top), (right, top), (right, bottom), (left, bottom)]
    canvas.shadow(body, SHADOW, 0.7, 3, (2.0, 4.0))

    def shader(x, y):
        h = clamp((y - centre) / radius, -1.0, 1.0)
        light = 0.62 + 0.5 * math.cos((h + 0.35) * math.pi * 0.5) ** 2
        colour = mix(PARCHMENT, PARCHMENT_AGED, 0.3 + 0.4 * fractal(x * 0.05, y * 0.3, 41))
        colour = mix(colour, PARCHMENT_BURNT, 0.5 * (1.0 - smoothstep(0.0, 6.0, min(x - left, right - x))))
        return shade(colour, light)
    canvas.fill(body, shader)
    for x_end, sign in ((left, -1.0), (right, 1.0)):
        end = ellipse(x_end, centre, 3.5, radius, steps=40)
        canvas.fill(end, lambda x, y: shade(PARCHMENT_AGED, 0.95))
        spiral = [(x_end + sign * 0.4 + 2.8 * (1 - k / 60) * math.cos(k * 0.42) * 0.9,
                   centre + radius * 0.9 * (1 - k / 60) * math.sin(k * 0.42)) for k in range(61)]
        canvas.fill(stroke(spiral, 0.7), lambda x, y: PARCHMENT_BURNT, 0.8)


def scribble(baseline, x0, x1, seed, height=2.6):
    """A line of handwriting: words of joined strokes of uneven height, with now and then a
    tall letter or one that reaches below the line."""
    rnd = random_sequence(seed)
    paths = []
    x = x0
    while x < x1 - 4:
        word_end = min(x1, x + 5 + next(rnd) * 18)
        points = [(x, baseline)]
        while x < word_end:
            kind = next(rnd)
            width = 1.9 + next(rnd) * 1.4
            if kind < 0.12:
                top = -height * (1.9 + 0.3 * next(rnd))
            elif kind < 0.2:
                top = height * 1.0
            else:
                top = -height * (0.75 + 0.4 * next(rnd))
            for k in range(1, 7):
                phase = k / 6.0
                y = baseline + top * math.sin(phase * math.pi)
                points.append((x + width * phase + (baseline - y) * 0.3, y))
            x += width
        paths.append(points)
        x += 3.0 + next(rnd) * 2.5
    return paths


def draw_text(canvas, last_line_end):
    lines = []
    baseline = 48.0
    while baseline <= 180.0:
        indent = 48.0 if baseline < 66 else 24.0
        end = 154.0 - 14.0 * noise(baseline * 0.3, 0.5, 61)
        if baseline + 11.0 > 180.0:
            end = last_line_end
        lines.append((baseline, indent, end))
        baseline += 11.0
    for n, (baseline, x0, x1) in enumerate(lines):
        for path in scribble(baseline, x0, x1, 100 + n):
            canvas.fill(stroke(path, 0.7), lambda x, y: INK, 0.75)
    draw_initial(canvas)
    return lines[-1][0]


def draw_initial(canvas):
    """A red illuminated Q opening the text, on a small gold ground."""
    box = [(20.0, 33.0), (42.0, 33.0), (42.0, 57.0), (20.0, 57.0)]
    canvas.fill(box, lambda x, y: shade(GOLD, 1.1 - 0.3 * ((y - 33) / 24) - 0.1 * fractal(x, y, 71)))
    canvas.fill(stroke(box + [box[0]], 0.9), lambda x, y: CRIMSON, 0.9)
    ring = ellipse(31.0, 44.5, 7.0, 8.0, steps=48)
    canvas.fill(stroke(ring + [ring[0]], lambda t: 1.6 + 1.4 * abs(math.cos(t * math.pi))),
                lambda x, y: CRIMSON)
    tail = cubic_points((31.0, 50.5), (34.0, 53.5), (37.0, 54.5), (40.5, 55.0), 12)
    canvas.fill(stroke(tail, lambda t: 2.4 * (1 - t) + 0.5), lambda x, y: CRIMSON)


def draw_ink_pot(canvas):
    cx, base = 141.0, 233.0
    body = (ellipse(cx, base - 6, 23.0, 6.0, steps=40, start=0.0, end=math.pi)
            + cubic_points((cx - 23.0, base - 6), (cx - 25.0, base - 28), (cx - 12.0, base - 30),
                           (cx - 9.0, base - 36), 12)
            + [(cx - 9.0, base - 43), (cx + 9.0, base - 43)]
            + cubic_points((cx + 9.0, base - 36), (cx + 12.0, base - 30), (cx + 25.0, base - 28),
                           (cx + 23.0, base - 6), 12))
    canvas.shadow(body, SHADOW, 0.8, 3, (-4.0, 2.0))

    def glass(x, y):
        h = (x - cx) / 24.0
        colour = mix(rgb('#31405e'), rgb('#0b0d18'), smoothstep(-0.9, 0.6, h))
        rim = smoothstep(0.75, 1.0, abs(h)) * 0.25
        return shade(mix(colour, rgb('#6d7fa3'), rim), 1.0)
    canvas.fill(body, glass)
    highlight = stroke(cubic_points((cx - 15.0, base - 9), (cx - 18.0, base - 20), (cx - 13.0, base - 27),
                                    (cx - 8.0, base - 31), 16), lambda t: 2.6 * math.sin(t * math.pi) + 0.2)
    canvas.fill(highlight, lambda x, y: rgb('#e8eefc'), 0.55)
    label = [(cx - 8.0, base - 21), (cx + 12.0, base - 21), (cx + 12.0, base - 11), (cx - 8.0, base - 11)]
    canvas.fill(label, lambda x, y: shade(PARCHMENT, 0.9 - 0.2 * (x - cx) / 12.0))
    for path in scribble(base - 14.5, cx - 6.0, cx + 10.0, 7, 1.6):
        canvas.fill(stroke(path, 0.55), lambda x, y: CRIMSON, 0.8)
    canvas.fill(ellipse(cx, base - 43, 10.5, 3.2, steps=32), lambda x, y: rgb('#5a6b8e'))
    canvas.fill(ellipse(cx, base - 43.3, 8.0, 2.2, steps=32), lambda x, y: rgb('#050407'))
    canvas.fill(stroke(ellipse(cx, base - 43, 10.5, 3.2, steps=32, start=0.3, end=2.6), 0.7),
                lambda x, y: rgb('#c9d4ee'), 0.7)


def draw_quill(canvas, nib):
    quill = Quill(nib, (172.0, 3.0), bend=-7.0, vane_width=23.0, detail=2)
    quill.draw(canvas, outline=(rgb('#3a2414'), 0.5), shadow=(SHADOW, 0.45, 3, (7.0, 6.0)))
    # the wet end of the line being written
    canvas.fill(ellipse(nib[0] + 0.3, nib[1] + 0.2, 1.1, 0.8, steps=16), lambda x, y: INK, 0.9)


def render():
    canvas = Canvas(WIDTH, HEIGHT)
    draw_desk(canvas)
    draw_sheet(canvas)
    draw_curl(canvas)
    nib_x = 74.0
    last_baseline = draw_text(canvas, nib_x - 1.5)
    draw_roll(canvas)
    draw_ink_pot(canvas)
    draw_quill(canvas, (nib_x, last_baseline - 0.5))
    return canvas
