#include "AddressIndex.h"

#include <algorithm>

namespace x86image {

AddressIndex::AddressIndex(const ImageLayout& layout) : byAddress_(layout.sections) {
    std::sort(byAddress_.begin(), byAddress_.end(),
              [](const Section& a, const Section& b) { return a.address < b.address; });
}

bool AddressIndex::FileSpanAt(uint64_t address, uint64_t& fileOffset, uint64_t& available) const {
    auto after = std::upper_bound(byAddress_.begin(), byAddress_.end(), address,
                                  [](uint64_t at, const Section& s) { return at < s.address; });
    return after != byAddress_.begin() &&
           SpanInSection(*(after - 1), address, fileOffset, available);
}

bool AddressIndex::FileOffsetOf(uint64_t address, uint64_t& fileOffset) const {
    uint64_t available = 0;
    return FileSpanAt(address, fileOffset, available);
}

bool AddressIndex::FileOffsetOfField(uint64_t address, uint64_t width, uint64_t& fileOffset) const {
    uint64_t available = 0;
    return FileSpanAt(address, fileOffset, available) && width <= available;
}

} // namespace x86image
