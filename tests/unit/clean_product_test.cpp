#include <doctest/doctest.h>
#include <shlwapi.h>
#include <string>
#include "EngineFixture.h"
#include "EngineSupport.h"
#include "Fakes.h"
#include "Products.h"

namespace {

const char kNeighbour[] = "{P7TEST-NEIGHBOUR}";
const char kNeighbourFile[] = "P7TestNeighbour.exe";
const DelKeyEntry& kMonitor = g_delKeyTable[kProductMonitor];   // four uninstall keys, three program files

// Entry 2 as its installers leave it, with neighbours of every kind that must stay:
// its third program file has no App Paths key, and a copy of its first lies elsewhere.
struct Planted {
    Planted() : m_createdSetupFolders(CreateDirectoryA(SetupFolders().c_str(), NULL) != FALSE)
    {
        PlantProduct(kProductMonitor, "Monitor", programs.Path());
        RegRemoveTree(HKEY_LOCAL_MACHINE, AppPathsKey(File(2)));
        RegSetString(HKEY_LOCAL_MACHINE, UninstallKey(kNeighbour), "DisplayName", "Neighbour");
        PlantSetupFolder(kNeighbour);
        WriteFileBytes(programs / kNeighbourFile, "MZ");
        RegSetString(HKEY_LOCAL_MACHINE, AppPathsKey(kNeighbourFile), "", programs / kNeighbourFile);
        WriteFileBytes(elsewhere / File(0), "MZ");
    }
    ~Planted()
    {
        RemoveAllProducts();
        RegRemoveTree(HKEY_LOCAL_MACHINE, UninstallKey(kNeighbour));
        RegRemoveTree(HKEY_LOCAL_MACHINE, AppPathsKey(kNeighbourFile));
        RemoveTree(SetupFolder(kNeighbour));
        if (m_createdSetupFolders)
            RemoveDirectoryA(SetupFolders().c_str());
    }
    static std::string Guid(int i) { return kMonitor.pGuidKeys[i]; }
    static std::string File(int i) { return kMonitor.pAppFiles[i]; }
    bool HasUninstallKey(int i) const { return RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKey(Guid(i))); }
    bool HasSetupFolder(int i) const { return FolderExists(SetupFolder(Guid(i))); }
    bool HasAppPathsKey(int i) const { return RegKeyExists(HKEY_LOCAL_MACHINE, AppPathsKey(File(i))); }
    bool HasProgramFile(int i) const { return FileExists(programs / File(i)); }
    bool Untouched() const
    {
        for (int i = 0; i < 4; ++i)
            if (!HasUninstallKey(i) || !HasSetupFolder(i))
                return false;
        return HasAppPathsKey(0) && HasAppPathsKey(1) && HasProgramFile(0) && HasProgramFile(1) && HasProgramFile(2);
    }
    bool NeighboursStay() const
    {
        return RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKey(kNeighbour))
               && FileExists(SetupFolder(kNeighbour) + "\\Disk1\\data1.cab")
               && RegKeyExists(HKEY_LOCAL_MACHINE, AppPathsKey(kNeighbourFile))
               && FileExists(programs / kNeighbourFile) && FileExists(elsewhere / File(0));
    }
    TempDir programs, elsewhere;
    bool m_createdSetupFolders;
};

DWORD WINAPI SecondKeyDenied(HKEY hKey, LPCSTR lpSubKey)
{
    if (lpSubKey == UninstallKey(Planted::Guid(1)))
        return ERROR_ACCESS_DENIED;
    return SHDeleteKeyA(hKey, lpSubKey);
}
DWORD WINAPI ThrowingDelete(HKEY, LPCSTR)
{
    SetLastError(1234);
    throw 1;
}
LONG WINAPI OpenDenied(HKEY, LPCSTR, DWORD, REGSAM, PHKEY)
{
    return ERROR_ACCESS_DENIED;
}

}  // namespace

