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

// The items of a window's system menu, read inside the window's process by the probe DLL
// (e2e-probe.dll beside the driver), since Wine hands out no menu of another process.
// Fails with `error` when the probe cannot be loaded or gets no answer in time.
bool ReadSystemMenu(HWND window, std::vector<MenuItem>& items, std::string& error);

} // namespace e2e
