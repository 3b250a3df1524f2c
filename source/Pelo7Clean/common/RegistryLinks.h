// Registry symbolic links. This program runs elevated, and a link planted in a key
// it deletes points outside that key: deleting through the link would delete the
// key behind it. These routines open a link as itself (REG_OPTION_OPEN_LINK) and
// never follow one. NT family only: the 98 family has no registry links.
#pragma once
#include <windows.h>
#include "AfxString.h"

// TRUE when the subkey lpName of hParent is a registry link: opened as a link, it
// holds "SymbolicLinkValue" of type REG_LINK. FALSE for a plain key, and also when
// it cannot be told (no such key, access denied, no wide-character calls); after
// FALSE, GetLastError() is ERROR_SUCCESS for a plain key and the reason otherwise.
BOOL IsRegistryLinkW(HKEY hParent, LPCWSTR lpName);

// Removes, each as a link, every registry link in the key lpSubKey of hKey at any
// depth, the key itself included, and leaves the plain keys for the deletion that
// follows. ERROR_SUCCESS when no link is left, or there is no such key; then
// *pbKeyRemoved tells whether the key itself was a link and is gone. Any other code
// (ERROR_FILE_NOT_FOUND included, for a subkey that its listed name does not open):
// a link could not be removed without following it, or a key could not be checked,
// and *pFailedKey names that key (lpSubKey and the path below it). Nothing is ever
// deleted through a link.
LONG RemoveRegistryLinks(HKEY hKey, LPCSTR lpSubKey, BOOL* pbKeyRemoved, CString* pFailedKey);
