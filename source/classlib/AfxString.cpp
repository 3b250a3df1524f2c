#include "AfxString.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "AfxException.h"

static char s_empty[1] = "";

CString::CString() : m_pch(s_empty), m_nLength(0), m_nCapacity(0) {}

CString::CString(const CString& other) : m_pch(s_empty), m_nLength(0), m_nCapacity(0)
{
    Assign(other.m_pch, other.m_nLength);
}

CString::CString(LPCSTR psz) : m_pch(s_empty), m_nLength(0), m_nCapacity(0)
{
    if (psz != NULL)
        Assign(psz, (int)strlen(psz));
}

CString::~CString()
{
    if (m_pch != s_empty)
        free(m_pch);
}

void CString::Reserve(int nLength)
{
    if (nLength <= m_nCapacity)
        return;
    int nCapacity = m_nCapacity < 16 ? 16 : m_nCapacity;
    while (nCapacity < nLength)
        nCapacity *= 2;
    char* pch = (char*)malloc((size_t)nCapacity + 1);
    if (pch == NULL)
        throw CMemoryException();
    memcpy(pch, m_pch, (size_t)m_nLength + 1);
    if (m_pch != s_empty)
        free(m_pch);
    m_pch = pch;
    m_nCapacity = nCapacity;
}

void CString::Assign(LPCSTR psz, int nLength)
{
    if (psz == m_pch)
        return;
    if (nLength == 0) {
        Empty();
        return;
    }
    Reserve(nLength);
    memmove(m_pch, psz, (size_t)nLength);
    m_pch[nLength] = '\0';
    m_nLength = nLength;
}

CString& CString::operator=(const CString& other)
{
    Assign(other.m_pch, other.m_nLength);
    return *this;
}

CString& CString::operator=(LPCSTR psz)
{
    if (psz == NULL)
        Empty();
    else
        Assign(psz, (int)strlen(psz));
    return *this;
}

CString& CString::operator+=(const CString& other)
{
    const int n = other.m_nLength;   // other may be *this
    Reserve(m_nLength + n);
    memmove(m_pch + m_nLength, other.m_pch, (size_t)n);
    m_nLength += n;
    m_pch[m_nLength] = '\0';
    return *this;
}

CString& CString::operator+=(LPCSTR psz)
{
    if (psz == NULL)
        return *this;
    return *this += CString(psz);
}

CString& CString::operator+=(char ch)
{
    Reserve(m_nLength + 1);
    m_pch[m_nLength++] = ch;
    m_pch[m_nLength] = '\0';
    return *this;
}

void CString::Empty()
{
    if (m_nCapacity > 0) {
        m_pch[0] = '\0';
    }
    m_nLength = 0;
}

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCSTR pszFormat, va_list args)
{
    // msvcrt's _vsnprintf says only "did not fit" (-1), so grow until it fits.
    int nSize = 256;
    for (;;) {
        char* buf = (char*)malloc((size_t)nSize);
        if (buf == NULL)
            throw CMemoryException();
        va_list copy;
        va_copy(copy, args);
        const int n = _vsnprintf(buf, (size_t)nSize, pszFormat, copy);
        va_end(copy);
        if (n >= 0 && n < nSize) {
            try {
                Assign(buf, n);
            } catch (...) {
                free(buf);
                throw;
            }
            free(buf);
            return;
        }
        free(buf);
        if (nSize >= 0x4000000)
            throw CMemoryException();
        nSize *= 2;
    }
}

int CString::Replace(LPCSTR pszOld, LPCSTR pszNew)
{
    const int nOld = pszOld ? (int)strlen(pszOld) : 0;
    if (nOld == 0)
        return 0;
    CString result;
    int nCount = 0;
    const char* p = m_pch;
    while (*p != '\0') {
        if (strncmp(p, pszOld, (size_t)nOld) == 0) {
            result += pszNew;
            p += nOld;
            ++nCount;
        } else {
            // Step whole characters so a match never starts on a trail byte.
            const char* next = CharNextA(p);
            while (p < next)
                result += *p++;
        }
    }
    if (nCount > 0)
        *this = result;
    return nCount;
}

void CString::TrimRight()
{
    // Trail bytes of double-byte characters are never white space, so a
    // byte-wise scan from the end is safe.
    while (m_nLength > 0 && strchr(" \t\r\n\v\f", m_pch[m_nLength - 1]) != NULL)
        --m_nLength;
    if (m_nCapacity > 0)
        m_pch[m_nLength] = '\0';
}

bool operator==(const CString& a, LPCSTR b)
{
    return strcmp(a, b ? b : "") == 0;
}
