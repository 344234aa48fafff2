#include "security_api.h"

namespace {

// Exported names, in slot order; the two "Open" functions by form.
const char* const kNames[SecurityApi::kSlotCount] = {
    "GetTokenInformation", "GetLengthSid", "CopySid", "InitializeSecurityDescriptor",
    "GetSecurityDescriptorDacl", "SetSecurityDescriptorDacl", "GetAclInformation", "InitializeAcl",
    "GetAce", "AddAce", "OpenProcessToken", "ImpersonateLoggedOnUser", "RevertToSelf",
    "GetUserObjectSecurity", "SetUserObjectSecurity", nullptr, "CloseWindowStation",
    nullptr, "CloseDesktop", "GetProcessWindowStation", "SetProcessWindowStation",
};

HMODULE LoadSystemLibrary(SecurityApi::Form form, const wchar_t* wide, const char* narrow)
{
    return form == SecurityApi::kWideForms ? LoadLibraryW(wide) : LoadLibraryA(narrow);
}

void BindRange(HMODULE module, SecurityApi::Form form, FARPROC* slots, int first, int end)
{
    for (int i = first; i < end; ++i) {
        const char* name = kNames[i];
        if (i == SecurityApi::kOpenWindowStation)
            name = form == SecurityApi::kWideForms ? "OpenWindowStationW" : "OpenWindowStationA";
        else if (i == SecurityApi::kOpenDesktop)
            name = form == SecurityApi::kWideForms ? "OpenDesktopW" : "OpenDesktopA";
        slots[i] = GetProcAddress(module, name);
    }
}

}  // namespace

SecurityApi::SecurityApi(Form form_) : form(form_), advapi32(nullptr), user32(nullptr), slots(), released_(false)
{
    advapi32 = LoadSystemLibrary(form, L"advapi32.dll", "advapi32.dll");
    if (!advapi32) return;
    BindRange(advapi32, form, slots, 0, kFirstUser32Slot);
    user32 = LoadSystemLibrary(form, L"user32.dll", "user32.dll");
    if (!user32) return;
    BindRange(user32, form, slots, kFirstUser32Slot, kSlotCount);
}

SecurityApi::~SecurityApi()
{
    Release();
}

void SecurityApi::Release()
{
    if (released_) return;
    released_ = true;
    if (advapi32) FreeLibrary(advapi32);
    if (user32) FreeLibrary(user32);
    advapi32 = nullptr;
    user32 = nullptr;
}

template <class Function>
Function SecurityApi::Bound(Slot slot, bool formMatches) const
{
    if (!slots[slot] || !formMatches) {
        SetLastError(NotBoundError);
        return nullptr;
    }
    // Through the one function-pointer type that converts to all others.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(slots[slot]));
}

// Each call-through: the bound function with the arguments unchanged, or the
// failure value of its kind (NotBoundError already set).
#define CALL_THROUGH(slot, failure, function, ...)                    \
    auto bound = Bound<decltype(&::function)>(slot);                  \
    return bound ? bound(__VA_ARGS__) : failure

BOOL SecurityApi::GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS infoClass, LPVOID info, DWORD length,
                                      PDWORD returnLength) const
{
    CALL_THROUGH(kGetTokenInformation, FALSE, GetTokenInformation, token, infoClass, info, length, returnLength);
}

DWORD SecurityApi::GetLengthSid(PSID sid) const
{
    CALL_THROUGH(kGetLengthSid, 0xFFFFFFFF, GetLengthSid, sid);
}

BOOL SecurityApi::CopySid(DWORD length, PSID destination, PSID source) const
{
    CALL_THROUGH(kCopySid, FALSE, CopySid, length, destination, source);
}

BOOL SecurityApi::InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor, DWORD revision) const
{
    CALL_THROUGH(kInitializeSecurityDescriptor, FALSE, InitializeSecurityDescriptor, descriptor, revision);
}

BOOL SecurityApi::GetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, LPBOOL present, PACL* dacl,
                                            LPBOOL defaulted) const
{
    CALL_THROUGH(kGetSecurityDescriptorDacl, FALSE, GetSecurityDescriptorDacl, descriptor, present, dacl, defaulted);
}

BOOL SecurityApi::SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, BOOL present, PACL dacl,
                                            BOOL defaulted) const
{
    CALL_THROUGH(kSetSecurityDescriptorDacl, FALSE, SetSecurityDescriptorDacl, descriptor, present, dacl, defaulted);
}

