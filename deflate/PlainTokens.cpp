#include "PlainTokens.h"

#include "DeflateFormat.h"
#include "Refusal.h"

namespace deflatestream {

using plumbing::Refuse;

bool PlainTokens::Run(bool, uint64_t& literals) {
    return runs_.Varint(literals) || Refuse(why_, "the parse is damaged");
}

bool PlainTokens::Match(Token& match) {
    uint8_t length = 0;
    uint64_t distance = 0;
    if (!lengths_.Byte(length) || !distances_.Varint(distance) ||
        distance >= format::kMaxDistance) {
        return Refuse(why_, "the parse is damaged");
    }
    match = {static_cast<uint16_t>(length + format::kMinMatch),
             static_cast<uint16_t>(distance + 1)};
    return true;
}

bool PlainTokens::Finished() {
    return runs_.AtEnd() && lengths_.AtEnd() && distances_.AtEnd();
}

} // namespace deflatestream
