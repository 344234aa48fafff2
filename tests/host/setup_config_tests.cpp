// The disc menu's autorun.inf reader, natively: every key, the defaults, the
// limits of a line and the failures, with the string table and the font step
// replaced by stand-ins.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include "setup/config.h"
#include "setup/resource.h"

namespace fs = std::filesystem;

// The program's string table, English (United States).
bool stringsMissing = false;
int fontSelections = 0;

size_t LoadResourceString(char* buffer, size_t size, unsigned id)
{
    static const std::map<unsigned, std::string> table = {
        {IDS_LABEL_FONT, "Arial"},     {IDS_HELP_FONT, "Arial"}, {IDS_ENTRY1_LABEL, "Install..."},
        {IDS_BROWSE_LABEL, "Browse this CD"}, {IDS_EXIT_LABEL, "Exit"}, {IDS_INF_SECTION, "[Vendrel]"},
    };
    buffer[0] = 0;
    auto found = table.find(id);
    if (stringsMissing && id != IDS_INF_SECTION) return 0;
    if (found == table.end() || size == 0) return 0;
    size_t n = std::min(size - 1, found->second.size());
    memcpy(buffer, found->second.data(), n);
    buffer[n] = 0;
    return n;
}

void SelectMenuFonts()
{
    ++fontSelections;
}

namespace {

// Face, charset, height, weight, italic, underline.
std::string Describe(const FontSpec& font)
{
    return std::string(font.face) + " " + std::to_string(font.charset) + " " + std::to_string(font.height) + " " +
           std::to_string(font.weight) + " " + std::to_string(font.italic) + " " + std::to_string(font.underline);
}

class MenuConfigFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("setup_config_" + std::to_string(getpid()));
        fs::create_directories(folder_);
        memset(&menuConfig, 0xAB, sizeof menuConfig);  // nothing may depend on a clean record
        fontSelections = 0;
        stringsMissing = false;
    }
    void TearDown() override { fs::remove_all(folder_); }

    // Writes autorun.inf exactly as given and reads it.
    bool Read(const std::string& text)
    {
        std::ofstream(folder_ / "autorun.inf", std::ios::binary) << text;
        return ReadMenuConfig(Folder().c_str());
    }
    // A [Vendrel] section with a start command, the given lines, and a final line break.
    bool ReadSection(const std::string& lines) { return Read("[Vendrel]\nstart = setup1.exe\n" + lines + "\n"); }

    std::string Folder() const { return folder_.string() + "/"; }

    fs::path folder_;
};

TEST_F(MenuConfigFile, DefaultsWithOnlyTheStartCommand)
{
    ASSERT_TRUE(Read("[autorun]\nopen=setup.exe\n\n[Vendrel]\nstart = bin\\install.exe /q\n"));
    const MenuConfig& c = menuConfig;
    EXPECT_STREQ("bin\\install.exe /q", c.entries[0].command);
    EXPECT_STREQ("", c.title);
    EXPECT_STREQ("", c.preferredStart);
    EXPECT_STREQ("", c.textAlign);
    EXPECT_TRUE(c.exitAfterCall);
    EXPECT_FALSE(c.closeAfterBrowse);
    EXPECT_TRUE(c.titleShadow);
    EXPECT_EQ("Arial 1 0 0 0 0", Describe(c.labelFont));
    EXPECT_EQ("Arial 1 0 0 0 0", Describe(c.helpFont));
    auto rgb = [](const ColorSpec& s) { return std::to_string(s.red) + "," + std::to_string(s.green) + "," + std::to_string(s.blue); };
    EXPECT_EQ("255,255,255", rgb(c.bodyTextColor));
    EXPECT_EQ("255,255,255", rgb(c.titleColor));
    EXPECT_EQ("255,255,0", rgb(c.hiliteColor));
    EXPECT_STREQ("Install...", c.entries[0].label);
    EXPECT_STREQ("", c.entries[0].help);
    for (int i = 1; i < kEntryCount; ++i) {
        EXPECT_STREQ("", c.entries[i].command) << i;
        EXPECT_STREQ("", c.entries[i].label) << i;
        EXPECT_STREQ("", c.entries[i].help) << i;
    }
    for (int i = 0; i < kEntryCount; ++i) {
        const MenuRect& r = c.entries[i].iconRect;
        EXPECT_EQ(0, r.left | r.top | r.right | r.bottom) << i;
    }
    EXPECT_STREQ("Browse this CD", c.browseLabel);
    EXPECT_STREQ("Exit", c.exitLabel);
    EXPECT_EQ(1, fontSelections);
}

