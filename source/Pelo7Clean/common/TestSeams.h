// Indirections for the few system calls whose failures the test platform cannot
// produce (access denied, a non-administrator token, a failed version query).
// They point at the system functions; only tests ever change them.
#pragma once
#include <windows.h>
#include <shlobj.h>

namespace seam {
extern BOOL (WINAPI* pGetVersionExA)(LPOSVERSIONINFOA);
extern BOOL (WINAPI* pOpenProcessToken)(HANDLE, DWORD, PHANDLE);
extern BOOL (WINAPI* pGetTokenInformation)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
extern int (WINAPI* pMessageBoxA)(HWND, LPCSTR, LPCSTR, UINT);
extern LONG (WINAPI* pRegDeleteKeyA)(HKEY, LPCSTR);
extern DWORD (WINAPI* pSHDeleteKeyA)(HKEY, LPCSTR);
extern BOOL (WINAPI* pSHGetSpecialFolderPathA)(HWND, LPSTR, int, BOOL);
extern LONG (WINAPI* pRegOpenKeyExA)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
// ntdll's NtDeleteKey (NULL where there is none): lets tests fail the removal of a
// registry link.
extern LONG (WINAPI* pNtDeleteKey)(HANDLE);
// The cleaning engine's: lets tests fail a value query, count key closes, and
// count or shorten the folder removal's retries and waits.
extern LONG (WINAPI* pRegQueryValueExA)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
extern LONG (WINAPI* pRegCloseKey)(HKEY);
extern BOOL (WINAPI* pRemoveDirectoryA)(LPCSTR);
extern VOID (WINAPI* pSleep)(DWORD);
// The log's: lets the fault build raise an exception inside a guard's own log line.
extern LPSTR (WINAPI* pPathFindFileNameA)(LPCSTR);
// The restore file's: lets tests fix its time stamp and fill the disk.
extern VOID (WINAPI* pGetLocalTime)(LPSYSTEMTIME);
extern BOOL (WINAPI* pWriteFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
// The DLL search's: lets tests take the way of systems whose kernel32 lacks
// SetDefaultDllDirectories.
extern FARPROC (WINAPI* pGetProcAddress)(HMODULE, LPCSTR);
}
