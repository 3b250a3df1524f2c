// A calendar time in whole seconds, formatted in local time.
#pragma once
#include <windows.h>
#include <time.h>
#include "AfxString.h"

class CTime {
public:
    CTime() : m_time(0) {}
    explicit CTime(time_t t) : m_time(t) {}
    static CTime GetCurrentTime();
    time_t GetTime() const { return m_time; }
    CString Format(LPCSTR pszFormat) const;      // strftime over localtime
private:
    time_t m_time;
};
