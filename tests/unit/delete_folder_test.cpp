#include <doctest/doctest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "DeleteTheFolder.h"
#include "TestSeams.h"
#include "TestSupport.h"
#include "EngineSupport.h"

namespace {

// Every folder removal is recorded; a fake answer replaces the system's when set.
std::vector<std::string> s_removed;
DWORD s_fakeRemoveError;
BOOL WINAPI RecordingRemove(LPCSTR lpPath)
{
    s_removed.push_back(lpPath);
    if (s_fakeRemoveError == 0)
        return ::RemoveDirectoryA(lpPath);
    SetLastError(s_fakeRemoveError);
    return FALSE;
}
std::vector<DWORD> s_waits;
bool s_realWaits;
// A handle that the wait numbered s_releaseOnWait closes, so a held folder is
// let go at a known point of the retries rather than at a time that races them.
HANDLE s_held = INVALID_HANDLE_VALUE;
size_t s_releaseOnWait;
VOID WINAPI RecordingSleep(DWORD ms)
{
    s_waits.push_back(ms);
    if (s_held != INVALID_HANDLE_VALUE && s_waits.size() == s_releaseOnWait) {
        CloseHandle(s_held);
        s_held = INVALID_HANDLE_VALUE;
    }
    if (s_realWaits)
        ::Sleep(ms);
}

struct Fixture {
    Fixture() : remove(seam::pRemoveDirectoryA, RecordingRemove), sleep(seam::pSleep, RecordingSleep)
    {
        s_removed.clear();
        s_waits.clear();
        s_fakeRemoveError = 0;
        s_realWaits = true;
    }
    ~Fixture()
    {
        // A held folder not let go (a failed case) must not keep the sandbox.
        if (s_held != INVALID_HANDLE_VALUE)
            CloseHandle(s_held);
        s_held = INVALID_HANDLE_VALUE;
    }
    long Removals(const std::string& path) const { return std::count(s_removed.begin(), s_removed.end(), path); }
    TempDir dir;
    ScopedSeam<decltype(seam::pRemoveDirectoryA)> remove;
    ScopedSeam<decltype(seam::pSleep)> sleep;
};

void MakeTree(const std::string& root)
{
    PlantFiles(root, {"setup.exe", "layout.bin", "Disk1\\", "Disk1\\data1.cab", "Disk1\\Lang\\",
                      "Disk1\\Lang\\0411.ini", "Disk1\\Lang\\Empty\\", "Support\\", "Support\\readme.txt"});
}

}  // namespace

TEST_CASE_FIXTURE(Fixture, "DeleteTheFolder: no path gives 0; a missing folder gives 1 at once")
{
    CHECK(DeleteTheFolder(NULL, 0) == 0);
    CHECK(DeleteTheFolder("", 0) == 0);
    CHECK(s_removed.empty());
    CHECK(DeleteTheFolder((dir / "Missing").c_str(), 0) == 1);
    CHECK(DeleteTheFolder((dir / "Missing\\Deeper\\").c_str(), 0) == 1);
    CHECK(s_removed.size() == 2);
    CHECK(s_waits.empty());
}

TEST_CASE_FIXTURE(Fixture, "DeleteTheFolder: the tree goes bottom-up, with or without a trailing backslash")
{
    for (const char* tail : {"", "\\"}) {
        CAPTURE(tail);
        s_removed.clear();
        MakeTree(dir / "Setup");
        WriteFileBytes(dir / "Setup.txt", "a neighbour");
        CHECK(DeleteTheFolder((dir / "Setup" + tail).c_str(), 0) == 1);
        CHECK_FALSE(FileExists(dir / "Setup"));
        CHECK(FileExists(dir / "Setup.txt"));
        // No folder is removed after its parent was tried.
        REQUIRE(s_removed.size() == 5);
        for (size_t i = 0; i < s_removed.size(); ++i)
            for (size_t j = i + 1; j < s_removed.size(); ++j)
                CHECK(s_removed[j].compare(0, s_removed[i].size(), s_removed[i]) != 0);
    }
    CHECK(s_waits.empty());
}

TEST_CASE_FIXTURE(Fixture, "DeleteTheFolder: files only, and what cannot go stays without waiting")
{
    MakeTree(dir / "Setup");
    CHECK(DeleteTheFolder((dir / "Setup").c_str(), 1) == 1);
    CHECK_FALSE(FileExists(dir / "Setup\\setup.exe"));
    CHECK_FALSE(FileExists(dir / "Setup\\layout.bin"));
    CHECK(FileExists(dir / "Setup\\Disk1\\data1.cab"));
    CHECK(FolderExists(dir / "Setup\\Disk1\\Lang\\Empty"));
    CHECK(s_removed.empty());

    // A read-only file is not made writable to delete it; its folders stay, and that
    // is reported.
    WriteFileBytes(dir / "Setup\\Disk1\\Lang\\locked.ini", "ini");
    SetFileAttributesA((dir / "Setup\\Disk1\\Lang\\locked.ini").c_str(), FILE_ATTRIBUTE_READONLY);
    CHECK(DeleteTheFolder((dir / "Setup").c_str(), 0) == 0);
    CHECK(FileExists(dir / "Setup\\Disk1\\Lang\\locked.ini"));
    CHECK(CountEntries(dir / "Setup") == 1);
    CHECK(CountEntries(dir / "Setup\\Disk1") == 1);
    CHECK(CountEntries(dir / "Setup\\Disk1\\Lang") == 1);
    CHECK(s_waits.empty());
}

