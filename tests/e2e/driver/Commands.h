#pragma once
#include "TargetProcess.h"

#include <string>
#include <vector>

namespace e2e {

// The driver's command language: one command per line in, one reply line out (see
// ReplyText.h for the reply's form and `help` for the commands).
class Commands {
public:
    explicit Commands(TargetProcess& target) : m_target(target) {}

    std::string Run(const std::string& line);
    bool QuitRequested() const { return m_quit; }

    using Args = std::vector<std::string>;

private:
    std::string Help(const Args&);
    std::string Pid(const Args&);
    std::string Windows(const Args&);
    std::string Wait(const Args&);
    std::string Gone(const Args&);
    std::string Text(const Args&);
    std::string Progress(const Args&);
    std::string State(const Args&);
    std::string Controls(const Args&);
    std::string Rect(const Args&);
    std::string Menu(const Args&);
    std::string Click(const Args&);
    std::string SysCommand(const Args&);
    std::string Char(const Args&);
    std::string Close(const Args&);
    std::string Key(const Args&);
    std::string Responsive(const Args&);
    std::string Idle(const Args&);
    std::string Registry(const Args&);
    std::string Exit(const Args&);
    std::string Kill(const Args&);
    std::string Quit(const Args&);

    struct Entry {
        const char* name;
        const char* usage;
        size_t minArgs;
        size_t maxArgs;
        std::string (Commands::*handler)(const Args&);
    };
    static const Entry kTable[];

    TargetProcess& m_target;
    bool m_quit = false;
};

} // namespace e2e
