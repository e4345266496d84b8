#include "CommandLine.h"

#include <cstring>
#include <vector>

namespace patchdll {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

// The next word from `position`, quoted or not; false when a quote is not closed or a
// closing quote is not followed by a space or the end.
bool NextWord(const std::string& line, size_t& position, std::string& word) {
    if (line[position] != '"') {
        size_t end = position;
        while (end < line.size() && !IsSpace(line[end]))
            ++end;
        word = line.substr(position, end - position);
        position = end;
        return word.find('"') == std::string::npos;
    }
    size_t close = line.find('"', position + 1);
    if (close == std::string::npos)
        return false;
    word = line.substr(position + 1, close - position - 1);
    position = close + 1;
    return position == line.size() || IsSpace(line[position]);
}

} // namespace

bool ParseCommandLine(const char* text, size_t maxLength, CommandLine& parsed, std::string& error) {
    const void* end = std::memchr(text, '\0', maxLength + 1);
    if (!end) {
        error = "the command line is longer than " + std::to_string(maxLength) + " characters";
        return false;
    }
    std::string line(text, static_cast<const char*>(end));
    std::vector<std::string> words;
    for (size_t position = 0; position < line.size();) {
        if (IsSpace(line[position])) {
            ++position;
            continue;
        }
        std::string word;
        if (!NextWord(line, position, word)) {
            error = "the command line has a misplaced double quote: " + line;
            return false;
        }
        words.push_back(word);
    }
    if (words.empty() || words[0].empty()) {
        error = "the command line names no patch file";
        return false;
    }
    if (words.size() > 2) {
        error = "the command line holds more than a patch file and a folder: " + line;
        return false;
    }
    parsed.patchFile = words[0];
    parsed.folder = words.size() == 2 ? words[1] : std::string();
    if (words.size() == 2 && parsed.folder.empty()) {
        error = "the command line gives an empty folder";
        return false;
    }
    return true;
}

} // namespace patchdll
