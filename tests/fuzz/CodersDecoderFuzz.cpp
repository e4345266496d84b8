// Any input: the decoders never crash, never write beyond the stated size, give the same
// result every time, and stop only when the tick asks them to. A stored stream decodes
// exactly when its size is the stated one.
//
// Layout: the coder's value (one byte, any value), the stated size (three bytes, little
// endian, cut to 256 KiB: several pieces), the number of ticks after which the tick says
// stop (one byte, 0: never), then the stream.
#include "StreamCoder.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kHeaderSize = 5;
constexpr size_t kMaxStatedSize = 256u << 10;

struct Outcome {
    coders::DecodeResult result;
    std::vector<uint8_t>& output;
    size_t ticks = 0;
};

// The three decodings of an input each write into a buffer of their own, kept from run to
// run: fresh ones of up to 256 KiB, zeroed page by page, took most of the fuzzer's time.
std::vector<uint8_t>& Buffer(size_t which, size_t size) {
    static std::vector<uint8_t> buffers[3];
    buffers[which].assign(size, 0);
    return buffers[which];
}

Outcome Run(coders::Coder coder, const uint8_t* stream, size_t size, size_t statedSize,
            size_t stopAfter, size_t buffer) {
    Outcome outcome{coders::DecodeResult::Ok, Buffer(buffer, statedSize)};
    outcome.result = coders::Decode(coder, stream, size, outcome.output.data(), statedSize,
                                    [&] { return ++outcome.ticks != stopAfter; });
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHeaderSize) {
        return 0;
    }
    const auto coder = static_cast<coders::Coder>(data[0]);
    const size_t statedSize = (data[1] | data[2] << 8 | data[3] << 16) % (kMaxStatedSize + 1);
    const size_t stopAfter = data[4];
    const uint8_t* stream = data + kHeaderSize;
    const size_t streamSize = size - kHeaderSize;

    const Outcome whole = Run(coder, stream, streamSize, statedSize, 0, 0);
    if (whole.result == coders::DecodeResult::Stopped) {
        __builtin_trap(); // the tick never said stop
    }
    if (!coders::IsCoder(data[0]) && whole.result != coders::DecodeResult::Corrupt) {
        __builtin_trap();
    }
    if (coder == coders::Coder::Store) {
        const bool exact = streamSize == statedSize;
        if ((whole.result == coders::DecodeResult::Ok) != exact ||
            (exact && statedSize != 0 && std::memcmp(whole.output.data(), stream, statedSize))) {
            __builtin_trap();
        }
    }

    const Outcome again = Run(coder, stream, streamSize, statedSize, 0, 1);
    if (again.result != whole.result || again.ticks != whole.ticks ||
        (whole.result == coders::DecodeResult::Ok && again.output != whole.output)) {
        __builtin_trap(); // decoding depends on nothing but its input
    }

    if (stopAfter != 0) {
        const Outcome stopped = Run(coder, stream, streamSize, statedSize, stopAfter, 2);
        const bool stopsInTime = stopAfter <= whole.ticks;
        if (stopped.result != (stopsInTime ? coders::DecodeResult::Stopped : whole.result) ||
            stopped.ticks != (stopsInTime ? stopAfter : whole.ticks)) {
            __builtin_trap(); // a tick that says stop stops at once, and only then
        }
    }
    return 0;
}
