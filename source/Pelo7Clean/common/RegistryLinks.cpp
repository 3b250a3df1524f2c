#include "RegistryLinks.h"
#include "HeapText.h"
#include "RegKey.h"
#include "TestSeams.h"
#include "WideCalls.h"

// The walk reads names with the wide calls: a name that the code page cannot spell
// comes back from the ANSI ones as another name, which opens another key, or none.

namespace {

// Enough to list a key's subkeys and check it for a link, and to delete it as one.
const REGSAM kWalkAccess = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | DELETE;

// Opens the subkey itself, never what it points to, and tells whether it is a link.
LONG OpenAsLink(HKEY hParent, LPCWSTR lpName, REGSAM access, CRegKey& key, BOOL* pbLink)
{
    *pbLink = FALSE;
    if (!wide::Load())
        return ERROR_CALL_NOT_IMPLEMENTED;
    LONG lResult = key.Open(hParent, lpName, access, REG_OPTION_OPEN_LINK);
    if (lResult != ERROR_SUCCESS)
        return lResult;
    DWORD dwType = REG_NONE;
    DWORD cb = 0;
    lResult = wide::pRegQueryValueExW(key, L"SymbolicLinkValue", NULL, &dwType, NULL, &cb);
    if (lResult == ERROR_SUCCESS || lResult == ERROR_MORE_DATA) {
        *pbLink = dwType == REG_LINK;
        return ERROR_SUCCESS;
    }
    if (lResult == ERROR_FILE_NOT_FOUND)
        return ERROR_SUCCESS;
    key.Close();
    return lResult;
}

// Deletes the link that hLink holds open as a link. The registry functions delete a
// key by name, which follows the link; ntdll's NtDeleteKey deletes the opened key.
LONG DeleteLink(HKEY hLink)
{
    if (seam::pNtDeleteKey == NULL)
        return ERROR_PROC_NOT_FOUND;
    const LONG status = seam::pNtDeleteKey(hLink);
    if (status >= 0)
        return ERROR_SUCCESS;
    typedef ULONG(WINAPI * StatusToErrorFn)(LONG);
    const HMODULE hNtdll = GetModuleHandleA("ntdll.dll");
    const StatusToErrorFn pToError =
        hNtdll != NULL ? (StatusToErrorFn)(void*)GetProcAddress(hNtdll, "RtlNtStatusToDosError") : NULL;
    return pToError != NULL ? (LONG)pToError(status) : ERROR_GEN_FAILURE;
}

typedef CHeapText<WCHAR> CKeyPath;

// "first\second", or the one of them that is not empty.
CKeyPath Join(const CKeyPath& first, const CKeyPath& second)
{
    CKeyPath path(first);
    if (!first.IsEmpty() && !second.IsEmpty())
        path.Append((WCHAR)'\\');
    path.Append(second);
    return path;
}

// Removes the links below hKey, a plain key opened with kWalkAccess. On failure,
// failedKey is the path below hKey of the key where it happened ("" for hKey).
LONG RemoveLinksBelow(HKEY hKey, CKeyPath& failedKey)
{
    CHeapArray<WCHAR> name(256);
    for (DWORD dwIndex = 0;;) {
        DWORD cchName = (DWORD)name.Count();
        LONG lResult = wide::pRegEnumKeyExW(hKey, dwIndex, name.Get(), &cchName, NULL, NULL, NULL, NULL);
        if (lResult == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        if (lResult == ERROR_MORE_DATA && name.Count() < kRegistryNameLimit) {
            name.Resize(name.Count() * 2);
            continue;
        }
        if (lResult != ERROR_SUCCESS)
            return lResult;
        const CKeyPath subName(name.Get(), cchName);
        CRegKey hSub;
        BOOL bLink = FALSE;
        lResult = OpenAsLink(hKey, subName.Get(), kWalkAccess, hSub, &bLink);
        if (lResult == ERROR_SUCCESS)
            lResult = bLink ? DeleteLink(hSub) : RemoveLinksBelow(hSub, failedKey);
        if (lResult != ERROR_SUCCESS) {
            failedKey = Join(subName, failedKey);
            return lResult;
        }
        if (!bLink)
            ++dwIndex;   // after a removed link, the next subkey takes its place
    }
}

}  // namespace

BOOL IsRegistryLinkW(HKEY hParent, LPCWSTR lpName)
{
    CRegKey hKey;
    BOOL bLink = FALSE;
    const LONG lResult = OpenAsLink(hParent, lpName, KEY_QUERY_VALUE, hKey, &bLink);
    hKey.Close();   // first: the status set below is what the caller reads
    SetLastError((DWORD)lResult);
    return bLink;
}

LONG RemoveRegistryLinks(HKEY hKey, LPCSTR lpSubKey, BOOL* pbKeyRemoved, CString* pFailedKey)
{
    *pbKeyRemoved = FALSE;
    pFailedKey->Empty();
    CKeyPath subKey;
    subKey.AppendAscii(lpSubKey);   // the catalog's paths are ASCII
    CRegKey hOpened;
    BOOL bLink = FALSE;
    LONG lResult = OpenAsLink(hKey, subKey.Get(), kWalkAccess, hOpened, &bLink);
    if (lResult == ERROR_FILE_NOT_FOUND)
        return ERROR_SUCCESS;   // nothing to delete; the deletion will say so
    CKeyPath below;
    if (lResult == ERROR_SUCCESS) {
        lResult = bLink ? DeleteLink(hOpened) : RemoveLinksBelow(hOpened, below);
        *pbKeyRemoved = bLink && lResult == ERROR_SUCCESS;
    }
    if (lResult != ERROR_SUCCESS) {
        const CKeyPath failedKey = Join(subKey, below);
        *pFailedKey = wide::ToCodePage(failedKey.Get(), failedKey.Length());
    }
    return lResult;
}
