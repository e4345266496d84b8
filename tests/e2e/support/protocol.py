"""The driver's reply lines: "ok" or "err", then TAB-separated fields with backslash escapes
(\\\\, \\r, \\n, \\t, \\xHH) for every byte that is not printable ASCII. See
tests/e2e/driver/ReplyText.h."""
import re

_ESCAPE = re.compile(rb"\\(x[0-9A-Fa-f]{2}|.)", re.DOTALL)
_SIMPLE = {b"\\": b"\\", b"r": b"\r", b"n": b"\n", b"t": b"\t"}


def unescape_field(field: bytes) -> bytes:
    def replace(match):
        code = match.group(1)
        if code.startswith(b"x") and len(code) == 3:
            return bytes([int(code[1:], 16)])
        if code in _SIMPLE:
            return _SIMPLE[code]
        raise ValueError(f"bad escape in reply field: {field!r}")
    return _ESCAPE.sub(replace, field)


def parse_reply(line: bytes):
    """(True, [fields as bytes]) for "ok", (False, reason) for "err"."""
    line = line.rstrip(b"\r\n")
    status, *fields = line.split(b"\t")
    fields = [unescape_field(f) for f in fields]
    if status == b"ok":
        return True, fields
    if status == b"err":
        return False, (fields[0].decode("latin-1") if fields else "")
    raise ValueError(f"not a driver reply: {line!r}")
