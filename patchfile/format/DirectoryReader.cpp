#include "DirectoryReader.h"

#include "ByteReader.h"
#include "Crc32.h"
#include "EntryName.h"
#include "HeaderFields.h"
#include "LittleEndian.h"
#include "SignatureBlock.h"

#include <algorithm>
#include <cstring>

namespace patchfile {
namespace {

constexpr size_t kMagicSize = sizeof(kMagic);
// Locator lengths, entry count and checksum: the smallest directory there is.
constexpr uint32_t kMinDirectorySize = 2 + 2 + 4 + kChecksumSize;

DirectoryReadResult Refuse(FormatError format, std::string where = {}) {
    DirectoryReadResult result;
    result.format = format;
    result.where = std::move(where);
    return result;
}

DirectoryReadResult ReadFailed(const IoError& io) {
    DirectoryReadResult result;
    result.io = io;
    return result;
}

std::string EntryLabel(size_t index, const std::string& name) {
    std::string label = "entry " + std::to_string(index + 1);
    if (!name.empty())
        label += " (" + name + ")";
    return label;
}

bool IsPlainText(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x20; });
}

FormatError ReadLocatorPart(ByteReader& reader, std::string& text) {
    uint16_t length = 0;
    if (!reader.U16(length))
        return FormatError::Truncated;
    if (length > kMaxLocatorLength)
        return FormatError::BadLocator;
    if (!reader.Bytes(length, text))
        return FormatError::Truncated;
    return IsPlainText(text) ? FormatError::None : FormatError::BadLocator;
}

FormatError ReadLocator(ByteReader& reader, Locator& locator) {
    FormatError error = ReadLocatorPart(reader, locator.key);
    if (error == FormatError::None)
        error = ReadLocatorPart(reader, locator.value);
    if (error == FormatError::None && locator.key.empty() != locator.value.empty())
        return FormatError::BadLocator;
    return error;
}

// The fields an entry of each kind leaves at zero.
bool UnusedFieldsAreZero(const PatchEntry& entry) {
    bool noSource = entry.sourceSize == 0 && entry.sourceCrc == 0;
    bool noResult = entry.resultSize == 0 && entry.resultCrc == 0 && entry.payloadSize == 0 &&
                    entry.payloadCrc == 0;
    switch (entry.kind) {
    case EntryKind::Patch:
        return true;
    case EntryKind::Add:
        return noSource;
    case EntryKind::Delete:
        return noSource && noResult;
    }
    return false;
}

// Version 1 keeps the method byte at zero; a delete entry has no payload, so no method. The
// recoded method expands an old file, which only a patch entry has: for an add entry it is
// as unknown as any method beyond the last (the golden error set unknown-method, method 2
// on an add entry, was written before the method existed and is refused the same still).
FormatError CheckMethod(uint8_t method, const PatchEntry& entry, uint16_t version) {
    if (method == 0)
        return FormatError::None;
    if (version < 2 || entry.kind == EntryKind::Delete)
        return FormatError::BadEntryField;
    if (method > static_cast<uint8_t>(PayloadMethod::Recoded))
        return FormatError::UnknownMethod;
    if (method == static_cast<uint8_t>(PayloadMethod::Recoded) && entry.kind != EntryKind::Patch)
        return FormatError::UnknownMethod;
    return FormatError::None;
}

FormatError ReadEntry(ByteReader& reader, PatchEntry& entry, uint16_t version) {
    uint8_t kind = 0, method = 0;
    uint16_t nameLength = 0;
    reader.U8(kind);
    reader.U8(method);
    reader.U16(nameLength);
    reader.U64(entry.sourceSize);
    reader.U32(entry.sourceCrc);
    reader.U64(entry.resultSize);
    reader.U32(entry.resultCrc);
    reader.U64(entry.payloadSize);
    reader.U32(entry.payloadCrc);
    if (reader.failed())
        return FormatError::Truncated;
    if (kind < static_cast<uint8_t>(EntryKind::Patch) ||
        kind > static_cast<uint8_t>(EntryKind::Delete))
        return FormatError::BadEntryKind;
    entry.kind = static_cast<EntryKind>(kind);
    if (nameLength == 0 || nameLength > kMaxNameLength)
        return FormatError::BadName;
    if (!reader.Bytes(nameLength, entry.name))
        return FormatError::Truncated;
    if (!UnusedFieldsAreZero(entry))
        return FormatError::BadEntryField;
    FormatError methodError = CheckMethod(method, entry, version);
    if (methodError != FormatError::None)
        return methodError;
    entry.method = static_cast<PayloadMethod>(method);
    if (entry.sourceSize > kMaxFileSize || entry.resultSize > kMaxFileSize)
        return FormatError::SizeOutOfRange;
    return CheckEntryName(entry.name);
}

DirectoryReadResult FindDuplicate(const std::vector<PatchEntry>& entries) {
    std::vector<std::pair<std::string, size_t>> folded;
    folded.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        folded.emplace_back(FoldEntryName(entries[i].name), i);
    std::sort(folded.begin(), folded.end());
    for (size_t i = 1; i < folded.size(); ++i) {
        if (folded[i].first == folded[i - 1].first) {
            size_t later = std::max(folded[i].second, folded[i - 1].second);
            return Refuse(FormatError::DuplicateName, EntryLabel(later, entries[later].name));
        }
    }
    return {};
}

