#!/usr/bin/env python3
"""Writes the seed corpus of deflate_parser_fuzz into tests/fuzz/corpus/deflate_parser/: small
raw deflate streams of every block kind and zlib strategy, and streams made bit by bit that
zlib never writes (stored blocks with set padding bits, 258 spelt as symbol 284 with extra 31,
a single one-bit distance code). The bytes are the same on every run with the same zlib."""
import pathlib
import zlib

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus" / "deflate_parser"


def text(size, state=1):
    words = b"the quill mere of and patch file version to a window level = 12345\n".split(b" ")
    out = bytearray()
    while len(out) < size:
        state = (state * 1103515245 + 12345) % (1 << 31)
        out += words[state % len(words)] + b" "
    return bytes(out[:size])


def raw(data, level=6, strategy=zlib.Z_DEFAULT_STRATEGY, mem_level=8, window_bits=15):
    c = zlib.compressobj(level, zlib.DEFLATED, -window_bits, mem_level, strategy)
    return c.compress(data) + c.flush()


class Bits:
    def __init__(self):
        self.value, self.count = 0, 0

    def put(self, value, count):
        self.value |= value << self.count
        self.count += count

    def code(self, code, length):
        for i in reversed(range(length)):
            self.put(code >> i & 1, 1)

    def fixed(self, symbol):
        if symbol < 144:
            self.code(0x30 + symbol, 8)
        elif symbol < 256:
            self.code(0x190 + symbol - 144, 9)
        elif symbol < 280:
            self.code(symbol - 256, 7)
        else:
            self.code(0xC0 + symbol - 280, 8)

    def align(self, padding):
        gap = -self.count % 8
        self.put(padding & ((1 << gap) - 1), gap)

    def bytes(self):
        return self.value.to_bytes((self.count + 7) // 8, "little")


def long_length():
    b = Bits()
    b.put(1, 1), b.put(1, 2)
    b.fixed(ord("z"))
    for _ in range(2):
        b.fixed(284), b.put(31, 5), b.code(0, 5)
    b.fixed(285), b.code(0, 5)
    b.fixed(256)
    b.align(5)
    return b.bytes()


def stored_padding():
    b = Bits()
    b.put(0, 1), b.put(1, 2)
    b.fixed(ord("x")), b.fixed(256)
    for final in (0, 1):
        b.put(final, 1), b.put(0, 2)
        b.align(0x15)
        b.put(5, 16), b.put(5 ^ 0xFFFF, 16)
        for byte in b"hello":
            b.put(byte, 8)
    return b.bytes()


def single_distance():
    b = Bits()
    b.put(1, 1), b.put(2, 2)
    b.put(1, 5), b.put(0, 5), b.put(14, 4)
    order = [16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1]
    for symbol in order:
        b.put(1 if symbol == 18 else 2 if symbol in (1, 2) else 0, 3)
    for zeros, then in ((97, [2]), (138, []), (20, [3, 3, 2])):
        b.code(0, 1), b.put(zeros - 11, 7)
        for code in then:
            b.code(code, 2)
    b.code(0, 1), b.code(3, 2), b.code(0, 1), b.code(2, 2)
    return b.bytes()


SEEDS = {
    "empty-fixed": bytes([3, 0]),
    "empty-stored": bytes([1, 0, 0, 0xFF, 0xFF]),
    "level0": raw(text(3000), 0),
    "level1": raw(text(3000), 1),
    "level6": raw(text(3000), 6),
    "level9-window9": raw(text(3000), 9, window_bits=9, mem_level=1),
    "filtered": raw(text(2000), 9, zlib.Z_FILTERED),
    "huffman": raw(text(2000), 9, zlib.Z_HUFFMAN_ONLY),
    "rle": raw(bytes(500) + text(500) + bytes(300), 9, zlib.Z_RLE),
    "fixed": raw(text(2000), 9, zlib.Z_FIXED),
    "zeros": raw(bytes(100000), 9),
    "long-length": long_length(),
    "stored-padding": stored_padding(),
    "single-distance": single_distance(),
}


def main():
    CORPUS.mkdir(parents=True, exist_ok=True)
    for name, seed in SEEDS.items():
        (CORPUS / name).write_bytes(seed)


if __name__ == "__main__":
    main()