TEST_CASE_FIXTURE(EngineOnXP, "DelPelo7RegKey: the product's keys, App Paths keys, program files and setup folders go; nothing else")
{
    Planted p;

    CHECK(dlg.DelPelo7RegKey(&kMonitor) == 0);
    for (int i = 0; i < 4; ++i) {
        CAPTURE(i);
        CHECK_FALSE(p.HasUninstallKey(i));
        CHECK_FALSE(p.HasSetupFolder(i));
    }
    CHECK_FALSE(p.HasAppPathsKey(0));
    CHECK_FALSE(p.HasAppPathsKey(1));
    CHECK_FALSE(p.HasProgramFile(0));
    CHECK_FALSE(p.HasProgramFile(1));
    CHECK(p.HasProgramFile(2));   // no App Paths key names it
    CHECK(p.NeighboursStay());
    CHECK(log.Bytes() == "");
}

TEST_CASE_FIXTURE(EngineOn7, "DelPelo7RegKey: nothing installed gives 0 and logs nothing")
{
    for (int i = 0; i < kProductCount; ++i)
        CHECK(dlg.DelPelo7RegKey(&g_delKeyTable[i]) == 0);
    CHECK(log.Bytes() == "");
}

TEST_CASE_FIXTURE(EngineOnXP, "DelPelo7RegKey: a failure stops it; the work of earlier steps stays done")
{
    Planted p;

    SUBCASE("-12 when the second of four uninstall keys cannot be deleted") {
        ScopedSeam denied(seam::pSHDeleteKeyA, SecondKeyDenied);
        CHECK(dlg.DelPelo7RegKey(&kMonitor) == -12);
        CHECK_FALSE(p.HasUninstallKey(0));
        CHECK(p.HasUninstallKey(1));
        CHECK(p.HasUninstallKey(2));
        CHECK(p.HasUninstallKey(3));
        CHECK(p.HasAppPathsKey(0));
        CHECK(p.HasProgramFile(0));
        CHECK(p.HasSetupFolder(0));
        CHECK(log.Contains(" : SHDeleteKey() Error! [OS] 6 [KeyName] " + UninstallKey(Planted::Guid(1))
                           + " [ErrCode] 5\r\n"));
        CHECK(log.LineCount() == 1);
    }
    SUBCASE("-13, with nothing deleted, on a platform without registry deletion") {
        ScopedOsKind unsupported(4);
        CHECK(dlg.DelPelo7RegKey(&kMonitor) == -13);
        CHECK(p.Untouched());
        CHECK(log.LineCount() == 1);
    }
    SUBCASE("-2 when no Program Files folder is found") {
        ScopedShellFolder shell("", FALSE);
        ScopedSeam open(seam::pRegOpenKeyExA, OpenDenied);
        CHECK(dlg.DelPelo7RegKey(&kMonitor) == -2);
        CHECK_FALSE(p.HasUninstallKey(3));
        CHECK_FALSE(p.HasAppPathsKey(1));
        CHECK(p.HasSetupFolder(0));
        CHECK(log.Contains(" : GetProgramFilesDir() Error!\r\n"));
        CHECK(log.LineCount() == 2);   // and the failed registry lookup
    }
    SUBCASE("-3 when the Program Files folder cannot be read") {
        ScopedShellFolder shell("C:\\P7 No Such Folder");
        CHECK(dlg.DelPelo7RegKey(&kMonitor) == -3);
        CHECK_FALSE(p.HasUninstallKey(3));
        CHECK(p.HasSetupFolder(0));
        CHECK(log.Contains(" : GetFileAttributes() Error! [FilePath] C:\\P7 No Such Folder [ErrCode] 2\r\n"));
        CHECK(log.LineCount() == 1);
    }
    SUBCASE("-4 when a setup folder cannot go whole: a read-only file stays inside") {
        const std::string locked = SetupFolder(Planted::Guid(1)) + "\\Disk1\\data1.cab";
        SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY);
        CHECK(dlg.DelPelo7RegKey(&kMonitor) == -4);
        SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
        CHECK(FileExists(locked));
        CHECK_FALSE(p.HasUninstallKey(3));
        CHECK_FALSE(p.HasSetupFolder(0));
        CHECK(p.HasSetupFolder(2));   // not tried after the failure
        CHECK(log.Contains(" : DeleteTheFolder() Error! [Folder] " + SetupFolder(Planted::Guid(1)) + "\r\n"));
        CHECK(log.LineCount() == 1);
    }
    SUBCASE("-9 when an exception reaches the guard") {
        try {   // the runtime's first exception in a process clears the last error
            throw 0;
        } catch (...) {
        }
        ScopedSeam throwing(seam::pSHDeleteKeyA, ThrowingDelete);
        CHECK(dlg.DelPelo7RegKey(&kMonitor) == -9);
        CHECK(p.Untouched());
        CHECK(log.Contains("Pelo7CleanDlg.cpp("));
        CHECK(log.Contains(" : DelPelo7RegKey() Error! [ErrCode] 1234\r\n"));
        CHECK(log.LineCount() == 1);
    }
    SUBCASE("-1 for no entry") {
        CHECK(dlg.DelPelo7RegKey(NULL) == -1);
        CHECK(p.Untouched());
        CHECK(log.Contains(" : Parameter Error! [Detail] pDelKey is NULL.\r\n"));
    }
    CHECK(p.NeighboursStay());
}

