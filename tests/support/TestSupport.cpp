#include "TestSupport.h"
#include <shlwapi.h>
#include <algorithm>
#include <map>
#include <stdexcept>
#include "ChildProcess.h"
#include "Globals.h"
#include "TestSeams.h"

std::string ReadFileBytes(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return "";
    std::string bytes;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, NULL) && got > 0)
        bytes.append(buf, got);
    CloseHandle(h);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create " + path);
    DWORD put = 0;
    WriteFile(h, bytes.data(), (DWORD)bytes.size(), &put, NULL);
    CloseHandle(h);
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FolderExists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(child);
            else if (!DeleteFileA(child.c_str()))
                RemoveDirectoryA(child.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
}

std::string ExeFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(NULL, path, MAX_PATH);
    PathRemoveFileSpecA(path);
    return path;
}

void PlantFiles(const std::string& root, const std::vector<std::string>& entries)
{
    CreateDirectoryA(root.c_str(), NULL);
    for (const std::string& entry : entries) {
        if (entry.back() == '\\')
            CreateDirectoryA((root + "\\" + entry).c_str(), NULL);
        else
            WriteFileBytes(root + "\\" + entry, entry);
    }
}

std::string NewFolder(const std::string& stem)
{
    static unsigned s_counter = 0;
    for (;;) {
        const std::string path = stem + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++s_counter);
        if (CreateDirectoryA(path.c_str(), NULL))
            return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create " + path);
    }
}

TempDir::TempDir()
{
    char tmp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, tmp);
    m_path = NewFolder(std::string(tmp) + "p7t");
}

TempDir::~TempDir()
{
    RemoveTree(m_path);
}

ScopedLog::ScopedLog() : m_savedFolder(g_exeFolderW)
{
    lstrcpyA(m_saved, g_logPath);
    lstrcpyA(g_logPath, Path().c_str());
    MultiByteToWideChar(CP_ACP, 0, Folder().c_str(), -1, g_exeFolderW, sizeof g_exeFolderW / sizeof(WCHAR));
}

ScopedLog::~ScopedLog()
{
    lstrcpyA(g_logPath, m_saved);
    lstrcpynW(g_exeFolderW, m_savedFolder.c_str(), sizeof g_exeFolderW / sizeof(WCHAR));
}

int ScopedLog::LineCount() const
{
    std::string b = Bytes();
    int n = 0;
    for (size_t i = 0; (i = b.find("\r\n", i)) != std::string::npos; i += 2)
        ++n;
    return n;
}

ScopedOsKind::ScopedOsKind(int kind) : m_saved(g_osKind) { g_osKind = kind; }
ScopedOsKind::~ScopedOsKind() { g_osKind = m_saved; }

namespace {
FakeVersion s_fake;
BOOL WINAPI FakeGetVersionExA(LPOSVERSIONINFOA info)
{
    if (ScopedVersion::s_calls < 4)
        ScopedVersion::s_sizes[ScopedVersion::s_calls] = info->dwOSVersionInfoSize;
    ++ScopedVersion::s_calls;
    if (s_fake.failAll || (s_fake.failFirst && info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA))) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    info->dwPlatformId = s_fake.platform;
    info->dwMajorVersion = s_fake.major;
    info->dwMinorVersion = s_fake.minor;
    lstrcpynA(info->szCSDVersion, s_fake.csd ? s_fake.csd : "", sizeof info->szCSDVersion);
    return TRUE;
}
}

int ScopedVersion::s_calls = 0;
DWORD ScopedVersion::s_sizes[4];

ScopedVersion::ScopedVersion(const FakeVersion& v) : m_seam(seam::pGetVersionExA, FakeGetVersionExA)
{
    s_fake = v;
    s_calls = 0;
}

HKEY RegCreate(HKEY root, const std::string& path)
{
    HKEY h = NULL;
    if (RegCreateKeyExA(root, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &h, NULL) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create key " + path);
    return h;
}

void RegSetBytes(HKEY root, const std::string& path, const char* name, const std::string& bytes, DWORD type)
{
    HKEY h = RegCreate(root, path);
    RegSetValueExA(h, name, 0, type, (const BYTE*)bytes.data(), (DWORD)bytes.size());
    RegCloseKey(h);
}

void RegSetString(HKEY root, const std::string& path, const char* name, const std::string& value)
{
    RegSetBytes(root, path, name, std::string(value.c_str(), value.size() + 1));
}

bool RegKeyExists(HKEY root, const std::string& path)
{
    HKEY h = NULL;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    RegCloseKey(h);
    return true;
}

void RegRemoveTree(HKEY root, const std::string& path)
{
    SHDeleteKeyA(root, path.c_str());
}

std::string Acp(const char* utf8)
{
    wchar_t wide[1024];
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 1024);
    char narrow[2048] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, n, narrow, sizeof narrow, NULL, NULL);
    return narrow;
}

static std::string Utf8(const std::wstring& text)
{
    std::string out(text.size() * 3, '\0');
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &out[0], (int)out.size(), NULL, NULL);
    out.resize(n > 0 ? n : 0);
    return out;
}

// Read with the wide calls, so that names and data outside the code page show as stored.
static void SnapshotKey(HKEY key, const std::string& relative, std::string& out)
{
    out += "[" + relative + "]\n";
    std::map<std::string, std::string> values;
    std::vector<WCHAR> name(16384);
    std::vector<BYTE> data(65536);
    for (DWORD i = 0;; ++i) {
        DWORD cchName = (DWORD)name.size(), cbData = (DWORD)data.size(), type = 0;
        if (RegEnumValueW(key, i, &name[0], &cchName, NULL, &type, &data[0], &cbData) != ERROR_SUCCESS)
            break;
        const std::string valueName = Utf8(std::wstring(&name[0], cchName));
        std::string line = "  \"" + valueName + "\" type " + std::to_string(type) + ":";
        for (DWORD b = 0; b < cbData; ++b) {
            char hex[4];
            wsprintfA(hex, " %02x", data[b]);
            line += hex;
        }
        values[valueName] = line + "\n";
    }
    for (const auto& v : values)
        out += v.second;
    for (DWORD i = 0;; ++i) {
        WCHAR subName[256];
        DWORD cchSubName = 256;
        if (RegEnumKeyExW(key, i, subName, &cchSubName, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        HKEY sub = NULL;
        if (RegOpenKeyExW(key, subName, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
            SnapshotKey(sub, relative + "\\" + Utf8(subName), out);
            RegCloseKey(sub);
        }
    }
}

std::string RegSnapshot(HKEY root, const std::string& path, REGSAM view)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return "";
    std::string out;
    SnapshotKey(key, "", out);
    RegCloseKey(key);
    return out;
}

std::vector<std::string> RestoreFiles(const std::string& folder)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\Pelo7Clean-*.reg").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do
            files.push_back(folder + "\\" + fd.cFileName);
        while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    std::sort(files.begin(), files.end());
    return files;
}

void RemoveRestoreFiles(const std::string& folder)
{
    for (const std::string& file : RestoreFiles(folder))
        DeleteFileA(file.c_str());
}

bool ImportRegFile(const std::string& file, const std::string& editor)
{
    return RunToEnd("\"" + editor + "\" /s \"" + file + "\"", "", 30000) == 0;
}
