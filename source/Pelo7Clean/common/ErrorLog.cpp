#include "ErrorLog.h"
#include <shlwapi.h>
#include <string.h>
#include "AfxFile.h"
#include "AfxTime.h"
#include "PlainFile.h"
#include "TestSeams.h"

void WriteLog(CString logPath, CString sourcePath, int line, LPCSTR format, ...)
{
    char fileName[MAX_PATH];
    memset(fileName, 0, sizeof fileName);
    lstrcpynA(fileName, seam::pPathFindFileNameA(sourcePath), sizeof fileName);

    CString message;
    va_list args;
    va_start(args, format);
    try {
        message.FormatV(format, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);

    CString entry;
    entry.Format("%s(%d) : %s", fileName, line, (LPCSTR)message);
    AppendLogLine(logPath, entry);
}

void AppendLogLine(CString logPath, CString entry)
{
    // Logging is off until start-up has built the path (or when it did not fit).
    if (logPath.IsEmpty())
        return;

    CString text;
    text += CTime::GetCurrentTime().Format("%Y/%m/%d %H:%M:%S");
    text += "  ";
    text += entry;
    text.TrimRight();
    text += "\n";

    try {
        // Beside the executable anyone may have put a link in its place: a log
        // that is not a plain file is treated as one that cannot be opened.
        HANDLE hFile = OpenPlainFile(logPath);
        if (hFile == INVALID_HANDLE_VALUE)
            return;
        CStdioFile file(hFile, CFile::modeReadWrite);
        file.Seek(0, CFile::end);
        file.WriteString(text);
        file.Flush();
    } catch (...) {
        // A log that cannot be written must not disturb the cleaning.
    }
}

DWORD LogGuardFailure(LPCSTR sourcePath, int line, LPCSTR guardMessage)
{
    const DWORD dwError = ::GetLastError();
    WriteLog(g_logPath, sourcePath, line, guardMessage, (int)dwError);
    return dwError;
}
