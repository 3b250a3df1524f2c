// On 64-bit Windows the program, a 32-bit process passing no view flags, sees
// and cleans the 32-bit registry view and "Program Files (x86)" only; its restore
// file puts the keys back there when the 64-bit registry editor imports it.
#include <doctest/doctest.h>
#include "DialogSession.h"
#include "EngineSupport.h"
#include "DelKeyTable.h"
#include "Products.h"
#include "TestSupport.h"

namespace {
const REGSAM kView64 = 0x0100;   // KEY_WOW64_64KEY

bool Is64BitWindows()
{
    typedef BOOL (WINAPI *IsWow64ProcessFn)(HANDLE, PBOOL);
    IsWow64ProcessFn fn = (IsWow64ProcessFn)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process");
    BOOL wow = FALSE;
    return fn != NULL && fn(GetCurrentProcess(), &wow) && wow;
}

void SetNative(const std::string& path, const char* name, const std::string& value)
{
    HKEY h = NULL;
    REQUIRE(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS | kView64, NULL, &h, NULL) == 0);
    RegSetValueExA(h, name, 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
    RegCloseKey(h);
}

std::string s_restored;
bool Restored(const std::string& key)
{
    return RegSnapshot(HKEY_LOCAL_MACHINE, key) == s_restored;
}
}

TEST_CASE("64-bit Windows: the 32-bit view is listed, cleaned and restored, the native view left alone")
{
    if (!Is64BitWindows()) {
        MESSAGE("not a 64-bit prefix; this case runs in the win64 session");
        return;
    }
    const char* guid = g_guidKeysViewer[0];
    CleanMachine machine;
    REQUIRE(ProgramFilesDir().find("(x86)") != std::string::npos);
    machine.Plant(kProductViewer);
    PlantEveryValueKind(UninstallKey(guid));
    REQUIRE(RegSnapshot(HKEY_LOCAL_MACHINE, UninstallKey(guid), kView64) == "");   // planted in the 32-bit view
    SetNative(UninstallKey(guid), "DisplayName", "Native 64-bit registration");
    const std::string planted = RegSnapshot(HKEY_LOCAL_MACHINE, UninstallKey(guid));
    const std::string native = RegSnapshot(HKEY_LOCAL_MACHINE, UninstallKey(guid), kView64);
    const std::string nativeSetup = "C:\\Program Files\\InstallShield Installation Information\\" + std::string(guid);
    CreateDirectoryA("C:\\Program Files\\InstallShield Installation Information", NULL);
    CreateDirectoryA(nativeSetup.c_str(), NULL);
    WriteFileBytes(nativeSetup + "\\setup.ini", "native");

    {
        OpenDialog d;
        const std::vector<ListItemView> items = ReadList(d.list);
        REQUIRE(items.size() == 1);
        CHECK(items[0].text == kDisplayNames[kProductViewer]);
        const MessageBoxView done = d.Confirm();
        CHECK(done.text == "Successfully removed.");
        d.Dismiss(done);
        d.Finish();
    }

    CHECK(!ProductLeftovers(kProductViewer));
    CHECK(RegSnapshot(HKEY_LOCAL_MACHINE, UninstallKey(guid), kView64) != "");
    CHECK(FileExists(nativeSetup + "\\setup.ini"));
    RemoveTree(nativeSetup);

    // The 64-bit editor, which a double-click starts here, puts the keys back into the
    // 32-bit view; it ends a string that had no terminating zero with one.
    const std::vector<std::string> files = RestoreFiles(AppFolder());
    REQUIRE(files.size() == 1);
    s_restored = AsImported(planted);
    REQUIRE(!s_restored.empty());
    CHECK(RunUnix("/usr/lib/wine/wine64 regedit /s \"" + files[0] + "\"", Restored, UninstallKey(guid)));
    CHECK(RegKeyExists(HKEY_LOCAL_MACHINE, AppPathsKey(g_appFilesViewer[0])));
    CHECK(RegSnapshot(HKEY_LOCAL_MACHINE, UninstallKey(guid), kView64) == native);
}
