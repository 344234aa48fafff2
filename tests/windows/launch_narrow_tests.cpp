// The disc menu's narrow form: its table and StartInteractiveProcess.
#include <gtest/gtest.h>

#include <string>

#include "launch_support.h"
#include "support.h"

namespace {

std::string Narrow(const std::wstring& text)
{
    char out[MAX_PATH * 2];
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr);
    return n > 0 ? std::string(out) : std::string();
}

struct Launch {
    BOOL result = FALSE;
    DWORD error = 0;
    std::string commandLine;
    STARTUPINFOA startupInfo = {};
};

Launch Start(const std::string& program, const std::string& arguments, const std::wstring& record)
{
    Launch launch;
    char line[MAX_PATH] = "";
    strncpy(line, arguments.c_str(), MAX_PATH - 1);
    launch.startupInfo.cb = 68;
    SetEnvironmentVariableW(L"PROBE_RECORD", record.c_str());
    SetLastError(0xdeadbeef);
    launch.result = StartInteractiveProcess(program.c_str(), line, &launch.startupInfo, FALSE);
    launch.error = GetLastError();
    SetEnvironmentVariableW(L"PROBE_RECORD", nullptr);
    launch.commandLine = line;
    return launch;
}

TEST(NarrowSecurityApi, BindsTheNarrowOpenFunctions)
{
    EXPECT_EQ(SecurityApi::kNarrowForms, securityApi.form);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    EXPECT_EQ(reinterpret_cast<FARPROC>(GetProcAddress(user32, "OpenWindowStationA")),
              securityApi.slots[SecurityApi::kOpenWindowStation]);
    EXPECT_EQ(reinterpret_cast<FARPROC>(GetProcAddress(user32, "OpenDesktopA")),
              securityApi.slots[SecurityApi::kOpenDesktop]);
    SetLastError(0);
    EXPECT_EQ(nullptr, securityApi.OpenWindowStationW(L"winsta0", FALSE, READ_CONTROL));
    EXPECT_EQ(NotBoundError, GetLastError());
}

TEST(NarrowStartInteractiveProcess, StartsWithoutWaitingAndTheCallersEnvironmentAndFolder)
{
    ScratchFolder scratch;
    std::wstring before = CurrentFolder();
    SetCurrentDirectoryW(scratch.Path().c_str());
    SetEnvironmentVariableW(L"TEMP", L"C:\\menu temp");
    Launch launch = Start(Narrow(ProbeProgram()), "-v x", scratch / L"record");
    SetCurrentDirectoryW(before.c_str());

    ASSERT_TRUE(launch.result) << launch.error;
    ASSERT_NE(nullptr, launch.startupInfo.lpDesktop);
    EXPECT_STREQ("winsta0\\default", launch.startupInfo.lpDesktop);
    EXPECT_EQ(Narrow(ProbeProgram()) + " -v x", launch.commandLine);
    auto runs = WaitForProbeRuns(scratch / L"record", 1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(ProbeProgram() + L" -v x", runs[0].commandLine);
    EXPECT_EQ(scratch.Path(), runs[0].currentFolder);
    bool inherited = false;
    for (const auto& e : runs[0].environment) inherited |= e == L"TEMP=C:\\menu temp";
    EXPECT_TRUE(inherited);
}

TEST(NarrowStartInteractiveProcess, JoinsAPathWithBlanksUnquoted)
{
    ScratchFolder scratch;
    CreateDirectoryW((scratch / L"a b").c_str(), nullptr);
    std::wstring program = scratch / L"a b\\probe.exe";
    ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), program.c_str(), FALSE));
    Launch launch = Start(Narrow(program), "arg", scratch / L"record");
    ASSERT_TRUE(launch.result) << launch.error;
    EXPECT_EQ(Narrow(program) + " arg", launch.commandLine);
    auto runs = WaitForProbeRuns(scratch / L"record", 1);
    ASSERT_EQ(1u, runs.size());
    // The system found the program by its rules for unquoted paths (Wine then
    // hands the child a quoted line, where Windows passes it as it is).
    EXPECT_EQ(program, runs[0].program);
}

}  // namespace
