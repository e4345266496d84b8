#!/usr/bin/env python3
"""Writes a copy of a golden patch file with one planted fault, every checksum that does not
guard the fault made right again, so that a reader must find the fault itself.
Usage: damage-patch.py FAULT IN OUT, FAULT one of the names below."""
import struct
import sys

import patch_layout


def bad_magic(data):
    data[1] ^= 0x20  # 'Q' -> 'q'
    return data


def format_version(version):
    def plant(data):
        struct.pack_into("<H", data, 8, version)
        patch_layout.set_directory_crc(data)
        return data
    return plant


def unknown_method(data):
    entry = first(data, lambda e: e.kind != "delete")
    data[entry.at + 1] = 2
    patch_layout.set_directory_crc(data)
    return data


def truncated_directory(data):
    return data[:patch_layout.Layout(data).directory_end() // 2 + 8]


def payload_checksum(data):
    entry = max(patch_layout.Layout(data).entries, key=lambda e: e.payload_size)
    data[entry.payload_at + entry.payload_size // 2] ^= 0x01
    return data


def predictor_version(version):
    def plant(data):
        entry = first(data, lambda e: e.method == "blocks" and
                      data[e.payload_at:e.payload_at + 4] == b"QBLP")
        data[entry.payload_at + 12] = version
        patch_layout.set_payload_crc(data, entry)
        return data
    return plant


def recoded_stream_claims_more(data):
    # The first old stream's content size, the first field after the tables' 13-byte head.
    entry = first(data, lambda e: e.method == "recoded")
    at = entry.payload_at + 13
    claimed = int.from_bytes(data[at:at + 8], "little")
    data[at:at + 8] = (claimed + 1).to_bytes(8, "little")
    patch_layout.set_payload_crc(data, entry)
    return data


def first(data, matches):
    return next(e for e in patch_layout.Layout(data).entries if matches(e))


FAULTS = {
    "bad-magic": bad_magic,
    "format-version-3": format_version(3),
    "unknown-method": unknown_method,
    "truncated-directory": truncated_directory,
    "payload-checksum": payload_checksum,
    "predictor-version-0": predictor_version(0),
    "predictor-version-3": predictor_version(3),
    "recoded-stream-claims-more": recoded_stream_claims_more,
}

fault, source, target = sys.argv[1:]
damaged = FAULTS[fault](bytearray(open(source, "rb").read()))
open(target, "wb").write(bytes(damaged))
