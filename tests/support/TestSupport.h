// Helpers shared by the test suites: scratch folders, files, the log, the registry.
#pragma once
#include <windows.h>
#include <string>

std::string ReadFileBytes(const std::string& path);            // "" when missing
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);                      // file or folder
bool FolderExists(const std::string& path);
void RemoveTree(const std::string& path);                      // the tests' own, not the product's
std::string ExeFolder();                                       // folder of the running test program

// A fresh folder under %TEMP%, removed with all it holds at the end of the scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }
private:
    std::string m_path;
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
};

// Points g_logPath at a fresh log file for the scope; restores it afterwards.
class ScopedLog {
public:
    ScopedLog();
    ~ScopedLog();
    std::string Path() const { return m_dir / "Pelo7Clean.log"; }
    std::string Bytes() const { return ReadFileBytes(Path()); }
    int LineCount() const;                                     // CR LF ended lines
    bool Contains(const std::string& text) const { return Bytes().find(text) != std::string::npos; }
private:
    TempDir m_dir;
    char m_saved[MAX_PATH];
};

// Sets g_osKind for the scope.
class ScopedOsKind {
public:
    explicit ScopedOsKind(int kind);
    ~ScopedOsKind();
private:
    int m_saved;
};

// Makes GetVersionExA report the given system for the scope. failFirst rejects the
// extended structure size; failAll rejects both sizes.
struct FakeVersion {
    DWORD platform, major, minor;
    const char* csd;
    bool failFirst, failAll;
};
class ScopedVersion {
public:
    explicit ScopedVersion(const FakeVersion& v);
    ~ScopedVersion();
    static int s_calls;          // calls since the scope began
    static DWORD s_sizes[4];     // dwOSVersionInfoSize of the first calls
};

// Registry helpers, all under HKEY_LOCAL_MACHINE unless a root is given.
void RegSetString(HKEY root, const std::string& path, const char* name, const std::string& value);
void RegSetBytes(HKEY root, const std::string& path, const char* name, const std::string& bytes, DWORD type = REG_SZ);
bool RegKeyExists(HKEY root, const std::string& path);
void RegRemoveTree(HKEY root, const std::string& path);        // ignores a missing key

// UTF-8 text (as this source is written) in the ANSI code page of the test.
std::string Acp(const char* utf8);
