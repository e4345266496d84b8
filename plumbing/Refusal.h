#pragma once
#include <string>

namespace plumbing {

// Says why the bytes are refused and gives false, so that a check of a parser that reports
// a reason in words reads as one line.
inline bool Refuse(std::string& why, const char* reason) {
    why = reason;
    return false;
}

} // namespace plumbing