// Payloads follow the directory in entry order and end exactly where the file ends, or where
// its signature block starts. Sizes are subtracted from what is left, so no sum can overflow.
DirectoryReadResult PlacePayloads(std::vector<PatchEntry>& entries, uint64_t dataStart,
                                  uint64_t dataEnd) {
    uint64_t left = dataEnd - dataStart;
    uint64_t offset = dataStart;
    for (size_t i = 0; i < entries.size(); ++i) {
        PatchEntry& entry = entries[i];
        if (entry.payloadSize > left)
            return Refuse(FormatError::Truncated, "payload of " + EntryLabel(i, entry.name));
        entry.payloadOffset = offset;
        offset += entry.payloadSize;
        left -= entry.payloadSize;
    }
    if (left != 0)
        return Refuse(FormatError::TrailingData);
    return {};
}

DirectoryReadResult ParseDirectory(const std::vector<uint8_t>& bytes, uint16_t version,
                                   PatchDirectory& directory) {
    // The directory proper lies between the header and the trailing checksum.
    ByteReader reader(bytes.data() + kHeaderSize, bytes.size() - kHeaderSize - kChecksumSize);
    FormatError error = ReadLocator(reader, directory.locator);
    if (error != FormatError::None)
        return Refuse(error, "locator");
    uint32_t count = 0;
    if (!reader.U32(count))
        return Refuse(FormatError::Truncated, "entry count");
    // Every entry takes at least its fixed part and one byte of name.
    if (count > reader.remaining() / (kEntryFixedSize + 1))
        return Refuse(FormatError::Truncated, "entry count " + std::to_string(count));
    directory.entries.assign(count, PatchEntry());
    for (size_t i = 0; i < count; ++i) {
        error = ReadEntry(reader, directory.entries[i], version);
        if (error != FormatError::None)
            return Refuse(error, EntryLabel(i, directory.entries[i].name));
    }
    if (reader.remaining() != 0)
        return Refuse(FormatError::DirectoryLength);
    return FindDuplicate(directory.entries);
}

} // namespace

DirectoryReadResult ReadDirectory(InputFile& file, PatchDirectory& directory) {
    directory = PatchDirectory();
    uint64_t fileSize = file.Size();
    uint8_t header[kHeaderSize] = {};
    size_t headerBytes = fileSize < kHeaderSize ? static_cast<size_t>(fileSize) : kHeaderSize;
    IoError io;
    if (!file.ReadAt(0, header, headerBytes, io))
        return ReadFailed(io);

    FormatError magic = CheckMagic(header, fileSize);
    if (magic != FormatError::None)
        return Refuse(magic, "header");
    // The version comes first so that a later version may change everything after it.
    if (fileSize < kMagicSize + 2)
        return Refuse(FormatError::Truncated, "header");
    uint16_t version = static_cast<uint16_t>(plumbing::LoadLittleEndian(header + 8, 2));
    if (version < kFirstFormatVersion || version > kNewestFormatVersion)
        return Refuse(FormatError::UnsupportedVersion, "version " + std::to_string(version));
    if (fileSize < kHeaderSize)
        return Refuse(FormatError::Truncated, "header");
    uint16_t flags = Little16(header + kFlagsOffset);
    if ((flags & ~kKnownFlags) != 0)
        return Refuse(FormatError::BadFlags, "header");

    uint32_t directorySize = static_cast<uint32_t>(plumbing::LoadLittleEndian(header + 12, 4));
    if (directorySize > kMaxDirectorySize)
        return Refuse(FormatError::DirectoryTooLarge, std::to_string(directorySize) + " bytes");
    if (directorySize < kMinDirectorySize)
        return Refuse(FormatError::Truncated, "directory");
    if (directorySize > fileSize - kHeaderSize)
        return Refuse(FormatError::Truncated, "directory");

    std::vector<uint8_t> bytes(kHeaderSize + directorySize);
    std::memcpy(bytes.data(), header, kHeaderSize);
    if (!file.ReadAt(kHeaderSize, bytes.data() + kHeaderSize, directorySize, io))
        return ReadFailed(io);
    size_t checked = bytes.size() - kChecksumSize;
    if (ComputeCrc32(bytes.data(), checked) !=
        plumbing::LoadLittleEndian(bytes.data() + checked, 4))
        return Refuse(FormatError::DirectoryChecksum);

    directory.version = version;
    DirectoryReadResult parsed = ParseDirectory(bytes, version, directory);
    if (!parsed.ok())
        return parsed;
    uint64_t dataStart = kHeaderSize + directorySize;
    uint64_t dataEnd = fileSize;
    if ((flags & kFlagSigned) != 0) {
        FormatError block =
            ReadSignatureBlockHead(file, fileSize, dataStart, directory.signature, io);
        if (io)
            return ReadFailed(io);
        if (block != FormatError::None)
            return Refuse(block, "signature block");
        dataEnd = fileSize - kSignatureBlockSize;
    }
    return PlacePayloads(directory.entries, dataStart, dataEnd);
}

} // namespace patchfile
