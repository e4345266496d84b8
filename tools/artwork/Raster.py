"""A small anti-aliased rasteriser: polygons are scan-converted into exact horizontal coverage
on several sub-scanlines per pixel row and composited over a premultiplied RGBA canvas.

Everything is plain floating-point arithmetic in a fixed order, so the same script gives the
same pixels on every run.
"""

SUBSCANLINES = 5


class Mask:
    """Coverage (0..1) of a rectangle of pixels, x0 <= x < x1, y0 <= y < y1."""

    def __init__(self, x0, y0, x1, y1):
        self.x0, self.y0, self.x1, self.y1 = x0, y0, x1, y1
        self.width = max(0, x1 - x0)
        self.values = [0.0] * (self.width * max(0, y1 - y0))

    def get(self, x, y):
        if self.x0 <= x < self.x1 and self.y0 <= y < self.y1:
            return self.values[(y - self.y0) * self.width + (x - self.x0)]
        return 0.0


def polygon_mask(points, width, height, margin=0):
    """Coverage of a closed polygon under the non-zero winding rule, clipped to the canvas."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    x0 = max(0, int(min(xs)) - 1 - margin)
    y0 = max(0, int(min(ys)) - 1 - margin)
    x1 = min(width, int(max(xs)) + 2 + margin)
    y1 = min(height, int(max(ys)) + 2 + margin)
    mask = Mask(x0, y0, x1, y1)
    if mask.width == 0 or y1 <= y0:
        return mask
    edges = []
    n = len(points)
    for i in range(n):
        ax, ay = points[i]
        bx, by = points[(i + 1) % n]
        if ay == by:
            continue
        direction = 1 if by > ay else -1
        if ay > by:
            ax, ay, bx, by = bx, by, ax, ay
        edges.append((ay, by, ax, (bx - ax) / (by - ay), direction))
    weight = 1.0 / SUBSCANLINES
    for py in range(y0, y1):
        row = (py - y0) * mask.width
        for sub in range(SUBSCANLINES):
            y = py + (sub + 0.5) * weight
            crossings = [(ax + (y - ay) * slope, d) for ay, by, ax, slope, d in edges
                         if ay <= y < by]
            if not crossings:
                continue
            crossings.sort()
            winding = 0
            for i, (x, d) in enumerate(crossings[:-1]):
                winding += d
                if winding != 0:
                    _add_span(mask, row, x, crossings[i + 1][0], weight)
    return mask


def _add_span(mask, row, a, b, weight):
    a = max(a, mask.x0)
    b = min(b, mask.x1)
    if b <= a:
        return
    ia, ib = int(a), int(b)
    values = mask.values
    if ia == ib:
        values[row + ia - mask.x0] += (b - a) * weight
        return
    values[row + ia - mask.x0] += (ia + 1 - a) * weight
    for x in range(ia + 1, ib):
        values[row + x - mask.x0] += weight
    if ib < mask.x1:
        values[row + ib - mask.x0] += (b - ib) * weight


def blurred(mask, radius, passes=3):
    """A soft copy of a mask: repeated box blurs approximate a Gaussian."""
    grow = radius * passes
    out = Mask(mask.x0 - grow, mask.y0 - grow, mask.x1 + grow, mask.y1 + grow)
    w = out.width
    h = out.y1 - out.y0
    for y in range(mask.y0, mask.y1):
        for x in range(mask.x0, mask.x1):
            out.values[(y - out.y0) * w + (x - out.x0)] = mask.get(x, y)
    size = 2 * radius + 1
    for _ in range(passes):
        out.values = _box_rows(out.values, w, h, radius, size)
        out.values = _transpose(_box_rows(_transpose(out.values, w, h), h, w, radius, size), h, w)
    return out


def _box_rows(values, w, h, radius, size):
    result = [0.0] * (w * h)
    for y in range(h):
        base = y * w
        acc = 0.0
        for x in range(-radius, radius + 1):
            if 0 <= x < w:
                acc += values[base + x]
        for x in range(w):
            result[base + x] = acc / size
            leave = x - radius
            enter = x + radius + 1
            if 0 <= leave < w:
                acc -= values[base + leave]
            if enter < w:
                acc += values[base + enter]
    return result


def _transpose(values, w, h):
    return [values[y * w + x] for x in range(w) for y in range(h)]


class Canvas:
    """Premultiplied RGBA pixels, channels 0..1."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.r = [0.0] * (width * height)
        self.g = [0.0] * (width * height)
        self.b = [0.0] * (width * height)
        self.a = [0.0] * (width * height)

    def paint(self, mask, shader, opacity=1.0):
        """Composites shader(x, y) -> (r, g, b[, a]) over the canvas where the mask covers it."""
        for y in range(max(0, mask.y0), min(self.height, mask.y1)):
            row = (y - mask.y0) * mask.width
            for x in range(max(0, mask.x0), min(self.width, mask.x1)):
                coverage = mask.values[row + x - mask.x0]
                if coverage <= 0.0:
                    continue
                colour = shader(x + 0.5, y + 0.5)
                alpha = min(1.0, coverage) * opacity * (colour[3] if len(colour) > 3 else 1.0)
                if alpha <= 0.0:
                    continue
                i = y * self.width + x
                keep = 1.0 - alpha
                self.r[i] = colour[0] * alpha + self.r[i] * keep
                self.g[i] = colour[1] * alpha + self.g[i] * keep
                self.b[i] = colour[2] * alpha + self.b[i] * keep
                self.a[i] = alpha + self.a[i] * keep

    def fill(self, points, shader, opacity=1.0):
        self.paint(polygon_mask(points, self.width, self.height), shader, opacity)

    def shadow(self, points, colour, opacity, radius, offset=(0.0, 0.0)):
        moved = [(x + offset[0], y + offset[1]) for x, y in points]
        mask = blurred(polygon_mask(moved, self.width, self.height), radius)
        self.paint(mask, lambda x, y: colour, opacity)

    def pixel(self, x, y):
        """Straight (not premultiplied) colour and alpha of one pixel, channels 0..1."""
        i = y * self.width + x
        a = self.a[i]
        if a <= 0.0:
            return (0.0, 0.0, 0.0, 0.0)
        return (self.r[i] / a, self.g[i] / a, self.b[i] / a, a)
