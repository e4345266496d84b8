// A damaged delta either fails or gives exactly the right output, never wrong output.
// This holds for deltas with the per-window Adler-32: without it a changed ADD byte is
// simply different data, and the decoder cannot know.
#include "Shapes.h"
#include "TestIo.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vcdiff::test {
namespace {

struct Damaged {
    Bytes before;
    Bytes after;
    Bytes delta;
};

Damaged Checksummed() {
    Damaged d;
    d.before = StructuredBytes(20000, 21);
    d.after = ScatterEdits(d.before, 40, 22);
    EncoderOptions options;
    options.targetWindow = 6000; // several windows
    d.delta = Encode(&d.before, d.after, options);
    return d;
}

bool IsPrefix(const Bytes& prefix, const Bytes& whole) {
    return prefix.size() <= whole.size() && std::equal(prefix.begin(), prefix.end(), whole.begin());
}

TEST(DamageProperty, FlippedBytesNeverGiveWrongOutput) {
    const Damaged d = Checksummed();
    MemorySource source(d.before);
    size_t failed = 0;
    const size_t rounds = 3000;
    for (uint64_t seed = 0; seed < rounds; ++seed) {
        Random random(seed);
        Bytes delta = d.delta;
        random.FlipBytes(delta);
        const Decoded result = Decode(delta, &source, 1 + random.Below(700));
        if (result.error != Error::None) {
            ++failed;
            continue;
        }
        ASSERT_TRUE(result.output == d.after) << "seed " << seed;
    }
    // Nearly every flip is caught (a flip in an unused bit of the same cache could be harmless).
    EXPECT_GT(failed, rounds * 9 / 10);
}

// A cut between windows cannot be seen in VCDIFF: the complete windows decode, which the
// caller tells apart by the length; anywhere else the cut is reported.
TEST(DamageProperty, TruncatedDeltasFailOrGiveWholeWindows) {
    const Damaged d = Checksummed();
    MemorySource source(d.before);
    for (uint64_t seed = 0; seed < 500; ++seed) {
        Random random(seed);
        const Bytes delta(d.delta.begin(), d.delta.begin() + random.Below(d.delta.size()));
        const Decoded result = Decode(delta, &source, 1 + random.Below(300));
        if (result.error == Error::None) {
            ASSERT_TRUE(IsPrefix(result.output, d.after)) << "seed " << seed;
            ASSERT_EQ(result.output.size() % 6000, 0u) << "seed " << seed;
        } else {
            ASSERT_EQ(result.error, Error::Truncated) << "seed " << seed;
        }
    }
}

} // namespace
} // namespace vcdiff::test
