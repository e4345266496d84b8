#include "TemporaryName.h"

#include <algorithm>

namespace quill {
namespace {

// Two characters at the least ("~" and a digit); eight at the most, so that a long target's
// temporary file keeps a short name that any file system takes.
constexpr size_t kShortestName = 2;
constexpr size_t kLongestName = 8;

std::string Base36(unsigned number) {
    std::string digits;
    for (; number > 0; number /= 36)
        digits.insert(digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[number % 36]);
    return digits;
}

} // namespace

std::string TemporaryNameBeside(const std::string& target, unsigned number) {
    const size_t leafStart = target.find_last_of("\\/") + 1;
    const size_t length = std::clamp(target.size() - leafStart, kShortestName, kLongestName);
    std::string digits = Base36(number);
    if (digits.size() < length - 1)
        digits.insert(0, length - 1 - digits.size(), '0');
    return target.substr(0, leafStart) + "~" + digits;
}

} // namespace quill
