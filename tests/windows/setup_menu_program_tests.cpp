// The built setup.exe showing its menu, driven by the real mouse and keyboard:
// a click is a press and a release on the same entry, entries start their
// programs (probes) and end the menu or leave it open, the browse entry opens
// the disc's folder, Esc does nothing. Leaves a screenshot of the menu in the
// test folder (setup_menu_screenshot.bmp).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "setup_menu_support.h"
#include "setup_support.h"
#include "support.h"

namespace {

const int kEntry2 = 3502, kEntry3 = 3503, kBrowse = 3507, kExit = 3508;
const char kTitle[] = "Disc Menu Under Test";

// setup.exe, its autorun.inf and probes as entry programs in a scratch folder;
// every probe run is recorded in one file.
class DiscMenu : public SetupDiscFixture {
protected:
    void TearDown() override
    {
        SetupDiscFixture::TearDown();
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
    }

    // Starts setup on a menu of three entries plus `extra` settings and waits
    // until its menu is painted.
    HWND ShowMenu(const std::string& extra)
    {
        WriteBytes(scratch_ / L"autorun.inf",
                   std::string("[autorun]\r\nopen=setup.exe\r\n\r\n[Vendrel]\r\ntitle = ") + kTitle +
                       "\r\nstart = entry1.exe\r\nstart2 = entry2.exe\r\ninstall2 = Second\r\n"
                       "install_help2 = Starts the second program\r\nstart3 = entry3.exe\r\ninstall3 = Third\r\n"
                       "install4 = No command\r\nstart_icon_rect4 = 10, 10, 40, 40\r\n" +
                       kMenuColors + extra);
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        std::wstring line = L"\"" + setup_ + L"\"";
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, scratch_.Path().c_str(), &si,
                            &process_))
            return nullptr;
        DWORD pid = process_.dwProcessId;
        for (int i = 0; i < 300; ++i) {
            for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w && !menu_; w = GetWindow(w, GW_HWNDNEXT)) {
                DWORD owner = 0;
                char caption[64] = "";
                GetWindowThreadProcessId(w, &owner);
                GetWindowTextA(w, caption, sizeof caption);
                if (owner == pid && std::string(caption) == kTitle && IsWindowVisible(w)) menu_ = w;
            }
            if (menu_ && CaptureClient(menu_).Count(kTitleRgb) > 0) break;
            if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) return nullptr;
        }
        SetForegroundWindow(menu_);
        Sleep(200);
        return menu_;
    }

    void Click(POINT pressAt, POINT releaseAt)
    {
        MoveMouseTo(menu_, pressAt);
        PressLeft();
        MoveMouseTo(menu_, releaseAt);
        ReleaseLeft();
        Sleep(300);
    }
    void Click(POINT at) { Click(at, at); }

    bool StillOpen() { return WaitForSingleObject(process_.hProcess, 300) == WAIT_TIMEOUT && IsWindow(menu_); }
    DWORD ExitCode()
    {
        if (WaitForSingleObject(process_.hProcess, 30000) != WAIT_OBJECT_0) return 0xDEAD;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }


    PROCESS_INFORMATION process_ = {};
    HWND menu_ = nullptr;
};

