#pragma once
#include "EnumText.h"
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The patch file format, versions 1 and 2. docs/patch-format.md describes it byte by byte;
// the constants here are the ones it names.
namespace patchfile {

// PNG-style: a high byte, a name, and the line ends and end-of-file byte that a text-mode
// transfer would damage.
constexpr uint8_t kMagic[8] = {0x89, 'Q', 'P', 'F', 0x0D, 0x0A, 0x1A, 0x0A};
// Version 2 adds the payload method of each entry (a byte that version 1 keeps at zero). A
// writer gives the lowest version that describes its entries, so a patch file whose entries
// all use the first method stays readable by version-1 readers.
constexpr uint16_t kFirstFormatVersion = 1;
constexpr uint16_t kNewestFormatVersion = 2;

constexpr size_t kHeaderSize = 16; // magic, version, flags, directory size
constexpr size_t kFlagsOffset = 10;
constexpr size_t kEntryFixedSize = 40; // an entry without its name
constexpr size_t kChecksumSize = 4;

// Limits that keep the reader's memory bounded and names usable with the ANSI file API.
constexpr uint32_t kMaxDirectorySize = 4u << 20;
constexpr size_t kMaxNameLength = 259;
constexpr size_t kMaxLocatorLength = 255;
// Sizes fit a signed 64-bit file offset.
constexpr uint64_t kMaxFileSize = static_cast<uint64_t>(INT64_MAX);

// The suffix of the temporary files that the library once wrote beside its targets (and that
// the builder gives its scratch output). Entry names may not end in it, so a file of such a
// name beside a target is never the game's or a player's: a run removes it as a leftover.
constexpr char kTempSuffix[] = ".fp~";

// Header flags. A reader refuses a flag it does not know, so a file that needs one never
// half-opens in an older library.
// The file ends with a signature block (SignatureBlock.h) after the last payload.
constexpr uint16_t kFlagSigned = 0x0001;
constexpr uint16_t kKnownFlags = kFlagSigned;

enum class EntryKind : uint8_t { Patch = 1, Add = 2, Delete = 3 };

// "patch", "add" or "delete", for listings and progress lines.
inline const char* EntryKindName(EntryKind kind) {
    // Indexed by the kinds' stored values, which start at 1.
    static constexpr const char* kTexts[] = {"?", "patch", "add", "delete"};
    return quill::TextOf<EntryKind::Delete>(kTexts, kind, "?");
}

// How a patch or add entry's payload is coded. Stored in patch files: never renumber.
enum class PayloadMethod : uint8_t {
    // One zlib stream: the VCDIFF delta (patch) or the new file's contents (add).
    Deflate = 0,
    // Independently decodable blocks of covers, differences and literals, each stream with a
    // coder of its own; an add entry's blocks have no covers.
    Blocks = 1,
    // The deflate streams of both files seen through: the old file's inflated, a block delta
    // between the files so expanded, the new file's rebuilt bit for bit (patch entries only).
    Recoded = 2,
};

// "deflate", "blocks" or "recoded", for listings.
inline const char* PayloadMethodName(PayloadMethod method) {
    switch (method) {
    case PayloadMethod::Deflate:
        break;
    case PayloadMethod::Blocks:
        return "blocks";
    case PayloadMethod::Recoded:
        return "recoded";
    }
    return "deflate";
}

struct PatchEntry {
    EntryKind kind = EntryKind::Add;
    PayloadMethod method = PayloadMethod::Deflate; // delete entries: Deflate (stored as 0)
    std::string name;                              // relative, components separated by backslashes
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

constexpr size_t kPublicKeySize = 32; // an Ed25519 public key
constexpr size_t kSignatureSize = 64; // an Ed25519 signature

// What a signed file says about its signature; the signature itself is the file's last
// kSignatureSize bytes and is read only by whoever checks it.
struct SignatureInfo {
    bool present = false;
    uint8_t publicKey[kPublicKeySize] = {}; // the key the file says it was signed with
};

struct PatchDirectory {
    uint16_t version = 0; // as read; a writer gives FormatVersionFor(directory)
    SignatureInfo signature;
    Locator locator;
    std::vector<PatchEntry> entries;
};

// The lowest format version that describes these entries.
inline uint16_t FormatVersionFor(const PatchDirectory& directory) {
    for (const PatchEntry& entry : directory.entries) {
        if (entry.method != PayloadMethod::Deflate)
            return kNewestFormatVersion;
    }
    return kFirstFormatVersion;
}

} // namespace patchfile
