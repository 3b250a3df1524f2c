// The cleaner dialog in Japanese (code page 932).
#include <doctest/doctest.h>
#include "AppDriver.h"
#include "Products.h"
#include "TestSupport.h"

namespace {
const int kRemove = 1000, kList = 1003;

const char* const kJapaneseNames[4] = {
    u8"ペロナ パーソナル", u8"ペロ７ビューア", u8"連携ソフトウェア", u8"ペロナ 会計ソフト連携オプション",
};

std::string WithoutLineFeeds(std::string s)
{
    for (size_t i; (i = s.find('\n')) != std::string::npos;)
        s.erase(i, 1);
    return s;
}

struct JapaneseMachine {
    TempDir programs;
    JapaneseMachine() { RemoveAllProducts(); DeleteFileA(AppLogPath().c_str()); }
    ~JapaneseMachine() { RemoveAllProducts(); DeleteFileA(AppLogPath().c_str()); }
    void Plant(int i) { PlantProduct(i, Acp(kJapaneseNames[i]), programs / ("p" + std::to_string(i))); }
};

// Presses Remove and returns the box that follows.
MessageBoxView PressRemove(AppRun& app, HWND dialog)
{
    ClickButton(dialog, kRemove);
    HWND box = app.WaitMessageBox();
    REQUIRE(box != NULL);
    return ReadMessageBox(box);
}

void Close(AppRun& app, HWND dialog)
{
    ClickButton(dialog, IDCANCEL);
    CHECK(app.WaitExit(10000));
}
}

TEST_CASE("Japanese: the dialog, its list and its refusals")
{
    REQUIRE(GetACP() == 932);
    JapaneseMachine machine;
    for (int i = 0; i < 4; ++i)
        machine.Plant(i);
    AppRun app;
    HWND dialog = app.WaitDialog();
    REQUIRE(dialog != NULL);
    CHECK(WindowText(dialog) == Acp(u8"ペロナ インストール情報削除ツール V1.0L15"));
    HWND list = GetDlgItem(dialog, kList);
    const std::vector<ListItemView> items = ReadList(list);
    REQUIRE(items.size() == 4);
    for (int i = 0; i < 4; ++i) {
        CHECK(items[i].text == Acp(kJapaneseNames[i]));
        CHECK(items[i].data == i);
    }
    SaveScreenshot("ja-idle");

    SUBCASE("the linkage option while the main application and the viewer are listed") {
        SendMessageA(list, LB_SETCURSEL, 3, 0);
        const MessageBoxView box = PressRemove(app, dialog);
        CHECK(box.caption == Acp(u8"ペロナ"));
        CHECK(box.text == WithoutLineFeeds(Acp(u8"ペロナ パーソナルがインストールされています。\n"
                                                  u8"ペロナ 会計ソフト連携オプションをアンインストールする前に、\n"
                                                  u8"ペロナ パーソナル 及び ペロ７ビューア をアンインストールする必要があります。")));
        SaveScreenshot("ja-refusal");
        AnswerMessageBox(box.hwnd, IDOK);
    }
    SUBCASE("the main application while the linked software is listed") {
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        const MessageBoxView box = PressRemove(app, dialog);
        CHECK(box.text == WithoutLineFeeds(AppString(8)));
        CHECK(box.text.find(Acp(u8"連携ソフトウェアがインストールされています。")) == 0);
        AnswerMessageBox(box.hwnd, IDOK);
    }
    Sleep(300);
    Close(app, dialog);
}

TEST_CASE("Japanese: with only the viewer left, the linkage option is refused with string 10")
{
    JapaneseMachine machine;
    machine.Plant(1);
    machine.Plant(3);
    AppRun app;
    HWND dialog = app.WaitDialog();
    REQUIRE(dialog != NULL);
    SendMessageA(GetDlgItem(dialog, kList), LB_SETCURSEL, 1, 0);
    const MessageBoxView box = PressRemove(app, dialog);
    CHECK(box.text.find(Acp(u8"ペロ７ビューアがインストールされています。")) == 0);
    AnswerMessageBox(box.hwnd, IDOK);
    Sleep(300);
    Close(app, dialog);
}

TEST_CASE("Japanese: a failed registry deletion shows its code")
{
    JapaneseMachine machine;
    machine.Plant(1);
    AppRun app(FaultExePath(), { "PELO7CLEAN_FAULT=deny-delete" });
    HWND dialog = app.WaitDialog();
    REQUIRE(dialog != NULL);
    const MessageBoxView ask = PressRemove(app, dialog);
    CHECK(ask.text == Acp(u8"インストール情報を削除しますか？"));
    AnswerMessageBox(ask.hwnd, IDYES);
    for (DWORD start = GetTickCount(); app.FindMessageBox() == ask.hwnd && GetTickCount() - start < 5000;)
        Sleep(20);
    HWND result = app.WaitMessageBox(20000);
    REQUIRE(result != NULL);
    const MessageBoxView box = ReadMessageBox(result);
    CHECK(box.text == Acp(u8"レジストリの削除に失敗しました。(CODE=-12)\r* エラーの詳細はログファイル(Pelo7Clean.log)を\r   参照してください。"));
    SaveScreenshot("ja-failure");
    AnswerMessageBox(result, IDOK);
    Sleep(300);
    Close(app, dialog);
    CHECK(ProductLeftovers(1));
}
