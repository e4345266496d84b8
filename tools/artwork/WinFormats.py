"""Writers of the two Windows image formats the resources use: an uncompressed palettised
bitmap (.bmp) and an icon file (.ico) of 4- and 8-bit images with AND masks."""

import struct

BI_RGB = 0


def _info_header(width, height, bits, image_size, colours):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, BI_RGB, image_size, 0, 0,
                       colours, 0)


def _palette(palette, entries):
    padded = list(palette) + [(0, 0, 0)] * (entries - len(palette))
    return b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in padded[:entries])


def _rows(indices, width, height, bits):
    """Pixel rows bottom-up, each padded to a multiple of four bytes."""
    stride = ((width * bits + 31) // 32) * 4
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            value = indices[y * width + x]
            bit = x * bits
            row[bit // 8] |= value << (8 - bits - bit % 8)
        out += row
    return bytes(out)


def bitmap_file(width, height, palette, indices):
    """An 8-bit BI_RGB .bmp file: file header, info header, 256 palette entries, pixels."""
    pixels = _rows(indices, width, height, 8)
    info = _info_header(width, height, 8, len(pixels), 256) + _palette(palette, 256)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def icon_image(size, bits, palette, indices, transparent):
    """One icon image: the header gives twice the height (colour part plus AND mask)."""
    colour = _rows(indices, size, size, bits)
    mask = _rows([1 if t else 0 for t in transparent], size, size, 1)
    header = _info_header(size, size * 2, bits, len(colour) + len(mask), 0)
    return header + _palette(palette, 1 << bits) + colour + mask


def icon_file(images):
    """images: list of (size, bits, image bytes) in directory order."""
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b''
    for size, bits, data in images:
        directory += struct.pack('<BBBBHHII', size % 256, size % 256, 16 if bits == 4 else 0, 0, 1,
                                 bits, len(data), offset + len(body))
        body += data
    return directory + body
