// The launcher's start-up: its command line, and its launch dialog's
// initialisation, with the launch steps observed through a derived dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher_run.h"
#include "support.h"
#include "wizstart/launcher.h"

namespace {

TEST(ParseLauncherArguments, GivesTheProgramsFolderAndTheRequotedArguments)
{
    // The folder comes from the running program's path, whatever the starter
    // wrote as the first element (a bare name would name a folder "wizstart").
    const struct {
        const wchar_t* programPath;
        std::vector<const wchar_t*> argv;
        const wchar_t* folder;
        const wchar_t* arguments;
    } cases[] = {
        {L"C:\\Setup\\wizstart.exe", {L"C:\\Setup\\wizstart.exe"}, L"C:\\Setup", L""},
        {L"C:\\Setup\\wizstart.exe", {L"wizstart", L"a", L"b", L"c d"}, L"C:\\Setup", L" \"a\" \"b\" \"c d\""},
        {L"C:\\wizstart.exe", {L"..\\other\\wizstart.exe"}, L"C:", L""},
        {L"D:\\a b\\wizstart.exe", {L"wizstart", L"say \"hi\"", L""}, L"D:\\a b", L" \"say \"hi\"\" \"\""},
    };
    for (const auto& c : cases) {
        wchar_t folder[MAX_PATH];
        wchar_t arguments[MAX_PATH];
        EXPECT_TRUE(ParseLauncherArguments(c.programPath, c.argv.data(), int(c.argv.size()), folder, arguments));
        EXPECT_STREQ(c.folder, folder) << c.programPath;
        EXPECT_STREQ(c.arguments, arguments) << c.programPath;
    }
}

TEST(ParseLauncherArguments, RefusesArgumentsThatDoNotFitInsteadOfCuttingThem)
{
    std::wstring big(245, L'b');
    wchar_t folder[MAX_PATH];
    wchar_t arguments[MAX_PATH];
    // " "first" "bbb…"" takes 258 characters: it fits, one more argument does not.
    const wchar_t* fits[] = {L"w", L"first", big.c_str()};
    EXPECT_TRUE(ParseLauncherArguments(L"C:\\w.exe", fits, 3, folder, arguments));
    EXPECT_EQ(L" \"first\" \"" + big + L"\"", arguments);
    const wchar_t* oneMore[] = {L"w", L"first", big.c_str(), L"last"};
    EXPECT_FALSE(ParseLauncherArguments(L"C:\\w.exe", oneMore, 4, folder, arguments));
    EXPECT_STREQ(L"", arguments) << "never a launch with the rest";

    std::wstring tooBig(300, L't');
    const wchar_t* alone[] = {L"w", tooBig.c_str()};
    EXPECT_FALSE(ParseLauncherArguments(L"C:\\w.exe", alone, 2, folder, arguments));
}

// A launch dialog whose launch sequence and uninstall mode only record.
class ObservedLaunchDialog : public LaunchDialog {
public:
    std::wstring marker;
    bool markerAtSequence = false;
    bool deleteMarker = false;
    bool createMarker = false;
    bool uninstallModeRan = false;

