// Reads a compiled dialog template, classic (DLGTEMPLATE) or extended (DLGTEMPLATEEX), field by
// field, so that tests can compare every field with what the dialog must be.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace dialogtest {

// A field that is either a 16-bit ordinal or a text (menu, class, title, control text).
struct NameOrOrdinal {
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::string text; // ASCII; any other UTF-16 unit becomes '?'

    static NameOrOrdinal Text(const std::string& text) { return {false, 0, text}; }
    static NameOrOrdinal Ordinal(uint16_t ordinal) { return {true, ordinal, ""}; }
    bool operator==(const NameOrOrdinal& other) const {
        return isOrdinal == other.isOrdinal && ordinal == other.ordinal && text == other.text;
    }
};

// Lets test failures show "#130" or "text" instead of raw bytes.
void PrintTo(const NameOrOrdinal& field, std::ostream* out);

struct DialogControl {
    uint32_t helpId = 0; // extended templates only
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint32_t id = 0; // 16 bits in classic templates, 32 in extended ones
    NameOrOrdinal windowClass;
    NameOrOrdinal text;
    uint16_t creationDataSize = 0;
};

struct DialogTemplate {
    bool extended = false;
    uint32_t helpId = 0;
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::string title;
    uint16_t pointSize = 0; // present when the style holds DS_SETFONT
    uint16_t weight = 0;    // extended templates only
    uint8_t italic = 0;
    uint8_t charset = 0;
    std::string typeface;
    std::vector<DialogControl> controls;
};

// Parses a template of `size` bytes. On a malformed or truncated template returns nothing and
// says why in `error`; it never reads past the given bytes.
std::optional<DialogTemplate> ParseDialogTemplate(const void* data, size_t size,
                                                  std::string& error);

} // namespace dialogtest
