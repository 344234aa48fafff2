// The text steps of document resolution, natively: extensions, the split of a
// registered open command, the document in the arguments, quoting.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setup/command_template.h"

namespace {

TEST(CommandExtension, FromTheLastDotOn)
{
    const struct {
        const char* path;
        const char* extension;  // null: none
        bool program;
    } cases[] = {
        {"D:\\setup.exe", ".exe", true},
        {"D:\\SETUP.EXE", ".EXE", true},
        {"D:\\run.Bat", ".Bat", true},
        {"D:\\x.cOm", ".cOm", true},
        {"D:\\readme.txt", ".txt", false},
        {"D:\\tool.exe /quiet", ".exe /quiet", false},
        {"D:\\my.folder\\README", ".folder\\README", false},
        {"D:\\archive.exe2", ".exe2", false},
        {"D:\\no_dot", nullptr, false},
    };
    for (const auto& c : cases) {
        const char* extension = FindExtension(c.path);
        if (!c.extension) {
            EXPECT_EQ(nullptr, extension) << c.path;
            continue;
        }
        ASSERT_NE(nullptr, extension) << c.path;
        EXPECT_STREQ(c.extension, extension);
        EXPECT_EQ(c.program, IsProgramExtension(extension)) << c.path;
    }
}

TEST(CommandTemplate, SplitsProgramAndArguments)
{
    const struct {
        const char* commandTemplate;
        bool split;
        const char* program;
        const char* arguments;
    } cases[] = {
        {"\"C:\\Program Files\\Reader\\reader.exe\" \"%1\"", true, "C:\\Program Files\\Reader\\reader.exe", " \"%1\""},
        {"\"C:\\x.exe\"", true, "C:\\x.exe", ""},
        {"%SystemRoot%\\system32\\notepad.exe %1", true, "%SystemRoot%\\system32\\notepad.exe", "%1"},
        {"C:\\Tools\\View.EXE  /p %1", true, "C:\\Tools\\View.EXE", " /p %1"},
        {"C:\\Tools\\view.exe", true, "C:\\Tools\\view.exe", ""},
        {"C:\\a.exe.b.exe x", true, "C:\\a.exe", ".b.exe x"},
        {"\"C:\\unclosed.exe %1", false, "", ""},
        {"\"\" %1", false, "", ""},
        {"rundll32 shell32,OpenAs %1", false, "", ""},
        {"", false, "", ""},
    };
    for (const auto& c : cases) {
        char program[kCommandSize] = "junk", arguments[kCommandSize] = "junk";
        EXPECT_EQ(c.split, SplitCommandTemplate(c.commandTemplate, program, arguments)) << c.commandTemplate;
        EXPECT_STREQ(c.program, program) << c.commandTemplate;
        EXPECT_STREQ(c.arguments, arguments) << c.commandTemplate;
    }
}

TEST(CommandTemplate, DocumentGoesIntoTheArguments)
{
    const char* document = "D:\\docs\\read me.txt";
    const struct {
        const char* arguments;
        const char* filled;
    } cases[] = {
        {" \"%1\"", " \"D:\\docs\\read me.txt\""},
        {"%1", "\"D:\\docs\\read me.txt\""},
        {"", " D:\\docs\\read me.txt"},
        {"/p %1", "\"/p D:\\docs\\read me.txt\""},
        {"\"%1\" %1", "\"D:\\docs\\read me.txt\" %1"},
        {"/x %L", " D:\\docs\\read me.txt"},
        {"%10", "\"D:\\docs\\read me.txt0\""},
    };
    for (const auto& c : cases) {
        char arguments[kCommandSize];
        strcpy(arguments, c.arguments);
        EXPECT_TRUE(FillDocumentArguments(arguments, document)) << c.arguments;
        EXPECT_STREQ(c.filled, arguments) << c.arguments;
    }
}

TEST(CommandTemplate, TooLongIsRefusedNotCut)
{
    std::string document(250, 'd');
    char arguments[kCommandSize] = " \"%1\" /switch";
    EXPECT_FALSE(FillDocumentArguments(arguments, document.c_str()));
    EXPECT_STREQ(" \"%1\" /switch", arguments);

    std::string full = "%1" + std::string(256, 'a');
    strcpy(arguments, full.c_str());
    EXPECT_FALSE(FillDocumentArguments(arguments, "x")) << "no room for the quotes";
    EXPECT_EQ(full, arguments);

    // Without a placeholder the long arguments give way to the document.
    std::string noPlaceholder(258, 'a');
    strcpy(arguments, noPlaceholder.c_str());
    EXPECT_TRUE(FillDocumentArguments(arguments, "x"));
    EXPECT_STREQ(" x", arguments);

    std::string longTemplate = "\"" + std::string(260, 'p') + "\"";
    char program[kCommandSize], rest[kCommandSize];
    EXPECT_FALSE(SplitCommandTemplate(longTemplate.c_str(), program, rest));
}

TEST(CommandTemplate, ProgramWithABlankIsQuoted)
{
    const struct {
        const char* program;
        bool ok;
        const char* quoted;
    } cases[] = {
        {"C:\\Program Files\\reader.exe", true, "\"C:\\Program Files\\reader.exe\""},
        {"C:\\Windows\\notepad.exe", true, "C:\\Windows\\notepad.exe"},
        {"\"C:\\already quoted.exe\"", true, "\"C:\\already quoted.exe\""},
    };
    for (const auto& c : cases) {
        char program[kCommandSize];
        strcpy(program, c.program);
        EXPECT_EQ(c.ok, QuoteProgramPath(program));
        EXPECT_STREQ(c.quoted, program);
    }
    std::string longest(258, 'p');
    longest[3] = ' ';
    char program[kCommandSize];
    strcpy(program, longest.c_str());
    EXPECT_FALSE(QuoteProgramPath(program));
    EXPECT_EQ(longest, program);
}

}  // namespace
