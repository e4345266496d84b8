#include "DeflateParse.h"

#include "ParseBytes.h"

namespace deflatestream {

namespace {

std::vector<uint8_t> DeflateParse::*const kStreams[] = {
    &DeflateParse::blocks, &DeflateParse::literalRuns, &DeflateParse::lengths,
    &DeflateParse::distances, &DeflateParse::longLengths};

} // namespace

bool operator==(const DeflateParse& a, const DeflateParse& b) {
    for (auto stream : kStreams) {
        if (a.*stream != b.*stream) {
            return false;
        }
    }
    return a.contentBytes == b.contentBytes && a.streamBytes == b.streamBytes;
}

std::vector<uint8_t> SerializeParse(const DeflateParse& parse) {
    std::vector<uint8_t> out;
    PutVarint(out, parse.contentBytes);
    PutVarint(out, parse.streamBytes);
    for (auto stream : kStreams) {
        PutVarint(out, (parse.*stream).size());
    }
    for (auto stream : kStreams) {
        out.insert(out.end(), (parse.*stream).begin(), (parse.*stream).end());
    }
    return out;
}

bool DeserializeParse(const uint8_t* data, size_t size, DeflateParse& parse) {
    ByteReader reader(data, size);
    uint64_t sizes[std::size(kStreams)] = {};
    if (!reader.Varint(parse.contentBytes) || !reader.Varint(parse.streamBytes)) {
        return false;
    }
    for (uint64_t& length : sizes) {
        if (!reader.Varint(length)) {
            return false;
        }
    }
    size_t position = static_cast<size_t>(reader.Position());
    for (size_t i = 0; i < std::size(kStreams); ++i) {
        if (sizes[i] > size - position) {
            return false;
        }
        const uint8_t* start = data + position;
        (parse.*kStreams[i]).assign(start, start + sizes[i]);
        position += static_cast<size_t>(sizes[i]);
    }
    return position == size;
}

} // namespace deflatestream
