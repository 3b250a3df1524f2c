#include "OsKind.h"
#include <windows.h>
#include <string.h>
#include "TestSeams.h"

static int Classify(const OSVERSIONINFOEXA& v)
{
    const char csd1 = v.szCSDVersion[1];
    if (v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        if (v.dwMajorVersion != 4)
            return kOsUnrecognised;
        switch (v.dwMinorVersion) {
        case 0: return (csd1 == 'B' || csd1 == 'C') ? kOsWin95OSR2 : kOsWin95;
        case 10: return csd1 == 'A' ? kOsWin98SE : kOsWin98;
        case 90: return kOsWinMe;
        }
        return kOsUnrecognised;
    }
    if (v.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (v.dwMajorVersion <= 4)
            return kOsNT4;
        if (v.dwMajorVersion == 5) {
            switch (v.dwMinorVersion) {
            case 0: return kOs2000;
            case 1: return kOsXP;
            case 2: return kOsServer2003;
            }
        } else if (v.dwMajorVersion == 6) {
            switch (v.dwMinorVersion) {
            case 0: return kOsVista;
            case 1: return kOsWin7;
            case 2: return kOsWin8;
            }
        }
    }
    return kOsUnrecognised;
}

int GetOsKind()
{
    OSVERSIONINFOEXA v;
    memset(&v, 0, sizeof v);
    v.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    if (!seam::pGetVersionExA((LPOSVERSIONINFOA)&v)) {
        // Systems before NT 4 SP6 know only the plain structure.
        v.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!seam::pGetVersionExA((LPOSVERSIONINFOA)&v))
            return kOsUnrecognised;
    }
    return Classify(v);
}

int IsAdministrator()
{
    HANDLE hToken = NULL;
    if (!seam::pOpenProcessToken(GetCurrentProcess(), TOKEN_READ, &hToken))
        return -1;

    DWORD dwSize = 0;
    seam::pGetTokenInformation(hToken, TokenGroups, NULL, 0, &dwSize);
    TOKEN_GROUPS* pGroups = (TOKEN_GROUPS*)LocalAlloc(LPTR, dwSize ? dwSize : 1);
    if (pGroups == NULL) {
        CloseHandle(hToken);
        return -1;
    }
    const BOOL bRead = seam::pGetTokenInformation(hToken, TokenGroups, pGroups, dwSize, &dwSize);
    CloseHandle(hToken);
    if (!bRead) {
        LocalFree(pGroups);
        return -1;
    }

    SID_IDENTIFIER_AUTHORITY ntAuthority = { SECURITY_NT_AUTHORITY };
    PSID pAdmins = NULL;
    if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS,
                                  0, 0, 0, 0, 0, 0, &pAdmins)) {
        LocalFree(pGroups);
        return -1;
    }
    // Deny-only and disabled entries count as well: membership is what is asked.
    BOOL bMember = FALSE;
    for (DWORD i = 0; i < pGroups->GroupCount && !bMember; ++i)
        bMember = EqualSid(pGroups->Groups[i].Sid, pAdmins);
    FreeSid(pAdmins);
    LocalFree(pGroups);
    return bMember ? 1 : -1;
}
