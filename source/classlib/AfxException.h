// Exceptions the class layer raises. They are thrown by value; the program
// catches them with catch (...) guards, so no object needs deleting.
#pragma once
#include <windows.h>

class CException {
public:
    virtual ~CException() {}
};

// Allocation failure inside the class layer.
class CMemoryException : public CException {};

// A file operation failed; m_lOsError holds the Win32 error code.
class CFileException : public CException {
public:
    enum { none = 0, genericException = 1, fileNotFound = 2, accessDenied = 5, sharingViolation = 11 };
    CFileException(int cause = none, LONG lOsError = -1) : m_cause(cause), m_lOsError(lOsError) {}
    static int OsErrorToCause(LONG lOsError);
    int m_cause;
    LONG m_lOsError;
};
