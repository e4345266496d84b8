// The test program's own file: a real image from the toolchain that built it. Its layout must
// place the code of a function of this file in an executable section.
#include "AddressTranslator.h"
#include "ImageReferences.h"
#include "Invariants.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__linux__)
#include <link.h>
#endif

namespace x86image::test {
namespace {

class FileSource : public plumbing::Source {
public:
    explicit FileSource(const std::string& path) : file_(path, std::ios::binary) {
        file_.seekg(0, std::ios::end);
        size_ = file_ ? static_cast<uint64_t>(file_.tellg()) : 0;
    }
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, void* out, size_t length) override {
        file_.seekg(static_cast<std::streamoff>(offset));
        file_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(length));
        return static_cast<size_t>(file_.gcount()) == length;
    }

private:
    std::ifstream file_;
    uint64_t size_ = 0;
};

int SomeFunctionOfThisFile(int value) {
    return value * 3 + 1;
}

struct OwnImage {
    std::string path;
    uint64_t functionAddress = 0; // as the layout addresses it
    ImageKind kind = ImageKind::Pe32;
};

#if defined(_WIN32)
OwnImage FindOwnImage() {
    OwnImage own;
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    own.path = path;
    const uintptr_t base = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
    own.functionAddress = reinterpret_cast<uintptr_t>(&SomeFunctionOfThisFile) - base;
    own.kind = sizeof(void*) == 4 ? ImageKind::Pe32 : ImageKind::Elf64X86;
    return own;
}
#elif defined(__linux__)
int FirstObjectBias(struct dl_phdr_info* info, size_t, void* bias) {
    *static_cast<uintptr_t*>(bias) = info->dlpi_addr; // the program comes first
    return 1;
}

OwnImage FindOwnImage() {
    OwnImage own;
    own.path = "/proc/self/exe";
    uintptr_t bias = 0;
    dl_iterate_phdr(FirstObjectBias, &bias);
    own.functionAddress = reinterpret_cast<uintptr_t>(&SomeFunctionOfThisFile) - bias;
    own.kind = sizeof(void*) == 8 ? ImageKind::Elf64X86 : ImageKind::Elf32X86;
    return own;
}
#endif

TEST(RealImageTest, OwnFunctionLiesInAnExecutableSection) {
#if !defined(_WIN32) && !defined(__linux__)
    GTEST_SKIP() << "no way to find this program's file here";
#else
    ASSERT_EQ(SomeFunctionOfThisFile(2), 7);
    const OwnImage own = FindOwnImage();
#if defined(_WIN32)
    if (sizeof(void*) == 8) {
        GTEST_SKIP() << "64-bit Windows images are not read";
    }
#endif
    FileSource source(own.path);
    ASSERT_GT(source.Size(), 0u) << own.path;
    ImageReferences found;
    std::string why;
    if (source.Size() > kMaxImageSize) {
        GTEST_SKIP() << "this build's program is larger than the cap";
    }
    ASSERT_EQ(ParseImage(source, found, why), ParseResult::Parsed) << why;
    EXPECT_EQ(found.layout.kind, own.kind);
    EXPECT_EQ(BrokenPromise(found, source.Size()), "");
    uint64_t fileOffset = 0;
    const AddressTranslator translator(found.layout);
    ASSERT_TRUE(translator.FileOffsetOf(own.functionAddress, fileOffset));
    EXPECT_TRUE(translator.IsExecutable(fileOffset));
    if (own.kind != ImageKind::Elf64X86) {
        // Relocations or symbols of a 32-bit image name many address fields.
        EXPECT_GT(found.absolute.size(), 100u);
    }
#endif
}

} // namespace
} // namespace x86image::test
