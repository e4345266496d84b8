#include "MatchPredictor.h"

#include <algorithm>
#include <cstring>

namespace deflatestream {

namespace {

constexpr unsigned kMinMatch = 3;
constexpr unsigned kMaxMatch = 258;
// zlib keeps this much content ahead of the search, so that a match is never cut short by
// the window's end before the content's.
constexpr uint32_t kMinLookahead = kMaxMatch + kMinMatch + 1;
// A match of three bytes this far back costs more than its literals.
constexpr uint32_t kTooFar = 4096;
// Hash heads and chain links say "none" with 0, as zlib's do: the window's first byte is
// never a match candidate, one of zlib's choices the prediction has to share.
constexpr uint32_t kNone = 0;

} // namespace

MatchPredictor::MatchPredictor(const PredictorConfig& config, ByteInput& content,
                               uint64_t contentBytes)
    : config_(config), content_(content), contentBytes_(contentBytes),
      windowSize_(1u << config.windowBits), windowMask_(windowSize_ - 1),
      maxDistance_(windowSize_ - kMinLookahead), hashMask_((1u << config.hashBits) - 1),
      hashShift_((config.hashBits + kMinMatch - 1) / kMinMatch),
      window_(2 * windowSize_ + 2 * kMaxMatch), chains_(windowSize_),
      heads_(size_t(1) << config.hashBits) {}

void MatchPredictor::Slide() {
    const uint32_t kept = at_ + lookahead_ - windowSize_;
    std::memmove(window_.data(), window_.data() + windowSize_, kept);
    matchStart_ -= windowSize_;
    at_ -= windowSize_;
    for (std::vector<uint16_t>* table : {&heads_, &chains_}) {
        for (uint16_t& entry : *table) {
            entry = entry >= windowSize_ ? static_cast<uint16_t>(entry - windowSize_) : kNone;
        }
    }
}

void MatchPredictor::Fill() {
    do {
        if (at_ >= windowSize_ + maxDistance_) {
            Slide();
        }
        if (read_ == contentBytes_) {
            return;
        }
        const uint32_t room = 2 * windowSize_ - lookahead_ - at_;
        const size_t want = static_cast<size_t>(std::min<uint64_t>(room, contentBytes_ - read_));
        uint8_t* to = window_.data() + at_ + lookahead_;
        for (size_t got = 0; got < want;) {
            const size_t count = content_.Read(to + got, want - got);
            if (count == 0) {
                failed_ = true;
                return;
            }
            got += count;
        }
        read_ += want;
        lookahead_ += static_cast<uint32_t>(want);
        if (lookahead_ >= kMinMatch) {
            StartHash(at_);
        }
    } while (lookahead_ < kMinLookahead && read_ != contentBytes_);
}

void MatchPredictor::StartHash(uint32_t at) {
    hash_ = ((uint32_t(window_[at]) << hashShift_) ^ window_[at + 1]) & hashMask_;
}

uint32_t MatchPredictor::Insert(uint32_t at) {
    hash_ = ((hash_ << hashShift_) ^ window_[at + kMinMatch - 1]) & hashMask_;
    const uint32_t head = heads_[hash_];
    chains_[at & windowMask_] = static_cast<uint16_t>(head);
    heads_[hash_] = static_cast<uint16_t>(at);
    return head;
}

unsigned MatchPredictor::LongestMatch(uint32_t candidate, unsigned best) {
    unsigned chain = config_.maxChain;
    if (best >= config_.good) {
        chain = std::max(chain >> 2, 1u);
    }
    const unsigned nice = std::min<unsigned>(config_.nice, lookahead_);
    const uint32_t limit = at_ > maxDistance_ ? at_ - maxDistance_ : kNone;
    const uint8_t* scan = window_.data() + at_;
    do {
        const uint8_t* match = window_.data() + candidate;
        ++work_;
        if (match[best] == scan[best] && match[best - 1] == scan[best - 1] && match[0] == scan[0] &&
            match[1] == scan[1]) {
            unsigned length = 2;
            while (length < kMaxMatch && scan[length] == match[length]) {
                ++length;
            }
            work_ += length;
            if (length > best) {
                matchStart_ = candidate;
                best = length;
                if (length >= nice) {
                    break;
                }
            }
        }
        candidate = chains_[candidate & windowMask_];
    } while (candidate > limit && --chain != 0);
    return std::min(best, lookahead_);
}

// The search zlib makes at at_: the string there hashed, then the longest match of it (for
// lazy matching, one longer than the match found one byte before, unless that one is long
// enough to take at once).
bool MatchPredictor::Search() {
    uint32_t head = kNone;
    if (lookahead_ >= kMinMatch) {
        head = Insert(at_);
    }
    const bool near = head != kNone && at_ - head <= maxDistance_;
    if (!config_.lazy) {
        if (near) {
            matchLength_ = LongestMatch(head, kMinMatch - 1);
        }
    } else {
        previousLength_ = matchLength_;
        previousStart_ = matchStart_;
        matchLength_ = kMinMatch - 1;
        if (near && previousLength_ < config_.maxLazy) {
            matchLength_ = LongestMatch(head, previousLength_);
            if (matchLength_ == kMinMatch && at_ - matchStart_ > kTooFar) {
                matchLength_ = kMinMatch - 1;
            }
        }
    }
    if (work_ > kPredictorWorkPerByte * read_ + kPredictorWorkSlack) {
        failed_ = true;
    }
    return !failed_;
}

bool MatchPredictor::Predict(Token& token) {
    token = Token();
    for (;;) {
        if (failed_) {
            return false;
        }
        if (!searched_) {
            if (lookahead_ < kMinLookahead) {
                Fill();
            }
            if (failed_ || lookahead_ == 0) {
                // Lazy matching still owes the last byte its literal.
                return !failed_ && pending_;
            }
            if (!Search()) {
                return false;
            }
            searched_ = true;
        }
        if (!config_.lazy) {
            if (matchLength_ >= kMinMatch) {
                token = {static_cast<uint16_t>(matchLength_),
                         static_cast<uint16_t>(at_ - matchStart_)};
            }
            return true;
        }
        if (previousLength_ >= kMinMatch && matchLength_ <= previousLength_) {
            token = {static_cast<uint16_t>(previousLength_),
                     static_cast<uint16_t>(at_ - 1 - previousStart_)};
            return true;
        }
        if (pending_) {
            return true;
        }
        // The byte at at_ waits for the search one byte on to say whether a match starts
        // there.
        pending_ = true;
        ++at_;
        --lookahead_;
        searched_ = false;
    }
}

void MatchPredictor::Accept(const Token& token) {
    position_ += token.Covers();
    searched_ = false;
    if (config_.lazy) {
        AcceptLazy(token);
    } else {
        AcceptFast(token);
    }
}

void MatchPredictor::AcceptFast(const Token& token) {
    matchLength_ = 0;
    if (token.IsLiteral()) {
        ++at_;
        --lookahead_;
        return;
    }
    lookahead_ -= token.length;
    if (token.length <= config_.maxLazy && lookahead_ >= kMinMatch) {
        for (unsigned n = token.length - 1; n != 0; --n) {
            Insert(++at_);
        }
        ++at_;
    } else {
        at_ += token.length;
        StartHash(at_);
    }
}

void MatchPredictor::AcceptLazy(const Token& token) {
    if (lookahead_ == 0) {
        pending_ = false; // the last byte's literal
        return;
    }
    if (token.IsLiteral()) {
        ++at_;
        --lookahead_;
        return;
    }
    // The match starts at at_ - 1; every string it covers is hashed while the content
    // holds three bytes of it.
    const uint32_t lastHashed = at_ + lookahead_ - kMinMatch;
    lookahead_ -= token.length - 1;
    for (unsigned n = token.length - 2; n != 0; --n) {
        if (++at_ <= lastHashed) {
            Insert(at_);
        }
    }
    pending_ = false;
    matchLength_ = kMinMatch - 1;
    ++at_;
}

} // namespace deflatestream
