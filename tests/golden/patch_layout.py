"""Reads where things are in a patch file (docs/patch-format.md): the header, the entries and
their payloads, and the blocks of a block payload, for write-golden.sh to check what a new
golden set covers and to damage a copy of one. It trusts its input: it only ever reads
patch files that mkpatch or golden_write_predicted has just written."""
import struct
import zlib

HEADER_SIZE = 16
ENTRY_FIXED_SIZE = 40
KINDS = {1: "patch", 2: "add", 3: "delete"}
METHODS = {0: "deflate", 1: "blocks", 2: "recoded"}
CODERS = {0: "store", 1: "deflate", 2: "zstd", 3: "xz"}
BLOCK_HEADER_SIZE = 45
PREDICTION_FIXED_SIZE = 11
PREDICTION_SECTION_SIZE = 17


class Entry:
    def __init__(self, at, data):
        self.at = at  # offset of the entry in the file
        kind, method, length = struct.unpack_from("<BBH", data, at)
        self.kind = KINDS[kind]
        self.method = METHODS[method]
        self.payload_size, = struct.unpack_from("<Q", data, at + 28)
        self.name = data[at + ENTRY_FIXED_SIZE:at + ENTRY_FIXED_SIZE + length].decode("ascii")
        self.size = ENTRY_FIXED_SIZE + length
        self.payload_at = 0


class Layout:
    def __init__(self, data):
        self.version, _, self.directory_size = struct.unpack_from("<HHI", data, 8)
        at = HEADER_SIZE
        key, = struct.unpack_from("<H", data, at)
        at += 2 + key
        value, = struct.unpack_from("<H", data, at)
        at += 2 + value
        count, = struct.unpack_from("<I", data, at)
        at += 4
        self.entries = []
        payload_at = self.directory_end()
        for _ in range(count):
            entry = Entry(at, data)
            entry.payload_at = payload_at
            payload_at += entry.payload_size
            at += entry.size
            self.entries.append(entry)

    def directory_end(self):
        return HEADER_SIZE + self.directory_size


def block_payload(data, entry):
    """(predictor version or None, the coders of the streams that hold bytes)."""
    at = entry.payload_at
    magic = data[at:at + 4]
    result_size, = struct.unpack_from("<Q", data, at + 4)
    at += 12
    predictor = None
    if magic == b"QBLP":
        predictor = data[at]
        at += PREDICTION_FIXED_SIZE + PREDICTION_SECTION_SIZE * data[at + 10]
    coders = set()
    done = 0
    while done < result_size:
        output, = struct.unpack_from("<I", data, at)
        stored_total = 0
        for stream in range(4):
            coder, raw, stored = struct.unpack_from("<BII", data, at + 9 + 9 * stream)
            if raw:
                coders.add(CODERS[coder])
            stored_total += stored
        at += BLOCK_HEADER_SIZE + stored_total
        done += output
    return predictor, coders


def set_directory_crc(data):
    """Makes the directory's CRC-32 right again after a field before it was changed."""
    directory_size, = struct.unpack_from("<I", data, 12)
    end = HEADER_SIZE + directory_size
    data[end - 4:end] = struct.pack("<I", zlib.crc32(bytes(data[:end - 4])))


def set_payload_crc(data, entry):
    payload = bytes(data[entry.payload_at:entry.payload_at + entry.payload_size])
    struct.pack_into("<I", data, entry.at + 36, zlib.crc32(payload))
    set_directory_crc(data)
