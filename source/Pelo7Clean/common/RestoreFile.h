// Restore files: registry scripts that put back the keys a removal deletes. The
// system's registry editor imports them on every Windows from 98 on, by a
// double-click or with "regedit /s FILE".
#pragma once
#include <windows.h>
#include "AfxString.h"

// The keys under HKEY_LOCAL_MACHINE that are about to be deleted, as REGEDIT4 text
// in the system code page. Failures are logged here, once; after one, the script is
// incomplete and must not be saved.
class CRestoreScript {
public:
    CRestoreScript() {}

    // Adds the key with every value and subkey as it stands. A key that does not exist
    // adds nothing. FALSE when it could not be read whole.
    BOOL AddKey(LPCSTR lpSubKey);
    BOOL IsEmpty() const { return m_text.IsEmpty(); }
    // The whole file: header, keys, final line end.
    CString FileText() const;

    // Writes the script to a new file "Pelo7Clean-YYYYMMDD-HHMMSS.reg" (local time; "_02"
    // to "_99" added when that name is taken) in the folder of lpLogPath; an existing file
    // is never replaced. Flushed and closed before it returns. FALSE, with nothing left
    // behind, when it could not be written (lpLogPath empty included).
    BOOL Save(LPCSTR lpLogPath) const;

private:
    LONG AddTree(HKEY hKey, const CString& path);   // logs a failure
    CString m_text;

    CRestoreScript(const CRestoreScript&);
    CRestoreScript& operator=(const CRestoreScript&);
};

