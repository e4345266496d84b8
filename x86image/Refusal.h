#pragma once
#include <string>

namespace x86image {

// Says why the bytes are not parsed and gives false, so that a check reads as one line.
inline bool Refuse(std::string& why, const char* reason) {
    why = reason;
    return false;
}

} // namespace x86image
