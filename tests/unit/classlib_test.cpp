// The class layer's strings and files, where the log and the messages rely on them.
#include <doctest/doctest.h>
#include <string>
#include "AfxFile.h"
#include "AfxString.h"
#include "AfxTime.h"
#include "TestSupport.h"

TEST_CASE("CString formats texts of any length")
{
    CString s;
    s.Format("%s(%d) : %s", "Pelo7CleanDlg.cpp", -42, "msg");
    CHECK(s == "Pelo7CleanDlg.cpp(-42) : msg");
    const std::string big(100000, 'z');
    s.Format("[%s]", big.c_str());
    CHECK(s.GetLength() == 100002);
    CHECK(std::string((LPCSTR)s) == "[" + big + "]");
    s.Format("%s", "");
    CHECK(s.IsEmpty());
}

TEST_CASE("CString appends, replaces and trims")
{
    CString s("a\nb\n\nc");
    CHECK(s.Replace("\n", "") == 3);
    CHECK(s == "abc");
    CHECK(s.Replace("x", "y") == 0);
    s += s;
    CHECK(s == "abcabc");
    s += " \t\r\n";
    s.TrimRight();
    CHECK(s == "abcabc");
    CString blank("   ");
    blank.TrimRight();
    CHECK(blank.IsEmpty());
    CString none(static_cast<LPCSTR>(NULL));
    CHECK(none == "");
}

TEST_CASE("CTime formats the local time")
{
    const time_t t = time(NULL);
    char expected[32];
    strftime(expected, sizeof expected, "%Y/%m/%d %H:%M:%S", localtime(&t));
    CHECK(CTime(t).Format("%Y/%m/%d %H:%M:%S") == expected);
}

TEST_CASE("CStdioFile in text mode stores line feeds as CR LF and appends at the end")
{
    TempDir dir;
    const std::string path = dir / "t.txt";
    {
        CStdioFile f(path.c_str(), CFile::modeCreate | CFile::modeReadWrite);
        f.WriteString("one\n");
    }
    {
        CStdioFile f(path.c_str(), CFile::modeReadWrite);
        f.Seek(0, CFile::end);
        f.WriteString("two\n");
        f.Flush();
    }
    CHECK(ReadFileBytes(path) == "one\r\ntwo\r\n");
}

TEST_CASE("CFile opens exclusively unless told to share, and reports failures")
{
    TempDir dir;
    const std::string path = dir / "x.log";
    CFileStatus status;
    CHECK(!CFile::GetStatus(path.c_str(), status));
    CHECK(!CFile::GetStatus((dir / "*").c_str(), status));

    CStdioFile first(path.c_str(), CFile::modeCreate | CFile::modeReadWrite);
    CHECK(CFile::GetStatus(path.c_str(), status));
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    CHECK(h == INVALID_HANDLE_VALUE);
    CHECK(GetLastError() == ERROR_SHARING_VIOLATION);

    bool thrown = false;
    try {
        CStdioFile second(path.c_str(), CFile::modeReadWrite);
    } catch (const CFileException& e) {
        thrown = true;
        CHECK(e.m_lOsError == ERROR_SHARING_VIOLATION);
        CHECK(e.m_cause == CFileException::sharingViolation);
    }
    CHECK(thrown);

    CFileException error;
    CFile missing;
    CHECK(!missing.Open((dir / "no\\such.txt").c_str(), CFile::modeRead, &error));
    CHECK(error.m_lOsError == ERROR_PATH_NOT_FOUND);
}
