// Message boxes.
#pragma once
#include <windows.h>

// MessageBoxA on a copy of text (at most 511 bytes are shown, cut between
// characters); on Vista and later the copy loses its line feeds. text itself is
// never changed.
int ShowMessage(HWND hOwner, LPCSTR text, LPCSTR caption, UINT style);

// String nId of the string table, loaded into g_msgText, shown over hOwner with
// g_appTitle as caption: every box of the program's own goes through here.
int ShowString(HWND hOwner, UINT nId, UINT style);
// The same for a string with one %d, which shows nCode.
int ShowStringWithCode(HWND hOwner, UINT nId, int nCode, UINT style);
