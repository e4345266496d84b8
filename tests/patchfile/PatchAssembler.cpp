#include "PatchAssembler.h"

#include "Crc32.h"
#include "DirectoryWriter.h"

#include <stdexcept>
#include <zlib.h>

namespace patchfile::testing {

std::vector<uint8_t> Deflate(const std::string& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<uint8_t> out(size);
    if (compress2(out.data(), &size, reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uLong>(data.size()), 9) != Z_OK)
        throw std::runtime_error("compress2 failed");
    out.resize(size);
    return out;
}

std::vector<uint8_t> AssemblePatch(const Locator& locator, std::vector<AssembledEntry> entries) {
    PatchDirectory directory;
    directory.locator = locator;
    for (AssembledEntry& assembled : entries) {
        if (assembled.entry.kind != EntryKind::Delete) {
            assembled.entry.payloadSize = assembled.payload.size();
            assembled.entry.payloadCrc =
                ComputeCrc32(assembled.payload.data(), assembled.payload.size());
        }
        directory.entries.push_back(assembled.entry);
    }
    std::vector<uint8_t> bytes = EncodeDirectory(directory);
    for (const AssembledEntry& assembled : entries)
        bytes.insert(bytes.end(), assembled.payload.begin(), assembled.payload.end());
    return bytes;
}

void PutLittle(std::vector<uint8_t>& bytes, size_t offset, uint64_t value, size_t length) {
    for (size_t i = 0; i < length; ++i)
        bytes.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t GetLittle(const std::vector<uint8_t>& bytes, size_t offset, size_t length) {
    uint64_t value = 0;
    for (size_t i = length; i > 0; --i)
        value = (value << 8) | bytes.at(offset + i - 1);
    return value;
}

size_t EntryOffset(const std::vector<uint8_t>& patch, size_t index) {
    size_t offset = kHeaderSize;
    offset += 2 + GetLittle(patch, offset, 2); // locator key
    offset += 2 + GetLittle(patch, offset, 2); // locator value
    offset += 4;                               // entry count
    for (size_t i = 0; i < index; ++i)
        offset += kEntryFixedSize + GetLittle(patch, offset + 2, 2);
    return offset;
}

void RefreshChecksum(std::vector<uint8_t>& patch) {
    size_t end = kHeaderSize + GetLittle(patch, 12, 4);
    PutLittle(patch, end - 4, ComputeCrc32(patch.data(), end - 4), 4);
}

} // namespace patchfile::testing
