#!/usr/bin/env python3
"""Writes an ELF i386 program whose code moves between two builds: functions of filler bytes
and calls to each other, with GROWN bytes added inside the middle function, so that every call
across the move changes as a rebuild leaves it. Usage: make-moved-program.py GROWN OUT.
The same arguments give the same bytes."""
import struct
import sys

FUNCTIONS = 300
TEXT_ADDRESS = 0x1000
HEADERS = 52 + 32  # ELF header, one PT_LOAD program header


def functions(grown):
    bodies = []
    for f in range(FUNCTIONS):
        state = 3 * 100003 + f
        def nxt():
            nonlocal state
            state = (state * 6364136223846793005 + 1442695040888963407) % (1 << 64)
            return state >> 33
        items = 100 + nxt() % 100
        body = []
        for i in range(items):
            if f == FUNCTIONS // 2 and i == items // 2:
                body += [("byte", 0x20)] * grown
            if nxt() % 8 == 0:
                body.append(("call", nxt() % FUNCTIONS))
            else:
                body.append(("byte", 0x10 + nxt() % 0x60))
        bodies.append(body)
    return bodies


def code(bodies):
    starts, at = [], 0
    for body in bodies:
        starts.append(at)
        at += sum(5 if kind == "call" else 1 for kind, _ in body)
    out = bytearray()
    for body in bodies:
        for kind, value in body:
            if kind == "byte":
                out.append(value)
            else:
                out += b"\xe8" + struct.pack("<i", starts[value] - (len(out) + 5))
    return bytes(out)


def elf(text):
    header = b"\x7fELF" + bytes([1, 1, 1]) + bytes(9)
    header += struct.pack("<HHIIIIIHHHHHH", 3, 3, 1, TEXT_ADDRESS, 52, 0, 0, 52, 32, 1, 40, 0, 0)
    # PT_LOAD of the whole file at TEXT_ADDRESS - HEADERS, readable and executable.
    program = struct.pack("<IIIIIIII", 1, 0, TEXT_ADDRESS - HEADERS, TEXT_ADDRESS - HEADERS,
                          HEADERS + len(text), HEADERS + len(text), 5, 0x1000)
    return header + program + text


grown, path = int(sys.argv[1]), sys.argv[2]
with open(path, "wb") as out:
    out.write(elf(code(functions(grown))))
