#pragma once
#include <string>

namespace deflatestream {

// Says why the bytes are refused and gives false, so that a check reads as one line.
inline bool Refuse(std::string& why, const char* reason) {
    why = reason;
    return false;
}

} // namespace deflatestream
