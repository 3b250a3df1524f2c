// Functions that the executable may import: each exists, by name, in the system
// libraries of both Windows 98 and Windows 2000. Vetted one by one; the rules:
// - Only ANSI forms. Windows 98 exports most wide ("W") functions as stubs that
//   fail, so none of them is listed.
// - Nothing that came with NT 4 only or with a later system (TryEnterCriticalSection,
//   GetTickCount64, AddVectoredExceptionHandler, GetHandleInformation, SHGetFolderPathA,
//   wnsprintfA, ...).
// - The C runtime is the system's msvcrt.dll, version 5.0 on the first Windows 98
//   (98 SE has 6.0). Its list below was checked name by name against the public
//   export list of the mingw-w64 runtime, mingw-w64-crt/lib-common/msvcrt.def.in,
//   which groups the exports by the msvcrt.dll version that added them: every name
//   here is in its first group, the exports of Visual C++ 4.2's msvcrt.dll (and NT
//   4's), all of which Windows 98 has. Nothing of the later groups: _mbcasemap
//   (5.0 SP1), __lc_collate_cp (6.0), _time64 and the other 64-bit time and file
//   functions (Me, 2000), __iob_func, ___lc_codepage_func, ___mb_cur_max_func,
//   _vscprintf, _strtoi64, _aligned_malloc (XP), ...
// Each entry is a library and the blank-separated names allowed from it.
#pragma once

struct ImportAllowance {
    const char* dll;        // lower case
    const char* functions;  // blank separated
};

