#include "PredictParse.h"

#include "MatchPredictor.h"
#include "ParseBytes.h"
#include "PlainTokens.h"
#include "Refusal.h"
#include "Writer.h"

namespace deflatestream {

using plumbing::Refuse;

namespace {

// Reads the parse's own tokens for the writer and, beside them, runs the predictor over the
// content, writing down the tails and every token it did not predict.
class CorrectionRecorder final : public TokenSource {
public:
    CorrectionRecorder(TokenSource& plain, MatchPredictor& predictor, PredictedParse& out,
                       uint64_t maxTokens, std::string& why)
        : plain_(plain), predictor_(predictor), out_(out), maxTokens_(maxTokens), why_(why) {}

    bool Run(bool blockEnd, uint64_t& literals) override {
        if (!plain_.Run(blockEnd, literals)) {
            return false;
        }
        if (blockEnd) {
            PutVarint(out_.tails, literals);
        }
        for (uint64_t i = 0; i < literals; ++i) {
            if (!Record(Token())) {
                return false;
            }
        }
        return true;
    }
    bool Match(Token& match) override { return plain_.Match(match) && Record(match); }
    bool Stored(uint64_t length) override {
        if (length > predictor_.Left()) {
            return Refuse(why_, "the content ends early");
        }
        for (Token unused; length != 0; --length) {
            if (!Predicted(unused)) {
                return false;
            }
            predictor_.Accept(Token());
        }
        return true;
    }
    bool Finished() override { return plain_.Finished(); }
    bool Stopped() const { return tokens_ >= maxTokens_; }

private:
    bool Predicted(Token& token) {
        if (Stopped()) {
            return Refuse(why_, "stopped");
        }
        return predictor_.Predict(token) || Refuse(why_, "the prediction fails");
    }
    bool Record(const Token& sent) {
        Token predicted;
        if (!Predicted(predicted) || sent.Covers() > predictor_.Left()) {
            return Refuse(why_, "the prediction fails");
        }
        if (sent != predicted) {
            PutVarint(out_.corrections, agreed_);
            PutVarint(out_.corrections, sent.IsLiteral() ? 0 : sent.length - 2u);
            if (!sent.IsLiteral()) {
                PutVarint(out_.corrections, sent.distance - 1u);
            }
            agreed_ = 0;
        } else {
            ++agreed_;
        }
        predictor_.Accept(sent);
        ++tokens_;
        return true;
    }

    TokenSource& plain_;
    MatchPredictor& predictor_;
    PredictedParse& out_;
    const uint64_t maxTokens_;
    std::string& why_;
    uint64_t agreed_ = 0;
    uint64_t tokens_ = 0;
};

} // namespace

bool PredictParse(const DeflateParse& parse, const uint8_t* content, size_t size,
                  const PredictorConfig& config, PredictedParse& predicted, uint64_t maxTokens) {
    predicted = PredictedParse();
    predicted.config = config;
    predicted.blocks = parse.blocks;
    predicted.longLengths = parse.longLengths;
    predicted.contentBytes = parse.contentBytes;
    predicted.streamBytes = parse.streamBytes;
    if (!ValidPredictorConfig(config) || parse.contentBytes != size) {
        return false;
    }
    std::string why;
    ByteReader blocks(parse.blocks), runs(parse.literalRuns), lengths(parse.lengths),
        distances(parse.distances), longLengths(parse.longLengths);
    PlainTokens plain(runs, lengths, distances, why);
    MemoryInput forPredictor(content, size), forWriter(content, size);
    MatchPredictor predictor(config, forPredictor, size);
    CorrectionRecorder recorder(plain, predictor, predicted, maxTokens, why);
    DiscardOutput discard;
    return WriteDeflate({blocks, longLengths, parse.contentBytes, parse.streamBytes}, recorder,
                        forWriter, discard, why) ||
           recorder.Stopped();
}

bool FindPredictedParse(const DeflateParse& parse, const uint8_t* content, size_t size,
                        PredictedParse& predicted, const PredictSearchLimits& limits) {
    unsigned best = 0;
    size_t fewest = SIZE_MAX;
    for (unsigned level = 1; level <= 9; ++level) {
        PredictedParse trial;
        if (PredictParse(parse, content, size, LevelConfig(level), trial, limits.trialTokens) &&
            trial.corrections.size() < fewest) {
            best = level;
            fewest = trial.corrections.size();
        }
    }
    return best != 0 && PredictParse(parse, content, size, LevelConfig(best), predicted);
}

} // namespace deflatestream
