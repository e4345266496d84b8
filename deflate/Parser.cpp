#include "Parser.h"

#include "BitReader.h"
#include "BlockCodes.h"
#include "ContentWindow.h"
#include "DeflateFormat.h"
#include "DynamicHeader.h"
#include "HuffmanCode.h"
#include "ParseBytes.h"
#include "Refusal.h"

#include <algorithm>

namespace deflatestream {

using plumbing::Refuse;

namespace {

using namespace format;

class Parser {
public:
    Parser(ByteInput& stream, ByteOutput& content, DeflateParse& parse, std::string& why,
           const ParseLimits& limits)
        : reader_(stream), window_(content, limits.maxContentBytes), parse_(parse), why_(why) {}

    bool Run();
    const StreamFacts& Facts() const { return facts_; }

private:
    bool Ended() { return Refuse(why_, "the stream ends early"); }
    bool Decode(const HuffmanCode& code, unsigned& symbol, const char* bad);
    bool Take(unsigned bits, uint32_t& value) { return reader_.Take(bits, value) || Ended(); }
    bool Stored();
    bool Dynamic(std::vector<uint8_t>& header);
    bool Tokens(uint64_t& matches);
    bool Match(unsigned symbol);

    BitReader reader_;
    ContentWindow window_;
    DeflateParse& parse_;
    std::string& why_;
    BlockCodes codes_;
    uint64_t literalRun_ = 0;
    uint64_t matchesSoFar_ = 0;
    uint64_t lastLongLength_ = 0;
    StreamFacts facts_;
};

bool Parser::Decode(const HuffmanCode& code, unsigned& symbol, const char* bad) {
    switch (code.Decode(reader_, symbol)) {
    case HuffmanCode::Decoded::kSymbol:
        return true;
    case HuffmanCode::Decoded::kEnded:
        return Ended();
    case HuffmanCode::Decoded::kBadCode:
        break;
    }
    return Refuse(why_, bad);
}

bool Parser::Run() {
    parse_ = DeflateParse();
    bool final = false;
    while (!final) {
        uint32_t header = 0;
        if (!Take(3, header)) {
            return false;
        }
        final = header & 1;
        const unsigned type = header >> 1;
        parse_.blocks.push_back(static_cast<uint8_t>(header));
        if (facts_.blocks++ == 0) {
            facts_.firstBlockType = static_cast<uint8_t>(type);
            facts_.firstBlockFinal = final;
        }
        std::vector<uint8_t> dynamicHeader;
        if (type == kStored) {
            if (!Stored()) {
                return false;
            }
            continue;
        }
        if (type == kReservedType) {
            return Refuse(why_, "reserved block type");
        }
        if (!(type == kFixed ? codes_.UseFixed(why_) : Dynamic(dynamicHeader))) {
            return false;
        }
        uint64_t matches = 0;
        if (!Tokens(matches)) {
            return false;
        }
        PutVarint(parse_.blocks, matches);
        parse_.blocks.insert(parse_.blocks.end(), dynamicHeader.begin(), dynamicHeader.end());
    }
    uint32_t padding = 0;
    if (!Take(reader_.BitsToByteBoundary(), padding) || !window_.Finish(why_)) {
        return false;
    }
    parse_.blocks.push_back(static_cast<uint8_t>(padding));
    parse_.contentBytes = window_.Total();
    parse_.streamBytes = reader_.ConsumedBits() / 8;
    return true;
}

bool Parser::Stored() {
    uint32_t padding = 0;
    uint32_t length = 0;
    uint32_t complement = 0;
    if (!Take(reader_.BitsToByteBoundary(), padding) || !Take(16, length) ||
        !Take(16, complement)) {
        return false;
    }
    if ((length ^ complement) != 0xffff) {
        return Refuse(why_, "stored block length does not match its complement");
    }
    parse_.blocks.push_back(static_cast<uint8_t>(padding));
    PutVarint(parse_.blocks, length);
    uint8_t piece[4096];
    while (length != 0) {
        const uint32_t count = length < sizeof(piece) ? length : sizeof(piece);
        if (!reader_.TakeBytes(piece, count)) {
            return Ended();
        }
        if (!window_.Bytes(piece, count, why_)) {
            return false;
        }
        length -= count;
    }
    return true;
}

bool Parser::Dynamic(std::vector<uint8_t>& header) {
    uint32_t hlit = 0;
    uint32_t hdist = 0;
    uint32_t hclen = 0;
    DynamicHeader lengths;
    if (!Take(5, hlit) || !Take(5, hdist) || !Take(4, hclen) ||
        !lengths.Start(hlit, hdist, hclen, why_)) {
        return false;
    }
    header = {static_cast<uint8_t>(hlit), static_cast<uint8_t>(hdist), static_cast<uint8_t>(hclen)};
    uint8_t codeLengthLengths[kCodeLengthSymbols] = {};
    for (unsigned i = 0; i < lengths.CodeLengthCount(); ++i) {
        uint32_t length = 0;
        if (!Take(3, length)) {
            return false;
        }
        codeLengthLengths[i] = static_cast<uint8_t>(length);
        header.push_back(static_cast<uint8_t>(length));
    }
    if (!lengths.SetCodeLengthLengths(codeLengthLengths, why_)) {
        return false;
    }
    while (!lengths.Complete()) {
        unsigned symbol = 0;
        uint32_t extra = 0;
        if (!Decode(lengths.CodeLengthCode(), symbol, "bad code-length code") ||
            !Take(DynamicHeader::ExtraBits(symbol), extra) || !lengths.Apply(symbol, extra, why_)) {
            return false;
        }
        header.push_back(static_cast<uint8_t>(symbol));
        if (symbol >= kCodeLengthRepeat) {
            header.push_back(static_cast<uint8_t>(extra));
        }
    }
    return codes_.UseDynamic(lengths, why_);
}

bool Parser::Tokens(uint64_t& matches) {
    for (;;) {
        unsigned symbol = 0;
        if (!Decode(codes_.Literals(), symbol, "bad literal or length code")) {
            return false;
        }
        if (symbol < kEndOfBlock) {
            if (!window_.Literal(static_cast<uint8_t>(symbol), why_)) {
                return false;
            }
            ++literalRun_;
            facts_.firstBlockSymbols += facts_.blocks == 1;
            continue;
        }
        PutVarint(parse_.literalRuns, literalRun_);
        literalRun_ = 0;
        if (symbol == kEndOfBlock) {
            return true;
        }
        if (!Match(symbol)) {
            return false;
        }
        ++matches;
        facts_.firstBlockSymbols += facts_.blocks == 1;
    }
}

bool Parser::Match(unsigned symbol) {
    if (symbol >= kFirstLengthSymbol + 29) {
        return Refuse(why_, "invalid length symbol");
    }
    const unsigned index = symbol - kFirstLengthSymbol;
    uint32_t extra = 0;
    if (!Take(kLengthExtra[index], extra)) {
        return false;
    }
    const unsigned length = kLengthBase[index] + extra;
    unsigned distanceSymbol = 0;
    if (!Decode(codes_.Distances(), distanceSymbol, "bad distance code")) {
        return false;
    }
    if (distanceSymbol >= kDistanceSymbols) {
        return Refuse(why_, "invalid distance symbol");
    }
    uint32_t distanceExtra = 0;
    if (!Take(kDistanceExtra[distanceSymbol], distanceExtra)) {
        return false;
    }
    const unsigned distance = kDistanceBase[distanceSymbol] + distanceExtra;
    if (!window_.Copy(distance, length, why_)) {
        return false;
    }
    facts_.longestDistance = std::max(facts_.longestDistance, distance);
    if (symbol == kLongLengthSymbol && extra == kLongLengthExtra) {
        PutVarint(parse_.longLengths, matchesSoFar_ - lastLongLength_);
        lastLongLength_ = matchesSoFar_;
    }
    parse_.lengths.push_back(static_cast<uint8_t>(length - kMinMatch));
    PutVarint(parse_.distances, distance - 1);
    ++matchesSoFar_;
    return true;
}

} // namespace

bool ParseDeflate(ByteInput& stream, ByteOutput& content, DeflateParse& parse, std::string& why,
                  const ParseLimits& limits, StreamFacts* facts) {
    why.clear();
    Parser parser(stream, content, parse, why, limits);
    const bool parsed = parser.Run();
    if (facts != nullptr) {
        *facts = parser.Facts();
    }
    return parsed;
}

bool ParseDeflate(const uint8_t* stream, size_t size, std::vector<uint8_t>& content,
                  DeflateParse& parse, std::string& why, const ParseLimits& limits,
                  StreamFacts* facts) {
    MemoryInput input(stream, size);
    MemoryOutput output(content);
    content.clear();
    return ParseDeflate(input, output, parse, why, limits, facts);
}

} // namespace deflatestream
