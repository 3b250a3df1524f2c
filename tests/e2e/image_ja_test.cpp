// The built executable's strings as a Japanese system hands them out: the
// UTF-16 resources converted to code page 932 by LoadStringA.
#include <doctest/doctest.h>
#include <windows.h>
#include <string>
#include "image_expected.h"

TEST_CASE("LoadStringA in the Japanese locale gives the Japanese texts in code page 932")
{
    REQUIRE_MESSAGE(GetACP() == 932, "this test needs a Japanese locale");
    ImageModule image;

    // Fixed points that do not depend on the conversion tables of this system.
    CHECK(ShowBytes(image.LoadAnsiString(2)) == ShowBytes("\x83\x79\x83\x8D\x83\x69"));  // ペロナ
    const std::string confirm = image.LoadAnsiString(3);
    CHECK(ShowBytes(confirm.substr(confirm.size() >= 2 ? confirm.size() - 2 : 0)) == ShowBytes("\x81\x48"));  // ends with ？

    for (const ExpectedString& e : kExpectedStrings) {
        CAPTURE(e.id);
        CHECK(ShowBytes(image.LoadAnsiString(e.id)) == ShowBytes(ToCodePage(e.japanese, 932)));
    }

    // Start-up loads the dialog title and the caption with a 64-byte limit.
    CHECK(image.LoadAnsiString(1, 64) == ToCodePage(kExpectedStrings[0].japanese, 932));
    CHECK(image.LoadAnsiString(2, 64) == ToCodePage(kExpectedStrings[1].japanese, 932));
}
