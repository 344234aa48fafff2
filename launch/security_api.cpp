#include "security_api.h"

#include "framework/system_library.h"

namespace {

// Exported names, in slot order; the two "Open" functions by form.
const char* const kNames[SecurityApi::kSlotCount] = {
    "GetTokenInformation", "GetLengthSid", "CopySid", "InitializeSecurityDescriptor",
    "GetSecurityDescriptorDacl", "SetSecurityDescriptorDacl", "GetAclInformation", "InitializeAcl",
    "GetAce", "AddAce", "OpenProcessToken", "ImpersonateLoggedOnUser", "RevertToSelf",
    "GetUserObjectSecurity", "SetUserObjectSecurity", nullptr, "CloseWindowStation",
    nullptr, "CloseDesktop", "GetProcessWindowStation", "SetProcessWindowStation",
};

// From the system folder by full path, by wide or narrow name as the form says.
HMODULE LoadLibraryOfForm(SecurityApi::Form form, const wchar_t* wide, const char* narrow)
{
    return form == SecurityApi::kWideForms ? LoadSystemLibrary(wide) : LoadSystemLibrary(narrow);
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
    advapi32 = LoadLibraryOfForm(form, L"advapi32.dll", "advapi32.dll");
    if (!advapi32) return;
    BindRange(advapi32, form, slots, 0, kFirstUser32Slot);
    user32 = LoadLibraryOfForm(form, L"user32.dll", "user32.dll");
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
    return AsFunction<Function>(slots[slot]);
}

// Each call-through: the bound function with the arguments unchanged, or the
// failure value of its kind (NotBoundError already set).
BOOL SecurityApi::GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS infoClass, LPVOID info, DWORD length,
                                      PDWORD returnLength) const
{
    auto bound = Bound<decltype(&::GetTokenInformation)>(kGetTokenInformation);
    return bound ? bound(token, infoClass, info, length, returnLength) : FALSE;
}

DWORD SecurityApi::GetLengthSid(PSID sid) const
{
    auto bound = Bound<decltype(&::GetLengthSid)>(kGetLengthSid);
    return bound ? bound(sid) : 0xFFFFFFFF;
}

BOOL SecurityApi::CopySid(DWORD length, PSID destination, PSID source) const
{
    auto bound = Bound<decltype(&::CopySid)>(kCopySid);
    return bound ? bound(length, destination, source) : FALSE;
}

BOOL SecurityApi::InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor, DWORD revision) const
{
    auto bound = Bound<decltype(&::InitializeSecurityDescriptor)>(kInitializeSecurityDescriptor);
    return bound ? bound(descriptor, revision) : FALSE;
}

BOOL SecurityApi::GetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, LPBOOL present, PACL* dacl,
                                            LPBOOL defaulted) const
{
    auto bound = Bound<decltype(&::GetSecurityDescriptorDacl)>(kGetSecurityDescriptorDacl);
    return bound ? bound(descriptor, present, dacl, defaulted) : FALSE;
}

BOOL SecurityApi::SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, BOOL present, PACL dacl,
                                            BOOL defaulted) const
{
    auto bound = Bound<decltype(&::SetSecurityDescriptorDacl)>(kSetSecurityDescriptorDacl);
    return bound ? bound(descriptor, present, dacl, defaulted) : FALSE;
}

BOOL SecurityApi::GetAclInformation(PACL acl, LPVOID info, DWORD length, ACL_INFORMATION_CLASS infoClass) const
{
    auto bound = Bound<decltype(&::GetAclInformation)>(kGetAclInformation);
    return bound ? bound(acl, info, length, infoClass) : FALSE;
}

BOOL SecurityApi::InitializeAcl(PACL acl, DWORD length, DWORD revision) const
{
    auto bound = Bound<decltype(&::InitializeAcl)>(kInitializeAcl);
    return bound ? bound(acl, length, revision) : FALSE;
}

BOOL SecurityApi::GetAce(PACL acl, DWORD index, LPVOID* ace) const
{
    auto bound = Bound<decltype(&::GetAce)>(kGetAce);
    return bound ? bound(acl, index, ace) : FALSE;
}

BOOL SecurityApi::AddAce(PACL acl, DWORD revision, DWORD startIndex, LPVOID aceList, DWORD aceListLength) const
{
    auto bound = Bound<decltype(&::AddAce)>(kAddAce);
    return bound ? bound(acl, revision, startIndex, aceList, aceListLength) : FALSE;
}

BOOL SecurityApi::OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) const
{
    auto bound = Bound<decltype(&::OpenProcessToken)>(kOpenProcessToken);
    return bound ? bound(process, access, token) : FALSE;
}

BOOL SecurityApi::ImpersonateLoggedOnUser(HANDLE token) const
{
    auto bound = Bound<decltype(&::ImpersonateLoggedOnUser)>(kImpersonateLoggedOnUser);
    return bound ? bound(token) : FALSE;
}

BOOL SecurityApi::RevertToSelf() const
{
    auto bound = Bound<decltype(&::RevertToSelf)>(kRevertToSelf);
    return bound ? bound() : FALSE;
}

BOOL SecurityApi::GetUserObjectSecurity(HANDLE object, PSECURITY_INFORMATION requested,
                                        PSECURITY_DESCRIPTOR descriptor, DWORD length, LPDWORD needed) const
{
    auto bound = Bound<decltype(&::GetUserObjectSecurity)>(kGetUserObjectSecurity);
    return bound ? bound(object, requested, descriptor, length, needed) : FALSE;
}

BOOL SecurityApi::SetUserObjectSecurity(HANDLE object, PSECURITY_INFORMATION information,
                                        PSECURITY_DESCRIPTOR descriptor) const
{
    auto bound = Bound<decltype(&::SetUserObjectSecurity)>(kSetUserObjectSecurity);
    return bound ? bound(object, information, descriptor) : FALSE;
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
    auto bound = Bound<decltype(&::CloseWindowStation)>(kCloseWindowStation);
    return bound ? bound(station) : FALSE;
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
    auto bound = Bound<decltype(&::CloseDesktop)>(kCloseDesktop);
    return bound ? bound(desktop) : FALSE;
}

HWINSTA SecurityApi::GetProcessWindowStation() const
{
    auto bound = Bound<decltype(&::GetProcessWindowStation)>(kGetProcessWindowStation);
    return bound ? bound() : nullptr;
}

BOOL SecurityApi::SetProcessWindowStation(HWINSTA station) const
{
    auto bound = Bound<decltype(&::SetProcessWindowStation)>(kSetProcessWindowStation);
    return bound ? bound(station) : FALSE;
}
