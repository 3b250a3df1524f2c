#include "AfxWin.h"
#include <string.h>

// ---- message maps -------------------------------------------------------------

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = { { 0, 0, 0, NULL } };
    static const AFX_MSGMAP map = { NULL, &entries[0] };
    return &map;
}

BOOL CCmdTarget::DispatchMap(UINT message, WPARAM wParam, LRESULT* pResult)
{
    const UINT nCode = HIWORD(wParam);
    const UINT nID = LOWORD(wParam);
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != NULL;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : NULL) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->pfnThunk != NULL; ++e) {
            if (e->nMessage != message)
                continue;
            if (message == WM_COMMAND && (e->nID != nID || e->nCode != nCode))
                continue;
            *pResult = e->pfnThunk(this);
            return TRUE;
        }
    }
    return FALSE;
}

// ---- GDI ----------------------------------------------------------------------

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd)
{
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
}

// ---- CWnd ---------------------------------------------------------------------

CMenu* CWnd::GetSystemMenu(BOOL bRevert)
{
    m_sysMenu.m_hMenu = ::GetSystemMenu(m_hWnd, bRevert);
    return m_sysMenu.m_hMenu != NULL ? &m_sysMenu : NULL;
}

CDC* CWnd::GetDC()
{
    m_dc.m_hDC = ::GetDC(m_hWnd);
    return m_dc.m_hDC != NULL ? &m_dc : NULL;
}

int CWnd::ReleaseDC(CDC* pDC)
{
    const int released = ::ReleaseDC(m_hWnd, pDC->m_hDC);
    pDC->m_hDC = NULL;
    return released;
}

void CWnd::WinHelp(DWORD dwData, UINT nCmd)
{
    // The help file sits beside the executable, named after it.
    char path[MAX_PATH] = "";
    const DWORD n = ::GetModuleFileNameA(AfxGetApp()->m_hInstance, path, MAX_PATH);
    char* dot = strrchr(path, '.');
    if (n == 0 || n >= MAX_PATH || dot == NULL)
        return;
    lstrcpyA(dot, ".HLP");
    ::WinHelpA(m_hWnd, path, nCmd, dwData);
}

void CWnd::CenterWindow()
{
    RECT rcArea;
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcArea, 0))
        ::SetRect(&rcArea, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    RECT rcCenter = rcArea;
    const HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    if (hOwner != NULL && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner))
        ::GetWindowRect(hOwner, &rcCenter);

    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    const int cx = rc.right - rc.left;
    const int cy = rc.bottom - rc.top;
    int x = rcCenter.left + (rcCenter.right - rcCenter.left - cx) / 2;
    int y = rcCenter.top + (rcCenter.bottom - rcCenter.top - cy) / 2;
    // Within the work area; a window larger than it keeps its caption on screen.
    if (x + cx > rcArea.right)
        x = rcArea.right - cx;
    if (x < rcArea.left)
        x = rcArea.left;
    if (y + cy > rcArea.bottom)
        y = rcArea.bottom - cy;
    if (y < rcArea.top)
        y = rcArea.top;
    ::SetWindowPos(m_hWnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx = { bSaveAndValidate, this };
    DoDataExchange(&dx);
    return TRUE;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd == NULL)
        rControl.Attach(::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC));
}

void CListBox::GetText(int nIndex, CString& rString) const
{
    const int nLength = GetTextLen(nIndex);
    if (nLength == LB_ERR) {
        rString.Empty();
        return;
    }
    char stackBuf[512];
    char* buf = nLength < (int)sizeof stackBuf ? stackBuf : new char[nLength + 1];
    buf[0] = '\0';
    SendMessage(LB_GETTEXT, (WPARAM)nIndex, (LPARAM)buf);
    buf[nLength] = '\0';
    try {
        rString = buf;
    } catch (...) {
        if (buf != stackBuf)
            delete[] buf;
        throw;
    }
    if (buf != stackBuf)
        delete[] buf;
}

// ---- CDialog ------------------------------------------------------------------

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal()
{
    const INT_PTR result = ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                             m_pParentWnd != NULL ? m_pParentWnd->m_hWnd : NULL, DialogProc, (LPARAM)this);
    m_hWnd = NULL;
    return result;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    m_bDefault = FALSE;
    if (DispatchMap(message, wParam, pResult))
        return !m_bDefault;
    if (message == WM_HELP) {
        // As a top-level window does: the help command goes to the application.
        ::SendMessageA(m_hWnd, WM_COMMAND, ID_HELP, 0);
        *pResult = TRUE;
        return TRUE;
    }
    // Commands: menus and accelerators (no control) and button clicks.
    if (message != WM_COMMAND || (lParam != 0 && HIWORD(wParam) != BN_CLICKED))
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    }
    CWinApp* pApp = AfxGetApp();
    return pApp != NULL && pApp->DispatchMap(message, wParam, pResult);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* pDlg = message == WM_INITDIALOG ? (CDialog*)lParam : (CDialog*)::GetWindowLongA(hWnd, DWL_USER);
    if (pDlg == NULL)
        return FALSE;
    // An exception cannot unwind through the system's frames that called this
    // procedure: the process would end. The message is left to the dialog
    // manager instead (for WM_INITDIALOG: the system sets the focus), and the
    // dialog goes on.
    try {
        if (message == WM_INITDIALOG)
            return pDlg->HandleInitDialog(hWnd);
        return pDlg->HandleMessage(message, wParam, lParam);
    } catch (...) {
        return message == WM_INITDIALOG;
    }
}

INT_PTR CDialog::HandleInitDialog(HWND hWnd)
{
    ::SetWindowLongA(hWnd, DWL_USER, (LONG)this);
    m_hWnd = hWnd;
    RECT rcBefore;
    ::GetWindowRect(hWnd, &rcBefore);
    const BOOL bResult = OnInitDialog();

    // A top-level dialog that its template leaves where the system puts it (no
    // centring or absolute alignment) would open in a corner of the screen:
    // centre it, unless OnInitDialog already showed or moved it.
    RECT rcAfter;
    ::GetWindowRect(hWnd, &rcAfter);
    const LONG style = ::GetWindowLongA(hWnd, GWL_STYLE);
    if ((style & (WS_CHILD | WS_VISIBLE | DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) == 0
        && rcAfter.left == rcBefore.left && rcAfter.top == rcBefore.top)
        CenterWindow();
    return bResult;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnDialogMessage(message, wParam, lParam, &result))
        return FALSE;
    // These few return their result directly; the rest through DWL_MSGRESULT.
    switch (message) {
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_CHARTOITEM:
        return (INT_PTR)result;
    }
    ::SetWindowLongA(m_hWnd, DWL_MSGRESULT, (LONG)result);
    return TRUE;
}

// ---- the application ------------------------------------------------------------

static CWinApp* s_pApp = NULL;
static AFX_MODULE_STATE s_moduleState = { NULL, NULL };

CWinApp* AfxGetApp() { return s_pApp; }
AFX_MODULE_STATE* AfxGetModuleState() { return &s_moduleState; }

CWinApp::CWinApp(LPCSTR pszAppName)
    : m_hInstance(NULL), m_pMainWnd(NULL), m_pszAppName(pszAppName)
{
    s_pApp = this;
}

CWinApp::~CWinApp()
{
    if (s_pApp == this)
        s_pApp = NULL;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, NULL, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return ExitInstance();
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
}

void CWinApp::OnHelp()
{
    if (m_pMainWnd != NULL)
        m_pMainWnd->WinHelp(0, HELP_CONTENTS);
}
