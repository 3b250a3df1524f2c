// Which Windows this is, and whether the process runs as an administrator.
#pragma once

// Platform codes. 1-3: Windows 98 SE, 98, Me. 5-7: Server 2003/XP x64, XP, 2000.
// 11-13: Vista, 7, 8 (and later systems, which report 8). 4: unrecognised.
// 8: NT 4 and earlier. 9: 95 OSR2. 10: 95.
int GetOsKind();

// The Windows 98 and Me family (codes 1-3): ANSI throughout, no wide-character calls.
inline bool IsWin98Family(int osKind)
{
    return osKind >= 1 && osKind <= 3;
}

// 1 when the process token holds the Administrators group, -1 otherwise or on any failure.
int IsAdministrator();
