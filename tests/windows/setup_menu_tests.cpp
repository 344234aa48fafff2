// The disc menu's window in the test program itself, built from the program's
// own resources and settings read from an autorun.inf: opening, fonts, the
// text layout and its hit rectangles, and the highlight and cursor following
// the real mouse, read back from the screen's pixels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "setup/config.h"
#include "setup/fonts.h"
#include "setup/menu_dialog.h"
#include "setup/resource.h"
#include "setup/startup.h"
#include "setup/text_buttons.h"
#include "setup_menu_support.h"
#include "setup_support.h"
#include "support.h"

namespace {

const std::string kEntries =
    "[Vendrel]\r\ntitle = Menu Under Test\r\nstart = one.exe\r\ninstall = First entry\r\n"
    "install_help = One line of help\r\n"
    "start2 = two.exe\r\ninstall2 = Second\r\ninstall_help2 = Line one\\nthe longest line of three\\nthree\r\n"
    "start3 = three.exe\r\ninstall3 = Third\r\nstart_icon_rect3 = 20, 20, 30, 30\r\n"
    // Entry 4 has no command, entry 5 no label: neither is shown, icon or not.
    "install4 = Fourth\r\nstart_icon_rect4 = 20, 60, 30, 30\r\n"
    "start5 = five.exe\r\nstart_icon_rect5 = 20, 100, 30, 30\r\n"
    // Entry 6's icon rectangle has no width.
    "start6 = six.exe\r\ninstall6 = Sixth\r\nstart_icon_rect6 = 100, 20, 0, 30\r\n";

// The menu as a modeless window of this thread, from settings in autorun.inf.
class MenuWindow : public ::testing::Test {
protected:
    void SetUp() override { moduleInstance = GetModuleHandleW(nullptr); }
    void TearDown() override
    {
        if (menu_) DestroyWindow(menu_);
        PumpMessages(50);
    }

    bool Open(const std::string& extra = "")
    {
        WriteBytes(folder_ / L"autorun.inf", kEntries + kMenuColors + extra);
        if (!ReadMenuConfig((Narrow(folder_.Path()) + "\\").c_str())) return false;
        menu_ = CreateDialogParamA(moduleInstance, MAKEINTRESOURCEA(IDD_MENU), nullptr, MenuDialogProc, 0);
        if (!menu_) return false;
        ShowWindow(menu_, SW_SHOW);
        SetForegroundWindow(menu_);
        UpdateWindow(menu_);
        PumpMessages(300);
        return true;
    }
    HWND Button(int id) const { return GetDlgItem(menu_, id); }
    const EntryTextRects& Rects(int id) const { return *EntryRectsOf(id); }
    static POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

    ScratchFolder folder_;
    HWND menu_ = nullptr;
};

TEST_F(MenuWindow, OpensCentredWithItsCaptionAndIconsAndTheFocusParked)
{
    ASSERT_TRUE(Open());
    RECT window;
    GetWindowRect(menu_, &window);
    int width = window.right - window.left, height = window.bottom - window.top;
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - width) / 2, window.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - height) / 4, window.top);

    char caption[64] = "";
    GetWindowTextA(menu_, caption, sizeof caption);
    EXPECT_STREQ("Menu Under Test", caption);
    EXPECT_NE(0, SendMessageA(menu_, WM_GETICON, ICON_BIG, 0));
    EXPECT_NE(0, SendMessageA(Button(IDC_EXIT), BM_GETIMAGE, IMAGE_ICON, 0));

    // The buttons lie 2000 pixels to the right, beyond the client area; the
    // absent entries 4 and 5 are hidden and disabled; the focus sink has the focus.
    RECT client;
    GetClientRect(menu_, &client);
    for (int id = IDC_ENTRY1; id <= IDC_EXIT; ++id) {
        RECT home = ButtonHome(menu_, id);
        EXPECT_GE(home.left + 2000, client.right) << id;
        bool absent = id == IDC_ENTRY4 || id == IDC_ENTRY5;
        EXPECT_EQ(!absent, IsWindowVisible(Button(id)) != FALSE) << id;
        EXPECT_EQ(!absent, IsWindowEnabled(Button(id)) != FALSE) << id;
    }
    EXPECT_EQ(Button(IDC_FOCUS_SINK), GetFocus());

    // Nothing highlighted; the labels and help texts are drawn.
    ClientPixels shot = CaptureClient(menu_);
    EXPECT_EQ(0, shot.Count(kHiliteRgb));
    EXPECT_GT(shot.Count(kTitleRgb, Rects(IDC_ENTRY2).label), 0);
    EXPECT_GT(shot.Count(kBodyRgb, Rects(IDC_ENTRY2).help), 0);
    EXPECT_GT(shot.Count(kTitleRgb, Rects(IDC_EXIT).label), 0);

    // Another window's palette change repaints the whole menu.
    ValidateRect(menu_, nullptr);
    SendMessageA(menu_, WM_PALETTECHANGED, WPARAM(GetDesktopWindow()), 0);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(menu_, &update, FALSE));
}

