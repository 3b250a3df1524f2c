// Double-byte text under code page 932, where a trail byte can be 0x5C ('\').
#include <doctest/doctest.h>
#include <string>
#include "AfxString.h"
#include "Fakes.h"
#include "PathCut.h"
#include "ShowMessage.h"
#include "TestSupport.h"
#include "resource.h"

namespace {
const std::string kHyo = "\x95\x5c";   // a kanji whose trail byte is a backslash
const std::string kSo = "\x83\x5c";    // a katakana likewise
}

TEST_CASE("the test runs under the Japanese code page")
{
    REQUIRE(GetACP() == 932);
}

TEST_CASE("CutFileName cuts at the last real separator")
{
    const struct {
        const char* what;
        std::string path;
        int result;
        std::string cut;
    } rows[] = {
        { "a folder ending in a 0x5C trail byte keeps its name", "C:\\" + kHyo + "\\Pelo7Clean.exe", 1, "C:\\" + kHyo },
        { "a file name made of such characters is cut whole", "C:\\Tools\\" + kSo + kHyo, 1, "C:\\Tools" },
        { "no real separator: unchanged", kHyo + kSo, 0, kHyo + kSo },
    };
    for (const auto& row : rows) {
        CAPTURE(row.what);
        char buf[MAX_PATH];
        lstrcpyA(buf, row.path.c_str());
        CHECK(CutFileName(buf) == row.result);
        CHECK(std::string(buf) == row.cut);
    }
}

TEST_CASE("CString::Replace matches whole characters only")
{
    // "\\" must not match the trail byte of either character; only the real one goes.
    CString s((kHyo + "\\" + kSo).c_str());
    CHECK(s.Replace("\\", "/") == 1);
    CHECK(std::string((LPCSTR)s) == kHyo + "/" + kSo);
}

TEST_CASE("Japanese message text on Vista loses line feeds only")
{
    ScopedMessageBoxes boxes;
    ScopedVersion v({ VER_PLATFORM_WIN32_NT, 6, 1, "", false, false });
    char text[512];
    LoadStringA(GetModuleHandleA(NULL), IDS_NEED_ADMIN, text, sizeof text);
    const std::string original = text;
    ShowMessage(NULL, text, "x", 48);

    REQUIRE(original.find('\n') != std::string::npos);
    std::string expected = original;
    expected.erase(expected.find('\n'), 1);
    CHECK(boxes.Last().text == expected);
    CHECK(std::string(text) == original);
}

TEST_CASE("a long Japanese text is cut to 511 bytes between characters, not inside one")
{
    ScopedMessageBoxes boxes;
    ScopedVersion v({ VER_PLATFORM_WIN32_NT, 5, 1, "", false, false });
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += kHyo;
    ShowMessage(NULL, text.c_str(), "x", 64);
    // The 511th byte is the lead byte of the 256th character: it goes with it.
    CHECK(boxes.Last().text == text.substr(0, 510));
}
