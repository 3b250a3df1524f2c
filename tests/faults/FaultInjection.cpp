// Linked only into Pelo7Clean_faults.exe, a test build of the program: the
// variable PELO7CLEAN_FAULT makes registry deletions fail as a locked-down key
// would on Windows, which Wine cannot produce.
#include <windows.h>
#include <stdlib.h>
#include <string.h>
#include "TestSeams.h"

namespace {
LONG WINAPI DeniedRegDeleteKeyA(HKEY, LPCSTR) { return ERROR_ACCESS_DENIED; }
DWORD WINAPI DeniedSHDeleteKeyA(HKEY, LPCSTR) { return ERROR_ACCESS_DENIED; }

struct Install {
    Install()
    {
        const char* fault = getenv("PELO7CLEAN_FAULT");
        if (fault != NULL && strcmp(fault, "deny-delete") == 0) {
            seam::pRegDeleteKeyA = DeniedRegDeleteKeyA;
            seam::pSHDeleteKeyA = DeniedSHDeleteKeyA;
        }
    }
} s_install;
}
