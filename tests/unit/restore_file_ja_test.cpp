// The restore file a removal writes before it deletes, read back by the system's
// registry editor; and what happens when none can be written. Code page 932, where a
// trail byte can have the backslash's code and a character takes two bytes.
#include <doctest/doctest.h>
#include <shlwapi.h>
#include <string>
#include <vector>
#include "EngineFixture.h"
#include "EngineSupport.h"
#include "Fakes.h"
#include "Globals.h"

namespace {

const DelKeyEntry& kViewer = g_delKeyTable[kProductViewer];   // one uninstall key, two App Paths keys
const char kWin98Folder[] = "P7TEST_RESTORE_FOLDER";

// The viewer with values of every kind on its uninstall key.
struct Planted : PlantedViewer {
    Planted() { PlantEveryValueKind(UninstallKey(kViewer.pGuidKeys[0])); }
};

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::string Utf16(const std::wstring& text)
{
    return std::string((const char*)text.data(), text.size() * sizeof(WCHAR));
}

LONG WINAPI ShellDelete(HKEY hKey, LPCSTR lpSubKey)
{
    return (LONG)SHDeleteKeyA(hKey, lpSubKey);
}

VOID WINAPI FixedTime(LPSYSTEMTIME st)
{
    *st = SYSTEMTIME{2026, 12, 2, 8, 9, 30, 15, 0};
}
BOOL WINAPI DiskFull(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED)
{
    *written = 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}
}  // namespace

// Runs only as the child of the test below, which Wine presents as Windows 98.
TEST_CASE("the removal as Windows 98")
{
    char folder[MAX_PATH] = "";
    if (GetEnvironmentVariableA(kWin98Folder, folder, sizeof folder) == 0)
        return;
    REQUIRE((GetVersion() & 0x80000000) != 0);
    CPelo7CleanDlg dlg;
    ScopedOsKind kind(2);
    lstrcpyA(g_logPath, (std::string(folder) + "\\Pelo7Clean.log").c_str());
    // Wine's recursive RegDeleteKeyA as Windows 98 stops at the double-byte subkey; the
    // deletion is not what this test is about.
    ScopedSeam del(seam::pRegDeleteKeyA, ShellDelete);
    CHECK(dlg.DelPelo7RegKey(&kViewer) == 0);
}

TEST_CASE("on the 98 family a removal leaves a REGEDIT4 restore file that the registry editor reads back")
{
    REQUIRE(GetACP() == 932);
    ScopedLog log;
    Planted p;
    const std::string before = p.Snapshot();

    REQUIRE(RunTestCaseAsWin98("the removal as Windows 98", kWin98Folder, log.Folder()) == 0);
    CHECK_FALSE(ProductLeftovers(kProductViewer));
    CHECK(log.Bytes() == "");
    const std::vector<std::string> files = RestoreFiles(log.Folder());
    REQUIRE(files.size() == 1);

    // As the registry editor writes a REGEDIT4 file: CR LF only, a blank line between
    // keys and at the end, hex wrapped after 77 characters, escapes that leave a 0x5C
    // trail byte alone.
    const std::string text = ReadFileBytes(files[0]);
    CHECK(text.compare(0, 12, "REGEDIT4\r\n\r\n") == 0);
    CHECK(text.compare(text.size() - 4, 4, "\r\n\r\n") == 0);
    CHECK(Count(text, "\n") == Count(text, "\r\n"));
    CHECK(Count(text, "\r") == Count(text, "\r\n"));
    CHECK(Count(text, "\r\n\r\n[HKEY_LOCAL_MACHINE\\") == 8);   // three keys, five subkeys
    CHECK(text.find("\r\n\"Binary\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
                    "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\r\n"
                    "  2f,") != std::string::npos);
    CHECK(text.find("\r\n@=\"the default \\\"value\\\"\"\r\n") != std::string::npos);
    CHECK(text.find("\r\n\"Quote \\\" and back\\\\slash\"=\"C:\\\\Program Files\\\\\\\"quoted\\\"\\\\\"\r\n")
          != std::string::npos);
    CHECK(text.find("\r\n\"\x95\x5c\x8e\xa6 \\\"\x83\x5c\\\"\"=\"\x83\x5c\x83\x74\x83\x67\\\\\x95\x5c\"\r\n")
          != std::string::npos);
    CHECK(text.find("\\\x95\x5c]\r\n\"\x83\x5c\"=\"\x95\x5c\"\r\n") != std::string::npos);
    CHECK(text.find("\r\n\"Dword\"=dword:12345678\r\n") != std::string::npos);
    CHECK(text.find("\r\n\"ShortDword\"=hex(4):01,02,03\r\n") != std::string::npos);
    CHECK(text.find("\r\n\"Unterminated\"=hex(1):61,62,63\r\n") != std::string::npos);
    CHECK(text.find("\r\n\"NoBytes\"=hex:\r\n") != std::string::npos);

    REQUIRE(ImportRegFile(files[0]));
    // The editor ends a string that had no terminating zero with one; nothing else differs.
    const std::string expected = AsImported(before);
    REQUIRE(!expected.empty());
    CHECK(p.Snapshot() == expected);
}

