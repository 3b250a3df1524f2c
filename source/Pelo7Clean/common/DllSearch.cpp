#include "DllSearch.h"
#include <windows.h>
#include "PathCut.h"
#include "TestSeams.h"

namespace {
typedef BOOL (WINAPI* SetDefaultDllDirectoriesFn)(DWORD);
typedef BOOL (WINAPI* SetDllDirectoryAFn)(LPCSTR);
const DWORD kSearchSystem32 = 0x00000800;   // LOAD_LIBRARY_SEARCH_SYSTEM32

// What 98 to 7 (and Wine) load by name during a run, for the window, the input
// method, the message boxes and the shell's folder lookup, and do not all protect
// as known DLLs. Once a DLL of that name is loaded, a request by name gets it.
const char* const kLoadedByName[] = {
    "uxtheme.dll",    // visual styles: user32 loads it as the first window opens (XP on)
    "dwmapi.dll",     // desktop composition: uxtheme and user32 ask for it (Vista, 7)
    "imm32.dll",      // input methods: user32 loads it on Japanese 98 to XP
    "msctf.dll",      // text services: loaded into each window thread (XP on)
    "ole32.dll",      // the input method and text services start COM with it; a
                      //   known DLL on NT, but Wine's delay-loads find it anywhere
    "clbcatq.dll",    // and COM reads its catalog with this one (XP)
    "lpk.dll",        // language pack: user32 and gdi32 load it on 2000 and XP with
    "usp10.dll",      //   East Asian or complex-script support, lpk brings usp10
    "userenv.dll",    // profile paths for the shell's folder lookup (2000 on)
    "propsys.dll",    // the shell's known-folder code behind that lookup (Vista, 7)
    "cryptbase.dll",  // advapi32 forwards to it, the RPC runtime under COM loads it (Vista, 7)
};

// dwFlags: how the DLLs' own imports are found.
void PreloadFromSystemFolder(DWORD dwFlags)
{
    char path[MAX_PATH];
    const UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return;
    // No box for a DLL that cannot be read (98 asks for a disk otherwise).
    const UINT uOldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    for (const char* name : kLoadedByName) {
        CString dll(path);
        AppendPathPart(dll, name);
        if (dll.GetLength() >= MAX_PATH || GetFileAttributesA(dll) == INVALID_FILE_ATTRIBUTES)
            continue;   // not on this system: nobody will ask for it
        LoadLibraryExA(dll, NULL, dwFlags);   // kept for the life of the process
    }
    SetErrorMode(uOldMode);
}
}

void RestrictDllSearch()
{
    const HMODULE hKernel = GetModuleHandleA("kernel32.dll");
    if (hKernel == NULL)
        return;
    // 8, and Vista or 7 with the update that adds it.
    const SetDefaultDllDirectoriesFn pSetDefaultDllDirectories =
        (SetDefaultDllDirectoriesFn)(void*)seam::pGetProcAddress(hKernel, "SetDefaultDllDirectories");
    if (pSetDefaultDllDirectories != NULL && pSetDefaultDllDirectories(kSearchSystem32)) {
        // Preloaded all the same: a system DLL's delay-loaded import need not
        // follow the restricted search (Wine's do not).
        PreloadFromSystemFolder(kSearchSystem32);
        return;
    }
    // XP SP1 on: "" takes the current folder out of the search. The program's own
    // folder stays first in it, hence the preloading; the altered search finds the
    // preloaded DLLs' imports in the system folder, where they are.
    const SetDllDirectoryAFn pSetDllDirectoryA =
        (SetDllDirectoryAFn)(void*)seam::pGetProcAddress(hKernel, "SetDllDirectoryA");
    if (pSetDllDirectoryA != NULL)
        pSetDllDirectoryA("");
    PreloadFromSystemFolder(LOAD_WITH_ALTERED_SEARCH_PATH);
}
