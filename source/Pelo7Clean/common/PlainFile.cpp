#include "PlainFile.h"
#include <shlwapi.h>
#include <string.h>

namespace {
typedef DWORD (WINAPI* GetFinalPathNameByHandleAFn)(HANDLE, LPSTR, DWORD, DWORD);
// Room for a final path: the file's must fit it, and the folder's, or there is
// nothing to compare.
const DWORD kFinalPathMax = 2 * MAX_PATH;

HANDLE OpenOrCreate(LPCSTR lpPath)
{
    // The NT family opens a link itself instead of what it points to; 98 and Me
    // have no links and are not given the flag.
    const DWORD dwFlags = FILE_ATTRIBUTE_NORMAL | ((GetVersion() & 0x80000000) == 0 ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    const DWORD dwAccess = GENERIC_READ | GENERIC_WRITE;
    for (int attempt = 0; attempt < 2; ++attempt) {
        HANDLE h = CreateFileA(lpPath, dwAccess, 0, NULL, OPEN_EXISTING, dwFlags, NULL);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_NOT_FOUND)
            return h;
        // Only ever a new file: this fails on a link that points nowhere yet,
        // where opening with OPEN_ALWAYS would create its target.
        h = CreateFileA(lpPath, dwAccess, 0, NULL, CREATE_NEW, dwFlags, NULL);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return h;
        // Something of that name came meanwhile: open it as it is, once more.
    }
    return INVALID_HANDLE_VALUE;
}

// FALSE when the handle's final path is not its folder's final path followed by
// the file name: how a symbolic link to a file shows where it was followed (under
// Wine, where it carries no reparse attribute). Before Vista, or when the folder's
// own final path cannot be had, there is nothing to compare: TRUE.
BOOL FinalPathIsNamed(HANDLE hFile, LPCSTR lpPath)
{
    const GetFinalPathNameByHandleAFn pGetFinalPathNameByHandleA = (GetFinalPathNameByHandleAFn)(void*)
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA");
    if (pGetFinalPathNameByHandleA == NULL)
        return TRUE;

    // The folder as named, with its last backslash ("C:\" for a root).
    char folder[MAX_PATH];
    LPCSTR lpName = PathFindFileNameA(lpPath);
    const int cchFolder = (int)(lpName - lpPath);
    if (cchFolder <= 0 || cchFolder >= MAX_PATH || *lpName == '\0')
        return TRUE;
    lstrcpynA(folder, lpPath, cchFolder + 1);
    HANDLE hFolder = CreateFileA(folder, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (hFolder == INVALID_HANDLE_VALUE)
        return TRUE;
    // Final paths name the same folder alike, whatever case, short names, or the
    // junctions and substituted drives it was reached through.
    char expected[kFinalPathMax + MAX_PATH + 1];
    const DWORD n = pGetFinalPathNameByHandleA(hFolder, expected, kFinalPathMax, 0);
    CloseHandle(hFolder);
    if (n == 0 || n >= kFinalPathMax)
        return TRUE;
    if (*CharPrevA(expected, expected + n) != '\\')
        lstrcatA(expected, "\\");
    lstrcatA(expected, lpName);

    char actual[kFinalPathMax];
    const DWORD m = pGetFinalPathNameByHandleA(hFile, actual, kFinalPathMax, 0);
    if (m == 0 || m >= kFinalPathMax)
        return FALSE;
    // Case aside, as the file system compares names; double-byte aware.
    CharUpperA(expected);
    CharUpperA(actual);
    return strcmp(expected, actual) == 0;
}

BOOL IsPlainFile(HANDLE hFile, LPCSTR lpPath)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(hFile, &info))
        return FALSE;
    return (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && info.nNumberOfLinks <= 1
        && FinalPathIsNamed(hFile, lpPath);
}
}

HANDLE OpenPlainFile(LPCSTR lpPath)
{
    HANDLE h = OpenOrCreate(lpPath);
    if (h == INVALID_HANDLE_VALUE)
        return h;
    if (!IsPlainFile(h, lpPath)) {
        CloseHandle(h);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return h;
}
