#include "access_grants.h"

#include "framework/guards.h"
#include "security_api.h"

namespace {

struct AceSpec {
    BYTE flags;
    ACCESS_MASK mask;
};

// Window station: inherited by the desktops it creates, then for the station itself.
const AceSpec kStationEntries[] = {
    {OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE | INHERIT_ONLY_ACE, 0xF0000000},
    {NO_PROPAGATE_INHERIT_ACE, 0xF037F},
};
const AceSpec kDesktopEntries[] = {
    {0, 0xF01FF},
};

const DWORD kAceHeaderAndMask = 8;  // ACCESS_ALLOWED_ACE without its SID

void* AllocZeroed(DWORD bytes)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

BOOL Fail(DWORD code)
{
    SetLastError(code);
    return FALSE;
}

bool MatchesAnyEntry(const ACE_HEADER* ace, ACCESS_ALLOWED_ACE* record, const AceSpec* entries, int count)
{
    if (ace->AceType != ACCESS_ALLOWED_ACE_TYPE) return false;
    for (int e = 0; e < count; ++e) {
        record->Header.AceFlags = entries[e].flags;
        record->Mask = entries[e].mask;
        if (SameAce(reinterpret_cast<const ACCESS_ALLOWED_ACE*>(ace), record)) return true;
    }
    return false;
}

// The grant both objects share: entries are appended in the given order.
BOOL GrantObjectAccess(HANDLE object, PSID sid, const AceSpec* entries, int count)
{
    const SecurityApi& api = securityApi;
    SECURITY_INFORMATION information = DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    if (!api.GetUserObjectSecurity(object, &information, nullptr, 0, &needed) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return Fail(GetLastError());

    // The new descriptor is built in absolute form, which needs its minimum
    // length even when the object's own descriptor is smaller.
    DWORD newDescriptorSize = needed < SECURITY_DESCRIPTOR_MIN_LENGTH ? SECURITY_DESCRIPTOR_MIN_LENGTH : needed;
    ScopedHeapBlock current(AllocZeroed(needed));
    if (!current.Valid()) return Fail(kNoMemoryError);
    ScopedHeapBlock created(AllocZeroed(newDescriptorSize));
    if (!created.Valid()) return Fail(kNoMemoryError);
    if (!api.GetUserObjectSecurity(object, &information, current, needed, &needed)) return Fail(GetLastError());
    if (!api.InitializeSecurityDescriptor(created, SECURITY_DESCRIPTOR_REVISION)) return Fail(GetLastError());

    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!api.GetSecurityDescriptorDacl(current, &present, &dacl, &defaulted)) return Fail(GetLastError());
    ACL_SIZE_INFORMATION size = {0, sizeof(ACL), 0};
    if (dacl && !api.GetAclInformation(dacl, &size, sizeof size, AclSizeInformation)) return Fail(GetLastError());

    DWORD sidLength = api.GetLengthSid(sid);
    if (sidLength == 0xFFFFFFFF) return Fail(GetLastError());
    DWORD recordSize = sidLength + kAceHeaderAndMask;
    DWORD newSize = size.AclBytesInUse + DWORD(count) * recordSize;
    ScopedHeapBlock newDacl(AllocZeroed(newSize));
    if (!newDacl.Valid()) return Fail(kNoMemoryError);
    ScopedHeapBlock record(AllocZeroed(recordSize));
    if (!record.Valid()) return Fail(kNoMemoryError);
    auto* entry = static_cast<ACCESS_ALLOWED_ACE*>(record.Get());
    entry->Header.AceType = ACCESS_ALLOWED_ACE_TYPE;
    entry->Header.AceSize = WORD(recordSize);
    if (!api.CopySid(sidLength, &entry->SidStart, sid)) return Fail(GetLastError());

    bool copyEntries = present && size.AceCount > 0;
    // First pass: entries equal to a new one are dropped, so the new list is
    // exactly as large as what it holds.
    for (DWORD i = 0; copyEntries && i < size.AceCount; ++i) {
        void* ace;
        if (!api.GetAce(dacl, i, &ace)) return Fail(GetLastError());
        const ACE_HEADER* header = static_cast<const ACE_HEADER*>(ace);
        if (MatchesAnyEntry(header, entry, entries, count)) newSize -= header->AceSize;
    }
    PACL rebuilt = static_cast<PACL>(newDacl.Get());
    if (!api.InitializeAcl(rebuilt, newSize, ACL_REVISION)) return Fail(GetLastError());
    // Second pass: everything else, in its order.
    for (DWORD i = 0; copyEntries && i < size.AceCount; ++i) {
        void* ace;
        if (!api.GetAce(dacl, i, &ace)) return Fail(GetLastError());
        const ACE_HEADER* header = static_cast<const ACE_HEADER*>(ace);
        if (MatchesAnyEntry(header, entry, entries, count)) continue;
        if (!api.AddAce(rebuilt, ACL_REVISION, MAXDWORD, ace, header->AceSize)) return Fail(GetLastError());
    }
    for (int e = 0; e < count; ++e) {
        entry->Header.AceFlags = entries[e].flags;
        entry->Mask = entries[e].mask;
        if (!api.AddAce(rebuilt, ACL_REVISION, MAXDWORD, entry, recordSize)) return Fail(GetLastError());
    }
    if (!api.SetSecurityDescriptorDacl(created, TRUE, rebuilt, FALSE)) return Fail(GetLastError());
    if (!api.SetUserObjectSecurity(object, &information, created)) return Fail(GetLastError());
    return TRUE;
}

}  // namespace

