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

    // Cleaning engine. Result codes: 0 done; -1 null entry; -2/-3 Program Files not
    // found/unreadable; -4 a setup folder left behind; -9 exception; -11/-12/-13 from
    // DeleteRegistry; kRemovalDeclined when no restore file could be saved and the user
    // chose to keep everything.
    int DelPelo7RegKey(const DelKeyEntry* pDelKey);
    static constexpr int kRemovalDeclined = 3;
    // 0 deleted, 2 no such key, -11 bad argument, -12 deletion failed, -13 platform not supported.
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
};
