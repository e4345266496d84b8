#include "Writer.h"

#include "BitWriter.h"
#include "BlockCodes.h"
#include "ContentReader.h"
#include "DeflateFormat.h"
#include "DynamicHeader.h"
#include "HuffmanCode.h"
#include "ParseBytes.h"
#include "Refusal.h"

namespace deflatestream {

using plumbing::Refuse;

namespace {

using namespace format;

class Writer {
public:
    Writer(const DeflateParse& parse, ByteInput& content, ByteOutput& stream, std::string& why)
        : contentBytes_(parse.contentBytes), streamBytes_(parse.streamBytes), blocks_(parse.blocks),
          runs_(parse.literalRuns), lengths_(parse.lengths), distances_(parse.distances),
          longLengths_(parse.longLengths), content_(content), out_(stream), why_(why) {}
    Writer(const ParseInputs& parse, ByteInput& content, ByteOutput& stream, std::string& why)
        : contentBytes_(parse.contentBytes), streamBytes_(parse.streamBytes), blocks_(parse.blocks),
          runs_(parse.literalRuns), lengths_(parse.lengths), distances_(parse.distances),
          longLengths_(parse.longLengths), content_(content), out_(stream), why_(why) {}

    bool Run();

private:
    bool Broken() { return Refuse(why_, "the parse is damaged"); }
    bool Stopped() { return Refuse(why_, "the stream's output stopped"); }
    bool Put(uint32_t bits, unsigned n) { return out_.Put(bits, n) || Stopped(); }
    bool PutSymbol(const HuffmanCode& code, unsigned symbol);
    bool Padding();
    bool Stored();
    bool Dynamic();
    bool Tokens(uint64_t matches);
    bool Literals(uint64_t count);
    bool Match();
    bool NextLongLength();
    bool Finished();

