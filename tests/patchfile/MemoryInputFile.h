#pragma once
#include "FileSystem.h"

#include <cstring>
#include <vector>

namespace patchfile {

// A patch file held in memory, for tests that build their input byte by byte.
class MemoryInputFile : public InputFile {
public:
    explicit MemoryInputFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    uint64_t Size() const override { return bytes_.size(); }
    bool ReadAt(uint64_t offset, void* buffer, size_t length, IoError& error) override {
        if (offset > bytes_.size() || length > bytes_.size() - offset) {
            error.kind = IoError::Kind::Other;
            return false;
        }
        if (length > 0)
            std::memcpy(buffer, bytes_.data() + offset, length);
        return true;
    }

private:
    std::vector<uint8_t> bytes_;
};

} // namespace patchfile