TEST_CASE_FIXTURE(Fixture, "DeleteTheFolder: a folder held open is retried each second until it is let go")
{
    const std::string held = dir / "Held";
    MakeTree(held);
    // Opened without FILE_SHARE_DELETE: removing the folder is a sharing violation.
    s_held = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, NULL);
    REQUIRE(s_held != INVALID_HANDLE_VALUE);
    s_releaseOnWait = 3;   // let go two seconds in, as the third wait begins

    CHECK(DeleteTheFolder(held.c_str(), 0) == 1);
    CHECK_FALSE(FileExists(held));
    // Failed at once, on the immediate retry and after 1 and 2 seconds; after 3 it went.
    CHECK(Removals(held) == 5);
    CHECK(s_waits == std::vector<DWORD>{1000, 1000, 1000});
    CHECK(s_held == INVALID_HANDLE_VALUE);
}

TEST_CASE_FIXTURE(Fixture, "DeleteTheFolder: a folder held for good is tried 11 times over 10 seconds")
{
    CreateDirectoryA((dir / "Held").c_str(), NULL);
    s_fakeRemoveError = ERROR_SHARING_VIOLATION;
    s_realWaits = false;
    CHECK(DeleteTheFolder((dir / "Held").c_str(), 0) == 0);
    CHECK(Removals(dir / "Held") == 11);
    CHECK(s_waits == std::vector<DWORD>(10, 1000));
}

TEST_CASE_FIXTURE(Fixture, "DeleteTheFolder: links are not followed; what they point to stays")
{
    UnixTempDir ztmp;
    const std::string outside = ztmp / "Outside";
    MakeTree(outside);
    CreateDirectoryA((ztmp / "EmptyOutside").c_str(), NULL);
    const std::string tree = ztmp / "Setup";
    MakeTree(tree);
    REQUIRE(PlantUnixLink(outside, tree + "\\Disk1\\Linked"));
    REQUIRE(PlantUnixLink(ztmp / "EmptyOutside", tree + "\\Support\\LinkedEmpty"));
    REQUIRE(PlantUnixLink(outside, ztmp / "SetupLink"));

    // Links inside that cannot be removed by themselves (Wine) keep the tree: reported.
    const int treeResult = DeleteTheFolder(tree.c_str(), 0);   // before the check looks at what is left
    CHECK(treeResult == (FileExists(tree) ? 0 : 1));
    CHECK_FALSE(FileExists(tree + "\\setup.exe"));
    CHECK_FALSE(FileExists(tree + "\\Disk1\\data1.cab"));
    CHECK_FALSE(FileExists(tree + "\\Disk1\\Lang"));
    // A folder given as a link is not entered either, whatever its path ends in. Where
    // the link cannot be removed by itself (Wine), it stays, and that is reported.
    for (const char* tail : {"", "\\", "/", "\\\\", "/\\"}) {
        CAPTURE(tail);
        const int result = DeleteTheFolder((ztmp / "SetupLink" + tail).c_str(), 0);
        CHECK(result == (FileExists(ztmp / "SetupLink") ? 0 : 1));
    }
    CHECK(DeleteTheFolder((ztmp / "SetupLink").c_str(), 1) == 1);
    // Nor is a file, or a link to one: no folder to empty.
    WriteFileBytes(ztmp / "Setup.txt", "a file");
    REQUIRE(PlantUnixLink(ztmp / "Setup.txt", ztmp / "FileLink"));
    for (const char* file : {"FileLink", "FileLink\\", "Setup.txt", "Setup.txt\\"}) {
        CAPTURE(file);
        CHECK(DeleteTheFolder((ztmp / file).c_str(), 0) == 1);
        CHECK(FileExists(ztmp / "Setup.txt"));
    }

    CHECK(FileExists(outside + "\\setup.exe"));
    CHECK(FileExists(outside + "\\layout.bin"));
    CHECK(FileExists(outside + "\\Disk1\\Lang\\0411.ini"));
    CHECK(FolderExists(outside + "\\Disk1\\Lang\\Empty"));
    CHECK(FolderExists(ztmp / "EmptyOutside"));
    CHECK(s_waits.empty());
}

TEST_CASE_FIXTURE(Fixture, "DeleteTheFolder: an entry whose path would pass 259 characters is left alone")
{
    UnixTempDir ztmp;
    const std::string folder = MakeFolderOfLength(ztmp.Path(), 200);
    const std::string longName = std::string(70, 'n') + ".txt";
    WriteFileBytes(folder + "\\short.txt", "short");
    WriteFileBytes(folder + "\\" + longName.substr(0, 50), "a shorter neighbour");
    REQUIRE(RunUnix("/bin/touch \"" + UnixPath(folder) + "/" + longName + "\"",
                    [](const std::string& f) { return CountEntries(f) == 3; }, folder));

    CHECK(DeleteTheFolder(folder.c_str(), 0) == 0);
    CHECK(CountEntries(folder) == 1);
    CHECK_FALSE(FileExists(folder + "\\short.txt"));
    CHECK(s_waits.empty());
}
