#include "PathCut.h"
#include <windows.h>

int CutFileName(char* path)
{
    char* p = path + lstrlenA(path);
    for (;;) {
        char* q = CharPrevA(path, p);
        if (p - q <= 0)
            return 0;
        // Only a single-byte backslash separates; a 0x5C trail byte is stepped over.
        if (p - q == 1 && *q == '\\') {
            *q = '\0';
            return 1;
        }
        p = q;
    }
}

void AppendPathPart(CString& path, const char* name)
{
    const char* p = path;
    const int n = path.GetLength();
    if (n > 0 && *CharPrevA(p, p + n) != '\\')
        path += '\\';
    path += name;
}
