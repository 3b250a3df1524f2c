// Windows, dialogs, controls, device contexts and the application object.
// Wrappers hold a handle they do not own unless stated; copying is disabled.
#pragma once
#include <windows.h>
#include "AfxString.h"

#define ID_HELP 0xE146

class CCmdTarget;
class CWnd;
class CWinApp;

// ---- message maps -----------------------------------------------------
// Each entry calls its handler through a thunk made for the handler's class and
// signature, so no member pointer is ever cast.
typedef LRESULT (*AFX_THUNK)(CCmdTarget* pTarget);

template <class T, auto pfn> LRESULT AfxThunkVoid(CCmdTarget* p)
{
    (static_cast<T*>(p)->*pfn)();
    return 0;
}

template <class T, auto pfn> LRESULT AfxThunkResult(CCmdTarget* p)
{
    return (LRESULT)(static_cast<T*>(p)->*pfn)();
}

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;      // WM_ message, 0 ends the table
    UINT nCode;         // notification code for WM_COMMAND
    UINT nID;           // control or command id for WM_COMMAND
    AFX_THUNK pfnThunk;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();   // NULL at the root
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() { \
        [[maybe_unused]] typedef theClass ThisClass; \
        typedef baseClass TheBaseClass; \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP() \
            { 0, 0, 0, NULL } }; \
        static const AFX_MSGMAP messageMap = { &TheBaseClass::GetThisMessageMap, &_messageEntries[0] }; \
        return &messageMap; \
    }

#define ON_WM_PAINT() { WM_PAINT, 0, 0, &AfxThunkVoid<ThisClass, &ThisClass::OnPaint> },
#define ON_WM_QUERYDRAGICON() { WM_QUERYDRAGICON, 0, 0, &AfxThunkResult<ThisClass, &ThisClass::OnQueryDragIcon> },
#define ON_COMMAND(id, memberFxn) { WM_COMMAND, 0, (UINT)(id), &AfxThunkVoid<ThisClass, &memberFxn> },
#define ON_BN_CLICKED(id, memberFxn) { WM_COMMAND, BN_CLICKED, (UINT)(id), &AfxThunkVoid<ThisClass, &memberFxn> },

// Base of everything that owns a message map.
class CCmdTarget {
public:
    virtual ~CCmdTarget() {}
    // Runs the first handler in the map chain for the message; FALSE if none.
    BOOL DispatchMap(UINT message, WPARAM wParam, LRESULT* pResult);
protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }
};

// ---- GDI ------------------------------------------------------------------
class CDC {
public:
    CDC() : m_hDC(NULL) {}
    virtual ~CDC() {}
    HDC GetSafeHdc() const { return m_hDC; }
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }   // the previous object
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
    HDC m_hDC;
private:
    CDC(const CDC&);
    CDC& operator=(const CDC&);
};

// BeginPaint in the constructor, EndPaint in the destructor.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    virtual ~CPaintDC();
    PAINTSTRUCT m_ps;
private:
    HWND m_hWnd;
};

class CMenu {
public:
    CMenu() : m_hMenu(NULL) {}
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable) { return ::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable); }
    HMENU m_hMenu;
private:
    CMenu(const CMenu&);
    CMenu& operator=(const CMenu&);
};

// ---- windows --------------------------------------------------------------
struct CDataExchange {
    BOOL m_bSaveAndValidate;   // TRUE: controls to members
    CWnd* m_pDlgWnd;
};

class CWnd : public CCmdTarget {
public:
    CWnd() : m_hWnd(NULL), m_bDefault(FALSE) {}
    virtual ~CWnd() {}

    operator HWND() const { return m_hWnd; }
    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    HWND Detach() { HWND h = m_hWnd; m_hWnd = NULL; return h; }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
        { return ::SendMessageA(m_hWnd, message, wParam, lParam); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    // Over the owner when it is shown, else on the work area; kept within the work area.
    void CenterWindow();
    // The window menu, or NULL; the object lives as long as this window object.
    CMenu* GetSystemMenu(BOOL bRevert);
    CDC* GetDC();                                // release with ReleaseDC
    int ReleaseDC(CDC* pDC);

    virtual void WinHelp(DWORD dwData, UINT nCmd = HELP_CONTEXT);
    virtual void DoDataExchange(CDataExchange* pDX) { (void)pDX; }
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    HWND m_hWnd;

protected:
    void Default() { m_bDefault = TRUE; }        // leave the current message to the system
    BOOL m_bDefault;

private:
    CMenu m_sysMenu;
    CDC m_dc;
    CWnd(const CWnd&);
    CWnd& operator=(const CWnd&);
};

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);   // binds the control's window once

class CButton : public CWnd {};

class CListBox : public CWnd {
public:
    int GetCount() const { return (int)SendMessage(LB_GETCOUNT); }
    int GetCurSel() const { return (int)SendMessage(LB_GETCURSEL); }
    int SetCurSel(int nSelect) { return (int)SendMessage(LB_SETCURSEL, (WPARAM)nSelect); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    int AddString(LPCSTR psz) { return (int)SendMessage(LB_ADDSTRING, 0, (LPARAM)psz); }
    int SetItemData(int nIndex, DWORD_PTR data) { return (int)SendMessage(LB_SETITEMDATA, (WPARAM)nIndex, (LPARAM)data); }
    DWORD_PTR GetItemData(int nIndex) const { return (DWORD_PTR)SendMessage(LB_GETITEMDATA, (WPARAM)nIndex); }
    int GetTextLen(int nIndex) const { return (int)SendMessage(LB_GETTEXTLEN, (WPARAM)nIndex); }
    void GetText(int nIndex, CString& rString) const;
    void SetHorizontalExtent(int cxExtent) { SendMessage(LB_SETHORIZONTALEXTENT, (WPARAM)cxExtent); }
    int GetHorizontalExtent() const { return (int)SendMessage(LB_GETHORIZONTALEXTENT); }
};

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    virtual INT_PTR DoModal();                   // the value passed to EndDialog, -1 if it cannot run
    virtual BOOL OnInitDialog();                 // binds the controls (UpdateData(FALSE))
    void EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

protected:
    virtual void OnOK();                         // UpdateData, then EndDialog(IDOK)
    virtual void OnCancel();                     // EndDialog(IDCANCEL)
    // Handles one message sent to the dialog; FALSE leaves it to the dialog manager.
    virtual BOOL OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleInitDialog(HWND hWnd);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
};

// ---- the application ------------------------------------------------------
class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCSTR pszAppName = NULL);
    virtual ~CWinApp();

    virtual BOOL InitInstance() { return TRUE; }
    virtual int Run();                           // message loop until WM_QUIT
    virtual int ExitInstance() { return 0; }

    HICON LoadIcon(UINT nIDResource) const;      // from the resource module
    BOOL Enable3dControls() { return TRUE; }     // the system draws 3D controls itself
    void OnHelp();                               // WinHelp of the main window

    HINSTANCE m_hInstance;
    CWnd* m_pMainWnd;
    LPCSTR m_pszAppName;
    DECLARE_MESSAGE_MAP()

private:
    CWinApp(const CWinApp&);
    CWinApp& operator=(const CWinApp&);
};

struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle;
    HINSTANCE m_hCurrentResourceHandle;
};

CWinApp* AfxGetApp();
AFX_MODULE_STATE* AfxGetModuleState();
inline HINSTANCE AfxGetResourceHandle() { return AfxGetModuleState()->m_hCurrentResourceHandle; }
inline void AfxEnableControlContainer() {}    // no controls need a container here
