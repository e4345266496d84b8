#include "TargetProcess.h"

#include "SystemError.h"

#include <vector>

namespace e2e {

TargetProcess::~TargetProcess() {
    if (m_process)
        CloseHandle(m_process);
}

bool TargetProcess::Start(const std::string& program, const std::string& workingDir,
                          std::string& error) {
    // CreateProcess may write into the command line, so it gets a buffer of its own.
    std::string quoted = "\"" + program + "\"";
    std::vector<char> commandLine(quoted.begin(), quoted.end());
    commandLine.push_back('\0');

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr,
                        /*bInheritHandles=*/FALSE, 0, nullptr, workingDir.c_str(), &startup,
                        &info)) {
        error = "cannot start " + program + ": " + SystemErrorText(GetLastError());
        return false;
    }
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_id = info.dwProcessId;
    return true;
}

bool TargetProcess::HasExited() const {
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0;
}

bool TargetProcess::WaitForExit(DWORD timeoutMs, DWORD& exitCode) const {
    if (!m_process || WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(m_process, &exitCode) != 0;
}

bool TargetProcess::WaitForIdle(DWORD timeoutMs) const {
    return m_process && WaitForInputIdle(m_process, timeoutMs) == 0;
}

void TargetProcess::Terminate() {
    if (m_process && !HasExited())
        TerminateProcess(m_process, 1);
}

} // namespace e2e
