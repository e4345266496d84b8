// Any input: the image reader never crashes, reads only inside the image, explains every
// refusal, keeps the promises of every successful parse (tests/x86image/Invariants.h) and
// gives the same result when run again on the same bytes.
#include "ImageReferences.h"
#include "Invariants.h"

#include <cstdint>
#include <cstring>

namespace {

class BytesIn : public x86image::ByteSource {
public:
    BytesIn(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, uint8_t* out, size_t length) override {
        if (offset > size_ || length > size_ - offset) {
            __builtin_trap(); // the reader checked the range against Size()
        }
        std::memcpy(out, data_ + offset, length);
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BytesIn image(data, size);
    x86image::ImageReferences first, second;
    std::string why, whyAgain;
    const bool parsed = x86image::ParseImage(image, first, why);
    if (parsed != why.empty()) {
        __builtin_trap();
    }
    if (parsed && !x86image::test::BrokenPromise(first, size).empty()) {
        __builtin_trap();
    }
    if (x86image::ParseImage(image, second, whyAgain) != parsed || why != whyAgain ||
        first.absolute != second.absolute || first.relativeToBase != second.relativeToBase ||
        first.layout.sections.size() != second.layout.sections.size()) {
        __builtin_trap();
    }
    return 0;
}
