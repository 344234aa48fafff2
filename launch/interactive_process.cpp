#include "interactive_process.h"

#include "access_grants.h"
#include "framework/guards.h"
#include "framework/text.h"
#include "security_api.h"

namespace {

const DWORD kStationAccess = READ_CONTROL | WRITE_DAC;
const DWORD kDesktopAccess = READ_CONTROL | WRITE_DAC | DESKTOP_WRITEOBJECTS | DESKTOP_READOBJECTS;

// What differs between the two forms, apart from the child set-up below.
template <class C>
struct Form;

template <>
struct Form<wchar_t> {
    typedef OSVERSIONINFOW VersionInfo;
    typedef STARTUPINFOW StartupInfo;
    static BOOL GetVersion(VersionInfo* info) { return GetVersionExW(info); }
    static HWINSTA OpenStation() { return securityApi.OpenWindowStationW(L"winsta0", FALSE, kStationAccess); }
    static HDESK OpenDesktop() { return securityApi.OpenDesktopW(L"default", 0, FALSE, kDesktopAccess); }
    static wchar_t* DesktopName()
    {
        static wchar_t name[] = L"winsta0\\default";
        return name;
    }
    static BOOL Create(wchar_t* line, DWORD flags, void* environment, StartupInfo* startupInfo,
                       PROCESS_INFORMATION* child)
    {
        return CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, flags, environment, nullptr, startupInfo, child);
    }
    // The launcher's children resolve an unquoted path with blanks wrongly (and
    // would run C:\Program.exe first), so such a path is quoted.
    static bool QuotePathWithBlank() { return true; }
};

template <>
struct Form<char> {
    typedef OSVERSIONINFOA VersionInfo;
    typedef STARTUPINFOA StartupInfo;
    static BOOL GetVersion(VersionInfo* info) { return GetVersionExA(info); }
    static HWINSTA OpenStation() { return securityApi.OpenWindowStationA("winsta0", FALSE, kStationAccess); }
    static HDESK OpenDesktop() { return securityApi.OpenDesktopA("default", 0, FALSE, kDesktopAccess); }
    static char* DesktopName()
    {
        static char name[] = "winsta0\\default";
        return name;
    }
    static BOOL Create(char* line, DWORD flags, void* environment, StartupInfo* startupInfo,
                       PROCESS_INFORMATION* child)
    {
        return CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, flags, environment, nullptr, startupInfo, child);
    }
    static bool QuotePathWithBlank() { return false; }
};

// Joins application path, a blank and the arguments, and leaves the line in
// commandLine. Never cuts: a line that does not fit is refused.
template <class C>
bool JoinCommandLine(const C* applicationPath, C* commandLine)
{
    const C blank[] = {' ', 0};
    const C quote[] = {'"', 0};
    const C none[] = {0};
    bool quoted = Form<C>::QuotePathWithBlank() && applicationPath[0] != '"' &&
                  TextFindLast(applicationPath, C(' ')) >= 0;
    C joined[MAX_PATH];
    if (!TextConcat(joined, MAX_PATH, quoted ? quote : none, applicationPath, quoted ? quote : none, blank,
                    static_cast<const C*>(commandLine))) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    TextCopy(commandLine, MAX_PATH, static_cast<const C*>(joined));
    return true;
}

// The launcher's child: its own environment with TEMP and TMP pointing to the
// system "\Temp" folder, and optionally that folder as its working folder.
// The disc menu's child inherits both, so its set-up does nothing.
template <class C>
struct ChildSetup {
    bool Prepare(BOOL, DWORD*) { return true; }
    DWORD CreationFlags() const { return 0; }
    void* Environment() const { return nullptr; }
    void Restore() {}
};

template <>
struct ChildSetup<wchar_t> {
    wchar_t* ownBlock = nullptr;
    ScopedHeapBlock childBlock;
    wchar_t savedFolder[MAX_PATH] = L"";

    static bool StartsWith(const wchar_t* entry, const wchar_t* prefix)
    {
        for (; *prefix; ++entry, ++prefix)
            if (*entry != *prefix && !(*entry >= L'a' && *entry <= L'z' && *entry - 32 == *prefix)) return false;
        return true;
    }

    // The entry to write in place of `entry`: itself, or a replacement.
    static const wchar_t* ChildEntry(const wchar_t* entry, const wchar_t* temp, const wchar_t* tmp)
    {
        if (StartsWith(entry, L"TEMP=")) return temp;
        if (StartsWith(entry, L"TMP=")) return tmp;
        return entry;
    }

    bool Prepare(BOOL runFromSystemTemp, DWORD* error)
    {
        wchar_t systemRoot[MAX_PATH] = L"";
        DWORD n = GetEnvironmentVariableW(L"SystemRoot", systemRoot, MAX_PATH);
        if (n >= MAX_PATH) systemRoot[0] = 0;
        wchar_t temp[100], tmp[100], systemTemp[MAX_PATH];
        if (!TextConcat(temp, 100, L"TEMP=", static_cast<const wchar_t*>(systemRoot), L"\\Temp") ||
            !TextConcat(tmp, 100, L"TMP=", static_cast<const wchar_t*>(systemRoot), L"\\Temp") ||
            !TextConcat(systemTemp, MAX_PATH, static_cast<const wchar_t*>(systemRoot), L"\\Temp")) {
            *error = ERROR_FILENAME_EXCED_RANGE;
            return false;
        }

        ownBlock = GetEnvironmentStringsW();
        if (!ownBlock) {
            *error = GetLastError();
            return false;
        }
        // Room for the block plus 200 characters; more only if the block holds
        // several TEMP= or TMP= entries, so that nothing is ever written past it.
        size_t count = 0, needed = 1;
        for (const wchar_t* e = ownBlock; *e; e += TextLength(e) + 1) {
            count += TextLength(e) + 1;
            needed += TextLength(ChildEntry(e, temp, tmp)) + 1;
        }
        size_t capacity = count + 200 > needed ? count + 200 : needed;
        childBlock.Reset(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, capacity * sizeof(wchar_t)));
        if (!childBlock.Valid()) {
            *error = kNoMemoryError;
            return false;
        }
        wchar_t* out = static_cast<wchar_t*>(childBlock.Get());
        for (const wchar_t* e = ownBlock; *e; e += TextLength(e) + 1) {
            const wchar_t* written = ChildEntry(e, temp, tmp);
            size_t length = TextLength(written);
            for (size_t i = 0; i < length; ++i) *out++ = written[i];
            *out++ = 0;
        }
        *out = 0;

