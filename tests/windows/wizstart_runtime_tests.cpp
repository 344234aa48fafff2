// The launcher's private Java runtime and its uninstall mode, black box.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>
// after windows.h
#include <tlhelp32.h>

#include "launcher_run.h"
#include "support.h"

namespace {

const wchar_t kRunOnceKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

std::wstring BundledJvm()
{
    return SystemTemp() + L"\\BundledJVM";
}

std::wstring RunOnceValue()
{
    wchar_t data[1024];
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kRunOnceKey, L"DeleteBundledJVM", RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return L"<missing>";
    return data;
}

void RemoveTree(const std::wstring& folder)
{
    RunProgram(L"cmd.exe /C RD /S /Q \"" + folder + L"\"");
}

class PrivateRuntime : public LauncherRun {
protected:
    void SetUp() override
    {
        LauncherRun::SetUp();
        RemoveTree(BundledJvm());
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunOnceKey, L"DeleteBundledJVM");
        Place(L"archive.jar");
        Install(Variant(L"runtime"));
        SetEnvironmentVariableW(L"PROBE_READ_REG", (std::wstring(kRunOnceKey) + L"|DeleteBundledJVM").c_str());
    }
    void TearDown() override
    {
        SetEnvironmentVariableW(L"PROBE_READ_REG", nullptr);
        SetEnvironmentVariableW(L"PROBE_WAIT_MS", nullptr);
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kRunOnceKey, L"DeleteBundledJVM");
        RemoveTree(BundledJvm());
        LauncherRun::TearDown();
    }
    std::wstring expectedCleanup = L"cmd.exe /C  RD /S /Q \"" + BundledJvm() + L"\"";
};

TEST_F(PrivateRuntime, IsWrittenUsedForTheWizardAndRemovedAfterwards)
{
    ProcessResult run = Launch(L" en");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(run.messages.empty()) << "no registered Java is needed";
    auto wizard = Runs(L"\\javaw.exe");
    ASSERT_EQ(1u, wizard.size());
    EXPECT_EQ(0, lstrcmpiW((BundledJvm() + L"\\bin\\javaw.exe").c_str(), wizard[0].program.c_str()))
        << wizard[0].program;
    EXPECT_EQ(BundledJvm() + L"\\bin\\javaw.exe -jar \"" + app + L"\\archive.jar\" \"en\"", wizard[0].commandLine);
    EXPECT_EQ(expectedCleanup, wizard[0].registry) << "registered while the wizard runs";
    EXPECT_FALSE(PathExists(BundledJvm()));
    EXPECT_EQ(L"<missing>", RunOnceValue());
}

