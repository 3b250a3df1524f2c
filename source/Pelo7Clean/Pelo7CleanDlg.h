// The cleaner dialog, with the cleaning routines that run on its behalf.
#pragma once
#include "AfxWin.h"
#include "DelKeyTable.h"

class CPelo7CleanDlg : public CDialog {
public:
    explicit CPelo7CleanDlg(CWnd* pParent = NULL);
    virtual ~CPelo7CleanDlg() {}

    // Product list and removal flow.
    BOOL AddListPelo7RegKey(BOOL keepSelection);   // rebuilds the list; FALSE after its guard caught
    void SetHorizontalScrollBar();
    BOOL CheckUninstall();                         // TRUE when the selected product may be cleaned
    int UninstallSelected();                       // DelPelo7RegKey's result for the selection

    // The cleaning engine's result codes, which the dialog turns into its messages.
    enum ResultCode {
        kDone = 0,
        kKeyNotFound = 2,               // DeleteRegistry's: no such key, which is no failure
        kRemovalDeclined = 3,           // no restore file could be saved, and the user kept everything
        kNullEntry = -1,
        kProgramFilesNotFound = -2,
        kProgramFilesUnreadable = -3,
        kFolderLeftBehind = -4,         // a setup folder is still there
        kCaughtException = -9,
        kInvalidArgument = -11,         // from here on DeleteRegistry's, passed through
        kDeletionFailed = -12,
        kOsNotSupported = -13,
    };
    // The cleaning engine: kDone, kRemovalDeclined or a negative code.
    int DelPelo7RegKey(const DelKeyEntry* pDelKey);
    // kDone, kKeyNotFound, or -11 to -13.
    int DeleteRegistry(HKEY hKey, LPCSTR lpSubKey);
    // Lookups: 1 when the value was copied into the MAX_PATH-byte output, else 0.
    int GetDisplayName(LPCSTR psGuidKey, LPSTR lpDisplayName);
    int GetAppPathModule(LPCSTR lpAppPathKey, LPCSTR lpValueName, LPSTR lpModulePath);
    int GetProgramFilesDir(LPSTR lpProgramFilesDir);

    CButton m_btnFinish;      // control 2 (IDCANCEL)
    CButton m_btnRemove;      // control 1000
    CListBox m_listProduct;   // control 1003; item data is the catalog index
    HICON m_hIcon;            // shown only when minimized

protected:
    virtual void WinHelp(DWORD dwData, UINT nCmd = HELP_CONTEXT);   // help requests do nothing
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnRemove();
    DECLARE_MESSAGE_MAP()

private:
    // DelPelo7RegKey's phases, in their order; each returns kDone or the code that ends
    // the removal.
    int DeleteUninstallKeys(const DelKeyEntry& entry);
    int DeleteAppPaths(const DelKeyEntry& entry);      // with the program files they name
    int DeleteSetupFolders(const DelKeyEntry& entry);
};