BOOL SecurityApi::GetAclInformation(PACL acl, LPVOID info, DWORD length, ACL_INFORMATION_CLASS infoClass) const
{
    CALL_THROUGH(kGetAclInformation, FALSE, GetAclInformation, acl, info, length, infoClass);
}

BOOL SecurityApi::InitializeAcl(PACL acl, DWORD length, DWORD revision) const
{
    CALL_THROUGH(kInitializeAcl, FALSE, InitializeAcl, acl, length, revision);
}

BOOL SecurityApi::GetAce(PACL acl, DWORD index, LPVOID* ace) const
{
    CALL_THROUGH(kGetAce, FALSE, GetAce, acl, index, ace);
}

BOOL SecurityApi::AddAce(PACL acl, DWORD revision, DWORD startIndex, LPVOID aceList, DWORD aceListLength) const
{
    CALL_THROUGH(kAddAce, FALSE, AddAce, acl, revision, startIndex, aceList, aceListLength);
}

BOOL SecurityApi::OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) const
{
    CALL_THROUGH(kOpenProcessToken, FALSE, OpenProcessToken, process, access, token);
}

BOOL SecurityApi::ImpersonateLoggedOnUser(HANDLE token) const
{
    CALL_THROUGH(kImpersonateLoggedOnUser, FALSE, ImpersonateLoggedOnUser, token);
}

BOOL SecurityApi::RevertToSelf() const
{
    auto bound = Bound<decltype(&::RevertToSelf)>(kRevertToSelf);
    return bound ? bound() : FALSE;
}

BOOL SecurityApi::GetUserObjectSecurity(HANDLE object, PSECURITY_INFORMATION requested,
                                        PSECURITY_DESCRIPTOR descriptor, DWORD length, LPDWORD needed) const
{
    CALL_THROUGH(kGetUserObjectSecurity, FALSE, GetUserObjectSecurity, object, requested, descriptor, length, needed);
}

BOOL SecurityApi::SetUserObjectSecurity(HANDLE object, PSECURITY_INFORMATION information,
                                        PSECURITY_DESCRIPTOR descriptor) const
{
    CALL_THROUGH(kSetUserObjectSecurity, FALSE, SetUserObjectSecurity, object, information, descriptor);
}

HWINSTA SecurityApi::OpenWindowStationW(LPCWSTR name, BOOL inherit, ACCESS_MASK access) const
{
    auto bound = Bound<decltype(&::OpenWindowStationW)>(kOpenWindowStation, form == kWideForms);
    return bound ? bound(name, inherit, access) : nullptr;
}

HWINSTA SecurityApi::OpenWindowStationA(LPCSTR name, BOOL inherit, ACCESS_MASK access) const
{
    auto bound = Bound<decltype(&::OpenWindowStationA)>(kOpenWindowStation, form == kNarrowForms);
    return bound ? bound(name, inherit, access) : nullptr;
}

BOOL SecurityApi::CloseWindowStation(HWINSTA station) const
{
    CALL_THROUGH(kCloseWindowStation, FALSE, CloseWindowStation, station);
}

HDESK SecurityApi::OpenDesktopW(LPCWSTR name, DWORD flags, BOOL inherit, ACCESS_MASK access) const
{
    auto bound = Bound<decltype(&::OpenDesktopW)>(kOpenDesktop, form == kWideForms);
    return bound ? bound(name, flags, inherit, access) : nullptr;
}

HDESK SecurityApi::OpenDesktopA(LPCSTR name, DWORD flags, BOOL inherit, ACCESS_MASK access) const
{
    auto bound = Bound<decltype(&::OpenDesktopA)>(kOpenDesktop, form == kNarrowForms);
    return bound ? bound(name, flags, inherit, access) : nullptr;
}

BOOL SecurityApi::CloseDesktop(HDESK desktop) const
{
    CALL_THROUGH(kCloseDesktop, FALSE, CloseDesktop, desktop);
}

HWINSTA SecurityApi::GetProcessWindowStation() const
{
    auto bound = Bound<decltype(&::GetProcessWindowStation)>(kGetProcessWindowStation);
    return bound ? bound() : nullptr;
}

BOOL SecurityApi::SetProcessWindowStation(HWINSTA station) const
{
    CALL_THROUGH(kSetProcessWindowStation, FALSE, SetProcessWindowStation, station);
}
