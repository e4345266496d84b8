// Any input: the decoder never crashes, never writes more than a window at once, keeps its
// first error, and explains every failure. The first byte picks how the rest is fed.
#include "VcdiffDecoder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// 4 KiB of old file: byte i is (i * 7 + (i >> 5)) mod 256 (the seed corpus was made
// against the same bytes).
class FixedSource : public plumbing::Source {
public:
    static constexpr uint64_t kSize = 4096;
    uint64_t Size() const override { return kSize; }
    bool Read(uint64_t offset, void* buffer, size_t length) override {
        if (offset > kSize || length > kSize - offset) {
            __builtin_trap(); // the decoder checked the segment against Size()
        }
        uint8_t* out = static_cast<uint8_t*>(buffer);
        for (size_t i = 0; i < length; ++i) {
            out[i] = static_cast<uint8_t>((offset + i) * 7 + ((offset + i) >> 5));
        }
        return true;
    }
};

// Keeps the output of up to eight largest windows (readable for windows that copy from
// earlier output), then refuses.
class BoundedSink : public plumbing::Sink, public plumbing::Source {
public:
    bool Write(const void* data, size_t length) override {
        if (length == 0 || length > vcdiff::kMaxDecoderWrite) {
            __builtin_trap();
        }
        if (length > kMaxKept - bytes_.size()) {
            return false;
        }
        const uint8_t* in = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), in, in + length);
        return true;
    }
    uint64_t Size() const override { return bytes_.size(); }
    bool Read(uint64_t offset, void* buffer, size_t length) override {
        if (offset > bytes_.size() || length > bytes_.size() - offset) {
            __builtin_trap();
        }
        std::memcpy(buffer, bytes_.data() + offset, length);
        return true;
    }

private:
    static constexpr uint64_t kMaxKept = 8 * vcdiff::DecoderLimits{}.maxTargetWindow;
    std::vector<uint8_t> bytes_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const size_t chunk = data[0] == 0 ? size : data[0];
    ++data;
    --size;

    FixedSource source;
    BoundedSink sink;
    vcdiff::Decoder decoder(&source, sink);
    decoder.SetDecodedTargetReader(&sink);

    bool ok = true;
    for (size_t at = 0; ok && at < size; at += chunk) {
        ok = decoder.Feed(data + at, std::min(chunk, size - at));
    }
    ok = ok && decoder.Finish();

    const vcdiff::Error first = decoder.error();
    if (ok != (first == vcdiff::Error::None) || ok != decoder.message().empty() ||
        decoder.targetBytesWritten() != sink.Size()) {
        __builtin_trap();
    }
    if (!ok && (decoder.Feed(data, size) || decoder.Finish() || decoder.error() != first)) {
        __builtin_trap(); // the first error sticks
    }
    return 0;
}
