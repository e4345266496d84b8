#pragma once
#include "Crc32.h"
#include "FileSystem.h"
#include "Sink.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace patchfile {

// Compresses what is written to it into one zlib stream appended to `out`, counting the
// compressed bytes and their CRC-32 (an entry's payload size and checksum).
class DeflateSink : public plumbing::Sink {
public:
    DeflateSink(OutputFile& out, int level);
    ~DeflateSink();
    DeflateSink(const DeflateSink&) = delete;
    DeflateSink& operator=(const DeflateSink&) = delete;

    // Refuses further writes once the stream is larger than `bytes`: a candidate that has
    // lost against a smaller payload need not be finished.
    void SetLimit(uint64_t bytes) { limit_ = bytes; }
    bool overLimit() const { return compressedSize_ > limit_; }

    bool Write(const void* data, size_t length) override;
    // Ends the stream; false if it or any write failed.
    bool Finish();

    uint64_t compressedSize() const { return compressedSize_; }
    uint32_t crc() const { return crc_.value(); }
    // Why it failed: an I/O error, or (kind None) zlib itself.
    const IoError& error() const { return error_; }

private:
    bool Run(int flush);

    struct Stream;
    std::unique_ptr<Stream> stream_;
    OutputFile& out_;
    std::vector<uint8_t> buffer_;
    uint64_t compressedSize_ = 0;
    uint64_t limit_ = UINT64_MAX;
    Crc32 crc_;
    IoError error_;
    bool failed_ = false;
};

} // namespace patchfile
