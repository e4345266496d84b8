"""Reduction of a true-colour image to a small palette: median cut, refined by a few rounds of
k-means, then a nearest-colour mapping, optionally with error diffusion."""


def median_cut(colours, size):
    """colours: {(r, g, b): count} with 0..255 channels. Returns up to `size` colours."""
    boxes = [sorted(colours.items())]
    while len(boxes) < size:
        splittable = [b for b in boxes if len(b) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: (_spread(b)[0] * sum(c for _, c in b), b[0][0]))
        _, channel = _spread(box)
        box.sort(key=lambda item: (item[0][channel], item[0]))
        total = sum(c for _, c in box)
        running, cut = 0, 1
        for i, (_, c) in enumerate(box):
            running += c
            if running * 2 >= total:
                cut = min(max(1, i + 1), len(box) - 1)
                break
        boxes.remove(box)
        boxes += [box[:cut], box[cut:]]
    return [_average(b) for b in boxes]


def _spread(box):
    ranges = []
    for ch in range(3):
        values = [colour[ch] for colour, _ in box]
        ranges.append(max(values) - min(values))
    best = max(range(3), key=lambda ch: (ranges[ch], -ch))
    return ranges[best], best


def _average(box):
    total = sum(c for _, c in box)
    return tuple(int(round(sum(colour[ch] * c for colour, c in box) / total)) for ch in range(3))


def nearest(palette, colour, cache):
    found = cache.get(colour)
    if found is None:
        r, g, b = colour
        found = min(range(len(palette)), key=lambda i: (
            2 * (palette[i][0] - r) ** 2 + 4 * (palette[i][1] - g) ** 2 + 3 * (palette[i][2] - b) ** 2, i))
        cache[colour] = found
    return found


def refine(palette, colours, fixed, rounds=4):
    """k-means rounds over the weighted colours; entries listed in `fixed` stay as they are."""
    for _ in range(rounds):
        cache = {}
        sums = [[0, 0, 0, 0] for _ in palette]
        for colour, count in sorted(colours.items()):
            s = sums[nearest(palette, colour, cache)]
            for ch in range(3):
                s[ch] += colour[ch] * count
            s[3] += count
        palette = [p if i in fixed or s[3] == 0 else tuple(int(round(s[ch] / s[3])) for ch in range(3))
                   for i, (p, s) in enumerate(zip(palette, sums))]
    return palette


def build_palette(pixels, size, reserved=()):
    """A palette of exactly `size` entries; `reserved` colours come first and are kept."""
    colours = {}
    for p in pixels:
        colours[p] = colours.get(p, 0) + 1
    palette = list(reserved) + median_cut(colours, size - len(reserved))
    palette = refine(palette, colours, fixed=set(range(len(reserved))))
    return palette + [(0, 0, 0)] * (size - len(palette))


def map_pixels(pixels, width, height, palette, diffuse=0.0, opaque=None):
    """Palette indices of the pixels (row-major, top row first). With `diffuse` > 0 part of each
    pixel's error is carried to its neighbours (Floyd-Steinberg weights). Pixels for which
    `opaque` is False are skipped and left at index 0."""
    cache = {}
    error = [[0.0, 0.0, 0.0] for _ in range(width * height)]
    indices = [0] * (width * height)
    for y in range(height):
        for x in range(width):
            i = y * width + x
            if opaque is not None and not opaque[i]:
                continue
            wanted = tuple(max(0, min(255, int(round(pixels[i][ch] + error[i][ch])))) for ch in range(3))
            index = nearest(palette, wanted, cache)
            indices[i] = index
            if diffuse <= 0.0:
                continue
            err = [(wanted[ch] - palette[index][ch]) * diffuse for ch in range(3)]
            for dx, dy, w in ((1, 0, 7), (-1, 1, 3), (0, 1, 5), (1, 1, 1)):
                nx, ny = x + dx, y + dy
                if 0 <= nx < width and ny < height:
                    for ch in range(3):
                        error[ny * width + nx][ch] += err[ch] * w / 16.0
    return indices
