#!/usr/bin/env python3
"""Writes the seed corpus of coders_decoder_fuzz into tests/fuzz/corpus/coders_decoder/:
small valid streams of every coder, in the fuzz target's layout (coder, stated size in three
bytes, ticks before stop, stream). Deflate and LZMA2 come from Python's zlib and lzma, zstd
from Debian's zstd program; the bytes are the same on every run with the same versions."""
import lzma
import pathlib
import subprocess
import zlib

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus" / "coders_decoder"
STORE, DEFLATE, ZSTD, XZ = range(4)
PIECE = 32 << 10  # the decoders' piece (kTickOutputBytes): a seed larger than that ticks


def text(size):
    words = b"the quill mere of and patch file version to a window level = 12345\n".split(b" ")
    out, state = bytearray(), 1
    while len(out) < size:
        state = (state * 1103515245 + 12345) % (1 << 31)
        out += words[state % len(words)] + b" "
    return bytes(out[:size])


def lzma2_properties(dictionary):
    """The LZMA2 properties byte: the smallest stated size 2 or 3 times 2^n that holds it."""
    for value in range(40):
        if dictionary <= (2 | (value & 1)) << (value // 2 + 11):
            return value
    return 40


def xz(data):
    dictionary = min(max(len(data), 4096), 16 << 20)
    raw = lzma.compress(data, format=lzma.FORMAT_RAW, filters=[
        {"id": lzma.FILTER_LZMA2, "preset": 9 | lzma.PRESET_EXTREME, "dict_size": dictionary}])
    return bytes([lzma2_properties(dictionary)]) + raw


def zstd(data):
    return subprocess.run(["zstd", "-q", "-19", "--no-check", f"--stream-size={len(data)}", "-c"],
                          input=data, stdout=subprocess.PIPE, check=True).stdout


ENCODERS = {STORE: lambda data: data, DEFLATE: lambda data: zlib.compress(data, 9),
            ZSTD: zstd, XZ: xz}
NAMES = {STORE: "store", DEFLATE: "deflate", ZSTD: "zstd", XZ: "xz"}
SAMPLES = {"empty": b"", "byte": b"Q", "text": text(3000), "zeros": bytes(4096)}
# Larger than a piece, so that decoding ticks; not stored, which would make a large seed.
PIECES = text(PIECE + 1000)


def seed(coder, data, stop_after=0):
    return (bytes([coder]) + len(data).to_bytes(3, "little") + bytes([stop_after]) +
            ENCODERS[coder](data))


def main():
    CORPUS.mkdir(parents=True, exist_ok=True)
    for old in CORPUS.iterdir():
        old.unlink()
    for coder, name in NAMES.items():
        for sample, data in SAMPLES.items():
            (CORPUS / f"{name}-{sample}").write_bytes(seed(coder, data))
        if coder != STORE:
            (CORPUS / f"{name}-pieces").write_bytes(seed(coder, PIECES))
            (CORPUS / f"{name}-pieces-stopped").write_bytes(seed(coder, PIECES, 1))


if __name__ == "__main__":
    main()
