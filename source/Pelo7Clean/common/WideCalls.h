// The NT family's wide-character calls, for what the code page cannot spell: names
// outside it and paths beyond MAX_PATH. Looked up at run time, so that the image keeps
// the import list that Windows 98 loads; there they are stubs that fail, so only the
// NT family calls them.
#pragma once
#include <windows.h>
#include "AfxString.h"

namespace wide {
extern LONG (WINAPI* pRegOpenKeyExW)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY);
extern LONG (WINAPI* pRegEnumKeyExW)(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPWSTR, LPDWORD, PFILETIME);
extern LONG (WINAPI* pRegEnumValueW)(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
extern LONG (WINAPI* pRegQueryValueExW)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
extern HANDLE (WINAPI* pCreateFileW)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
extern BOOL (WINAPI* pDeleteFileW)(LPCWSTR);
extern DWORD (WINAPI* pGetModuleFileNameW)(HMODULE, LPWSTR, DWORD);

// Fills the pointers once; TRUE when every one was found. Safe to call again.
BOOL Load();

// Wide text in the code page, as the log is written: what it cannot spell becomes
// its default character.
CString ToCodePage(const WCHAR* text, size_t length);
}
