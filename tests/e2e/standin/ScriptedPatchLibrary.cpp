// A stand-in for the patch library in the end-to-end tests. It patches nothing: the patch
// file named on its command line is a script of the events to report, so a scenario makes
// the library say exactly what it needs (messages, progress, files to copy, errors) and sees
// how the updater answered. One event per line:
//
//   EVENT [PARAMETER]   report EVENT; the parameter is the rest of the line, passed as text
//                       for events 3, 4, 7 and 14 and as a 32-bit number for event 5
//   busy MILLISECONDS   keep the thread that long, reporting event 21 every 10 ms
//   # ...               a comment; empty lines are skipped too
//
// Every answer is appended to the file "<patch file>.answers" as "EVENT go" or "EVENT stop".
// A stop ends the script, and the call returns 1; a script played to its end returns 0.
#include "FpatchApply.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr uint32_t kMessagePumpEvent = FPATCH_EVENT_IDLE;
constexpr DWORD kBusyStepMs = 10;

// The patch file's name: the first word of the command line, or its first quoted part.
std::string PatchFileName(const char* commandLine) {
    std::string line(commandLine);
    if (!line.empty() && line[0] == '"')
        return line.substr(1, line.find('"', 1) - 1);
    return line.substr(0, line.find(' '));
}

class Player {
public:
    Player(const std::string& patchFile, FpatchCallback callback)
        : m_answers(patchFile + ".answers", std::ios::app), m_callback(callback) {}

    // False when the updater answered stop.
    bool Report(uint32_t event, void* parameter) {
        bool goOn = m_callback(event, parameter) != nullptr;
        m_answers << event << (goOn ? " go" : " stop") << "\n"; // a text stream: CR LF
        m_answers.flush();
        return goOn;
    }

    bool Busy(DWORD milliseconds) {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < milliseconds) {
            if (!Report(kMessagePumpEvent, nullptr))
                return false;
            Sleep(kBusyStepMs);
        }
        return true;
    }

    bool PlayLine(const std::string& line) {
        if (line.empty() || line[0] == '#')
            return true;
        size_t space = line.find(' ');
        std::string word = line.substr(0, space);
        std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        if (word == "busy")
            return Busy(static_cast<DWORD>(std::strtoul(rest.c_str(), nullptr, 10)));
        uint32_t event = static_cast<uint32_t>(std::strtoul(word.c_str(), nullptr, 10));
        if (event == FPATCH_EVENT_PROGRESS) {
            uint32_t position = static_cast<uint32_t>(std::strtoul(rest.c_str(), nullptr, 10));
            return Report(event, &position);
        }
        if (event == FPATCH_EVENT_MESSAGE || event == FPATCH_EVENT_ERROR ||
            event == FPATCH_EVENT_FILE || event == FPATCH_EVENT_DAMAGED)
            return Report(event, &rest[0]);
        return Report(event, nullptr);
    }

private:
    std::ofstream m_answers;
    FpatchCallback m_callback;
};

} // namespace

extern "C" uint32_t __stdcall FpatchApply(char* commandLine, FpatchCallback callback, uint32_t) {
    std::string patchFile = PatchFileName(commandLine);
    std::ifstream script(patchFile, std::ios::binary);
    Player player(patchFile, callback);
    std::string line;
    while (std::getline(script, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!player.PlayLine(line))
            return FPATCH_STOPPED;
    }
    return FPATCH_OK;
}