        DWORD kept = GetCurrentDirectoryW(MAX_PATH, savedFolder);
        if (kept == 0 || kept >= MAX_PATH) savedFolder[0] = 0;
        if (runFromSystemTemp) SetCurrentDirectoryW(systemTemp);
        return true;
    }
    DWORD CreationFlags() const { return CREATE_UNICODE_ENVIRONMENT; }
    void* Environment() const { return childBlock.Get(); }
    void Restore()
    {
        if (savedFolder[0]) SetCurrentDirectoryW(savedFolder);
        childBlock.Reset();
        if (ownBlock) FreeEnvironmentStringsW(ownBlock);
        ownBlock = nullptr;
    }
};

// Windows XP (NT 5.1) and later take the interactive path.
template <class V>
bool HasInteractiveDesktop(const V& version)
{
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           (version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1));
}

// Older systems: the child is just created.
template <class C>
BOOL StartPlainProcess(C* commandLine, typename Form<C>::StartupInfo* startupInfo, BOOL waitForExit)
{
    PROCESS_INFORMATION child = {};
    BOOL created = Form<C>::Create(commandLine, 0, nullptr, startupInfo, &child);
    if (created) {
        if (waitForExit) WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
    return created;
}

template <class C>
BOOL StartProcess(const C* applicationPath, C* commandLine, typename Form<C>::StartupInfo* startupInfo,
                  BOOL waitForExit, BOOL runFromSystemTemp)
{
    typename Form<C>::VersionInfo version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!Form<C>::GetVersion(&version)) return FALSE;
    if (!HasInteractiveDesktop(version)) {
        if (!JoinCommandLine(applicationPath, commandLine)) return FALSE;
        return StartPlainProcess(commandLine, startupInfo, waitForExit);
    }

    const SecurityApi& api = securityApi;
    HANDLE token = nullptr;
    HWINSTA previousStation = nullptr, station = nullptr;
    HDESK desktop = nullptr;
    PSID logonSid = nullptr;
    bool impersonating = false;
    PROCESS_INFORMATION child = {};
    ChildSetup<C> setup;
    DWORD error = 0;

    // The steps up to the child's creation; the first failure stops them.
    auto fail = [&error](DWORD code) {
        error = code;
        return false;
    };
    bool ok = [&]() {
        if (!api.OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &token)) return fail(GetLastError());
        if (!(previousStation = api.GetProcessWindowStation())) return fail(GetLastError());
        if (!(station = Form<C>::OpenStation())) return fail(GetLastError());
        if (!api.SetProcessWindowStation(station)) return fail(GetLastError());
        if (!(desktop = Form<C>::OpenDesktop())) return fail(GetLastError());
        if (!api.SetProcessWindowStation(previousStation)) return fail(GetLastError());
        if (!LookUpLogonSid(token, &logonSid)) return fail(GetLastError());
        if (logonSid && (!GrantStationAccess(station, logonSid) || !GrantDesktopAccess(desktop, logonSid)))
            return fail(GetLastError());
        if (!api.ImpersonateLoggedOnUser(token)) return fail(GetLastError());
        impersonating = true;
        startupInfo->lpDesktop = Form<C>::DesktopName();
        if (!JoinCommandLine(applicationPath, commandLine)) return fail(GetLastError());
        if (!setup.Prepare(runFromSystemTemp, &error)) return false;
        if (!Form<C>::Create(commandLine, setup.CreationFlags(), setup.Environment(), startupInfo, &child))
            return fail(GetLastError());
        return true;
    }();

    // One way back for success and failure alike, in this order.
    setup.Restore();
    if (impersonating && !api.RevertToSelf() && ok) ok = fail(GetLastError());
    if (child.hProcess) {
        if (ok && waitForExit) WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
    if (previousStation) api.SetProcessWindowStation(previousStation);
    if (logonSid) HeapFree(GetProcessHeap(), 0, logonSid);
    if (station) api.CloseWindowStation(station);
    if (desktop) api.CloseDesktop(desktop);
    if (token) CloseHandle(token);
    if (!ok) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

BOOL StartInteractiveProcess(const wchar_t* applicationPath, wchar_t* commandLine, STARTUPINFOW* startupInfo,
                             BOOL waitForExit, BOOL runFromSystemTemp)
{
    return StartProcess(applicationPath, commandLine, startupInfo, waitForExit, runFromSystemTemp);
}

BOOL StartInteractiveProcess(const char* applicationPath, char* commandLine, STARTUPINFOA* startupInfo,
                             BOOL waitForExit)
{
    return StartProcess(applicationPath, commandLine, startupInfo, waitForExit, FALSE);
}