TEST(SizeMenuFonts, AThirdAndAFifthOfTheFirstButtonUnlessConfigured)
{
    const RECT button = {400, 40, 442, 101};   // 61 pixels high
    const struct {
        const char* name;
        FontSpec setting;
        int labelHeight, helpHeight;
    } cases[] = {
        {"derived", {"Arial", 1, 0, 0, 0, 0}, -20, -12},
        {"character height", {"Arial", 1, -20, 0, 0, 0}, -20, -20},
        {"cell height", {"Arial", 1, 20, 0, 0, 0}, 20, 20},
    };
    for (const auto& c : cases) {
        memset(&menuConfig, 0, sizeof menuConfig);
        menuConfig.labelFont = menuConfig.helpFont = c.setting;
        menuConfig.labelLogFont.lfWidth = 9;
        menuConfig.labelLogFont.lfWeight = 400;
        menuConfig.labelLogFont.lfUnderline = 1;   // as the installed font had it
        SizeMenuFonts(button);
        EXPECT_EQ(c.labelHeight, menuConfig.labelLogFont.lfHeight) << c.name;
        EXPECT_EQ(c.helpHeight, menuConfig.helpLogFont.lfHeight) << c.name;
        EXPECT_EQ(0, menuConfig.labelLogFont.lfWidth) << c.name;
        EXPECT_EQ(400, menuConfig.labelLogFont.lfWeight) << "weight 0 keeps the installed weight";
        EXPECT_EQ(0, menuConfig.labelLogFont.lfItalic);
        EXPECT_EQ(1, menuConfig.labelLogFont.lfUnderline) << "underline 0 keeps the installed underline";
    }
    menuConfig.labelFont.weight = 700;
    menuConfig.labelFont.italic = 1;
    menuConfig.helpFont.underline = 1;
    SizeMenuFonts(button);
    EXPECT_EQ(700, menuConfig.labelLogFont.lfWeight);
    EXPECT_EQ(1, menuConfig.labelLogFont.lfItalic);
    EXPECT_EQ(1, menuConfig.helpLogFont.lfUnderline);
}

TEST_F(MenuWindow, FontsFollowTheFirstButtonsHeight)
{
    ASSERT_TRUE(Open("font = Arial, 1, 0, 1\r\n"));
    RECT first = ButtonHome(menu_, IDC_ENTRY1);
    int height = first.bottom - first.top;
    EXPECT_EQ(-(height / 3), menuConfig.labelLogFont.lfHeight);
    EXPECT_EQ(-(height / 5), menuConfig.helpLogFont.lfHeight);
    EXPECT_EQ(700, menuConfig.labelLogFont.lfWeight) << "weight 1 is bold";
}

