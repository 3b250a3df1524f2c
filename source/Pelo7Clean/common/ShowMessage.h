// Message boxes.
#pragma once
#include <windows.h>

// MessageBoxA on a copy of text (at most 511 bytes are shown, cut between
// characters); on Vista and later the copy loses its line feeds. text itself is
// never changed.
int ShowMessage(HWND hOwner, LPCSTR text, LPCSTR caption, UINT style);
