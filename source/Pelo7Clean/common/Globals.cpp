#include "Globals.h"
#include "OsKind.h"

HINSTANCE g_hResInstance = NULL;
char g_appTitle[64];
char g_msgText[512];
char g_logPath[MAX_PATH];
WCHAR g_exeFolderW[32768];
int g_osKind = kOsUnrecognised;
HANDLE g_hMutex = NULL;