TEST_F(DiscMenu, PressAndReleaseOnOneEntryStartsItAndTheMenuStaysOpen)
{
    ASSERT_NE(nullptr, ShowMenu("exit_after_call = 0\r\n"));
    ClientPixels shot = CaptureClient(menu_);
    EXPECT_TRUE(WriteBmp(TestFolder() + L"\\setup_menu_screenshot.bmp", shot));
    EXPECT_EQ(0, shot.Count(kHiliteRgb)) << "nothing is highlighted at opening";

    // Pressed on one entry, released on another: nothing.
    Click(OnRightAlignedLabel(menu_, kEntry2), OnRightAlignedLabel(menu_, kEntry3));
    EXPECT_TRUE(Runs(0).empty());

    // Twice on the same entry: two starts, the menu stays.
    Click(OnRightAlignedLabel(menu_, kEntry2));
    Click(OnRightAlignedLabel(menu_, kEntry2));
    std::vector<ProbeRun> runs = Runs(2);
    ASSERT_EQ(2u, runs.size());
    EXPECT_EQ(L"entry2.exe", ProgramOf(runs[0]));
    EXPECT_EQ(L"entry2.exe", ProgramOf(runs[1]));
    EXPECT_TRUE(StillOpen());

    // A release without a press of its own starts nothing.
    POINT third = OnRightAlignedLabel(menu_, kEntry3);
    MoveMouseTo(menu_, third);
    PostMessageA(menu_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(third.x, third.y));
    PostMessageA(menu_, WM_LBUTTONUP, 0, MAKELPARAM(third.x, third.y));
    PostMessageA(menu_, WM_LBUTTONUP, 0, MAKELPARAM(third.x, third.y));
    Sleep(700);
    EXPECT_EQ(3u, Runs(3).size()) << "one press, one start";

    // Esc does nothing; the exit entry ends the menu and starts nothing.
    SetForegroundWindow(menu_);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(StillOpen());
    Click(OnRightAlignedLabel(menu_, kExit));
    EXPECT_EQ(0u, ExitCode());
    EXPECT_EQ(3u, Runs(3).size());
}

TEST_F(DiscMenu, ChoosingAnEntryEndsTheMenuThenStartsIt)
{
    ASSERT_NE(nullptr, ShowMenu(""));
    // Entry 4 has an icon rectangle but no command: not clickable.
    Click(POINT{25, 25});
    EXPECT_TRUE(StillOpen());
    Click(OnRightAlignedLabel(menu_, kEntry3));
    EXPECT_EQ(0u, ExitCode());
    std::vector<ProbeRun> runs = Runs(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(L"entry3.exe", ProgramOf(runs[0]));
}

// The shell's open command for folders is a probe for the length of a test,
// so that the browse entry's folder shows up in the record. A key that was not
// there before goes again afterwards.
class DiscMenuBrowse : public DiscMenu {
protected:
    void SetUp() override
    {
        DiscMenu::SetUp();
        HKEY key;
        keyExisted_ = RegOpenKeyExA(HKEY_CLASSES_ROOT, kFolderOpen, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (keyExisted_) RegCloseKey(key);
        folderOpen_.reset(new RegistryValueBackup(HKEY_CLASSES_ROOT, kFolderOpen, nullptr));
        folderOpen_->Set("\"" + Narrow(ProbeProgram()) + "\" \"%1\"");
    }
    void TearDown() override
    {
        folderOpen_.reset();
        if (!keyExisted_) RegDeleteKeyA(HKEY_CLASSES_ROOT, kFolderOpen);
        DiscMenu::TearDown();
    }
    static constexpr const char* kFolderOpen = "Folder\\shell\\open\\command";
    bool keyExisted_ = false;
    std::unique_ptr<RegistryValueBackup> folderOpen_;
};

TEST_F(DiscMenuBrowse, BrowseOpensTheFolderAndTheMenuStays)
{
    ASSERT_NE(nullptr, ShowMenu(""));
    Click(OnRightAlignedLabel(menu_, kBrowse));
    std::vector<ProbeRun> runs = Runs(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_NE(std::wstring::npos, runs[0].commandLine.find(scratch_.Path())) << runs[0].commandLine;
    EXPECT_TRUE(StillOpen());
    Click(OnRightAlignedLabel(menu_, kExit));
    EXPECT_EQ(0u, ExitCode());
}

TEST_F(DiscMenuBrowse, BrowseWithCloseAfterBrowseEndsTheMenuFirst)
{
    ASSERT_NE(nullptr, ShowMenu("close_after_browse = 1\r\n"));
    Click(OnRightAlignedLabel(menu_, kBrowse));
    EXPECT_EQ(0u, ExitCode());
    std::vector<ProbeRun> runs = Runs(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_NE(std::wstring::npos, runs[0].commandLine.find(scratch_.Path())) << runs[0].commandLine;
}

}  // namespace
