// Times DeleteTheFolder on a folder tree that scripts/bench.sh has made.
//   engine_bench.exe <folder>   prints the milliseconds taken
#include <windows.h>
#include <stdio.h>
#include "DeleteTheFolder.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: engine_bench <folder>\n");
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const int result = DeleteTheFolder(argv[1], 0);
    QueryPerformanceCounter(&end);
    printf("%.0f\n", (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);
    return result == 1 && GetFileAttributesA(argv[1]) == INVALID_FILE_ATTRIBUTES ? 0 : 1;
}