TEST_F(PrivateRuntime, FolderHeldOpenStaysButTheRestartCommandGoes)
{
    // A file planted before the launch must not be there for the runtime.
    CreateDirectoryW(BundledJvm().c_str(), nullptr);
    CreateDirectoryW((BundledJvm() + L"\\bin").c_str(), nullptr);
    WriteBytes(BundledJvm() + L"\\bin\\planted.dll", "planted");
    SetEnvironmentVariableW(L"PROBE_WAIT_MS", L"1500");

    // Hold a file of the runtime open as soon as the launcher has written it.
    std::atomic<bool> stop(false);
    HANDLE held = INVALID_HANDLE_VALUE;
    std::thread holder([&] {
        std::wstring jar = BundledJvm() + L"\\lib\\rt.jar";
        while (!stop && held == INVALID_HANDLE_VALUE) {
            held = CreateFileW(jar.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            Sleep(5);
        }
    });
    ProcessResult run = Launch();
    stop = true;
    holder.join();
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(1u, Runs(L"\\javaw.exe").size());

    EXPECT_TRUE(PathExists(BundledJvm())) << "ten rounds, then it stays";
    EXPECT_EQ(L"<missing>", RunOnceValue());
    CloseHandle(held);

    EXPECT_EQ("runtime classes", ReadBytes(BundledJvm() + L"\\lib\\rt.jar"));
    EXPECT_FALSE(PathExists(BundledJvm() + L"\\bin\\planted.dll"));
}

TEST_F(PrivateRuntime, AFolderThatCannotBeReplacedLeadsToTheRegisteredRuntime)
{
    // A file left by an earlier run and still in use: the runtime would sit
    // beside files it did not bring, so none is written, and the launch goes
    // the registered runtime's way, with its message when there is none.
    CreateDirectoryW(BundledJvm().c_str(), nullptr);
    CreateDirectoryW((BundledJvm() + L"\\bin").c_str(), nullptr);
    WriteBytes(BundledJvm() + L"\\bin\\in use.dll", "earlier");
    HANDLE held = CreateFileW((BundledJvm() + L"\\bin\\in use.dll").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ProcessResult run = Launch();
    EXPECT_EQ(0u, run.exitCode);
    ASSERT_EQ(1u, run.messages.size()) << "never a silent end";
    EXPECT_EQ(0u, run.messages[0].text.find(kMessage1Start)) << run.messages[0].text;
    EXPECT_TRUE(Runs(L"\\javaw.exe").empty());

    RegisterJava(L"1.8");
    run = Launch();
    CloseHandle(held);
    EXPECT_TRUE(run.messages.empty());
    auto wizard = Runs(L"\\javaw.exe");
    ASSERT_EQ(1u, wizard.size());
    EXPECT_EQ(JavaProgram() + L" -jar \"" + app + L"\\archive.jar\"", wizard[0].commandLine) << "the registered one";
    EXPECT_FALSE(PathExists(BundledJvm() + L"\\bin\\javaw.exe"));
    EXPECT_EQ("earlier", ReadBytes(BundledJvm() + L"\\bin\\in use.dll"));
    EXPECT_EQ(L"<missing>", RunOnceValue());
}

TEST_F(PrivateRuntime, AFolderMadeByAnotherUserIsReplacedByANewOneOfItsOwn)
{
    // Another user made BundledJVM first (hidden, so that it can be told apart)
    // and owns it: the runtime goes into a new folder, never into that one.
    ASSERT_TRUE(CreateDirectoryW(BundledJvm().c_str(), nullptr));
    ASSERT_TRUE(SetFileAttributesW(BundledJvm().c_str(), FILE_ATTRIBUTE_HIDDEN));
    SetEnvironmentVariableW(L"PROBE_WAIT_MS", L"1500");
    std::atomic<bool> stop(false);
    DWORD during = INVALID_FILE_ATTRIBUTES;
    std::thread reader([&] {
        std::wstring javaw = BundledJvm() + L"\\bin\\javaw.exe";
        while (!stop && during == INVALID_FILE_ATTRIBUTES) {
            if (PathExists(javaw)) during = GetFileAttributesW(BundledJvm().c_str());
            Sleep(20);
        }
    });
    Launch();
    stop = true;
    reader.join();
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, during);
    EXPECT_FALSE(during & FILE_ATTRIBUTE_HIDDEN) << "the folder was made anew";
    EXPECT_EQ(1u, Runs(L"\\javaw.exe").size());
}

TEST_F(PrivateRuntime, ListEntriesTakeTheirNumbersAndCodePage1252Names)
{
    SetEnvironmentVariableW(L"PROBE_WAIT_MS", L"1500");
    std::atomic<bool> stop(false);
    std::string cafe, empty2003;
    std::thread reader([&] {
        // While the wizard runs, the layout is there to see.
        std::wstring javaw = BundledJvm() + L"\\bin\\javaw.exe";
        while (!stop && cafe.empty()) {
            if (PathExists(javaw)) {
                Sleep(300);
                cafe = ReadBytes(BundledJvm() + L"\\lib\\caf\u00e9.txt");
            }
            Sleep(20);
        }
    });
    Launch();
    stop = true;
    reader.join();
    EXPECT_EQ("resource 2004: caf\xc3\xa9", cafe) << "the entry after the empty line is resource 2004";
    EXPECT_FALSE(PathExists(BundledJvm()));
}

TEST_F(PrivateRuntime, TheRestartCommandRemovesTheFolderWhenTheLauncherDidNot)
{
    // The launcher is stopped while the wizard runs, before it removes anything.
    SetEnvironmentVariableW(L"PROBE_WAIT_MS", L"4000");
    ProcessResult run = RunProgram(L"\"" + app + L"\\wizstart.exe\"", scratch.Path(), 2000);
    EXPECT_FALSE(run.ended);
    for (int i = 0; i < 100 && Runs(L"\\javaw.exe").empty(); ++i) Sleep(50);
    for (int i = 0; i < 200 && !Runs(L"\\javaw.exe").back().ended; ++i) Sleep(50);
    ASSERT_TRUE(PathExists(BundledJvm()));
    ASSERT_EQ(expectedCleanup, RunOnceValue());

    // As at the next start of Windows.
    ProcessResult restart = RunProgram(L"wineboot.exe");
    EXPECT_TRUE(restart.ended);
    for (int i = 0; i < 100 && PathExists(BundledJvm()); ++i) Sleep(50);
    EXPECT_FALSE(PathExists(BundledJvm()));
    EXPECT_EQ(L"<missing>", RunOnceValue());
}

TEST(PrivateRuntimePacking, TheBuildPacksAFolderInCodePage1252WithCrLf)
{
    ProgramFile program(Variant(L"runtime_folder"));
    ASSERT_NE(nullptr, program.Module());
    auto resource = [&](int id) {
        std::string bytes = program.Resource(MAKEINTRESOURCEW(10), MAKEINTRESOURCEW(id));
        return bytes.empty() ? std::string("<none>") : bytes;
    };
    EXPECT_EQ("bin\\javaw.exe\r\nlib\\caf\xe9.txt\r\nlib\\rt.jar\r\n", resource(2000));
    EXPECT_EQ("java", resource(2001));
    EXPECT_EQ("accent", resource(2002));
    EXPECT_EQ("classes", resource(2003));
    EXPECT_EQ("<none>", resource(2004));
}

// Uninstall mode: the launcher's folder goes to the folder-removal program.
class UninstallMode : public LauncherRun {
protected:
    std::wstring uninstall = scratch / L"Orvalen App\\Uninstall";
    std::wstring sweeper = SystemTemp() + L"\\dirsweep.exe";

    void SetUp() override
    {
        LauncherRun::SetUp();
        CreateDirectoryW((scratch / L"Orvalen App").c_str(), nullptr);
        CreateDirectoryW(uninstall.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(BuiltProgram(L"wizstart.exe").c_str(), (uninstall + L"\\wizstart.exe").c_str(), FALSE));
        EndSweepers();
        DeleteFileW(sweeper.c_str());
    }
    void TearDown() override
    {
        EndSweepers();
        LauncherRun::TearDown();
    }
    // The folder-removal programs still running.
    static int Sweepers(bool end = false)
    {
        int count = 0;
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
            if (lstrcmpiW(entry.szExeFile, L"dirsweep.exe") != 0) continue;
            ++count;
            if (end) {
                HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
                TerminateProcess(process, 0);
                CloseHandle(process);
            }
        }
        CloseHandle(snapshot);
        return count;
    }
    static void EndSweepers() { Sweepers(true); }
    ProcessResult LaunchUninstaller() { return RunProgram(L"\"" + uninstall + L"\\wizstart.exe\"", scratch.Path()); }
};