TEST_CASE_FIXTURE(EngineOnXP, "DelPelo7RegKey: a path that does not fit is reported, never cut to another one")
{
    TempDir dir;

    SUBCASE("a key path: -11") {
        DelKeyName keys[2] = {};
        lstrcpyA(keys[0], std::string(220, 'k').c_str());
        const DelKeyName files[1] = {""};
        const DelKeyEntry entry = {keys, files};
        const std::string cut = UninstallKey(std::string(keys[0], 205));
        RegSetString(HKEY_LOCAL_MACHINE, cut, "DisplayName", "cut");
        CHECK(dlg.DelPelo7RegKey(&entry) == -11);
        CHECK(RegKeyExists(HKEY_LOCAL_MACHINE, cut));
        RegRemoveTree(HKEY_LOCAL_MACHINE, cut);
        CHECK(log.Contains(" : Parameter Error! [Detail] hKey or lpSubKey is Invalid.\r\n"));
        CHECK(log.LineCount() == 1);
    }
    SUBCASE("a setup folder path: -4, with the whole path in the log") {
        // 200 + "\InstallShield Installation Information\" = 240; the key name passes 259.
        const std::string programFiles = MakeFolderOfLength(dir.Path(), 200);
        ScopedShellFolder shell(programFiles);
        const std::string prefix = programFiles + "\\InstallShield Installation Information\\";
        const std::string whole = prefix + g_delKeyTable[kProductMain].pGuidKeys[0];
        const std::string cut = whole.substr(0, MAX_PATH - 1);
        CreateDirectoryA(prefix.c_str(), NULL);
        REQUIRE(CreateDirectoryA(cut.c_str(), NULL));
        CHECK(dlg.DelPelo7RegKey(&g_delKeyTable[kProductMain]) == -4);
        CHECK(FolderExists(cut));
        CHECK(log.Contains(" : DeleteTheFolder() Error! [Folder] " + whole + "\r\n"));
        CHECK(log.LineCount() == 1);
    }
}

TEST_CASE_FIXTURE(EngineOnXP, "DelPelo7RegKey: a program path without a terminating zero names no file")
{
    TempDir dir;
    // Cut to 259 bytes, the value would name this file.
    const std::string program = MakeFolderOfLength(dir.Path(), 259 - 1 - 10) + "\\Victim.exe";
    REQUIRE(program.size() == 259);
    WriteFileBytes(program, "MZ");
    const DelKeyName keys[1] = {""};
    const DelKeyName files[2] = {"P7TestUnterminated.exe", ""};
    const DelKeyEntry entry = {keys, files};
    RegSetBytes(HKEY_LOCAL_MACHINE, AppPathsKey(files[0]), "", program + "\"", REG_BINARY);

    CHECK(dlg.DelPelo7RegKey(&entry) == 0);
    CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, AppPathsKey(files[0])));
    CHECK(FileExists(program));
    CHECK(log.Contains(" : GetAppPathModule() : RegQueryValueEx Error! [ErrCode] 234\r\n"));
    CHECK(log.LineCount() == 1);
}