TEST_F(MenuWindow, RightAlignedTextsEndAtTheirButton)
{
    ASSERT_TRUE(Open());
    for (int id : {IDC_ENTRY1, IDC_ENTRY2, IDC_ENTRY3, IDC_ENTRY6, IDC_BROWSE, IDC_EXIT}) {
        RECT home = ButtonHome(menu_, id);
        const EntryTextRects& rects = Rects(id);
        ASSERT_TRUE(rects.labelRecorded) << id;
        EXPECT_EQ(home.left, rects.label.right) << id;
        EXPECT_LT(rects.label.left, rects.label.right) << id;
        // Vertically centred on the button (to within the odd pixel).
        EXPECT_LE(std::abs((rects.label.top - home.top) - (home.bottom - rects.label.bottom)), 1) << id;
        EXPECT_EQ(id <= IDC_ENTRY2, rects.helpRecorded) << id;
    }
    for (int id : {IDC_ENTRY4, IDC_ENTRY5}) {
        EXPECT_FALSE(Rects(id).labelRecorded) << "absent entries are not drawn";
        EXPECT_FALSE(Rects(id).helpRecorded);
    }

    // The help text sits right under its label and ends at the button too. Two
    // line breaks make three lines: three times one line's height, as wide as
    // the longest line.
    const RECT& one = Rects(IDC_ENTRY1).help;
    const RECT& three = Rects(IDC_ENTRY2).help;
    EXPECT_EQ(Rects(IDC_ENTRY1).label.bottom, one.top);
    EXPECT_EQ(Rects(IDC_ENTRY2).label.bottom, three.top);
    EXPECT_EQ(ButtonHome(menu_, IDC_ENTRY2).left, three.right);
    EXPECT_EQ(3 * (one.bottom - one.top), three.bottom - three.top);

    HDC dc = GetDC(menu_);
    HFONT help = CreateFontIndirectA(AsLogFont(menuConfig.helpLogFont));
    HGDIOBJ kept = SelectObject(dc, help);
    SIZE longest;
    GetTextExtentPoint32A(dc, "the longest line of three", 25, &longest);
    int width = 0, height = 0;
    EXPECT_TRUE(MeasureMultilineText(dc, "a\n\nb", &width, &height));
    EXPECT_EQ(3 * longest.cy, height) << "an empty line is a line too";
    SelectObject(dc, kept);
    DeleteObject(help);
    ReleaseDC(menu_, dc);
    EXPECT_EQ(longest.cx, three.right - three.left);

    ClientPixels shot = CaptureClient(menu_);
    WriteBmp(TestFolder() + L"\\setup_menu_window.bmp", shot);
    // The help text's pixels lie on three lines' worth of rows.
    RECT drawn = shot.Bounds(kBodyRgb, RECT{three.left, three.top + 1, three.right, three.bottom});
    EXPECT_GT(drawn.bottom - drawn.top, 2 * (one.bottom - one.top));
}

TEST_F(MenuWindow, LabelWiderThanItsAreaKeepsTheWholeArea)
{
    // Entry 6's button stands near the left edge: this label does not fit before it.
    ASSERT_TRUE(Open("install6 = A label far too long for the little room left of its button\r\n"));
    RECT home = ButtonHome(menu_, IDC_ENTRY6);
    const RECT& label = Rects(IDC_ENTRY6).label;
    EXPECT_EQ(0, label.left);
    EXPECT_EQ(home.left, label.right);
}

TEST_F(MenuWindow, LeftAlignedTextsStartAtTheirButton)
{
    ASSERT_TRUE(Open("text_align = LEFT\r\n"));
    for (int id : {IDC_ENTRY1, IDC_ENTRY2, IDC_ENTRY6, IDC_EXIT}) {
        RECT home = ButtonHome(menu_, id);
        ASSERT_TRUE(Rects(id).labelRecorded) << id;
        EXPECT_EQ(home.left, Rects(id).label.left) << id;
        EXPECT_GT(Rects(id).label.right, home.left) << id;
    }
    EXPECT_EQ(ButtonHome(menu_, IDC_ENTRY2).left, Rects(IDC_ENTRY2).help.left);
}

