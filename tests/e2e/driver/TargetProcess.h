#pragma once
#include <windows.h>

#include <string>

namespace e2e {

// The program under test, started by the driver so that its process id, handle and exit code
// are known (a program started by the shell through Wine has an id the tests cannot learn).
class TargetProcess {
public:
    TargetProcess() = default;
    TargetProcess(const TargetProcess&) = delete;
    TargetProcess& operator=(const TargetProcess&) = delete;
    ~TargetProcess();

    // Starts `program` (a full path) with no arguments in `workingDir`. On failure returns
    // false and fills `error`.
    bool Start(const std::string& program, const std::string& workingDir, std::string& error);

    DWORD Id() const { return m_id; }
    bool HasExited() const;
    // Waits up to `timeoutMs` for the process to end; true with its exit code when it has.
    bool WaitForExit(DWORD timeoutMs, DWORD& exitCode) const;
    // Waits up to `timeoutMs` until the program waits for input with none pending (so what it
    // shows has been painted).
    bool WaitForIdle(DWORD timeoutMs) const;
    void Terminate();

private:
    HANDLE m_process = nullptr;
    DWORD m_id = 0;
};

} // namespace e2e
