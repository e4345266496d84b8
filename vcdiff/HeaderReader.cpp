#include "HeaderReader.h"

#include "Varint.h"

#include <string>

namespace vcdiff {

ParseStatus HeaderReader::Byte(uint8_t& value) {
    if (pos_ >= size_) {
        return ParseStatus::NeedMore;
    }
    value = data_[pos_++];
    return ParseStatus::Done;
}

ParseStatus HeaderReader::Integer(uint64_t& value, const char* field) {
    switch (plumbing::ReadVarint(data_, size_, pos_, value)) {
    case plumbing::VarintStatus::Ok:
        return ParseStatus::Done;
    case plumbing::VarintStatus::NeedMore:
        return ParseStatus::NeedMore;
    case plumbing::VarintStatus::Invalid:
        break;
    }
    return failure_.Set(Error::Corrupt, std::string("the ") + field + " is not a valid integer",
                        offset());
}

ParseStatus HeaderReader::Skip(size_t count) {
    if (count > size_ - pos_) {
        return ParseStatus::NeedMore;
    }
    pos_ += count;
    return ParseStatus::Done;
}

} // namespace vcdiff
