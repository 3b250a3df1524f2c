// The administrator check's walk over the token groups, through fake token calls.
#include <doctest/doctest.h>
#include <vector>
#include "OsKind.h"
#include "ScopedSeam.h"
#include "TestSeams.h"

namespace {
// What the fake token reports.
struct FakeToken {
    bool openFails = false;
    bool readFails = false;
    std::vector<std::vector<BYTE>> sids;   // group SIDs in the token
    HANDLE handle = NULL;                  // the handle handed out
    DWORD openAccess = 0;
};
FakeToken* s_token;

std::vector<BYTE> MakeSid(BYTE authority, std::vector<DWORD> subs)
{
    SID_IDENTIFIER_AUTHORITY ia = { { 0, 0, 0, 0, 0, authority } };
    std::vector<BYTE> sid(GetSidLengthRequired((UCHAR)subs.size()));
    InitializeSid(sid.data(), &ia, (BYTE)subs.size());
    for (size_t i = 0; i < subs.size(); ++i)
        *GetSidSubAuthority(sid.data(), (DWORD)i) = subs[i];
    return sid;
}

BOOL WINAPI FakeOpenProcessToken(HANDLE, DWORD access, PHANDLE out)
{
    s_token->openAccess = access;
    if (s_token->openFails) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    s_token->handle = CreateEventA(NULL, TRUE, FALSE, NULL);   // any closable handle
    *out = s_token->handle;
    return TRUE;
}

BOOL WINAPI FakeGetTokenInformation(HANDLE, TOKEN_INFORMATION_CLASS cls, LPVOID buf, DWORD size, PDWORD needed)
{
    REQUIRE(cls == TokenGroups);
    const DWORD count = (DWORD)s_token->sids.size();
    const DWORD groups = sizeof(TOKEN_GROUPS) + (count ? count - 1 : 0) * sizeof(SID_AND_ATTRIBUTES);
    *needed = groups;
    for (auto& s : s_token->sids)
        *needed += (DWORD)s.size();
    if (buf == NULL || size < *needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    if (s_token->readFails) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    TOKEN_GROUPS* tg = (TOKEN_GROUPS*)buf;
    tg->GroupCount = count;
    BYTE* p = (BYTE*)buf + groups;   // the SIDs follow the group list
    for (DWORD i = 0; i < count; ++i) {
        memcpy(p, s_token->sids[i].data(), s_token->sids[i].size());
        tg->Groups[i].Sid = p;
        tg->Groups[i].Attributes = SE_GROUP_USE_FOR_DENY_ONLY;   // attributes do not matter
        p += s_token->sids[i].size();
    }
    return TRUE;
}

struct ScopedFakeToken {
    FakeToken token;
    ScopedSeam<decltype(seam::pOpenProcessToken)> open{seam::pOpenProcessToken, FakeOpenProcessToken};
    ScopedSeam<decltype(seam::pGetTokenInformation)> read{seam::pGetTokenInformation, FakeGetTokenInformation};
    ScopedFakeToken() { s_token = &token; }
    // The check must have closed the token handle it was given.
    bool HandleClosed() const
    {
        SetLastError(0xdeadbeef);
        return !CloseHandle(token.handle) && GetLastError() == ERROR_INVALID_HANDLE;
    }
};

const std::vector<BYTE> kAdmins = MakeSid(5, { 32, 544 });
const std::vector<BYTE> kUsers = MakeSid(5, { 32, 545 });
const std::vector<BYTE> kEveryone = MakeSid(1, { 0 });
const std::vector<BYTE> kLookAlike = MakeSid(5, { 21, 544 });   // same last RID, other domain
}

TEST_CASE("membership of the Administrators group")
{
    const struct {
        const char* what;
        std::vector<std::vector<BYTE>> sids;
        int result;
    } rows[] = {
        { "a member, wherever the group stands in the list", { kEveryone, kUsers, kAdmins }, 1 },
        { "a member listed first", { kAdmins, kUsers }, 1 },
        { "a non-member", { kEveryone, kUsers, kLookAlike }, -1 },
        { "an empty group list", {}, -1 },
    };
    for (const auto& row : rows) {
        CAPTURE(row.what);
        ScopedFakeToken fake;
        fake.token.sids = row.sids;
        CHECK(IsAdministrator() == row.result);
        CHECK(fake.token.openAccess == TOKEN_READ);
        CHECK(fake.HandleClosed());
    }
}

TEST_CASE("a failing token query counts as not an administrator")
{
    ScopedFakeToken fake;
    fake.token.sids = { kAdmins };
    SUBCASE("the token cannot be opened") {
        fake.token.openFails = true;
        CHECK(IsAdministrator() == -1);
    }
    SUBCASE("the group list cannot be read") {
        fake.token.readFails = true;
        CHECK(IsAdministrator() == -1);
        CHECK(fake.HandleClosed());
    }
}

TEST_CASE("Wine's own token holds the Administrators group")
{
    CHECK(IsAdministrator() == 1);
}
