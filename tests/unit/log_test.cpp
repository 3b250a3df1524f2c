// The failure log: line format, appending, and a log that cannot be written.
#include <doctest/doctest.h>
#include <string.h>
#include <time.h>
#include "AfxException.h"
#include "EngineSupport.h"
#include "ErrorLog.h"
#include "TestSupport.h"

namespace {
// "YYYY/MM/DD hh:mm:ss" of the local time, as the log writes it.
std::string Stamp(time_t t)
{
    char buf[32];
    strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", localtime(&t));
    return buf;
}

// Writes one entry with the log at path for the call.
void WriteLogAt(const std::string& path, LPCSTR text)
{
    char saved[MAX_PATH];
    lstrcpyA(saved, g_logPath);
    lstrcpynA(g_logPath, path.c_str(), MAX_PATH);
    WriteLog(g_logPath, "a.cpp", 1, text);
    lstrcpyA(g_logPath, saved);
}
}

TEST_CASE("an entry is one stamped line naming the source file and line")
{
    ScopedLog log;
    const time_t before = time(NULL);
    WriteLog(g_logPath, "C:\\work\\src\\Pelo7CleanDlg.cpp", 812, "DelPelo7RegKey() Error! [ErrCode] %d\n", 5);
    const time_t after = time(NULL);

    const std::string bytes = log.Bytes();
    REQUIRE(bytes.size() >= 21);
    // Stamped with a time taken while the call ran.
    const std::string stamp = bytes.substr(0, 19);
    bool inRange = false;
    for (time_t t = before; t <= after; ++t)
        inRange = inRange || stamp == Stamp(t);
    CHECK_MESSAGE(inRange, "stamp: " << stamp);
    CHECK(bytes.substr(19, 2) == "  ");
    CHECK(bytes.substr(19) == "  Pelo7CleanDlg.cpp(812) : DelPelo7RegKey() Error! [ErrCode] 5\r\n");
}

TEST_CASE("the source path is cut to its file name, whatever the separator")
{
    ScopedLog log;
    WriteLog(g_logPath, "source/Pelo7Clean/Pelo7CleanDlg.cpp", 1, "x");
    WriteLog(g_logPath, "NoFolder.cpp", -2, "y");
    const std::string bytes = log.Bytes();
    CHECK(bytes.find("  Pelo7CleanDlg.cpp(1) : x\r\n") != std::string::npos);
    CHECK(bytes.find("  NoFolder.cpp(-2) : y\r\n") != std::string::npos);
}

TEST_CASE("the log macro names the calling file")
{
    ScopedLog log;
    const int line = __LINE__ + 1;
    LOG_ERROR("RegQueryValueEx() Error! [ErrCode] %d\n", 234);
    CHECK(log.Bytes().substr(19)
          == "  log_test.cpp(" + std::to_string(line) + ") : RegQueryValueEx() Error! [ErrCode] 234\r\n");
}

TEST_CASE("entries are appended, never truncated")
{
    ScopedLog log;
    SUBCASE("a missing file is created, later entries follow in call order") {
        WriteLog(g_logPath, "a.cpp", 1, "first");
        WriteLog(g_logPath, "a.cpp", 2, "second\n");
        const std::string bytes = log.Bytes();
        REQUIRE(log.LineCount() == 2);
        CHECK(bytes.find("a.cpp(1) : first\r\n") < bytes.find("a.cpp(2) : second\r\n"));
    }
    SUBCASE("an existing file keeps its content") {
        WriteFileBytes(log.Path(), "old line\r\n");
        WriteLog(g_logPath, "a.cpp", 3, "new");
        const std::string bytes = log.Bytes();
        CHECK(bytes.substr(0, 10) == "old line\r\n");
        CHECK(bytes.substr(29) == "  a.cpp(3) : new\r\n");
    }
    SUBCASE("the folder named by its short name, in other case") {
        const std::string folder = log.Folder() + "\\A folder named at length";
        REQUIRE(CreateDirectoryA(folder.c_str(), NULL));
        char shortName[MAX_PATH] = "";
        REQUIRE(GetShortPathNameA(folder.c_str(), shortName, MAX_PATH) > 0);
        REQUIRE(strchr(shortName, '~') != NULL);
        CharLowerA(shortName);
        WriteLogAt(std::string(shortName) + "\\PELO7CLEAN.LOG", "short");
        CHECK(ReadFileBytes(folder + "\\Pelo7Clean.log").find("  a.cpp(1) : short\r\n") == 19);
    }
    SUBCASE("a last line without a line end is continued") {
        WriteFileBytes(log.Path(), "no end");
        WriteLog(g_logPath, "a.cpp", 4, "tail");
        const std::string bytes = log.Bytes();
        CHECK(bytes.substr(0, 6) == "no end");
        CHECK(bytes.substr(25) == "  a.cpp(4) : tail\r\n");
        CHECK(log.LineCount() == 1);
    }
}

