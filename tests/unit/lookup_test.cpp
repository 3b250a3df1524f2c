#include <doctest/doctest.h>
#include <string.h>
#include <string>
#include "EngineFixture.h"
#include "EngineSupport.h"
#include "Fakes.h"
#include "Products.h"
#include "WideCalls.h"

namespace {

const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kGuid[] = "{P7TEST-LOOKUP-0000}";
const std::string kAppPath = "SOFTWARE\\Pelo7CleanTest\\App Paths\\Lookup.exe";

// A registry key made for one test and removed after it.
struct Sandbox {
    explicit Sandbox(const std::string& p) : path(p) { RegRemoveTree(HKEY_LOCAL_MACHINE, path); }
    ~Sandbox() { RegRemoveTree(HKEY_LOCAL_MACHINE, path); }
    std::string path;
};

// Counts the keys the lookups open and close, and what they asked for.
int s_opened, s_closed, s_openCalls;
REGSAM s_lastSam;
LONG s_failOpenWith;   // non-zero: every open fails with it
LONG WINAPI CountingOpen(HKEY root, LPCSTR path, DWORD options, REGSAM sam, PHKEY phKey)
{
    ++s_openCalls;
    s_lastSam = sam;
    if (s_failOpenWith != 0)
        return s_failOpenWith;
    const LONG result = ::RegOpenKeyExA(root, path, options, sam, phKey);
    if (result == ERROR_SUCCESS)
        ++s_opened;
    return result;
}
// The wide opens of the restore file and the link walk count with the rest.
LONG(WINAPI* s_realOpenW)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY);
LONG WINAPI CountingOpenW(HKEY root, LPCWSTR path, DWORD options, REGSAM sam, PHKEY phKey)
{
    const LONG result = s_realOpenW(root, path, options, sam, phKey);
    if (result == ERROR_SUCCESS)
        ++s_opened;
    return result;
}
LONG WINAPI CountingClose(HKEY hKey)
{
    ++s_closed;
    return ::RegCloseKey(hKey);
}
// The engine, whose lookups read no platform code, with the keys it opens counted.
struct Lookups : EngineOnXP {
    Lookups()
        : loaded((wide::Load(), s_realOpenW = wide::pRegOpenKeyExW)), open(seam::pRegOpenKeyExA, CountingOpen),
          openW(wide::pRegOpenKeyExW, CountingOpenW), close(seam::pRegCloseKey, CountingClose)
    {
        s_opened = s_closed = s_openCalls = 0;
        s_lastSam = 0;
        s_failOpenWith = 0;
    }
    bool loaded;
    ScopedSeam<decltype(seam::pRegOpenKeyExA)> open;
    ScopedSeam<decltype(wide::pRegOpenKeyExW)> openW;
    ScopedSeam<decltype(seam::pRegCloseKey)> close;
};

LONG WINAPI ThrowingQuery(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD)
{
    SetLastError(1234);
    throw 1;
}

LONG WINAPI MissingValue(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD)
{
    return ERROR_FILE_NOT_FOUND;
}

bool Untouched(const char* buffer, size_t size)
{
    for (size_t i = 0; i < size; ++i)
        if (buffer[i] != 'x')
            return false;
    return true;
}

}  // namespace

TEST_CASE_FIXTURE(Lookups, "GetDisplayName: missing key or value is silent; other failures are logged")
{
    Sandbox box(kUninstall + kGuid);
    char out[300];
    memset(out, 'x', sizeof out);

    CHECK(dlg.GetDisplayName(kGuid, out) == 0);
    CHECK(s_lastSam == (KEY_READ | KEY_WRITE));
    RegSetString(HKEY_LOCAL_MACHINE, box.path, "Publisher", "someone");
    CHECK(dlg.GetDisplayName(kGuid, out) == 0);
    CHECK(log.Bytes() == "");
    CHECK(Untouched(out, sizeof out));

    // Without the right to write, the key does not open, although reading would do.
    s_failOpenWith = ERROR_ACCESS_DENIED;
    CHECK(dlg.GetDisplayName(kGuid, out) == 0);
    CHECK(log.Contains("Pelo7CleanDlg.cpp("));
    CHECK(log.Contains(" : RegOpenKeyEx() Error! [szKeyName] " + kUninstall + kGuid + " [ErrCode] 5\r\n"));
    s_failOpenWith = 0;

    CHECK(dlg.GetDisplayName(NULL, out) == 0);
    CHECK(dlg.GetDisplayName("", out) == 0);
    // A key name that would not fit the path buffer is refused, not cut short.
    CHECK(dlg.GetDisplayName(std::string(220, 'k').c_str(), out) == 0);
    CHECK(log.LineCount() == 4);
    CHECK(log.Contains(" : Parameter Error! [Detail] psGuidKey is Invalid.\r\n"));
    CHECK(Untouched(out, sizeof out));
    CHECK(s_opened == s_closed);
}

