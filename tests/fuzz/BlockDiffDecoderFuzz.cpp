// Any input: the block delta decoder never crashes, reads only inside the old file, writes in
// pieces of at most kMaxDecoderWrite bytes, succeeds only with the whole result written, and
// explains every failure. The first byte is the tick that says stop (0: none). A payload
// with the predicted magic is decoded against a small x86 program instead, so that the
// prediction header, the map of covers and the predictor meet the fuzzed bytes.
#include "BlockDecoder.h"
#include "BlockFormat.h"
#include "PredictedFuzzOld.h"

#include <cstdint>
#include <cstring>

namespace {

// 4 KiB of old file: byte i is (i * 13 + (i >> 7)) mod 256 (the seed corpus was made
// against the same bytes, tests/fuzz/make-blockdiff-seeds.sh).
class FixedOld : public plumbing::Source {
public:
    static constexpr uint64_t kSize = 4096;
    uint64_t Size() const override { return kSize; }
    bool Read(uint64_t offset, void* buffer, size_t length) override {
        if (offset > kSize || length > kSize - offset) {
            __builtin_trap(); // the decoder checked the cover against Size()
        }
        uint8_t* out = static_cast<uint8_t*>(buffer);
        for (size_t i = 0; i < length; ++i) {
            out[i] = static_cast<uint8_t>((offset + i) * 13 + ((offset + i) >> 7));
        }
        return true;
    }
};

class BytesIn : public plumbing::Source {
public:
    BytesIn(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, void* buffer, size_t length) override {
        if (offset > size_ || length > size_ - offset) {
            __builtin_trap(); // the decoder checked the length against Size()
        }
        std::memcpy(buffer, data_ + offset, length);
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
};

class CountingSink : public plumbing::Sink {
public:
    bool Write(const void*, size_t length) override {
        if (length == 0 || length > blockdiff::kMaxDecoderWrite) {
            __builtin_trap();
        }
        written += length;
        return true;
    }
    uint64_t written = 0;
};

uint64_t StatedResult(const uint8_t* data, size_t size) {
    uint64_t value = 0;
    for (size_t i = 8; i > 0 && size >= blockdiff::format::kPayloadHeaderBytes; --i) {
        value = (value << 8) | data[3 + i];
    }
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const unsigned stopAt = data[0];
    ++data;
    --size;

    FixedOld patterned;
    const std::vector<uint8_t>& program = PredictedFuzzOld();
    BytesIn image(program.data(), program.size());
    const bool predicted = size >= sizeof blockdiff::format::kPredictedMagic &&
                           std::memcmp(data, blockdiff::format::kPredictedMagic,
                                       sizeof blockdiff::format::kPredictedMagic) == 0;
    plumbing::Source& old = predicted ? static_cast<plumbing::Source&>(image) : patterned;
    BytesIn payload(data, size);
    CountingSink sink;
    unsigned ticks = 0;
    const plumbing::Tick tick = [&] { return stopAt == 0 || ++ticks < stopAt; };
    blockdiff::Failure failure;
    const bool ok = blockdiff::Decode(payload, &old, sink, tick, failure);

    if (ok != (failure.error == blockdiff::Error::None) || ok != failure.Message().empty()) {
        __builtin_trap();
    }
    if (ok && sink.written != StatedResult(data, size)) {
        __builtin_trap();
    }
    return 0;
}
