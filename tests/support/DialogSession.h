// The program started and its dialog found, with the steps of a removal as the
// user takes them. Checks what every confirmation must look like.
#pragma once
#include "AppDriver.h"
#include "TestSupport.h"

class OpenDialog {
public:
    explicit OpenDialog(const std::string& exe = AppExePath(), const std::vector<std::string>& env = {});
    ~OpenDialog();                           // closes it with Finish if still open

    int Selection() const;
    void Select(int index);
    std::vector<std::string> Texts() const;  // the list's texts
    std::string Enabled() const;             // the enabled controls: "list remove finish" or fewer
    MessageBoxView WaitBox(DWORD ms = 15000);   // the next message box, required
    MessageBoxView PressRemove();            // the first box that follows
    MessageBoxView Confirm();                // Remove, Yes, and the result box
    void RemoveUnselected();                 // Remove with nothing selected: a log line, no box
    // OK (or the answer given), and wait for the box to go.
    void Dismiss(const MessageBoxView& box, int id = IDOK);
    void Finish();                           // Finish, and wait for the exit

    AppRun app;
    HWND dialog, list, remove, finish;

private:
    OpenDialog(const OpenDialog&) = delete;
    OpenDialog& operator=(const OpenDialog&) = delete;
};

// A machine with none of the products, no log and no restore files, before and after
// the scope; Plant() installs one with its display name in the session's language.
class CleanMachine {
public:
    CleanMachine();
    ~CleanMachine();
    void Plant(int index);
private:
    TempDir m_programs;
};