TEST_CASE_FIXTURE(EngineOn7, "on the NT family the restore file holds a subkey name of 130 double-byte characters")
{
    Planted p;
    // 260 bytes in the code page: more than the ANSI calls take.
    std::string longName;
    for (int i = 0; i < 130; ++i)
        longName += "\x95\x5c";
    RegSetString(HKEY_LOCAL_MACHINE, UninstallKey(kViewer.pGuidKeys[0]) + "\\" + longName, "\x83\x5c", "\x95\x5c");
    const std::string before = p.Snapshot();
    REQUIRE(before.find(u8"表表表表表表表表表表") != std::string::npos);

    CHECK(dlg.DelPelo7RegKey(&kViewer) == 0);
    CHECK(log.Bytes() == "");
    const std::vector<std::string> files = RestoreFiles(log.Folder());
    REQUIRE(files.size() == 1);
    CHECK(ReadFileBytes(files[0]).compare(0, 2, "\xff\xfe") == 0);
    REQUIRE(ImportRegFile(files[0]));
    CHECK(p.Snapshot() == AsImported(before));
}

TEST_CASE_FIXTURE(EngineOn7, "restore files: never one written over another, none for nothing, none half written")
{
    Planted p;

    SUBCASE("two removals in the same second") {
        ScopedSeam clock(seam::pGetLocalTime, FixedTime);
        const std::string name = log.Folder() + "\\Pelo7Clean-20261208-093015";
        CHECK(dlg.DelPelo7RegKey(&kViewer) == 0);
        const std::string first = ReadFileBytes(name + ".reg");
        CHECK(first.find(Utf16(L"Viewer")) != std::string::npos);
        PlantProduct(kProductViewer, "Viewer again", p.programs / "viewer");
        CHECK(dlg.DelPelo7RegKey(&kViewer) == 0);
        CHECK(RestoreFiles(log.Folder()) == std::vector<std::string>{name + ".reg", name + "_02.reg"});
        CHECK(ReadFileBytes(name + ".reg") == first);
        CHECK(ReadFileBytes(name + "_02.reg").find(Utf16(L"Viewer again")) != std::string::npos);
        CHECK(log.Bytes() == "");
    }
    SUBCASE("nothing to delete") {
        RemoveAllProducts();
        CHECK(dlg.DelPelo7RegKey(&kViewer) == 0);
        CHECK(RestoreFiles(log.Folder()).empty());
        CHECK(log.Bytes() == "");
    }
    SUBCASE("a full disk: no file is left, the failure is logged once, and the user decides") {
        ScopedSeam full(seam::pWriteFile, DiskFull);
        ScopedMessageBoxes boxes(IDNO);
        CHECK(dlg.DelPelo7RegKey(&kViewer) == CPelo7CleanDlg::kRemovalDeclined);
        CHECK(boxes.Count() == 1);
        CHECK(boxes.Last().style == (MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2));
        // Wine presents Windows 7, where the box drops the line feed.
        CHECK(boxes.Last().text == Acp(u8"復元ファイルを保存できなかったため、この削除は元に戻せません。"
                                u8"それでもインストール情報を削除しますか？"));
        CHECK(ProductLeftovers(kProductViewer));
        CHECK(RegSnapshot(HKEY_LOCAL_MACHINE, UninstallKey(kViewer.pGuidKeys[0])) != "");
        CHECK(RestoreFiles(log.Folder()).empty());
        CHECK(log.LineCount() == 1);
        CHECK(log.Contains("RestoreFile.cpp("));
        CHECK(log.Contains(" : WriteFile() Error! [FilePath] " + log.Folder() + "\\Pelo7Clean-"));
        CHECK(log.Contains(".reg [ErrCode] 112\r\n"));

        boxes.Answer(IDYES);
        CHECK(dlg.DelPelo7RegKey(&kViewer) == 0);
        CHECK(boxes.Count() == 2);
        CHECK_FALSE(ProductLeftovers(kProductViewer));
        CHECK(RestoreFiles(log.Folder()).empty());
    }
    SUBCASE("a folder whose path is far beyond MAX_PATH: the file is written there all the same") {
        std::wstring folder = L"\\\\?\\";
        for (const char c : log.Folder())
            folder += (WCHAR)(BYTE)c;   // ASCII
        for (int i = 0; i < 3; ++i) {
            folder += L"\\" + std::wstring(100, L'd');
            REQUIRE(CreateDirectoryW(folder.c_str(), NULL));
        }
        lstrcpyW(g_exeFolderW, folder.c_str() + 4);
        CHECK(dlg.DelPelo7RegKey(&kViewer) == 0);
        CHECK_FALSE(ProductLeftovers(kProductViewer));
        WIN32_FIND_DATAW fd;
        const HANDLE h = FindFirstFileW((folder + L"\\Pelo7Clean-*.reg").c_str(), &fd);
        REQUIRE(h != INVALID_HANDLE_VALUE);
        FindClose(h);
        CHECK(DeleteFileW((folder + L"\\" + fd.cFileName).c_str()));
        for (int i = 0; i < 3; ++i, folder.erase(folder.rfind(L'\\')))
            RemoveDirectoryW(folder.c_str());
        CHECK(log.Bytes() == "");
    }
}
