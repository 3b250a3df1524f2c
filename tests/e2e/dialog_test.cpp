// The cleaner dialog of the built executable, driven from this process.
#include <doctest/doctest.h>
#include "DialogSession.h"
#include "EngineSupport.h"
#include "Products.h"
#include "DelKeyTable.h"
#include "TestSupport.h"
#include "WaitUntil.h"
#include "resource.h"

TEST_CASE("the list shows installed products in catalog order with their catalog index")
{
    CleanMachine machine;
    SUBCASE("earlier entries missing") {
        machine.Plant(kProductLinkage);
        machine.Plant(kProductViewer);
        OpenDialog d;
        const std::vector<ListItemView> items = ReadList(d.list);
        REQUIRE(items.size() == 2);
        CHECK(items[0].text == kDisplayNames[kProductViewer]);
        CHECK(items[0].data == kProductViewer);
        CHECK(items[1].text == kDisplayNames[kProductLinkage]);
        CHECK(items[1].data == kProductLinkage);
        CHECK(d.Selection() == 0);
        CHECK(d.Enabled() == "list remove finish");
        CHECK(OffCentre(d.dialog) == "");
        SaveScreenshot("en-idle");
    }
    SUBCASE("a product with several keys is listed once, by its first readable key") {
        machine.Plant(kProductMonitor);
        // The first key loses its display name: the second key names the product.
        const DelKeyName* keys = g_delKeyTable[kProductMonitor].pGuidKeys;
        RegSetString(HKEY_LOCAL_MACHINE, UninstallKey(keys[0]), "DisplayName", "");
        RegRemoveTree(HKEY_LOCAL_MACHINE, UninstallKey(keys[0]));
        RegSetString(HKEY_LOCAL_MACHINE, UninstallKey(keys[2]), "DisplayName", "Third key");
        RegSetString(HKEY_LOCAL_MACHINE, UninstallKey(keys[1]), "DisplayName", "Second key");
        OpenDialog d;
        const std::vector<ListItemView> items = ReadList(d.list);
        REQUIRE(items.size() == 1);
        CHECK(items[0].text == "Second key");
        CHECK(items[0].data == kProductMonitor);
    }
    SUBCASE("nothing installed: an empty, disabled list and the focus on Finish") {
        OpenDialog d;
        CHECK(ReadList(d.list).empty());
        CHECK(d.Enabled() == "finish");
        CHECK(WaitFocus(d.dialog, d.finish) == d.finish);
        CHECK(SendMessageA(d.list, LB_GETHORIZONTALEXTENT, 0, 0) == 5);
    }
}

TEST_CASE("a product that must be uninstalled first is refused with its message")
{
    // Before Vista the text keeps its line feed; from Vista on (Wine's default: 7) the sentences join.
    const std::string linkageFirst = " is installed.Please uninstall Tumora and Pelo7 Viewer before you uninstall "
                                     "Tumora Accounting Software Link Option.";
    const struct {
        std::vector<int> planted;
        int selected, refused;
        const char* version;   // NULL: Wine's default
        std::string text;
    } cases[] = {
        { { kProductMain, kProductMonitor }, 0, kProductMain, "winxp",
          "Tumi3 Folder Monitor Software is installed.\nPlease uninstall it before you uninstall Tumora." },
        { { kProductMain, kProductMonitor }, 0, kProductMain, "win7",
          "Tumi3 Folder Monitor Software is installed.Please uninstall it before you uninstall Tumora." },
        { { kProductMain, kProductViewer, kProductLinkage }, 2, kProductLinkage, NULL, "Tumora" + linkageFirst },
        { { kProductViewer, kProductLinkage }, 1, kProductLinkage, NULL, "Pelo7 Viewer" + linkageFirst },
    };
    for (const auto& c : cases) {
        CAPTURE(c.text);
        CleanMachine machine;
        for (int product : c.planted)
            machine.Plant(product);
        ScopedWineVersion version(c.version);
        OpenDialog d;
        d.Select(c.selected);
        const MessageBoxView box = d.PressRemove();
        CHECK(box.text == c.text);
        CHECK(box.caption == "Tumora");
        CHECK(box.owner == d.dialog);
        CHECK(box.ok);
        CHECK(!box.yes);
        d.Dismiss(box);
        CHECK(ProductLeftovers(c.refused));
        CHECK(d.Selection() == c.selected);
    }
}