TEST_F(MenuWindow, HitTestingCoversLabelsHelpTextsAndIconRectangles)
{
    ASSERT_TRUE(Open());
    const RECT label = Rects(IDC_ENTRY2).label, help = Rects(IDC_ENTRY2).help;
    const RECT exitLabel = Rects(IDC_EXIT).label;
    const struct {
        const char* name;
        POINT point;
        int hit;
    } cases[] = {
        {"label top left corner", {label.left, label.top}, IDC_ENTRY2},
        {"label bottom right corner", {label.right, label.bottom - 1}, IDC_ENTRY2},
        {"left of the label", {label.left - 1, (label.top + label.bottom) / 2}, 0},
        {"help text's last row", {help.right, help.bottom}, IDC_ENTRY2},
        {"below the help text", {help.right, help.bottom + 1}, 0},
        {"icon rectangle", {20, 20}, IDC_ENTRY3},
        {"icon rectangle's far corner", {50, 50}, IDC_ENTRY3},
        {"past the icon rectangle", {51, 50}, 0},
        {"icon of an entry without command", {25, 70}, 0},
        {"icon of an entry without label", {25, 110}, 0},
        {"icon rectangle without width", {100, 30}, 0},
        {"exit label", Centre(exitLabel), IDC_EXIT},
        {"browse label", Centre(Rects(IDC_BROWSE).label), IDC_BROWSE},
        {"nowhere", {1, 1}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.hit, HitTestMenu(c.point)) << c.name;
}

TEST_F(MenuWindow, HighlightAndCursorFollowTheMouse)
{
    ASSERT_TRUE(Open());
    HCURSOR entryCursor = LoadCursorA(moduleInstance, MAKEINTRESOURCEA(IDC_ENTRY_CURSOR));
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    ASSERT_NE(nullptr, entryCursor);
    const RECT label2 = Rects(IDC_ENTRY2).label, label3 = Rects(IDC_ENTRY3).label;

    const struct {
        const char* name;
        POINT point;
        int focused;   // 0: nothing highlighted
    } steps[] = {
        {"entry 2's label", Centre(label2), IDC_ENTRY2},
        {"entry 3's label", Centre(label3), IDC_ENTRY3},
        {"entry 2's help text", Centre(Rects(IDC_ENTRY2).help), IDC_ENTRY2},
        {"an empty place", {5, 150}, 0},
        {"entry 3's icon rectangle", {30, 30}, IDC_ENTRY3},
        {"the exit label", Centre(Rects(IDC_EXIT).label), IDC_EXIT},
        {"entry 6's icon rectangle without width", {100, 35}, 0},
    };
    for (const auto& s : steps) {
        MoveMouseTo(menu_, s.point);
        PumpMessages(200);
        EXPECT_EQ(s.focused ? entryCursor : arrow, GetCursor()) << s.name;
        EXPECT_EQ(Button(s.focused ? s.focused : IDC_FOCUS_SINK), GetFocus()) << s.name;
        ClientPixels shot = CaptureClient(menu_);
        for (int id : {IDC_ENTRY1, IDC_ENTRY2, IDC_ENTRY3, IDC_ENTRY6, IDC_BROWSE, IDC_EXIT}) {
            RECT area = Rects(id).label;
            OffsetRect(&area, -1, -1);   // the label proper lies one pixel up and left
            bool lit = id == s.focused;
            EXPECT_EQ(lit, shot.Count(kHiliteRgb, area) > 0) << s.name << ": " << id;
            EXPECT_EQ(!lit, shot.Count(kTitleRgb, area) > 0) << s.name << ": " << id;
        }
    }
}

TEST_F(MenuWindow, ButtonUnderTheMouseTakesTheFocusAndTheDefaultLook)
{
    ASSERT_TRUE(Open());
    auto isDefault = [&](int id) { return (GetWindowLongA(Button(id), GWL_STYLE) & BS_DEFPUSHBUTTON) != 0; };
    FocusEntryOnHover(Button(IDC_ENTRY2));
    EXPECT_EQ(Button(IDC_ENTRY2), GetFocus());
    EXPECT_TRUE(isDefault(IDC_ENTRY2));
    FocusEntryOnHover(Button(IDC_ENTRY3));
    EXPECT_EQ(Button(IDC_ENTRY3), GetFocus());
    EXPECT_TRUE(isDefault(IDC_ENTRY3));
    EXPECT_FALSE(isDefault(IDC_ENTRY2)) << "the previous button gives the look back";

    // Only while the menu is the foreground window.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(other);
    PumpMessages(100);
    FocusEntryOnHover(Button(IDC_ENTRY2));
    EXPECT_FALSE(isDefault(IDC_ENTRY2));
    DestroyWindow(other);
}

TEST_F(MenuWindow, LabelWithoutShadowIsDrawnOnceRaisedByOnePixel)
{
    ASSERT_TRUE(Open("title_shadow = 0\r\n"));
    ClientPixels shot = CaptureClient(menu_);
    RECT recorded = Rects(IDC_ENTRY1).label;
    RECT title = shot.Bounds(kTitleRgb, RECT{0, recorded.top - 3, recorded.right + 3, recorded.bottom + 3});
    EXPECT_EQ(0, shot.Count(kBodyRgb, RECT{recorded.left, recorded.top, recorded.right, recorded.bottom - 1}))
        << "no shadow";
    EXPECT_LE(title.right, recorded.right - 1);
    EXPECT_GE(title.top, recorded.top - 1);
    EXPECT_LT(title.bottom, recorded.bottom);
}

TEST_F(MenuWindow, DrawingAnEntryLeavesTheGivenContextWithItsOwnFont)
{
    // Both fonts are selected and deleted during the drawing: the context
    // must hold its own font again afterwards, never a deleted one.
    ASSERT_TRUE(Open());
    HDC window = GetDC(menu_);
    HDC dc = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(window, 600, 400);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HFONT own = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ stock = SelectObject(dc, own);
    for (int id : {IDC_ENTRY1, IDC_ENTRY2}) {   // a label alone, a label with help
        DrawEntryLabel(dc, Button(id));
        EXPECT_EQ(HGDIOBJ(own), GetCurrentObject(dc, OBJ_FONT)) << id;
    }
    SelectObject(dc, stock);
    SelectObject(dc, oldBitmap);
    DeleteObject(own);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(menu_, window);
}

}  // namespace