TEST_CASE_FIXTURE(Lookups, "GetDisplayName: 259 characters come back whole; 260, or no terminating zero, fail")
{
    Sandbox box(kUninstall + kGuid);
    char out[300];
    memset(out, 'x', sizeof out);

    const std::string name259 = std::string(258, 'n') + "Z";
    RegSetString(HKEY_LOCAL_MACHINE, box.path, "DisplayName", name259);
    CHECK(dlg.GetDisplayName(kGuid, out) == 1);
    CHECK(std::string(out) == name259);
    CHECK(Untouched(out + 260, 40));
    CHECK(log.Bytes() == "");

    memset(out, 'x', sizeof out);
    RegSetString(HKEY_LOCAL_MACHINE, box.path, "DisplayName", std::string(260, 'n'));
    CHECK(dlg.GetDisplayName(kGuid, out) == 0);
    // 260 bytes without a zero would be cut to a different name, or read past the buffer.
    RegSetBytes(HKEY_LOCAL_MACHINE, box.path, "DisplayName", std::string(260, 'n'), REG_BINARY);
    CHECK(dlg.GetDisplayName(kGuid, out) == 0);
    RegSetBytes(HKEY_LOCAL_MACHINE, box.path, "DisplayName", std::string(260, 'n'), REG_SZ);
    CHECK(dlg.GetDisplayName(kGuid, out) == 0);
    CHECK(Untouched(out, sizeof out));
    CHECK(log.LineCount() == 3);
    CHECK(log.Contains(" : RegQueryValueEx() Error! [ErrCode] 234\r\n"));
    CHECK(s_opened == s_closed);
}

TEST_CASE_FIXTURE(Lookups, "GetAppPathModule: the empty value name reads the default value; only query failures are logged")
{
    Sandbox box(kAppPath);
    char out[300];
    memset(out, 'x', sizeof out);

    CHECK(dlg.GetAppPathModule(kAppPath.c_str(), "", out) == 0);   // no such key
    CHECK(dlg.GetAppPathModule("", "", out) == 0);
    CHECK(dlg.GetAppPathModule(NULL, "", out) == 0);
    s_failOpenWith = ERROR_ACCESS_DENIED;
    CHECK(dlg.GetAppPathModule(kAppPath.c_str(), "", out) == 0);
    s_failOpenWith = 0;
    CHECK(log.Bytes() == "");
    CHECK(Untouched(out, sizeof out));

    RegSetString(HKEY_LOCAL_MACHINE, kAppPath, "Path", "C:\\Lookup");
    CHECK(dlg.GetAppPathModule(kAppPath.c_str(), "", out) == 0);   // no default value
    CHECK(log.Contains(" : GetAppPathModule() : RegQueryValueEx Error! [ErrCode] 2\r\n"));
    RegSetBytes(HKEY_LOCAL_MACHINE, kAppPath, "", std::string(260, 'p'), REG_BINARY);
    CHECK(dlg.GetAppPathModule(kAppPath.c_str(), "", out) == 0);
    CHECK(log.Contains(" : GetAppPathModule() : RegQueryValueEx Error! [ErrCode] 234\r\n"));
    CHECK(Untouched(out, sizeof out));

    RegSetString(HKEY_LOCAL_MACHINE, kAppPath, "", "C:\\Lookup\\Lookup.exe");
    CHECK(dlg.GetAppPathModule(kAppPath.c_str(), "", out) == 1);
    CHECK(std::string(out) == "C:\\Lookup\\Lookup.exe");
    CHECK(s_lastSam == KEY_READ);
    CHECK(dlg.GetAppPathModule(kAppPath.c_str(), "Path", out) == 1);
    CHECK(std::string(out) == "C:\\Lookup");
    CHECK(log.LineCount() == 2);
    CHECK(s_opened == s_closed);
}

