#include "DeleteTheFolder.h"
#include <windows.h>
#include "TestSeams.h"

namespace {

const int kMaxRetries = 10;          // after the first attempt
const DWORD kRetryWaitMs = 1000;

// Removes an emptied folder, waiting out another process that still holds it open.
void RemoveFolder(const char* lpFolderPath)
{
    if (seam::pRemoveDirectoryA(lpFolderPath) || GetLastError() != ERROR_SHARING_VIOLATION)
        return;
    for (int i = 0; i < kMaxRetries; ++i) {
        if (seam::pRemoveDirectoryA(lpFolderPath) || GetLastError() != ERROR_SHARING_VIOLATION)
            return;
        seam::pSleep(kRetryWaitMs);
    }
}

// A junction or symbolic link is removed itself and never entered: this program runs
// elevated, and what a link points to lies outside the tree being deleted. Some
// systems (Wine among them) follow the link even when asked not to, and removing
// through it would delete the folder or file behind it; so it is removed only when
// opening it without following yields the link itself.
void RemoveLink(const char* lpPath, BOOL bFolder)
{
    HANDLE hLink = CreateFileA(lpPath, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (hLink == INVALID_HANDLE_VALUE)
        return;
    BY_HANDLE_FILE_INFORMATION info;
    const BOOL bOpenedLink = GetFileInformationByHandle(hLink, &info)
                             && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    CloseHandle(hLink);
    if (!bOpenedLink)
        return;
    if (bFolder)
        seam::pRemoveDirectoryA(lpPath);
    else
        DeleteFileA(lpPath);
}

// The length of the path without the separators ('\' or '/') it ends in. Characters are
// read from the start: a 0x5C trail byte is no separator, and a trail byte whose code
// is also a lead byte's (0x83 0x81, say) does not hide the separator after it.
int LengthWithoutTrailingSeparators(const char* lpPath, int nLength)
{
    int nEnd = 0;
    for (int i = 0; i < nLength;) {
        const int nChar = IsDBCSLeadByte((BYTE)lpPath[i]) && i + 1 < nLength ? 2 : 1;
        if (nChar == 2 || (lpPath[i] != '\\' && lpPath[i] != '/'))
            nEnd = i + nChar;
        i += nChar;
    }
    return nEnd;
}

// 1 when nothing is left at the path; 0 while it is there, or may be (it cannot be asked).
int FolderGone(const char* lpFolderPath)
{
    if (GetFileAttributesA(lpFolderPath) != INVALID_FILE_ATTRIBUTES)
        return 0;
    const DWORD dwError = GetLastError();
    return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND ? 1 : 0;
}

BOOL IsDotEntry(const char* lpName)
{
    return lpName[0] == '.' && (lpName[1] == '\0' || (lpName[1] == '.' && lpName[2] == '\0'));
}

// lpFolderPath: a path shorter than MAX_PATH, of a folder that is not a link.
void DeleteTree(const char* lpFolderPath, int bFilesOnly)
{
    const int nLength = lstrlenA(lpFolderPath);

    const char* lpWildcard = LengthWithoutTrailingSeparators(lpFolderPath, nLength) < nLength ? "*.*" : "\\*.*";

    // A folder whose pattern does not fit cannot be searched; its removal below then
    // fails unless it is empty.
    if (nLength + lstrlenA(lpWildcard) < MAX_PATH) {
        char szPattern[MAX_PATH];
        lstrcpyA(szPattern, lpFolderPath);
        lstrcatA(szPattern, lpWildcard);

        WIN32_FIND_DATAA fd;
        HANDLE hFind = FindFirstFileA(szPattern, &fd);
        if (hFind != INVALID_HANDLE_VALUE) {
            char szChild[MAX_PATH];
            lstrcpyA(szChild, lpFolderPath);
            szChild[nLength] = '\\';
            char* lpChildName = szChild + nLength + 1;
            do {
                if (fd.cFileName[0] == '\0')
                    break;
                if (IsDotEntry(fd.cFileName))
                    continue;
                // An entry whose path does not fit is left alone rather than named by a
                // cut path, which could be another file's.
                if (nLength + 1 + lstrlenA(fd.cFileName) >= MAX_PATH)
                    continue;
                lstrcpyA(lpChildName, fd.cFileName);

                const BOOL bFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                if (bFolder && bFilesOnly)
                    continue;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                    RemoveLink(szChild, bFolder);
                else if (bFolder)
                    DeleteTree(szChild, 0);
                else
                    DeleteFileA(szChild);   // read-only or in use: left in place
            } while (FindNextFileA(hFind, &fd));
            FindClose(hFind);
        }
    }

    if (!bFilesOnly)
        RemoveFolder(lpFolderPath);
}

}  // namespace

int DeleteTheFolder(const char* lpFolderPath, int bFilesOnly)
{
    if (lpFolderPath == NULL || lpFolderPath[0] == '\0')
        return 0;
    // A path beyond the platform's limit is refused, not cut to a different one.
    const int nLength = lstrlenA(lpFolderPath);
    if (nLength >= MAX_PATH)
        return 0;

    // Asked with any trailing separator, some systems answer for what a link points to:
    // ask without. A drive's root keeps its own ("C:" alone is a current folder).
    char szFolder[MAX_PATH];
    lstrcpyA(szFolder, lpFolderPath);
    const int nEnd = LengthWithoutTrailingSeparators(szFolder, nLength);
    if (nEnd > 0 && !(nEnd == 2 && szFolder[1] == ':'))
        szFolder[nEnd] = '\0';
    const DWORD dwAttributes = GetFileAttributesA(szFolder);
    if (dwAttributes != INVALID_FILE_ATTRIBUTES) {
        // A file, or a link to one, is no folder to empty.
        if (!(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return 1;
        if (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            if (bFilesOnly)
                return 1;
            RemoveLink(szFolder, TRUE);
            return FolderGone(szFolder);
        }
    }
    DeleteTree(lpFolderPath, bFilesOnly);
    // Best effort, but never silent about the result: a folder that is still there
    // (a read-only or open file inside, a name the calls cannot reach) is a failure.
    return bFilesOnly ? 1 : FolderGone(szFolder);
}