TEST_F(MenuConfigFile, EveryTextKeyGoesToItsField)
{
    ASSERT_TRUE(ReadSection(
        "text_align = left\npreferred_start = 3\nstart2 = two.exe\nstart3 = three.exe\nstart4 = four.exe\n"
        "start5 = five.exe\nstart6 = six.exe\ntitle = Product Setup\ninstall = One\ninstall_help = Help one\n"
        "install2 = Two\ninstall_help2 = Help two\ninstall3 = Three\ninstall_help3 = Help three\n"
        "install4 = Four\ninstall_help4 = Help four\ninstall5 = Five\ninstall_help5 = Help five\n"
        "install6 = Six\ninstall_help6 = Help six\nbrowse = Look around\nexit = Leave"));
    const MenuConfig& c = menuConfig;
    EXPECT_STREQ("left", c.textAlign);
    EXPECT_STREQ("3", c.preferredStart);
    EXPECT_STREQ("Product Setup", c.title);
    const char* commands[] = {"setup1.exe", "two.exe", "three.exe", "four.exe", "five.exe", "six.exe"};
    const char* labels[] = {"One", "Two", "Three", "Four", "Five", "Six"};
    const char* helps[] = {"Help one", "Help two", "Help three", "Help four", "Help five", "Help six"};
    for (int i = 0; i < kEntryCount; ++i) {
        EXPECT_STREQ(commands[i], c.entries[i].command) << i;
        EXPECT_STREQ(labels[i], c.entries[i].label) << i;
        EXPECT_STREQ(helps[i], c.entries[i].help) << i;
    }
    EXPECT_STREQ("Look around", c.browseLabel);
    EXPECT_STREQ("Leave", c.exitLabel);
}

// One line of the section and what it leaves in the settings.
struct LineCase {
    const char* name;
    const char* lines;
    std::function<void(const MenuConfig&)> check;
};

class MenuConfigLine : public MenuConfigFile, public ::testing::WithParamInterface<LineCase> {};

TEST_P(MenuConfigLine, Reads)
{
    ASSERT_TRUE(ReadSection(GetParam().lines));
    GetParam().check(menuConfig);
}

