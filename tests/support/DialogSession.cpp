#include "DialogSession.h"
#include <doctest/doctest.h>
#include "Products.h"
#include "resource.h"

OpenDialog::OpenDialog(const std::string& exe, const std::vector<std::string>& env) : app(exe, env)
{
    dialog = app.WaitDialog();
    REQUIRE(dialog != NULL);
    list = GetDlgItem(dialog, IDC_LIST_PRODUCT);
    remove = GetDlgItem(dialog, IDC_BTN_REMOVE);
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

std::string OpenDialog::Enabled() const
{
    const std::pair<HWND, const char*> controls[] = { { list, " list" }, { remove, " remove" }, { finish, " finish" } };
    std::string enabled;
    for (const auto& c : controls)
        if (IsWindowEnabled(c.first))
            enabled += c.second;
    return enabled.empty() ? enabled : enabled.substr(1);
}

MessageBoxView OpenDialog::WaitBox(DWORD ms)
{
    HWND box = app.WaitMessageBox(ms);
    REQUIRE_MESSAGE(box != NULL, "no message box within " << ms << " ms");
    return ReadMessageBox(box);
}

MessageBoxView OpenDialog::PressRemove()
{
    ClickButton(dialog, IDC_BTN_REMOVE);
    return WaitBox();
}

MessageBoxView OpenDialog::Confirm()
{
    const MessageBoxView ask = PressRemove();
    CHECK(ask.text == AppString(IDS_CONFIRM_REMOVE));
    CHECK(ask.yes);
    CHECK(ask.no);
    CHECK(ask.defaultId == IDNO);
    CHECK(ask.owner == dialog);
    AnswerMessageBox(ask.hwnd, IDYES);
    app.WaitGone(ask.hwnd);
    return WaitBox(20000);
}

void OpenDialog::RemoveUnselected()
{
    Select(-1);
    ClickButton(dialog, IDC_BTN_REMOVE);
    Sleep(500);   // time enough for the log line, and for a box that must not show
    CHECK(app.FindMessageBox() == NULL);
}

void OpenDialog::Dismiss(const MessageBoxView& box, int id)
{
    AnswerMessageBox(box.hwnd, id);
    app.WaitGone(box.hwnd);
}

void OpenDialog::Finish()
{
    ClickButton(dialog, IDCANCEL);
    CHECK(app.WaitExit(10000));
}

static void ClearMachine()
{
    RemoveAllProducts();
    DeleteFileA(AppLogPath().c_str());
    RemoveRestoreFiles(AppFolder());
}

CleanMachine::CleanMachine() { ClearMachine(); }
CleanMachine::~CleanMachine() { ClearMachine(); }

void CleanMachine::Plant(int index)
{
    const std::string name = GetACP() == 932 ? Acp(kJapaneseDisplayNames[index]) : kDisplayNames[index];
    PlantProduct(index, name, m_programs / ("p" + std::to_string(index)));
}
