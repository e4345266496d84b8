#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Key files are small text files of two lines: a type line naming what the key is and for
// what algorithm, then the key's bytes in lowercase hex (docs/signing.md). Text, so that a
// key can be looked at, mailed and checked into a publisher's vault without a tool.
namespace patchfile {

// "quill-patch-public-key ed25519\n" followed by the hex line and a newline.
std::string FormatKeyText(const char* typeLine, const uint8_t* bytes, size_t size);

// Reads the two lines back: the type line must be `typeLine`, the hex line exactly `size`
// bytes; a CR before a line end and a missing last line end are accepted. False with a
// reason on anything else.
bool ParseKeyText(const std::string& text, const char* typeLine, uint8_t* bytes, size_t size,
                  std::string& error);

// A key file's whole text; a file larger than any key file is refused, not read.
bool ReadKeyFile(const std::string& path, std::string& text, std::string& error);

} // namespace patchfile
