// Where the program puts its log: beside itself, whatever it is called, in a
// folder whose name ends in a double-byte character with a 0x5C trail byte.
#include <doctest/doctest.h>
#include "DelKeyTable.h"
#include "DialogSession.h"
#include "EngineSupport.h"
#include "Products.h"
#include "TestSupport.h"
#include "resource.h"

TEST_CASE("the log lies beside the executable, whatever its name and folder")
{
    REQUIRE(GetACP() == 932);
    TempDir dir;
    const std::string folder = dir / Acp(u8"削除表");   // ends in 0x95 0x5C
    REQUIRE(folder.substr(folder.size() - 2) == "\x95\x5c");
    REQUIRE(CreateDirectoryA(folder.c_str(), NULL));
    const std::string exe = folder + "\\" + Acp(u8"掃除.exe");
    REQUIRE(CopyFileA(AppExePath().c_str(), exe.c_str(), FALSE));

    {
        OpenDialog d(exe);
        d.RemoveUnselected();
        d.Finish();
    }
    const std::string log = ReadFileBytes(folder + "\\Pelo7Clean.log");
    CHECK(log.find(") : CListBox::GetCurSel() Error! [Return] -1\r\n") != std::string::npos);
    CHECK(!FileExists(dir / "Pelo7Clean.log"));
    CHECK(!FileExists(folder + "\\" + Acp(u8"掃除.log")));
}

TEST_CASE("a folder too long for the log's name turns logging off; the restore file goes there all the same")
{
    CleanMachine machine;
    machine.Plant(kProductViewer);
    TempDir dir;
    // The executable's path fits in 259 characters; folder, backslash and log name do not.
    const std::string folder = MakeFolderOfLength(dir.Path(), 250);
    const std::string exe = folder + "\\a.exe";
    REQUIRE(CopyFileA(AppExePath().c_str(), exe.c_str(), FALSE));
    {
        OpenDialog d(exe);
        d.RemoveUnselected();   // something to log
        // No question: the restore file is written.
        d.Select(0);
        const MessageBoxView done = d.Confirm();
        CHECK(done.text == AppString(IDS_REMOVE_SUCCEEDED));
        d.Dismiss(done);
        d.Finish();
    }
    CHECK_FALSE(ProductLeftovers(kProductViewer));
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*.l*").c_str(), &fd);
    CHECK(h == INVALID_HANDLE_VALUE);   // no log, and no log under a cut-off name
    if (h != INVALID_HANDLE_VALUE)
        FindClose(h);
    WCHAR pattern[MAX_PATH * 2] = L"\\\\?\\";
    MultiByteToWideChar(CP_ACP, 0, (folder + "\\Pelo7Clean-*.reg").c_str(), -1, pattern + 4, MAX_PATH * 2 - 4);
    WIN32_FIND_DATAW found;
    h = FindFirstFileW(pattern, &found);
    REQUIRE(h != INVALID_HANDLE_VALUE);
    FindClose(h);
    // Beyond MAX_PATH: the scratch folder's removal could not reach it.
    std::wstring file(pattern);
    file.replace(file.rfind(L'\\') + 1, std::wstring::npos, found.cFileName);
    CHECK(DeleteFileW(file.c_str()));
}
