#include "SystemMenu.h"

#include "MenuProbe.h"
#include "SystemError.h"

#include <cstring>

namespace e2e {

namespace {

constexpr DWORD kAnswerTimeoutMs = 5000;

std::string ProbePath() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.rfind('\\') + 1) + "e2e-probe.dll";
}

// Owns the handles of one probe: the shared memory, the event, the DLL and the hook.
class Probe {
public:
    ~Probe() {
        if (m_hook)
            UnhookWindowsHookEx(m_hook);
        if (m_view)
            UnmapViewOfFile(m_view);
        for (HANDLE handle : {m_memory, m_done})
            if (handle)
                CloseHandle(handle);
        if (m_dll)
            FreeLibrary(m_dll);
    }

    bool Run(HWND window, std::string& error) {
        m_memory = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(MenuProbeReply), kMenuProbeMemory);
        m_done = CreateEventA(nullptr, TRUE, FALSE, kMenuProbeDone);
        if (!m_memory || !m_done)
            return Fail("no shared memory or event for the probe", error);
        ResetEvent(m_done);
        m_dll = LoadLibraryA(ProbePath().c_str());
        // Through a void pointer: FARPROC and HOOKPROC are incompatible function types.
        auto hook = m_dll ? reinterpret_cast<HOOKPROC>(
                                reinterpret_cast<void*>(GetProcAddress(m_dll, kMenuProbeHook)))
                          : nullptr;
        if (!hook)
            return Fail("cannot load " + ProbePath(), error);
        DWORD thread = GetWindowThreadProcessId(window, nullptr);
        m_hook = SetWindowsHookExA(WH_GETMESSAGE, hook, m_dll, thread);
        if (!m_hook)
            return Fail("cannot hook the window's thread", error);
        if (!PostMessageA(window, RegisterWindowMessageA(kMenuProbeMessage), 0, 0))
            return Fail("cannot post to the window", error);
        if (WaitForSingleObject(m_done, kAnswerTimeoutMs) != WAIT_OBJECT_0)
            return Fail("the program did not answer the menu probe", error);
        m_view = MapViewOfFile(m_memory, FILE_MAP_READ, 0, 0, sizeof(MenuProbeReply));
        if (!m_view)
            return Fail("cannot read the probe's answer", error);
        return true;
    }

    const MenuProbeReply& Reply() const { return *static_cast<const MenuProbeReply*>(m_view); }

private:
    static bool Fail(const std::string& what, std::string& error) {
        error = what + ": " + SystemErrorText(GetLastError());
        return false;
    }

    HANDLE m_memory = nullptr;
    HANDLE m_done = nullptr;
    HMODULE m_dll = nullptr;
    HHOOK m_hook = nullptr;
    void* m_view = nullptr;
};

} // namespace

bool ReadSystemMenu(HWND window, std::vector<MenuItem>& items, std::string& error) {
    Probe probe;
    if (!probe.Run(window, error))
        return false;
    const MenuProbeReply& reply = probe.Reply();
    if (!reply.hasMenu) {
        error = "the window has no system menu";
        return false;
    }
    items.clear();
    for (UINT i = 0; i < reply.count && i < sizeof reply.items / sizeof reply.items[0]; ++i) {
        const MenuProbeItem& item = reply.items[i];
        items.push_back({item.id, item.separator != FALSE,
                         std::string(item.text, strnlen(item.text, sizeof item.text))});
    }
    return true;
}

} // namespace e2e
