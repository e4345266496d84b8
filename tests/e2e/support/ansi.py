"""Texts as the program sees them: bytes in Wine's ANSI code page here, 1252.

Python's cp1252 codec refuses the five bytes that the code page leaves unassigned; Windows (and
Wine) map them to the control characters of the same number, and so do these functions.
"""

_UNASSIGNED = (0x81, 0x8D, 0x8F, 0x90, 0x9D)


def decode_ansi(data: bytes) -> str:
    return "".join(chr(b) if b in _UNASSIGNED else bytes([b]).decode("cp1252") for b in data)


def encode_ansi(text: str) -> bytes:
    return b"".join(
        bytes([ord(c)]) if ord(c) in _UNASSIGNED else c.encode("cp1252") for c in text
    )


def to_ansi(text) -> bytes:
    """A text given as str (encoded) or as bytes (taken as they are)."""
    return text if isinstance(text, bytes) else encode_ansi(text)
