"""Curves, outlines, value noise and colour helpers for the artwork."""

import math


def lerp(a, b, t):
    return a + (b - a) * t


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smoothstep(e0, e1, v):
    t = clamp((v - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def rgb(hex_colour):
    """'#rrggbb' -> channels 0..1."""
    return tuple(int(hex_colour[i:i + 2], 16) / 255.0 for i in (1, 3, 5))


def mix(c0, c1, t):
    return tuple(lerp(a, b, t) for a, b in zip(c0, c1))


def shade(colour, factor):
    return tuple(clamp(c * factor) for c in colour)


def cubic(p0, p1, p2, p3, t):
    u = 1.0 - t
    return (u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t * p3[0],
            u * u * u * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t * p3[1])


def cubic_points(p0, p1, p2, p3, steps):
    return [cubic(p0, p1, p2, p3, i / steps) for i in range(steps + 1)]


def ellipse(cx, cy, rx, ry, rotation=0.0, steps=64, start=0.0, end=2 * math.pi):
    c, s = math.cos(rotation), math.sin(rotation)
    points = []
    for i in range(steps + 1 if end - start < 2 * math.pi else steps):
        a = start + (end - start) * i / steps
        x, y = rx * math.cos(a), ry * math.sin(a)
        points.append((cx + x * c - y * s, cy + x * s + y * c))
    return points


def normals(path):
    """Unit left-hand normals of a polyline, averaged at the inner points."""
    result = []
    n = len(path)
    for i in range(n):
        a = path[max(0, i - 1)]
        b = path[min(n - 1, i + 1)]
        dx, dy = b[0] - a[0], b[1] - a[1]
        length = math.hypot(dx, dy) or 1.0
        result.append((dy / length, -dx / length))
    return result


def stroke(path, width):
    """Outline of a polyline drawn with a pen whose width may vary: width(t), t = 0..1."""
    widths = width if callable(width) else (lambda t: width)
    n = len(path)
    left, right = [], []
    for i, ((x, y), (nx, ny)) in enumerate(zip(path, normals(path))):
        half = widths(i / (n - 1)) / 2.0
        left.append((x + nx * half, y + ny * half))
        right.append((x - nx * half, y - ny * half))
    return left + right[::-1]


def _hash(ix, iy, seed):
    h = (ix * 374761393 + iy * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h ^ (h >> 16)) & 0xFFFF) / 65535.0


def noise(x, y, seed=0):
    """Smooth value noise, 0..1, with features about one unit apart."""
    ix, iy = math.floor(x), math.floor(y)
    fx, fy = x - ix, y - iy
    sx, sy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    top = lerp(_hash(ix, iy, seed), _hash(ix + 1, iy, seed), sx)
    bottom = lerp(_hash(ix, iy + 1, seed), _hash(ix + 1, iy + 1, seed), sx)
    return lerp(top, bottom, sy)


def fractal(x, y, seed=0, octaves=4):
    total, amplitude, norm = 0.0, 1.0, 0.0
    for octave in range(octaves):
        total += noise(x, y, seed + octave * 17) * amplitude
        norm += amplitude
        x, y, amplitude = x * 2.03, y * 2.03, amplitude * 0.5
    return total / norm


def random_sequence(seed):
    """A reproducible stream of numbers in 0..1 (no global random state involved)."""
    state = seed & 0xFFFFFFFF
    while True:
        state = (state * 1664525 + 1013904223) & 0xFFFFFFFF
        yield ((state >> 8) & 0xFFFF) / 65535.0
