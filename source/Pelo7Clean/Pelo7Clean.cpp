#include "Pelo7Clean.h"
#include <string.h>
#include "resource.h"
#include "DllSearch.h"
#include "Globals.h"
#include "OsKind.h"
#include "PathCut.h"
#include "ShowMessage.h"
#include "WideCalls.h"
#include "Pelo7CleanDlg.h"

static const char kMutexName[] = "PELO7CLEAN_EXEC";
static const char kLogFileName[] = "Pelo7Clean.log";

CPelo7CleanApp theApp;

CPelo7CleanApp::CPelo7CleanApp() : CWinApp(NULL) {}

BEGIN_MESSAGE_MAP(CPelo7CleanApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

static void CloseMutex()
{
    if (g_hMutex != NULL) {
        ReleaseMutex(g_hMutex);
        CloseHandle(g_hMutex);
        g_hMutex = NULL;
    }
}

// Another copy runs: bring its dialog forward and leave quietly.
static void HandOverToRunningCopy()
{
    char caption[MAX_PATH];
    memset(caption, 0, sizeof caption);
    LoadStringA(g_hResInstance, IDS_DIALOG_TITLE, caption, 64);
    HWND hWnd = FindWindowA(NULL, caption);
    if (hWnd != NULL) {
        SetFocus(hWnd);
        SetForegroundWindow(hWnd);
    }
    CloseMutex();
}

// The log goes beside the executable, whatever the executable is called. A path
// that would not fit leaves g_logPath empty, which turns logging off.
static void BuildLogPath()
{
    char path[MAX_PATH];
    memset(path, 0, sizeof path);
    const DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    g_logPath[0] = '\0';
    if (n == 0 || n >= sizeof path)
        return;
    CutFileName(path);
    CString logPath(path);
    AppendPathPart(logPath, kLogFileName);
    if (logPath.GetLength() < (int)sizeof g_logPath)
        lstrcpyA(g_logPath, logPath);
}

// The restore files go beside the executable however long its folder's path is; on the
// NT family the wide-character call tells it whole.
static void FindExeFolder()
{
    g_exeFolderW[0] = 0;
    if (IsWin98Family(g_osKind) || !wide::Load())
        return;
    const DWORD cch = sizeof g_exeFolderW / sizeof g_exeFolderW[0];
    const DWORD n = wide::pGetModuleFileNameW(NULL, g_exeFolderW, cch);
    DWORD cut = 0;
    for (DWORD i = 0; i < n && n < cch; ++i)
        if (g_exeFolderW[i] == '\\')
            cut = i;
    g_exeFolderW[cut] = 0;
}

BOOL CPelo7CleanApp::InitInstance()
{
    // Before anything can load a DLL by name. Nothing earlier does: the static
    // constructors and the entry point's set-up call no system DLL that loads one.
    RestrictDllSearch();
    AfxEnableControlContainer();
    Enable3dControls();
    g_hResInstance = AfxGetModuleState()->m_hCurrentResourceHandle;
    LoadStringA(g_hResInstance, IDS_APP_TITLE, g_appTitle, sizeof g_appTitle);

    g_hMutex = CreateMutexA(NULL, FALSE, kMutexName);
    if (g_hMutex == NULL || GetLastError() == ERROR_ALREADY_EXISTS) {
        HandOverToRunningCopy();
        return FALSE;
    }

    g_osKind = GetOsKind();
    if (!IsSupportedOs(g_osKind)) {
        ShowString(NULL, IDS_OS_NOT_SUPPORTED, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    // The 98 family has no accounts to be refused for.
    if (IsNt2000OrLater(g_osKind) && IsAdministrator() != 1) {
        ShowString(NULL, IDS_NEED_ADMIN, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }

    BuildLogPath();
    FindExeFolder();

    CPelo7CleanDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = NULL;
    return FALSE;
}

int CPelo7CleanApp::ExitInstance()
{
    CloseMutex();
    return CWinApp::ExitInstance();
}