TEST_CASE("No changes nothing; Yes cleans, rebuilds the list and reports success")
{
    CleanMachine machine;
    machine.Plant(kProductViewer);
    machine.Plant(kProductMonitor);
    OpenDialog d;
    d.Select(1);

    const MessageBoxView ask = d.PressRemove();
    CHECK(ask.defaultId == IDNO);
    d.Dismiss(ask, IDNO);
    Sleep(500);   // time enough for a box that No must not bring
    CHECK(d.app.FindMessageBox() == NULL);
    CHECK(ProductLeftovers(kProductMonitor));
    CHECK(d.Texts().size() == 2);
    CHECK(d.Selection() == 1);

    const MessageBoxView done = d.Confirm();
    CHECK(done.text == "Successfully removed.");
    CHECK(done.owner == d.dialog);
    CHECK(done.ok);
    // The list was rebuilt before the box: the count dropped, so item 0 is selected.
    CHECK(d.Texts() == std::vector<std::string>{ kDisplayNames[kProductViewer] });
    CHECK(d.Selection() == 0);
    CHECK(!ProductLeftovers(kProductMonitor));
    CHECK(ProductLeftovers(kProductViewer));
    SaveScreenshot("en-removed");
    d.Dismiss(done);

    const MessageBoxView last = d.Confirm();
    CHECK(last.text == "Successfully removed.");
    CHECK(d.Texts().empty());
    CHECK(d.Enabled() == "finish");
    d.Dismiss(last);
    CHECK(WaitFocus(d.dialog, d.finish) == d.finish);
    CHECK(!ProductLeftovers(kProductViewer));
    CHECK(!FileExists(AppLogPath()));   // nothing failed, nothing logged
}

TEST_CASE("a removal ended half way is restored from its restore file and run again to the end")
{
    CleanMachine machine;
    machine.Plant(kProductViewer);
    const char* const guid = g_guidKeysViewer[0];
    const std::string planted = RegSnapshot(HKEY_LOCAL_MACHINE, UninstallKey(guid));
    // Held open, the setup folder keeps the removal waiting once the keys are gone.
    HANDLE held = CreateFileA(SetupFolder(guid).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    REQUIRE(held != INVALID_HANDLE_VALUE);
    {
        OpenDialog d;
        AnswerMessageBox(d.PressRemove().hwnd, IDYES);
        WaitUntil([&] { return !FileExists(SetupFolder(guid) + "\\setup.ini"); }, 10000);
        HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, d.app.Pid());
        TerminateProcess(process, 1);
        CloseHandle(process);
        CHECK(d.app.WaitExit(5000));
    }
    CloseHandle(held);
    // Gone from the list, its setup folder left: nothing a run could reach.
    CHECK_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, UninstallKey(guid)));
    CHECK(FolderExists(SetupFolder(guid)));

    const std::vector<std::string> files = RestoreFiles(AppFolder());
    REQUIRE(files.size() == 1);
    REQUIRE(ImportRegFile(files[0]));
    CHECK(RegSnapshot(HKEY_LOCAL_MACHINE, UninstallKey(guid)) == planted);
    OpenDialog d;
    CHECK(d.Texts() == std::vector<std::string>{ kDisplayNames[kProductViewer] });
    const MessageBoxView done = d.Confirm();
    CHECK(done.text == "Successfully removed.");
    d.Dismiss(done);
    CHECK(!ProductLeftovers(kProductViewer));
}

TEST_CASE("from a read-only medium the removal is asked about first: No keeps everything, Yes goes on")
{
    CleanMachine machine;
    machine.Plant(kProductViewer);
    UnixTempDir dir;
    const std::string exe = dir / "Pelo7Clean.exe";
    REQUIRE(CopyFileA(AppExePath().c_str(), exe.c_str(), FALSE));
    ReadOnlyFolder readOnly(dir.Path());
    REQUIRE(readOnly.Done());
    OpenDialog d(exe);

    for (const int answer : {IDNO, IDYES}) {
        CAPTURE(answer);
        const MessageBoxView ask = d.Confirm();
        // Wine presents Windows 7, where the box drops the line feed; a blank stays.
        CHECK(ask.text == "No restore file could be saved, so this removal cannot be undone. "
                          "Do you want to remove the installation information anyway?");
        CHECK(ask.yes);
        CHECK(ask.no);
        CHECK(ask.defaultId == IDNO);
        CHECK(ask.owner == d.dialog);
        if (answer == IDNO)
            SaveScreenshot("en-no-restore-file");
        d.Dismiss(ask, answer);
        if (answer == IDNO) {
            Sleep(500);   // time enough for a box that No must not bring
            CHECK(d.app.FindMessageBox() == NULL);
            CHECK(ProductLeftovers(kProductViewer));
            CHECK(d.Texts() == std::vector<std::string>{ kDisplayNames[kProductViewer] });
            CHECK(d.Selection() == 0);
            CHECK(d.Enabled() == "list remove finish");
        } else {
            const MessageBoxView done = d.WaitBox(20000);
            CHECK(done.text == "Successfully removed.");
            d.Dismiss(done);
            CHECK_FALSE(ProductLeftovers(kProductViewer));
        }
    }
    d.Finish();
    CHECK(RestoreFiles(dir.Path()).empty());
}