TEST_CASE_FIXTURE(Lookups, "GetProgramFilesDir: the shell's answer, else the registry's, whose failures are logged")
{
    ScopedShellFolder shell("D:\\Shell Programs");
    char out[300];

    memset(out, 'x', sizeof out);
    CHECK(dlg.GetProgramFilesDir(out) == 1);
    CHECK(std::string(out) == "D:\\Shell Programs");
    CHECK(shell.Asked() == CSIDL_PROGRAM_FILES);
    CHECK(s_openCalls == 0);

    char expected[MAX_PATH] = "";
    DWORD size = sizeof expected;
    HKEY hKey;
    REQUIRE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &hKey) == 0);
    RegQueryValueExA(hKey, "ProgramFilesDir", NULL, NULL, (LPBYTE)expected, &size);
    RegCloseKey(hKey);
    REQUIRE(expected[0] != '\0');
    for (BOOL shellResult : {FALSE, TRUE}) {   // a failure, or an empty answer
        shell.Answer("", shellResult);
        memset(out, 'x', sizeof out);
        CHECK(dlg.GetProgramFilesDir(out) == 1);
        CHECK(std::string(out) == expected);
        CHECK(s_lastSam == KEY_READ);
    }
    CHECK(log.Bytes() == "");

    shell.Answer("", FALSE);
    s_failOpenWith = ERROR_ACCESS_DENIED;
    memset(out, 'x', sizeof out);
    CHECK(dlg.GetProgramFilesDir(out) == 0);
    CHECK(log.Contains(" : RegOpenKeyEx() Error! [szKeyName] SOFTWARE\\Microsoft\\Windows\\CurrentVersion [ErrCode] 5\r\n"));
    CHECK(out[0] == '\0');
    CHECK(Untouched(out + 260, 40));
    s_failOpenWith = 0;
    {
        ScopedSeam query(seam::pRegQueryValueExA, MissingValue);
        CHECK(dlg.GetProgramFilesDir(out) == 0);
    }
    CHECK(log.Contains(" : RegQueryValueEx() Error! [ErrCode] 2\r\n"));
    CHECK(log.LineCount() == 2);
    CHECK(s_opened == s_closed);
}

TEST_CASE_FIXTURE(Lookups, "the lookups' guards log the last error, close the key and fail")
{
    Sandbox display(kUninstall + kGuid);
    Sandbox appPath(kAppPath);
    RegSetString(HKEY_LOCAL_MACHINE, display.path, "DisplayName", "Lookup");
    RegSetString(HKEY_LOCAL_MACHINE, kAppPath, "", "C:\\Lookup.exe");
    ScopedSeam query(seam::pRegQueryValueExA, ThrowingQuery);
    ScopedShellFolder shell("", FALSE);
    char out[300];
    memset(out, 'x', sizeof out);
    // The runtime's first exception in a process clears the last error on its way.
    try {
        throw 0;
    } catch (...) {
    }

    CHECK(dlg.GetDisplayName(kGuid, out) == 0);
    CHECK(dlg.GetAppPathModule(kAppPath.c_str(), "", out) == 0);
    CHECK(Untouched(out, sizeof out));
    CHECK(dlg.GetProgramFilesDir(out) == 0);
    CHECK(log.Contains(" : GetDisplayName() Error! [ErrCode] 1234\r\n"));
    CHECK(log.Contains(" : GetAppPathModule() Error! [ErrCode] 1234\r\n"));
    CHECK(log.Contains(" : GetProgramFilesDir() Error! [ErrCode] 1234\r\n"));
    CHECK(log.LineCount() == 3);
    CHECK(s_opened == 3);
    CHECK(s_closed == 3);
}

TEST_CASE_FIXTURE(Lookups, "a removal closes every key it opens: lookups, restore file and link walk")
{
    const DelKeyEntry& viewer = g_delKeyTable[kProductViewer];
    const std::string target = "SOFTWARE\\Pelo7CleanTest\\LinkTarget";
    const std::string link = UninstallKey(viewer.pGuidKeys[0]) + "\\Linked";
    Sandbox linkTarget(target);
    RegSetString(HKEY_LOCAL_MACHINE, target, "Value", "kept");
    TempDir programs;
    PlantProduct(kProductViewer, "Viewer", programs / "viewer");
    PlantRegistryLink(std::wstring(link.begin(), link.end()), target);

    CHECK(dlg.DelPelo7RegKey(&viewer) == 0);
    CHECK(RestoreFiles(log.Folder()).size() == 1);
    CHECK(RegKeyExists(HKEY_LOCAL_MACHINE, target));
    CHECK(s_opened > 5);
    CHECK(s_opened == s_closed);
    RemoveAllProducts();
}
