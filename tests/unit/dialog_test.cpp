// The dialog in this process, with message boxes answered by a fake: what another
// process cannot see (the window menu's Close command, the list's text extent).
#include <doctest/doctest.h>
#include <string>
#include "EngineFixture.h"
#include "Fakes.h"
#include "Globals.h"
#include "WaitUntil.h"
#include "resource.h"

namespace {
// What the driver thread saw while the removal ran.
struct Observed {
    HWND dialog = NULL;
    bool closeGrayedDuring = false, controlsDisabledDuring = false;
    bool closeEnabledAfter = false;
    int extent = -1, expectedExtent = -2;
};

bool CloseGrayed(HWND dialog)
{
    return (GetMenuState(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

DWORD WINAPI Drive(LPVOID param)
{
    Observed* o = (Observed*)param;
    char caption[64] = "";
    LoadStringA(g_hResInstance, IDS_DIALOG_TITLE, caption, sizeof caption);
    if (!WaitUntil([&] { return (o->dialog = FindWindowA(NULL, caption)) != NULL; }, 5000, 10))
        return 1;
    HWND list = GetDlgItem(o->dialog, IDC_LIST_PRODUCT);
    HWND remove = GetDlgItem(o->dialog, IDC_BTN_REMOVE);

    // The extent fits the widest name in the list's own font, plus 5 pixels.
    o->extent = (int)SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0);
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(list, WM_GETFONT, 0, 0));
    int widest = 0;
    for (int i = 0; i < (int)SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
        char text[MAX_PATH] = "";
        SendMessageA(list, LB_GETTEXT, i, (LPARAM)text);
        SIZE size = { 0, 0 };
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
        widest = size.cx > widest ? size.cx : widest;
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    o->expectedExtent = widest + 5;

    const bool grayedBefore = CloseGrayed(o->dialog);
    PostMessageA(o->dialog, WM_COMMAND, MAKEWPARAM(IDC_BTN_REMOVE, BN_CLICKED), (LPARAM)remove);
    WaitUntil([&] {
        o->controlsDisabledDuring = !IsWindowEnabled(remove) && !IsWindowEnabled(GetDlgItem(o->dialog, IDCANCEL))
                                    && !IsWindowEnabled(list);
        o->closeGrayedDuring = !grayedBefore && CloseGrayed(o->dialog);
        return o->controlsDisabledDuring;
    }, 3000, 10);
    // The Close command comes back just before the controls. (A sent message is no
    // sign of the end: the flow takes them in while it clears the input queue.)
    WaitUntil([&] { return IsWindowEnabled(remove) != FALSE; }, 5000, 10);
    o->closeEnabledAfter = !CloseGrayed(o->dialog);
    PostMessageA(o->dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return 0;
}
}

TEST_CASE_FIXTURE(EngineOn7, "while cleaning, the Close command is grayed and the controls disabled")
{
    PlantedViewer viewer(kDisplayNames[kProductViewer]);
    const std::string wide = "A long name, wider than the list: " + std::string(80, 'W');
    PlantProduct(kProductLinkage, wide, viewer.programs / "link");
    ScopedMessageBoxes boxes;

    Observed seen;
    HANDLE driver = CreateThread(NULL, 0, Drive, &seen, 0, NULL);
    dlg.DoModal();
    WaitForSingleObject(driver, 10000);
    CloseHandle(driver);

    REQUIRE(seen.dialog != NULL);
    CHECK(seen.extent == seen.expectedExtent);
    CHECK(seen.extent > 300);
    CHECK(seen.controlsDisabledDuring);
    CHECK(seen.closeGrayedDuring);
    CHECK(seen.closeEnabledAfter);
    REQUIRE(boxes.Count() == 2);
    CHECK(boxes.Shown()[0].style == 292);
    CHECK(boxes.Shown()[0].owner == seen.dialog);
    CHECK(boxes.Shown()[1].style == 64);
    CHECK(boxes.Shown()[1].text == "Successfully removed.");
    CHECK(!ProductLeftovers(kProductViewer));
    CHECK(ProductLeftovers(kProductLinkage));
}
