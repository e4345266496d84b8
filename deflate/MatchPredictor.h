#pragma once
#include "PredictorConfig.h"
#include "Streams.h"
#include "Token.h"

#include <cstdint>
#include <vector>

namespace deflatestream {

// The match finder of zlib's deflate (GNU gzip's and Info-ZIP's are the same design: hash
// chains over a sliding window, lazy or fast matching, length-3 matches refused beyond
// 4,096 bytes) run over a stream's content, so that a parse can be sent as the places where
// its encoder chose otherwise. Predict names the token such an encoder sends next; Accept
// takes the token that was sent, that one or another, and goes on from after it as the
// encoder would have.
//
// The config is valid (ValidPredictorConfig). Memory: twice the window plus 258 bytes, the
// chain links (two bytes per window byte) and the hash heads (two bytes per hash bucket):
// at most 256 KiB. Work: every search walks at most the config's chain; beyond that, the
// searches together may look at no more than kPredictorWorkPerByte bytes per content byte
// read so far, plus kPredictorWorkSlack, so that hostile content costs linear work: a
// predictor that would go further fails.
class MatchPredictor {
public:
    MatchPredictor(const PredictorConfig& config, ByteInput& content, uint64_t contentBytes);

    // False at the end of the content, or when the predictor failed (Failed()).
    bool Predict(Token& token);
    // The token sent where Predict was called; a match must fit in the content left.
    void Accept(const Token& token);
    uint64_t Position() const { return position_; }
    uint64_t Left() const { return contentBytes_ - position_; }
    // The content read short, or the work ran beyond its bound.
    bool Failed() const { return failed_; }

private:
    void Fill();
    void Slide();
    uint32_t Insert(uint32_t at);
    void StartHash(uint32_t at);
    unsigned LongestMatch(uint32_t candidate, unsigned bestLength);
    bool Search();
    void InsertCovered(unsigned length);
    void AcceptFast(const Token& token);
    void AcceptLazy(const Token& token);

    const PredictorConfig config_;
    ByteInput& content_;
    const uint64_t contentBytes_;
    const uint32_t windowSize_;
    const uint32_t windowMask_;
    const uint32_t maxDistance_;
    const uint32_t hashMask_;
    const unsigned hashShift_;
    std::vector<uint8_t> window_;
    std::vector<uint16_t> chains_;
    std::vector<uint16_t> heads_;
    uint64_t read_ = 0;     // content bytes read into the window
    uint64_t position_ = 0; // of the next token in the content
    uint64_t work_ = 0;
    uint32_t at_ = 0; // zlib's strstart
    uint32_t lookahead_ = 0;
    uint32_t hash_ = 0;
    uint32_t matchStart_ = 0;
    unsigned matchLength_ = 2;
    uint32_t previousStart_ = 0;
    unsigned previousLength_ = 2;
    bool pending_ = false; // lazy: the byte before at_ has no token yet
    bool searched_ = false;
    bool failed_ = false;
};

constexpr uint64_t kPredictorWorkPerByte = 4096;
constexpr uint64_t kPredictorWorkSlack = uint64_t(1) << 26;

} // namespace deflatestream
