#pragma once
#include "ImageLayout.h"

#include <cstdint>
#include <vector>

namespace x86image {

// The layout's sections ordered by address, for walks that look up millions of addresses:
// each lookup is a binary search rather than a scan of every section. Answers as the
// layout's own lookups do.
class AddressIndex {
public:
    explicit AddressIndex(const ImageLayout& layout);

    bool FileOffsetOf(uint64_t address, uint64_t& fileOffset) const;
    bool FileOffsetOfField(uint64_t address, uint64_t width, uint64_t& fileOffset) const;
    bool FileSpanAt(uint64_t address, uint64_t& fileOffset, uint64_t& available) const;

private:
    std::vector<Section> byAddress_;
};

} // namespace x86image
