#include "KeyText.h"

#include <cstdio>
#include <memory>

namespace patchfile {
namespace {

constexpr size_t kMaxKeyFileSize = 4096;

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The next line without its line end; false past the text's end.
bool TakeLine(const std::string& text, size_t& position, std::string& line) {
    if (position >= text.size())
        return false;
    size_t end = text.find('\n', position);
    size_t next = end == std::string::npos ? text.size() : end + 1;
    if (end == std::string::npos)
        end = text.size();
    if (end > position && text[end - 1] == '\r')
        --end;
    line = text.substr(position, end - position);
    position = next;
    return true;
}

bool ParseHex(const std::string& hex, uint8_t* bytes, size_t size) {
    if (hex.size() != 2 * size)
        return false;
    for (size_t i = 0; i < size; ++i) {
        int high = HexDigit(hex[2 * i]), low = HexDigit(hex[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes[i] = static_cast<uint8_t>(high << 4 | low);
    }
    return true;
}

} // namespace

std::string FormatKeyText(const char* typeLine, const uint8_t* bytes, size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text = std::string(typeLine) + "\n";
    for (size_t i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text + "\n";
}

bool ParseKeyText(const std::string& text, const char* typeLine, uint8_t* bytes, size_t size,
                  std::string& error) {
    size_t position = 0;
    std::string type, hex, rest;
    if (!TakeLine(text, position, type) || type != typeLine) {
        error =
            std::string("not a key file of this kind (its first line is not \"") + typeLine + "\")";
        return false;
    }
    if (!TakeLine(text, position, hex) || !ParseHex(hex, bytes, size)) {
        error = "the key's line is not " + std::to_string(2 * size) + " lowercase hex digits";
        return false;
    }
    if (position < text.size()) {
        error = "the key file holds more than its two lines";
        return false;
    }
    return true;
}

bool ReadKeyFile(const std::string& path, std::string& text, std::string& error) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) {
        error = "cannot open the key file " + path;
        return false;
    }
    char buffer[kMaxKeyFileSize + 1];
    size_t read = std::fread(buffer, 1, sizeof(buffer), file.get());
    if (std::ferror(file.get())) {
        error = "cannot read the key file " + path;
        return false;
    }
    if (read > kMaxKeyFileSize) {
        error = "the key file " + path + " is too large to be a key file";
        return false;
    }
    text.assign(buffer, read);
    return true;
}

} // namespace patchfile