const LineCase kLineCases[] = {
    {"PreferredStartIsNotTheStartCommand", "preferred_start = 4",
     [](const MenuConfig& c) {
         EXPECT_STREQ("4", c.preferredStart);
         EXPECT_STREQ("setup1.exe", c.entries[0].command);
     }},
    {"CloseAfterBrowseIsNotTheBrowseLabel", "close_after_browse = 1",
     [](const MenuConfig& c) {
         EXPECT_TRUE(c.closeAfterBrowse);
         EXPECT_STREQ("Browse this CD", c.browseLabel);
     }},
    {"FlagsOff", "exit_after_call = 0\ntitle_shadow = 0\nclose_after_browse = 0",
     [](const MenuConfig& c) {
         EXPECT_FALSE(c.exitAfterCall);
         EXPECT_FALSE(c.titleShadow);
         EXPECT_FALSE(c.closeAfterBrowse);
     }},
    {"FlagsCountTheirFirstCharacterOnly", "exit_after_call = 01\ntitle_shadow = no\nclose_after_browse = 10",
     [](const MenuConfig& c) {
         EXPECT_FALSE(c.exitAfterCall);
         EXPECT_TRUE(c.titleShadow);
         EXPECT_TRUE(c.closeAfterBrowse);
     }},
    {"KeyWithoutItsBlankIsIgnored", "title= Setup\ntitle  = Setup",
     [](const MenuConfig& c) { EXPECT_STREQ("", c.title); }},
    {"KeyInsideALineCountsFromTheLineStart", "; title = Setup",
     [](const MenuConfig& c) { EXPECT_STREQ("= Setup", c.title); }},
    {"LeadingBlanksAndTabsSkippedTrailingKept", "title = \t  My Product  ",
     [](const MenuConfig& c) { EXPECT_STREQ("My Product  ", c.title); }},
    {"LaterLineReplacesEarlier", "title = First\ntitle = Second",
     [](const MenuConfig& c) { EXPECT_STREQ("Second", c.title); }},
    {"CommentsAndBlankLinesIgnored", "; a comment\n\n   \nunknown = 5\ntitle = T",
     [](const MenuConfig& c) { EXPECT_STREQ("T", c.title); }},
    {"HelpLineBreaks", "install_help = Installs the\\nproduct\ninstall_help2 = a\\\\nb\\x",
     [](const MenuConfig& c) {
         EXPECT_STREQ("Installs the\nproduct", c.entries[0].help);
         EXPECT_STREQ("a\\\nb\\x", c.entries[1].help);
     }},
    {"LabelsKeepBackslashN", "install = A\\nB", [](const MenuConfig& c) { EXPECT_STREQ("A\\nB", c.entries[0].label); }},
    {"FontFaceOnly", "font = Tahoma",
     [](const MenuConfig& c) {
         EXPECT_EQ("Tahoma 1 0 0 0 0", Describe(c.labelFont));
         EXPECT_EQ("Arial 1 0 0 0 0", Describe(c.helpFont));
     }},
    {"FontFullValueWeightOneIsBold", "font_help = Verdana, 0, -14, 1, 1, 1",
     [](const MenuConfig& c) {
         EXPECT_EQ("Verdana 0 -14 700 1 1", Describe(c.helpFont));
         EXPECT_EQ("Arial 1 0 0 0 0", Describe(c.labelFont));
     }},
    {"FontBlankBeforeCommaStaysInFace", "font = Times New Roman , 238,\t20, 400",
     [](const MenuConfig& c) { EXPECT_EQ("Times New Roman  238 20 400 0 0", Describe(c.labelFont)); }},
    {"FontCommaWithNothingAfter", "font = Arial Black,   ",
     [](const MenuConfig& c) { EXPECT_EQ("Arial Black 1 0 0 0 0", Describe(c.labelFont)); }},
    {"FontCharsetKeepsLowEightBits", "font = X, 300", [](const MenuConfig& c) { EXPECT_EQ(44, c.labelFont.charset); }},
    {"Colors", "body_text_color = 1, 2, 3\ntitle_color = 0\nhilite_color = 256,-1,\t 17",
     [](const MenuConfig& c) {
         EXPECT_EQ(1, c.bodyTextColor.red);
         EXPECT_EQ(2, c.bodyTextColor.green);
         EXPECT_EQ(3, c.bodyTextColor.blue);
         EXPECT_EQ(0, c.titleColor.red);
         EXPECT_EQ(255, c.titleColor.green);
         EXPECT_EQ(255, c.titleColor.blue);
         EXPECT_EQ(0, c.hiliteColor.red);
         EXPECT_EQ(255, c.hiliteColor.green);
         EXPECT_EQ(17, c.hiliteColor.blue);
     }},
    {"MalformedNumbersReadAsFarAsTheyGo", "body_text_color = 12abc, x, +7",
     [](const MenuConfig& c) {
         EXPECT_EQ(12, c.bodyTextColor.red);
         EXPECT_EQ(0, c.bodyTextColor.green);
         EXPECT_EQ(7, c.bodyTextColor.blue);
     }},
    {"RectanglesOfFourAndThreeNumbers",
     "start_icon_rect = 10, 20, 30, 40\nstart_icon_rect2 = 10, 20, 30\nstart_icon_rect6 = -5,5,0,0",
     [](const MenuConfig& c) {
         const MenuRect& a = c.entries[0].iconRect;
         EXPECT_EQ(10, a.left);
         EXPECT_EQ(20, a.top);
         EXPECT_EQ(40, a.right);
         EXPECT_EQ(60, a.bottom);
         const MenuRect& b = c.entries[1].iconRect;
         EXPECT_EQ(10, b.left);
         EXPECT_EQ(20, b.top);
         EXPECT_EQ(40, b.right);
         EXPECT_EQ(0, b.bottom);
         const MenuRect& f = c.entries[5].iconRect;
         EXPECT_EQ(-5, f.left);
         EXPECT_EQ(-5, f.right);
         EXPECT_EQ(5, f.bottom);
     }},
    {"AllRectangleKeys",
     "start_icon_rect3 = 3,0,1,1\nstart_icon_rect4 = 4,0,1,1\nstart_icon_rect5 = 5,0,1,1",
     [](const MenuConfig& c) {
         for (int i = 2; i < 5; ++i) EXPECT_EQ(i + 1, c.entries[i].iconRect.left) << i;
     }},
    {"NextSectionEndsTheRead", "title = Mine\n[Other]\ntitle = Theirs\nexit = Quit",
     [](const MenuConfig& c) {
         EXPECT_STREQ("Mine", c.title);
         EXPECT_STREQ("Exit", c.exitLabel);
     }},
    {"CarriageReturnLineFeed", "title = Windows file\r\nexit_after_call = 0\r",
     [](const MenuConfig& c) {
         EXPECT_STREQ("Windows file", c.title);
         EXPECT_FALSE(c.exitAfterCall);
     }},
};

