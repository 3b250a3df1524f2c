#include "AppDriver.h"
#include <stdexcept>
#include "EngineSupport.h"
#include "TestSupport.h"
#include "WaitUntil.h"
#include "resource.h"

namespace {
struct FindArgs {
    DWORD pid;
    std::string caption;
    bool wantDialog;
    HWND found;
};

BOOL CALLBACK FindTopLevelProc(HWND hwnd, LPARAM lParam)
{
    FindArgs* a = (FindArgs*)lParam;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != a->pid || !IsWindowVisible(hwnd))
        return TRUE;
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") != 0)
        return TRUE;
    const bool isDialog = WindowText(hwnd) == a->caption;
    if (isDialog == a->wantDialog) {
        a->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The process's visible cleaner dialog (by caption), or else a box of it; NULL when none.
HWND FindTopLevel(DWORD pid, bool wantDialog)
{
    FindArgs a = { pid, DialogCaption(), wantDialog, NULL };
    EnumWindows(FindTopLevelProc, (LPARAM)&a);
    return a.found;
}

HMODULE AppModule()
{
    static HMODULE h = LoadLibraryExA(AppExePath().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    return h;
}
}

std::string AppExePath()
{
    // The release tests point this at the released executable.
    char path[MAX_PATH] = "";
    DWORD n = GetEnvironmentVariableA("PELO7CLEAN_TEST_EXE", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return ExeFolder() + "\\" PELO7CLEAN_EXE;
    std::string exe = path;
    for (char& c : exe)
        if (c == '/')
            c = '\\';
    return exe;
}

std::string AppString(UINT id)
{
    char buf[1024] = "";
    LoadStringA(AppModule(), id, buf, sizeof buf);
    return buf;
}

std::string DialogCaption() { return AppString(IDS_DIALOG_TITLE); }
std::string BoxCaption() { return AppString(IDS_APP_TITLE); }

ScopedUserValue::ScopedUserValue(const char* key, const char* name, DWORD type, const void* data, DWORD size)
    : m_key(key), m_name(name), m_savedType(REG_NONE), m_had(false)
{
    HKEY h = NULL;
    RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &h, NULL);
    char buf[256];
    DWORD bytes = sizeof buf;
    if (RegQueryValueExA(h, name, NULL, &m_savedType, (BYTE*)buf, &bytes) == ERROR_SUCCESS) {
        m_had = true;
        m_saved.assign(buf, bytes);
    }
    if (data != NULL)
        RegSetValueExA(h, name, 0, type, (const BYTE*)data, size);
    else
        RegDeleteValueA(h, name);
    RegCloseKey(h);
}

ScopedUserValue::~ScopedUserValue()
{
    HKEY h = NULL;
    RegCreateKeyExA(HKEY_CURRENT_USER, m_key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &h, NULL);
    if (m_had)
        RegSetValueExA(h, m_name.c_str(), 0, m_savedType, (const BYTE*)m_saved.data(), (DWORD)m_saved.size());
    else
        RegDeleteValueA(h, m_name.c_str());
    RegCloseKey(h);
}

AppRun::AppRun(const std::string& exe, const std::vector<std::string>& env) : m_process("\"" + exe + "\"", exe, env)
{
    if (!m_process.Started())
        throw std::runtime_error("cannot start " + exe);
}

AppRun::~AppRun()
{
    m_process.End();
}

HWND AppRun::WaitWindow(bool dialog, DWORD ms)
{
    HWND found = NULL;
    WaitUntil([&] { return (found = FindTopLevel(Pid(), dialog)) != NULL || WaitExit(0); }, ms);
    if (found != NULL)
        WaitIdle(ms);
    return found;
}

HWND AppRun::FindMessageBox() const
{
    return FindTopLevel(Pid(), false);
}

bool AppRun::WaitGone(HWND box, DWORD ms) const
{
    return WaitUntil([&] { return FindMessageBox() != box; }, ms);
}

bool AppRun::WaitIdle(DWORD ms)
{
    return WaitForInputIdle(m_process.Handle(), ms) == 0;
}

std::string ToCodePage(const std::wstring& text, UINT codePage)
{
    const int size = WideCharToMultiByte(codePage, 0, text.data(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string converted(size, '\0');
    WideCharToMultiByte(codePage, 0, text.data(), (int)text.size(), &converted[0], size, NULL, NULL);
    return converted;
}

std::string WindowText(HWND hwnd)
{
    wchar_t buf[2048] = L"";
    GetWindowTextW(hwnd, buf, 2048);
    return ToCodePage(buf);
}

MessageBoxView ReadMessageBox(HWND box)
{
    MessageBoxView v;
    v.hwnd = box;
    v.owner = GetWindow(box, GW_OWNER);
    v.caption = WindowText(box);
    v.text = WindowText(GetDlgItem(box, 0xFFFF));
    auto visible = [box](int id) { HWND b = GetDlgItem(box, id); return b != NULL && IsWindowVisible(b); };
    v.ok = visible(IDOK);
    v.yes = visible(IDYES);
    v.no = visible(IDNO);
    for (int id : { IDOK, IDYES, IDNO })
        if (visible(id) && (GetWindowLongA(GetDlgItem(box, id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
            v.defaultId = id;
    return v;
}

std::vector<ListItemView> ReadList(HWND list)
{
    std::vector<ListItemView> items;
    const int n = (int)SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        // Only the wide form carries text across processes.
        wchar_t buf[1024] = L"";
        SendMessageW(list, LB_GETTEXT, i, (LPARAM)buf);
        items.push_back({ ToCodePage(buf), SendMessageW(list, LB_GETITEMDATA, i, 0) });
    }
    return items;
}

void ClickButton(HWND window, int id)
{
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(window, id));
}

void SaveScreenshot(const std::string& name)
{
    // The tests run in build/bin; pictures go to build/screenshots.
    const std::string dir = ExeFolder() + "\\..\\screenshots";
    CreateDirectoryA(dir.c_str(), NULL);
    HDC screen = GetDC(NULL);
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = NULL;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    const DWORD stride = ((DWORD)w * 3 + 3) & ~3u;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + stride * h;
    std::string bytes((const char*)&fh, sizeof fh);
    bytes.append((const char*)&bi.bmiHeader, sizeof bi.bmiHeader);
    bytes.append((const char*)bits, stride * h);
    WriteFileBytes(dir + "\\" + name + ".bmp", bytes);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(NULL, screen);
}

bool XInput(const std::string& args)
{
    // The shell leaves xdotool's exit status in a file, renamed into place once written.
    static int s_runs = 0;
    const std::string donePath = "Z:\\tmp\\pelo7clean-xinput-" + std::to_string(GetCurrentProcessId()) + "-"
                               + std::to_string(GetTickCount()) + "-" + std::to_string(++s_runs);
    const std::string done = UnixPath(donePath);
    RunUnix("/bin/sh -c \"xdotool " + args + "; echo $? >" + done + ".part; mv " + done + ".part " + done + "\"",
            [](const std::string& path) { return FileExists(path); }, donePath);
    const std::string status = ReadFileBytes(donePath);
    DeleteFileA(donePath.c_str());
    return status == "0\n";
}

std::string OffCentre(HWND window)
{
    RECT area, rect;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    GetWindowRect(window, &rect);
    // Twice the distance between the centres, so that half pixels stay whole.
    const long dx = (rect.left + rect.right) - (area.left + area.right);
    const long dy = (rect.top + rect.bottom) - (area.top + area.bottom);
    if (dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1)
        return "";
    char text[128];
    wsprintfA(text, "window %ld,%ld-%ld,%ld in work area %ld,%ld-%ld,%ld", rect.left, rect.top, rect.right,
              rect.bottom, area.left, area.top, area.right, area.bottom);
    return text;
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info);
    return info.hwndFocus;
}

HWND WaitFocus(HWND window, HWND expected, DWORD ms)
{
    // A dialog gets its focus back only some time after a box over it has gone.
    WaitUntil([&] { return FocusOf(window) == expected; }, ms);
    return FocusOf(window);
}

std::string AppFolder()
{
    const std::string exe = AppExePath();
    return exe.substr(0, exe.rfind('\\'));
}

std::string AppLogPath()
{
    return AppFolder() + "\\Pelo7Clean.log";
}

std::string FaultExePath()
{
    return ExeFolder() + "\\Pelo7Clean_faults.exe";
}
