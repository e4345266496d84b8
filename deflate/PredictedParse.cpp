#include "PredictedParse.h"

#include "ParseBytes.h"
#include "PredictedTokens.h"
#include "Writer.h"

namespace deflatestream {

bool operator==(const PredictedParse& a, const PredictedParse& b) {
    return a.config == b.config && a.blocks == b.blocks && a.tails == b.tails &&
           a.corrections == b.corrections && a.longLengths == b.longLengths &&
           a.contentBytes == b.contentBytes && a.streamBytes == b.streamBytes;
}

std::vector<uint8_t> SerializePredictedParse(const PredictedParse& parse) {
    std::vector<uint8_t> out;
    PutVarint(out, parse.contentBytes);
    PutVarint(out, parse.streamBytes);
    PutPredictorConfig(out, parse.config);
    PutStreams(out, {&parse.blocks, &parse.tails, &parse.corrections, &parse.longLengths});
    return out;
}

bool DeserializePredictedParse(const uint8_t* data, size_t size, PredictedParse& parse) {
    ByteReader reader(data, size);
    return reader.Varint(parse.contentBytes) && reader.Varint(parse.streamBytes) &&
           ReadPredictorConfig(reader, parse.config) &&
           reader.Streams({&parse.blocks, &parse.tails, &parse.corrections, &parse.longLengths});
}

bool WritePredicted(const PredictedInputs& parse, ByteInput& content, ByteInput& contentAgain,
                    ByteOutput& stream, std::string& why) {
    why.clear();
    if (!ValidPredictorConfig(parse.config)) {
        why = "the predictor's settings are beyond their bounds";
        return false;
    }
    ByteReader blocks(parse.blocks), tails(parse.tails), corrections(parse.corrections),
        longLengths(parse.longLengths);
    PredictedTokens tokens(parse.config, contentAgain, parse.contentBytes, tails, corrections, why);
    return WriteDeflate({blocks, longLengths, parse.contentBytes, parse.streamBytes}, tokens,
                        content, stream, why);
}

bool WritePredicted(const PredictedParse& parse, const uint8_t* content, size_t size,
                    std::vector<uint8_t>& stream, std::string& why) {
    MemoryInput blocks(parse.blocks.data(), parse.blocks.size()),
        tails(parse.tails.data(), parse.tails.size()),
        corrections(parse.corrections.data(), parse.corrections.size()),
        longLengths(parse.longLengths.data(), parse.longLengths.size());
    MemoryInput forWriter(content, size), forPredictor(content, size);
    MemoryOutput output(stream);
    stream.clear();
    return WritePredicted({parse.config, blocks, tails, corrections, longLengths,
                           parse.contentBytes, parse.streamBytes},
                          forWriter, forPredictor, output, why);
}

} // namespace deflatestream