TEST_CASE("while cleaning, the controls are disabled and keys typed are dropped; afterwards enabled again")
{
    CleanMachine machine;
    machine.Plant(kProductViewer);
    machine.Plant(kProductLinkage);
    OpenDialog d;
    d.Select(0);
    RECT rect;
    GetWindowRect(d.dialog, &rect);
    REQUIRE(XInput("mousemove " + std::to_string((rect.left + rect.right) / 2) + " "
                   + std::to_string((rect.top + rect.bottom) / 2)));
    const MessageBoxView ask = d.PressRemove();
    AnswerMessageBox(ask.hwnd, IDYES);
    // The cleaning and its two-second pause block the dialog: catch it inside.
    // The three controls are disabled one after another, so wait for all of them.
    WaitUntil([&] { return d.Enabled().empty(); }, 3000, 10);
    CHECK(d.Enabled() == "");
    // Enter and Escape from the keyboard while the window is locked must not
    // answer the result box, nor close the dialog.
    REQUIRE(XInput("key Return Escape"));
    REQUIRE(d.Enabled() == "");   // typed in time
    HWND result = d.WaitBox(20000).hwnd;
    CHECK(d.Enabled() == "list remove finish");
    // Space held down pushes the box's button once the keys before it are handled;
    // by then a replayed Enter would have closed the box.
    REQUIRE(XInput("keydown space"));
    HWND ok = GetDlgItem(result, IDOK);
    WaitUntil([&] { return !IsWindow(result) || (SendMessageA(ok, BM_GETSTATE, 0, 0) & BST_PUSHED); }, 10000, 10);
    CHECK(IsWindow(result));
    REQUIRE(XInput("keyup space"));
    WaitUntil([&] { return !IsWindow(result); }, 5000, 10);
    CHECK(!IsWindow(result));
    CHECK(!d.app.WaitExit(0));
}