const ImportAllowance kAllowedImports[] = {
    {"kernel32.dll",
     // handles and synchronisation
     "CloseHandle DuplicateHandle CreateMutexA ReleaseMutex CreateEventA SetEvent ResetEvent "
     "CreateSemaphoreA ReleaseSemaphore WaitForSingleObject WaitForMultipleObjects "
     "InitializeCriticalSection EnterCriticalSection LeaveCriticalSection DeleteCriticalSection "
     "InterlockedIncrement InterlockedDecrement InterlockedExchange InterlockedCompareExchange "
     // processes, threads, thread-local storage, errors
     "GetCurrentProcess GetCurrentProcessId GetCurrentThread GetCurrentThreadId "
     "ExitProcess TerminateProcess CreateThread ExitThread GetExitCodeThread Sleep "
     "TlsAlloc TlsFree TlsGetValue TlsSetValue "
     "GetLastError SetLastError SetErrorMode RaiseException RtlUnwind "
     "SetUnhandledExceptionFilter UnhandledExceptionFilter IsDebuggerPresent OutputDebugStringA "
     // modules and resources
     "GetModuleHandleA GetModuleFileNameA LoadLibraryA LoadLibraryExA FreeLibrary GetProcAddress "
     "FindResourceA FindResourceExA LoadResource LockResource SizeofResource FreeResource "
     // memory
     "VirtualAlloc VirtualFree VirtualProtect VirtualQuery "
     "GetProcessHeap HeapCreate HeapDestroy HeapAlloc HeapReAlloc HeapFree HeapSize "
     "LocalAlloc LocalReAlloc LocalFree GlobalAlloc GlobalReAlloc GlobalFree GlobalLock GlobalUnlock GlobalSize "
     "IsBadReadPtr IsBadWritePtr "
     // start-up environment and system information
     "GetStartupInfoA GetCommandLineA GetEnvironmentStrings GetEnvironmentVariableA "
     "FreeEnvironmentStringsA GetVersion GetVersionExA GetSystemInfo GetStdHandle "
     "GetWindowsDirectoryA GetSystemDirectoryA GetTempPathA "
     // files and folders
     "CreateFileA ReadFile WriteFile SetFilePointer SetEndOfFile FlushFileBuffers GetFileSize "
     "GetFileType GetFileTime SetFileTime DeleteFileA CopyFileA MoveFileA CreateDirectoryA "
     "RemoveDirectoryA GetFileAttributesA SetFileAttributesA FindFirstFileA FindNextFileA "
     "FindClose GetFileInformationByHandle GetFullPathNameA GetCurrentDirectoryA SetHandleCount "
     // time
     "GetLocalTime GetSystemTime GetSystemTimeAsFileTime GetTickCount GetTimeZoneInformation "
     "FileTimeToLocalFileTime FileTimeToSystemTime SystemTimeToFileTime LocalFileTimeToFileTime "
     "CompareFileTime QueryPerformanceCounter QueryPerformanceFrequency "
     // code pages, double-byte characters, ANSI strings
     "GetACP GetOEMCP GetCPInfo IsValidCodePage IsDBCSLeadByte IsDBCSLeadByteEx "
     "MultiByteToWideChar WideCharToMultiByte GetUserDefaultLCID GetThreadLocale "
     "GetLocaleInfoA GetStringTypeA LCMapStringA CompareStringA "
     "lstrlenA lstrcpyA lstrcpynA lstrcatA lstrcmpA lstrcmpiA MulDiv FormatMessageA"},

    {"user32.dll",
     // dialogs and windows
     "DialogBoxParamA DialogBoxIndirectParamA CreateDialogParamA CreateDialogIndirectParamA "
     "EndDialog GetDlgItem GetDlgCtrlID IsDialogMessageA SendDlgItemMessageA "
     "SetDlgItemTextA GetDlgItemTextA GetNextDlgTabItem MapDialogRect "
     "RegisterClassA RegisterClassExA UnregisterClassA GetClassInfoA GetClassNameA "
     "CreateWindowExA DestroyWindow DefWindowProcA DefDlgProcA CallWindowProcA "
     "GetWindowLongA SetWindowLongA GetPropA SetPropA RemovePropA "
     "ShowWindow UpdateWindow EnableWindow IsWindow IsWindowEnabled IsWindowVisible IsIconic "
     "IsChild GetParent GetWindow GetDesktopWindow GetActiveWindow GetForegroundWindow "
     "SetForegroundWindow GetFocus SetFocus FindWindowA GetLastActivePopup "
     "SetWindowTextA GetWindowTextA GetWindowTextLengthA "
     "GetWindowRect GetClientRect SetWindowPos MoveWindow ScreenToClient ClientToScreen "
     "MapWindowPoints InvalidateRect ValidateRect RedrawWindow "
     // messages and hooks
     "SendMessageA PostMessageA PostQuitMessage GetMessageA PeekMessageA TranslateMessage "
     "DispatchMessageA SetWindowsHookExA UnhookWindowsHookEx CallNextHookEx "
     // painting, icons, cursors, metrics
     "BeginPaint EndPaint GetDC GetWindowDC ReleaseDC DrawIcon DrawTextA FillRect "
     "GetSysColor GetSysColorBrush GetSystemMetrics SystemParametersInfoA "
     "LoadIconA LoadCursorA LoadImageA DestroyIcon CreateIconFromResourceEx SetCursor "
     "SetRect SetRectEmpty CopyRect OffsetRect InflateRect PtInRect IsRectEmpty "
     // menus
     "GetSystemMenu GetMenu GetSubMenu EnableMenuItem CheckMenuItem GetMenuState "
     "GetMenuItemCount GetMenuItemID DestroyMenu "
     // text, message boxes, help
     "LoadStringA MessageBoxA MessageBeep wsprintfA wvsprintfA CharNextA CharPrevA "
     "CharUpperA CharLowerA WinHelpA"},

    {"gdi32.dll",
     "SelectObject DeleteObject GetStockObject GetObjectA CreateFontA CreateFontIndirectA "
     "CreateSolidBrush CreatePen CreateCompatibleDC DeleteDC SaveDC RestoreDC GetDeviceCaps "
     "GetTextExtentPoint32A GetTextExtentPointA GetTextMetricsA TextOutA ExtTextOutA "
     "SetBkColor SetBkMode SetTextColor GetMapMode SetMapMode"},

    {"advapi32.dll",
     // registry
     "RegOpenKeyExA RegOpenKeyA RegCreateKeyExA RegCloseKey RegQueryValueExA RegSetValueExA "
     "RegDeleteKeyA RegDeleteValueA RegEnumKeyExA RegEnumKeyA RegEnumValueA RegQueryInfoKeyA "
     // security: exported by Windows 98 as well, where they fail; only called on
     // the NT family
     "OpenProcessToken GetTokenInformation AllocateAndInitializeSid EqualSid FreeSid "
     "GetUserNameA"},

    {"shell32.dll",
     // SHGetSpecialFolderPathA came with shell 4.71, which Windows 98 has
     "SHGetSpecialFolderPathA SHGetSpecialFolderLocation SHGetPathFromIDListA SHGetMalloc "
     "ShellExecuteA"},

    {"shlwapi.dll",
     // all from version 4.71 of the library, which Windows 98 has
     "PathAddBackslashA PathRemoveBackslashA PathFindFileNameA PathFindExtensionA "
     "PathRemoveFileSpecA PathAppendA PathCombineA PathFileExistsA PathIsDirectoryA "
     "PathStripPathA SHDeleteKeyA SHDeleteEmptyKeyA SHGetValueA SHSetValueA SHDeleteValueA"},

    {"msvcrt.dll",
     // process start-up and exit as the toolchain's start-up code uses them
     "__getmainargs __initenv __mb_cur_max __p__acmdln __p__commode __p__fmode __p__environ "
     "__set_app_type __setusermatherr __dllonexit _amsg_exit _cexit _c_exit _exit _initterm "
     "_onexit _lock _unlock _XcptFilter _controlfp _fpreset _errno _iob _pctype __lc_codepage "
     "abort atexit exit signal raise setlocale localeconv "
     // memory and strings
     "malloc calloc realloc free _msize memchr memcmp memcpy memmove memset "
     "strlen strcpy strncpy strcat strncat strcmp strncmp strchr strrchr strstr strspn strcspn "
     "strpbrk strtok strcoll strxfrm strerror _strdup _stricmp _strnicmp wcslen "
     "atoi atol atof strtol strtoul strtod _itoa _ltoa _ultoa "
     "tolower toupper isalpha isdigit isspace isalnum isupper islower isprint isxdigit "
     "mblen mbtowc wctomb mbstowcs wcstombs "
     // formatted output and streams
     "sprintf _snprintf vsprintf _vsnprintf printf vprintf fprintf vfprintf puts fputs fputc "
     "putc fwrite fread fgets fgetc getc ungetc fopen fclose fflush fseek ftell setvbuf "
     "_fileno _fdopen _setmode _isatty _open _close _read _write _lseek _get_osfhandle _open_osfhandle "
     // 32-bit time functions, the only ones before Windows Me and 2000
     "time localtime gmtime mktime strftime clock qsort bsearch"},
};
