"""Registry values written straight into a stopped prefix's registry files.

Wine keeps the registry in text files (user.reg for HKEY_CURRENT_USER, system.reg for
HKEY_LOCAL_MACHINE) that its server reads when it starts. Appending keys there before anything
of the prefix runs saves starting Wine twice per scenario (once for `reg import`, once more
because drive types are read only at server start).
"""
import time
from pathlib import Path

HIVE_FILES = {"HKEY_CURRENT_USER": "user.reg", "HKEY_LOCAL_MACHINE": "system.reg"}


def escape_registry_text(text: str) -> str:
    """A key name or string value in the files' notation: backslash escapes, and every
    character outside printable ASCII as \\x with four hex digits (Wine reads at most four,
    so a hex digit behind it cannot be taken as part of the escape)."""
    out = []
    for c in text:
        if c in '\\"':
            out.append("\\" + c)
        elif " " <= c <= "~":
            out.append(c)
        else:
            out.append(f"\\x{ord(c):04x}")
    return "".join(out)


def format_key(key: str, values: dict) -> str:
    """One key with string values, as the server's loader reads it. `key` is relative to the
    hive, with single backslashes."""
    lines = [f"[{escape_registry_text(key)}] {int(time.time())}"]
    for name, value in values.items():
        lines.append(f'"{escape_registry_text(name)}"="{escape_registry_text(value)}"')
    return "\n".join(lines) + "\n\n"


def append_keys(prefix_dir: Path, hive: str, keys: dict):
    """Appends {key: {name: value}} to the hive's file. The prefix's server must not run."""
    path = Path(prefix_dir) / HIVE_FILES[hive]
    with open(path, "a", encoding="ascii", newline="\n") as f:
        f.write("\n")
        for key, values in keys.items():
            f.write(format_key(key, values))
