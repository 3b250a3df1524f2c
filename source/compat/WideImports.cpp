// ANSI stand-ins for the wide kernel functions that the static runtime imports.
//
// libgcc's thread, unwinder and emulated-TLS support calls CreateSemaphoreW, and
// two helpers of the C runtime library (code page lookup, rand_s) call
// GetModuleHandleW and LoadLibraryW. Windows 98 exports these only as stubs that
// fail with ERROR_CALL_NOT_IMPLEMENTED. The runtime calls them through their
// import pointers (__imp__Name@N); defining those pointers here satisfies the
// references before the linker searches the kernel32 import library, so the
// wide names never enter the import table and the calls land on the ANSI forms.
#include <windows.h>

namespace {

// Narrows a name to the system code page; false (with the last error set by the
// conversion) if it does not fit.
bool ToAnsi(LPCWSTR wide, char (&ansi)[MAX_PATH])
{
    return WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, MAX_PATH, NULL, NULL) != 0;
}

HANDLE WINAPI AnsiCreateSemaphore(LPSECURITY_ATTRIBUTES attributes, LONG initialCount,
                                  LONG maximumCount, LPCWSTR name)
{
    if (!name)   // the runtime's semaphores are all unnamed
        return CreateSemaphoreA(attributes, initialCount, maximumCount, NULL);
    char ansi[MAX_PATH];
    return ToAnsi(name, ansi) ? CreateSemaphoreA(attributes, initialCount, maximumCount, ansi) : NULL;
}

HMODULE WINAPI AnsiGetModuleHandle(LPCWSTR name)
{
    if (!name)
        return GetModuleHandleA(NULL);
    char ansi[MAX_PATH];
    return ToAnsi(name, ansi) ? GetModuleHandleA(ansi) : NULL;
}

HMODULE WINAPI AnsiLoadLibrary(LPCWSTR name)
{
    char ansi[MAX_PATH];
    if (!name || !ToAnsi(name, ansi)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    return LoadLibraryA(ansi);
}

typedef HANDLE (WINAPI *CreateSemaphoreFn)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR);
typedef HMODULE (WINAPI *ModuleNameFn)(LPCWSTR);

} // namespace

// The import pointers, under the exact names that the runtime's objects refer to.
extern "C" {
CreateSemaphoreFn compat_CreateSemaphoreW __asm__("__imp__CreateSemaphoreW@16") = AnsiCreateSemaphore;
ModuleNameFn compat_GetModuleHandleW __asm__("__imp__GetModuleHandleW@4") = AnsiGetModuleHandle;
ModuleNameFn compat_LoadLibraryW __asm__("__imp__LoadLibraryW@4") = AnsiLoadLibrary;
}
