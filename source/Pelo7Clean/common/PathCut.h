// Path helpers that respect double-byte characters.
#pragma once
#include "AfxString.h"

// Cuts the path at its last backslash (the backslash itself is removed).
// Returns 1 when it cut, 0 when the path holds no backslash (the buffer is unchanged).
int CutFileName(char* path);

// Appends name to path with one backslash between them (none is added to an empty path,
// nor after one that ends in a backslash; a 0x5C trail byte is no backslash).
void AppendPathPart(CString& path, const char* name);
