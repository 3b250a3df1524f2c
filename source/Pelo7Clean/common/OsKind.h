// Which Windows this is, and whether the process runs as an administrator.
#pragma once

// Platform codes, as GetOsKind returns them and the log shows them ("[OS] n"). The
// numbers are fixed: the log's readers know them.
enum OsKindCode {
    kOsWin98SE = 1,
    kOsWin98 = 2,
    kOsWinMe = 3,
    kOsUnrecognised = 4,
    kOsServer2003 = 5,   // and XP x64
    kOsXP = 6,
    kOs2000 = 7,
    kOsNT4 = 8,          // and earlier
    kOsWin95OSR2 = 9,
    kOsWin95 = 10,
    kOsVista = 11,
    kOsWin7 = 12,
    kOsWin8 = 13,        // and later systems, which present themselves as 8
};

int GetOsKind();

// The Windows 98 and Me family: ANSI throughout, no wide-character calls.
inline bool IsWin98Family(int osKind)
{
    return osKind >= kOsWin98SE && osKind <= kOsWinMe;
}

// Windows 2000 to 8: the NT family as far as this program runs on it.
inline bool IsNt2000OrLater(int osKind)
{
    return (osKind >= kOsServer2003 && osKind <= kOs2000) || (osKind >= kOsVista && osKind <= kOsWin8);
}

inline bool IsSupportedOs(int osKind)
{
    return IsWin98Family(osKind) || IsNt2000OrLater(osKind);
}

// Vista and later, whose message boxes wrap their text themselves.
inline bool IsVistaOrLater(int osKind)
{
    return osKind >= kOsVista && osKind <= kOsWin8;
}

// 1 when the process token holds the Administrators group, -1 otherwise or on any failure.
int IsAdministrator();
