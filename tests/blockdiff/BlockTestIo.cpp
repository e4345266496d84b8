#include "BlockTestIo.h"

#include <gtest/gtest.h>

namespace blockdiff::test {

Decoded DecodePayload(const Bytes& payload, const Bytes* old, const DecodeSetup& setup) {
    MemorySource payloadIn(payload);
    FailingSource failingPayload(payload.size());
    MemorySource oldIn(old ? *old : Bytes());
    FailingSource failingOld(old ? old->size() : 0);
    MemorySink sink;
    sink.refuseAfter = setup.refuseWritesAfter;
    Decoded result;
    const plumbing::Tick tick = [&] { return ++result.ticks <= setup.stopAfterTicks; };
    plumbing::Source* oldSource =
        setup.oldReadFails ? static_cast<plumbing::Source*>(&failingOld) : (old ? &oldIn : nullptr);
    plumbing::Source& payloadSource =
        setup.payloadReadFails ? static_cast<plumbing::Source&>(failingPayload) : payloadIn;
    Failure failure;
    const bool ok = Decode(payloadSource, oldSource, sink, tick, failure);
    EXPECT_EQ(ok, failure.error == Error::None);
    EXPECT_EQ(ok, failure.Message().empty());
    result.error = failure.error;
    result.message = failure.Message();
    result.output = std::move(sink.bytes);
    result.writes = std::move(sink.writes);
    return result;
}

Bytes EncodePayload(const Bytes* old, const Bytes& newBytes, const EncoderOptions& options,
                    EncodeReport* report) {
    MemorySource oldIn(old ? *old : Bytes());
    MemorySource newIn(newBytes);
    MemorySink payload;
    Failure failure;
    EXPECT_TRUE(Encode(old ? &oldIn : nullptr, newIn, payload, options, {}, report, failure))
        << failure.Message();
    return payload.bytes;
}

} // namespace blockdiff::test
