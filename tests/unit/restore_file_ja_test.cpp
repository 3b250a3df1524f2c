// The restore file a removal writes before it deletes, read back by the system's
// registry editor. Code page 932, where a trail byte can have the backslash's code.
#include <doctest/doctest.h>
#include <string>
#include <vector>
#include "Pelo7CleanDlg.h"
#include "TestSeams.h"
#include "TestSupport.h"
#include "EngineSupport.h"
#include "Products.h"

namespace {

const DelKeyEntry& kViewer = g_delKeyTable[1];   // one uninstall key, two App Paths keys

// The viewer as its installer leaves it, with values of every kind on its uninstall key.
struct Planted {
    Planted()
    {
        RemoveAllProducts();
        PlantProduct(1, "Viewer", programs / "viewer");
        PlantEveryValueKind(UninstallKey(kViewer.pGuidKeys[0]));
    }
    ~Planted() { RemoveAllProducts(); }
    std::string Snapshot() const
    {
        return RegSnapshot(HKEY_LOCAL_MACHINE, UninstallKey(kViewer.pGuidKeys[0]))
               + RegSnapshot(HKEY_LOCAL_MACHINE, AppPathsKey(kViewer.pAppFiles[0]))
               + RegSnapshot(HKEY_LOCAL_MACHINE, AppPathsKey(kViewer.pAppFiles[1]));
    }
    TempDir programs;
};

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

SYSTEMTIME s_now;
VOID WINAPI FixedTime(LPSYSTEMTIME st)
{
    *st = s_now;
}
BOOL WINAPI DiskFull(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED)
{
    *written = 0;
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

}  // namespace

TEST_CASE("a removal leaves a restore file that the registry editor reads back into the same keys")
{
    REQUIRE(GetACP() == 932);
    CPelo7CleanDlg dlg;
    ScopedLog log;
    ScopedOsKind kind(12);
    Planted p;
    const std::string before = p.Snapshot();

    CHECK(dlg.DelPelo7RegKey(&kViewer) == 0);
    CHECK_FALSE(ProductLeftovers(1));
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

TEST_CASE("restore files: never one written over another, none for nothing, none half written")
{
    CPelo7CleanDlg dlg;
    ScopedLog log;
    ScopedOsKind kind(12);
    Planted p;

    SUBCASE("two removals in the same second") {
        s_now = SYSTEMTIME{2026, 12, 2, 8, 9, 30, 15, 0};
        ScopedSeam<decltype(seam::pGetLocalTime)> clock(seam::pGetLocalTime, FixedTime);
        CHECK(dlg.DelPelo7RegKey(&kViewer) == 0);
        const std::string first = ReadFileBytes(log.Folder() + "\\Pelo7Clean-20261208-093015.reg");
        CHECK(first.find("Viewer") != std::string::npos);
        PlantProduct(1, "Viewer again", p.programs / "viewer");
        CHECK(dlg.DelPelo7RegKey(&kViewer) == 0);
        CHECK(RestoreFiles(log.Folder()) == std::vector<std::string>{log.Folder() + "\\Pelo7Clean-20261208-093015.reg",
                                                                    log.Folder() + "\\Pelo7Clean-20261208-093015_02.reg"});
        CHECK(ReadFileBytes(log.Folder() + "\\Pelo7Clean-20261208-093015.reg") == first);
        CHECK(ReadFileBytes(log.Folder() + "\\Pelo7Clean-20261208-093015_02.reg").find("Viewer again")
              != std::string::npos);
        CHECK(log.Bytes() == "");
    }
    SUBCASE("nothing to delete") {
        RemoveAllProducts();
        CHECK(dlg.DelPelo7RegKey(&kViewer) == 0);
        CHECK(RestoreFiles(log.Folder()).empty());
        CHECK(log.Bytes() == "");
    }
    SUBCASE("a full disk: the removal goes on, the failure is logged once, no file is left") {
        ScopedSeam<decltype(seam::pWriteFile)> full(seam::pWriteFile, DiskFull);
        CHECK(dlg.DelPelo7RegKey(&kViewer) == 0);
        CHECK_FALSE(ProductLeftovers(1));
        CHECK(RestoreFiles(log.Folder()).empty());
        CHECK(log.LineCount() == 1);
        CHECK(log.Contains("RestoreFile.cpp("));
        CHECK(log.Contains(" : WriteFile() Error! [FilePath] " + log.Folder() + "\\Pelo7Clean-"));
        CHECK(log.Contains(".reg [ErrCode] 112\r\n"));
    }
}
