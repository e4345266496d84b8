// The collector sorts what the parsers found in any order, keeps fields apart, and pauses for
// its caller while it works through many of them.
#include "ReferenceCollector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace x86image {
namespace {

TEST(ReferenceCollector, SortsFieldsApartAndPausesOnTheWay) {
    constexpr uint64_t kFileSize = 200u << 20;
    std::mt19937 random(4);
    std::vector<uint32_t> offsets(3 * ReferenceCollector::kFieldsBetweenCalls);
    for (uint32_t& offset : offsets)
        offset = random() % (kFileSize - 3);
    size_t pauses = 0;
    ParsePacer pacer([&pauses] {
        ++pauses;
        return true;
    });
    ReferenceCollector found(kFileSize, pacer);
    for (uint32_t offset : offsets)
        ASSERT_TRUE(found.AddAbsolute(offset));
    EXPECT_EQ(pauses, 3u);
    ImageReferences out;
    ASSERT_TRUE(found.Finish(out));
    EXPECT_GE(pauses, 4u);

    std::sort(offsets.begin(), offsets.end());
    std::vector<uint32_t> apart;
    for (uint32_t offset : offsets)
        if (apart.empty() || offset - apart.back() >= 4)
            apart.push_back(offset);
    EXPECT_EQ(out.absolute, apart);
}

} // namespace
} // namespace x86image
