#include <doctest/doctest.h>
#include <shlwapi.h>
#include <string>
#include "EngineFixture.h"
#include "EngineSupport.h"
#include "RegistryLinks.h"

namespace {

const std::string kRoot = "SOFTWARE\\Pelo7CleanTest\\DeleteRegistry";
const std::string kProduct = kRoot + "\\Product";
const char kChildCase[] = "DeleteRegistry as Windows 98: RegDeleteKeyA takes the subkeys with it";
const char kChildEnv[] = "P7_WIN98_KEYS";

void PlantTree(const std::string& path)
{
    RegSetString(HKEY_LOCAL_MACHINE, path, "DisplayName", "planted");
    RegSetString(HKEY_LOCAL_MACHINE, path + "\\Sub\\Deeper", "Value", "deep");
    RegSetString(HKEY_LOCAL_MACHINE, path + "\\Other", "", "other");
}

int s_regDeletes, s_shDeletes;
LONG s_failWith;   // non-zero: the deletion fails with it
LONG WINAPI CountingRegDelete(HKEY hKey, LPCSTR lpSubKey)
{
    ++s_regDeletes;
    return s_failWith != 0 ? s_failWith : ::RegDeleteKeyA(hKey, lpSubKey);
}
DWORD WINAPI CountingSHDelete(HKEY hKey, LPCSTR lpSubKey)
{
    ++s_shDeletes;
    return s_failWith != 0 ? (DWORD)s_failWith : ::SHDeleteKeyA(hKey, lpSubKey);
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }
LONG WINAPI DeniedNtDelete(HANDLE) { return (LONG)0xC0000022; }   // STATUS_ACCESS_DENIED

// The deletion calls counted, a fresh log and a clean sandbox for each test; each
// test sets the platform codes it tries.
struct Fixture : EngineOnXP {
    Fixture() : reg(seam::pRegDeleteKeyA, CountingRegDelete), sh(seam::pSHDeleteKeyA, CountingSHDelete)
    {
        s_regDeletes = s_shDeletes = 0;
        s_failWith = 0;
        RegRemoveTree(HKEY_LOCAL_MACHINE, kRoot);
    }
    ~Fixture() { RegRemoveTree(HKEY_LOCAL_MACHINE, kRoot); }
    ScopedSeam<decltype(seam::pRegDeleteKeyA)> reg;
    ScopedSeam<decltype(seam::pSHDeleteKeyA)> sh;
};

}  // namespace

TEST_CASE_FIXTURE(Fixture, "DeleteRegistry: on the NT family the shell deletes the key with its subkeys")
{
    for (int os : {5, 6, 7, 11, 12, 13}) {
        CAPTURE(os);
        ScopedOsKind kind(os);
        PlantTree(kProduct);
        s_shDeletes = 0;
        CHECK(dlg.DeleteRegistry(HKEY_LOCAL_MACHINE, kProduct.c_str()) == 0);
        CHECK(s_shDeletes == 1);
        CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kProduct));
    }
    CHECK(s_regDeletes == 0);
    CHECK(RegKeyExists(HKEY_LOCAL_MACHINE, kRoot));
    CHECK(log.Bytes() == "");
}

TEST_CASE_FIXTURE(Fixture, "DeleteRegistry: on the 98 family RegDeleteKeyA deletes the key with its subkeys")
{
    // Here (the NT family) RegDeleteKeyA deletes leaf keys only: the choice shows on one.
    for (int os : {1, 2, 3}) {
        ScopedOsKind kind(os);
        RegSetString(HKEY_LOCAL_MACHINE, kRoot + "\\Leaf", "Value", "leaf");
        CHECK(dlg.DeleteRegistry(HKEY_LOCAL_MACHINE, (kRoot + "\\Leaf").c_str()) == 0);
        CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kRoot + "\\Leaf"));
    }
    CHECK(s_regDeletes == 3);
    CHECK(s_shDeletes == 0);

    // The whole trees go in a copy of this program that runs as Windows 98.
    for (int os : {1, 2, 3})
        PlantTree(kRoot + "\\Win98\\" + std::to_string(os));
    CHECK(RunTestCaseAsWin98(kChildCase, kChildEnv, kRoot + "\\Win98") == 0);
    for (int os : {1, 2, 3})
        CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kRoot + "\\Win98\\" + std::to_string(os)));
    CHECK(log.Bytes() == "");
}

