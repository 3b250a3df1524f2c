// The failure log: one time-stamped line per entry, appended to the log file.
#pragma once
#include <windows.h>
#include "AfxString.h"
#include "Globals.h"

// Formats "<file>(<line>) : <message>" from the last component of sourcePath and
// appends it. Never fails: an entry that cannot be written is dropped.
void WriteLog(CString logPath, CString sourcePath, int line, LPCSTR format, ...);

// Prefixes the local time and "  ", trims trailing white space and appends the
// line with CR LF to the file, opened exclusively. An empty path drops it, and so
// does a file that is not a plain one (a link; see PlainFile.h).
void AppendLogLine(CString logPath, CString entry);

// The catch-all guard: call first thing inside catch (...). Logs guardMessage
// (one %d) with the thread's last error code as it stood when the exception
// arrived, and returns that code.
DWORD LogGuardFailure(LPCSTR sourcePath, int line, LPCSTR guardMessage);

#define LOG_ERROR(...) WriteLog(g_logPath, __FILE__, __LINE__, __VA_ARGS__)
#define LOG_GUARD_FAILURE(guardMessage) LogGuardFailure(__FILE__, __LINE__, guardMessage)
