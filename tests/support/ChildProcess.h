// Another program started from the tests. What CreateProcessA opens (the process
// and thread handles, the environment block) is released on every path.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class ChildProcess {
public:
    // program "" lets the command line name the program; env entries ("NAME=value")
    // are added to this process's environment for the child.
    explicit ChildProcess(const std::string& commandLine, const std::string& program = "",
                          const std::vector<std::string>& env = {});
    ~ChildProcess();   // closes the handles; a child still running runs on
    bool Started() const { return m_started; }
    DWORD Pid() const { return m_pi.dwProcessId; }
    HANDLE Handle() const { return m_pi.hProcess; }
    bool WaitExit(DWORD ms, DWORD* exitCode = NULL) const;   // true once it has ended
    void End(DWORD ms = 5000);                                // if still running; waits up to ms
private:
    PROCESS_INFORMATION m_pi = {};
    bool m_started;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
};

// Runs a program to its end, ended after ms: its exit code, or -1 when it could not be
// started or did not end in time.
int RunToEnd(const std::string& commandLine, const std::string& program, DWORD ms,
             const std::vector<std::string>& env = {});