// Runs only as the child of the test above.
TEST_CASE("DeleteRegistry as Windows 98: RegDeleteKeyA takes the subkeys with it")
{
    char base[MAX_PATH] = "";
    if (GetEnvironmentVariableA(kChildEnv, base, sizeof base) == 0)
        return;
    REQUIRE((GetVersion() & 0x80000000) != 0);
    // Not the fixture: that would clear the trees that the parent checks for.
    CPelo7CleanDlg dlg;
    ScopedSeam reg(seam::pRegDeleteKeyA, CountingRegDelete);
    ScopedSeam sh(seam::pSHDeleteKeyA, CountingSHDelete);
    for (int os : {1, 2, 3}) {
        ScopedOsKind kind(os);
        const std::string path = std::string(base) + "\\" + std::to_string(os);
        REQUIRE(RegKeyExists(HKEY_LOCAL_MACHINE, path + "\\Sub\\Deeper"));
        CHECK(dlg.DeleteRegistry(HKEY_LOCAL_MACHINE, path.c_str()) == 0);
        CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, path));
    }
    CHECK(s_regDeletes == 3);
    CHECK(s_shDeletes == 0);
}

TEST_CASE_FIXTURE(Fixture, "DeleteRegistry: a key that does not exist gives 2, unlogged, on every supported platform")
{
    for (int os : {1, 2, 3, 5, 6, 7, 11, 12, 13}) {
        ScopedOsKind kind(os);
        CHECK(dlg.DeleteRegistry(HKEY_LOCAL_MACHINE, (kRoot + "\\Missing").c_str()) == 2);
    }
    CHECK(s_regDeletes + s_shDeletes == 9);
    CHECK(log.Bytes() == "");
}

TEST_CASE_FIXTURE(Fixture, "DeleteRegistry: bad arguments give -11 before the platform is looked at")
{
    for (int os : {6, 4, 0}) {
        ScopedOsKind kind(os);
        CHECK(dlg.DeleteRegistry(NULL, "SOFTWARE\\Pelo7CleanTest") == -11);
        CHECK(dlg.DeleteRegistry(HKEY_LOCAL_MACHINE, NULL) == -11);
        CHECK(dlg.DeleteRegistry(HKEY_LOCAL_MACHINE, "") == -11);
    }
    CHECK(s_regDeletes + s_shDeletes == 0);
    CHECK(log.LineCount() == 9);
    CHECK(log.Contains("Pelo7CleanDlg.cpp("));
    CHECK(log.Contains(" : Parameter Error! [Detail] hKey or lpSubKey is Invalid.\r\n"));
    CHECK_FALSE(log.Contains("not supported"));
}

TEST_CASE_FIXTURE(Fixture, "DeleteRegistry: an unsupported platform code gives -13 and touches nothing")
{
    PlantTree(kProduct);
    for (int os : {0, 4, 8, 9, 10, 14}) {
        ScopedOsKind kind(os);
        CHECK(dlg.DeleteRegistry(HKEY_LOCAL_MACHINE, kProduct.c_str()) == -13);
        CHECK(log.Contains(" : DeleteRegistry() Error! [Detail] This operating system is not supported. [OS] "
                           + std::to_string(os) + "\r\n"));
    }
    CHECK(s_regDeletes + s_shDeletes == 0);
    CHECK(RegKeyExists(HKEY_LOCAL_MACHINE, kProduct + "\\Sub\\Deeper"));
    CHECK(log.LineCount() == 6);
}

TEST_CASE_FIXTURE(Fixture, "DeleteRegistry: a failed deletion gives -12 and logs the platform, the key path and the error")
{
    s_failWith = ERROR_ACCESS_DENIED;
    for (int os : {6, 2}) {
        CAPTURE(os);
        ScopedOsKind kind(os);
        CHECK(dlg.DeleteRegistry(HKEY_LOCAL_MACHINE, kProduct.c_str()) == -12);
    }
    CHECK(log.Contains(" : SHDeleteKey() Error! [OS] 6 [KeyName] " + kProduct + " [ErrCode] 5\r\n"));
    CHECK(log.Contains(" : RegDeleteKey() Error! [OS] 2 [KeyName] " + kProduct + " [ErrCode] 5\r\n"));
    CHECK(log.LineCount() == 2);
}

