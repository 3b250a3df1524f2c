// The four products this tool knows: their uninstall key names (which also name
// their setup folders) and their program file names (App Paths key names).
#pragma once
#include <windows.h>

// A list is an array of MAX_PATH-byte slots ended by an empty slot.
typedef char DelKeyName[MAX_PATH];

struct DelKeyEntry {
    const DelKeyName* pGuidKeys;   // uninstall key names; NULL ends the table
    const DelKeyName* pAppFiles;   // App Paths key names
};

inline const DelKeyName g_guidKeysMain[] = { "{17645E00-D79B-482F-8E43-82E09B4AE590}", "" };
inline const DelKeyName g_appFilesMain[] = { "Pelo7Desk.exe", "" };

inline const DelKeyName g_guidKeysViewer[] = { "{76609508-04FF-44D6-BE62-1B57264CAD24}", "" };
inline const DelKeyName g_appFilesViewer[] = { "Kvertz.exe", "Pelo7.exe", "" };

inline const DelKeyName g_guidKeysMonitor[] = {
    "{1FAD4C1C-42C7-44B0-BEA0-83E764C09CC0}", "{1AE29A88-D105-4427-9580-1ED00A71DAD7}",
    "{A21BE746-DBB6-44C0-887E-558B55560351}", "{CFEAABBC-95EB-42BB-AB30-F55262A898F9}", "" };
inline const DelKeyName g_appFilesMonitor[] = { "Pelo7Watch.exe", "Pelo7Tray.exe", "Pelo7WatchSvc.exe", "" };

inline const DelKeyName g_guidKeysLinkage[] = { "{66DE2269-FD8D-4504-B07A-91F3740816F9}", "" };
inline const DelKeyName g_appFilesLinkage[] = { "pel_Stamp.dll", "" };

// The products' identities: their indexes in g_delKeyTable, kept as the list's item data.
enum ProductIndex {
    kProductMain = 0,      // the main application
    kProductViewer = 1,    // the viewer
    kProductMonitor = 2,   // the folder-monitor software
    kProductLinkage = 3,   // the accounting-software linkage option
    kProductCount = 4,     // g_delKeyTable without its terminator
};

inline const DelKeyEntry g_delKeyTable[] = {
    { g_guidKeysMain, g_appFilesMain },
    { g_guidKeysViewer, g_appFilesViewer },
    { g_guidKeysMonitor, g_appFilesMonitor },
    { g_guidKeysLinkage, g_appFilesLinkage },
    { NULL, NULL },
};
