#include "launch_support.h"

#include <cstring>

namespace {

InMemorySecurityObject* g_object = nullptr;

std::vector<BYTE> MakeSelfRelative(PSECURITY_DESCRIPTOR absolute)
{
    DWORD size = 0;
    MakeSelfRelativeSD(absolute, nullptr, &size);
    std::vector<BYTE> out(size);
    if (!MakeSelfRelativeSD(absolute, out.data(), &size)) out.clear();
    return out;
}

}  // namespace

std::vector<BYTE> LogonSid(DWORD n)
{
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID sid = nullptr;
    AllocateAndInitializeSid(&nt, 3, SECURITY_LOGON_IDS_RID, 0, n, 0, 0, 0, 0, 0, &sid);
    std::vector<BYTE> bytes(static_cast<BYTE*>(sid), static_cast<BYTE*>(sid) + GetLengthSid(sid));
    FreeSid(sid);
    return bytes;
}

InMemorySecurityObject::InMemorySecurityObject(DaclKind kind, const std::vector<AceDescription>& entries)
    : get_(SecurityApi::kGetUserObjectSecurity, &Get), set_(SecurityApi::kSetUserObjectSecurity, &Set)
{
    g_object = this;
    SECURITY_DESCRIPTOR absolute;
    InitializeSecurityDescriptor(&absolute, SECURITY_DESCRIPTOR_REVISION);
    std::vector<BYTE> acl(1024);
    InitializeAcl(reinterpret_cast<PACL>(acl.data()), DWORD(acl.size()), ACL_REVISION);
    for (const auto& e : entries) {
        PSID sid = const_cast<BYTE*>(e.sid.data());
        if (e.type == ACCESS_ALLOWED_ACE_TYPE)
            AddAccessAllowedAceEx(reinterpret_cast<PACL>(acl.data()), ACL_REVISION, e.flags, e.mask, sid);
        else
            AddAccessDeniedAceEx(reinterpret_cast<PACL>(acl.data()), ACL_REVISION, e.flags, e.mask, sid);
    }
    if (kind == DaclKind::Null) SetSecurityDescriptorDacl(&absolute, TRUE, nullptr, FALSE);
    if (kind == DaclKind::List) SetSecurityDescriptorDacl(&absolute, TRUE, reinterpret_cast<PACL>(acl.data()), FALSE);
    selfRelative_ = MakeSelfRelative(&absolute);
}

InMemorySecurityObject::~InMemorySecurityObject()
{
    g_object = nullptr;
}

BOOL WINAPI InMemorySecurityObject::Get(HANDLE, PSECURITY_INFORMATION, PSECURITY_DESCRIPTOR descriptor, DWORD length,
                                        LPDWORD needed)
{
    const std::vector<BYTE>& sd = g_object->selfRelative_;
    *needed = DWORD(sd.size());
    if (length < sd.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(descriptor, sd.data(), sd.size());
    return TRUE;
}

BOOL WINAPI InMemorySecurityObject::Set(HANDLE, PSECURITY_INFORMATION, PSECURITY_DESCRIPTOR descriptor)
{
    g_object->selfRelative_ = MakeSelfRelative(descriptor);
    ++g_object->writes;
    return !g_object->selfRelative_.empty();
}

bool InMemorySecurityObject::HasDacl() const
{
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(const_cast<BYTE*>(selfRelative_.data()), &present, &dacl, &defaulted);
    return present && dacl;
}

std::vector<AceDescription> InMemorySecurityObject::Entries() const
{
    std::vector<AceDescription> out;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(const_cast<BYTE*>(selfRelative_.data()), &present, &dacl, &defaulted);
    if (!dacl) return out;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        GetAce(dacl, i, &ace);
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);  // same layout for denied entries
        BYTE* sid = reinterpret_cast<BYTE*>(&allowed->SidStart);
        out.push_back({allowed->Header.AceType, allowed->Header.AceFlags, allowed->Mask,
                       std::vector<BYTE>(sid, sid + GetLengthSid(sid))});
    }
    return out;
}

ACL_SIZE_INFORMATION InMemorySecurityObject::DaclSize() const
{
    ACL_SIZE_INFORMATION size = {};
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(const_cast<BYTE*>(selfRelative_.data()), &present, &dacl, &defaulted);
    if (dacl) GetAclInformation(dacl, &size, sizeof size, AclSizeInformation);
    return size;
}

size_t ProcessHeapBlocks()
{
    HANDLE heap = GetProcessHeap();
    size_t busy = 0;
    HeapLock(heap);
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ++busy;
    HeapUnlock(heap);
    return busy;
}
