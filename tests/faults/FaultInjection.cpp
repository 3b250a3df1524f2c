// Linked only into Pelo7Clean_faults.exe, a test build of the program. The
// variable PELO7CLEAN_FAULT makes registry deletions fail as a locked-down key
// would on Windows ("deny-delete"), which Wine cannot produce, or raise an
// exception with last error 5 ("throw-in-delete"), or makes the first message
// box raise one, as memory running out while its text is built would
// ("throw-in-box"), or raises one inside the removal and another inside the
// guard's own log line for it ("throw-in-guard-log"), or hides
// SetDefaultDllDirectories, as kernel32 before 8 does ("no-default-dll-dirs").
#include <windows.h>
#include <shlwapi.h>
#include <stdlib.h>
#include <string.h>
#include "AfxException.h"
#include "TestSeams.h"

namespace {
LONG WINAPI DeniedRegDeleteKeyA(HKEY, LPCSTR) { return ERROR_ACCESS_DENIED; }
DWORD WINAPI DeniedSHDeleteKeyA(HKEY, LPCSTR) { return ERROR_ACCESS_DENIED; }
DWORD WINAPI ThrowingSHDeleteKeyA(HKEY, LPCSTR)
{
    SetLastError(ERROR_ACCESS_DENIED);
    throw CMemoryException();
}

LPSTR WINAPI ThrowingPathFindFileNameA(LPCSTR)
{
    seam::pPathFindFileNameA = ::PathFindFileNameA;   // once
    throw CMemoryException();
}
DWORD WINAPI ThrowingSHDeleteKeyAThenLog(HKEY, LPCSTR)
{
    seam::pPathFindFileNameA = ThrowingPathFindFileNameA;   // the guard's line comes next
    SetLastError(ERROR_ACCESS_DENIED);
    throw CMemoryException();
}

int WINAPI ThrowingMessageBoxA(HWND, LPCSTR, LPCSTR, UINT)
{
    seam::pMessageBoxA = ::MessageBoxA;   // once: later boxes show
    throw CMemoryException();
}

FARPROC WINAPI GetProcAddressBefore8(HMODULE hModule, LPCSTR name)
{
    if (HIWORD((DWORD_PTR)name) != 0 && strcmp(name, "SetDefaultDllDirectories") == 0)
        return NULL;
    return ::GetProcAddress(hModule, name);
}

struct Install {
    Install()
    {
        const char* fault = getenv("PELO7CLEAN_FAULT");
        if (fault != NULL && strcmp(fault, "deny-delete") == 0) {
            seam::pRegDeleteKeyA = DeniedRegDeleteKeyA;
            seam::pSHDeleteKeyA = DeniedSHDeleteKeyA;
        } else if (fault != NULL && strcmp(fault, "throw-in-delete") == 0) {
            seam::pSHDeleteKeyA = ThrowingSHDeleteKeyA;
        } else if (fault != NULL && strcmp(fault, "throw-in-guard-log") == 0) {
            seam::pSHDeleteKeyA = ThrowingSHDeleteKeyAThenLog;
        } else if (fault != NULL && strcmp(fault, "throw-in-box") == 0) {
            seam::pMessageBoxA = ThrowingMessageBoxA;
        } else if (fault != NULL && strcmp(fault, "no-default-dll-dirs") == 0) {
            seam::pGetProcAddress = GetProcAddressBefore8;
        }
    }
} s_install;
}
