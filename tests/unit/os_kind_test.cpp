// Platform classification, through a fake GetVersionExA.
#include <doctest/doctest.h>
#include "OsKind.h"
#include "TestSupport.h"

namespace {
const DWORD W9x = VER_PLATFORM_WIN32_WINDOWS, NT = VER_PLATFORM_WIN32_NT;

int KindOf(DWORD platform, DWORD major, DWORD minor, const char* csd = "")
{
    ScopedVersion v({ platform, major, minor, csd, false, false });
    return GetOsKind();
}
}

TEST_CASE("every supported and refused system gets its own code")
{
    CHECK(KindOf(W9x, 4, 10, " A") == 1);    // 98 SE
    CHECK(KindOf(W9x, 4, 10, "") == 2);      // 98
    CHECK(KindOf(W9x, 4, 90) == 3);          // Me
    CHECK(KindOf(NT, 5, 2) == 5);            // Server 2003, XP x64
    CHECK(KindOf(NT, 5, 1, "Service Pack 3") == 6);
    CHECK(KindOf(NT, 5, 0) == 7);            // 2000
    CHECK(KindOf(NT, 4, 0) == 8);            // NT 4
    CHECK(KindOf(NT, 3, 51) == 8);
    CHECK(KindOf(NT, 0, 0) == 8);
    CHECK(KindOf(W9x, 4, 0, " B") == 9);     // 95 OSR2
    CHECK(KindOf(W9x, 4, 0, " C") == 9);     // 95 OSR2.5
    CHECK(KindOf(W9x, 4, 0, "") == 10);      // 95
    CHECK(KindOf(NT, 6, 0) == 11);
    CHECK(KindOf(NT, 6, 1) == 12);
    CHECK(KindOf(NT, 6, 2) == 13);           // 8, and later systems under the manifest
}

TEST_CASE("the service-pack letter is compared exactly")
{
    CHECK(KindOf(W9x, 4, 10, " a") == 2);    // lower case is not Second Edition
    CHECK(KindOf(W9x, 4, 10, "A") == 2);     // the letter must stand at index 1
    CHECK(KindOf(W9x, 4, 10, " B") == 2);
    CHECK(KindOf(W9x, 4, 0, " b") == 10);
    CHECK(KindOf(W9x, 4, 0, " A") == 10);
}

TEST_CASE("systems the table does not know are code 4")
{
    CHECK(KindOf(0, 3, 10) == 4);            // Win32s
    CHECK(KindOf(3, 5, 0) == 4);             // CE
    CHECK(KindOf(W9x, 3, 10) == 4);
    CHECK(KindOf(W9x, 5, 0) == 4);
    CHECK(KindOf(W9x, 4, 20) == 4);
    CHECK(KindOf(NT, 5, 3) == 4);
    CHECK(KindOf(NT, 6, 3) == 4);            // 8.1 reporting its real version
    CHECK(KindOf(NT, 10, 0) == 4);
}

TEST_CASE("the version query falls back to the plain structure size")
{
    SUBCASE("the extended size is rejected: the second query answers") {
        ScopedVersion v({ NT, 5, 0, "", true, false });
        CHECK(GetOsKind() == 7);
        REQUIRE(ScopedVersion::s_calls == 2);
        CHECK(ScopedVersion::s_sizes[0] == sizeof(OSVERSIONINFOEXA));
        CHECK(ScopedVersion::s_sizes[1] == sizeof(OSVERSIONINFOA));
        CHECK(ScopedVersion::s_sizes[0] == 156);
        CHECK(ScopedVersion::s_sizes[1] == 148);
    }
    SUBCASE("both sizes rejected: unrecognised") {
        ScopedVersion v({ NT, 5, 1, "", false, true });
        CHECK(GetOsKind() == 4);
        CHECK(ScopedVersion::s_calls == 2);
    }
    SUBCASE("the first query answering is asked only once") {
        ScopedVersion v({ W9x, 4, 90, "", false, false });
        CHECK(GetOsKind() == 3);
        CHECK(ScopedVersion::s_calls == 1);
    }
}

TEST_CASE("without a fake, Wine's own answer classifies")
{
    CHECK(GetOsKind() != 4);   // the test prefix runs a supported setting
}
