#include "ReplyText.h"

#include <cstdio>

namespace e2e {

std::string EscapeField(const std::string& raw) {
    std::string escaped;
    escaped.reserve(raw.size());
    for (unsigned char c : raw) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\t':
            escaped += "\\t";
            break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                escaped += hex;
            } else {
                escaped += static_cast<char>(c);
            }
        }
    }
    return escaped;
}

std::string OkReply(const std::vector<std::string>& fields) {
    std::string line = "ok";
    for (const std::string& field : fields)
        line += '\t' + EscapeField(field);
    return line;
}

std::string ErrorReply(const std::string& reason) {
    return "err\t" + EscapeField(reason);
}

} // namespace e2e