bool SameAce(const ACCESS_ALLOWED_ACE* existing, const ACCESS_ALLOWED_ACE* record)
{
    if (existing->Header.AceFlags != record->Header.AceFlags || existing->Header.AceSize != record->Header.AceSize ||
        existing->Header.AceType != record->Header.AceType || existing->Mask != record->Mask)
        return false;
    const BYTE* a = reinterpret_cast<const BYTE*>(&existing->SidStart);
    const BYTE* b = reinterpret_cast<const BYTE*>(&record->SidStart);
    for (DWORD i = 0; i + kAceHeaderAndMask < record->Header.AceSize; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

BOOL LookUpLogonSid(HANDLE token, PSID* sid)
{
    const SecurityApi& api = securityApi;
    DWORD needed = 0;
    if (!api.GetTokenInformation(token, TokenGroups, nullptr, 0, &needed) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return Fail(GetLastError());
    ScopedHeapBlock groups(AllocZeroed(needed));
    if (!groups.Valid()) return Fail(kNoMemoryError);
    if (!api.GetTokenInformation(token, TokenGroups, groups, needed, &needed)) return Fail(kSecondGroupQueryError);

    const TOKEN_GROUPS* list = static_cast<const TOKEN_GROUPS*>(groups.Get());
    for (DWORD i = 0; i < list->GroupCount; ++i) {
        if ((list->Groups[i].Attributes & SE_GROUP_LOGON_ID) != SE_GROUP_LOGON_ID) continue;
        DWORD length = api.GetLengthSid(list->Groups[i].Sid);
        void* copy = AllocZeroed(length);
        if (!copy) return Fail(kNoMemoryError);
        *sid = copy;
        if (!api.CopySid(length, copy, list->Groups[i].Sid)) {
            HeapFree(GetProcessHeap(), 0, copy);
            *sid = nullptr;
            return Fail(kCopySidError);
        }
        break;
    }
    return TRUE;
}

BOOL GrantStationAccess(HWINSTA station, PSID sid)
{
    return GrantObjectAccess(station, sid, kStationEntries, 2);
}

BOOL GrantDesktopAccess(HDESK desktop, PSID sid)
{
    return GrantObjectAccess(desktop, sid, kDesktopEntries, 1);
}
