#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace x86image {

enum class ImageKind : uint8_t { Pe32 = 1, Elf32X86 = 2, Elf64X86 = 3 };

// A run of file bytes that the image maps at `address` (the RVA for PE, the virtual address
// for ELF). `size` counts only the bytes present in the file.
struct Section {
    uint64_t fileOffset;
    uint64_t address;
    uint64_t size;
    bool executable;
};

// Where the image's file bytes sit in its address space. The sections are sorted by file
// offset, never empty, and overlap neither in the file nor in the address space, so that
// every file offset and every address has at most one counterpart.
struct ImageLayout {
    ImageKind kind = ImageKind::Pe32;
    uint64_t imageBase = 0; // PE ImageBase; 0 for ELF
    std::vector<Section> sections;
    // Offsets and addresses are translated by AddressTranslator.
};

constexpr size_t kMaxSections = 96;

// Collects the sections a format's headers describe, clipped to the file, and turns them
// into a layout that keeps the invariants above.
class SectionList {
public:
    // `fileSize` clips the sections; `lastAddress` is the highest address the format can
    // express (a section reaching past it is dropped).
    SectionList(uint64_t fileSize, uint64_t lastAddress);

    void Add(uint64_t fileOffset, uint64_t address, uint64_t size, bool executable);
    bool Empty() const { return seen_ == 0; }
    // False (and `why` says so) when there are too many sections or none at all.
    bool Finish(ImageLayout& layout, std::string& why);

private:
    uint64_t fileSize_;
    uint64_t lastAddress_;
    size_t seen_ = 0;
    std::vector<Section> sections_;
};

} // namespace x86image
