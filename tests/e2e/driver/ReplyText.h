#pragma once
#include <string>
#include <vector>

namespace e2e {

// One reply line of the driver: "ok" or "err", then fields, each behind one TAB. A field is
// escaped so that it holds no TAB, CR or LF: backslash, \r, \n, \t and \xHH for every other
// byte below 0x20 or from 0x7F up. Texts are the target's ANSI bytes, left unconverted.
std::string EscapeField(const std::string& raw);

std::string OkReply(const std::vector<std::string>& fields = {});
std::string ErrorReply(const std::string& reason);

} // namespace e2e
