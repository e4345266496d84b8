// The sampled strings of an old file far larger than their table: every part of the file, the
// first as well as the last, must keep enough samples to be chosen for a slice copied from it.
#include "SampledStrings.h"
#include "MemorySource.h"
#include "OldParts.h"
#include "TestIo.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace blockdiff {
namespace {

using vcdiff::test::Bytes;
using vcdiff::test::Random;

constexpr size_t kPart = SampledStrings::kPartBytes;

struct Table {
    const char* name;
    size_t oldSize;
    // The table's largest size: the smaller, the more samples of the file compete for a bucket.
    unsigned bucketBits;
};

const Table kTables[] = {
    {"FitsAtTheFinestStep", 2 * kPart, 18},
    {"SixteenSamplesPerBucket", 8 * kPart, 16},
    {"TwoHundredFiftySixPerBucket", 8 * kPart, 12},
    {"HalfLastPart", 5 * kPart + kPart / 2, 12},
};

void PrintTo(const Table& table, std::ostream* out) {
    *out << table.name;
}

class Sampled : public ::testing::TestWithParam<Table> {};

// A slice that is part p of the old file, less its first and last KiB, so that the strings
// the slice looks up start at every alignment of the samples.
TEST_P(Sampled, EveryPartWinsTheVoteOfItsOwnBytes) {
    const Table& table = GetParam();
    const Bytes old = Random(61).Fill(table.oldSize);
    plumbing::MemorySource source(old.data(), old.size());
    SampledStrings samples(table.bucketBits);
    ASSERT_TRUE(samples.Build(source));
    ASSERT_EQ(samples.PartCount(), (table.oldSize + kPart - 1) / kPart);

    for (size_t part = 0; part < samples.PartCount(); ++part) {
        const size_t begin = part * kPart + 1024;
        const size_t end = std::min(table.oldSize, (part + 1) * kPart) - 1024;
        std::vector<uint32_t> votes(samples.PartCount());
        samples.Vote(old.data() + begin, end - begin, votes);
        const auto winner = std::max_element(votes.begin(), votes.end()) - votes.begin();
        EXPECT_EQ(static_cast<size_t>(winner), part) << "part " << part;
        EXPECT_GE(votes[part], kMinVotes) << "part " << part;
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, Sampled, ::testing::ValuesIn(kTables),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace blockdiff
