// StartInteractiveProcess, wide form, end to end with the probe child.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "launch_support.h"
#include "support.h"

namespace {

// Runs the probe (or the given program) with the record going to `record`.
struct Launch {
    BOOL result = FALSE;
    DWORD error = 0;
    std::wstring commandLine;
    STARTUPINFOW startupInfo = {};
};

Launch Start(const std::wstring& program, const std::wstring& arguments, const std::wstring& record, BOOL wait,
             BOOL runFromSystemTemp)
{
    Launch launch;
    wchar_t line[MAX_PATH] = L"";
    wcsncpy(line, arguments.c_str(), MAX_PATH - 1);
    launch.startupInfo.cb = sizeof launch.startupInfo;
    SetEnvironmentVariableW(L"PROBE_RECORD", record.c_str());
    SetLastError(0xdeadbeef);
    launch.result = StartInteractiveProcess(program.c_str(), line, &launch.startupInfo, wait, runFromSystemTemp);
    launch.error = GetLastError();
    SetEnvironmentVariableW(L"PROBE_RECORD", nullptr);
    launch.commandLine = line;
    return launch;
}

TEST(StartInteractiveProcess, StartsOnTheInteractiveDesktopWithTheJoinedLine)
{
    ScratchFolder scratch;
    Launch launch = Start(ProbeProgram(), L"-v x", scratch / L"record", TRUE, FALSE);
    ASSERT_TRUE(launch.result) << launch.error;
    ASSERT_NE(nullptr, launch.startupInfo.lpDesktop);
    EXPECT_STREQ(L"winsta0\\default", launch.startupInfo.lpDesktop);
    EXPECT_EQ(ProbeProgram() + L" -v x", launch.commandLine);
    auto runs = ReadProbeRecords(scratch / L"record");
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(ProbeProgram() + L" -v x", runs[0].commandLine);
    EXPECT_TRUE(runs[0].ended);

    Launch empty = Start(ProbeProgram(), L"", scratch / L"record2", TRUE, FALSE);
    EXPECT_EQ(ProbeProgram() + L" ", empty.commandLine);
}

TEST(StartInteractiveProcess, QuotesAnApplicationPathWithBlanks)
{
    ScratchFolder scratch;
    CreateDirectoryW((scratch / L"a b").c_str(), nullptr);
    std::wstring program = scratch / L"a b\\probe.exe";
    ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), program.c_str(), FALSE));
    // A program planted where an unquoted path would be tried first.
    std::wstring planted = scratch / L"a.exe";
    ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), planted.c_str(), FALSE));

    Launch launch = Start(program, L"-jar \"x y.jar\"", scratch / L"record", TRUE, FALSE);
    ASSERT_TRUE(launch.result) << launch.error;
    std::wstring expected = L"\"" + program + L"\" -jar \"x y.jar\"";
    EXPECT_EQ(expected, launch.commandLine);
    auto runs = ReadProbeRecords(scratch / L"record");
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(expected, runs[0].commandLine);
    EXPECT_EQ(program, runs[0].program) << "not the planted program";

    // A path already in quotes stays as it is.
    Launch quoted = Start(L"\"" + program + L"\"", L"z", scratch / L"record", TRUE, FALSE);
    EXPECT_EQ(L"\"" + program + L"\" z", quoted.commandLine);
}

TEST(StartInteractiveProcess, RefusesAJoinedLineLongerThanItsBuffer)
{
    ScratchFolder scratch;
    std::wstring arguments(MAX_PATH - 1 - ProbeProgram().size(), L'a');  // one more than fits with the blank
    Launch launch = Start(ProbeProgram(), arguments, scratch / L"record", TRUE, FALSE);
    EXPECT_FALSE(launch.result);
    EXPECT_EQ(DWORD(ERROR_FILENAME_EXCED_RANGE), launch.error);
    EXPECT_EQ(arguments, launch.commandLine);
    EXPECT_FALSE(PathExists(scratch / L"record"));

    arguments.pop_back();  // exactly 259 characters joined
    Launch fits = Start(ProbeProgram(), arguments, scratch / L"record", TRUE, FALSE);
    EXPECT_TRUE(fits.result) << fits.error;
    EXPECT_EQ(size_t(MAX_PATH - 1), fits.commandLine.size());
}

// Sets environment variables for a scope, and takes them away again.
class Variables {
public:
    Variables(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> list)
    {
        for (auto& v : list) {
            wchar_t old[1024];
            DWORD n = GetEnvironmentVariableW(v.first, old, 1024);
            saved_.push_back({v.first, n ? std::wstring(old) : std::wstring(), n != 0});
            SetEnvironmentVariableW(v.first, v.second);
        }
    }
    ~Variables()
    {
        for (auto& s : saved_) SetEnvironmentVariableW(s.name.c_str(), s.had ? s.value.c_str() : nullptr);
    }

private:
    struct Saved {
        std::wstring name, value;
        bool had;
    };
    std::vector<Saved> saved_;
};

