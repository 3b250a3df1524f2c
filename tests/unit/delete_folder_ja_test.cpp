#include <doctest/doctest.h>
#include <string>
#include "DeleteTheFolder.h"
#include "TestSupport.h"
#include "EngineSupport.h"

// "表" in code page 932: its trail byte has the backslash's code.
static const char kHyo[] = "\x95\x5C";
// "メ": its trail byte 0x81 is also a lead byte.
static const char kMe[] = "\x83\x81";

TEST_CASE("DeleteTheFolder: a name ending in a double-byte character with trail byte 0x5C is searched inside")
{
    REQUIRE(GetACP() == 932);
    TempDir dir;
    const std::string folder = dir / (std::string("Setup") + kHyo);
    for (const char* tail : {"", "\\"}) {
        CAPTURE(tail);
        PlantFiles(folder, {"setup.exe", kHyo + std::string("\\"), kHyo + std::string("\\data.cab")});
        // Would match "Setup表*.*" if the trail byte were taken for a separator.
        WriteFileBytes(folder + "x.txt", "a neighbour");
        REQUIRE(CountEntries(folder) == 2);

        CHECK(DeleteTheFolder((folder + tail).c_str(), 0) == 1);
        CHECK_FALSE(FileExists(folder));
        CHECK(FileExists(folder + "x.txt"));
    }
}

TEST_CASE("DeleteTheFolder: a link named with a trail byte that is also a lead byte is not entered")
{
    UnixTempDir ztmp;
    const std::string outside = ztmp / "Outside";
    PlantFiles(outside, {"setup.exe"});
    const std::string link = ztmp / (std::string("Setup") + kMe);
    REQUIRE(PlantUnixLink(outside, link));
    const int result = DeleteTheFolder((link + "\\").c_str(), 0);   // before the check looks at what is left
    CHECK(result == (FileExists(link) ? 0 : 1));
    CHECK(FileExists(outside + "\\setup.exe"));
}
