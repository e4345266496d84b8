#include "SystemError.h"

#include "SystemMessage.h"

namespace e2e {

std::string SystemErrorText(DWORD code) {
    std::string message = quill::SystemMessage(code);
    return message.empty() ? "error " + std::to_string(code) : message;
}

} // namespace e2e
