// The dialog in this process, with message boxes answered by a fake: what another
// process cannot see (the window menu's Close command, the list's text extent).
#include <doctest/doctest.h>
#include <string>
#include <vector>
#include "Globals.h"
#include "Pelo7CleanDlg.h"
#include "Products.h"
#include "TestSeams.h"
#include "TestSupport.h"

namespace {
struct Box {
    HWND owner;
    std::string text;
    UINT style;
};
std::vector<Box> s_boxes;

int WINAPI AnsweringMessageBoxA(HWND owner, LPCSTR text, LPCSTR, UINT style)
{
    s_boxes.push_back({ owner, text, style });
    return (style & MB_YESNO) ? IDYES : IDOK;
}

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
    LoadStringA(g_hResInstance, 1, caption, sizeof caption);
    for (int i = 0; i < 500 && o->dialog == NULL; ++i, Sleep(10))
        o->dialog = FindWindowA(NULL, caption);
    if (o->dialog == NULL)
        return 1;
    HWND list = GetDlgItem(o->dialog, 1003);

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
    PostMessageA(o->dialog, WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), (LPARAM)GetDlgItem(o->dialog, 1000));
    for (int i = 0; i < 300 && !o->controlsDisabledDuring; ++i, Sleep(10)) {
        o->controlsDisabledDuring = !IsWindowEnabled(GetDlgItem(o->dialog, 1000)) &&
                                    !IsWindowEnabled(GetDlgItem(o->dialog, IDCANCEL)) && !IsWindowEnabled(list);
        o->closeGrayedDuring = !grayedBefore && CloseGrayed(o->dialog);
    }
    // The Close command comes back just before the controls. (A sent message is no
    // sign of the end: the flow takes them in while it clears the input queue.)
    for (int i = 0; i < 500 && !IsWindowEnabled(GetDlgItem(o->dialog, 1000)); ++i)
        Sleep(10);
    o->closeEnabledAfter = !CloseGrayed(o->dialog);
    PostMessageA(o->dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return 0;
}
}

TEST_CASE("while cleaning, the Close command is grayed and the controls disabled")
{
    ScopedLog log;
    ScopedOsKind kind(12);
    TempDir programs;
    RemoveAllProducts();
    PlantProduct(1, kDisplayNames[1], programs / "viewer");
    PlantProduct(3, std::string("A long name, wider than the list: ") + std::string(80, 'W'), programs / "link");
    s_boxes.clear();
    seam::pMessageBoxA = AnsweringMessageBoxA;

    Observed seen;
    HANDLE driver = CreateThread(NULL, 0, Drive, &seen, 0, NULL);
    CPelo7CleanDlg dlg;
    dlg.DoModal();
    WaitForSingleObject(driver, 10000);
    CloseHandle(driver);
    seam::pMessageBoxA = ::MessageBoxA;

    REQUIRE(seen.dialog != NULL);
    CHECK(seen.extent == seen.expectedExtent);
    CHECK(seen.extent > 300);
    CHECK(seen.controlsDisabledDuring);
    CHECK(seen.closeGrayedDuring);
    CHECK(seen.closeEnabledAfter);
    REQUIRE(s_boxes.size() == 2);
    CHECK(s_boxes[0].style == 292);
    CHECK(s_boxes[0].owner == seen.dialog);
    CHECK(s_boxes[1].style == 64);
    CHECK(s_boxes[1].text == "Successfully removed.");
    CHECK(!ProductLeftovers(1));
    CHECK(ProductLeftovers(3));
    RemoveAllProducts();
}
