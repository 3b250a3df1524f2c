#include "TestSeams.h"
#include <shlwapi.h>

namespace {
FARPROC NtdllProc(LPCSTR lpName)
{
    const HMODULE hNtdll = GetModuleHandleA("ntdll.dll");
    return hNtdll != NULL ? GetProcAddress(hNtdll, lpName) : NULL;
}
}  // namespace

namespace seam {
BOOL (WINAPI* pGetVersionExA)(LPOSVERSIONINFOA) = ::GetVersionExA;
BOOL (WINAPI* pOpenProcessToken)(HANDLE, DWORD, PHANDLE) = ::OpenProcessToken;
BOOL (WINAPI* pGetTokenInformation)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD) = ::GetTokenInformation;
int (WINAPI* pMessageBoxA)(HWND, LPCSTR, LPCSTR, UINT) = ::MessageBoxA;
LONG (WINAPI* pRegDeleteKeyA)(HKEY, LPCSTR) = ::RegDeleteKeyA;
DWORD (WINAPI* pSHDeleteKeyA)(HKEY, LPCSTR) = ::SHDeleteKeyA;
BOOL (WINAPI* pSHGetSpecialFolderPathA)(HWND, LPSTR, int, BOOL) = ::SHGetSpecialFolderPathA;
LONG (WINAPI* pRegOpenKeyExA)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY) = ::RegOpenKeyExA;
LONG (WINAPI* pNtDeleteKey)(HANDLE) = (LONG (WINAPI*)(HANDLE))(void*)NtdllProc("NtDeleteKey");
LONG (WINAPI* pRegQueryValueExA)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD) = ::RegQueryValueExA;
LONG (WINAPI* pRegCloseKey)(HKEY) = ::RegCloseKey;
BOOL (WINAPI* pRemoveDirectoryA)(LPCSTR) = ::RemoveDirectoryA;
VOID (WINAPI* pSleep)(DWORD) = ::Sleep;
LPSTR (WINAPI* pPathFindFileNameA)(LPCSTR) = ::PathFindFileNameA;
VOID (WINAPI* pGetLocalTime)(LPSYSTEMTIME) = ::GetLocalTime;
BOOL (WINAPI* pWriteFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) = ::WriteFile;
FARPROC (WINAPI* pGetProcAddress)(HMODULE, LPCSTR) = ::GetProcAddress;
}
