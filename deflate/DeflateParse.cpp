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
    PutStreams(out, {&parse.blocks, &parse.literalRuns, &parse.lengths, &parse.distances,
                     &parse.longLengths});
    return out;
}

bool DeserializeParse(const uint8_t* data, size_t size, DeflateParse& parse) {
    ByteReader reader(data, size);
    return reader.Varint(parse.contentBytes) && reader.Varint(parse.streamBytes) &&
           reader.Streams({&parse.blocks, &parse.literalRuns, &parse.lengths, &parse.distances,
                           &parse.longLengths});
}

} // namespace deflatestream
