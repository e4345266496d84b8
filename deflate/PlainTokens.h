#pragma once
#include "ParseBytes.h"
#include "TokenSource.h"

#include <string>

namespace deflatestream {

// The tokens as a parse spells them out: literal runs, lengths and distances.
class PlainTokens final : public TokenSource {
public:
    PlainTokens(ByteReader& runs, ByteReader& lengths, ByteReader& distances, std::string& why)
        : runs_(runs), lengths_(lengths), distances_(distances), why_(why) {}
    bool Run(bool blockEnd, uint64_t& literals) override;
    bool Match(Token& match) override;
    bool Stored(uint64_t) override { return true; }
    bool Finished() override;

private:
    ByteReader& runs_;
    ByteReader& lengths_;
    ByteReader& distances_;
    std::string& why_;
};

} // namespace deflatestream
