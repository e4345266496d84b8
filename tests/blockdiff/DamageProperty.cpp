// A damaged payload either fails or gives exactly the new file, never wrong output.
#include "BlockTestIo.h"
#include "Shapes.h"

#include <gtest/gtest.h>

namespace blockdiff::test {
namespace {

struct Pair {
    Bytes old;
    Bytes next;
    Bytes payload;
};

// Streams of every kind and coder: moved bytes with changes, new bytes, both forms over the
// whole run of seeds.
const Pair& Encoded() {
    static const Pair pair = [] {
        Pair p;
        p.old = vcdiff::test::StructuredBytes(20000, 21);
        p.next = vcdiff::test::ScatterEdits(p.old, 30, 22);
        for (size_t at = 100; at + 4 < p.next.size(); at += 37) {
            p.next[at] = static_cast<uint8_t>(p.next[at] + 3);
        }
        p.payload = EncodePayload(&p.old, p.next);
        return p;
    }();
    return pair;
}

TEST(DamageProperty, FlippedBytesNeverGiveWrongOutput) {
    const Pair& pair = Encoded();
    size_t failed = 0;
    const size_t rounds = 2000;
    for (uint64_t seed = 0; seed < rounds; ++seed) {
        Random random(seed);
        Bytes payload = pair.payload;
        random.FlipBytes(payload);
        const Decoded result = DecodePayload(payload, &pair.old);
        if (result.error != Error::None) {
            ++failed;
            // Only whole blocks that matched their CRC-32 (a flip in the result size lets
            // the one block through, then finds no second).
            ASSERT_TRUE(result.output.empty() || result.output == pair.next) << "seed " << seed;
            continue;
        }
        ASSERT_TRUE(result.output == pair.next) << "seed " << seed;
    }
    // Nearly every flip is caught; one in a field that does not matter (an unused bit of a
    // coder's header) is harmless.
    EXPECT_GT(failed, rounds * 9 / 10);
}

TEST(DamageProperty, EveryCutPayloadFails) {
    const Pair& pair = Encoded();
    for (size_t length = 0; length < pair.payload.size(); length += 1 + length / 50) {
        const Bytes cut(pair.payload.begin(), pair.payload.begin() + length);
        const Decoded result = DecodePayload(cut, &pair.old);
        ASSERT_NE(result.error, Error::None) << "cut at " << length;
        ASSERT_TRUE(result.output.empty()) << "cut at " << length;
    }
}

} // namespace
} // namespace blockdiff::test