TEST_F(UninstallMode, WithoutTheMarkerNothingIsWritten)
{
    ProcessResult run = LaunchUninstaller();
    EXPECT_EQ(1u, run.messages.size()) << "no Java registered";
    EXPECT_FALSE(PathExists(sweeper));
    EXPECT_EQ(0, Sweepers());
}

TEST_F(UninstallMode, AfterMessage1TheFolderGoesToTheSweeperWhichRemovesItOnceEmpty)
{
    WriteBytes(uninstall + L"\\uninstall.dat", "");
    // Someone planted a program of that name: it is replaced, never started.
    WriteBytes(sweeper, "planted");

    ProcessResult run = LaunchUninstaller();
    EXPECT_EQ(0u, run.exitCode);
    ASSERT_EQ(1u, run.messages.size());
    EXPECT_EQ(0u, run.messages[0].text.find(kMessage1Start));
    EXPECT_EQ(ReadBytes(BuiltProgram(L"dirsweep.exe")), ReadBytes(sweeper));
    EXPECT_EQ(1, Sweepers()) << "the launcher ended without waiting for it";

    // Once the folder is empty, it goes, and its parent too.
    DeleteFileW((uninstall + L"\\uninstall.dat").c_str());
    for (int i = 0; i < 100 && !DeleteFileW((uninstall + L"\\wizstart.exe").c_str()); ++i) Sleep(50);
    for (int i = 0; i < 100 && PathExists(scratch / L"Orvalen App"); ++i) Sleep(50);
    EXPECT_FALSE(PathExists(uninstall)) << "the folder was given unquoted, blanks included";
    EXPECT_FALSE(PathExists(scratch / L"Orvalen App"));
    EXPECT_TRUE(PathExists(scratch.Path())) << "the grandparent is not empty";
}

}  // namespace
