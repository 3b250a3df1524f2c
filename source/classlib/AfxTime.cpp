#include "AfxTime.h"

CTime CTime::GetCurrentTime()
{
    return CTime(::time(NULL));
}

CString CTime::Format(LPCSTR pszFormat) const
{
    char buf[256] = "";
    time_t t = m_time;
    const struct tm* ptm = localtime(&t);
    if (ptm != NULL)
        strftime(buf, sizeof buf, pszFormat, ptm);
    return CString(buf);
}
