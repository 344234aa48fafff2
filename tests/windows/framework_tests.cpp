#include <gtest/gtest.h>

#include "framework/app.h"
#include "framework/dialog.h"

namespace {

TEST(LoadAppString, FindsEachStringOfItsBlock)
{
    const struct {
        UINT id;
        const wchar_t* text;
    } cases[] = {{1, L"first"}, {2, L"second entry of block one"}, {17, L"in the second block"}, {18, L"\u00e9t\u00e9"}};
    for (const auto& c : cases) {
        wchar_t buffer[64];
        EXPECT_TRUE(LoadAppString(c.id, buffer, 64)) << c.id;
        EXPECT_STREQ(c.text, buffer) << c.id;
    }
}

TEST(LoadAppString, MissingStringGivesAnEmptyText)
{
    for (UINT id : {0u, 3u, 15u, 16u, 40u}) {
        wchar_t buffer[8] = L"junk";
        EXPECT_FALSE(LoadAppString(id, buffer, 8)) << id;
        EXPECT_STREQ(L"", buffer) << id;
    }
}

TEST(LoadAppString, CutsAtTheBufferEndWithoutWritingPastIt)
{
    wchar_t buffer[8];
    buffer[4] = L'#';
    buffer[5] = L'#';
    EXPECT_TRUE(LoadAppString(2, buffer, 5));
    EXPECT_STREQ(L"seco", buffer);
    EXPECT_EQ(L'#', buffer[5]);
}

TEST(AppName, IsTheExecutableNameWithoutExtension)
{
    EXPECT_STREQ(L"framework_tests", AppName());
}

class RecordingDialog : public Dialog {
public:
    RecordingDialog() : Dialog(77) {}
    bool initialised = false;
    HICON dragIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));

protected:
    BOOL OnInitDialog() override
    {
        initialised = Window() != nullptr;
        return TRUE;
    }
    bool OnEraseBackground(HDC, LRESULT* result) override
    {
        *result = 0x1234;
        return true;
    }
    HICON OnQueryDragIcon() override { return dragIcon; }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) override
    {
        if (message != WM_APP) return false;
        *result = LRESULT(wParam * 2);
        return true;
    }
};

TEST(Dialog, HandlersSeeTheirMessagesAndTheRestGetsTheDefault)
{
    RecordingDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(nullptr));
    HWND window = dialog.Window();
    EXPECT_TRUE(dialog.initialised);  // during creation, with the window known
    EXPECT_EQ(0x1234, SendMessageW(window, WM_ERASEBKGND, 0, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.dragIcon), SendMessageW(window, WM_QUERYDRAGICON, 0, 0));
    EXPECT_EQ(42, SendMessageW(window, WM_APP, 21, 0));
    EXPECT_EQ(MAKELRESULT(IDOK, DC_HASDEFID), SendMessageW(window, DM_GETDEFID, 0, 0));  // default handling
    dialog.DestroyWindow();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(nullptr, dialog.Window());
}

class NoLoopApp : public Application {
public:
    RecordingDialog dialog;
    bool windowAliveAtExit = true;
    bool InitInstance() override
    {
        mainWindow = &dialog;
        dialog.CreateModeless(nullptr);
        return false;
    }
    int ExitInstance() override
    {
        windowAliveAtExit = dialog.Window() != nullptr;
        return 7;
    }
};

TEST(Application, FalseStartUpSkipsTheLoopDestroysTheWindowAndExitsWithTheExitHookResult)
{
    NoLoopApp app;
    EXPECT_EQ(&app, Application::Current());
    EXPECT_EQ(7, app.Run());
    EXPECT_FALSE(app.windowAliveAtExit);
}

}  // namespace
