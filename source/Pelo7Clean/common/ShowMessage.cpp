#include "ShowMessage.h"
#include <string.h>
#include "AfxString.h"
#include "Globals.h"
#include "OsKind.h"
#include "TestSeams.h"

namespace {
// Bytes of text that fit in limit bytes without splitting a double-byte character:
// a lead byte left last would run into the terminator.
int FittingLength(LPCSTR text, int limit)
{
    int n = 0;
    while (text[n] != '\0') {
        const int size = IsDBCSLeadByte((BYTE)text[n]) && text[n + 1] != '\0' ? 2 : 1;
        if (n + size > limit)
            break;
        n += size;
    }
    return n;
}
}

int ShowMessage(HWND hOwner, LPCSTR text, LPCSTR caption, UINT style)
{
    char work[512];
    memset(work, 0, sizeof work);
    memcpy(work, text, FittingLength(text, sizeof work - 1));
    // Vista and later wrap message box text themselves; the line feeds would only
    // add ragged breaks. Carriage returns stay.
    if (IsVistaOrLater(GetOsKind())) {
        CString s(work);
        s.Replace("\n", "");
        memset(work, 0, sizeof work);
        lstrcpynA(work, s, sizeof work);
    }
    return seam::pMessageBoxA(hOwner, work, caption, style);
}

int ShowString(HWND hOwner, UINT nId, UINT style)
{
    LoadStringA(g_hResInstance, nId, g_msgText, sizeof g_msgText);
    return ShowMessage(hOwner, g_msgText, g_appTitle, style);
}

int ShowStringWithCode(HWND hOwner, UINT nId, int nCode, UINT style)
{
    // Room for the longest template and the longest number.
    char text[522];
    memset(text, 0, sizeof text);
    LoadStringA(g_hResInstance, nId, g_msgText, sizeof g_msgText);
    wsprintfA(text, g_msgText, nCode);
    return ShowMessage(hOwner, text, g_appTitle, style);
}
