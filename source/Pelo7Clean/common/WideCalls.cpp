#include "WideCalls.h"
#include "HeapText.h"

namespace wide {
LONG (WINAPI* pRegOpenKeyExW)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY) = NULL;
LONG (WINAPI* pRegEnumKeyExW)(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPWSTR, LPDWORD, PFILETIME) = NULL;
LONG (WINAPI* pRegEnumValueW)(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPDWORD, LPBYTE, LPDWORD) = NULL;
LONG (WINAPI* pRegQueryValueExW)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD) = NULL;
HANDLE (WINAPI* pCreateFileW)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) = NULL;
BOOL (WINAPI* pDeleteFileW)(LPCWSTR) = NULL;
DWORD (WINAPI* pGetModuleFileNameW)(HMODULE, LPWSTR, DWORD) = NULL;

namespace {
template <class F>
bool Find(HMODULE hModule, const char* name, F& pfn)
{
    if (pfn == NULL && hModule != NULL)
        pfn = (F)(void*)GetProcAddress(hModule, name);
    return pfn != NULL;
}
}

BOOL Load()
{
    // Both are imported by the image, so already loaded: no search for a DLL happens.
    const HMODULE hAdvapi = GetModuleHandleA("advapi32.dll");
    const HMODULE hKernel = GetModuleHandleA("kernel32.dll");
    bool ok = Find(hAdvapi, "RegOpenKeyExW", pRegOpenKeyExW);
    ok = Find(hAdvapi, "RegEnumKeyExW", pRegEnumKeyExW) && ok;
    ok = Find(hAdvapi, "RegEnumValueW", pRegEnumValueW) && ok;
    ok = Find(hAdvapi, "RegQueryValueExW", pRegQueryValueExW) && ok;
    ok = Find(hKernel, "CreateFileW", pCreateFileW) && ok;
    ok = Find(hKernel, "DeleteFileW", pDeleteFileW) && ok;
    ok = Find(hKernel, "GetModuleFileNameW", pGetModuleFileNameW) && ok;
    return ok;
}

CString ToCodePage(const WCHAR* text, size_t length)
{
    const int cb = WideCharToMultiByte(CP_ACP, 0, text, (int)length, NULL, 0, NULL, NULL);
    if (cb <= 0)
        return CString();
    CHeapArray<char> narrow((size_t)cb + 1);
    WideCharToMultiByte(CP_ACP, 0, text, (int)length, narrow.Get(), cb, NULL, NULL);
    narrow.Get()[cb] = '\0';
    return CString(narrow.Get());
}
}
