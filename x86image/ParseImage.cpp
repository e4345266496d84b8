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
                      const std::function<void()>& between) {
    if (bytes.Size() > kMaxImageSize) {
        why = "image larger than the cap";
        return false;
    }
    ReferenceCollector found(bytes.Size(), between);
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
        found.Finish(out);
    }
    return ok;
}

} // namespace

bool ParseImage(plumbing::Source& image, ImageReferences& out, std::string& why,
                const std::function<void()>& between) {
    out = ImageReferences{};
    why.clear();
    bool ok = false;
    try {
        ImageBytes bytes(image);
        ok = ParseKnownFormat(bytes, out, why, between);
    } catch (const std::exception&) {
        // Only allocation can throw here, and every size is capped: a machine short of memory.
        why = "out of memory";
        ok = false;
    }
    if (!ok) {
        out = ImageReferences{};
    }
    return ok;
}

} // namespace x86image
