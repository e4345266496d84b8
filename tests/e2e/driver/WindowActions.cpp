#include "WindowActions.h"

namespace e2e {

bool ClickButton(HWND dialog, int id, std::string& error) {
    HWND button = GetDlgItem(dialog, id);
    if (!button) {
        error = "no control with id " + std::to_string(id);
        return false;
    }
    if (!IsWindowVisible(button) || !IsWindowEnabled(button)) {
        error = "button " + std::to_string(id) + " is disabled or hidden";
        return false;
    }
    if (!PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button))) {
        error = "cannot post to the dialog";
        return false;
    }
    return true;
}

bool PostSysCommand(HWND window, UINT command, LPARAM lParam) {
    return PostMessageA(window, WM_SYSCOMMAND, command, lParam) != 0;
}

bool PostCharacter(HWND window, char character) {
    return PostMessageA(window, WM_CHAR, static_cast<unsigned char>(character), 1) != 0;
}

bool PostClose(HWND window) {
    return PostMessageA(window, WM_CLOSE, 0, 0) != 0;
}

bool PressKey(HWND dialog, UINT virtualKey) {
    UINT scanCode = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    LPARAM down = 1 | (static_cast<LPARAM>(scanCode) << 16);
    LPARAM up = down | (1L << 30) | (1L << 31);
    if (!PostMessageA(dialog, WM_KEYDOWN, virtualKey, down))
        return false;
    // The key-down may already have closed the window (Esc), so the key-up may find no
    // window to go to; the press has happened all the same.
    PostMessageA(dialog, WM_KEYUP, virtualKey, up);
    return true;
}

} // namespace e2e