INSTANTIATE_TEST_SUITE_P(Keys, MenuConfigLine, ::testing::ValuesIn(kLineCases),
                         [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST_F(MenuConfigFile, TextAlignLeftInAnyCaseButWhole)
{
    const struct {
        const char* value;
        bool left;
    } cases[] = {{"left", true}, {"Left", true}, {"LEFT", true}, {"left ", false}, {"right", false}, {"", false}, {"lef", false}};
    for (const auto& c : cases) {
        ASSERT_TRUE(ReadSection(std::string("text_align = ") + c.value)) << c.value;
        EXPECT_STREQ(c.value, menuConfig.textAlign);
        EXPECT_EQ(c.left, IsLeftAligned(menuConfig.textAlign)) << "'" << c.value << "'";
    }
}

TEST_F(MenuConfigFile, LastLineWithoutLineBreakKeepsItsLastCharacter)
{
    ASSERT_TRUE(Read("[Vendrel]\nstart = setup1.exe\nexit_after_call = 0"));
    EXPECT_FALSE(menuConfig.exitAfterCall);
    ASSERT_TRUE(Read("[Vendrel]\nstart = a.exe"));
    EXPECT_STREQ("a.exe", menuConfig.entries[0].command);
}

TEST_F(MenuConfigFile, OverlongLineIsCutAndItsRestSkipped)
{
    // The first 254 characters of a line are read; text beyond never counts as a line.
    std::string longHelp = "install_help = " + std::string(300, 'x') + "title = Injected\n";
    ASSERT_TRUE(ReadSection(longHelp + "exit = Quit"));
    EXPECT_STREQ("", menuConfig.title);
    EXPECT_EQ(254u - strlen("install_help = "), strlen(menuConfig.entries[0].help));
    EXPECT_STREQ("Quit", menuConfig.exitLabel);

    std::string longComment = "; " + std::string(400, '-') + "[next] start2 = evil.exe\n";
    ASSERT_TRUE(ReadSection(longComment + "title = Kept"));
    EXPECT_STREQ("", menuConfig.entries[1].command);
    EXPECT_STREQ("Kept", menuConfig.title);
}

TEST_F(MenuConfigFile, LongestValuesFitTheirFields)
{
    std::string title = "title = " + std::string(246, 't');
    std::string command = "start = " + std::string(246, 'c');
    ASSERT_TRUE(Read("[Vendrel]\n" + command + "\n" + title + "\n"));
    EXPECT_EQ(246u, strlen(menuConfig.title));
    EXPECT_EQ(246u, strlen(menuConfig.entries[0].command));
}

TEST_F(MenuConfigFile, HeaderAnywhereInALine)
{
    ASSERT_TRUE(Read("; menu settings: [Vendrel] follow\nstart = x.exe\n"));
    EXPECT_STREQ("x.exe", menuConfig.entries[0].command);
}

TEST_F(MenuConfigFile, Failures)
{
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"no section", "[autorun]\nopen=setup.exe\nstart = x.exe\n"},
        {"header in another case", "[vendrel]\nstart = x.exe\n"},
        {"header on the last line", "[autorun]\n[Vendrel]"},
        {"no entry-1 command", "[Vendrel]\nstart2 = two.exe\ntitle = T\n"},
        {"empty entry-1 command", "[Vendrel]\nstart = \n"},
        {"command after the next section", "[Vendrel]\ntitle = T\n[Other]\nstart = x.exe\n"},
        {"empty file", ""},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(Read(c.text)) << c.name;
        EXPECT_EQ(0, fontSelections) << c.name;
    }
    fs::remove(folder_ / "autorun.inf");
    EXPECT_FALSE(ReadMenuConfig(Folder().c_str())) << "no file";
}

TEST_F(MenuConfigFile, MissingStringsLeaveFieldsEmpty)
{
    stringsMissing = true;
    ASSERT_TRUE(ReadSection("install2 = Two"));
    EXPECT_STREQ("", menuConfig.labelFont.face);
    EXPECT_STREQ("", menuConfig.entries[0].label);
    EXPECT_STREQ("", menuConfig.browseLabel);
    EXPECT_STREQ("", menuConfig.exitLabel);
}

TEST_F(MenuConfigFile, FolderTooLongForThePathFails)
{
    std::string folder(300, 'a');
    EXPECT_FALSE(ReadMenuConfig((folder + "/").c_str()));
}

TEST(ExpandLineBreaks, RewritesOnlyBackslashN)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""}, {"\\n", "\n"}, {"a\\nb\\nc", "a\nb\nc"}, {"\\\\n", "\\\n"}, {"end\\", "end\\"},
        {"\\t\\N", "\\t\\N"}, {"n\\", "n\\"},
    };
    for (const auto& c : cases) {
        char text[32];
        strcpy(text, c.in);
        ExpandLineBreaks(text);
        EXPECT_STREQ(c.out, text) << c.in;
    }
}

}  // namespace
