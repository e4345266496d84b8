#include "ByteReader.h"

#include "LittleEndian.h"

namespace patchfile {

bool ByteReader::Take(size_t length, const uint8_t*& start) {
    if (failed_ || length > remaining()) {
        failed_ = true;
        return false;
    }
    start = data_ + position_;
    position_ += length;
    return true;
}

uint64_t ByteReader::Little(size_t length) {
    const uint8_t* start = nullptr;
    if (!Take(length, start))
        return 0;
    return plumbing::LoadLittleEndian(start, length);
}

bool ByteReader::U8(uint8_t& value) {
    value = static_cast<uint8_t>(Little(1));
    return !failed_;
}

bool ByteReader::U16(uint16_t& value) {
    value = static_cast<uint16_t>(Little(2));
    return !failed_;
}

bool ByteReader::U32(uint32_t& value) {
    value = static_cast<uint32_t>(Little(4));
    return !failed_;
}

bool ByteReader::U64(uint64_t& value) {
    value = Little(8);
    return !failed_;
}

bool ByteReader::Bytes(size_t length, std::string& value) {
    const uint8_t* start = nullptr;
    if (!Take(length, start))
        return false;
    value.assign(reinterpret_cast<const char*>(start), length);
    return true;
}

} // namespace patchfile
