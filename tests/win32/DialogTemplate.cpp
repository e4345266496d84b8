#include "DialogTemplate.h"

#include <cstring>

namespace dialogtest {
namespace {

constexpr uint32_t kSetFont = 0x40; // DS_SETFONT

// Little-endian reads that fail instead of running past the end.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Word(uint16_t& value) { return Bytes(&value, 2); }
    bool Dword(uint32_t& value) { return Bytes(&value, 4); }
    bool Short(int16_t& value) { return Bytes(&value, 2); }
    bool Byte(uint8_t& value) { return Bytes(&value, 1); }

    bool AlignToDword() {
        size_t aligned = (pos_ + 3) & ~size_t(3);
        if (aligned > size_) {
            return false;
        }
        pos_ = aligned;
        return true;
    }

    bool String(std::string& text) {
        text.clear();
        for (;;) {
            uint16_t unit;
            if (!Word(unit)) {
                return false;
            }
            if (unit == 0) {
                return true;
            }
            text += unit < 0x80 ? static_cast<char>(unit) : '?';
        }
    }

    bool NameOrOrdinalField(NameOrOrdinal& field) {
        uint16_t first;
        if (!Word(first)) {
            return false;
        }
        if (first == 0xFFFF) {
            field.isOrdinal = true;
            return Word(field.ordinal);
        }
        field.isOrdinal = false;
        if (first == 0) {
            field.text.clear();
            return true;
        }
        pos_ -= 2;
        return String(field.text);
    }

    bool Skip(size_t count) {
        if (count > size_ - pos_) {
            return false;
        }
        pos_ += count;
        return true;
    }

private:
    bool Bytes(void* out, size_t count) {
        if (count > size_ - pos_) {
            return false;
        }
        std::memcpy(out, data_ + pos_, count);
        pos_ += count;
        return true;
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

bool ReadExtendedHeader(Reader& in, DialogTemplate& dialog, uint16_t& count) {
    uint16_t version, signature;
    dialog.extended = true;
    return in.Word(version) && in.Word(signature) && version == 1 && signature == 0xFFFF &&
           in.Dword(dialog.helpId) && in.Dword(dialog.exStyle) && in.Dword(dialog.style) &&
           in.Word(count);
}

bool ReadClassicHeader(Reader& in, DialogTemplate& dialog, uint16_t& count) {
    return in.Dword(dialog.style) && in.Dword(dialog.exStyle) && in.Word(count);
}

bool ReadFont(Reader& in, DialogTemplate& dialog) {
    if (!(dialog.style & kSetFont)) {
        return true;
    }
    if (!in.Word(dialog.pointSize)) {
        return false;
    }
    if (dialog.extended &&
        !(in.Word(dialog.weight) && in.Byte(dialog.italic) && in.Byte(dialog.charset))) {
        return false;
    }
    return in.String(dialog.typeface);
}

bool ReadControl(Reader& in, bool extended, DialogControl& control) {
    if (!in.AlignToDword()) {
        return false;
    }
    bool header =
        extended ? in.Dword(control.helpId) && in.Dword(control.exStyle) && in.Dword(control.style)
                 : in.Dword(control.style) && in.Dword(control.exStyle);
    if (!header || !(in.Short(control.x) && in.Short(control.y) && in.Short(control.cx) &&
                     in.Short(control.cy))) {
        return false;
    }
    if (extended) {
        if (!in.Dword(control.id)) {
            return false;
        }
    } else {
        uint16_t id;
        if (!in.Word(id)) {
            return false;
        }
        control.id = id;
    }
    return in.NameOrOrdinalField(control.windowClass) && in.NameOrOrdinalField(control.text) &&
           in.Word(control.creationDataSize) && in.Skip(control.creationDataSize);
}

} // namespace

void PrintTo(const NameOrOrdinal& field, std::ostream* out) {
    if (field.isOrdinal) {
        *out << '#' << field.ordinal;
    } else {
        *out << '"' << field.text << '"';
    }
}

std::optional<DialogTemplate> ParseDialogTemplate(const void* data, size_t size,
                                                  std::string& error) {
    Reader in(static_cast<const uint8_t*>(data), size);
    DialogTemplate dialog;
    uint16_t signature = 0;
    if (size >= 4) {
        std::memcpy(&signature, static_cast<const uint8_t*>(data) + 2, 2);
    }
    uint16_t count = 0;
    bool header = signature == 0xFFFF ? ReadExtendedHeader(in, dialog, count)
                                      : ReadClassicHeader(in, dialog, count);
    if (!header ||
        !(in.Short(dialog.x) && in.Short(dialog.y) && in.Short(dialog.cx) && in.Short(dialog.cy))) {
        error = "dialog header truncated or of an unknown version";
        return std::nullopt;
    }
    if (!(in.NameOrOrdinalField(dialog.menu) && in.NameOrOrdinalField(dialog.windowClass) &&
          in.String(dialog.title) && ReadFont(in, dialog))) {
        error = "menu, class, title or font truncated";
        return std::nullopt;
    }
    dialog.controls.resize(count);
    for (uint16_t i = 0; i < count; ++i) {
        if (!ReadControl(in, dialog.extended, dialog.controls[i])) {
            error = "control " + std::to_string(i + 1) + " truncated";
            return std::nullopt;
        }
    }
    return dialog;
}

} // namespace dialogtest
