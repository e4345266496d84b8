#include "Commands.h"

#include "Arguments.h"
#include "ProcessWindows.h"
#include "RegistryReader.h"
#include "ReplyText.h"
#include "SystemMenu.h"
#include "WindowActions.h"
#include "WindowQueries.h"

#include <cstdio>

namespace e2e {

namespace {

constexpr DWORD kPollIntervalMs = 20;

// A malformed argument ends the command with an error reply; nothing else throws.
struct BadArgument {
    std::string reason;
};

HWND WindowArg(const Commands::Args& args, size_t index) {
    HWND window = nullptr;
    if (!ParseWindow(args[index], window) || !IsWindow(window))
        throw BadArgument{"not a window: " + args[index]};
    return window;
}

long NumberArg(const Commands::Args& args, size_t index) {
    long value = 0;
    if (!ParseNumber(args[index], value))
        throw BadArgument{"not a number: " + args[index]};
    return value;
}

// The window itself, or its control when an id follows the window.
HWND WindowOrControlArg(const Commands::Args& args) {
    HWND window = WindowArg(args, 0);
    if (args.size() < 2)
        return window;
    HWND control = GetDlgItem(window, static_cast<int>(NumberArg(args, 1)));
    if (!control)
        throw BadArgument{"no control " + args[1] + " in " + args[0]};
    return control;
}

std::string Flag(bool value) {
    return value ? "1" : "0";
}

std::string ExitedReply(DWORD exitCode) {
    return ErrorReply("exited " + std::to_string(exitCode));
}

template <typename Condition> bool PollUntil(DWORD timeoutMs, Condition condition) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(kPollIntervalMs);
    }
    return true;
}

} // namespace

const Commands::Entry Commands::kTable[] = {
    {"help", "help", 0, 0, &Commands::Help},
    {"pid", "pid", 0, 0, &Commands::Pid},
    {"windows", "windows", 0, 0, &Commands::Windows},
    {"wait", "wait dialog|msgbox|menu TIMEOUT_MS [SKIP_HWND...]", 2, 64, &Commands::Wait},
    {"gone", "gone HWND TIMEOUT_MS", 2, 2, &Commands::Gone},
    {"text", "text HWND [ID]", 1, 2, &Commands::Text},
    {"progress", "progress HWND ID", 2, 2, &Commands::Progress},
    {"state", "state HWND [ID]", 1, 2, &Commands::State},
    {"controls", "controls HWND", 1, 1, &Commands::Controls},
    {"rect", "rect HWND", 1, 1, &Commands::Rect},
    {"menu", "menu HWND", 1, 1, &Commands::Menu},
    {"click", "click HWND ID", 2, 2, &Commands::Click},
    {"syscommand", "syscommand HWND COMMAND [LPARAM]", 2, 3, &Commands::SysCommand},
    {"char", "char HWND CHARACTER_CODE", 2, 2, &Commands::Char},
    {"close", "close HWND", 1, 1, &Commands::Close},
    {"key", "key HWND esc|enter|up|down", 2, 2, &Commands::Key},
    {"responsive", "responsive HWND TIMEOUT_MS", 2, 2, &Commands::Responsive},
    {"idle", "idle TIMEOUT_MS", 1, 1, &Commands::Idle},
    {"regget", "regget HKCU_KEY VALUE_NAME", 2, 2, &Commands::Registry},
    {"exit", "exit TIMEOUT_MS", 1, 1, &Commands::Exit},
    {"kill", "kill", 0, 0, &Commands::Kill},
    {"quit", "quit", 0, 0, &Commands::Quit},
};

std::string Commands::Run(const std::string& line) {
    Args words = SplitWords(line);
    if (words.empty())
        return ErrorReply("empty command");
    for (const Entry& entry : kTable) {
        if (words[0] != entry.name)
            continue;
        Args args(words.begin() + 1, words.end());
        if (args.size() < entry.minArgs || args.size() > entry.maxArgs)
            return ErrorReply(std::string("usage: ") + entry.usage);
        try {
            return (this->*entry.handler)(args);
        } catch (const BadArgument& bad) {
            return ErrorReply(bad.reason);
        }
    }
    return ErrorReply("unknown command " + words[0]);
}

std::string Commands::Help(const Args&) {
    std::vector<std::string> usages;
    for (const Entry& entry : kTable)
        usages.push_back(entry.usage);
    return OkReply(usages);
}

std::string Commands::Pid(const Args&) {
    return OkReply({std::to_string(m_target.Id())});
}

// One field per window, for reading by a person: handle, class, shown or hidden, kind, caption.
std::string Commands::Windows(const Args&) {
    std::vector<std::string> fields;
    for (HWND window : TopLevelWindowsOf(m_target.Id())) {
        char className[64] = "";
        GetClassNameA(window, className, sizeof className);
        std::string caption;
        ReadText(window, caption);
        fields.push_back(FormatWindow(window) + " " + className +
                         (IsShown(window) ? " shown" : " hidden") +
                         (IsMessageBox(window) ? " msgbox" : "") + " \"" + caption + "\"");
    }
    return OkReply(fields);
}

std::string Commands::Wait(const Args& args) {
    WindowKind kind;
    if (args[0] == "dialog")
        kind = WindowKind::Dialog;
    else if (args[0] == "msgbox")
        kind = WindowKind::MessageBox;
    else if (args[0] == "menu")
        kind = WindowKind::PopupMenu;
    else
        throw BadArgument{"not a window kind: " + args[0]};
    DWORD timeoutMs = static_cast<DWORD>(NumberArg(args, 1));
    std::vector<HWND> skip;
    for (size_t i = 2; i < args.size(); ++i) {
        HWND window = nullptr;
        if (!ParseWindow(args[i], window))
            throw BadArgument{"not a window handle: " + args[i]};
        skip.push_back(window);
    }

    HWND found = nullptr;
    bool ended = PollUntil(timeoutMs, [&] {
        found = FindShownWindow(m_target.Id(), kind, skip);
        return found || m_target.HasExited();
    });
    if (found)
        return OkReply({FormatWindow(found)});
    DWORD exitCode = 0;
    if (ended && m_target.WaitForExit(0, exitCode))
        return ExitedReply(exitCode);
    return ErrorReply("timeout");
}

