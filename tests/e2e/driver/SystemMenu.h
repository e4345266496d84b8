#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

struct MenuItem {
    UINT id = 0;
    bool separator = false;
    std::string text;
};

// The items of a window's system menu. Fails (with `error`) where the system does not hand out
// another process's menu.
bool ReadSystemMenu(HWND window, std::vector<MenuItem>& items, std::string& error);

} // namespace e2e
