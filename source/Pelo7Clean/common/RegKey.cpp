#include "RegKey.h"
#include "TestSeams.h"
#include "WideCalls.h"

LONG CRegKey::Open(HKEY hParent, LPCSTR lpSubKey, REGSAM access, DWORD options)
{
    Close();
    HKEY hKey = NULL;
    const LONG lResult = seam::pRegOpenKeyExA(hParent, lpSubKey, options, access, &hKey);
    if (lResult == ERROR_SUCCESS)
        m_hKey = hKey;
    return lResult;
}

LONG CRegKey::Open(HKEY hParent, LPCWSTR lpSubKey, REGSAM access, DWORD options)
{
    Close();
    if (wide::pRegOpenKeyExW == NULL)
        return ERROR_CALL_NOT_IMPLEMENTED;
    HKEY hKey = NULL;
    const LONG lResult = wide::pRegOpenKeyExW(hParent, lpSubKey, options, access, &hKey);
    if (lResult == ERROR_SUCCESS)
        m_hKey = hKey;
    return lResult;
}

void CRegKey::Close()
{
    if (m_hKey != NULL) {
        seam::pRegCloseKey(m_hKey);
        m_hKey = NULL;
    }
}
