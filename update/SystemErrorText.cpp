#include "SystemErrorText.h"

#include <windows.h>

std::string SystemErrorText(unsigned long code) {
    char* buffer = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM,
                                  nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  reinterpret_cast<char*>(&buffer), 0, nullptr);
    if (length == 0 || !buffer) {
        if (buffer)
            LocalFree(buffer);
        return "Error " + std::to_string(code);
    }
    std::string text(buffer, length);
    LocalFree(buffer);
    return text;
}
