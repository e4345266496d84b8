#pragma once
// Valid sample images with the address fields each holds, worked out from where the writer
// put its parts: the starting point that the tests damage one fault at a time.
#include "ImageReferences.h"
#include "ImageWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace x86image::test {

// Bytes in memory. The reader promises to ask only for ranges inside Size(); a read outside
// is refused and remembered, for the tests to check.
class MemorySource : public plumbing::Source {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit MemorySource(const Bytes& bytes) : MemorySource(bytes.data(), bytes.size()) {}
    uint64_t Size() const override { return size_; }
    bool Read(uint64_t offset, void* out, size_t length) override;

    bool readOutside = false;

private:
    const uint8_t* data_;
    size_t size_;
};

struct Sample {
    std::string name;
    Bytes bytes;
    ImageKind kind;
    std::vector<Section> sections;
    std::vector<uint32_t> absolute;
    std::vector<uint32_t> relativeToBase;
    // Parts the damage tests aim at.
    uint64_t fileHeader = 0, optionalHeader = 0; // PE
    uint64_t sectionTable = 0;                   // PE section table, ELF section headers
    uint64_t programHeaderTable = 0;             // ELF
    std::vector<uint64_t> sectionOffsets;
};

// PE32 with .text, .rdata (exports, imports), .data (import address table) and .reloc.
Sample SamplePe();
// PE32 whose relocations were stripped: .text and .data with pointers among other words.
Sample SampleStrippedPe();
// ELF32 i386: .text, .data, .got.plt, .rel.dyn, .dynsym, .bss and .symtab.
Sample SampleElf32();
// ELF64 x86-64: .text, .data and .bss.
Sample SampleElf64();
// The ELF64 sample without section headers: its layout comes from the program headers.
Sample SampleElf64WithoutSections();

std::vector<Sample> AllSamples();

// Where the writer put the PE section `index`'s byte `offset`, as a field offset.
uint32_t At(const Sample& sample, size_t index, uint64_t offset);

} // namespace x86image::test
