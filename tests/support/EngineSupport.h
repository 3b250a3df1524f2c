// Helpers for the cleaning engine's tests: trees that Unix tools can reach, registry
// links, and a child run of this test program as Windows 98.
#pragma once
#include <windows.h>
#include <string>
#include "ScopedSeam.h"

// A fresh folder under Z:\tmp (Wine's view of /tmp), so that Unix tools can plant
// links in it; removed with all it holds, links without their targets, at the end.
class UnixTempDir {
public:
    UnixTempDir();
    ~UnixTempDir();
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }
private:
    std::string m_path;
    UnixTempDir(const UnixTempDir&) = delete;
    UnixTempDir& operator=(const UnixTempDir&) = delete;
};

// The Unix path of a Z:\ path.
std::string UnixPath(const std::string& zPath);

// Starts a Unix program (Wine gives no handle to wait on), then waits up to ten
// seconds for done() to hold; returns its last answer.
bool RunUnix(const std::string& commandLine, bool (*done)(const std::string&), const std::string& arg);

// Creates a symbolic link at linkPath to target; both are Z:\ paths. True once the
// link is there.
bool PlantUnixLink(const std::string& target, const std::string& linkPath);

// The folder (a Z:\ path) made read-only for the scope, as a read-only medium is: a
// bind mount, which needs root. Done() is false where it could not be made.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const std::string& zPath);
    ~ReadOnlyFolder();
    bool Done() const { return m_done; }
private:
    std::string m_path;
    bool m_done;
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
};

// A registry link at path (under HKEY_LOCAL_MACHINE) to target, made as Wine's and
// Windows' own tests make them. The target is a native path: in a 64-bit prefix the
// 32-bit view's keys lie under Wow6432Node.
void PlantRegistryLink(const std::wstring& path, const std::string& target);
// Removes a link without following it: the tests' own tree removal would follow it.
void RemoveRegistryLink(const std::wstring& path);

// Entries of a folder, "." and ".." left out.
int CountEntries(const std::string& folder);

// A folder path of exactly the given length, made of nested folders under base.
std::string MakeFolderOfLength(const std::string& base, size_t length);

// Runs the one test case of this program in a copy of it that Wine presents as
// Windows 98, with the environment variable envName set to envValue. Returns the
// child's exit code, or -1 when it could not be run.
int RunTestCaseAsWin98(const std::string& testCase, const std::string& envName, const std::string& envValue);
