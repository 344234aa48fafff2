// The autorun.inf checker: its verdict and the key lines of its report for a
// table of files, its key table against setup's reader, and the command line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host_tool.h"
#include "setup/config.h"
#include "setup/resource.h"
#include "tools/autorun_check.h"

namespace {

const std::string kFixtures = AUTORUN_CHECK_FIXTURES;

struct Report {
    CheckVerdict verdict;
    std::string text;
};

Report Check(const std::string& bytes, const std::string& section = "[Vendrel]")
{
    std::ostringstream out;
    CheckVerdict verdict = CheckAutorunText(bytes, "autorun.inf", section, out);
    return {verdict, out.str()};
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

struct FileCase {
    const char* name;
    std::string text;
    CheckVerdict verdict;
    std::vector<std::string> lines;  // each must stand in the report
};

const std::string kStart = "[Vendrel]\nstart = setup1.exe\n";

const FileCase kCases[] = {
    {"sample disc, Windows line breaks", ReadFile(kFixtures + "/sample.inf"), kRunsAsMeant,
     {"What setup will use ([Vendrel] at line 7, read to line 26):", "  title: \"Orvalen 14 Setup\"",
      "  start-up: the menu", "  entry 1: \"Install Orvalen 14\"",
      "    help: \"Installs Orvalen 14.\\nA Java runtime 1.6 or newer is needed.\"",
      "    command: \"wizstart.exe\"", "    icon rectangle: left 14, top 14, right 112, bottom 112",
      "  entry 2: \"Read me\"", "    command: \"\\docs\\readme.txt\"", "    icon rectangle: none",
      "  entries not shown: 3, 4, 5, 6", "  browse: \"Look at the disc\"; the menu closes after browsing",
      "  exit: \"Exit\" (default)", "  after starting an entry: the menu stays open",
      "  texts: left-aligned, title shadow off", "  colours: body text 0, 0, 0; titles 255, 255, 255; highlight 255, 128, 0",
      "  label font: \"Tahoma\", character set 0, height -20, weight 700",
      "  help font: \"Verdana\", character set 1, height a fifth of the entry button, weight of the installed font",
      "Result: setup runs as the file says"}},
    {"defaults, a preferred start, a trailing end-of-file mark", kStart + "install = \npreferred_start = 1\n\x1a", kRunsAsMeant,
     {"  entry 1: \"Install...\" (default)", "  start-up: entry 1 starts at once, without the menu",
      "  browse: \"Browse this CD\" (default); the menu stays open after browsing",
      "  label font: \"Arial\" (default), character set 1, height a third of the entry button"}},
    {"misspelt keys", kStart + "title= A\ntitle  = B\ntitle\t= C\nTitle = D\nstart1 = x.exe\ntitel = E\njust text\n\n; note\n",
     kHasWarnings,
     {":3: warning: 'title' needs exactly one blank before the equals sign ('title ='); setup ignores this line",
      ":4: warning: 'title' needs exactly one blank", ":5: warning: 'title' needs exactly one blank",
      ":6: warning: keys are case-sensitive: 'Title' is not 'title'",
      ":7: warning: entry 1's keys carry no digit: 'start1' is not 'start'", ":8: warning: unknown key 'titel'",
      ":9: warning: not a 'key = value' line", "  title: \"\"", "Result: 7 warnings"}},
    {"keys not at the start of their line",
     kStart + "; title = Old\n  install = Indented\ninstall_help = Click to start = go\n", kHasWarnings,
     {":3: warning: 'title =' is not at the start of the line, but setup still takes the line, even as a comment: it "
      "reads the title as \"= Old\"",
      ":4: warning: 'install =' is indented; setup counts the value from the start of the line: it reads entry 1's "
      "label as \"= Indented\"",
      ":5: warning: the line begins with 'install_help =' but also contains 'start =', which setup tests first: it "
      "reads entry 1's command as \"_help = Click to start = go\"",
      ":2: warning: line 5 sets entry 1's command again", "    command: \"_help = Click to start = go\""}},
    {"over-long line", kStart + "install_help = " + std::string(300, 'h') + "title = Lost\nexit = Quit\n", kHasWarnings,
     {":3: warning: the line is 327 characters long; setup reads only the first 254 and skips the rest",
      "    help: \"" + std::string(254 - 15, 'h') + "\"", "  title: \"\"", "  exit: \"Quit\"", "Result: 1 warning"}},
    {"numbers", kStart + "body_text_color = 300, x, 7, 9\ntitle_color = 0\nhilite_color =\nfont = Arial, 256, 1e3, 400, 2, 1, 5\n"
                         "font_help = Tahoma , 0\nstart_icon_rect = 10, 20, 30\nbrowse = 99999999999\n",
     kHasWarnings,
     {":3: warning: red 300 is not 0 to 255; setup keeps its low 8 bits, 44",
      ":3: warning: \"x\" is not a whole number; setup reads green as 0", ":3: warning: only the first 3 numbers count",
      ":4: warning: only red is given; setup keeps the previous value of the other components",
      ":5: warning: red is missing; setup reads red as 0",
      ":6: warning: character set 256 is not 0 to 255; setup keeps its low 8 bits, 0",
      ":6: warning: \"1e3\" is not a whole number; setup reads height as 1", ":6: warning: only the first 5 numbers count",
      ":7: warning: the blank before the comma stays in the face name \"Tahoma \"",
      ":8: warning: x, y, width and height are expected", ":8: warning: the icon rectangle of entry 1 has a negative width or height",
      "  colours: body text 44, 0, 7; titles 0, 255, 255; highlight 0, 255, 0", "  browse: \"99999999999\""}},
    {"flags, alignment, preferred start",
     kStart + "exit_after_call = no\nclose_after_browse = yes\ntitle_shadow = 0\ntext_align = left \npreferred_start = 12\n",
     kHasWarnings,
     {":3: warning: \"no\" is neither 0 nor 1; setup looks only at its first character and takes exit after call as on",
      ":4: warning: \"yes\" is neither 0 nor 1; setup looks only at its first character and takes close after browse as off",
      ":6: warning: \"left \" is not exactly 'left' (blanks count): setup right-aligns the texts",
      ":7: warning: only the first character of \"12\" counts; setup reads it as \"1\"", "  texts: right-aligned, title shadow off"}},
    {"preferred start of a missing entry or none", kStart + "preferred_start = 4\ntext_align = centre\npreferred_start = 9\n",
     kHasWarnings,
     {":3: warning: line 5 sets the preferred start again",
      ":4: warning: \"centre\" is neither 'left' nor 'right': setup right-aligns the texts",
      ":5: warning: \"9\" names no entry (0 shows the menu, 1 to 6 start an entry): setup starts entry 1 at once"}},
    {"preferred entry without a command", kStart + "install3 = Three\npreferred_start = 3\n", kHasWarnings,
     {":4: warning: the preferred start names entry 3, which has no command: setup shows no menu and starts nothing",
      ":3: warning: entry 3 has a label but no command ('start3 ='); setup does not show it"}},
    {"entries and icon rectangles",
     kStart + "start_icon_rect = 5, 5, 0, 40\ninstall2 = Two\nstart3 = three.exe\ninstall_help4 = Four\nstart_icon_rect4 = 1,1,9,9\n"
              "install5 = Five\nstart5 = five.exe\nstart_icon_rect5 = 50, 50, -10, 10\nstart6 = C:\\tools\\six.exe \ninstall6 = \"Six\"\n",
     kHasWarnings,
     {":3: warning: the icon rectangle of entry 1 has zero width; setup treats it as absent",
      ":4: warning: entry 2 has a label but no command ('start2 ='); setup does not show it",
      ":5: warning: entry 3 has a command but no label ('install3 ='); setup does not show it",
      ":6: warning: entry 4 is not shown, so its help text is not used",
      ":7: warning: entry 4 is not shown, so its icon rectangle is not used",
      ":10: warning: the icon rectangle of entry 5 has a negative width or height",
      ":11: warning: the command ends with a blank", ":11: warning: commands are relative to setup's folder",
      "  entries not shown: 2, 3, 4", "  entry 6: \"\"Six\"\"", "    icon rectangle: none"}},
    {"font face too long for Windows", kStart + "font_help = " + std::string(32, 'F') + "\n", kHasWarnings,
     {":3: warning: the face name has 32 characters, more than a Windows font name holds (31)"}},
    {"what lies outside the section",
     "[autorun]\nopen=setup.exe\ntitle = Early\n; [Vendrel] menu\nstart = a.exe\n[Other]\nexit = Late\n[Vendrel]\nstart = b.exe\n",
     kHasWarnings,
     {":3: warning: 'title' stands before the [Vendrel] section; setup does not read it",
      ":4: warning: the header [Vendrel] stands inside a longer line; setup still starts the section here",
      ":7: warning: 'exit' stands after the end of the [Vendrel] section (line 6)",
      ":8: warning: a second [Vendrel] section; setup reads only the first (line 4)", "    command: \"a.exe\""}},
    {"zero bytes and an end-of-file mark",
     kStart + std::string("title = A\0B\n", 12) + std::string("\0exit = X\n", 10) + "[Other]\n\x1a\n[Vendrel]\n",
     kHasWarnings,
     {":3: warning: a zero byte ends the line for setup", ":4: warning: a zero byte at the start of the line ends the section",
      ":6: warning: an end-of-file mark (Ctrl+Z) ends the file for setup here", "  title: \"A\"", "  exit: \"Exit\" (default)"}},
    {"end-of-file mark before the entry-1 command", "[Vendrel]\n\x1astart = a.exe\n", kRefused,
     {":2: warning: an end-of-file mark", ":1: error: the section has no entry-1 command"}},
    {"no section", "[autorun]\nopen=setup.exe\n[vendrel]\nstart = a.exe\n", kRefused,
     {"setup refuses this file: it ends at once, without a menu (exit code -1)",
      "autorun.inf: error: no line contains the section header [Vendrel] (line 3 has it in other letter case",
      ":4: warning: 'start' stands outside any [Vendrel] section; setup does not read it",
      "Result: setup refuses the file"}},
    {"header on the last line", "[autorun]\n[Vendrel]", kRefused,
     {"autorun.inf:2: error: the section has no entry-1 command ('start = ...'); setup refuses the file"}},
    {"empty entry-1 command", "[Vendrel]\ninstall = Go\nstart = \n", kRefused,
     {"autorun.inf:3: error: the entry-1 command is empty; setup refuses the file"}},
    {"entry-1 command after the section", "[Vendrel]\ntitle = T\n[More]\nstart = a.exe\n", kRefused,
     {":4: warning: 'start' stands after the end of the [Vendrel] section (line 3)",
      ":1: error: the section has no entry-1 command"}},
    {"empty file", "", kRefused, {"error: no line contains the section header [Vendrel]"}},
    {"file saved as UTF-16", std::string("\xff\xfe[\0V\0e\0n\0d\0r\0e\0l\0]\0\n\0", 22), kRefused,
     {"error: no line contains the section header [Vendrel] (the file is saved as UTF-16"}},
    {"text encodings and escapes",
     "\xef\xbb\xbf[Vendrel]\nstart = a.exe\ninstall = Installer M\xc3\xbcller\nexit = Sortie\\nFin\ninstall2 = "
     "\nstart2 = b.exe\ninstall_help = Caf\xc3\xa9\\nBar\nbrowse = Parcourir le CD (Windows-1252: \xe9)\n",
     kHasWarnings,
     {":3: warning: UTF-8 text (and 1 more line): setup reads the system's ANSI code page",
      ":4: warning: '\\n' makes a line break only in help texts; the exit label shows it as written",
      ":6: warning: entry 2 has a command but no label", "  entry 1: \"Installer M\xc3\xbcller\"", "Result: 3 warnings"}},
};

TEST(AutorunCheck, VerdictAndReportForEachFile)
{
    for (const FileCase& c : kCases) {
        SCOPED_TRACE(c.name);
        Report report = Check(c.text);
        EXPECT_EQ(c.verdict, report.verdict) << report.text;
        for (const std::string& line : c.lines)
            EXPECT_NE(std::string::npos, report.text.find(line)) << "missing: " << line << "\nreport:\n" << report.text;
    }
}

// Windows and Unix line breaks give the same report.
TEST(AutorunCheck, LineBreaksDoNotMatter)
{
    std::string crlf = ReadFile(kFixtures + "/sample.inf");
    std::string lf = std::regex_replace(crlf, std::regex("\r\n"), "\n");
    EXPECT_EQ(Check(crlf).text, Check(lf).text);
}

TEST(AutorunCheck, OtherSectionName)
{
    std::string text = ReadFile(kFixtures + "/custom_section.inf");
    Report report = Check(text, "[Orvalen]");
    EXPECT_EQ(kRunsAsMeant, report.verdict) << report.text;
    EXPECT_NE(std::string::npos, report.text.find("    command: \"install.exe\""));
    EXPECT_EQ(kRefused, Check(text).verdict);
}

// The checker's key table against setup's reader: each key takes its own
// line, in setup's order, and setup stores each key's value in a place of its
// own (so the two tables agree key for key).
TEST(AutorunCheck, KeyTableMatchesTheReader)
{
    auto read = [](const std::string& lines, MenuConfig& config) {
        std::string text = "[Vendrel]\nstart = base.exe\n" + lines;
        FILE* file = tmpfile();
        fwrite(text.data(), 1, text.size(), file);
        rewind(file);
        bool ok = ReadMenuConfigFrom(file, config);
        fclose(file);
        return ok;
    };
    MenuConfig base;
    ASSERT_TRUE(read("", base));
    const std::vector<MenuKey>& keys = MenuKeys();
    EXPECT_EQ(37u, keys.size());
    std::vector<std::set<size_t>> touched(keys.size());
    for (size_t k = 0; k < keys.size(); ++k) {
        SCOPED_TRACE(keys[k].text);
        EXPECT_EQ(int(k), FindMenuKey(keys[k].text + " 1"));
        for (const char* value : {"0", "1"}) {
            MenuConfig config;
            ASSERT_TRUE(read(keys[k].text + " " + value + "\n", config));
            for (size_t i = 0; i < sizeof config; ++i)
                if (reinterpret_cast<const char*>(&config)[i] != reinterpret_cast<const char*>(&base)[i]) touched[k].insert(i);
        }
        EXPECT_FALSE(touched[k].empty());
        for (size_t other = 0; other < k; ++other)
            for (size_t i : touched[k]) EXPECT_EQ(0u, touched[other].count(i)) << "shared with " << keys[other].text;
    }
}

// The defaults that the checker reports are setup's string table.
TEST(AutorunCheck, StringsMatchSetupsResources)
{
    std::ifstream rc(std::string(PROJECT_SOURCE) + "/setup/setup.rc");
    std::regex entry("^\\s*(IDS_\\w+)\\s+\"([^\"]*)\"");
    const std::pair<const char*, unsigned> ids[] = {{"IDS_LABEL_FONT", IDS_LABEL_FONT},     {"IDS_HELP_FONT", IDS_HELP_FONT},
                                                    {"IDS_ENTRY1_LABEL", IDS_ENTRY1_LABEL}, {"IDS_BROWSE_LABEL", IDS_BROWSE_LABEL},
                                                    {"IDS_EXIT_LABEL", IDS_EXIT_LABEL},     {"IDS_INF_SECTION", IDS_INF_SECTION}};
    Check("");  // the checked section back to the default
    int found = 0;
    for (std::string line; std::getline(rc, line);) {
        std::smatch m;
        if (!std::regex_search(line, m, entry)) continue;
        for (const auto& id : ids)
            if (m[1] == id.first) {
                char buffer[256];
                LoadResourceString(buffer, sizeof buffer, id.second);
                EXPECT_EQ(m[2].str(), buffer) << id.first;
                ++found;
            }
    }
    EXPECT_EQ(6, found);
}

ToolRun RunTool(const std::string& arguments)
{
    return RunHostTool(AUTORUN_CHECK_TOOL, arguments);
}

TEST(AutorunCheckTool, CommandLine)
{
    const struct {
        std::string arguments;
        int status;
        const char* wanted;
    } cases[] = {
        {"--help", 0, "Usage: autorun-check [--section NAME] FILE"},
        {"", 3, "autorun-check: no FILE given"},
        {"--bogus x", 3, "unknown option --bogus"},
        {"a b", 3, "only one FILE"},
        {"--section", 3, "--section needs a name"},
        {kFixtures + "/sample.inf", 0, "Result: setup runs as the file says"},
        {"--section Orvalen " + kFixtures + "/custom_section.inf", 0, "start-up: entry 1 starts at once"},
        {"--section '[Orvalen]' " + kFixtures + "/custom_section.inf", 0, "command: \"install.exe\""},
        {kFixtures + "/custom_section.inf", 2, "error: no line contains the section header [Vendrel]"},
        {kFixtures + "/missing.inf", 2, "missing.inf: error: cannot read the file"},
        {kFixtures, 2, "autorun_check: error: cannot read the file"},
    };
    for (const auto& c : cases) {
        ToolRun run = RunTool(c.arguments);
        EXPECT_EQ(c.status, run.status) << c.arguments << "\n" << run.out;
        EXPECT_NE(std::string::npos, run.out.find(c.wanted)) << c.arguments << "\n" << run.out;
    }
}

}  // namespace