TEST_CASE_FIXTURE(EngineOnXP, "DelPelo7RegKey: a program file goes only when a full path names one of the product's own")
{
    Planted p;
    TempDir current;

    // A file of another program; a relative name, which only the current folder resolves;
    // and, through the third program's key, the second one's short 8.3 path.
    WriteFileBytes(p.elsewhere / "win.ini", "[fonts]");
    RegSetString(HKEY_LOCAL_MACHINE, AppPathsKey(Planted::File(0)), "", p.elsewhere / "win.ini");
    WriteFileBytes(current / Planted::File(1), "MZ");
    RegSetString(HKEY_LOCAL_MACHINE, AppPathsKey(Planted::File(1)), "", Planted::File(1));
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA((p.programs / Planted::File(1)).c_str(), shortPath, MAX_PATH);
    REQUIRE(std::string(shortPath).find(Planted::File(1)) == std::string::npos);
    RegSetString(HKEY_LOCAL_MACHINE, AppPathsKey(Planted::File(2)), "", shortPath);

    char saved[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, saved);
    SetCurrentDirectoryA(current.Path().c_str());
    CHECK(dlg.DelPelo7RegKey(&kMonitor) == 0);
    SetCurrentDirectoryA(saved);
    for (int i = 0; i < 3; ++i)
        CHECK_FALSE(p.HasAppPathsKey(i));
    CHECK(FileExists(p.elsewhere / "win.ini"));
    CHECK(FileExists(current / Planted::File(1)));
    CHECK_FALSE(p.HasProgramFile(1));
    CHECK(p.HasProgramFile(0));
    CHECK(log.Contains(" : DeleteFile() Error! [FilePath] " + p.elsewhere / "win.ini"
                       + " [Detail] Not a program file of this product; the file is kept.\r\n"));
    CHECK(log.Contains(" : DeleteFile() Error! [FilePath] " + Planted::File(1)
                       + " [Detail] Not a full path; the file is kept.\r\n"));
    CHECK(log.LineCount() == 2);
}

TEST_CASE_FIXTURE(EngineOnXP, "DelPelo7RegKey: a program file that is named but kept gets one log line saying why")
{
    TempDir dir;
    const DelKeyName keys[1] = {""};
    const DelKeyName files[6] = {"P7Quoted.exe", "P7Env.exe", "P7Args.exe", "P7Held.exe", "P7Missing.exe", ""};
    const DelKeyEntry entry = {keys, files};
    for (int i = 0; i < 4; ++i)
        WriteFileBytes(dir / files[i], "MZ");
    SetEnvironmentVariableA("P7TEST_DIR", dir.Path().c_str());
    const std::string values[5] = {"\"" + dir / files[0] + "\"", "%P7TEST_DIR%\\P7Env.exe", dir / files[2] + " /uninstall",
                                   dir / files[3], dir / files[4]};
    for (int i = 0; i < 5; ++i)
        RegSetString(HKEY_LOCAL_MACHINE, AppPathsKey(files[i]), "", values[i]);
    // Open without FILE_SHARE_DELETE: its deletion fails.
    HANDLE held = CreateFileA((dir / files[3]).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    REQUIRE(held != INVALID_HANDLE_VALUE);

    CHECK(dlg.DelPelo7RegKey(&entry) == 0);
    CloseHandle(held);
    SetEnvironmentVariableA("P7TEST_DIR", NULL);
    for (int i = 0; i < 5; ++i) {
        CAPTURE(i);
        CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, AppPathsKey(files[i])));
        CHECK(FileExists(dir / files[i]) == (i < 4));
    }
    const std::string kept = " : DeleteFile() Error! [FilePath] ";
    CHECK(log.Contains(kept + values[0] + " [Detail] A quoted path; the file is kept.\r\n"));
    CHECK(log.Contains(kept + values[1] + " [Detail] An environment reference; the file is kept.\r\n"));
    CHECK(log.Contains(kept + values[2] + " [Detail] Arguments after the path; the file is kept.\r\n"));
    CHECK(log.Contains(kept + values[3] + " [ErrCode] 32\r\n"));
    CHECK(log.LineCount() == 4);   // a full path to no file is the ordinary missing file
}
