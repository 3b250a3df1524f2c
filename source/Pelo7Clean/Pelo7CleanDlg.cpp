#include "Pelo7CleanDlg.h"
#include <shlwapi.h>
#include <string.h>
#include "resource.h"
#include "Globals.h"
#include "ErrorLog.h"
#include "ShowMessage.h"
#include "DeleteTheFolder.h"
#include "OsKind.h"
#include "PathCut.h"
#include "RestoreFile.h"
#include "RegKey.h"
#include "RegistryLinks.h"
#include "TestSeams.h"

// ---- the dialog -----------------------------------------------------------

namespace {
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

const DWORD kPauseAfterRemovalMs = 2000;

// The order in which the products must be uninstalled: while the product that must go
// first is listed, the other may not be cleaned, and the string names the reason.
struct MustGoFirst {
    ProductIndex product;
    ProductIndex first;
    UINT nStringId;
};
const MustGoFirst kMustGoFirst[] = {
    { kProductMain, kProductMonitor, IDS_MONITOR_INSTALLED },
    { kProductLinkage, kProductMain, IDS_MAIN_INSTALLED },
    { kProductLinkage, kProductViewer, IDS_VIEWER_INSTALLED },
};

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
    // 1, which the engine does not return, has always counted as success too.
    if (result == kDone || result == 1)
        ShowString(m_hWnd, IDS_REMOVE_SUCCEEDED, MB_ICONINFORMATION);
    else if (result == kOsNotSupported)
        ShowStringWithCode(m_hWnd, IDS_OS_NOT_SUPPORTED_RC, result, MB_ICONHAND);
    else if (result == kDeletionFailed)
        ShowStringWithCode(m_hWnd, IDS_REGISTRY_FAILED, result, MB_ICONHAND);
    else
        ShowStringWithCode(m_hWnd, IDS_REMOVE_FAILED, result, MB_ICONHAND);
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
        Sleep(kPauseAfterRemovalMs);
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
        // The first product in the list that must go before the selected one is named.
        for (int i = 0; i < m_listProduct.GetCount(); ++i) {
            const DWORD_PTR nListed = m_listProduct.GetItemData(i);
            for (const MustGoFirst& rule : kMustGoFirst) {
                if (nSelected == (DWORD_PTR)rule.product && nListed == (DWORD_PTR)rule.first) {
                    ShowString(m_hWnd, rule.nStringId, MB_ICONEXCLAMATION);
                    return FALSE;
                }
            }
        }
        return TRUE;
    } catch (...) {
        // The box shows the same code as the log line.
        const DWORD dwError = LOG_GUARD_FAILURE("CheckUninstall() Error! [ErrCode] %d\n");
        ShowStringWithCode(m_hWnd, IDS_REMOVE_FAILED, (int)dwError, MB_ICONHAND);
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

// The lookups' bodies, outside their guards; key holds the key they open, which
// GuardedLookup closes on every path.

int ReadDisplayName(LPCSTR psGuidKey, LPSTR lpDisplayName, CRegKey& key)
{
    char szKeyName[MAX_PATH];
    if (psGuidKey == NULL || psGuidKey[0] == '\0' || !BuildKeyPath(szKeyName, kUninstallRoot, psGuidKey)) {
        LOG_ERROR("Parameter Error! [Detail] psGuidKey is Invalid.\n");
        return 0;
    }
    LONG lResult = key.Open(HKEY_LOCAL_MACHINE, szKeyName, KEY_READ | KEY_WRITE);
    if (lResult != ERROR_SUCCESS) {
        // A missing key is how a product that is not installed shows.
        if (lResult != ERROR_FILE_NOT_FOUND)
            LOG_ERROR("RegOpenKeyEx() Error! [szKeyName] %s [ErrCode] %d\n", szKeyName, (int)lResult);
        return 0;
    }

    char szValue[MAX_PATH];
    lResult = QueryValueText(key, "DisplayName", szValue);
    if (lResult != ERROR_SUCCESS) {
        if (lResult != ERROR_FILE_NOT_FOUND)
            LOG_ERROR("RegQueryValueEx() Error! [ErrCode] %d\n", (int)lResult);
        return 0;
    }
    ZeroMemory(lpDisplayName, MAX_PATH);
    wsprintfA(lpDisplayName, "%s", szValue);
    return 1;
}

int ReadAppPathModule(LPCSTR lpAppPathKey, LPCSTR lpValueName, LPSTR lpModulePath, CRegKey& key)
{
    if (lpAppPathKey == NULL || lpAppPathKey[0] == '\0')
        return 0;
    // A missing App Paths key is the ordinary case; no opening failure is logged.
    if (key.Open(HKEY_LOCAL_MACHINE, lpAppPathKey, KEY_READ) != ERROR_SUCCESS)
        return 0;

    char szValue[MAX_PATH];
    const LONG lResult = QueryValueText(key, lpValueName, szValue);
    if (lResult != ERROR_SUCCESS) {
        LOG_ERROR("GetAppPathModule() : RegQueryValueEx Error! [ErrCode] %d\n", (int)lResult);
        return 0;
    }
    wsprintfA(lpModulePath, "%s", szValue);
    return 1;
}

int ReadProgramFilesDir(HWND hOwner, LPSTR lpProgramFilesDir, CRegKey& key)
{
    ZeroMemory(lpProgramFilesDir, MAX_PATH);
    // The shell's failure is not logged: it only leads to the registry.
    if (seam::pSHGetSpecialFolderPathA(hOwner, lpProgramFilesDir, CSIDL_PROGRAM_FILES, FALSE)
        && lpProgramFilesDir[0] != '\0')
        return 1;

    LONG lResult = key.Open(HKEY_LOCAL_MACHINE, kCurrentVersionKey, KEY_READ);
    if (lResult != ERROR_SUCCESS) {
        LOG_ERROR("RegOpenKeyEx() Error! [szKeyName] %s [ErrCode] %d\n", kCurrentVersionKey, (int)lResult);
        return 0;
    }

    char szValue[MAX_PATH];
    lResult = QueryValueText(key, "ProgramFilesDir", szValue);
    if (lResult != ERROR_SUCCESS) {
        LOG_ERROR("RegQueryValueEx() Error! [ErrCode] %d\n", (int)lResult);
        return 0;
    }
    ZeroMemory(lpProgramFilesDir, MAX_PATH);
    wsprintfA(lpProgramFilesDir, "%s", szValue);
    return 1;
}

// Runs a lookup's body in its catch-all guard. The key the body opens is held outside
// the guard, so that it is closed after the guard's log line has read the last error.
template <class Body>
int GuardedLookup(LPCSTR lpGuardMessage, Body body)
{
    CRegKey key;
    try {
        return body(key);
    } catch (...) {
        LOG_GUARD_FAILURE(lpGuardMessage);
    }
    return 0;
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

// A full path with arguments after it ("C:\Tools\Tool.exe /s") names the file before a
// blank. The path is a lookup's value, shorter than MAX_PATH.
BOOL NamesFileBeforeArguments(LPCSTR lpPath)
{
    char szPath[MAX_PATH];
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

// The 98 family's RegDeleteKeyA takes the subkeys with it; on the NT family only the
// shell's deletion does.
DeleteMethod DeleteMethodFor(int osKind)
{
    if (IsWin98Family(osKind))
        return kRegDeleteKey;
    return IsNt2000OrLater(osKind) ? kSHDeleteKey : kNotSupported;
}

// The key path of a catalog name, for a deletion: a name too long for one is refused
// as DeleteRegistry refuses a bad argument.
BOOL BuildKeyPathToDelete(LPSTR lpKeyPath, LPCSTR lpRoot, LPCSTR lpName)
{
    if (BuildKeyPath(lpKeyPath, lpRoot, lpName))
        return TRUE;
    LOG_ERROR("Parameter Error! [Detail] hKey or lpSubKey is Invalid.\n");
    return FALSE;
}

}  // namespace

int CPelo7CleanDlg::GetDisplayName(LPCSTR psGuidKey, LPSTR lpDisplayName)
{
    return GuardedLookup("GetDisplayName() Error! [ErrCode] %d\n",
                         [&](CRegKey& key) { return ReadDisplayName(psGuidKey, lpDisplayName, key); });
}

int CPelo7CleanDlg::GetAppPathModule(LPCSTR lpAppPathKey, LPCSTR lpValueName, LPSTR lpModulePath)
{
    return GuardedLookup("GetAppPathModule() Error! [ErrCode] %d\n", [&](CRegKey& key) {
        return ReadAppPathModule(lpAppPathKey, lpValueName, lpModulePath, key);
    });
}

int CPelo7CleanDlg::GetProgramFilesDir(LPSTR lpProgramFilesDir)
{
    return GuardedLookup("GetProgramFilesDir() Error! [ErrCode] %d\n",
                         [&](CRegKey& key) { return ReadProgramFilesDir(m_hWnd, lpProgramFilesDir, key); });
}

int CPelo7CleanDlg::DeleteRegistry(HKEY hKey, LPCSTR lpSubKey)
{
    if (hKey == NULL || lpSubKey == NULL || lpSubKey[0] == '\0') {
        LOG_ERROR("Parameter Error! [Detail] hKey or lpSubKey is Invalid.\n");
        return kInvalidArgument;
    }
    const int osKind = g_osKind;
    const DeleteMethod method = DeleteMethodFor(osKind);
    if (method == kNotSupported) {
        LOG_ERROR("DeleteRegistry() Error! [Detail] This operating system is not supported. [OS] %d\n", osKind);
        return kOsNotSupported;
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
            return kDeletionFailed;
        }
        if (bKeyRemoved)
            return kDone;   // the key was itself a link
    }
    const LONG lResult = method == kRegDeleteKey ? seam::pRegDeleteKeyA(hKey, lpSubKey)
                                                 : (LONG)seam::pSHDeleteKeyA(hKey, lpSubKey);
    if (lResult == ERROR_SUCCESS)
        return kDone;
    if (lResult == ERROR_FILE_NOT_FOUND)
        return kKeyNotFound;
    if (method == kRegDeleteKey)
        LOG_ERROR("RegDeleteKey() Error! [OS] %d [KeyName] %s [ErrCode] %d", osKind, lpSubKey, (int)lResult);
    else
        LOG_ERROR("SHDeleteKey() Error! [OS] %d [KeyName] %s [ErrCode] %d", osKind, lpSubKey, (int)lResult);
    return kDeletionFailed;
}

int CPelo7CleanDlg::DelPelo7RegKey(const DelKeyEntry* pDelKey)
{
    try {
        if (pDelKey == NULL) {
            LOG_ERROR("Parameter Error! [Detail] pDelKey is NULL.\n");
            return kNullEntry;
        }
        // Without a complete restore file this removal could not be undone: the user decides.
        if (!SaveRestoreFile(pDelKey)
            && ShowString(m_hWnd, IDS_NO_RESTORE_FILE, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
            return kRemovalDeclined;
        int result = DeleteUninstallKeys(*pDelKey);
        if (result == kDone)
            result = DeleteAppPaths(*pDelKey);
        if (result == kDone)
            result = DeleteSetupFolders(*pDelKey);
        return result;
    } catch (...) {
        LOG_GUARD_FAILURE("DelPelo7RegKey() Error! [ErrCode] %d\n");
    }
    return kCaughtException;
}

int CPelo7CleanDlg::DeleteUninstallKeys(const DelKeyEntry& entry)
{
    // A key that is not there is passed over.
    char szKeyPath[MAX_PATH];
    for (const DelKeyName* pName = entry.pGuidKeys; (*pName)[0] != '\0'; ++pName) {
        if (!BuildKeyPathToDelete(szKeyPath, kUninstallRoot, *pName))
            return kInvalidArgument;
        const int nResult = DeleteRegistry(HKEY_LOCAL_MACHINE, szKeyPath);
        if (nResult < 0)
            return nResult;
    }
    return kDone;
}

int CPelo7CleanDlg::DeleteAppPaths(const DelKeyEntry& entry)
{
    // The value is read before the key goes; the file goes only with a key that was there.
    char szKeyPath[MAX_PATH];
    for (const DelKeyName* pName = entry.pAppFiles; (*pName)[0] != '\0'; ++pName) {
        if (!BuildKeyPathToDelete(szKeyPath, kAppPathsRoot, *pName))
            return kInvalidArgument;
        char szModulePath[MAX_PATH];
        ZeroMemory(szModulePath, sizeof szModulePath);
        if (!GetAppPathModule(szKeyPath, "", szModulePath))
            szModulePath[0] = '\0';
        const int nResult = DeleteRegistry(HKEY_LOCAL_MACHINE, szKeyPath);
        if (nResult < 0)
            return nResult;
        // A file that stays is not a failure of the removal; the log names it.
        if (nResult == kDone && szModulePath[0] != '\0')
            DeleteProgramFile(szModulePath, &entry);
    }
    return kDone;
}

int CPelo7CleanDlg::DeleteSetupFolders(const DelKeyEntry& entry)
{
    // Named like the uninstall keys, under the Program Files folder.
    char szProgramFiles[MAX_PATH];
    if (!GetProgramFilesDir(szProgramFiles)) {
        LOG_ERROR("GetProgramFilesDir() Error!");
        return kProgramFilesNotFound;
    }
    if (GetFileAttributesA(szProgramFiles) == INVALID_FILE_ATTRIBUTES) {
        const DWORD dwError = GetLastError();
        LOG_ERROR("GetFileAttributes() Error! [FilePath] %s [ErrCode] %d", szProgramFiles, (int)dwError);
        return kProgramFilesUnreadable;
    }
    // Built whole, whatever its length, so that a folder path beyond MAX_PATH is reported
    // as it is: it is never cut to another folder's.
    CString setupFolders(szProgramFiles);
    AppendPathPart(setupFolders, kSetupFoldersName);
    for (const DelKeyName* pName = entry.pGuidKeys; (*pName)[0] != '\0'; ++pName) {
        CString folder(setupFolders);
        AppendPathPart(folder, *pName);
        if (folder.GetLength() >= MAX_PATH || !DeleteTheFolder(folder, 0)) {
            LOG_ERROR("DeleteTheFolder() Error! [Folder] %s\n", (LPCSTR)folder);
            return kFolderLeftBehind;
        }
    }
    return kDone;
}
