// Restore files: registry scripts that put back the keys a removal deletes. The
// system's registry editor imports them by a double-click or with "regedit /s FILE".
#pragma once
#include <windows.h>
#include "HeapText.h"

// The keys under HKEY_LOCAL_MACHINE that are about to be deleted, read whole.
//
// On the NT family the script is the registry editor's Unicode one (version 5.00,
// UTF-16LE with its byte-order mark), read with the wide-character calls, so that
// every name and every byte comes back, and it names each key where the system holds
// it (under Wow6432Node where a 32-bit process is redirected). On the 98 family it is
// a REGEDIT4 script in the system code page. Strings that the editor would not give
// back exactly from quotes go as hex with their exact bytes.
//
// A key that cannot be read is logged (once, where it failed) and passed over, and the
// script is then incomplete; a registry link is not followed, and not written either
// (a script cannot make one): the log names it.
class CRestoreScript {
public:
    explicit CRestoreScript(BOOL bUnicode);

    // Adds the key with every value and subkey as it stands; a key that does not
    // exist adds nothing. Throws when memory runs out.
    void AddKey(LPCSTR lpSubKey);
    BOOL IsEmpty() const { return m_keyCount == 0; }
    BOOL IsComplete() const { return m_bComplete; }
    // The whole file as it is written: header, keys, final line end.
    CHeapText<char> FileBytes() const;

private:
    BOOL m_bUnicode;
    BOOL m_bComplete;
    int m_keyCount;
    CHeapText<char> m_narrow;     // REGEDIT4 text
    CHeapText<WCHAR> m_wide;      // Unicode text
};

// Writes the bytes to a new file "Pelo7Clean-YYYYMMDD-HHMMSS.reg" (local time; "_02" to
// "_99" added when that name is taken) in the folder: on the NT family lpFolderW, of any
// length, through the long-path form of the calls; on the 98 family the folder of
// lpLogPath, within MAX_PATH. An existing file is never replaced. Flushed and closed
// before it returns. FALSE, logged, with nothing left behind, when it could not be
// written (no folder given included).
BOOL WriteRestoreFile(const CHeapText<char>& bytes, BOOL bUnicode, LPCWSTR lpFolderW, LPCSTR lpLogPath);
