// Path helpers that respect double-byte characters.
#pragma once

// Cuts the path at its last backslash (the backslash itself is removed).
// Returns 1 when it cut, 0 when the path holds no backslash (the buffer is unchanged).
int CutFileName(char* path);
