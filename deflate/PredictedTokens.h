#pragma once
#include "MatchPredictor.h"
#include "ParseBytes.h"
#include "TokenSource.h"

#include <string>

namespace deflatestream {

// The tokens of a predicted parse: the predictor's, except where a correction says
// otherwise, split into blocks by the tails.
class PredictedTokens final : public TokenSource {
public:
    PredictedTokens(const PredictorConfig& config, ByteInput& content, uint64_t contentBytes,
                    ByteReader& tails, ByteReader& corrections, std::string& why);
    bool Run(bool blockEnd, uint64_t& literals) override;
    bool Match(Token& match) override;
    bool Stored(uint64_t length) override;
    bool Finished() override;

private:
    bool Next(Token& token);
    bool Correction(const Token& predicted, Token& token);
    bool NextGap();

    MatchPredictor predictor_;
    ByteReader& tails_;
    ByteReader& corrections_;
    std::string& why_;
    bool corrected_ = false; // a correction is due after untilCorrection_ more tokens
    uint64_t untilCorrection_ = 0;
    bool started_ = false;
    Token match_;
    bool matchDue_ = false;
};

} // namespace deflatestream
