// The probe DLL, loaded into the program under test by the driver's hook: reads the system
// menu of the window that the probe message was posted to (see MenuProbe.h).
#include "MenuProbe.h"

namespace {

void ReadMenu(HWND window, e2e::MenuProbeReply& reply) {
    reply = {};
    HMENU menu = GetSystemMenu(window, FALSE);
    reply.hasMenu = menu != nullptr;
    if (!menu)
        return;
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count && reply.count < 32; ++position) {
        e2e::MenuProbeItem& item = reply.items[reply.count++];
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = item.text;
        info.cch = sizeof item.text;
        if (GetMenuItemInfoA(menu, position, TRUE, &info)) {
            item.id = info.wID;
            item.separator = (info.fType & MFT_SEPARATOR) != 0;
        }
    }
}

void Answer(HWND window) {
    HANDLE memory = OpenFileMappingA(FILE_MAP_WRITE, FALSE, e2e::kMenuProbeMemory);
    if (!memory)
        return;
    void* view = MapViewOfFile(memory, FILE_MAP_WRITE, 0, 0, sizeof(e2e::MenuProbeReply));
    if (view) {
        ReadMenu(window, *static_cast<e2e::MenuProbeReply*>(view));
        UnmapViewOfFile(view);
    }
    CloseHandle(memory);
    if (HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, e2e::kMenuProbeDone)) {
        SetEvent(done);
        CloseHandle(done);
    }
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    MenuProbeHook(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT probeMessage = RegisterWindowMessageA(e2e::kMenuProbeMessage);
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == probeMessage)
        Answer(message->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
