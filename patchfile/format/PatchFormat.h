#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The patch file format, version 1. docs/patch-format.md describes it byte by byte; the
// constants here are the ones it names.
namespace patchfile {

// PNG-style: a high byte, a name, and the line ends and end-of-file byte that a text-mode
// transfer would damage.
constexpr uint8_t kMagic[8] = {0x89, 'Q', 'P', 'F', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint16_t kFormatVersion = 1;

constexpr size_t kHeaderSize = 16;     // magic, version, flags, directory size
constexpr size_t kEntryFixedSize = 40; // an entry without its name
constexpr size_t kChecksumSize = 4;

// Limits that keep the reader's memory bounded and names usable with the ANSI file API.
constexpr uint32_t kMaxDirectorySize = 4u << 20;
constexpr size_t kMaxNameLength = 259;
constexpr size_t kMaxLocatorLength = 255;
// Sizes fit a signed 64-bit file offset.
constexpr uint64_t kMaxFileSize = static_cast<uint64_t>(INT64_MAX);

// A result is written beside its target under the target's name followed by this suffix,
// and moved into place once it is verified. Entry names may not end in it.
constexpr char kTempSuffix[] = ".fp~";

enum class EntryKind : uint8_t { Patch = 1, Add = 2, Delete = 3 };

// "patch", "add" or "delete", for listings and progress lines.
inline const char* EntryKindName(EntryKind kind) {
    switch (kind) {
    case EntryKind::Patch:
        return "patch";
    case EntryKind::Add:
        return "add";
    case EntryKind::Delete:
        return "delete";
    }
    return "?";
}

struct PatchEntry {
    EntryKind kind = EntryKind::Add;
    std::string name; // relative, components separated by backslashes
    uint64_t sourceSize = 0;
    uint32_t sourceCrc = 0;
    uint64_t resultSize = 0;
    uint32_t resultCrc = 0;
    uint64_t payloadSize = 0;
    uint32_t payloadCrc = 0;
    // Where the payload starts in the patch file; derived, not stored.
    uint64_t payloadOffset = 0;
};

// Where the library finds the folder it patches: a string value under HKEY_CURRENT_USER.
// Both empty: the patch file names no folder, the caller must give one.
struct Locator {
    std::string key;
    std::string value;
    bool empty() const { return key.empty() && value.empty(); }
};

struct PatchDirectory {
    Locator locator;
    std::vector<PatchEntry> entries;
};

} // namespace patchfile
