#include "GoldenManifest.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace golden {
namespace {

std::string EntryName(std::string name) {
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

std::string NextWord(std::istringstream& words) {
    std::string word;
    words >> word;
    return word;
}

// One line's words after its keyword; false when anything is left over or missing.
bool ReadLine(const std::string& keyword, std::istringstream& words, Manifest& manifest) {
    if (keyword == "old") {
        manifest.oldSet = NextWord(words);
    } else if (keyword == "format") {
        words >> manifest.formatVersion;
    } else if (keyword == "method") {
        manifest.methods.push_back(NextWord(words));
    } else if (keyword == "coder") {
        manifest.coders.push_back(NextWord(words));
    } else if (keyword == "predicted") {
        PredictedEntry entry;
        entry.name = EntryName(NextWord(words));
        words >> entry.predictorVersion;
        manifest.predicted.push_back(entry);
    } else if (keyword == "file") {
        ExpectedFile file;
        file.name = EntryName(NextWord(words));
        words >> file.size >> std::hex >> file.crc;
        manifest.files.push_back(file);
    } else if (keyword == "gone") {
        manifest.gone.push_back(EntryName(NextWord(words)));
    } else if (keyword == "refused") {
        manifest.refusal = NextWord(words);
    } else {
        return false;
    }
    std::string rest;
    return !words.fail() && !(words >> rest);
}

} // namespace

bool ReadManifest(const std::filesystem::path& path, Manifest& manifest, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = path.string() + " cannot be read";
        return false;
    }
    std::string line;
    for (size_t number = 1; std::getline(in, line); ++number) {
        std::istringstream words(line);
        std::string keyword;
        if (!(words >> keyword) || keyword[0] == '#')
            continue;
        if (!ReadLine(keyword, words, manifest)) {
            error = path.string() + ":" + std::to_string(number) + ": not understood: " + line;
            return false;
        }
    }
    return true;
}

} // namespace golden