TEST_CASE("a failed cleaning reports its code")
{
    CleanMachine machine;
    machine.Plant(kProductViewer);
    SUBCASE("registry deletion refused: the English message has no code") {
        OpenDialog d(FaultExePath(), { "PELO7CLEAN_FAULT=deny-delete" });
        const MessageBoxView box = d.Confirm();
        CHECK(box.text == "Failed to delete the registry.");
        CHECK(box.ok);
        d.Dismiss(box);
        CHECK(ProductLeftovers(kProductViewer));
        CHECK(d.Texts().size() == 1);
        const std::string log = ReadFileBytes(AppLogPath());
        CHECK(log.find("  Pelo7CleanDlg.cpp(") != std::string::npos);
        CHECK(log.find(") : SHDeleteKey() Error! [OS] 12 [KeyName] " + UninstallKey(g_guidKeysViewer[0]) + " [ErrCode] 5\r\n")
              != std::string::npos);
    }
    SUBCASE("an exception inside the cleaning: code -9, and the log keeps the error code") {
        OpenDialog d(FaultExePath(), { "PELO7CLEAN_FAULT=throw-in-delete" });
        const MessageBoxView box = d.Confirm();
        CHECK(box.text == "Removal failed. (CODE=-9)\r* For details of the error, refer to the log file (Pelo7Clean.log).");
        d.Dismiss(box);
        CHECK(ReadFileBytes(AppLogPath()).find(") : DelPelo7RegKey() Error! [ErrCode] 5\r\n") != std::string::npos);
    }
    SUBCASE("Program Files cannot be read: code -3 in the general message") {
        const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
        const std::string saved = ProgramFilesDir();
        RegSetString(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir", "C:\\No Such Program Files");
        if (ProgramFilesDir() == saved) {
            RegSetString(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir", saved);
            MESSAGE("the shell does not take Program Files from the registry here; case skipped");
            return;
        }
        OpenDialog d;
        const MessageBoxView box = d.Confirm();
        RegSetString(HKEY_LOCAL_MACHINE, key, "ProgramFilesDir", saved);
        // Wine presents Windows 7 here, where line feeds are dropped and carriage returns stay.
        CHECK(box.text == "Removal failed. (CODE=-3)\r* For details of the error, refer to the log file (Pelo7Clean.log).");
        d.Dismiss(box);
        CHECK(ReadFileBytes(AppLogPath()).find(") : GetFileAttributes() Error! [FilePath] C:\\No Such Program Files [ErrCode] ")
              != std::string::npos);
    }
}

TEST_CASE("keys: Enter starts the removal flow, Escape closes the dialog")
{
    CleanMachine machine;
    machine.Plant(kProductViewer);
    OpenDialog d;
    PostMessageA(d.list, WM_KEYDOWN, VK_RETURN, 0);
    const MessageBoxView ask = d.WaitBox();
    CHECK(ask.text == AppString(IDS_CONFIRM_REMOVE));
    AnswerMessageBox(ask.hwnd, IDNO);
    Sleep(300);   // time enough for a removal that No must not start
    CHECK(ProductLeftovers(kProductViewer));
    PostMessageA(d.list, WM_KEYDOWN, VK_ESCAPE, 0);
    CHECK(d.app.WaitExit(10000));
}

TEST_CASE("an exception out of a handler leaves the dialog running and usable")
{
    CleanMachine machine;
    machine.Plant(kProductViewer);
    SUBCASE("out of the first message box: the confirmation") {
        OpenDialog d(FaultExePath(), { "PELO7CLEAN_FAULT=throw-in-box" });
        // Sent, not posted: it returns once the handler has ended, and fails if the process died.
        DWORD_PTR answer = 0;
        CHECK(SendMessageTimeoutA(d.dialog, WM_COMMAND, MAKEWPARAM(IDC_BTN_REMOVE, BN_CLICKED), (LPARAM)d.remove,
                                  SMTO_NORMAL, 10000, &answer) != 0);
        CHECK(d.app.FindMessageBox() == NULL);
        // Remove asks again, and Finish ends the program.
        const MessageBoxView ask = d.PressRemove();
        CHECK(ask.text == AppString(IDS_CONFIRM_REMOVE));
        AnswerMessageBox(ask.hwnd, IDNO);
        d.Finish();
    }
    SUBCASE("out of a guard's own log line, while the window is locked for the removal") {
        OpenDialog d(FaultExePath(), { "PELO7CLEAN_FAULT=throw-in-guard-log" });
        const MessageBoxView ask = d.PressRemove();
        AnswerMessageBox(ask.hwnd, IDYES);
        d.app.WaitGone(ask.hwnd);
        // Answered once the handler has ended: the removal pumps no messages.
        DWORD_PTR answer = 0;
        CHECK(SendMessageTimeoutA(d.dialog, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer) != 0);
        CHECK(d.Enabled() == "list remove finish");
        CHECK(d.app.FindMessageBox() == NULL);   // the exception left the handler before any report
        d.Finish();
    }
}

TEST_CASE("Remove with nothing selected only logs, naming the dialog's source file")
{
    CleanMachine machine;
    machine.Plant(kProductViewer);
    OpenDialog d;
    d.RemoveUnselected();
    const std::string log = ReadFileBytes(AppLogPath());
    REQUIRE(log.size() > 21);
    CHECK(log.substr(19, 20) == "  Pelo7CleanDlg.cpp(");
    CHECK(log.find(") : CListBox::GetCurSel() Error! [Return] -1\r\n") != std::string::npos);
}

namespace {
BOOL CALLBACK CountVisible(HWND hwnd, LPARAM count)
{
    if (IsWindowVisible(hwnd))
        ++*(int*)count;
    return TRUE;
}

int VisibleTopLevelWindows()
{
    int count = 0;
    EnumWindows(CountVisible, (LPARAM)&count);
    return count;
}
}

TEST_CASE("a help request opens nothing")
{
    OpenDialog d;
    const int before = VisibleTopLevelWindows();
    HELPINFO info = {};
    info.cbSize = sizeof info;
    DWORD_PTR answer = 0;
    // A help viewer started from the handler would keep it from answering.
    CHECK(SendMessageTimeoutA(d.dialog, WM_HELP, 0, (LPARAM)&info, SMTO_NORMAL, 5000, &answer) != 0);
    Sleep(1000);   // time enough for a help window to show up
    CHECK(VisibleTopLevelWindows() == before);
    CHECK(IsWindowEnabled(d.dialog));
}
