// The one holder of the registry keys the program opens: each is closed exactly once,
// at the end of its holder's scope, through the seam that tests count closes with.
#pragma once
#include <windows.h>

// Characters in the longest key or value name, its terminator included: buffers for
// names grow up to this.
const size_t kRegistryNameLimit = 32768;

class CRegKey {
public:
    CRegKey() : m_hKey(NULL) {}
    ~CRegKey() { Close(); }

    // RegOpenKeyExA through its seam, or RegOpenKeyExW as wide::Load() found it
    // (ERROR_CALL_NOT_IMPLEMENTED where it did not). A key held before is closed first.
    // Returns the system's status; on failure the holder is empty.
    LONG Open(HKEY hParent, LPCSTR lpSubKey, REGSAM access, DWORD options = 0);
    LONG Open(HKEY hParent, LPCWSTR lpSubKey, REGSAM access, DWORD options = 0);
    void Close();

    operator HKEY() const { return m_hKey; }   // NULL when empty

private:
    HKEY m_hKey;
    CRegKey(const CRegKey&);
    CRegKey& operator=(const CRegKey&);
};
