// Files on Win32 handles; CStdioFile adds a C runtime stream over the handle.
// Constructors that take a path throw CFileException when the open fails.
#pragma once
#include <windows.h>
#include <stdio.h>
#include "AfxException.h"
#include "AfxString.h"

struct CFileStatus {
    DWORD m_size;
    BYTE m_attribute;
    char m_szFullName[MAX_PATH];
};

class CFile {
public:
    enum OpenFlags {
        modeRead = 0x0000, modeWrite = 0x0001, modeReadWrite = 0x0002,
        shareCompat = 0x0000, shareExclusive = 0x0010, shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030, shareDenyNone = 0x0040,
        modeCreate = 0x1000, modeNoTruncate = 0x2000,
        typeText = 0x4000, typeBinary = 0x8000
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile();
    CFile(LPCSTR pszFileName, UINT nOpenFlags);
    virtual ~CFile();                            // closes, never throws

    virtual BOOL Open(LPCSTR pszFileName, UINT nOpenFlags, CFileException* pError = NULL);
    virtual LONG Seek(LONG lOff, UINT nFrom);    // returns the new position
    virtual void Write(const void* pBuf, UINT nCount);
    virtual void Flush();
    virtual void Close();
    static BOOL GetStatus(LPCSTR pszFileName, CFileStatus& rStatus);   // FALSE if it does not exist

    HANDLE m_hFile;                              // INVALID_HANDLE_VALUE when closed

private:
    CFile(const CFile&);
    CFile& operator=(const CFile&);
};

class CStdioFile : public CFile {
public:
    CStdioFile();
    CStdioFile(LPCSTR pszFileName, UINT nOpenFlags);
    // Takes over a handle opened elsewhere, with the access that nOpenFlags names;
    // on failure the handle is closed and CFileException thrown.
    CStdioFile(HANDLE hFile, UINT nOpenFlags);
    virtual ~CStdioFile();

    // Text mode unless typeBinary is given: "\n" is stored as CR LF.
    virtual BOOL Open(LPCSTR pszFileName, UINT nOpenFlags, CFileException* pError = NULL);
    virtual LONG Seek(LONG lOff, UINT nFrom);
    virtual void Write(const void* pBuf, UINT nCount);
    virtual void WriteString(LPCSTR psz);
    virtual void Flush();
    virtual void Close();

    FILE* m_pStream;                             // NULL when closed

private:
    BOOL OpenStream(UINT nOpenFlags, CFileException* pError);   // over m_hFile
};
