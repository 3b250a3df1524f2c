#include "DialogSession.h"
#include <doctest/doctest.h>
#include "Products.h"

namespace {
const int kRemove = 1000, kList = 1003;

void WaitGone(AppRun& app, HWND box)
{
    for (DWORD start = GetTickCount(); app.FindMessageBox() == box && GetTickCount() - start < 5000;)
        Sleep(20);
}
}

OpenDialog::OpenDialog(const std::string& exe, const std::vector<std::string>& env) : app(exe, env)
{
    dialog = app.WaitDialog();
    REQUIRE(dialog != NULL);
    list = GetDlgItem(dialog, kList);
    remove = GetDlgItem(dialog, kRemove);
    finish = GetDlgItem(dialog, IDCANCEL);
}

OpenDialog::~OpenDialog()
{
    if (!app.WaitExit(0)) {
        ClickButton(dialog, IDCANCEL);
        app.WaitExit(10000);
    }
}

int OpenDialog::Selection() const
{
    return (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
}

void OpenDialog::Select(int index)
{
    SendMessageA(list, LB_SETCURSEL, (WPARAM)index, 0);
}

std::vector<std::string> OpenDialog::Texts() const
{
    std::vector<std::string> texts;
    for (const ListItemView& item : ReadList(list))
        texts.push_back(item.text);
    return texts;
}

MessageBoxView OpenDialog::PressRemove()
{
    ClickButton(dialog, kRemove);
    HWND box = app.WaitMessageBox();
    REQUIRE(box != NULL);
    return ReadMessageBox(box);
}

MessageBoxView OpenDialog::Confirm()
{
    const MessageBoxView ask = PressRemove();
    CHECK(ask.text == AppString(3));
    CHECK(ask.yes);
    CHECK(ask.no);
    CHECK(ask.defaultId == IDNO);
    CHECK(ask.owner == dialog);
    AnswerMessageBox(ask.hwnd, IDYES);
    WaitGone(app, ask.hwnd);
    HWND result = app.WaitMessageBox(20000);
    REQUIRE(result != NULL);
    return ReadMessageBox(result);
}

void OpenDialog::Dismiss(const MessageBoxView& box, int id)
{
    AnswerMessageBox(box.hwnd, id);
    WaitGone(app, box.hwnd);
}

void OpenDialog::Finish()
{
    ClickButton(dialog, IDCANCEL);
    CHECK(app.WaitExit(10000));
}

CleanMachine::CleanMachine()
{
    RemoveAllProducts();
    DeleteFileA(AppLogPath().c_str());
    RemoveRestoreFiles(AppFolder());
}

CleanMachine::~CleanMachine()
{
    RemoveAllProducts();
    DeleteFileA(AppLogPath().c_str());
    RemoveRestoreFiles(AppFolder());
}

void CleanMachine::Plant(int index)
{
    const std::string name = GetACP() == 932 ? Acp(kJapaneseDisplayNames[index]) : kDisplayNames[index];
    PlantProduct(index, name, m_programs / ("p" + std::to_string(index)));
}
