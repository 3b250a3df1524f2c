#include "Pelo7CleanDlg.h"
#include <shlwapi.h>
#include <string.h>
#include "resource.h"
#include "Globals.h"
#include "ErrorLog.h"
#include "ShowMessage.h"
#include "DeleteTheFolder.h"
#include "OsKind.h"
#include "RestoreFile.h"
#include "RegistryLinks.h"
#include "TestSeams.h"

// ---- the dialog -----------------------------------------------------------

namespace {
// Loads a string of the table into g_msgText and shows it over the dialog.
int ShowString(HWND hOwner, UINT nId, UINT nStyle)
{
    LoadStringA(g_hResInstance, nId, g_msgText, sizeof g_msgText);
    return ShowMessage(hOwner, g_msgText, g_appTitle, nStyle);
}

// Loads a string with one %d and shows it with the code filled in.
void ShowCode(HWND hOwner, UINT nId, int nCode)
{
    // Room for the longest template and the longest number.
    char text[522];
    memset(text, 0, sizeof text);
    LoadStringA(g_hResInstance, nId, g_msgText, sizeof g_msgText);
    wsprintfA(text, g_msgText, nCode);
    ShowMessage(hOwner, text, g_appTitle, MB_ICONHAND);
}

// Drops the keys and clicks that are waiting in the queue. Typed while the window
// was locked, they were meant for controls that ignored them; left there, an Enter
// or Escape would answer the result box the moment it appears. Peeking also makes
// the system take in input that it has received but not yet queued.
void DiscardQueuedInput()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {}
    while (PeekMessageA(&msg, NULL, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {}
    while (PeekMessageA(&msg, NULL, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE)) {}
}

// Locks the window while a removal runs: the Close command grayed, the three controls
// disabled. Whatever way the removal is left, an exception included, the window is
// usable again afterwards.
class CRemovalLock {
public:
    explicit CRemovalLock(CPelo7CleanDlg& dlg) : m_dlg(dlg), m_pSysMenu(dlg.GetSystemMenu(FALSE))
    {
        if (m_pSysMenu != NULL)
            m_pSysMenu->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
        m_dlg.m_btnRemove.EnableWindow(FALSE);
        m_dlg.m_btnFinish.EnableWindow(FALSE);
        m_dlg.m_listProduct.EnableWindow(FALSE);
    }
    ~CRemovalLock()
    {
        if (m_pSysMenu != NULL)
            m_pSysMenu->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
        m_dlg.m_btnRemove.EnableWindow(TRUE);
        m_dlg.m_btnFinish.EnableWindow(TRUE);
        m_dlg.m_listProduct.EnableWindow(TRUE);
    }
private:
    CPelo7CleanDlg& m_dlg;
    CMenu* m_pSysMenu;
    CRemovalLock(const CRemovalLock&);
    CRemovalLock& operator=(const CRemovalLock&);
};
}

CPelo7CleanDlg::CPelo7CleanDlg(CWnd* pParent)
    : CDialog(IDD_PELO7CLEAN_DIALOG, pParent)
{
    m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

void CPelo7CleanDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDCANCEL, m_btnFinish);
    DDX_Control(pDX, IDC_BTN_REMOVE, m_btnRemove);
    DDX_Control(pDX, IDC_LIST_PRODUCT, m_listProduct);
}

BEGIN_MESSAGE_MAP(CPelo7CleanDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_BTN_REMOVE, CPelo7CleanDlg::OnRemove)
END_MESSAGE_MAP()

void CPelo7CleanDlg::WinHelp(DWORD, UINT)
{
    // There is no help file.
}

BOOL CPelo7CleanDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    AddListPelo7RegKey(FALSE);
    return TRUE;
}

void CPelo7CleanDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, (WPARAM)dc.GetSafeHdc(), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CPelo7CleanDlg::OnQueryDragIcon()
{
    return (HCURSOR)m_hIcon;
}

