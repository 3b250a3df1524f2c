#include "Globals.h"

HINSTANCE g_hResInstance = NULL;
char g_appTitle[64];
char g_msgText[512];
char g_logPath[MAX_PATH];
WCHAR g_exeFolderW[32768];
int g_osKind = 4;
HANDLE g_hMutex = NULL;
