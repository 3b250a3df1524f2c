// The cleaner dialog in Japanese (code page 932).
#include <doctest/doctest.h>
#include "DialogSession.h"
#include "DelKeyTable.h"
#include "Products.h"
#include "TestSupport.h"
#include "resource.h"

namespace {
std::string WithoutLineFeeds(std::string s)
{
    for (size_t i; (i = s.find('\n')) != std::string::npos;)
        s.erase(i, 1);
    return s;
}
}

TEST_CASE("Japanese: the dialog, its list and its refusals")
{
    REQUIRE(GetACP() == 932);
    CleanMachine machine;
    for (int i = 0; i < kProductCount; ++i)
        machine.Plant(i);
    OpenDialog d;
    CHECK(WindowText(d.dialog) == Acp(u8"ペロナ インストール情報削除ツール V1.0L15"));
    CHECK(OffCentre(d.dialog) == "");
    const std::vector<ListItemView> items = ReadList(d.list);
    REQUIRE(items.size() == kProductCount);
    for (int i = 0; i < kProductCount; ++i) {
        CHECK(items[i].text == Acp(kJapaneseDisplayNames[i]));
        CHECK(items[i].data == i);
    }
    SaveScreenshot("ja-idle");

    SUBCASE("the linkage option while the main application and the viewer are listed") {
        d.Select(3);
        const MessageBoxView box = d.PressRemove();
        CHECK(box.caption == Acp(u8"ペロナ"));
        CHECK(box.text == WithoutLineFeeds(Acp(u8"ペロナ パーソナルがインストールされています。\n"
                                                  u8"ペロナ 会計ソフト連携オプションをアンインストールする前に、\n"
                                                  u8"ペロナ パーソナル 及び ペロ７ビューア をアンインストールする必要があります。")));
        SaveScreenshot("ja-refusal");
        d.Dismiss(box);
    }
    SUBCASE("the main application while the linked software is listed") {
        d.Select(0);
        const MessageBoxView box = d.PressRemove();
        CHECK(box.text == WithoutLineFeeds(AppString(IDS_MONITOR_INSTALLED)));
        CHECK(box.text.find(Acp(u8"連携ソフトウェアがインストールされています。")) == 0);
        d.Dismiss(box);
    }
    d.Finish();
}

TEST_CASE("Japanese at 144 DPI: the dialog centred; with only the viewer left, the linkage option is refused")
{
    CleanMachine machine;
    machine.Plant(kProductViewer);
    machine.Plant(kProductLinkage);
    ScopedDpi dpi(144);
    OpenDialog d;
    RECT client;
    GetClientRect(d.dialog, &client);
    CHECK(client.bottom >= 400);   // 180 dialog units: about 300 pixels at 96 DPI, 450 at 144
    CHECK(OffCentre(d.dialog) == "");
    d.Select(1);
    const MessageBoxView box = d.PressRemove();
    CHECK(box.text.find(Acp(u8"ペロ７ビューアがインストールされています。")) == 0);
    d.Dismiss(box);
    d.Finish();
}

TEST_CASE("Japanese: a failed registry deletion shows its code")
{
    CleanMachine machine;
    machine.Plant(kProductViewer);
    OpenDialog d(FaultExePath(), { "PELO7CLEAN_FAULT=deny-delete" });
    CHECK(AppString(IDS_CONFIRM_REMOVE) == Acp(u8"インストール情報を削除しますか？"));
    const MessageBoxView box = d.Confirm();
    CHECK(box.text == Acp(u8"レジストリの削除に失敗しました。(CODE=-12)\r* エラーの詳細はログファイル(Pelo7Clean.log)を\r   参照してください。"));
    SaveScreenshot("ja-failure");
    d.Dismiss(box);
    d.Finish();
    CHECK(ProductLeftovers(kProductViewer));
}
