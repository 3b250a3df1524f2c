// Message boxes: line feeds dropped from Vista on, the caller's text untouched.
#include <doctest/doctest.h>
#include <string>
#include "Fakes.h"
#include "ShowMessage.h"
#include "TestSupport.h"

namespace {
const FakeVersion kXP = { VER_PLATFORM_WIN32_NT, 5, 1, "", false, false };
const FakeVersion kVista = { VER_PLATFORM_WIN32_NT, 6, 0, "", false, false };
const FakeVersion k8 = { VER_PLATFORM_WIN32_NT, 6, 2, "", false, false };
const FakeVersion kMe = { VER_PLATFORM_WIN32_WINDOWS, 4, 90, "", false, false };
}

TEST_CASE("line feeds go only on Vista and later; carriage returns stay")
{
    const char original[] = "Removal failed. (CODE=-3)\r\n* see the log.\nLast line.";
    const char withoutFeeds[] = "Removal failed. (CODE=-3)\r* see the log.Last line.";
    const struct {
        const char* system;
        FakeVersion version;
        const char* shown;
    } rows[] = {
        { "XP", kXP, original },
        { "Me", kMe, original },
        { "Vista", kVista, withoutFeeds },
        { "8", k8, withoutFeeds },
    };
    for (const auto& row : rows) {
        CAPTURE(row.system);
        ScopedMessageBoxes boxes(IDNO);
        ScopedVersion v(row.version);
        char text[512];
        lstrcpyA(text, original);
        CHECK(ShowMessage((HWND)0x1234, text, "Tumora", 16) == IDNO);
        CHECK(boxes.Last().text == row.shown);
        CHECK(std::string(text) == original);   // the caller's buffer keeps its line feeds
    }
}

TEST_CASE("owner, caption and style reach the box unchanged; the platform is asked each time")
{
    ScopedMessageBoxes boxes(IDNO);
    ScopedVersion v(kXP);
    ShowMessage((HWND)0x1234, "Do you want to clean up installation information? ", "Tumora",
                MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    CHECK(boxes.Last().owner == (HWND)0x1234);
    CHECK(boxes.Last().caption == "Tumora");
    CHECK(boxes.Last().style == 292);
    CHECK(boxes.Last().text == "Do you want to clean up installation information? ");
    ShowMessage(NULL, "x", "Tumora", 48);
    CHECK(ScopedVersion::s_calls == 2);
    CHECK(boxes.Count() == 2);
}

TEST_CASE("a text longer than the box buffer is cut to 511 bytes")
{
    ScopedMessageBoxes boxes(IDNO);
    ScopedVersion v(kXP);
    const std::string longText(700, 'x');
    ShowMessage(NULL, longText.c_str(), "Tumora", 64);
    CHECK(boxes.Last().text == std::string(511, 'x'));
}