// Wine sets its own WINE... variables, SystemDrive and SystemRoot again when a
// process starts, at the end of the block: their places are Wine's doing.
bool IsWineVariable(const std::wstring& entry)
{
    return entry.rfind(L"WINE", 0) == 0 || entry.rfind(L"SystemDrive=", 0) == 0 ||
           entry.rfind(L"SystemRoot=", 0) == 0;
}

std::vector<std::wstring> OwnEnvironment()
{
    std::vector<std::wstring> out;
    wchar_t* block = GetEnvironmentStringsW();
    for (const wchar_t* e = block; *e; e += wcslen(e) + 1)
        if (!IsWineVariable(e)) out.push_back(e);
    FreeEnvironmentStringsW(block);
    return out;
}

TEST(StartInteractiveProcess, GivesTheChildTempAndTmpInTheSystemFolderInPlace)
{
    ScratchFolder scratch;
    Variables variables{{L"TEMP", nullptr}, {L"TMP", nullptr}};
    Variables named{{L"Temp", L"C:\\users\\me\\temp"}, {L"tmp", L"C:\\users\\me\\tmp"}, {L"TEMPDIR", L"keep 1"},
                    {L"TMPX", L"keep 2"}, {L"TEMPLATE", L"keep 3"}};
    std::vector<std::wstring> expected;
    for (const std::wstring& e : OwnEnvironment()) {
        if (_wcsnicmp(e.c_str(), L"TEMP=", 5) == 0)
            expected.push_back(L"TEMP=" + SystemTemp());
        else if (_wcsnicmp(e.c_str(), L"TMP=", 4) == 0)
            expected.push_back(L"TMP=" + SystemTemp());
        else if (e.rfind(L"PROBE_RECORD=", 0) != 0)
            expected.push_back(e);
    }
    Launch launch = Start(ProbeProgram(), L"", scratch / L"record", TRUE, FALSE);
    ASSERT_TRUE(launch.result) << launch.error;
    auto runs = ReadProbeRecords(scratch / L"record");
    ASSERT_EQ(1u, runs.size());
    std::vector<std::wstring> child;
    for (const std::wstring& e : runs[0].environment)
        if (e.rfind(L"PROBE_RECORD=", 0) != 0 && !IsWineVariable(e)) child.push_back(e);
    EXPECT_EQ(expected, child);
}

TEST(StartInteractiveProcess, RunsFromTheSystemTempFolderOnlyWhenAsked)
{
    ScratchFolder scratch;
    std::wstring before = CurrentFolder();
    SetCurrentDirectoryW(scratch.Path().c_str());
    Launch fromTemp = Start(ProbeProgram(), L"", scratch / L"temp.record", TRUE, TRUE);
    Launch fromHere = Start(ProbeProgram(), L"", scratch / L"here.record", TRUE, FALSE);
    EXPECT_EQ(scratch.Path(), CurrentFolder());
    SetCurrentDirectoryW(before.c_str());

    ASSERT_TRUE(fromTemp.result && fromHere.result);
    auto temp = ReadProbeRecords(scratch / L"temp.record");
    auto here = ReadProbeRecords(scratch / L"here.record");
    ASSERT_EQ(1u, temp.size());
    ASSERT_EQ(1u, here.size());
    EXPECT_EQ(lstrcmpiW(SystemTemp().c_str(), temp[0].currentFolder.c_str()), 0) << temp[0].currentFolder;
    EXPECT_EQ(scratch.Path(), here[0].currentFolder);
}

TEST(StartInteractiveProcess, WaitsForTheChildOnlyWhenAsked)
{
    ScratchFolder scratch;
    Variables slow{{L"PROBE_WAIT_MS", L"1500"}, {L"PROBE_EXIT", L"7"}};
    Launch waited = Start(ProbeProgram(), L"", scratch / L"waited", TRUE, FALSE);
    EXPECT_TRUE(waited.result);  // whatever the child's exit code
    auto runs = ReadProbeRecords(scratch / L"waited");
    ASSERT_EQ(1u, runs.size());
    EXPECT_TRUE(runs[0].ended);

    Launch started = Start(ProbeProgram(), L"", scratch / L"started", FALSE, FALSE);
    EXPECT_TRUE(started.result);
    runs = ReadProbeRecords(scratch / L"started");
    EXPECT_TRUE(runs.empty() || !runs[0].ended);
    runs = WaitForProbeRuns(scratch / L"started", 1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_TRUE(runs[0].ended);
}

TEST(StartInteractiveProcess, MissingProgramFailsAndLeavesTheProcessAsItWas)
{
    ScratchFolder scratch;
    std::wstring before = CurrentFolder();
    HWINSTA station = GetProcessWindowStation();
    Launch launch = Start(scratch / L"missing.exe", L"", scratch / L"record", TRUE, TRUE);
    EXPECT_FALSE(launch.result);
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), launch.error);
    EXPECT_EQ(before, CurrentFolder());
    EXPECT_EQ(station, GetProcessWindowStation());
    HANDLE token = nullptr;
    EXPECT_FALSE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token)) << "still impersonating";
    EXPECT_EQ(DWORD(ERROR_NO_TOKEN), GetLastError());
}

