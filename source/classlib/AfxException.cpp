#include "AfxException.h"

int CFileException::OsErrorToCause(LONG lOsError)
{
    switch (lOsError) {
    case ERROR_SUCCESS: return none;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return fileNotFound;
    case ERROR_ACCESS_DENIED: return accessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return sharingViolation;
    default: return genericException;
    }
}
