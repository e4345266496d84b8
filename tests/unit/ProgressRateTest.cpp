// The rate and time left the builder's bar shows, from the work done, the total and the time.
#include "ProgressRate.h"

#include <gtest/gtest.h>

namespace mkpatch {
namespace {

struct Case {
    const char* name;
    uint64_t done;
    uint64_t total;
    double seconds;
    const char* shown;
};

const Case kCases[] = {
    {"NothingDoneYet", 0, 1000, 5.0, ""},
    {"TooSoonToTell", 500, 1000, 0.1, ""},
    {"HalfDone", 50000000, 100000000, 10.0, "5.0 MB/s, 0:10 left"},
    {"MinutesLeft", 1000000, 100000000, 1.0, "1.0 MB/s, 1:39 left"},
    {"RoundedToTheSecond", 3000000, 4000000, 3.0, "1.0 MB/s, 0:01 left"},
    {"AllDone", 8000000, 8000000, 4.0, "2.0 MB/s, 0:00 left"},
    {"MoreThanTheTotal", 9000000, 8000000, 3.0, "3.0 MB/s, 0:00 left"},
};

class ShownRate : public ::testing::TestWithParam<Case> {};

TEST_P(ShownRate, SaysTheRateAndTheTimeLeft) {
    const Case& c = GetParam();
    EXPECT_EQ(RateAndTimeLeft(c.done, c.total, c.seconds), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShownRate, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace mkpatch
