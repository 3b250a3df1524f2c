// A growable, zero-terminated ANSI string in the system code page.
#pragma once
#include <windows.h>
#include <stdarg.h>

class CString {
public:
    CString();
    CString(const CString& other);
    CString(LPCSTR psz);                          // NULL gives an empty string
    ~CString();

    CString& operator=(const CString& other);
    CString& operator=(LPCSTR psz);
    CString& operator+=(const CString& other);
    CString& operator+=(LPCSTR psz);
    CString& operator+=(char ch);
    operator LPCSTR() const { return m_pch; }

    int GetLength() const { return m_nLength; }   // in bytes
    BOOL IsEmpty() const { return m_nLength == 0; }
    void Empty();

    void Format(LPCSTR pszFormat, ...);          // printf into this string, any length
    void FormatV(LPCSTR pszFormat, va_list args);
    int Replace(LPCSTR pszOld, LPCSTR pszNew);   // whole characters only; returns the count
    void TrimRight();                            // drops trailing blanks, tabs, CR, LF, VT, FF

private:
    void Assign(LPCSTR psz, int nLength);
    void Reserve(int nLength);                   // throws CMemoryException

    char* m_pch;
    int m_nLength;
    int m_nCapacity;                             // bytes available, terminator excluded
};

bool operator==(const CString& a, LPCSTR b);
inline bool operator!=(const CString& a, LPCSTR b) { return !(a == b); }
