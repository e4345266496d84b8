// The encoder reports each failure of its inputs, its output or its caller as its own error.
#include "BlockTestIo.h"
#include "Shapes.h"

#include <gtest/gtest.h>

namespace blockdiff::test {
namespace {

struct EncoderFault {
    const char* name;
    bool oldUnreadable;
    bool newUnreadable;
    size_t writesAccepted;
    bool progressStops;
    Error expected;
};

const EncoderFault kEncoderFaults[] = {
    {"OldFileUnreadable", true, false, SIZE_MAX, false, Error::SourceReadFailed},
    {"NewFileUnreadable", false, true, SIZE_MAX, false, Error::SourceReadFailed},
    {"PayloadRefusedAtOnce", false, false, 0, false, Error::SinkRefused},
    {"PayloadRefusedAfterTheHeader", false, false, 1, false, Error::SinkRefused},
    {"ProgressSaysStop", false, false, SIZE_MAX, true, Error::Stopped},
};

class EncoderFailure : public ::testing::TestWithParam<EncoderFault> {};

TEST_P(EncoderFailure, ReportsItsError) {
    const EncoderFault& fault = GetParam();
    const Bytes old = vcdiff::test::StructuredBytes(30000, 5);
    const Bytes next = vcdiff::test::ScatterEdits(old, 20, 6);
    MemorySource oldIn(old);
    MemorySource newIn(next);
    FailingSource failingOld(old.size());
    FailingSource failingNew(next.size());
    MemorySink payload;
    payload.refuseAfter = fault.writesAccepted;
    const EncodeProgress progress = [&](uint64_t, uint64_t) { return !fault.progressStops; };
    Failure failure;
    const bool ok =
        Encode(fault.oldUnreadable ? static_cast<plumbing::Source*>(&failingOld) : &oldIn,
               fault.newUnreadable ? static_cast<plumbing::Source&>(failingNew) : newIn, payload,
               {}, progress, nullptr, failure);
    EXPECT_FALSE(ok);
    EXPECT_EQ(failure.error, fault.expected) << failure.Message();
    EXPECT_FALSE(failure.Message().empty());
}

INSTANTIATE_TEST_SUITE_P(Faults, EncoderFailure, ::testing::ValuesIn(kEncoderFaults),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace blockdiff::test
