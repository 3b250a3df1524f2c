#include "ChildProcess.h"

ChildProcess::ChildProcess(const std::string& commandLine, const std::string& program,
                           const std::vector<std::string>& env)
{
    std::string block;
    if (!env.empty()) {
        const LPCH own = GetEnvironmentStringsA();
        for (LPCH q = own; *q; q += lstrlenA(q) + 1)
            block.append(q, lstrlenA(q) + 1);
        FreeEnvironmentStringsA(own);
        for (const std::string& e : env)
            block.append(e.c_str(), e.size() + 1);
        block.push_back('\0');
    }
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string line = commandLine;
    m_started = CreateProcessA(program.empty() ? NULL : program.c_str(), &line[0], NULL, NULL, FALSE, 0,
                               env.empty() ? NULL : &block[0], NULL, &si, &m_pi) != FALSE;
}

ChildProcess::~ChildProcess()
{
    // A Unix program started through Wine may come without handles.
    if (m_pi.hThread != NULL)
        CloseHandle(m_pi.hThread);
    if (m_pi.hProcess != NULL)
        CloseHandle(m_pi.hProcess);
}

bool ChildProcess::WaitExit(DWORD ms, DWORD* exitCode) const
{
    if (!m_started || WaitForSingleObject(m_pi.hProcess, ms) != WAIT_OBJECT_0)
        return false;
    if (exitCode != NULL)
        GetExitCodeProcess(m_pi.hProcess, exitCode);
    return true;
}

void ChildProcess::End(DWORD ms)
{
    if (m_started && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_pi.hProcess, 99);
        WaitForSingleObject(m_pi.hProcess, ms);
    }
}

int RunToEnd(const std::string& commandLine, const std::string& program, DWORD ms, const std::vector<std::string>& env)
{
    ChildProcess child(commandLine, program, env);
    DWORD code = (DWORD)-1;   // kept where the code cannot be read
    if (child.WaitExit(ms, &code))
        return (int)code;
    child.End();
    return -1;
}
