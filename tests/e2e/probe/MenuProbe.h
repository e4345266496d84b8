#pragma once
// What the UI driver and its probe DLL share. A program's menus cannot be read from another
// process under Wine, so the driver hooks the program's thread with the probe DLL, which
// reads the system menu from inside the program and hands the items back through shared
// memory, then signals an event. Named objects are per Wine prefix (per wineserver).
#include <windows.h>

namespace e2e {

// Posted to the window whose system menu is wanted; the hook answers it.
constexpr char kMenuProbeMessage[] = "QuillE2eReadSystemMenu";
constexpr char kMenuProbeMemory[] = "QuillE2eSystemMenuItems";
constexpr char kMenuProbeDone[] = "QuillE2eSystemMenuRead";
// The hook procedure's exported name (a WH_GETMESSAGE hook).
constexpr char kMenuProbeHook[] = "MenuProbeHook";

struct MenuProbeItem {
    UINT id;
    BOOL separator;
    char text[256];
};

struct MenuProbeReply {
    BOOL hasMenu;
    UINT count; // of items in `items`; a longer menu is cut off
    MenuProbeItem items[32];
};

} // namespace e2e
