// Any bytes: the deflate parser never crashes, explains every refusal, and every stream it
// parses is written back from the parse and the content bit for bit, also after the parse
// went through its serialized form.
#include "Parser.h"
#include "Writer.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace deflatestream;
    std::vector<uint8_t> content;
    DeflateParse parse;
    std::string why;
    // A bomb is refused at the limit rather than making a run slow.
    const ParseLimits limits{1u << 20};
    if (!ParseDeflate(data, size, content, parse, why, limits)) {
        if (why.empty()) {
            __builtin_trap();
        }
        return 0;
    }
    if (parse.streamBytes > size || parse.contentBytes != content.size()) {
        __builtin_trap();
    }
    const std::vector<uint8_t> serialized = SerializeParse(parse);
    DeflateParse readBack;
    if (!DeserializeParse(serialized.data(), serialized.size(), readBack) || !(readBack == parse)) {
        __builtin_trap();
    }
    std::vector<uint8_t> rebuilt;
    if (!WriteDeflate(readBack, content.data(), content.size(), rebuilt, why) ||
        rebuilt.size() != parse.streamBytes ||
        (!rebuilt.empty() && std::memcmp(rebuilt.data(), data, rebuilt.size()) != 0)) {
        __builtin_trap();
    }
    return 0;
}
