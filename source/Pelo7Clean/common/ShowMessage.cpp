#include "ShowMessage.h"
#include <string.h>
#include "AfxString.h"
#include "OsKind.h"
#include "TestSeams.h"

int ShowMessage(HWND hOwner, LPCSTR text, LPCSTR caption, UINT style)
{
    char work[512];
    memset(work, 0, sizeof work);
    lstrcpynA(work, text, sizeof work);
    // Vista and later wrap message box text themselves; the line feeds would only
    // add ragged breaks. Carriage returns stay.
    if (GetOsKind() >= 11) {
        CString s(work);
        s.Replace("\n", "");
        memset(work, 0, sizeof work);
        lstrcpynA(work, s, sizeof work);
    }
    return seam::pMessageBoxA(hOwner, work, caption, style);
}
