#include "SystemMenu.h"

#include "SystemError.h"

namespace e2e {

bool ReadSystemMenu(HWND window, std::vector<MenuItem>& items, std::string& error) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu) {
        // Wine hands out no menu of another process's window.
        error = "the system menu of this window cannot be read from here";
        return false;
    }
    int count = GetMenuItemCount(menu);
    if (count < 0) {
        error = "menu items not readable: " + SystemErrorText(GetLastError());
        return false;
    }
    items.clear();
    for (int position = 0; position < count; ++position) {
        char text[256] = "";
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, position, TRUE, &info)) {
            error = "menu item not readable: " + SystemErrorText(GetLastError());
            return false;
        }
        items.push_back({info.wID, (info.fType & MFT_SEPARATOR) != 0, text});
    }
    return true;
}

} // namespace e2e
