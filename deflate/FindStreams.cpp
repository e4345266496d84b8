#include "StreamFinder.h"

#include "EnumText.h"
#include "Wrappers.h"

namespace deflatestream {

namespace {

// Each wrapper's first byte, so that most offsets cost one comparison each.
bool TryAt(const Candidate& c, FoundStream& found, uint64_t& work) {
    const uint8_t first = c.data[c.offset];
    return (first == 'P' && ZipEntryAt(c, found, work)) ||
           (first == 0x89 && PngImageAt(c, found, work)) ||
           (first == 0x1f && GzipMemberAt(c, found, work)) ||
           ((first & 0x0f) == 8 && ZlibStreamAt(c, found, work));
}

// Indexed by Wrapper.
constexpr const char* kWrapperNames[] = {"zip", "gzip", "zlib", "png"};

} // namespace

const char* WrapperName(Wrapper wrapper) {
    return quill::TextOf<Wrapper::kPngImage>(kWrapperNames, wrapper, "?");
}

std::vector<uint8_t> DeflateBytes(const uint8_t* file, const FoundStream& stream) {
    if (stream.pieces.empty()) {
        const uint8_t* start = file + stream.deflateOffset;
        return std::vector<uint8_t>(start, start + stream.deflateLength);
    }
    std::vector<uint8_t> bytes;
    for (const FilePiece& piece : stream.pieces) {
        bytes.insert(bytes.end(), file + piece.offset, file + piece.offset + piece.length);
    }
    return bytes;
}

FinderResult FindStreams(const uint8_t* data, size_t size, const FinderLimits& limits) {
    FinderResult result;
    const uint64_t failedBudget = limits.failedWorkBase + limits.failedWorkPerByte * size;
    uint64_t failedWork = 0;
    for (size_t offset = 0; offset < size;) {
        if (failedWork > failedBudget) {
            result.stoppedEarly = true;
            break;
        }
        FoundStream found{};
        uint64_t work = 0;
        const Candidate candidate{data, size, offset, limits.maxContentBytes};
        const bool ok = TryAt(candidate, found, work);
        result.work += work;
        if (!ok) {
            failedWork += work;
            ++offset;
            continue;
        }
        result.streams.push_back(found);
        offset += static_cast<size_t>(found.length);
    }
    return result;
}

} // namespace deflatestream
