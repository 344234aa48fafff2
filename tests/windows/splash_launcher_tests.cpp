// The launch dialog with a splash picture: the window takes the picture's size,
// sits centred, is layered with black as its colour key and animates while the
// launch sequence runs. And the launcher built with a splash runs to its end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "splash_support.h"
#include "support.h"
#include "wizstart/animated_gif.h"
#include "wizstart/launcher.h"

namespace {

// Observes the window while its launch sequence would run.
class SplashObservingDialog : public LaunchDialog {
public:
    bool visible = false;
    RECT rect = {};
    LONG exStyle = 0;
    bool layeredRead = false;
    COLORREF key = 0xFFFFFF;
    DWORD layeredFlags = 0;
    bool animating = false;
    std::vector<Showing> frames;

    void RunLaunchSequence() override
    {
        HWND window = Window();
        visible = IsWindowVisible(window);
        GetWindowRect(window, &rect);
        exStyle = GetWindowLongW(window, GWL_EXSTYLE);
        BYTE alpha = 0;
        layeredRead = GetLayeredWindowAttributes(window, &key, &alpha, &layeredFlags);
        animating = splash && splash->IsAnimating();
        // The picture's centre, inside its black border.
        frames = FramesOnly(WatchPoint(window, 30, 20, 1200));
    }
    void RunUninstallMode() override {}
};

TEST(LaunchDialogSplash, WindowTakesThePictureSizeCentredLayeredAndAnimates)
{
    GdiplusSession gdiplus;
    SplashObservingDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    ASSERT_NE(nullptr, dialog.splash);

    EXPECT_TRUE(dialog.visible);
    EXPECT_EQ(60, dialog.rect.right - dialog.rect.left);
    EXPECT_EQ(40, dialog.rect.bottom - dialog.rect.top);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 60) / 2, dialog.rect.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 40) / 2, dialog.rect.top);

    // Wine does not render the colour key under Xvfb; the window's own
    // attributes say what Windows would do.
    EXPECT_TRUE(dialog.exStyle & WS_EX_LAYERED);
    ASSERT_TRUE(dialog.layeredRead);
    EXPECT_EQ(RGB(0, 0, 0), dialog.key);
    EXPECT_EQ(DWORD(LWA_COLORKEY), dialog.layeredFlags);

    EXPECT_TRUE(dialog.animating);
    std::string seen;
    for (const Showing& s : dialog.frames) seen += std::to_string(FrameOfColour(s.colour)) + " ";
    ASSERT_GE(dialog.frames.size(), 2u) << seen;
    for (size_t i = 1; i < dialog.frames.size(); ++i)
        EXPECT_EQ((FrameOfColour(dialog.frames[i - 1].colour) + 1) % 3, FrameOfColour(dialog.frames[i].colour)) << seen;

    EXPECT_FALSE(IsWindowVisible(dialog.Window())) << "hidden when the sequence is over";
    dialog.DestroyWindow();
    delete dialog.splash;
}

// A launcher run from `folder`: whether it ended, its exit code, and the size
// of every splash window (a visible layered window of its own) seen on the
// way. Any message it shows is answered.
struct SplashRun {
    bool ended = false;
    DWORD exitCode = 1;
    std::vector<SIZE> splashSizes;
};

SplashRun RunWatchingTheSplash(const std::wstring& program, const std::wstring& folder)
{
    SplashRun run;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::wstring line = L"\"" + program + L"\"";
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) return run;

    struct Watch {
        DWORD process;
        std::vector<SIZE>* splashSizes;
        static BOOL CALLBACK Visit(HWND window, LPARAM self)
        {
            Watch* watch = reinterpret_cast<Watch*>(self);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != watch->process || !IsWindowVisible(window)) return TRUE;
            RECT r;
            GetWindowRect(window, &r);
            if (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED)
                watch->splashSizes->push_back({r.right - r.left, r.bottom - r.top});
            else
                PostMessageW(window, WM_COMMAND, IDOK, 0);  // a message: answer it
            return TRUE;
        }
    } watch{pi.dwProcessId, &run.splashSizes};

    for (DWORD start = GetTickCount(); !run.ended && GetTickCount() - start < 60000;) {
        run.ended = WaitForSingleObject(pi.hProcess, 20) == WAIT_OBJECT_0;
        EnumWindows(Watch::Visit, reinterpret_cast<LPARAM>(&watch));
    }
    if (run.ended)
        GetExitCodeProcess(pi.hProcess, &run.exitCode);
    else
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return run;
}

std::wstring CopyOfSplashLauncherIn(const ScratchFolder& scratch)
{
    std::wstring program = scratch / L"wizstart.exe";
    EXPECT_TRUE(CopyFileW((TestFolder() + L"\\splash\\wizstart.exe").c_str(), program.c_str(), FALSE));
    return program;
}

// The launcher built with a splash picture, run from a folder of its own: it
// ends by itself with exit code 0, and a splash window seen on the way has the
// picture's size.
TEST(LauncherWithSplash, RunsToItsEndWithExitCodeZero)
{
    ScratchFolder scratch;
    SplashRun run = RunWatchingTheSplash(CopyOfSplashLauncherIn(scratch), scratch.Path());
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(0u, run.exitCode);
    for (const SIZE& size : run.splashSizes) {
        EXPECT_EQ(60, size.cx);
        EXPECT_EQ(40, size.cy);
    }
}

// DLLs that the launcher loads while it runs, planted beside it in a folder
// that others may write to (GDI+ is not one of the libraries Windows always
// takes from the system folder; the window theme library is loaded for the
// first window): none is loaded, and the splash still shows.
TEST(LauncherWithSplash, LoadsNoDllFromItsOwnFolderAndStillShowsItsSplash)
{
    ScratchFolder scratch;
    std::wstring program = CopyOfSplashLauncherIn(scratch);
    PlantedDlls planted(scratch.Path(), {L"gdiplus", L"uxtheme"});
    ASSERT_TRUE(planted.Placed());
    SplashRun run = RunWatchingTheSplash(program, scratch.Path());
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(0u, run.exitCode);
    std::wstring loaded;
    for (const std::wstring& name : planted.Loaded()) loaded += name + L" ";
    EXPECT_EQ(L"", loaded) << "planted DLLs were loaded";
    ASSERT_FALSE(run.splashSizes.empty()) << "the splash showed, drawn by the system's GDI+";
    EXPECT_EQ(60, run.splashSizes[0].cx);
}

}  // namespace