TEST_CASE("message text: line ends, trailing white space, numbers")
{
    ScopedLog log;
    SUBCASE("a line feed inside the message starts a line without a stamp") {
        WriteLog(g_logPath, "a.cpp", 5, "one\ntwo");
        CHECK(log.Bytes().substr(19) == "  a.cpp(5) : one\r\ntwo\r\n");
    }
    SUBCASE("trailing blanks, tabs and line ends are trimmed to one CR LF") {
        WriteLog(g_logPath, "a.cpp", 6, "text \t\r\n\n\v\f ");
        CHECK(log.Bytes().substr(19) == "  a.cpp(6) : text\r\n");
    }
    SUBCASE("an empty message ends at the colon") {
        WriteLog(g_logPath, "a.cpp", 7, "");
        CHECK(log.Bytes().substr(19) == "  a.cpp(7) :\r\n");
    }
    SUBCASE("negative and large unsigned codes print as signed") {
        WriteLog(g_logPath, "a.cpp", 8, "[Return] %d [ErrCode] %d", -1, (int)0x80070005u);
        CHECK(log.Bytes().substr(19) == "  a.cpp(8) : [Return] -1 [ErrCode] -2147024891\r\n");
    }
    SUBCASE("strings of any length") {
        const std::string longName(3000, 'k');
        WriteLog(g_logPath, "a.cpp", 9, "[KeyName] %s", longName.c_str());
        CHECK(log.Bytes().substr(19) == "  a.cpp(9) : [KeyName] " + longName + "\r\n");
    }
}

TEST_CASE("an entry that cannot be written is dropped silently")
{
    ScopedLog log;
    SUBCASE("the file is held open exclusively elsewhere") {
        WriteLog(g_logPath, "a.cpp", 1, "kept");
        HANDLE h = CreateFileA(log.Path().c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        REQUIRE(h != INVALID_HANDLE_VALUE);
        SetLastError(0xdeadbeef);
        WriteLog(g_logPath, "a.cpp", 2, "lost");
        CHECK(GetLastError() != 0xdeadbeef);   // it did try
        CloseHandle(h);
        CHECK(log.LineCount() == 1);
        CHECK(!log.Contains("lost"));
    }
    SUBCASE("the folder does not exist") {
        WriteLogAt(log.Path() + "\\missing\\Pelo7Clean.log", "lost");
        CHECK(!FileExists(log.Path()));
    }
    // Planted beside the executable, a link would have the log written elsewhere.
    SUBCASE("a symbolic link to a file, or to none yet: neither is written, nor made") {
        UnixTempDir dir;
        const std::string target = dir / "win.ini", none = dir / "none.ini", sub = dir / "sub", mark = dir / "mark";
        WriteFileBytes(target, "[fonts]\r\n");
        REQUIRE(CreateDirectoryA(sub.c_str(), NULL));
        REQUIRE(PlantUnixLink(target, dir / "Pelo7Clean.log"));
        // A link to nothing is not seen from Windows: a mark tells that it is there.
        REQUIRE(RunUnix("/bin/sh -c \"ln -s '" + UnixPath(none) + "' '" + UnixPath(sub) + "/Pelo7Clean.log' && touch '"
                        + UnixPath(mark) + "'\"", FileExists, mark));
        WriteLogAt(dir / "Pelo7Clean.log", "lost");
        WriteLogAt(sub + "\\Pelo7Clean.log", "lost");
        CHECK(ReadFileBytes(target) == "[fonts]\r\n");
        CHECK(!FileExists(none));
        WriteLogAt(dir / "plain.log", "plain");   // the folder is no reason to drop
        CHECK(ReadFileBytes(dir / "plain.log").find("  a.cpp(1) : plain\r\n") == 19);
    }
    SUBCASE("a second hard link to a file: the file is left alone") {
        TempDir other;
        const std::string target = other / "system.ini";
        WriteFileBytes(target, "[boot]\r\n");
        REQUIRE(CreateHardLinkA(log.Path().c_str(), target.c_str(), NULL));
        WriteLog(g_logPath, "a.cpp", 1, "lost");
        CHECK(ReadFileBytes(target) == "[boot]\r\n");
    }
    SUBCASE("logging is off while the path is empty") {
        WriteLogAt("", "nowhere");
        CHECK(!FileExists(log.Path()));
        CHECK(!FileExists("nowhere"));
    }
}

TEST_CASE("the guard logs the last error as it stood when the exception was thrown")
{
    ScopedLog log;
    try {
        SetLastError(1234);
        throw CMemoryException();
    } catch (...) {
        LOG_GUARD_FAILURE("DelPelo7RegKey() Error! [ErrCode] %d\n");
    }
    CHECK(log.Contains(") : DelPelo7RegKey() Error! [ErrCode] 1234\r\n"));
    CHECK(log.Contains("  log_test.cpp("));
}
