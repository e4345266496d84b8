// Any input: the decoder never crashes, never writes more than a window at once, keeps its
// first error, and explains every failure. The first byte picks how the rest is fed.
#include "PatternedOld.h"
#include "VcdiffDecoder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

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

    fuzz::PatternedOld source(7, 5); // the pattern the seed corpus was made against
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
