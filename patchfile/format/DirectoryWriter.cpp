#include "DirectoryWriter.h"

#include "Crc32.h"
#include "LittleEndian.h"

namespace patchfile {
namespace {

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}
    void Little(uint64_t value, size_t length) {
        plumbing::AppendLittleEndian(out_, value, length);
    }
    void Text(const std::string& text) { out_.insert(out_.end(), text.begin(), text.end()); }

private:
    std::vector<uint8_t>& out_;
};

void WriteEntry(ByteWriter& writer, const PatchEntry& entry) {
    writer.Little(static_cast<uint8_t>(entry.kind), 1);
    writer.Little(static_cast<uint8_t>(entry.method), 1);
    writer.Little(entry.name.size(), 2);
    writer.Little(entry.sourceSize, 8);
    writer.Little(entry.sourceCrc, 4);
    writer.Little(entry.resultSize, 8);
    writer.Little(entry.resultCrc, 4);
    writer.Little(entry.payloadSize, 8);
    writer.Little(entry.payloadCrc, 4);
    writer.Text(entry.name);
}

} // namespace

uint64_t EncodedDirectorySize(const PatchDirectory& directory) {
    uint64_t size = kHeaderSize + 2 + directory.locator.key.size() + 2 +
                    directory.locator.value.size() + 4 + kChecksumSize;
    for (const PatchEntry& entry : directory.entries)
        size += kEntryFixedSize + entry.name.size();
    return size;
}

std::vector<uint8_t> EncodeDirectory(const PatchDirectory& directory) {
    std::vector<uint8_t> bytes(kMagic, kMagic + sizeof(kMagic));
    ByteWriter writer(bytes);
    writer.Little(FormatVersionFor(directory), 2);
    writer.Little(directory.signature.present ? kFlagSigned : 0, 2);
    writer.Little(EncodedDirectorySize(directory) - kHeaderSize, 4);
    writer.Little(directory.locator.key.size(), 2);
    writer.Text(directory.locator.key);
    writer.Little(directory.locator.value.size(), 2);
    writer.Text(directory.locator.value);
    writer.Little(directory.entries.size(), 4);
    for (const PatchEntry& entry : directory.entries)
        WriteEntry(writer, entry);
    writer.Little(ComputeCrc32(bytes.data(), bytes.size()), 4);
    return bytes;
}

} // namespace patchfile
