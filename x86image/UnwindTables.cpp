#include "UnwindTables.h"

#include <algorithm>
#include <vector>

namespace x86image {

namespace {

// DW_EH_PE_pcrel | DW_EH_PE_sdata4: what GCC writes for i386 and x86-64 alike.
constexpr uint8_t kPcRelativeSigned4 = 0x1B;
constexpr uint8_t kAbsolutePointer = 0x00;
constexpr uint32_t kCieId = 0;
constexpr uint32_t kDwarf64Escape = 0xFFFFFFFF;
// Augmentation strings GCC writes are a few letters; longer ones are no table of ours.
constexpr uint64_t kMaxAugmentation = 8;
// A LEB128 of an unwind table's fields fits this many bytes.
constexpr unsigned kMaxLebBytes = 10;
// Linkers merge equal CIEs: a table with more is no table of a real program.
constexpr size_t kMaxCies = 1u << 16;

// Reads the fields of one record, never past its end.
class RecordReader {
public:
    RecordReader(ImageBytes& bytes, uint64_t at, uint64_t end)
        : bytes_(bytes), at_(at), end_(end) {}

    bool Byte(uint8_t& value) { return at_ < end_ && bytes_.U8(at_++, value); }
    bool Leb() {
        uint8_t byte = 0x80;
        for (unsigned i = 0; i < kMaxLebBytes && (byte & 0x80); ++i) {
            if (!Byte(byte)) {
                return false;
            }
        }
        return (byte & 0x80) == 0;
    }
    bool Skip(uint64_t count) {
        if (count > end_ - at_) {
            return false;
        }
        at_ += count;
        return true;
    }
    uint64_t at() const { return at_; }

private:
    ImageBytes& bytes_;
    uint64_t at_;
    uint64_t end_;
};

// The bytes a pointer of `encoding` takes; 0 for one this walker does not read.
uint64_t PointerBytes(uint8_t encoding) {
    switch (encoding & 0x0F) {
    case 0x02:
    case 0x0A:
        return 2;
    case 0x03:
    case 0x0B:
        return 4;
    case 0x04:
    case 0x0C:
        return 8;
    default:
        return 0;
    }
}

// The encoding of the code addresses in the FDEs of the CIE whose body (after its id) spans
// [at, end). False when it is no CIE this walker reads.
bool ReadCie(ImageBytes& bytes, uint64_t at, uint64_t end, uint8_t& encoding) {
    RecordReader cie(bytes, at, end);
    uint8_t version = 0;
    if (!cie.Byte(version) || (version != 1 && version != 3)) {
        return false;
    }
    char augmentation[kMaxAugmentation + 1] = {};
    uint64_t length = 0;
    for (uint8_t c = 1; c != 0; ++length) {
        if (length > kMaxAugmentation || !cie.Byte(c)) {
            return false;
        }
        augmentation[length] = static_cast<char>(c);
    }
    uint8_t returnRegister = 0;
    if (!cie.Leb() || !cie.Leb() || !(version == 1 ? cie.Byte(returnRegister) : cie.Leb())) {
        return false;
    }
    encoding = kAbsolutePointer;
    if (augmentation[0] != 'z') {
        return augmentation[0] == 0;
    }
    if (!cie.Leb()) {
        return false;
    }
    for (const char* letter = augmentation + 1; *letter; ++letter) {
        uint8_t value = 0;
        if (*letter == 'R') {
            if (!cie.Byte(encoding)) {
                return false;
            }
        } else if (*letter == 'P') {
            if (!cie.Byte(value) || PointerBytes(value) == 0 || !cie.Skip(PointerBytes(value))) {
                return false;
            }
        } else if (*letter == 'L') {
            if (!cie.Byte(value)) {
                return false;
            }
        } else if (*letter != 'S' && *letter != 'B') {
            return false;
        }
    }
    return true;
}

struct KnownCie {
    uint64_t offset;
    uint8_t encoding;
};

// Adds the FDE code-address fields of the table filling `section` to `found`; false when the
// section is no such table or the fields are more than the collector takes.
bool WalkTable(ImageBytes& bytes, const Section& section, ReferenceCollector& found) {
    std::vector<KnownCie> cies;
    const uint64_t end = section.fileOffset + section.size;
    uint64_t at = section.fileOffset;
    bool anyFde = false;
    while (end - at >= 4) {
        uint32_t length = 0;
        uint32_t id = 0;
        if (!bytes.U32(at, length) || length == kDwarf64Escape) {
            return false;
        }
        if (length == 0) {
            break;
        }
        const uint64_t body = at + 8;
        const uint64_t next = at + 4 + uint64_t{length};
        if (length < 4 || next > end || !bytes.U32(at + 4, id)) {
            return false;
        }
        if (id == kCieId) {
            KnownCie cie{at, kAbsolutePointer};
            if (cies.size() >= kMaxCies || !ReadCie(bytes, body, next, cie.encoding)) {
                return false;
            }
            cies.push_back(cie);
        } else {
            // The id of an FDE is the distance back from itself to its CIE.
            if (id > at + 4 - section.fileOffset) {
                return false;
            }
            const uint64_t cieAt = at + 4 - id;
            auto cie = std::lower_bound(cies.begin(), cies.end(), cieAt,
                                        [](const KnownCie& c, uint64_t v) { return c.offset < v; });
            if (cie == cies.end() || cie->offset != cieAt) {
                return false;
            }
            if (cie->encoding == kPcRelativeSigned4 && next - body >= 4) {
                if (found.Room() == 0) {
                    return false;
                }
                found.AddPcRelative(body);
            }
            anyFde = true;
        }
        at = next;
    }
    return anyFde;
}

} // namespace

void ListUnwindFields(ImageBytes& bytes, const ImageLayout& layout, ReferenceCollector& found) {
    for (const Section& section : layout.sections) {
        const size_t before = found.PcRelativeCount();
        if (!section.executable && !WalkTable(bytes, section, found)) {
            found.DropPcRelativeFrom(before);
        }
    }
}

} // namespace x86image
