#include "Arguments.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace e2e {

std::vector<std::string> SplitWords(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> words;
    std::string word;
    while (stream >> word)
        words.push_back(word);
    return words;
}

std::string FormatWindow(HWND window) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%lX",
                  static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}

bool ParseWindow(const std::string& word, HWND& window) {
    char* end = nullptr;
    unsigned long value = std::strtoul(word.c_str(), &end, 16);
    if (word.empty() || *end != '\0')
        return false;
    window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
    return true;
}

bool ParseNumber(const std::string& word, long& value) {
    char* end = nullptr;
    value = std::strtol(word.c_str(), &end, 0);
    return !word.empty() && *end == '\0';
}

} // namespace e2e
