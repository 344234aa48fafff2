// The sample disc as it is laid out: its menu, clicked with the real mouse,
// starts the launcher, which starts the wizard (the probe as Java).
#include <gtest/gtest.h>

#include <string>

#include "launcher_run.h"
#include "setup_menu_support.h"
#include "support.h"

namespace {

// The disc folder's files, from the build and the sources, in the launcher's
// place of the scratch machine.
class SampleDisc : public LauncherRun {
protected:
    void SetUp() override
    {
        LauncherRun::SetUp();
        RegisterJava(L"1.6");
        Install(BuiltProgram(L"wizstart.exe"));
        ASSERT_TRUE(CopyFileW(BuiltProgram(L"setup.exe").c_str(), (app + L"\\setup.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(kDiscSources L"\\autorun.inf", (app + L"\\autorun.inf").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(kDiscSources L"\\readme.txt", (app + L"\\readme.txt").c_str(), FALSE));
        Place(L"archive.jar");
    }
    void TearDown() override
    {
        if (setup_.hProcess) {
            if (WaitForSingleObject(setup_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(setup_.hProcess, 1);
            CloseHandle(setup_.hProcess);
            CloseHandle(setup_.hThread);
        }
        LauncherRun::TearDown();
    }

    // Starts the disc's setup.exe and waits for its menu, captioned "Orvalen 14".
    HWND ShowMenu()
    {
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        std::wstring line = L"\"" + app + L"\\setup.exe\"";
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, app.c_str(), &si, &setup_))
            return nullptr;
        for (int i = 0; i < 300; ++i) {
            HWND menu = FindWindowW(L"#32770", L"Orvalen 14");
            DWORD owner = 0;
            if (menu) GetWindowThreadProcessId(menu, &owner);
            if (menu && owner == setup_.dwProcessId && IsWindowVisible(menu)) {
                SetForegroundWindow(menu);
                Sleep(500);
                return menu;
            }
            if (WaitForSingleObject(setup_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
        }
        return nullptr;
    }

    PROCESS_INFORMATION setup_ = {};
};

TEST_F(SampleDisc, ClickingTheInstallEntryStartsTheLauncherAndItsWizard)
{
    HWND menu = ShowMenu();
    ASSERT_NE(nullptr, menu);
    WriteBmp(TestFolder() + L"\\sample_disc_menu.bmp", CaptureClient(menu));

    // The badge in the picture's upper left corner is the install entry's place.
    MoveMouseTo(menu, POINT{70, 70});
    PressLeft();
    ReleaseLeft();
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(setup_.hProcess, 30000)) << "the menu ends after a start";
    DWORD code = 1;
    GetExitCodeProcess(setup_.hProcess, &code);
    EXPECT_EQ(0u, code);

    std::vector<ProbeRun> wizard;
    for (int i = 0; i < 200 && ((wizard = Runs(L"\\javaw.exe")).empty() || !wizard.back().ended); ++i) Sleep(50);
    ASSERT_EQ(1u, wizard.size());
    EXPECT_EQ(JavaProgram() + L" -jar \"" + app + L"\\archive.jar\"", wizard[0].commandLine);
    EXPECT_EQ(app, wizard[0].currentFolder);
}

}  // namespace
