// Helpers shared by the test suites: scratch folders, files, the log, the registry.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "ScopedSeam.h"

std::string ReadFileBytes(const std::string& path);            // "" when missing
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);                      // file or folder
bool FolderExists(const std::string& path);
void RemoveTree(const std::string& path);                      // the tests' own, not the product's
std::string ExeFolder();                                       // folder of the running test program
// Creates root and below it each entry in order: a name ending in a backslash is a
// folder, any other a file that holds its own name.
void PlantFiles(const std::string& root, const std::vector<std::string>& entries);

// A folder made new: stem with a number after it that no folder has yet. Throws when
// no folder can be made there.
std::string NewFolder(const std::string& stem);

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

// Points g_logPath at a fresh log file for the scope, and the restore files (g_exeFolderW)
// at its folder; restores both afterwards.
class ScopedLog {
public:
    ScopedLog();
    ~ScopedLog();
    std::string Path() const { return m_dir / "Pelo7Clean.log"; }
    const std::string& Folder() const { return m_dir.Path(); }
    std::string Bytes() const { return ReadFileBytes(Path()); }
    int LineCount() const;                                     // CR LF ended lines
    bool Contains(const std::string& text) const { return Bytes().find(text) != std::string::npos; }
private:
    TempDir m_dir;
    char m_saved[MAX_PATH];
    std::wstring m_savedFolder;
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
    static int s_calls;          // calls since the scope began
    static DWORD s_sizes[4];     // dwOSVersionInfoSize of the first calls
private:
    ScopedSeam<BOOL(WINAPI*)(LPOSVERSIONINFOA)> m_seam;
};

// Registry helpers. The setters create the key where it is missing.
void RegSetString(HKEY root, const std::string& path, const char* name, const std::string& value);
void RegSetBytes(HKEY root, const std::string& path, const char* name, const std::string& bytes, DWORD type = REG_SZ);
HKEY RegCreate(HKEY root, const std::string& path);             // opened for all access; throws on failure
bool RegKeyExists(HKEY root, const std::string& path);
void RegRemoveTree(HKEY root, const std::string& path);        // ignores a missing key

// The key with everything below it as comparable text: each key's path under path, then
// its values sorted by name, each with type and bytes, as stored (read with the wide calls;
// names in UTF-8). "" when the key does not exist.
// view 0x0100 (KEY_WOW64_64KEY) reads the native view on 64-bit Windows.
std::string RegSnapshot(HKEY root, const std::string& path, REGSAM view = 0);

// The restore files (Pelo7Clean-*.reg) in a folder, full paths sorted by name; removal.
std::vector<std::string> RestoreFiles(const std::string& folder);
void RemoveRestoreFiles(const std::string& folder);

// Runs "<editor> /s <file>", as a double-click does after confirmation; true when the
// editor ended with code 0.
bool ImportRegFile(const std::string& file, const std::string& editor = "regedit.exe");

// UTF-8 text (as this source is written) in the ANSI code page of the test.
std::string Acp(const char* utf8);
