#include <doctest/doctest.h>
#include <string.h>
#include <string>
#include "DelKeyTable.h"

static_assert(sizeof(DelKeyName) == 260, "a name slot is MAX_PATH bytes");

namespace {
// The names as a reader finds them: slot after slot, until an empty one.
std::string Names(const DelKeyName* pList)
{
    std::string names;
    for (const char* slot = (const char*)pList; slot[0] != '\0'; slot += 260) {
        // The rest of the slot is zero: nothing of a longer name shows through.
        const size_t length = strlen(slot);
        for (size_t i = length; i < 260; ++i)
            REQUIRE(slot[i] == '\0');
        names += std::string(slot) + " ";
    }
    return names;
}

int SlotCount(const DelKeyName* pList)
{
    int n = 1;
    while (pList[n - 1][0] != '\0')
        ++n;
    return n;
}
}  // namespace

TEST_CASE("the catalog: four products, their names in order, each list ended by an empty slot")
{
    int entries = 0;
    while (g_delKeyTable[entries].pGuidKeys != NULL)
        ++entries;
    CHECK(entries == 4);
    CHECK(g_delKeyTable[kProductCount].pAppFiles == NULL);

    CHECK(Names(g_delKeyTable[kProductMain].pGuidKeys) == "{17645E00-D79B-482F-8E43-82E09B4AE590} ");
    CHECK(Names(g_delKeyTable[kProductMain].pAppFiles) == "Pelo7Desk.exe ");
    CHECK(Names(g_delKeyTable[kProductViewer].pGuidKeys) == "{76609508-04FF-44D6-BE62-1B57264CAD24} ");
    CHECK(Names(g_delKeyTable[kProductViewer].pAppFiles) == "Kvertz.exe Pelo7.exe ");
    CHECK(Names(g_delKeyTable[kProductMonitor].pGuidKeys)
          == "{1FAD4C1C-42C7-44B0-BEA0-83E764C09CC0} {1AE29A88-D105-4427-9580-1ED00A71DAD7} "
             "{A21BE746-DBB6-44C0-887E-558B55560351} {CFEAABBC-95EB-42BB-AB30-F55262A898F9} ");
    CHECK(Names(g_delKeyTable[kProductMonitor].pAppFiles) == "Pelo7Watch.exe Pelo7Tray.exe Pelo7WatchSvc.exe ");
    CHECK(Names(g_delKeyTable[kProductLinkage].pGuidKeys) == "{66DE2269-FD8D-4504-B07A-91F3740816F9} ");
    CHECK(Names(g_delKeyTable[kProductLinkage].pAppFiles) == "pel_Stamp.dll ");
}

TEST_CASE("the catalog: slot counts, the empty slot included, and slots 260 bytes apart")
{
    const int keySlots[] = {2, 2, 5, 2};
    const int fileSlots[] = {2, 3, 4, 2};
    for (int i = 0; i < kProductCount; ++i) {
        CAPTURE(i);
        CHECK(SlotCount(g_delKeyTable[i].pGuidKeys) == keySlots[i]);
        CHECK(SlotCount(g_delKeyTable[i].pAppFiles) == fileSlots[i]);
    }
    // "Pelo7Tray.exe" follows the longer "Pelo7Watch.exe" at exactly one slot's distance.
    const char* files = (const char*)g_delKeyTable[kProductMonitor].pAppFiles;
    CHECK(strcmp(files + 260, "Pelo7Tray.exe") == 0);
    CHECK(strcmp(files + 520, "Pelo7WatchSvc.exe") == 0);
    CHECK(files[780] == '\0');
}