    void RunLaunchSequence() override
    {
        markerAtSequence = PathExists(marker);
        if (deleteMarker) DeleteFileW(marker.c_str());
        if (createMarker) WriteBytes(marker, "");
    }
    void RunUninstallMode() override { uninstallModeRan = true; }
};

TEST(LaunchDialog, UninstallModeFollowsTheMarkerAsItWasBeforeTheSequence)
{
    const struct {
        bool markerBefore, sequenceDeletes, sequenceCreates, uninstallMode;
    } cases[] = {
        {true, false, false, true},
        {true, true, false, true},
        {false, false, false, false},
        {false, false, true, false},
    };
    for (const auto& c : cases) {
        ScratchFolder scratch;
        ObservedLaunchDialog dialog;
        wcscpy(dialog.programFolder, scratch.Path().c_str());
        dialog.marker = scratch / L"uninstall.dat";
        if (c.markerBefore) WriteBytes(dialog.marker, "");
        dialog.deleteMarker = c.sequenceDeletes;
        dialog.createMarker = c.sequenceCreates;

        ASSERT_TRUE(dialog.CreateModeless(nullptr));
        EXPECT_EQ(c.markerBefore, dialog.markerAtSequence);
        EXPECT_EQ(c.uninstallMode, dialog.uninstallModeRan)
            << "marker before " << c.markerBefore << ", deleted " << c.sequenceDeletes << ", created " << c.sequenceCreates;
        dialog.DestroyWindow();
    }
}

TEST(LaunchDialog, IsAHiddenLayeredWindowWithBlackSeeThroughAndTheIcon)
{
    ObservedLaunchDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    HWND window = dialog.Window();
    EXPECT_FALSE(IsWindowVisible(window));  // no splash picture in this program

    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
    COLORREF key = 0xFFFFFF;
    BYTE alpha = 7;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, &key, &alpha, &flags));
    EXPECT_EQ(RGB(0, 0, 0), key);
    EXPECT_EQ(DWORD(LWA_COLORKEY), flags);

    ASSERT_NE(nullptr, dialog.icon);
    EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.icon), SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.icon), SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.icon), SendMessageW(window, WM_QUERYDRAGICON, 0, 0));
    EXPECT_EQ(0, SendMessageW(window, WM_ERASEBKGND, 0, 0));

    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2, r.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, r.top);
    dialog.DestroyWindow();
}

// A launch dialog that notes whether its window was ever shown.
class ShowNotingDialog : public LaunchDialog {
public:
    bool shown = false;

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        if (message == WM_SHOWWINDOW && wParam) shown = true;
        return LaunchDialog::OnMessage(message, wParam, lParam, result);
    }
};

TEST(LaunchDialog, WithoutASplashNoWindowShowsAlsoWhileAJavaIsRemoved)
{
    // This program carries no splash picture. The installer beside the
    // launcher (the probe) registers Java 1.6, so the sequence ends with the
    // removal of the Java it installed, where a splash would be shown.
    ScratchFolder scratch;
    std::wstring record = scratch / L"record.txt";
    std::wstring javaHome = scratch / L"Java";
    CreateDirectoryW(javaHome.c_str(), nullptr);
    CreateDirectoryW((javaHome + L"\\bin").c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), (javaHome + L"\\bin\\javaw.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), (scratch / L"JRE.exe").c_str(), FALSE));
    WriteBytes(scratch / L"JRE.exe.ini",
               "[probe]\r\nregister=SOFTWARE\\JavaSoft\\Java Runtime Environment|CurrentVersion|1.6\r\n");
    WriteBytes(scratch / L"archive.jar", "x");
    DeleteMachineKey(kJavaKey);
    SetMachineString(std::wstring(kJavaKey) + L"\\1.6", L"JavaHome", javaHome);
    SetEnvironmentVariableW(L"PROBE_RECORD", record.c_str());

    ShowNotingDialog dialog;
    wcscpy(dialog.programFolder, scratch.Path().c_str());
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    SetEnvironmentVariableW(L"PROBE_RECORD", nullptr);
    DeleteMachineKey(kJavaKey);

    auto runs = ReadProbeRecords(record);
    ASSERT_EQ(2u, runs.size()) << "the installer, then the wizard";
    EXPECT_TRUE(EndsWith(runs[0].program, L"\\JRE.exe"));
    EXPECT_FALSE(dialog.shown) << "a window without a picture was shown";
    dialog.DestroyWindow();
}

TEST(LaunchDialog, SequenceEndedByAMessageLeavesTheCurrentFolderAsItWas)
{
    ScratchFolder scratch;
    std::wstring before = CurrentFolder();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\JavaSoft\\Java Runtime Environment");
    MessageBoxCloser closer;
    LaunchDialog dialog;
    wcscpy(dialog.programFolder, scratch.Path().c_str());
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    EXPECT_EQ(before, CurrentFolder());
    EXPECT_EQ(1u, closer.Seen().size()) << "no Java registered: message 1";
    dialog.DestroyWindow();
}

}  // namespace
