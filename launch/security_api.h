// The security and window-station functions that the interactive launch needs,
// bound by name at start-up instead of imported, so that a program still loads
// and runs where a system library lacks some of them. A call-through whose
// function is not bound sets NotBoundError and returns its failure value.
#pragma once

#include <windows.h>

const DWORD NotBoundError = 1000001;

class SecurityApi {
public:
    // Which forms of the two "Open" functions to bind, and how the libraries
    // are loaded: wide in the launcher, narrow (ANSI) in the disc menu.
    enum Form { kWideForms, kNarrowForms };

    // The slots, in binding order.
    enum Slot {
        kGetTokenInformation, kGetLengthSid, kCopySid, kInitializeSecurityDescriptor,
        kGetSecurityDescriptorDacl, kSetSecurityDescriptorDacl, kGetAclInformation, kInitializeAcl,
        kGetAce, kAddAce, kOpenProcessToken, kImpersonateLoggedOnUser, kRevertToSelf,
        kGetUserObjectSecurity, kSetUserObjectSecurity, kOpenWindowStation, kCloseWindowStation,
        kOpenDesktop, kCloseDesktop, kGetProcessWindowStation, kSetProcessWindowStation,
        kSlotCount,
        kFirstUser32Slot = kGetUserObjectSecurity
    };

    // Binds every function it can find; never fails.
    explicit SecurityApi(Form form);
    // Frees the libraries, once.
    ~SecurityApi();
    void Release();

    SecurityApi(const SecurityApi&) = delete;
    SecurityApi& operator=(const SecurityApi&) = delete;

    Form form;
    HMODULE advapi32;
    HMODULE user32;
    // Function addresses, null when not bound. Tests may substitute a slot.
    FARPROC slots[kSlotCount];

    // Call-throughs: the platform functions' own arguments and results.
    BOOL GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS infoClass, LPVOID info, DWORD length,
                             PDWORD returnLength) const;
    DWORD GetLengthSid(PSID sid) const;
    BOOL CopySid(DWORD length, PSID destination, PSID source) const;
    BOOL InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor, DWORD revision) const;
    BOOL GetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, LPBOOL present, PACL* dacl,
                                   LPBOOL defaulted) const;
    BOOL SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, BOOL present, PACL dacl, BOOL defaulted) const;
    BOOL GetAclInformation(PACL acl, LPVOID info, DWORD length, ACL_INFORMATION_CLASS infoClass) const;
    BOOL InitializeAcl(PACL acl, DWORD length, DWORD revision) const;
    BOOL GetAce(PACL acl, DWORD index, LPVOID* ace) const;
    BOOL AddAce(PACL acl, DWORD revision, DWORD startIndex, LPVOID aceList, DWORD aceListLength) const;
    BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) const;
    BOOL ImpersonateLoggedOnUser(HANDLE token) const;
    BOOL RevertToSelf() const;
    BOOL GetUserObjectSecurity(HANDLE object, PSECURITY_INFORMATION requested, PSECURITY_DESCRIPTOR descriptor,
                               DWORD length, LPDWORD needed) const;
    BOOL SetUserObjectSecurity(HANDLE object, PSECURITY_INFORMATION information,
                               PSECURITY_DESCRIPTOR descriptor) const;
    HWINSTA OpenWindowStationW(LPCWSTR name, BOOL inherit, ACCESS_MASK access) const;
    HWINSTA OpenWindowStationA(LPCSTR name, BOOL inherit, ACCESS_MASK access) const;
    BOOL CloseWindowStation(HWINSTA station) const;
    HDESK OpenDesktopW(LPCWSTR name, DWORD flags, BOOL inherit, ACCESS_MASK access) const;
    HDESK OpenDesktopA(LPCSTR name, DWORD flags, BOOL inherit, ACCESS_MASK access) const;
    BOOL CloseDesktop(HDESK desktop) const;
    HWINSTA GetProcessWindowStation() const;
    BOOL SetProcessWindowStation(HWINSTA station) const;

private:
    // The slot's function, or null when not bound (or bound in the other form).
    template <class Function>
    Function Bound(Slot slot, bool formMatches = true) const;
    bool released_;
};

// The process's one table. Each program defines it, with its form, ahead of its
// other static objects, so that it is bound before anything else runs.
extern SecurityApi securityApi;