void CPelo7CleanDlg::OnRemove()
{
    if (!CheckUninstall())
        return;
    if (ShowString(m_hWnd, IDS_CONFIRM_REMOVE, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;

    const int result = UninstallSelected();
    if (result == kRemovalDeclined)
        return;   // the user kept everything: there is nothing to report
    if (result == 0 || result == 1)
        ShowString(m_hWnd, IDS_REMOVE_SUCCEEDED, MB_ICONINFORMATION);
    else if (result == -13)
        ShowCode(m_hWnd, IDS_OS_NOT_SUPPORTED_RC, result);
    else if (result == -12)
        ShowCode(m_hWnd, IDS_REGISTRY_FAILED, result);
    else
        ShowCode(m_hWnd, IDS_REMOVE_FAILED, result);
}

int CPelo7CleanDlg::UninstallSelected()
{
    int result;
    {
        CRemovalLock lock(*this);

        // An index outside the catalog is refused as a missing entry, never used.
        const int nSel = m_listProduct.GetCurSel();
        const DWORD_PTR nIndex = nSel != LB_ERR ? m_listProduct.GetItemData(nSel) : (DWORD_PTR)-1;
        const DelKeyEntry* pEntry = nIndex < (DWORD_PTR)kProductCount ? &g_delKeyTable[nIndex] : NULL;
        result = DelPelo7RegKey(pEntry);
        // Nothing happened: the list stays as it is, selection included.
        if (result == kRemovalDeclined)
            return result;

        // Leaves the user a moment to see that something happened.
        Sleep(2000);
        DiscardQueuedInput();
    }
    AddListPelo7RegKey(TRUE);
    return result;
}

BOOL CPelo7CleanDlg::AddListPelo7RegKey(BOOL keepSelection)
{
    try {
        const int nOldSel = m_listProduct.GetCurSel();
        const int nOldCount = m_listProduct.GetCount();
        m_listProduct.ResetContent();

        for (int i = 0; g_delKeyTable[i].pGuidKeys != NULL; ++i) {
            char name[MAX_PATH];
            memset(name, 0, sizeof name);
            // The first key with a readable display name names the product.
            for (const DelKeyName* pKey = g_delKeyTable[i].pGuidKeys; (*pKey)[0] != '\0'; ++pKey) {
                if (GetDisplayName(*pKey, name)) {
                    const int nItem = m_listProduct.AddString(name);
                    if (nItem >= 0)   // item -1 would set the data of every item
                        m_listProduct.SetItemData(nItem, (DWORD_PTR)i);
                    break;
                }
            }
        }

        SetHorizontalScrollBar();

        const int nCount = m_listProduct.GetCount();
        if (nCount == 0) {
            m_btnRemove.EnableWindow(FALSE);
            m_listProduct.EnableWindow(FALSE);
            m_btnFinish.SetFocus();
        } else if (keepSelection && nCount == nOldCount) {
            m_listProduct.SetCurSel(nOldSel);
        } else {
            m_listProduct.SetCurSel(0);
        }
        return TRUE;
    } catch (...) {
        LOG_GUARD_FAILURE("AddListPelo7RegKey() Error! [ErrCode] %d\n");
        return FALSE;
    }
}

void CPelo7CleanDlg::SetHorizontalScrollBar()
{
    CDC* pDC = NULL;
    HGDIOBJ hOldFont = NULL;
    try {
        pDC = m_listProduct.GetDC();
        if (pDC != NULL) {
            HFONT hFont = (HFONT)m_listProduct.SendMessage(WM_GETFONT);
            if (hFont != NULL)
                hOldFont = pDC->SelectObject(hFont);
        }
        int nMaxWidth = 0;
        for (int i = 0; i < m_listProduct.GetCount(); ++i) {
            CString text;
            m_listProduct.GetText(i, text);
            SIZE size = { 0, 0 };
            GetTextExtentPoint32A(pDC != NULL ? pDC->GetSafeHdc() : NULL, text, text.GetLength(), &size);
            if (size.cx > nMaxWidth)
                nMaxWidth = size.cx;
        }
        m_listProduct.SetHorizontalExtent(nMaxWidth + 5);
    } catch (...) {
        LOG_GUARD_FAILURE("SetHorizontalScrollBar() Error! [ErrCode] %d\n");
    }
    if (pDC != NULL) {
        if (hOldFont != NULL)
            pDC->SelectObject(hOldFont);
        m_listProduct.ReleaseDC(pDC);
    }
}

BOOL CPelo7CleanDlg::CheckUninstall()
{
    try {
        const int nSel = m_listProduct.GetCurSel();
        if (nSel == LB_ERR) {
            LOG_ERROR("CListBox::GetCurSel() Error! [Return] %d\n", nSel);
            return FALSE;
        }
        const DWORD_PTR nSelected = m_listProduct.GetItemData(nSel);
        if (nSelected == 0) {
            // The folder-monitor software must go before the main application.
            for (int i = 0; i < m_listProduct.GetCount(); ++i) {
                if (m_listProduct.GetItemData(i) == 2) {
                    ShowString(m_hWnd, IDS_MONITOR_INSTALLED, MB_ICONEXCLAMATION);
                    return FALSE;
                }
            }
        } else if (nSelected == 3) {
            // The main application and the viewer must go before the linkage option.
            for (int i = 0; i < m_listProduct.GetCount(); ++i) {
                const DWORD_PTR nData = m_listProduct.GetItemData(i);
                if (nData == 0 || nData == 1) {
                    ShowString(m_hWnd, nData == 0 ? IDS_MAIN_INSTALLED : IDS_VIEWER_INSTALLED, MB_ICONEXCLAMATION);
                    return FALSE;
                }
            }
        }
        return TRUE;
    } catch (...) {
        // The box shows the same code as the log line.
        const DWORD dwError = LOG_GUARD_FAILURE("CheckUninstall() Error! [ErrCode] %d\n");
        ShowCode(m_hWnd, IDS_REMOVE_FAILED, (int)dwError);
        return FALSE;
    }
}

// ---- the cleaning engine ----------------------------------------------------

namespace {

const char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kAppPathsRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kSetupFoldersName[] = "InstallShield Installation Information";

// "<root>\<name>" in a cleared MAX_PATH buffer. FALSE, with the buffer left empty,
// when it would not fit: a cut key path names another key.
BOOL BuildKeyPath(LPSTR lpKeyPath, LPCSTR lpRoot, LPCSTR lpName)
{
    ZeroMemory(lpKeyPath, MAX_PATH);
    if (lstrlenA(lpRoot) + 1 + lstrlenA(lpName) >= MAX_PATH)
        return FALSE;
    lstrcpyA(lpKeyPath, lpRoot);
    PathAddBackslashA(lpKeyPath);
    lstrcatA(lpKeyPath, lpName);
    return TRUE;
}

// Reads a value into a cleared MAX_PATH buffer. A value that fills the buffer with
// no terminating zero is too long, like a longer one: cut short, a path can name
// another, existing file.
LONG QueryValueText(HKEY hKey, LPCSTR lpValueName, char (&szValue)[MAX_PATH])
{
    ZeroMemory(szValue, sizeof szValue);
    DWORD cbData = sizeof szValue;
    LONG lResult = seam::pRegQueryValueExA(hKey, lpValueName, NULL, NULL, (LPBYTE)szValue, &cbData);
    if (lResult == ERROR_SUCCESS && memchr(szValue, '\0', sizeof szValue) == NULL)
        lResult = ERROR_MORE_DATA;
    return lResult;
}

// The lookups' bodies, outside their guards; hKey receives the key they open, which
// the guarded caller closes on every path.

int ReadDisplayName(LPCSTR psGuidKey, LPSTR lpDisplayName, HKEY& hKey)
{
    char szKeyName[MAX_PATH];
    if (psGuidKey == NULL || psGuidKey[0] == '\0' || !BuildKeyPath(szKeyName, kUninstallRoot, psGuidKey)) {
        LOG_ERROR("Parameter Error! [Detail] psGuidKey is Invalid.\n");
        return 0;
    }
    HKEY hOpened = NULL;
    LONG lResult = seam::pRegOpenKeyExA(HKEY_LOCAL_MACHINE, szKeyName, 0, KEY_READ | KEY_WRITE, &hOpened);
    if (lResult != ERROR_SUCCESS) {
        // A missing key is how a product that is not installed shows.
        if (lResult != ERROR_FILE_NOT_FOUND)
            LOG_ERROR("RegOpenKeyEx() Error! [szKeyName] %s [ErrCode] %d\n", szKeyName, (int)lResult);
        return 0;
    }
    hKey = hOpened;

    char szValue[MAX_PATH];
    lResult = QueryValueText(hKey, "DisplayName", szValue);
    if (lResult != ERROR_SUCCESS) {
        if (lResult != ERROR_FILE_NOT_FOUND)
            LOG_ERROR("RegQueryValueEx() Error! [ErrCode] %d\n", (int)lResult);
        return 0;
    }
    ZeroMemory(lpDisplayName, MAX_PATH);
    wsprintfA(lpDisplayName, "%s", szValue);
    return 1;
}

int ReadAppPathModule(LPCSTR lpAppPathKey, LPCSTR lpValueName, LPSTR lpModulePath, HKEY& hKey)
{
    if (lpAppPathKey == NULL || lpAppPathKey[0] == '\0')
        return 0;
    // A missing App Paths key is the ordinary case; no opening failure is logged.
    HKEY hOpened = NULL;
    if (seam::pRegOpenKeyExA(HKEY_LOCAL_MACHINE, lpAppPathKey, 0, KEY_READ, &hOpened) != ERROR_SUCCESS)
        return 0;
    hKey = hOpened;

    char szValue[MAX_PATH];
    const LONG lResult = QueryValueText(hKey, lpValueName, szValue);
    if (lResult != ERROR_SUCCESS) {
        LOG_ERROR("GetAppPathModule() : RegQueryValueEx Error! [ErrCode] %d\n", (int)lResult);
        return 0;
    }
    wsprintfA(lpModulePath, "%s", szValue);
    return 1;
}

int ReadProgramFilesDir(HWND hOwner, LPSTR lpProgramFilesDir, HKEY& hKey)
{
    ZeroMemory(lpProgramFilesDir, MAX_PATH);
    // The shell's failure is not logged: it only leads to the registry.
    if (seam::pSHGetSpecialFolderPathA(hOwner, lpProgramFilesDir, CSIDL_PROGRAM_FILES, FALSE)
        && lpProgramFilesDir[0] != '\0')
        return 1;

    HKEY hOpened = NULL;
    LONG lResult = seam::pRegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_READ, &hOpened);
    if (lResult != ERROR_SUCCESS) {
        LOG_ERROR("RegOpenKeyEx() Error! [szKeyName] %s [ErrCode] %d\n", kCurrentVersionKey, (int)lResult);
        return 0;
    }
    hKey = hOpened;

    char szValue[MAX_PATH];
    lResult = QueryValueText(hKey, "ProgramFilesDir", szValue);
    if (lResult != ERROR_SUCCESS) {
        LOG_ERROR("RegQueryValueEx() Error! [ErrCode] %d\n", (int)lResult);
        return 0;
    }
    ZeroMemory(lpProgramFilesDir, MAX_PATH);
    wsprintfA(lpProgramFilesDir, "%s", szValue);
    return 1;
}

// Saves every key that the removal of the entry is about to delete into a restore file,
// the way back for the user. TRUE when a complete file was written, or there was nothing
// to save; its failures are logged, once, where they happened.
BOOL SaveRestoreFile(const DelKeyEntry* pDelKey)
{
    try {
        // The whole text is made before the file is: running out of memory leaves no file.
        const BOOL bUnicode = !IsWin98Family(g_osKind);
        CRestoreScript script(bUnicode);
        char szKeyPath[MAX_PATH];
        for (const DelKeyName* pName = pDelKey->pGuidKeys; (*pName)[0] != '\0'; ++pName)
            if (BuildKeyPath(szKeyPath, kUninstallRoot, *pName))
                script.AddKey(szKeyPath);
        for (const DelKeyName* pName = pDelKey->pAppFiles; (*pName)[0] != '\0'; ++pName)
            if (BuildKeyPath(szKeyPath, kAppPathsRoot, *pName))
                script.AddKey(szKeyPath);
        if (script.IsEmpty())
            return script.IsComplete();
        const BOOL bWritten = WriteRestoreFile(script.FileBytes(), bUnicode, g_exeFolderW, g_logPath);
        return bWritten && script.IsComplete();
    } catch (...) {
        LOG_GUARD_FAILURE("SaveRestoreFile() Error! [ErrCode] %d\n");
    }
    return FALSE;
}

// A drive letter or a UNC name: a relative path would name a file in whatever folder
// happens to be current.
BOOL IsFullPath(LPCSTR lpPath)
{
    const char c = lpPath[0];
    const BOOL bDrive = ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && lpPath[1] == ':'
                        && (lpPath[2] == '\\' || lpPath[2] == '/');
    const BOOL bUnc = lpPath[0] == '\\' && lpPath[1] == '\\' && lpPath[2] != '\0';
    return bDrive || bUnc;
}

BOOL IsProductFileName(LPCSTR lpName, const DelKeyEntry* pDelKey)
{
    for (const DelKeyName* pName = pDelKey->pAppFiles; (*pName)[0] != '\0'; ++pName)
        if (lstrcmpiA(lpName, *pName) == 0)
            return TRUE;
    return FALSE;
}

// A full path with arguments after it ("C:\Tools\Tool.exe /s") names the file before a blank.
BOOL NamesFileBeforeArguments(LPCSTR lpPath)
{
    char szPath[MAX_PATH * 2];
    lstrcpynA(szPath, lpPath, sizeof szPath);
    for (int i = lstrlenA(szPath) - 1; i > 0; --i) {
        if (szPath[i] != ' ')
            continue;
        szPath[i] = '\0';
        const DWORD dwAttributes = GetFileAttributesA(szPath);
        if (dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return TRUE;
    }
    return FALSE;
}

// Deletes the program file that an App Paths value names, once its key is gone. This
// program runs elevated and the value can name any file, so only a full path to a file
// that carries one of the product's own program names is deleted, compared on its long
// name so that a short 8.3 path of the right file counts (a key may be an alias of
// another of the product's programs). A value is used as it stands, never interpreted.
// Whatever is named but kept gets one log line saying why; a full path to nothing is
// the ordinary missing file and stays silent.
void DeleteProgramFile(LPCSTR lpPath, const DelKeyEntry* pDelKey)
{
    LPCSTR lpWhyKept;
    if (lpPath[0] == '"') {
        lpWhyKept = "A quoted path; the file is kept.";
    } else if (strchr(lpPath, '%') != NULL) {
        lpWhyKept = "An environment reference; the file is kept.";
    } else if (!IsFullPath(lpPath)) {
        lpWhyKept = "Not a full path; the file is kept.";
    } else {
        // No file has a wildcard in its name; the search would find some other one.
        if (strpbrk(lpPath, "*?") != NULL)
            return;
        WIN32_FIND_DATAA fd;
        const HANDLE hFind = FindFirstFileA(lpPath, &fd);
        if (hFind == INVALID_HANDLE_VALUE) {
            if (!NamesFileBeforeArguments(lpPath))
                return;
            lpWhyKept = "Arguments after the path; the file is kept.";
        } else {
            FindClose(hFind);
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsProductFileName(fd.cFileName, pDelKey)) {
                if (!DeleteFileA(lpPath)) {
                    const DWORD dwError = GetLastError();
                    LOG_ERROR("DeleteFile() Error! [FilePath] %s [ErrCode] %d\n", lpPath, (int)dwError);
                }
                return;
            }
            lpWhyKept = "Not a program file of this product; the file is kept.";
        }
    }
    LOG_ERROR("DeleteFile() Error! [FilePath] %s [Detail] %s\n", lpPath, lpWhyKept);
}

enum DeleteMethod { kNotSupported, kRegDeleteKey, kSHDeleteKey };

// By platform code minus one. The 98 family's RegDeleteKeyA takes the subkeys with
// it; on the NT family only the shell's deletion does.
const DeleteMethod kDeleteMethods[13] = {
    kRegDeleteKey, kRegDeleteKey, kRegDeleteKey,   // 1-3: 98 SE, 98, Me
    kNotSupported,                                 // 4: unrecognised
    kSHDeleteKey, kSHDeleteKey, kSHDeleteKey,      // 5-7: Server 2003 and XP x64, XP, 2000
    kNotSupported, kNotSupported, kNotSupported,   // 8-10: NT 4 and earlier, 95 OSR2, 95
    kSHDeleteKey, kSHDeleteKey, kSHDeleteKey,      // 11-13: Vista, 7, 8
};

}  // namespace

int CPelo7CleanDlg::GetDisplayName(LPCSTR psGuidKey, LPSTR lpDisplayName)
{
    int result = 0;
    HKEY hKey = NULL;
    try {
        result = ReadDisplayName(psGuidKey, lpDisplayName, hKey);
    } catch (...) {
        LOG_GUARD_FAILURE("GetDisplayName() Error! [ErrCode] %d\n");
        result = 0;
    }
    if (hKey != NULL)
        seam::pRegCloseKey(hKey);
    return result;
}

int CPelo7CleanDlg::GetAppPathModule(LPCSTR lpAppPathKey, LPCSTR lpValueName, LPSTR lpModulePath)
{
    int result = 0;
    HKEY hKey = NULL;
    try {
        result = ReadAppPathModule(lpAppPathKey, lpValueName, lpModulePath, hKey);
    } catch (...) {
        LOG_GUARD_FAILURE("GetAppPathModule() Error! [ErrCode] %d\n");
        result = 0;
    }
    if (hKey != NULL)
        seam::pRegCloseKey(hKey);
    return result;
}

int CPelo7CleanDlg::GetProgramFilesDir(LPSTR lpProgramFilesDir)
{
    int result = 0;
    HKEY hKey = NULL;
    try {
        result = ReadProgramFilesDir(m_hWnd, lpProgramFilesDir, hKey);
    } catch (...) {
        LOG_GUARD_FAILURE("GetProgramFilesDir() Error! [ErrCode] %d\n");
        result = 0;
    }
    if (hKey != NULL)
        seam::pRegCloseKey(hKey);
    return result;
}

int CPelo7CleanDlg::DeleteRegistry(HKEY hKey, LPCSTR lpSubKey)
{
    if (hKey == NULL || lpSubKey == NULL || lpSubKey[0] == '\0') {
        LOG_ERROR("Parameter Error! [Detail] hKey or lpSubKey is Invalid.\n");
        return -11;
    }
    const int osKind = g_osKind;
    const DeleteMethod method = (osKind >= 1 && osKind <= 13) ? kDeleteMethods[osKind - 1] : kNotSupported;
    if (method == kNotSupported) {
        LOG_ERROR("DeleteRegistry() Error! [Detail] This operating system is not supported. [OS] %d\n", osKind);
        return -13;
    }

    if (method == kSHDeleteKey) {
        // The shell's deletion opens subkeys by name and so follows registry links
        // into the keys they point to: the links go first, each as a link.
        BOOL bKeyRemoved = FALSE;
        CString failedKey;
        const LONG lLinks = RemoveRegistryLinks(hKey, lpSubKey, &bKeyRemoved, &failedKey);
        if (lLinks != ERROR_SUCCESS) {
            LOG_ERROR("RemoveRegistryLinks() Error! [OS] %d [KeyName] %s [ErrCode] %d", osKind, (LPCSTR)failedKey,
                      (int)lLinks);
            return -12;
        }
        if (bKeyRemoved)
            return 0;   // the key was itself a link
    }
    const LONG lResult = method == kRegDeleteKey ? seam::pRegDeleteKeyA(hKey, lpSubKey)
                                                 : (LONG)seam::pSHDeleteKeyA(hKey, lpSubKey);
    if (lResult == ERROR_SUCCESS)
        return 0;
    if (lResult == ERROR_FILE_NOT_FOUND)
        return 2;
    if (method == kRegDeleteKey)
        LOG_ERROR("RegDeleteKey() Error! [OS] %d [KeyName] %s [ErrCode] %d", osKind, lpSubKey, (int)lResult);
    else
        LOG_ERROR("SHDeleteKey() Error! [OS] %d [KeyName] %s [ErrCode] %d", osKind, lpSubKey, (int)lResult);
    return -12;
}

int CPelo7CleanDlg::DelPelo7RegKey(const DelKeyEntry* pDelKey)
{
    try {
        if (pDelKey == NULL) {
            LOG_ERROR("Parameter Error! [Detail] pDelKey is NULL.\n");
            return -1;
        }
        // Without a complete restore file this removal could not be undone: the user decides.
        if (!SaveRestoreFile(pDelKey)
            && ShowString(m_hWnd, IDS_NO_RESTORE_FILE, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
            return kRemovalDeclined;
        char szKeyPath[MAX_PATH];

        // Uninstall keys; a key that is not there is passed over.
        for (const DelKeyName* pName = pDelKey->pGuidKeys; (*pName)[0] != '\0'; ++pName) {
            if (!BuildKeyPath(szKeyPath, kUninstallRoot, *pName)) {
                LOG_ERROR("Parameter Error! [Detail] hKey or lpSubKey is Invalid.\n");
                return -11;
            }
            const int nResult = DeleteRegistry(HKEY_LOCAL_MACHINE, szKeyPath);
            if (nResult < 0)
                return nResult;
        }

        // App Paths keys, each with the program file that its default value names. The
        // value is read before the key goes; the file goes only with a key that was there.
        for (const DelKeyName* pName = pDelKey->pAppFiles; (*pName)[0] != '\0'; ++pName) {
            if (!BuildKeyPath(szKeyPath, kAppPathsRoot, *pName)) {
                LOG_ERROR("Parameter Error! [Detail] hKey or lpSubKey is Invalid.\n");
                return -11;
            }
            char szModulePath[MAX_PATH * 2];
            ZeroMemory(szModulePath, sizeof szModulePath);
            if (!GetAppPathModule(szKeyPath, "", szModulePath))
                szModulePath[0] = '\0';
            const int nResult = DeleteRegistry(HKEY_LOCAL_MACHINE, szKeyPath);
            if (nResult < 0)
                return nResult;
            // A file that stays is not a failure of the removal; the log names it.
            if (nResult == 0 && szModulePath[0] != '\0')
                DeleteProgramFile(szModulePath, pDelKey);
        }

        // Setup folders, named like the uninstall keys.
        char szProgramFiles[MAX_PATH];
        if (!GetProgramFilesDir(szProgramFiles)) {
            LOG_ERROR("GetProgramFilesDir() Error!");
            return -2;
        }
        if (GetFileAttributesA(szProgramFiles) == INVALID_FILE_ATTRIBUTES) {
            const DWORD dwError = GetLastError();
            LOG_ERROR("GetFileAttributes() Error! [FilePath] %s [ErrCode] %d", szProgramFiles, (int)dwError);
            return -3;
        }
        // Room for any Program Files path with the names appended, so that a folder path
        // beyond MAX_PATH can be reported whole; it is never cut to another folder's.
        char szPrefix[MAX_PATH * 2];
        ZeroMemory(szPrefix, sizeof szPrefix);
        lstrcpyA(szPrefix, szProgramFiles);
        PathAddBackslashA(szPrefix);
        lstrcatA(szPrefix, kSetupFoldersName);
        lstrcatA(szPrefix, "\\");
        for (const DelKeyName* pName = pDelKey->pGuidKeys; (*pName)[0] != '\0'; ++pName) {
            char szFolder[MAX_PATH * 3];
            ZeroMemory(szFolder, sizeof szFolder);
            lstrcpyA(szFolder, szPrefix);
            lstrcatA(szFolder, *pName);
            if (lstrlenA(szFolder) >= MAX_PATH || !DeleteTheFolder(szFolder, 0)) {
                LOG_ERROR("DeleteTheFolder() Error! [Folder] %s\n", szFolder);
                return -4;
            }
        }
        return 0;
    } catch (...) {
        LOG_GUARD_FAILURE("DelPelo7RegKey() Error! [ErrCode] %d\n");
    }
    return -9;
}
