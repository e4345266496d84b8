#include "PredictedTokens.h"

#include "DeflateFormat.h"
#include "Refusal.h"

namespace deflatestream {

using plumbing::Refuse;

PredictedTokens::PredictedTokens(const PredictorConfig& config, ByteInput& content,
                                 uint64_t contentBytes, ByteReader& tails, ByteReader& corrections,
                                 std::string& why)
    : predictor_(config, content, contentBytes), tails_(tails), corrections_(corrections),
      why_(why) {}

bool PredictedTokens::NextGap() {
    corrected_ = corrections_.Varint(untilCorrection_);
    return corrected_ || corrections_.AtEnd() || Refuse(why_, "the parse is damaged");
}

bool PredictedTokens::Correction(const Token& predicted, Token& token) {
    uint64_t length = 0;
    uint64_t distance = 0;
    if (!corrections_.Varint(length) || length > format::kMaxMatch - 2 ||
        (length != 0 && (!corrections_.Varint(distance) || distance >= format::kMaxDistance))) {
        return Refuse(why_, "the parse is damaged");
    }
    token = length == 0
                ? Token()
                : Token{static_cast<uint16_t>(length + 2), static_cast<uint16_t>(distance + 1)};
    if (token == predicted) {
        return Refuse(why_, "a correction repeats the prediction");
    }
    if (token.Covers() > predictor_.Left()) {
        return Refuse(why_, "a match goes beyond the content");
    }
    return NextGap();
}

bool PredictedTokens::Next(Token& token) {
    if (!started_) {
        started_ = true;
        if (!NextGap()) {
            return false;
        }
    }
    Token predicted;
    if (!predictor_.Predict(predicted)) {
        return Refuse(why_, predictor_.Failed() ? "the prediction failed: the content ends early "
                                                  "or the search goes beyond its bound"
                                                : "the parse goes beyond the content");
    }
    if (corrected_ && untilCorrection_ == 0) {
        if (!Correction(predicted, token)) {
            return false;
        }
    } else {
        untilCorrection_ -= corrected_;
        token = predicted;
    }
    predictor_.Accept(token);
    return true;
}

bool PredictedTokens::Run(bool blockEnd, uint64_t& literals) {
    literals = 0;
    if (blockEnd) {
        uint64_t tail = 0;
        if (!tails_.Varint(tail)) {
            return Refuse(why_, "the parse is damaged");
        }
        for (Token token; literals < tail; ++literals) {
            if (!Next(token)) {
                return false;
            }
            if (!token.IsLiteral()) {
                return Refuse(why_, "a block ends inside a match");
            }
        }
        return true;
    }
    for (;;) {
        if (!Next(match_)) {
            return false;
        }
        if (!match_.IsLiteral()) {
            matchDue_ = true;
            return true;
        }
        ++literals;
    }
}

bool PredictedTokens::Match(Token& match) {
    if (!matchDue_) {
        return Refuse(why_, "the parse is damaged");
    }
    matchDue_ = false;
    match = match_;
    return true;
}

bool PredictedTokens::Stored(uint64_t length) {
    if (length > predictor_.Left()) {
        return Refuse(why_, "the content ends early");
    }
    for (Token unused; length != 0; --length) {
        if (!predictor_.Predict(unused)) {
            return Refuse(why_, "the prediction failed: the content ends early or the search "
                                "goes beyond its bound");
        }
        predictor_.Accept(Token());
    }
    return true;
}

bool PredictedTokens::Finished() {
    if (!started_ && !NextGap()) {
        return false;
    }
    return !corrected_ && corrections_.AtEnd() && tails_.AtEnd() && predictor_.Left() == 0;
}

} // namespace deflatestream