    uint64_t contentBytes_;
    uint64_t streamBytes_;
    ByteReader blocks_;
    ByteReader runs_;
    ByteReader lengths_;
    ByteReader distances_;
    ByteReader longLengths_;
    ContentReader content_;
    BitWriter out_;
    std::string& why_;
    BlockCodes codes_;
    uint64_t matchesSoFar_ = 0;
    // The index of the next match spelt 284 + 31, or none.
    uint64_t nextLongLength_ = UINT64_MAX;
};

bool Writer::PutSymbol(const HuffmanCode& code, unsigned symbol) {
    if (symbol >= code.Symbols() || code.Length(symbol) == 0) {
        return Refuse(why_, "the parse asks for a symbol its code lacks");
    }
    return Put(code.Code(symbol), code.Length(symbol));
}

bool Writer::Padding() {
    uint8_t padding = 0;
    const unsigned bits = out_.BitsToByteBoundary();
    if (!blocks_.Byte(padding) || padding >> bits != 0) {
        return Broken();
    }
    return Put(padding, bits);
}

bool Writer::Run() {
    if (!longLengths_.Varint(nextLongLength_)) {
        nextLongLength_ = UINT64_MAX;
    }
    bool final = false;
    while (!final) {
        uint8_t header = 0;
        if (!blocks_.Byte(header) || header > 7) {
            return Broken();
        }
        final = header & 1;
        const unsigned type = header >> 1;
        if (!Put(header, 3)) {
            return false;
        }
        if (type == kStored) {
            if (!Stored()) {
                return false;
            }
            continue;
        }
        uint64_t matches = 0;
        if (type == kReservedType || !blocks_.Varint(matches)) {
            return Broken();
        }
        if (!(type == kFixed ? codes_.UseFixed(why_) : Dynamic()) || !Tokens(matches)) {
            return false;
        }
    }
    return Padding() && Finished();
}

bool Writer::Finished() {
    if (!out_.Flush()) {
        return Stopped();
    }
    if (!blocks_.AtEnd() || !runs_.AtEnd() || !lengths_.AtEnd() || !distances_.AtEnd() ||
        nextLongLength_ != UINT64_MAX || !longLengths_.AtEnd()) {
        return Refuse(why_, "the parse goes on after the final block");
    }
    if (!content_.AtEnd() || content_.Position() != contentBytes_) {
        return Refuse(why_, "the content does not end with the final block");
    }
    if (out_.WrittenBits() / 8 != streamBytes_) {
        return Refuse(why_, "the stream's length differs from the parse's");
    }
    return true;
}

bool Writer::Stored() {
    uint64_t length = 0;
    if (!Padding() || !blocks_.Varint(length) || length > 0xffff) {
        return Broken();
    }
    if (!Put(static_cast<uint32_t>(length), 16) ||
        !Put(static_cast<uint32_t>(length) ^ 0xffff, 16)) {
        return false;
    }
    uint8_t piece[4096];
    while (length != 0) {
        const size_t count = length < sizeof(piece) ? static_cast<size_t>(length) : sizeof(piece);
        if (!content_.Bytes(piece, count)) {
            return Refuse(why_, "the content ends early");
        }
        if (!out_.PutBytes(piece, count)) {
            return Stopped();
        }
        length -= count;
    }
    return true;
}

bool Writer::Dynamic() {
    uint8_t counts[3] = {};
    DynamicHeader header;
    for (uint8_t& count : counts) {
        if (!blocks_.Byte(count)) {
            return Broken();
        }
    }
    if (counts[0] > 31 || counts[1] > 31 || counts[2] > 15 ||
        !header.Start(counts[0], counts[1], counts[2], why_)) {
        return Broken();
    }
    if (!Put(counts[0], 5) || !Put(counts[1], 5) || !Put(counts[2], 4)) {
        return false;
    }
    uint8_t codeLengthLengths[kCodeLengthSymbols] = {};
    for (unsigned i = 0; i < header.CodeLengthCount(); ++i) {
        if (!blocks_.Byte(codeLengthLengths[i]) || codeLengthLengths[i] > 7) {
            return Broken();
        }
        if (!Put(codeLengthLengths[i], 3)) {
            return false;
        }
    }
    if (!header.SetCodeLengthLengths(codeLengthLengths, why_)) {
        return false;
    }
    while (!header.Complete()) {
        uint8_t symbol = 0;
        uint8_t extra = 0;
        if (!blocks_.Byte(symbol) ||
            (DynamicHeader::ExtraBits(symbol) != 0 && !blocks_.Byte(extra))) {
            return Broken();
        }
        if (!header.Apply(symbol, extra, why_) || !PutSymbol(header.CodeLengthCode(), symbol) ||
            !Put(extra, DynamicHeader::ExtraBits(symbol))) {
            return false;
        }
    }
    return codes_.UseDynamic(header, why_);
}

bool Writer::Tokens(uint64_t matches) {
    for (uint64_t i = 0;; ++i) {
        uint64_t run = 0;
        if (!runs_.Varint(run)) {
            return Broken();
        }
        if (!Literals(run)) {
            return false;
        }
        if (i == matches) {
            return PutSymbol(codes_.Literals(), kEndOfBlock);
        }
        if (!Match()) {
            return false;
        }
    }
}

bool Writer::Literals(uint64_t count) {
    for (uint64_t i = 0; i < count; ++i) {
        uint8_t byte = 0;
        if (!content_.Byte(byte)) {
            return Refuse(why_, "the content ends early");
        }
        if (!PutSymbol(codes_.Literals(), byte)) {
            return false;
        }
    }
    return true;
}

bool Writer::NextLongLength() {
    uint64_t gap = 0;
    if (!longLengths_.Varint(gap)) {
        nextLongLength_ = UINT64_MAX;
        return longLengths_.AtEnd() || Broken();
    }
    if (gap == 0 || gap > UINT64_MAX - 1 - nextLongLength_) {
        return Broken();
    }
    nextLongLength_ += gap;
    return true;
}

bool Writer::Match() {
    uint8_t lengthByte = 0;
    uint64_t distanceValue = 0;
    if (!lengths_.Byte(lengthByte) || !distances_.Varint(distanceValue) ||
        distanceValue >= kMaxDistance) {
        return Broken();
    }
    const unsigned length = lengthByte + kMinMatch;
    const unsigned distance = static_cast<unsigned>(distanceValue) + 1;
    if (distance > content_.Position()) {
        return Refuse(why_, "distance beyond the content so far");
    }
    unsigned symbol = LengthSymbol(length);
    unsigned extra = length - kLengthBase[symbol - kFirstLengthSymbol];
    if (matchesSoFar_ == nextLongLength_) {
        if (length != kMaxMatch || !NextLongLength()) {
            return Broken();
        }
        symbol = kLongLengthSymbol;
        extra = kLongLengthExtra;
    }
    const unsigned index = symbol - kFirstLengthSymbol;
    const unsigned distanceSymbol = DistanceSymbol(distance);
    ++matchesSoFar_;
    if (!PutSymbol(codes_.Literals(), symbol) || !Put(extra, kLengthExtra[index]) ||
        !PutSymbol(codes_.Distances(), distanceSymbol) ||
        !Put(distance - kDistanceBase[distanceSymbol], kDistanceExtra[distanceSymbol])) {
        return false;
    }
    if (!content_.Skip(length)) {
        return Refuse(why_, "the content ends early");
    }
    return true;
}

} // namespace

bool WriteDeflate(const DeflateParse& parse, ByteInput& content, ByteOutput& stream,
                  std::string& why) {
    why.clear();
    return Writer(parse, content, stream, why).Run();
}

bool WriteDeflate(const ParseInputs& parse, ByteInput& content, ByteOutput& stream,
                  std::string& why) {
    why.clear();
    return Writer(parse, content, stream, why).Run();
}

bool WriteDeflate(const DeflateParse& parse, const uint8_t* content, size_t size,
                  std::vector<uint8_t>& stream, std::string& why) {
    MemoryInput input(content, size);
    MemoryOutput output(stream);
    stream.clear();
    return WriteDeflate(parse, input, output, why);
}

} // namespace deflatestream
