#include "Pelo7CleanDlg.h"
#include <shlwapi.h>
#include "resource.h"
#include "Globals.h"
#include "ErrorLog.h"
#include "ShowMessage.h"
#include "DeleteTheFolder.h"
#include "TestSeams.h"

// ---- the dialog -----------------------------------------------------------

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
}

BOOL CPelo7CleanDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    return TRUE;
}

void CPelo7CleanDlg::OnPaint()
{
    Default();
}

HCURSOR CPelo7CleanDlg::OnQueryDragIcon()
{
    return (HCURSOR)m_hIcon;
}

void CPelo7CleanDlg::OnRemove()
{
}

BOOL CPelo7CleanDlg::AddListPelo7RegKey(BOOL)
{
    return TRUE;
}

void CPelo7CleanDlg::SetHorizontalScrollBar()
{
}

BOOL CPelo7CleanDlg::CheckUninstall()
{
    return FALSE;
}

int CPelo7CleanDlg::UninstallSelected()
{
    return 0;
}

// ---- the cleaning engine ----------------------------------------------------
