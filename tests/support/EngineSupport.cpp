#include "EngineSupport.h"
#include <stdexcept>
#include <doctest/doctest.h>
#include "ChildProcess.h"
#include "TestSupport.h"
#include "WaitUntil.h"

std::string UnixPath(const std::string& zPath)
{
    std::string path = zPath.substr(2);   // drop "Z:"
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

bool RunUnix(const std::string& commandLine, bool (*done)(const std::string&), const std::string& arg)
{
    const ChildProcess child(commandLine, "Z:" + commandLine.substr(0, commandLine.find(' ')));
    return child.Started() && WaitUntil([&] { return done(arg); }, 10000, 50);
}

static bool EntryExists(const std::string& path)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(path.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FindClose(h);
    return true;
}

bool PlantUnixLink(const std::string& target, const std::string& linkPath)
{
    return RunUnix("/bin/ln -s \"" + UnixPath(target) + "\" \"" + UnixPath(linkPath) + "\"", EntryExists, linkPath);
}

static bool IsReadOnly(const std::string& folder)
{
    const HANDLE h = CreateFileA((folder + "\\p7probe.tmp").c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW,
                                 FILE_FLAG_DELETE_ON_CLOSE, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return true;
    CloseHandle(h);
    return false;
}

ReadOnlyFolder::ReadOnlyFolder(const std::string& zPath) : m_path(zPath)
{
    const std::string where = UnixPath(zPath);
    m_done = RunUnix("/bin/sh -c \"mount --bind '" + where + "' '" + where + "' && mount -o remount,bind,ro '" + where + "'\"",
                     IsReadOnly, zPath);
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    RunUnix("/bin/umount \"" + UnixPath(m_path) + "\"", [](const std::string& folder) { return !IsReadOnly(folder); },
            m_path);
}

void PlantRegistryLink(const std::wstring& path, const std::string& target)
{
    HKEY hLink = NULL;
    REQUIRE(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, NULL, REG_OPTION_CREATE_LINK, KEY_ALL_ACCESS,
                            NULL, &hLink, NULL) == ERROR_SUCCESS);
    const std::wstring native = L"\\Registry\\Machine\\" + std::wstring(target.begin(), target.end());
    CHECK(RegSetValueExW(hLink, L"SymbolicLinkValue", 0, REG_LINK, (const BYTE*)native.c_str(),
                         (DWORD)(native.size() * sizeof(WCHAR))) == ERROR_SUCCESS);
    RegCloseKey(hLink);
}

void RemoveRegistryLink(const std::wstring& path)
{
    typedef LONG(WINAPI * NtDeleteKeyFn)(HANDLE);
    const NtDeleteKeyFn pDelete = (NtDeleteKeyFn)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey");
    HKEY hLink = NULL;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), REG_OPTION_OPEN_LINK, DELETE, &hLink) == ERROR_SUCCESS) {
        pDelete(hLink);
        RegCloseKey(hLink);
    }
}

int CountEntries(const std::string& folder)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do {
        const std::string name = fd.cFileName;
        if (name != "." && name != "..")
            ++n;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

std::string MakeFolderOfLength(const std::string& base, size_t length)
{
    std::string path = base;
    while (path.size() < length) {
        const size_t left = length - path.size() - 1;   // after the backslash
        size_t segment = left < 60 ? left : 60;
        if (left - segment == 1)
            --segment;   // leave room for one more "\x"
        path += "\\" + std::string(segment, 'd');
        if (segment == 0 || !CreateDirectoryA(path.c_str(), NULL))
            throw std::runtime_error("cannot create " + path);
    }
    return path;
}

UnixTempDir::UnixTempDir() : m_path(NewFolder("Z:\\tmp\\p7u")) {}

UnixTempDir::~UnixTempDir()
{
    // Removing a link through Windows calls could delete what it points to.
    RunUnix("/bin/rm -rf \"" + UnixPath(m_path) + "\"", [](const std::string& path) { return !EntryExists(path); },
            m_path);
}

int RunTestCaseAsWin98(const std::string& testCase, const std::string& envName, const std::string& envValue)
{
    const std::string childName = "unit_tests_win98.exe";
    const std::string appDefaults = "Software\\Wine\\AppDefaults\\" + childName;
    char self[MAX_PATH] = "";
    GetModuleFileNameA(NULL, self, MAX_PATH);
    const std::string child = ExeFolder() + "\\" + childName;
    if (!CopyFileA(self, child.c_str(), FALSE))
        return -1;
    RegSetString(HKEY_CURRENT_USER, appDefaults, "Version", "win98");
    const int exitCode = RunToEnd("\"" + child + "\" --no-version \"--test-case=" + testCase + "\"", child, 60000,
                                  { envName + "=" + envValue });
    RegRemoveTree(HKEY_CURRENT_USER, appDefaults);
    DeleteFileA(child.c_str());
    return exitCode;
}
