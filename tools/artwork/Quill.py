"""A feather quill: cut nib, bare barrel, shaft and two vanes with barbs, bars and notches.
Used by both the picture and the icons; `detail` drops what small sizes cannot show."""

import math

from Geometry import clamp, cubic, lerp, mix, rgb, shade, smoothstep, stroke

NIB_END = 0.075      # the cut pen point
VANE_START = 0.24    # where the barbs begin
SWEEP = 0.55         # barbs lean towards the tip

CREAM = rgb('#f7efdc')
SHADED_CREAM = rgb('#d9c7a4')
BAR = rgb('#8a5a32')
TIP = rgb('#5e3a22')
HORN = rgb('#e8d6a8')
INK = rgb('#1d1418')


class Quill:
    def __init__(self, nib, tip, bend, vane_width, detail=2):
        self.nib, self.tip = nib, tip
        self.detail = detail
        dx, dy = tip[0] - nib[0], tip[1] - nib[1]
        self.length = math.hypot(dx, dy)
        nx, ny = dy / self.length, -dx / self.length
        self.c1 = (nib[0] + dx * 0.33 + nx * bend, nib[1] + dy * 0.33 + ny * bend)
        self.c2 = (nib[0] + dx * 0.70 + nx * bend, nib[1] + dy * 0.70 + ny * bend)
        self.vane_width = vane_width
        self.barrel = max(1.2, self.length * 0.018)
        self.samples = [self.spine(i / 240) for i in range(241)]

    def spine(self, t):
        return cubic(self.nib, self.c1, self.c2, self.tip, t)

    def frame(self, t):
        """Point, unit tangent (towards the tip) and left normal of the spine at t."""
        a, b = self.spine(max(0.0, t - 0.004)), self.spine(min(1.0, t + 0.004))
        dx, dy = b[0] - a[0], b[1] - a[1]
        d = math.hypot(dx, dy) or 1.0
        tx, ty = dx / d, dy / d
        return self.spine(t), (tx, ty), (ty, -tx)

    def vane_extent(self, t, side):
        """Width of one vane at t; side +1 is the broad (left) vane, -1 the narrow one."""
        if t <= VANE_START:
            return 0.0
        u = (t - VANE_START) / (1.0 - VANE_START)
        profile = (u ** 0.45) * ((1.0 - u) ** 0.6) / 0.62
        profile *= 1.0 + 0.25 * smoothstep(0.0, 0.15, u) * (1.0 - u)
        if self.detail >= 1:
            notches = ((0.42, 0.5), (0.71, 0.35)) if side > 0 else ((0.56, 0.45),)
            for centre, depth in notches:
                profile *= 1.0 - depth * math.exp(-((u - centre) / 0.018) ** 2)
        return self.vane_width * (1.0 if side > 0 else 0.55) * profile

    def vane_outline(self, side, grow=0.0):
        edge = []
        steps = 90
        for i in range(steps + 1):
            t = VANE_START + (1.0 - VANE_START) * i / steps
            w = self.vane_extent(t, side)
            if w <= 0.0 and 0 < i < steps:
                w = 0.0
            (x, y), (tx, ty), (nx, ny) = self.frame(t)
            w += grow if i < steps else 0.0
            lean = w * SWEEP
            edge.append((x + side * nx * w + tx * lean, y + side * ny * w + ty * lean))
        tip = self.spine(1.0)
        (tx, ty) = self.frame(1.0)[1]
        base = self.frame(VANE_START)[0]
        return [base] + edge + [(tip[0] + tx * grow, tip[1] + ty * grow)] + [self.spine(t) for t in (
            0.9, 0.7, 0.5, VANE_START + 0.02)]

    def barrel_outline(self, grow=0.0):
        def width(t):
            tt = lerp(0.0, 0.95, t)
            if tt < NIB_END:
                return self.barrel * (tt / NIB_END) ** 0.7 * 2.0 + grow * 2.0
            return lerp(self.barrel * 2.0, self.barrel * 0.9, (tt - NIB_END) / 0.9) + grow * 2.0
        return stroke([self.spine(0.95 * i / 80) for i in range(81)], width)

    def silhouette(self, grow=0.0):
        return [self.vane_outline(1, grow), self.vane_outline(-1, grow), self.barrel_outline(grow)]

    def locate(self, x, y):
        """Spine parameter and signed distance from the spine (left positive) of a point."""
        best, best_i = 1e18, 0
        for i, (sx, sy) in enumerate(self.samples):
            d = (x - sx) ** 2 + (y - sy) ** 2
            if d < best:
                best, best_i = d, i
        t = best_i / 240
        (sx, sy), _, (nx, ny) = self.frame(t)
        return t, (x - sx) * nx + (y - sy) * ny

    def vane_shader(self, side):
        light = 1.0 if side > 0 else 0.86

        def shader(x, y):
            t, across = self.locate(x, y)
            width = max(0.5, self.vane_extent(t, side) or self.vane_extent(min(1, t + 0.02), side))
            v = clamp(abs(across) / width)
            along = t * self.length - abs(across) * SWEEP * 1.6
            colour = mix(CREAM, SHADED_CREAM, 0.25 + 0.5 * v * v)
            if self.detail >= 1:
                bars = 0.5 + 0.5 * math.sin(along / (self.length * 0.085) * 2 * math.pi)
                colour = mix(colour, BAR, 0.55 * smoothstep(0.55, 0.9, bars) * smoothstep(
                    0.3, 0.45, t))
            colour = mix(colour, TIP, smoothstep(0.78, 0.98, t) * 0.9)
            if self.detail >= 2:
                colour = shade(colour, 0.95 + 0.05 * math.sin(along * 2 * math.pi / 2.6))
            colour = shade(colour, light * (1.0 - 0.22 * smoothstep(0.0, 0.12, 0.12 - v)))
            return colour
        return shader

    def barrel_shader(self):
        def shader(x, y):
            t, across = self.locate(x, y)
            ink = 1.0 - smoothstep(NIB_END * 0.6, NIB_END * 1.8, t)
            colour = mix(HORN, INK, ink)
            highlight = smoothstep(self.barrel, 0.0, abs(across + self.barrel * 0.35))
            return shade(colour, 0.82 + 0.3 * highlight)
        return shader

    def draw(self, canvas, outline=None, shadow=None):
        if shadow is not None:
            colour, opacity, radius, offset = shadow
            for part in self.silhouette():
                canvas.shadow(part, colour, opacity, radius, offset)
        if outline is not None:
            colour, thickness = outline
            for part in self.silhouette(thickness):
                canvas.fill(part, lambda x, y: colour)
        canvas.fill(self.vane_outline(-1), self.vane_shader(-1))
        canvas.fill(self.vane_outline(1), self.vane_shader(1))
        if self.detail >= 2:
            self.draw_down(canvas)
        canvas.fill(self.barrel_outline(), self.barrel_shader())
        self.draw_shaft(canvas)
        if self.detail >= 2:
            self.draw_slit(canvas)

    def draw_shaft(self, canvas):
        path = [self.spine(VANE_START - 0.05 + (1.0 - VANE_START + 0.04) * i / 80) for i in range(81)]
        width = max(0.6, self.barrel * 0.55)
        canvas.fill(stroke(path, lambda t: lerp(width, 0.3, t)), lambda x, y: rgb('#fff4dc'), 0.8)

    def draw_slit(self, canvas):
        path = [self.spine(0.012 + 0.04 * i / 10) for i in range(11)]
        canvas.fill(stroke(path, 0.45), lambda x, y: rgb('#b89a70'), 0.8)

    def draw_down(self, canvas):
        """Soft fluff at the foot of the vanes."""
        for i in range(7):
            side = 1 if i % 2 == 0 else -1
            t0 = VANE_START - 0.035 + i * 0.012
            (x, y), (tx, ty), (nx, ny) = self.frame(t0)
            reach = self.vane_width * (0.55 + 0.08 * i)
            p1 = (x + side * nx * reach * 0.5 - tx * reach * 0.2, y + side * ny * reach * 0.5
                  - ty * reach * 0.2)
            p2 = (x + side * nx * reach + tx * reach * 0.25, y + side * ny * reach + ty * reach * 0.25)
            path = [cubic((x, y), p1, p2, p2, k / 16) for k in range(17)]
            canvas.fill(stroke(path, lambda t: 1.3 * (1 - t) + 0.3), lambda x, y: rgb('#fbf4e6'),
                        0.55)
