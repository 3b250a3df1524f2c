// Drives the built executable from another process: starts it, finds its
// windows, reads and answers its message boxes, reads its list.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "ChildProcess.h"

std::string AppExePath();   // the built Pelo7Clean.exe beside the test program, or PELO7CLEAN_TEST_EXE

// Sets a value under HKEY_CURRENT_USER for the scope, for programs started
// afterwards to read; NULL data removes it. The old value comes back at the end.
class ScopedUserValue {
public:
    ScopedUserValue(const char* key, const char* name, DWORD type, const void* data, DWORD size);
    ~ScopedUserValue();
private:
    std::string m_key, m_name, m_saved;
    DWORD m_savedType;
    bool m_had;
    ScopedUserValue(const ScopedUserValue&) = delete;
    ScopedUserValue& operator=(const ScopedUserValue&) = delete;
};

// Which system Wine reports (HKCU\Software\Wine "Version"); NULL for its default.
class ScopedWineVersion : ScopedUserValue {
public:
    explicit ScopedWineVersion(const char* version)
        : ScopedUserValue("Software\\Wine", "Version", REG_SZ, version, version ? lstrlenA(version) + 1 : 0) {}
};

// The screen's DPI (Wine's LogPixels).
class ScopedDpi : ScopedUserValue {
public:
    explicit ScopedDpi(DWORD dpi) : ScopedUserValue("Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi) {}
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
    DWORD Pid() const { return m_process.Pid(); }
    bool WaitExit(DWORD ms, DWORD* exitCode = NULL) { return m_process.WaitExit(ms, exitCode); }
    HWND WaitDialog(DWORD ms = 15000) { return WaitWindow(true, ms); }        // its cleaner dialog, by caption
    HWND WaitMessageBox(DWORD ms = 15000) { return WaitWindow(false, ms); }   // a box other than the dialog
    HWND FindMessageBox() const;                // NULL when none is shown
    bool WaitGone(HWND box, DWORD ms = 5000) const;   // until that box is no longer shown
    bool WaitIdle(DWORD ms = 15000);            // waiting for input again
private:
    HWND WaitWindow(bool dialog, DWORD ms);
    ChildProcess m_process;
    AppRun(const AppRun&) = delete;
    AppRun& operator=(const AppRun&) = delete;
};

MessageBoxView ReadMessageBox(HWND box);
std::vector<ListItemView> ReadList(HWND list);
std::string WindowText(HWND hwnd);              // in the ANSI code page
std::string ToCodePage(const std::wstring& text, UINT codePage = CP_ACP);
void ClickButton(HWND window, int id);          // posted: the click may run long
inline void AnswerMessageBox(HWND box, int id) { ClickButton(box, id); }   // IDOK, IDYES or IDNO
std::string DialogCaption();                    // string 1 of the built executable
std::string BoxCaption();                       // string 2
std::string AppString(UINT id);                 // a string of the built executable
void SaveScreenshot(const std::string& name);   // build/screenshots/<name>.bmp

// Real keyboard and mouse input through the X server, as xdotool arguments
// ("key Return", "mousemove 10 20"); true once xdotool has sent it all. With no
// window manager, keys go to the window under the pointer.
bool XInput(const std::string& args);
// "" when the window lies in the middle of the work area (to the half pixel that
// an odd difference in size leaves), else both rectangles.
std::string OffCentre(HWND window);

HWND FocusOf(HWND window);                      // the keyboard focus in that window's thread
// The focus in that window's thread once it is on expected, or where it is after ms.
HWND WaitFocus(HWND window, HWND expected, DWORD ms = 5000);
std::string AppFolder();                        // the folder of AppExePath()
std::string AppLogPath();                       // Pelo7Clean.log beside the built executable
std::string FaultExePath();                     // the test build with the fault switch