TEST(StartInteractiveProcess, UnboundWindowStationFunctionFailsWithNotBoundError)
{
    ScratchFolder scratch;
    for (SecurityApi::Slot slot : {SecurityApi::kOpenWindowStation, SecurityApi::kOpenDesktop,
                                   SecurityApi::kSetProcessWindowStation}) {
        SlotSubstitution unbound(slot);
        Launch launch = Start(ProbeProgram(), L"", scratch / L"record", TRUE, FALSE);
        EXPECT_FALSE(launch.result) << slot;
        EXPECT_EQ(NotBoundError, launch.error) << slot;
    }
    EXPECT_FALSE(PathExists(scratch / L"record"));
}

BOOL WINAPI RevertFails()
{
    RevertToSelf();
    SetLastError(ERROR_CANNOT_IMPERSONATE);
    return FALSE;
}

TEST(StartInteractiveProcess, ReportsAFailedRevertAlthoughTheChildStarted)
{
    ScratchFolder scratch;
    SlotSubstitution failing(SecurityApi::kRevertToSelf, &RevertFails);
    Launch launch = Start(ProbeProgram(), L"", scratch / L"record", TRUE, FALSE);
    EXPECT_FALSE(launch.result);
    EXPECT_EQ(DWORD(ERROR_CANNOT_IMPERSONATE), launch.error);
    EXPECT_EQ(1u, WaitForProbeRuns(scratch / L"record", 1, false).size());
}

BOOL WINAPI ObjectSecurityDenied(HANDLE, PSECURITY_INFORMATION, PSECURITY_DESCRIPTOR, DWORD, LPDWORD)
{
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

TEST(StartInteractiveProcess, AGrantThatFailsStopsTheLaunchWithItsCode)
{
    // The process's token has a logon SID here, so both grants are made.
    ScratchFolder scratch;
    SlotSubstitution denied(SecurityApi::kGetUserObjectSecurity, &ObjectSecurityDenied);
    Launch launch = Start(ProbeProgram(), L"", scratch / L"record", TRUE, FALSE);
    EXPECT_FALSE(launch.result);
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), launch.error);
    EXPECT_FALSE(PathExists(scratch / L"record")) << "no child";
}

// A token whose one group is not a logon group.
BOOL WINAPI NoLogonGroup(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID info, DWORD length, PDWORD needed)
{
    static const std::vector<BYTE> sid = LogonSid(7);
    size_t header = offsetof(TOKEN_GROUPS, Groups) + sizeof(SID_AND_ATTRIBUTES);
    *needed = DWORD(header + sid.size());
    if (length < *needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    auto* groups = static_cast<TOKEN_GROUPS*>(info);
    groups->GroupCount = 1;
    groups->Groups[0].Sid = static_cast<BYTE*>(info) + header;
    groups->Groups[0].Attributes = SE_GROUP_ENABLED | SE_GROUP_MANDATORY;
    memcpy(groups->Groups[0].Sid, sid.data(), sid.size());
    return TRUE;
}

TEST(StartInteractiveProcess, WithoutALogonGroupTheChildStartsWithoutGrants)
{
    ScratchFolder scratch;
    SlotSubstitution token(SecurityApi::kGetTokenInformation, &NoLogonGroup);
    SlotSubstitution denied(SecurityApi::kGetUserObjectSecurity, &ObjectSecurityDenied);  // never asked
    Launch launch = Start(ProbeProgram(), L"", scratch / L"record", TRUE, FALSE);
    EXPECT_TRUE(launch.result) << launch.error;
    EXPECT_EQ(1u, ReadProbeRecords(scratch / L"record").size());
}

TEST(StartInteractiveProcess, RefusesTempEntriesThatDoNotFitTheirBuffer)
{
    // "TEMP=" and the system folder's Temp must fit 100 characters.
    ScratchFolder scratch;
    std::wstring root = L"C:\\" + std::wstring(90, L'r');
    Variables longRoot{{L"SystemRoot", root.c_str()}};
    Launch launch = Start(ProbeProgram(), L"", scratch / L"record", TRUE, FALSE);
    EXPECT_FALSE(launch.result);
    EXPECT_EQ(DWORD(ERROR_FILENAME_EXCED_RANGE), launch.error);
    EXPECT_FALSE(PathExists(scratch / L"record"));
}

// The test program run again with an environment block that holds forty
// TEMP= entries: their replacements need more than the 200 characters of
// room the child's block has beyond the parent's.
TEST(StartInteractiveProcess, ABlockWithManyTempEntriesIsNeverWrittenPast)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::vector<wchar_t> block;
    auto add = [&](const std::wstring& entry) { block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1); };
    wchar_t* own = GetEnvironmentStringsW();
    for (const wchar_t* e = own; *e; e += wcslen(e) + 1)
        if (_wcsnicmp(e, L"TEMP=", 5) != 0) add(e);
    FreeEnvironmentStringsW(own);
    for (int i = 0; i < 40; ++i) add(L"TEMP=t");
    add(L"CROWDED_ENVIRONMENT_CHILD=1");
    block.push_back(0);

    ScratchFolder scratch;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::wstring line = L"\"" + std::wstring(self) + L"\" --gtest_filter=CrowdedEnvironmentChild.*";
    ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT, block.data(),
                               scratch.Path().c_str(), &si, &pi));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 60000));
    DWORD exitCode = 1;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(0u, exitCode);
}

