// Logon SID look-up and the access grants, over real security descriptors
// built with the system's ACL functions and kept in memory (Wine keeps no DACL
// on window stations and desktops).
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "launch_support.h"

namespace {

const BYTE kStationFlags1 = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE | INHERIT_ONLY_ACE;  // 0x0B
const ACCESS_MASK kStationMask1 = 0xF0000000;
const BYTE kStationFlags2 = NO_PROPAGATE_INHERIT_ACE;  // 0x04
const ACCESS_MASK kStationMask2 = 0xF037F;
const ACCESS_MASK kDesktopMask = 0xF01FF;

const std::vector<BYTE> kUser = LogonSid(1234);
const std::vector<BYTE> kOther = LogonSid(999);

AceDescription Allowed(BYTE flags, ACCESS_MASK mask, const std::vector<BYTE>& sid)
{
    return {ACCESS_ALLOWED_ACE_TYPE, flags, mask, sid};
}
AceDescription Denied(BYTE flags, ACCESS_MASK mask, const std::vector<BYTE>& sid)
{
    return {ACCESS_DENIED_ACE_TYPE, flags, mask, sid};
}

PSID Sid(const std::vector<BYTE>& bytes)
{
    return const_cast<BYTE*>(bytes.data());
}

DWORD AceSize(const std::vector<BYTE>& sid)
{
    return DWORD(8 + sid.size());
}

TEST(GrantStationAccess, StartsAnAbsentOrNullAccessListWithOnlyTheTwoEntries)
{
    for (DaclKind kind : {DaclKind::Absent, DaclKind::Null, DaclKind::List}) {
        InMemorySecurityObject station(kind);
        ASSERT_TRUE(GrantStationAccess(static_cast<HWINSTA>(station.Handle()), Sid(kUser)));
        std::vector<AceDescription> expected = {Allowed(kStationFlags1, kStationMask1, kUser),
                                                Allowed(kStationFlags2, kStationMask2, kUser)};
        EXPECT_EQ(expected, station.Entries()) << int(kind);
        EXPECT_EQ(8 + 2 * AceSize(kUser), station.DaclSize().AclBytesInUse) << int(kind);
        EXPECT_EQ(0u, station.DaclSize().AclBytesFree) << int(kind);
    }
}

TEST(GrantStationAccess, KeepsOtherEntriesInOrderAndMovesItsOwnToTheEnd)
{
    InMemorySecurityObject station(DaclKind::List, {
        Allowed(kStationFlags2, kStationMask2, kUser),          // equal to entry 2: moves
        Allowed(kStationFlags1, kStationMask1, kOther),         // another SID: stays
        Denied(kStationFlags1, kStationMask1, kUser),           // a deny entry: stays
        Allowed(0, kStationMask2, kUser),                       // other flags: stays
        Allowed(kStationFlags1, kStationMask1, kUser),          // equal to entry 1: moves
        Allowed(kStationFlags1, 0x1, kUser),                    // other mask: stays
        Denied(0, GENERIC_ALL, kOther),
    });
    DWORD sizeBefore = station.DaclSize().AclBytesInUse;
    ASSERT_TRUE(GrantStationAccess(static_cast<HWINSTA>(station.Handle()), Sid(kUser)));
    std::vector<AceDescription> expected = {
        Allowed(kStationFlags1, kStationMask1, kOther),
        Denied(kStationFlags1, kStationMask1, kUser),
        Allowed(0, kStationMask2, kUser),
        Allowed(kStationFlags1, 0x1, kUser),
        Denied(0, GENERIC_ALL, kOther),
        Allowed(kStationFlags1, kStationMask1, kUser),
        Allowed(kStationFlags2, kStationMask2, kUser),
    };
    EXPECT_EQ(expected, station.Entries());
    EXPECT_EQ(sizeBefore, station.DaclSize().AclBytesInUse);
    EXPECT_EQ(0u, station.DaclSize().AclBytesFree);

    // Again: nothing grows.
    ASSERT_TRUE(GrantStationAccess(static_cast<HWINSTA>(station.Handle()), Sid(kUser)));
    EXPECT_EQ(expected, station.Entries());
    EXPECT_EQ(sizeBefore, station.DaclSize().AclBytesInUse);
}

TEST(GrantDesktopAccess, AppendsItsOneEntryAndReplacesAnEqualOne)
{
    InMemorySecurityObject desktop(DaclKind::List, {
        Allowed(0, kDesktopMask, kUser),
        Allowed(0, kDesktopMask, kOther),
        Denied(0, kDesktopMask, kUser),
    });
    ASSERT_TRUE(GrantDesktopAccess(static_cast<HDESK>(desktop.Handle()), Sid(kUser)));
    std::vector<AceDescription> expected = {
        Allowed(0, kDesktopMask, kOther),
        Denied(0, kDesktopMask, kUser),
        Allowed(0, kDesktopMask, kUser),
    };
    EXPECT_EQ(expected, desktop.Entries());
    EXPECT_EQ(0u, desktop.DaclSize().AclBytesFree);

    InMemorySecurityObject empty(DaclKind::Absent);
    ASSERT_TRUE(GrantDesktopAccess(static_cast<HDESK>(empty.Handle()), Sid(kUser)));
    EXPECT_EQ(std::vector<AceDescription>{Allowed(0, kDesktopMask, kUser)}, empty.Entries());
    EXPECT_EQ(8 + AceSize(kUser), empty.DaclSize().AclBytesInUse);
}

BOOL WINAPI AccessDenied(HANDLE, PSECURITY_INFORMATION, PSECURITY_DESCRIPTOR, DWORD, LPDWORD)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

BOOL WINAPI NoMoreAces(PACL, DWORD, DWORD, LPVOID, DWORD)
{
    SetLastError(ERROR_ALLOTTED_SPACE_EXCEEDED);
    return FALSE;
}

TEST(GrantStationAccess, FailsWithTheFailingCallsCodeChangingNothingAndKeepingNoBlock)
{
    InMemorySecurityObject station(DaclKind::List, {Allowed(0, 0x1, kOther)});
    std::vector<AceDescription> before = station.Entries();
    {
        SlotSubstitution failing(SecurityApi::kAddAce, &NoMoreAces);
        size_t blocks = ProcessHeapBlocks();
        ASSERT_GT(blocks, 0u) << "the heap can be walked";
        SetLastError(0xdeadbeef);
        EXPECT_FALSE(GrantStationAccess(static_cast<HWINSTA>(station.Handle()), Sid(kUser)));
        EXPECT_EQ(DWORD(ERROR_ALLOTTED_SPACE_EXCEEDED), GetLastError());
        EXPECT_EQ(blocks, ProcessHeapBlocks());
    }
    {
        SlotSubstitution failing(SecurityApi::kGetUserObjectSecurity, &AccessDenied);
        EXPECT_FALSE(GrantStationAccess(static_cast<HWINSTA>(station.Handle()), Sid(kUser)));
        EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
    }
    {
        SlotSubstitution unbound(SecurityApi::kInitializeAcl);
        EXPECT_FALSE(GrantDesktopAccess(static_cast<HDESK>(station.Handle()), Sid(kUser)));
        EXPECT_EQ(NotBoundError, GetLastError());
    }
    EXPECT_EQ(0, station.writes);
    EXPECT_EQ(before, station.Entries());
}

TEST(SameAce, ComparesTypeFlagsSizeMaskAndSidBytes)
{
    std::vector<BYTE> a(8 + kUser.size()), b(8 + kUser.size());
    auto* x = reinterpret_cast<ACCESS_ALLOWED_ACE*>(a.data());
    auto* y = reinterpret_cast<ACCESS_ALLOWED_ACE*>(b.data());
    for (auto* ace : {x, y}) {
        ace->Header.AceType = ACCESS_ALLOWED_ACE_TYPE;
        ace->Header.AceFlags = 4;
        ace->Header.AceSize = WORD(a.size());
        ace->Mask = 0xF037F;
        CopySid(DWORD(kUser.size()), &ace->SidStart, Sid(kUser));
    }
    EXPECT_TRUE(SameAce(x, y));
    b.back() ^= 1;  // last byte of the SID
    EXPECT_FALSE(SameAce(x, y));
    b.back() ^= 1;
    y->Mask = 0xF037E;
    EXPECT_FALSE(SameAce(x, y));
    y->Mask = 0xF037F;
    y->Header.AceFlags = 0;
    EXPECT_FALSE(SameAce(x, y));
    y->Header.AceFlags = 4;
    y->Header.AceType = ACCESS_DENIED_ACE_TYPE;  // the same entry, denying
    EXPECT_FALSE(SameAce(x, y));
}

TEST(GrantStationAccess, AnUnboundSidLengthFailsInsteadOfSizingWithIt)
{
    // GetLengthSid's failure value, 0xFFFFFFFF, would wrap the entry's size.
    InMemorySecurityObject station(DaclKind::List, {Allowed(0, 0x1, kOther)});
    size_t blocks = ProcessHeapBlocks();
    {
        SlotSubstitution unbound(SecurityApi::kGetLengthSid);
        SetLastError(0xdeadbeef);
        EXPECT_FALSE(GrantStationAccess(static_cast<HWINSTA>(station.Handle()), Sid(kUser)));
        EXPECT_EQ(NotBoundError, GetLastError());
    }
    EXPECT_EQ(blocks, ProcessHeapBlocks());
    EXPECT_EQ(0, station.writes);
}

// An object whose descriptor is said to be 8 bytes long, and the size of the
// block in which the new descriptor is then started.
BOOL WINAPI TinyDescriptor(HANDLE, PSECURITY_INFORMATION, PSECURITY_DESCRIPTOR, DWORD length, LPDWORD needed)
{
    *needed = 8;
    if (length < 8) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    return TRUE;
}
SIZE_T g_startedDescriptorBlock = 0;
BOOL WINAPI RecordDescriptorBlock(PSECURITY_DESCRIPTOR descriptor, DWORD)
{
    g_startedDescriptorBlock = HeapSize(GetProcessHeap(), 0, descriptor);
    SetLastError(ERROR_INVALID_SECURITY_DESCR);
    return FALSE;  // nothing is written into it
}

TEST(GrantStationAccess, StartsTheNewDescriptorInABlockOfAtLeastTheMinimumLength)
{
    SlotSubstitution tiny(SecurityApi::kGetUserObjectSecurity, &TinyDescriptor);
    SlotSubstitution recorder(SecurityApi::kInitializeSecurityDescriptor, &RecordDescriptorBlock);
    g_startedDescriptorBlock = 0;
    EXPECT_FALSE(GrantStationAccess(reinterpret_cast<HWINSTA>(0x5EC0), Sid(kUser)));
    EXPECT_GE(g_startedDescriptorBlock, SIZE_T(SECURITY_DESCRIPTOR_MIN_LENGTH));
}

// A token whose groups the test chooses; the second query can be made to fail.
struct FakeToken {
    std::vector<std::pair<std::vector<BYTE>, DWORD>> groups;
    int queries = 0;
    int failQuery = 0;           // 1 or 2: that query fails
    DWORD firstQueryError = ERROR_INSUFFICIENT_BUFFER;
};
FakeToken* g_token = nullptr;

BOOL WINAPI FakeGetTokenInformation(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID info, DWORD length, PDWORD needed)
{
    ++g_token->queries;
    size_t header = offsetof(TOKEN_GROUPS, Groups) + g_token->groups.size() * sizeof(SID_AND_ATTRIBUTES);
    size_t total = header;
    for (auto& g : g_token->groups) total += g.first.size();
    *needed = DWORD(total);
    if (g_token->queries == 1) {
        SetLastError(g_token->firstQueryError);
        return FALSE;
    }
    if (g_token->failQuery == 2 || length < total) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto* list = static_cast<TOKEN_GROUPS*>(info);
    list->GroupCount = DWORD(g_token->groups.size());
    BYTE* sids = static_cast<BYTE*>(info) + header;
    for (size_t i = 0; i < g_token->groups.size(); ++i) {
        memcpy(sids, g_token->groups[i].first.data(), g_token->groups[i].first.size());
        list->Groups[i].Sid = sids;
        list->Groups[i].Attributes = g_token->groups[i].second;
        sids += g_token->groups[i].first.size();
    }
    return TRUE;
}

class LookUpLogonSidTest : public ::testing::Test {
protected:
    FakeToken token;
    SlotSubstitution fake{SecurityApi::kGetTokenInformation, &FakeGetTokenInformation};
    void SetUp() override { g_token = &token; }
    void TearDown() override { g_token = nullptr; }
};

TEST_F(LookUpLogonSidTest, GivesACopyOfTheFirstLogonGroup)
{
    token.groups = {{LogonSid(1), SE_GROUP_ENABLED | SE_GROUP_MANDATORY},
                    {LogonSid(2), 0x80000000},  // only half of the logon bits
                    {LogonSid(3), SE_GROUP_LOGON_ID | SE_GROUP_ENABLED},
                    {LogonSid(4), SE_GROUP_LOGON_ID}};
    PSID sid = nullptr;
    ASSERT_TRUE(LookUpLogonSid(reinterpret_cast<HANDLE>(1), &sid));
    ASSERT_NE(nullptr, sid);
    std::vector<BYTE> expected = LogonSid(3);
    EXPECT_EQ(expected.size(), HeapSize(GetProcessHeap(), 0, sid));
    EXPECT_EQ(expected, std::vector<BYTE>(static_cast<BYTE*>(sid), static_cast<BYTE*>(sid) + expected.size()));
    HeapFree(GetProcessHeap(), 0, sid);
}

TEST_F(LookUpLogonSidTest, SucceedsWithoutASidWhenTheTokenHasNone)
{
    token.groups = {{LogonSid(1), SE_GROUP_ENABLED}};
    size_t blocks = ProcessHeapBlocks();
    PSID sid = nullptr;
    EXPECT_TRUE(LookUpLogonSid(reinterpret_cast<HANDLE>(1), &sid));
    EXPECT_EQ(nullptr, sid);
    EXPECT_EQ(blocks, ProcessHeapBlocks());
}

TEST_F(LookUpLogonSidTest, FailsWithItsOwnCodeWhenTheSecondQueryFails)
{
    token.groups = {{LogonSid(3), SE_GROUP_LOGON_ID}};
    token.failQuery = 2;
    size_t blocks = ProcessHeapBlocks();
    PSID sid = nullptr;
    EXPECT_FALSE(LookUpLogonSid(reinterpret_cast<HANDLE>(1), &sid));
    EXPECT_EQ(kSecondGroupQueryError, GetLastError());
    EXPECT_EQ(nullptr, sid);
    EXPECT_EQ(blocks, ProcessHeapBlocks());
}

TEST_F(LookUpLogonSidTest, PassesOnAnyOtherErrorOfTheFirstQuery)
{
    token.firstQueryError = ERROR_INVALID_HANDLE;
    PSID sid = nullptr;
    EXPECT_FALSE(LookUpLogonSid(reinterpret_cast<HANDLE>(1), &sid));
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
}

TEST(LookUpLogonSid, FindsTheLogonSidOfThisProcess)
{
    HANDLE token;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    PSID sid = nullptr;
    EXPECT_TRUE(LookUpLogonSid(token, &sid));
    EXPECT_NE(nullptr, sid);
    if (sid) {
        EXPECT_TRUE(IsValidSid(sid));
    }
    HeapFree(GetProcessHeap(), 0, sid);
    CloseHandle(token);
}

}  // namespace