std::string Commands::Gone(const Args& args) {
    HWND window = nullptr;
    if (!ParseWindow(args[0], window))
        throw BadArgument{"not a window handle: " + args[0]};
    DWORD timeoutMs = static_cast<DWORD>(NumberArg(args, 1));
    if (!PollUntil(timeoutMs, [&] { return !IsShown(window); }))
        return ErrorReply("timeout");
    return OkReply();
}

std::string Commands::Text(const Args& args) {
    std::string text;
    if (!ReadText(WindowOrControlArg(args), text))
        return ErrorReply("no answer to WM_GETTEXT");
    return OkReply({text});
}

std::string Commands::Progress(const Args& args) {
    ProgressState state;
    if (!ReadProgress(WindowOrControlArg(args), state))
        return ErrorReply("no answer from the progress bar");
    return OkReply(
        {std::to_string(state.low), std::to_string(state.high), std::to_string(state.position)});
}

std::string Commands::State(const Args& args) {
    HWND window = WindowOrControlArg(args);
    return OkReply({Flag(IsWindowVisible(window)), Flag(IsWindowEnabled(window))});
}

// One field per control: id, class, shown, enabled and text, separated by colons (the text
// last, as it may hold colons itself).
std::string Commands::Controls(const Args& args) {
    std::vector<std::string> fields;
    for (const ControlInfo& control : ReadControls(WindowArg(args, 0))) {
        fields.push_back(std::to_string(control.id) + ":" + control.className + ":" +
                         Flag(control.visible) + ":" + Flag(control.enabled) + ":" + control.text);
    }
    return OkReply(fields);
}

std::string Commands::Rect(const Args& args) {
    RECT rect;
    if (!GetWindowRect(WindowArg(args, 0), &rect))
        return ErrorReply("no window rectangle");
    return OkReply({std::to_string(rect.left), std::to_string(rect.top), std::to_string(rect.right),
                    std::to_string(rect.bottom)});
}

// One field per item: its command id and text, separated by a colon; a separator is "-".
std::string Commands::Menu(const Args& args) {
    std::vector<MenuItem> items;
    std::string error;
    if (!ReadSystemMenu(WindowArg(args, 0), items, error))
        return ErrorReply(error);
    std::vector<std::string> fields;
    for (const MenuItem& item : items)
        fields.push_back(item.separator ? "-" : std::to_string(item.id) + ":" + item.text);
    return OkReply(fields);
}

std::string Commands::Click(const Args& args) {
    std::string error;
    if (!ClickButton(WindowArg(args, 0), static_cast<int>(NumberArg(args, 1)), error))
        return ErrorReply(error);
    return OkReply();
}

std::string Commands::SysCommand(const Args& args) {
    LPARAM lParam = args.size() > 2 ? NumberArg(args, 2) : 0;
    if (!PostSysCommand(WindowArg(args, 0), static_cast<UINT>(NumberArg(args, 1)), lParam))
        return ErrorReply("cannot post WM_SYSCOMMAND");
    return OkReply();
}

std::string Commands::Char(const Args& args) {
    if (!PostCharacter(WindowArg(args, 0), static_cast<char>(NumberArg(args, 1))))
        return ErrorReply("cannot post WM_CHAR");
    return OkReply();
}

std::string Commands::Close(const Args& args) {
    if (!PostClose(WindowArg(args, 0)))
        return ErrorReply("cannot post WM_CLOSE");
    return OkReply();
}

std::string Commands::Key(const Args& args) {
    static const struct {
        const char* name;
        UINT virtualKey;
    } kKeys[] = {{"esc", VK_ESCAPE}, {"enter", VK_RETURN}, {"up", VK_UP}, {"down", VK_DOWN}};
    for (const auto& key : kKeys) {
        if (args[1] != key.name)
            continue;
        if (!PressKey(WindowArg(args, 0), key.virtualKey))
            return ErrorReply("cannot post the key");
        return OkReply();
    }
    throw BadArgument{"not a key: " + args[1]};
}
std::string Commands::Responsive(const Args& args) {
    double elapsedMs = 0;
    if (!ProbeResponsive(WindowArg(args, 0), static_cast<DWORD>(NumberArg(args, 1)), elapsedMs))
        return ErrorReply("hung");
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", elapsedMs);
    return OkReply({text});
}

std::string Commands::Idle(const Args& args) {
    if (!m_target.WaitForIdle(static_cast<DWORD>(NumberArg(args, 0))))
        return ErrorReply("not idle");
    return OkReply();
}

std::string Commands::Registry(const Args& args) {
    std::string value;
    if (!ReadUserRegistryString(args[0], args[1], value))
        return ErrorReply("no such value");
    return OkReply({value});
}

std::string Commands::Exit(const Args& args) {
    DWORD exitCode = 0;
    if (!m_target.WaitForExit(static_cast<DWORD>(NumberArg(args, 0)), exitCode))
        return ErrorReply("timeout");
    return OkReply({std::to_string(exitCode)});
}

std::string Commands::Kill(const Args&) {
    m_target.Terminate();
    return OkReply();
}

std::string Commands::Quit(const Args&) {
    m_quit = true;
    return OkReply();
}

} // namespace e2e
