#pragma once
#include "PatchFormat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace patchfile::testing {

// Builds patch files by hand, so that tests can plant one fault at a time.
struct AssembledEntry {
    PatchEntry entry;
    std::vector<uint8_t> payload; // stored as is; its size and CRC-32 are filled in
};

std::vector<uint8_t> Deflate(const std::string& data);

// The whole patch file: header, directory and payloads.
std::vector<uint8_t> AssemblePatch(const Locator& locator, std::vector<AssembledEntry> entries);

// Where entry `index`'s fixed fields start, for raw edits.
size_t EntryOffset(const std::vector<uint8_t>& patch, size_t index);
// Recomputes the directory checksum after a raw edit.
void RefreshChecksum(std::vector<uint8_t>& patch);

void PutLittle(std::vector<uint8_t>& bytes, size_t offset, uint64_t value, size_t length);
uint64_t GetLittle(const std::vector<uint8_t>& bytes, size_t offset, size_t length);

} // namespace patchfile::testing
