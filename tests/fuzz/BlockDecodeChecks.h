#pragma once
// The block decoder's fuzz targets share this: one decode of fuzzed bytes against an old
// file, disturbed as the input's first byte says, and every promise the decoder makes
// checked, each broken one a trap.
//
// The decoder never crashes, reads only inside the old file and the payload, writes in pieces
// of at most kMaxDecoderWrite bytes, succeeds only with the whole result written, and explains
// every failure. The old bytes it reads stay within the cache's budget for the bytes it
// writes (and the image reader's for a predicted payload's old image), whatever the covers
// say. The first byte says how the decode is disturbed: below 0x80 the tick that says stop
// (0: none), after which the decoder reads at most a tick's work of the old file; from 0x80
// the old file's read (its low bits, from 0) from which every read fails, after which the
// decoder reads nothing more and fails as SourceReadFailed.
#include "BlockDecoder.h"
#include "BlockFormat.h"
#include "CachedReader.h"
#include "ImageBytes.h"
#include "WorkPacer.h"

#include <cstdint>
#include <cstring>

namespace fuzz {

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

// Counts the bytes read of the old file, those read after the caller's stop, and fails every
// read from `failFrom` on.
class DisturbedOld : public plumbing::Source {
public:
    DisturbedOld(plumbing::Source& inner, uint64_t failFrom) : inner_(inner), failFrom_(failFrom) {}
    uint64_t Size() const override { return inner_.Size(); }
    bool Read(uint64_t offset, void* buffer, size_t length) override {
        if (failed) {
            __builtin_trap(); // a failed read is final
        }
        bytes += length;
        if (stopped) {
            bytesAfterStop += length;
        }
        if (reads++ >= failFrom_) {
            failed = true;
            return false;
        }
        return inner_.Read(offset, buffer, length);
    }

    uint64_t reads = 0;
    uint64_t bytes = 0;
    uint64_t bytesAfterStop = 0;
    bool stopped = false;
    bool failed = false;

private:
    plumbing::Source& inner_;
    uint64_t failFrom_;
};

// The most old bytes a decode that wrote `written` bytes may have read: the cache's budget
// for them and for the block that failed, if one did, and the image reader's for the image.
inline uint64_t ReadBudget(uint64_t written, bool ok, bool predicted, uint64_t oldSize) {
    using plumbing::CachedReader;
    const uint64_t delivered = written + (ok ? 0 : blockdiff::format::kMaxBlockOutput);
    const uint64_t parse =
        predicted ? x86image::ImageBytes::kLoadsPerByte * oldSize +
                        x86image::ImageBytes::kWindows * x86image::ImageBytes::kWindowBytes
                  : 0;
    return CachedReader::kLoadFactor * delivered + CachedReader::kFreeLoad + parse;
}

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

inline uint64_t StatedResult(const uint8_t* data, size_t size) {
    uint64_t value = 0;
    for (size_t i = 8; i > 0 && size >= blockdiff::format::kPayloadHeaderBytes; --i) {
        value = (value << 8) | data[3 + i];
    }
    return value;
}

// Decodes the `size` bytes at `payloadBytes` against `oldFile` as `control` (the input's first
// byte) says, and checks the decoder's promises.
inline void DecodeChecked(uint8_t control, const uint8_t* payloadBytes, size_t size,
                          plumbing::Source& oldFile) {
    const unsigned stopAt = control < 0x80 ? control : 0;
    const uint64_t failFrom = control < 0x80 ? UINT64_MAX : control & 0x7F;
    const bool predicted = size >= sizeof blockdiff::format::kPredictedMagic &&
                           std::memcmp(payloadBytes, blockdiff::format::kPredictedMagic,
                                       sizeof blockdiff::format::kPredictedMagic) == 0;
    DisturbedOld old(oldFile, failFrom);
    BytesIn payload(payloadBytes, size);
    CountingSink sink;
    unsigned ticks = 0;
    const plumbing::Tick tick = [&] {
        old.stopped = old.stopped || (stopAt != 0 && ++ticks >= stopAt);
        return !old.stopped;
    };
    blockdiff::Failure failure;
    const bool ok = blockdiff::Decode(payload, &old, sink, tick, failure);

    if (ok != (failure.error == blockdiff::Error::None) || ok != failure.Message().empty()) {
        __builtin_trap();
    }
    if (ok && sink.written != StatedResult(payloadBytes, size)) {
        __builtin_trap();
    }
    if (old.bytes > ReadBudget(sink.written, ok, predicted, old.Size())) {
        __builtin_trap(); // a storm of old-file reads
    }
    if (old.failed && failure.error != blockdiff::Error::SourceReadFailed) {
        __builtin_trap(); // the read error is the first cause; nothing may hide it
    }
    if (old.bytesAfterStop >
        blockdiff::WorkPacer::kTickBytes + plumbing::CachedReader::kBlockSize) {
        __builtin_trap(); // the stop was not honoured within a tick's work
    }
}

} // namespace fuzz
