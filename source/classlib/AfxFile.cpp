#include "AfxFile.h"
#include <fcntl.h>
#include <io.h>
#include <string.h>

static void ThrowLastError()
{
    const LONG lOsError = (LONG)::GetLastError();
    throw CFileException(CFileException::OsErrorToCause(lOsError), lOsError);
}

// ---- CFile -------------------------------------------------------------------

CFile::CFile() : m_hFile(INVALID_HANDLE_VALUE) {}

CFile::CFile(LPCSTR pszFileName, UINT nOpenFlags) : m_hFile(INVALID_HANDLE_VALUE)
{
    CFileException error;
    if (!Open(pszFileName, nOpenFlags, &error))
        throw error;
}

CFile::~CFile()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_hFile);
}

BOOL CFile::Open(LPCSTR pszFileName, UINT nOpenFlags, CFileException* pError)
{
    DWORD dwAccess = GENERIC_READ;
    switch (nOpenFlags & 3) {
    case modeWrite: dwAccess = GENERIC_WRITE; break;
    case modeReadWrite: dwAccess = GENERIC_READ | GENERIC_WRITE; break;
    }
    // No share flag means exclusive, as shareExclusive does.
    DWORD dwShare = 0;
    switch (nOpenFlags & 0x70) {
    case shareDenyWrite: dwShare = FILE_SHARE_READ; break;
    case shareDenyRead: dwShare = FILE_SHARE_WRITE; break;
    case shareDenyNone: dwShare = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    }
    DWORD dwCreate = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        dwCreate = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    HANDLE h = ::CreateFileA(pszFileName, dwAccess, dwShare, NULL, dwCreate, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) {
        if (pError != NULL) {
            pError->m_lOsError = (LONG)::GetLastError();
            pError->m_cause = CFileException::OsErrorToCause(pError->m_lOsError);
        }
        return FALSE;
    }
    m_hFile = h;
    return TRUE;
}

LONG CFile::Seek(LONG lOff, UINT nFrom)
{
    const DWORD dwPos = ::SetFilePointer(m_hFile, lOff, NULL, nFrom);
    if (dwPos == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR)
        ThrowLastError();
    return (LONG)dwPos;
}

void CFile::Write(const void* pBuf, UINT nCount)
{
    DWORD dwWritten = 0;
    if (!::WriteFile(m_hFile, pBuf, nCount, &dwWritten, NULL))
        ThrowLastError();
    if (dwWritten != nCount)
        throw CFileException(CFileException::genericException, ERROR_DISK_FULL);
}

void CFile::Flush()
{
    if (m_hFile != INVALID_HANDLE_VALUE && !::FlushFileBuffers(m_hFile))
        ThrowLastError();
}

void CFile::Close()
{
    if (m_hFile == INVALID_HANDLE_VALUE)
        return;
    const BOOL ok = ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    if (!ok)
        ThrowLastError();
}

BOOL CFile::GetStatus(LPCSTR pszFileName, CFileStatus& rStatus)
{
    memset(&rStatus, 0, sizeof rStatus);
    LPSTR pszFilePart = NULL;
    const DWORD n = ::GetFullPathNameA(pszFileName, MAX_PATH, rStatus.m_szFullName, &pszFilePart);
    if (n == 0 || n >= MAX_PATH)
        return FALSE;
    // A wildcard would make the search below report some other file.
    if (strpbrk(rStatus.m_szFullName, "*?") != NULL)
        return FALSE;
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA(pszFileName, &fd);
    if (h == INVALID_HANDLE_VALUE)
        return FALSE;
    ::FindClose(h);
    rStatus.m_attribute = (BYTE)(fd.dwFileAttributes & 0xFF);
    rStatus.m_size = fd.nFileSizeLow;
    return TRUE;
}

// ---- CStdioFile ----------------------------------------------------------------

CStdioFile::CStdioFile() : m_pStream(NULL) {}

CStdioFile::CStdioFile(LPCSTR pszFileName, UINT nOpenFlags) : m_pStream(NULL)
{
    CFileException error;
    if (!Open(pszFileName, nOpenFlags, &error))
        throw error;
}

CStdioFile::CStdioFile(HANDLE hFile, UINT nOpenFlags) : m_pStream(NULL)
{
    m_hFile = hFile;
    CFileException error;
    if (!OpenStream(nOpenFlags, &error))
        throw error;
}

CStdioFile::~CStdioFile()
{
    if (m_pStream != NULL) {
        fclose(m_pStream);   // closes the handle too
        m_hFile = INVALID_HANDLE_VALUE;
    }
}

BOOL CStdioFile::Open(LPCSTR pszFileName, UINT nOpenFlags, CFileException* pError)
{
    if (!CFile::Open(pszFileName, nOpenFlags & ~(UINT)(typeText | typeBinary), pError))
        return FALSE;
    return OpenStream(nOpenFlags, pError);
}

BOOL CStdioFile::OpenStream(UINT nOpenFlags, CFileException* pError)
{
    char mode[4];
    int fdFlags;
    switch (nOpenFlags & 3) {
    case modeWrite: strcpy(mode, "w"); fdFlags = _O_WRONLY; break;
    case modeReadWrite: strcpy(mode, "r+"); fdFlags = _O_RDWR; break;
    default: strcpy(mode, "r"); fdFlags = _O_RDONLY; break;
    }
    if (nOpenFlags & typeBinary) {
        strcat(mode, "b");
        fdFlags |= _O_BINARY;
    } else {
        strcat(mode, "t");
        fdFlags |= _O_TEXT;
    }

    const int fd = _open_osfhandle((intptr_t)m_hFile, fdFlags);
    FILE* stream = fd != -1 ? _fdopen(fd, mode) : NULL;
    if (stream == NULL) {
        if (fd != -1)
            _close(fd);
        else
            ::CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
        if (pError != NULL) {
            pError->m_cause = CFileException::genericException;
            pError->m_lOsError = ERROR_TOO_MANY_OPEN_FILES;
        }
        return FALSE;
    }
    m_pStream = stream;
    return TRUE;
}

LONG CStdioFile::Seek(LONG lOff, UINT nFrom)
{
    static const int origin[] = { SEEK_SET, SEEK_CUR, SEEK_END };
    if (nFrom > end || fseek(m_pStream, lOff, origin[nFrom]) != 0)
        throw CFileException(CFileException::genericException, ERROR_SEEK);
    return ftell(m_pStream);
}

void CStdioFile::Write(const void* pBuf, UINT nCount)
{
    if (fwrite(pBuf, 1, nCount, m_pStream) != nCount)
        throw CFileException(CFileException::genericException, (LONG)::GetLastError());
}

void CStdioFile::WriteString(LPCSTR psz)
{
    if (fputs(psz, m_pStream) == EOF)
        throw CFileException(CFileException::genericException, (LONG)::GetLastError());
}

void CStdioFile::Flush()
{
    if (m_pStream != NULL && fflush(m_pStream) != 0)
        throw CFileException(CFileException::genericException, (LONG)::GetLastError());
}

void CStdioFile::Close()
{
    if (m_pStream == NULL)
        return;
    const int rc = fclose(m_pStream);
    m_pStream = NULL;
    m_hFile = INVALID_HANDLE_VALUE;
    if (rc != 0)
        throw CFileException(CFileException::genericException, (LONG)::GetLastError());
}