TEST_CASE_FIXTURE(Fixture, "DeleteRegistry: a registry link in the key or as the key is removed as a link, never followed")
{
    const std::string target = kRoot + "\\Target";
    const std::string deepLink = kProduct + "\\Sub\\Link";
    PlantTree(target);
    const std::string targetBefore = RegSnapshot(HKEY_LOCAL_MACHINE, target);
    REQUIRE(targetBefore.find("Deeper") != std::string::npos);

    SUBCASE("removed: links deep in the key, one named outside the code page, and a key that is itself a link") {
        for (int os : {5, 6, 7, 11, 12, 13}) {
            CAPTURE(os);
            ScopedOsKind kind(os);
            PlantTree(kProduct);
            PlantRegistryLink(Wide(deepLink), target);
            REQUIRE(IsRegistryLinkW(HKEY_LOCAL_MACHINE, Wide(deepLink).c_str()));
            // Beside a plain key whose name reads the same in code page 1252 ("Link?").
            RegSetString(HKEY_LOCAL_MACHINE, kProduct + "\\Link?", "Value", "plain");
            PlantRegistryLink(Wide(kProduct + "\\Link") + L"\x4e00", target);
            s_shDeletes = 0;
            CHECK(dlg.DeleteRegistry(HKEY_LOCAL_MACHINE, kProduct.c_str()) == 0);
            CHECK(s_shDeletes == 1);
            CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kProduct));
            CHECK(RegSnapshot(HKEY_LOCAL_MACHINE, target) == targetBefore);

            const std::string linkedProduct = kRoot + "\\LinkedProduct";
            PlantRegistryLink(Wide(linkedProduct), target);
            s_shDeletes = 0;
            CHECK(dlg.DeleteRegistry(HKEY_LOCAL_MACHINE, linkedProduct.c_str()) == 0);
            CHECK(s_shDeletes == 0);
            const BOOL bStillLink = IsRegistryLinkW(HKEY_LOCAL_MACHINE, Wide(linkedProduct).c_str());
            const DWORD dwWhy = GetLastError();
            CHECK_FALSE(bStillLink);
            CHECK(dwWhy == ERROR_FILE_NOT_FOUND);
            CHECK(RegSnapshot(HKEY_LOCAL_MACHINE, target) == targetBefore);
        }
        const BOOL bTargetLink = IsRegistryLinkW(HKEY_LOCAL_MACHINE, Wide(target).c_str());
        const DWORD dwWhy = GetLastError();
        CHECK_FALSE(bTargetLink);
        CHECK(dwWhy == ERROR_SUCCESS);
        CHECK(log.Bytes() == "");
    }

    SUBCASE("-12, logged, with nothing deleted, when a link cannot be removed as a link") {
        ScopedOsKind kind(6);
        PlantTree(kProduct);
        auto expectRefused = [&](const std::string& failedKey, int code) {
            CHECK(dlg.DeleteRegistry(HKEY_LOCAL_MACHINE, kProduct.c_str()) == -12);
            CHECK(s_shDeletes == 0);
            CHECK(RegKeyExists(HKEY_LOCAL_MACHINE, kProduct + "\\Sub\\Deeper"));
            CHECK(RegSnapshot(HKEY_LOCAL_MACHINE, target) == targetBefore);
            CHECK(log.Contains(" : RemoveRegistryLinks() Error! [OS] 6 [KeyName] " + failedKey + " [ErrCode] "
                               + std::to_string(code) + "\r\n"));
            CHECK(log.LineCount() == 1);
        };
        SUBCASE("the system refuses to delete it") {
            PlantRegistryLink(Wide(deepLink), target);
            ScopedSeam denied(seam::pNtDeleteKey, DeniedNtDelete);
            expectRefused(deepLink, ERROR_ACCESS_DENIED);
            CHECK(IsRegistryLinkW(HKEY_LOCAL_MACHINE, Wide(deepLink).c_str()));
            RemoveRegistryLink(Wide(deepLink));
        }
        SUBCASE("the system has no way to delete a link as a link") {
            PlantRegistryLink(Wide(deepLink), target);
            ScopedSeam none(seam::pNtDeleteKey, nullptr);
            expectRefused(deepLink, ERROR_PROC_NOT_FOUND);
            RemoveRegistryLink(Wide(deepLink));
        }
    }
}
