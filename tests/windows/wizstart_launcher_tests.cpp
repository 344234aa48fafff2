// The launcher's start-up: its command line, and its launch dialog's
// initialisation, with the launch steps observed through a derived dialog.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