TEST(CrowdedEnvironmentChild, EveryTempEntryIsReplacedAndTheHeapStaysWhole)
{
    wchar_t crowded[4];
    if (!GetEnvironmentVariableW(L"CROWDED_ENVIRONMENT_CHILD", crowded, 4))
        GTEST_SKIP() << "run by ABlockWithManyTempEntriesIsNeverWrittenPast";
    ScratchFolder scratch;
    Launch launch = Start(ProbeProgram(), L"", scratch / L"record", TRUE, FALSE);
    ASSERT_TRUE(launch.result) << launch.error;
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr));
    auto runs = ReadProbeRecords(scratch / L"record");
    ASSERT_EQ(1u, runs.size());
    size_t temps = 0;
    for (const std::wstring& entry : runs[0].environment)
        if (_wcsnicmp(entry.c_str(), L"TEMP=", 5) == 0) {
            ++temps;
            EXPECT_EQ(L"TEMP=" + SystemTemp(), entry);
        }
    EXPECT_EQ(40u, temps);
}

// Older Windows: the test program runs itself again as a copy that Wine
// reports as that version, and the copy checks the plain path.
TEST(StartInteractiveProcess, OlderWindowsCreateTheChildPlainly)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    for (const wchar_t* version : {L"win2k", L"nt40", L"win98"}) {
        ScratchFolder scratch;
        std::wstring name = std::wstring(L"oldwin_") + version + L".exe";
        ASSERT_TRUE(CopyFileW(self, (scratch / name).c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), (scratch / L"probe.exe").c_str(), FALSE));
        std::wstring key = L"Software\\Wine\\AppDefaults\\" + name;
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Version", REG_SZ, version,
                                                 DWORD((wcslen(version) + 1) * sizeof(wchar_t))));
        Variables child{{L"OLD_WINDOWS_CHILD", version}};
        ProcessResult run = RunProgram(L"\"" + (scratch / name) + L"\" --gtest_filter=OldWindowsChild.*", scratch.Path());
        RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
        EXPECT_TRUE(run.ended) << version;
        EXPECT_EQ(0u, run.exitCode) << version;
    }
}

TEST(OldWindowsChild, CreatesTheChildWithoutDesktopEnvironmentOrFolderChanges)
{
    wchar_t version[16];
    if (!GetEnvironmentVariableW(L"OLD_WINDOWS_CHILD", version, 16)) GTEST_SKIP() << "run by OlderWindowsCreateTheChildPlainly";
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExW(&info));
    EXPECT_TRUE(info.dwPlatformId != VER_PLATFORM_WIN32_NT || info.dwMajorVersion < 5 ||
                (info.dwMajorVersion == 5 && info.dwMinorVersion == 0))
        << version << " reports " << info.dwMajorVersion << "." << info.dwMinorVersion;

    ScratchFolder scratch;
    Variables temp{{L"TEMP", L"C:\\mine"}, {L"TMP", L"C:\\mine too"}};
    Launch launch = Start(ProbeProgram(), L"old", scratch / L"record", TRUE, TRUE);
    ASSERT_TRUE(launch.result) << launch.error;
    EXPECT_EQ(nullptr, launch.startupInfo.lpDesktop);
    EXPECT_EQ(ProbeProgram() + L" old", launch.commandLine);
    auto runs = ReadProbeRecords(scratch / L"record");
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(CurrentFolder(), runs[0].currentFolder);
    bool temps = false, tmps = false;
    for (const auto& e : runs[0].environment) {
        temps |= e == L"TEMP=C:\\mine";
        tmps |= e == L"TMP=C:\\mine too";
    }
    EXPECT_TRUE(temps && tmps);
}

}  // namespace
