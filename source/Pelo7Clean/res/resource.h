// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDD_PELO7CLEAN_DIALOG   102
#define IDR_MAINFRAME           128
#define IDC_BTN_REMOVE          1000
#define IDC_LIST_PRODUCT        1003

#define IDS_DIALOG_TITLE        1   // dialog caption, also how a second copy finds the first
#define IDS_APP_TITLE           2   // caption of every message box
#define IDS_CONFIRM_REMOVE      3
#define IDS_REMOVE_SUCCEEDED    4
#define IDS_REMOVE_FAILED       5   // %d: result code
#define IDS_NEED_ADMIN          6
#define IDS_OS_NOT_SUPPORTED    7
#define IDS_MONITOR_INSTALLED   8
#define IDS_MAIN_INSTALLED      9
#define IDS_VIEWER_INSTALLED    10
#define IDS_REGISTRY_FAILED     11  // %d: result code (not in every language)
#define IDS_OS_NOT_SUPPORTED_RC 12  // %d: result code
#define IDS_NO_RESTORE_FILE     13  // asked before a removal that could not be undone
