// Drives the built executable from another process: starts it, finds its
// windows, reads and answers its message boxes, reads its list.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

std::string AppExePath();   // the built Pelo7Clean.exe beside the test program, or PELO7CLEAN_TEST_EXE

// Sets HKCU\Software\Wine "Version" (which system Wine reports to programs
// started afterwards) for the scope; NULL removes the value.
class ScopedWineVersion {
public:
    explicit ScopedWineVersion(const char* version);
    ~ScopedWineVersion();
private:
    std::string m_saved;
    bool m_had;
};

struct MessageBoxView {
    HWND hwnd = NULL;
    HWND owner = NULL;
    std::string caption, text;           // in the ANSI code page
    bool ok = false, yes = false, no = false;   // visible buttons
    int defaultId = 0;
};

struct ListItemView {
    std::string text;                    // in the ANSI code page
    LRESULT data;
};

// One started copy of the program; ended at the end of the scope if still running.
class AppRun {
public:
    explicit AppRun(const std::string& exe = AppExePath(), const std::vector<std::string>& env = {});
    ~AppRun();
    DWORD Pid() const { return m_pi.dwProcessId; }
    bool WaitExit(DWORD ms, DWORD* exitCode = NULL);
    HWND WaitDialog(DWORD ms = 15000);          // its cleaner dialog, by caption
    HWND WaitMessageBox(DWORD ms = 15000);      // a box other than the dialog
    HWND FindMessageBox() const;                // NULL when none is shown
    bool WaitIdle(DWORD ms = 15000);            // waiting for input again
private:
    PROCESS_INFORMATION m_pi;
    AppRun(const AppRun&) = delete;
    AppRun& operator=(const AppRun&) = delete;
};

MessageBoxView ReadMessageBox(HWND box);
void AnswerMessageBox(HWND box, int id);        // IDOK, IDYES or IDNO
std::vector<ListItemView> ReadList(HWND list);
std::string WindowText(HWND hwnd);              // in the ANSI code page
void ClickButton(HWND dialog, int id);          // posted: the click may run long
std::string DialogCaption();                    // string 1 of the built executable
std::string BoxCaption();                       // string 2
std::string AppString(UINT id);                 // a string of the built executable
void SaveScreenshot(const std::string& name);   // build/screenshots/<name>.bmp

HWND FocusOf(HWND window);                      // the keyboard focus in that window's thread
// The focus in that window's thread once it is on expected, or where it is after ms.
HWND WaitFocus(HWND window, HWND expected, DWORD ms = 5000);
std::string AppFolder();                        // the folder of AppExePath()
std::string AppLogPath();                       // Pelo7Clean.log beside the built executable
std::string FaultExePath();                     // the test build with the fault switch
