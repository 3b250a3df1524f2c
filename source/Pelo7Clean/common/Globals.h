// Process-wide state, set once at start-up and read everywhere after.
#pragma once
#include <windows.h>

extern HINSTANCE g_hResInstance;     // module that strings are loaded from
extern char g_appTitle[64];          // caption of every message box
extern char g_msgText[512];          // the message being prepared for a box
extern char g_logPath[MAX_PATH];     // full path of the log file; empty: nothing is logged
// The executable's folder, of any length, for the restore files; NT family only (the 98
// family has no wide-character calls and keeps to the log's folder).
extern WCHAR g_exeFolderW[32768];
extern int g_osKind;                 // platform code from GetOsKind; 4 until start-up sets it
extern HANDLE g_hMutex;              // the single-instance mutex, NULL when none is held
