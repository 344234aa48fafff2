// The probe child that the black-box tests rely on records what it was given.
#include <gtest/gtest.h>

#include "support.h"

namespace {

TEST(Probe, RecordsCommandLineFolderAndEnvironmentAndEndsWithTheAskedCode)
{
    ScratchFolder scratch;
    std::wstring record = scratch / L"record.txt";
    SetEnvironmentVariableW(L"PROBE_RECORD", record.c_str());
    SetEnvironmentVariableW(L"PROBE_EXIT", L"7");
    SetEnvironmentVariableW(L"PROBE_MARK", L"caf\u00e9");
    ProcessResult run = RunProgram(L"\"" + ProbeProgram() + L"\" -jar \"x y\"", scratch.Path());
    SetEnvironmentVariableW(L"PROBE_RECORD", nullptr);
    SetEnvironmentVariableW(L"PROBE_EXIT", nullptr);
    SetEnvironmentVariableW(L"PROBE_MARK", nullptr);

    ASSERT_TRUE(run.ended);
    EXPECT_EQ(7u, run.exitCode);
    auto runs = ReadProbeRecords(record);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(L"\"" + ProbeProgram() + L"\" -jar \"x y\"", runs[0].commandLine);
    EXPECT_EQ(scratch.Path(), runs[0].currentFolder);
    bool marked = false;
    for (const auto& variable : runs[0].environment) marked |= variable == L"PROBE_MARK=caf\u00e9";
    EXPECT_TRUE(marked);
}

TEST(Probe, TakesItsSettingsFromAFileBesideItAndAppendsEachRun)
{
    ScratchFolder scratch;
    std::wstring probe = scratch / L"javaw.exe";
    ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), probe.c_str(), FALSE));
    WriteBytes(probe + L".ini", "[probe]\r\nexit=3\r\n");
    for (int i = 0; i < 2; ++i) {
        ProcessResult run = RunProgram(probe + L" run" + std::to_wstring(i));
        ASSERT_TRUE(run.ended);
        EXPECT_EQ(3u, run.exitCode);
    }
    auto runs = ReadProbeRecords(probe + L".record");
    ASSERT_EQ(2u, runs.size());
    EXPECT_EQ(probe + L" run1", runs[1].commandLine);
}

}  // namespace
