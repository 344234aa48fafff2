// Helpers of the launch tests: substituting one slot of the process's
// SecurityApi table, and security objects kept in memory.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "launch/launch.h"

// Puts `replacement` into one slot for the length of a scope.
class SlotSubstitution {
public:
    template <class Function>
    SlotSubstitution(SecurityApi::Slot slot, Function* replacement)
        : slot_(slot), saved_(securityApi.slots[slot])
    {
        securityApi.slots[slot] = reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(replacement));
    }
    // Leaves the slot unbound.
    explicit SlotSubstitution(SecurityApi::Slot slot) : slot_(slot), saved_(securityApi.slots[slot])
    {
        securityApi.slots[slot] = nullptr;
    }
    ~SlotSubstitution() { securityApi.slots[slot_] = saved_; }
    SlotSubstitution(const SlotSubstitution&) = delete;
    SlotSubstitution& operator=(const SlotSubstitution&) = delete;

private:
    SecurityApi::Slot slot_;
    FARPROC saved_;
};

// A well-formed SID S-1-5-5-0-<n>, as logon SIDs look.
std::vector<BYTE> LogonSid(DWORD n);

// One entry of an access list as the tests describe it.
struct AceDescription {
    BYTE type;       // ACCESS_ALLOWED_ACE_TYPE or ACCESS_DENIED_ACE_TYPE
    BYTE flags;
    ACCESS_MASK mask;
    std::vector<BYTE> sid;
    bool operator==(const AceDescription& other) const
    {
        return type == other.type && flags == other.flags && mask == other.mask && sid == other.sid;
    }
};

// How the object's DACL looks before a grant.
enum class DaclKind { Absent, Null, List };

// A window station or desktop whose security descriptor lives in memory, read
// and written through substituted GetUserObjectSecurity/SetUserObjectSecurity
// slots for as long as the object exists.
class InMemorySecurityObject {
public:
    InMemorySecurityObject(DaclKind kind, const std::vector<AceDescription>& entries = {});
    ~InMemorySecurityObject();
    HANDLE Handle() const { return reinterpret_cast<HANDLE>(0x5EC0); }

    std::vector<AceDescription> Entries() const;  // of the current DACL
    ACL_SIZE_INFORMATION DaclSize() const;        // AclBytesFree tells unused space
    bool HasDacl() const;
    int writes = 0;

private:
    static BOOL WINAPI Get(HANDLE, PSECURITY_INFORMATION, PSECURITY_DESCRIPTOR, DWORD, LPDWORD);
    static BOOL WINAPI Set(HANDLE, PSECURITY_INFORMATION, PSECURITY_DESCRIPTOR);
    std::vector<BYTE> selfRelative_;
    SlotSubstitution get_, set_;
};

// Busy blocks on the process heap, to tell whether an operation left any.
size_t ProcessHeapBlocks();
