#include "ImageReferences.h"

#include "ElfFormat.h"
#include "ElfImage.h"
#include "ImageBytes.h"
#include "PeFormat.h"
#include "PeImage.h"
#include "ReferenceCollector.h"
#include "UnwindTables.h"

#include <exception>

namespace x86image {

namespace {

bool ParseKnownFormat(ImageBytes& bytes, ImageReferences& out, std::string& why,
                      ReferenceCollector& found) {
    if (bytes.Size() > kMaxImageSize) {
        why = "image larger than the cap";
        return false;
    }
    uint16_t dosMagic = 0;
    uint32_t elfMagic = 0;
    bool ok = false;
    if (bytes.U32(0, elfMagic) && elfMagic == elf::kMagic) {
        ok = ParseElf(bytes, out.layout, found, why);
    } else if (bytes.U16(0, dosMagic) && dosMagic == pe::kDosMagic) {
        ok = ParsePe32(bytes, out.layout, found, why);
    } else {
        why = "neither a PE nor an ELF image";
    }
    if (ok) {
        ListUnwindFields(bytes, out.layout, found);
    }
    // Lists cut short by a failed read or a stop are no result.
    return ok && bytes.state() == ImageBytes::State::Reading && found.Finish(out);
}

// The reads' end overrides what the walks made of it: a walk sees a failed read as the end of
// its table, or as a field missing from a damaged one.
ParseResult ResultOf(bool parsed, const ImageBytes& bytes, std::string& why) {
    switch (bytes.state()) {
    case ImageBytes::State::Reading:
        return parsed ? ParseResult::Parsed : ParseResult::Refused;
    case ImageBytes::State::ReadFailed:
        why = "the image could not be read";
        return ParseResult::ReadFailed;
    case ImageBytes::State::Stopped:
        why = "stopped";
        return ParseResult::Stopped;
    case ImageBytes::State::ReadTooOften:
        why = "the image's tables make it read more often than the cap";
        return ParseResult::Refused;
    }
    return ParseResult::Refused;
}

} // namespace

ParseResult ParseImage(plumbing::Source& image, ImageReferences& out, std::string& why,
                       const std::function<bool()>& pause) {
    out = ImageReferences{};
    why.clear();
    ParseResult result = ParseResult::Refused;
    try {
        ParsePacer pacer(pause);
        ImageBytes bytes(image, pacer);
        ReferenceCollector found(bytes.Size(), pacer);
        const bool parsed = ParseKnownFormat(bytes, out, why, found);
        result = ResultOf(parsed, bytes, why);
    } catch (const std::exception&) {
        // Only allocation can throw here, and every size is capped: a machine short of memory.
        why = "out of memory";
        result = ParseResult::OutOfMemory;
    }
    if (result != ParseResult::Parsed) {
        out = ImageReferences{};
    }
    return result;
}

} // namespace x86image
