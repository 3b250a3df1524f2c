#include "RegistryLinks.h"
#include "TestSeams.h"

namespace {

// Enough to list a key's subkeys and check it for a link, and to delete it as one.
const REGSAM kWalkAccess = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | DELETE;
// 255 characters of up to two bytes each in a double-byte code page, and the terminator.
const DWORD kNameSize = 512;

// Opens the subkey itself, never what it points to, and tells whether it is a link.
LONG OpenAsLink(HKEY hParent, LPCSTR lpName, REGSAM access, HKEY* phKey, BOOL* pbLink)
{
    *pbLink = FALSE;
    LONG lResult = RegOpenKeyExA(hParent, lpName, REG_OPTION_OPEN_LINK, access, phKey);
    if (lResult != ERROR_SUCCESS) {
        *phKey = NULL;
        return lResult;
    }
    DWORD dwType = REG_NONE;
    DWORD cb = 0;
    lResult = RegQueryValueExA(*phKey, "SymbolicLinkValue", NULL, &dwType, NULL, &cb);
    if (lResult == ERROR_SUCCESS || lResult == ERROR_MORE_DATA) {
        *pbLink = dwType == REG_LINK;
        return ERROR_SUCCESS;
    }
    if (lResult == ERROR_FILE_NOT_FOUND)
        return ERROR_SUCCESS;
    RegCloseKey(*phKey);
    *phKey = NULL;
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

// Two subkeys listed under one name: a name that the code page cannot hold came back
// as another's, and opening it by that name would check the other key in its place.
LONG CheckNameUnique(HKEY hKey, DWORD dwIndex, LPCSTR lpName)
{
    char szEarlier[kNameSize];
    for (DWORD i = 0; i < dwIndex; ++i) {
        DWORD cch = kNameSize;
        const LONG lResult = RegEnumKeyExA(hKey, i, szEarlier, &cch, NULL, NULL, NULL, NULL);
        if (lResult != ERROR_SUCCESS)
            return lResult;
        if (lstrcmpiA(szEarlier, lpName) == 0)
            return ERROR_NO_UNICODE_TRANSLATION;
    }
    return ERROR_SUCCESS;
}

// Removes the links below hKey, a plain key opened with kWalkAccess. On failure,
// failedKey is the path below hKey of the key where it happened ("" for hKey).
LONG RemoveLinksBelow(HKEY hKey, CString& failedKey)
{
    char szName[kNameSize];
    for (DWORD dwIndex = 0;;) {
        DWORD cchName = kNameSize;
        LONG lResult = RegEnumKeyExA(hKey, dwIndex, szName, &cchName, NULL, NULL, NULL, NULL);
        if (lResult == ERROR_NO_MORE_ITEMS)
            return ERROR_SUCCESS;
        if (lResult != ERROR_SUCCESS)
            return lResult;
        HKEY hSub = NULL;
        BOOL bLink = FALSE;
        lResult = CheckNameUnique(hKey, dwIndex, szName);
        if (lResult == ERROR_SUCCESS)
            lResult = OpenAsLink(hKey, szName, kWalkAccess, &hSub, &bLink);
        if (lResult == ERROR_SUCCESS) {
            lResult = bLink ? DeleteLink(hSub) : RemoveLinksBelow(hSub, failedKey);
            RegCloseKey(hSub);
        }
        if (lResult != ERROR_SUCCESS) {
            CString path(szName);
            if (!failedKey.IsEmpty()) {
                path += '\\';
                path += failedKey;
            }
            failedKey = path;
            return lResult;
        }
        if (!bLink)
            ++dwIndex;   // after a removed link, the next subkey takes its place
    }
}

}  // namespace

BOOL IsRegistryLinkA(HKEY hParent, LPCSTR lpName)
{
    HKEY hKey = NULL;
    BOOL bLink = FALSE;
    const LONG lResult = OpenAsLink(hParent, lpName, KEY_QUERY_VALUE, &hKey, &bLink);
    if (hKey != NULL)
        RegCloseKey(hKey);
    SetLastError((DWORD)lResult);
    return bLink;
}

LONG RemoveRegistryLinks(HKEY hKey, LPCSTR lpSubKey, BOOL* pbKeyRemoved, CString* pFailedKey)
{
    *pbKeyRemoved = FALSE;
    pFailedKey->Empty();
    HKEY hOpened = NULL;
    BOOL bLink = FALSE;
    LONG lResult = OpenAsLink(hKey, lpSubKey, kWalkAccess, &hOpened, &bLink);
    if (lResult == ERROR_FILE_NOT_FOUND)
        return ERROR_SUCCESS;   // nothing to delete; the deletion will say so
    CString below;
    if (lResult == ERROR_SUCCESS) {
        lResult = bLink ? DeleteLink(hOpened) : RemoveLinksBelow(hOpened, below);
        RegCloseKey(hOpened);
        *pbKeyRemoved = bLink && lResult == ERROR_SUCCESS;
    }
    if (lResult != ERROR_SUCCESS) {
        *pFailedKey = lpSubKey;
        if (!below.IsEmpty()) {
            *pFailedKey += '\\';
            *pFailedKey += below;
        }
    }
    return lResult;
}
