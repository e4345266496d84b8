// The reader against damaged and hostile patch files: one valid file, one planted fault per
// case, each refused with its own error.
#include "DirectoryReader.h"
#include "MemoryInputFile.h"
#include "PatchAssembler.h"

#include <functional>
#include <gtest/gtest.h>

namespace patchfile {
namespace {

using testing::AssembledEntry;
using testing::AssemblePatch;
using testing::Deflate;
using testing::EntryOffset;
using testing::GetLittle;
using testing::PutLittle;
using testing::RefreshChecksum;

const Locator kLocator{"Software\\Corvanel\\Tessik", "Program"};

AssembledEntry Entry(EntryKind kind, const std::string& name, const std::string& content = {}) {
    AssembledEntry assembled;
    assembled.entry.kind = kind;
    assembled.entry.name = name;
    if (kind == EntryKind::Patch) {
        assembled.entry.sourceSize = 100;
        assembled.entry.sourceCrc = 0x12345678;
    }
    if (kind != EntryKind::Delete) {
        assembled.entry.resultSize = content.size();
        assembled.entry.resultCrc = 0x9abcdef0;
        assembled.payload = Deflate(content);
    }
    return assembled;
}

std::vector<AssembledEntry> ValidEntries() {
    return {Entry(EntryKind::Patch, "data\\maps.pak", "delta bytes stand here"),
            Entry(EntryKind::Add, "movies\\intro.txt", "hello"),
            Entry(EntryKind::Delete, "old.txt")};
}

std::vector<uint8_t> ValidPatch() {
    return AssemblePatch(kLocator, ValidEntries());
}

// Version 2: the patch and the add entry name the block method.
std::vector<uint8_t> ValidBlocksPatch() {
    std::vector<AssembledEntry> entries = ValidEntries();
    entries[0].entry.method = PayloadMethod::Blocks;
    entries[1].entry.method = PayloadMethod::Blocks;
    return AssemblePatch(kLocator, entries);
}

DirectoryReadResult Read(std::vector<uint8_t> bytes, PatchDirectory& directory) {
    MemoryInputFile file(std::move(bytes));
    return ReadDirectory(file, directory);
}

FormatError ReadError(std::vector<uint8_t> bytes) {
    PatchDirectory directory;
    DirectoryReadResult result = Read(std::move(bytes), directory);
    EXPECT_FALSE(result.io);
    return result.format;
}

// Raw edits of the first entry's fields, then a fresh checksum so the fault is the only one.
constexpr size_t kKindField = 0, kMethodField = 1, kNameLengthField = 2, kSourceSizeField = 4,
                 kResultSizeField = 16, kPayloadSizeField = 28;

std::vector<uint8_t> WithEntryField(size_t entry, size_t field, uint64_t value, size_t length,
                                    std::vector<uint8_t> bytes = ValidPatch()) {
    PutLittle(bytes, EntryOffset(bytes, entry) + field, value, length);
    RefreshChecksum(bytes);
    return bytes;
}

std::vector<uint8_t> WithEntries(const std::function<void(std::vector<AssembledEntry>&)>& edit) {
    std::vector<AssembledEntry> entries = ValidEntries();
    edit(entries);
    return AssemblePatch(kLocator, entries);
}

size_t CountOffset(const std::vector<uint8_t>& bytes) {
    return EntryOffset(bytes, 0) - 4;
}

struct DamageCase {
    const char* name;
    std::function<std::vector<uint8_t>()> make;
    FormatError expected;
};

std::vector<DamageCase> DamageCases() {
    return {
        {"EmptyFile", [] { return std::vector<uint8_t>(); }, FormatError::Truncated},
        {"BadMagic",
         [] {
             auto b = ValidPatch();
             b[1] = 'X';
             return b;
         },
         FormatError::BadMagic},
        {"TextModeLineEnds",
         [] {
             auto b = ValidPatch();
             b.erase(b.begin() + 4); // CR LF became LF
             return b;
         },
         FormatError::BadMagic},
        {"UnknownVersion",
         [] {
             auto b = ValidPatch();
             PutLittle(b, 8, kNewestFormatVersion + 1, 2);
             return b;
         },
         FormatError::UnsupportedVersion},
        {"BlocksMethodInVersionOne",
         [] {
             auto b = ValidBlocksPatch();
             PutLittle(b, 8, 1, 2);
             RefreshChecksum(b);
             return b;
         },
         FormatError::BadEntryField},
        {"VersionZero",
         [] {
             auto b = ValidPatch();
             PutLittle(b, 8, 0, 2);
             return b;
         },
         FormatError::UnsupportedVersion},
        // Bit 0 says the file is signed; every other bit is unknown.
        {"UnknownFlagSet",
         [] {
             auto b = ValidPatch();
             PutLittle(b, 10, 2, 2);
             return b;
         },
         FormatError::BadFlags},
        {"HighFlagSet",
         [] {
             auto b = ValidPatch();
             PutLittle(b, 10, 0x8001, 2);
             return b;
         },
         FormatError::BadFlags},
        {"SignedWithoutSignatureBlock",
         [] {
             auto b = ValidPatch();
             PutLittle(b, 10, 1, 2);
             RefreshChecksum(b);
             return b;
         },
         FormatError::Truncated},
        {"DirectoryBeyondLimit",
         [] {
             auto b = ValidPatch();
             PutLittle(b, 12, kMaxDirectorySize + 1, 4);
             return b;
         },
         FormatError::DirectoryTooLarge},
        {"DirectorySizeBeyondFile",
         [] {
             auto b = ValidPatch();
             PutLittle(b, 12, b.size() - kHeaderSize + 1, 4);
             return b;
         },
         FormatError::Truncated},
        {"DirectorySizeOneTooLarge",
         [] {
             auto b = ValidPatch();
             PutLittle(b, 12, GetLittle(b, 12, 4) + 1, 4);
             return b;
         },
         FormatError::DirectoryChecksum},
        {"DirectorySizeTooSmall",
         [] {
             auto b = ValidPatch();
             PutLittle(b, 12, 11, 4);
             return b;
         },
         FormatError::Truncated},
        {"DirectoryByteFlipped",
         [] {
             auto b = ValidPatch();
             b[EntryOffset(b, 1) + 20] ^= 0x01;
             return b;
         },
         FormatError::DirectoryChecksum},
        {"ChecksumFlipped",
         [] {
             auto b = ValidPatch();
             b[kHeaderSize + GetLittle(b, 12, 4) - 1] ^= 0x80;
             return b;
         },
         FormatError::DirectoryChecksum},
        {"LocatorKeyTooLong",
         [] {
             return AssemblePatch({std::string(256, 'k'), "Program"}, ValidEntries());
         },
         FormatError::BadLocator},
        {"LocatorKeyWithoutValue",
         [] {
             return AssemblePatch({"Software\\Corvanel\\Tessik", ""}, ValidEntries());
         },
         FormatError::BadLocator},
        {"LocatorWithControlCharacter",
         [] {
             return AssemblePatch({"Software\\Cor\nvanel", "Program"}, ValidEntries());
         },
         FormatError::BadLocator},
        {"EntryCountOneTooLarge",
         [] {
             auto b = ValidPatch();
             PutLittle(b, CountOffset(b), 4, 4);
             RefreshChecksum(b);
             return b;
         },
         FormatError::Truncated},
        {"EntryCountHuge",
         [] {
             auto b = ValidPatch();
             PutLittle(b, CountOffset(b), 0xFFFFFFFF, 4);
             RefreshChecksum(b);
             return b;
         },
         FormatError::Truncated},
        {"EntryCountOneTooSmall",
         [] {
             auto b = ValidPatch();
             PutLittle(b, CountOffset(b), 2, 4);
             RefreshChecksum(b);
             return b;
         },
         FormatError::DirectoryLength},
        {"KindZero", [] { return WithEntryField(0, kKindField, 0, 1); }, FormatError::BadEntryKind},
        {"KindFour", [] { return WithEntryField(0, kKindField, 4, 1); }, FormatError::BadEntryKind},
        {"MethodSetInVersionOne", [] { return WithEntryField(0, kMethodField, 1, 1); },
         FormatError::BadEntryField},
        {"UnknownMethod", [] { return WithEntryField(0, kMethodField, 3, 1, ValidBlocksPatch()); },
         FormatError::UnknownMethod},
        // A recoded payload expands an old file, which an add entry does not have.
        {"RecodedAdd", [] { return WithEntryField(1, kMethodField, 2, 1, ValidBlocksPatch()); },
         FormatError::UnknownMethod},
        {"MethodOfADelete",
         [] { return WithEntryField(2, kMethodField, 1, 1, ValidBlocksPatch()); },
         FormatError::BadEntryField},
        {"AddWithSourceSize", [] { return WithEntryField(1, kSourceSizeField, 1, 8); },
         FormatError::BadEntryField},
        {"DeleteWithResultSize", [] { return WithEntryField(2, kResultSizeField, 1, 8); },
         FormatError::BadEntryField},
        {"DeleteWithPayload", [] { return WithEntryField(2, kPayloadSizeField, 1, 8); },
         FormatError::BadEntryField},
        {"NameLengthZero", [] { return WithEntryField(0, kNameLengthField, 0, 2); },
         FormatError::BadName},
        {"NameLengthBeyondLimit",
         [] { return WithEntryField(0, kNameLengthField, kMaxNameLength + 1, 2); },
         FormatError::BadName},
        {"LastNameLengthOneTooLarge", [] { return WithEntryField(2, kNameLengthField, 8, 2); },
         FormatError::Truncated},
        {"SourceSizeBeyondOffsets",
         [] { return WithEntryField(0, kSourceSizeField, uint64_t(1) << 63, 8); },
         FormatError::SizeOutOfRange},
        {"ResultSizeBeyondOffsets",
         [] { return WithEntryField(1, kResultSizeField, ~uint64_t(0), 8); },
         FormatError::SizeOutOfRange},
        {"PayloadSizeOneTooLarge",
         [] {
             auto b = ValidPatch();
             size_t field = EntryOffset(b, 1) + kPayloadSizeField;
             PutLittle(b, field, GetLittle(b, field, 8) + 1, 8);
             RefreshChecksum(b);
             return b;
         },
         FormatError::Truncated},
        {"PayloadSizeHuge", [] { return WithEntryField(0, kPayloadSizeField, ~uint64_t(0), 8); },
         FormatError::Truncated},
        {"PayloadSizeOneTooSmall",
         [] {
             auto b = ValidPatch();
             size_t field = EntryOffset(b, 1) + kPayloadSizeField;
             PutLittle(b, field, GetLittle(b, field, 8) - 1, 8);
             RefreshChecksum(b);
             return b;
         },
         FormatError::TrailingData},
        {"ByteAfterLastPayload",
         [] {
             auto b = ValidPatch();
             b.push_back(0);
             return b;
         },
         FormatError::TrailingData},
        {"DuplicateName",
         [] {
             return WithEntries([](auto& e) { e[2] = Entry(EntryKind::Delete, "data\\maps.pak"); });
         },
         FormatError::DuplicateName},
        {"DuplicateNameInOtherCase",
         [] {
             return WithEntries([](auto& e) { e[2] = Entry(EntryKind::Delete, "DATA\\Maps.PAK"); });
         },
         FormatError::DuplicateName},
    };
}

class DamagedPatch : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedPatch, IsRefusedWithItsOwnError) {
    EXPECT_EQ(ReadError(GetParam().make()), GetParam().expected)
        << DescribeFormatError(GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, DamagedPatch, ::testing::ValuesIn(DamageCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PatchVersions, EachEntryKeepsItsMethodAndTheLowestVersionIsWritten) {
    for (bool blocks : {false, true}) {
        std::vector<uint8_t> bytes = blocks ? ValidBlocksPatch() : ValidPatch();
        EXPECT_EQ(GetLittle(bytes, 8, 2), blocks ? 2u : 1u);
        PatchDirectory directory;
        ASSERT_TRUE(Read(bytes, directory).ok());
        EXPECT_EQ(directory.version, blocks ? 2u : 1u);
        PayloadMethod expected = blocks ? PayloadMethod::Blocks : PayloadMethod::Deflate;
        EXPECT_EQ(directory.entries[0].method, expected);
        EXPECT_EQ(directory.entries[1].method, expected);
        EXPECT_EQ(directory.entries[2].method, PayloadMethod::Deflate);
    }
}

TEST(PatchVersions, AVersionTwoFileOfDeflatePayloadsIsRead) {
    std::vector<uint8_t> bytes = ValidPatch();
    PutLittle(bytes, 8, 2, 2);
    RefreshChecksum(bytes);
    PatchDirectory directory;
    EXPECT_TRUE(Read(bytes, directory).ok());
    EXPECT_EQ(directory.version, 2u);
}

TEST(DamagedPatch, TruncatedAtAnyLengthIsTruncated) {
    std::vector<uint8_t> valid = ValidPatch();
    for (size_t length = 0; length < valid.size(); ++length) {
        std::vector<uint8_t> cut(valid.begin(), valid.begin() + length);
        EXPECT_EQ(ReadError(cut), FormatError::Truncated) << "cut at " << length;
    }
}

struct NameCase {
    const char* name;
    FormatError expected;
};

class HostileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(HostileName, IsRefused) {
    std::vector<uint8_t> bytes =
        WithEntries([](auto& e) { e[1] = Entry(EntryKind::Add, GetParam().name, "x"); });
    PatchDirectory directory;
    DirectoryReadResult result = Read(bytes, directory);
    EXPECT_EQ(result.format, GetParam().expected);
    EXPECT_NE(result.where.find("entry 2"), std::string::npos) << result.where;
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostileName,
    ::testing::Values(
        NameCase{"\\windows\\win.ini", FormatError::UnsafeName},
        NameCase{"/etc/passwd", FormatError::UnsafeName},
        NameCase{"C:\\autoexec.bat", FormatError::UnsafeName},
        NameCase{"C:relative.txt", FormatError::UnsafeName},
        NameCase{"\\\\server\\share\\x.txt", FormatError::UnsafeName},
        NameCase{"\\\\?\\C:\\x.txt", FormatError::UnsafeName},
        NameCase{"..", FormatError::UnsafeName},
        NameCase{"..\\outside.txt", FormatError::UnsafeName},
        NameCase{"data\\..\\..\\outside.txt", FormatError::UnsafeName},
        NameCase{"data\\\\x.txt", FormatError::UnsafeName},
        NameCase{"data\\", FormatError::UnsafeName}, NameCase{"nul.txt", FormatError::UnsafeName},
        NameCase{"data\\COM1", FormatError::UnsafeName},
        NameCase{"trailing.", FormatError::UnsafeName},
        NameCase{"file.txt:stream", FormatError::UnsafeName},
        NameCase{"a/b.txt", FormatError::BadName}, NameCase{"what?.txt", FormatError::BadName},
        NameCase{"star*.txt", FormatError::BadName}, NameCase{"tab\t.txt", FormatError::BadName},
        NameCase{"maps.pak.fp~", FormatError::BadName},
        NameCase{"MAPS.PAK.FP~", FormatError::BadName}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(ValidPatch, ReadsLocatorEntriesAndPayloadPlaces) {
    std::vector<uint8_t> bytes = ValidPatch();
    PatchDirectory directory;
    ASSERT_TRUE(Read(bytes, directory).ok());
    EXPECT_EQ(directory.locator.key, kLocator.key);
    EXPECT_EQ(directory.locator.value, kLocator.value);
    std::vector<AssembledEntry> expected = ValidEntries();
    ASSERT_EQ(directory.entries.size(), expected.size());
    uint64_t offset = EntryOffset(bytes, 3) + 4; // payloads follow the directory checksum
    for (size_t i = 0; i < expected.size(); ++i) {
        const PatchEntry& entry = directory.entries[i];
        EXPECT_EQ(entry.kind, expected[i].entry.kind);
        EXPECT_EQ(entry.name, expected[i].entry.name);
        EXPECT_EQ(entry.sourceSize, expected[i].entry.sourceSize);
        EXPECT_EQ(entry.resultCrc, expected[i].entry.resultCrc);
        EXPECT_EQ(entry.payloadSize, expected[i].payload.size());
        EXPECT_EQ(entry.payloadOffset, offset);
        offset += entry.payloadSize;
    }
    EXPECT_EQ(offset, bytes.size());
}

TEST(ValidPatch, WithoutLocatorAndEntriesIsFine) {
    PatchDirectory directory;
    EXPECT_TRUE(Read(AssemblePatch({}, {}), directory).ok());
    EXPECT_TRUE(directory.locator.empty());
    EXPECT_TRUE(directory.entries.empty());
}

} // namespace
} // namespace patchfile
