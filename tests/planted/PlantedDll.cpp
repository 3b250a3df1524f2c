// A DLL to plant beside the executable under the name of a system DLL. Loading it
// leaves "<its path>.loaded" behind; it then refuses to stay, as a hostile copy
// would not, so that the program goes on and the test can tell what happened.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason != DLL_PROCESS_ATTACH)
        return TRUE;
    char path[MAX_PATH + 8] = "";
    const DWORD n = GetModuleFileNameA(hInstance, path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        lstrcatA(path, ".loaded");
        HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    return FALSE;
}
