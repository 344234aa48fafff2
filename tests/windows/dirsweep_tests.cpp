// The folder-removal program: its command line, its retries, and the program.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "dirsweep/folder_removal.h"
#include "support.h"

namespace {

TEST(ParseFolderArgument, TakesTheFolderAfterTheProgramPath)
{
    const struct {
        const wchar_t* commandLine;
        const wchar_t* folder;  // null: none
    } cases[] = {
        {L"C:\\WINDOWS\\Temp\\dirsweep.exe", nullptr},
        {L"C:\\WINDOWS\\Temp\\dirsweep.exe   ", nullptr},
        {L"C:\\WINDOWS\\Temp\\dirsweep.exe C:\\A\\B\\C", L"C:\\A\\B\\C"},
        {L"C:\\WINDOWS\\Temp\\dirsweep.exe C:\\Program Files\\App\\Uninstall", L"C:\\Program Files\\App\\Uninstall"},
        {L"C:\\WINDOWS\\Temp\\dirsweep.exe \"C:\\A B\\C\"", L"C:\\A B\\C"},
        {L"\"C:\\My Temp\\dirsweep.exe\" C:\\A B\\C  ", L"C:\\A B\\C"},
        {L"\"C:\\My Temp\\dirsweep.exe\"", nullptr},
        {L"dirsweep.exe\tC:\\Tab", L"C:\\Tab"},
    };
    for (const auto& c : cases) {
        wchar_t folder[MAX_PATH];
        bool found = ParseFolderArgument(c.commandLine, folder);
        EXPECT_EQ(c.folder != nullptr, found) << c.commandLine;
        if (c.folder) {
            EXPECT_STREQ(c.folder, folder) << c.commandLine;
        }
    }
    std::wstring tooLong = L"dirsweep.exe C:\\" + std::wstring(300, L'x');
    wchar_t folder[MAX_PATH];
    EXPECT_FALSE(ParseFolderArgument(tooLong.c_str(), folder));
}

TEST(ParentFolder, IsTheTextBeforeTheLastBackslash)
{
    const struct {
        const wchar_t* path;
        const wchar_t* parent;
    } cases[] = {{L"C:\\A\\B\\C", L"C:\\A\\B"}, {L"C:\\A\\B", L"C:\\A"}, {L"C:\\Top", L"C:"}, {L"C:", L""}, {L"", L""}};
    for (const auto& c : cases) {
        wchar_t parent[MAX_PATH];
        ParentFolder(c.path, parent);
        EXPECT_STREQ(c.parent, parent) << c.path;
    }
}

TEST(RemoveFolderWhenEmpty, RemovesTheFolderOnceItHasBeenEmptied)
{
    ScratchFolder scratch;
    std::wstring folder = scratch / L"folder";
    CreateDirectoryW(folder.c_str(), nullptr);
    WriteBytes(folder + L"\\left.txt", "x");
    std::thread emptier([&] {
        Sleep(600);
        DeleteFileW((folder + L"\\left.txt").c_str());
    });
    RemoveFolderWhenEmpty(folder.c_str(), 10000, 100);
    emptier.join();
    EXPECT_FALSE(PathExists(folder));
}

TEST(RemoveFolderWhenEmpty, TriesUntilTheLimitAndNotAfterTheFolderIsGone)
{
    ScratchFolder scratch;
    std::wstring folder = scratch / L"folder";
    CreateDirectoryW(folder.c_str(), nullptr);
    WriteBytes(folder + L"\\stays.txt", "x");
    // A folder that never empties is tried for the whole limit, then left.
    DWORD start = GetTickCount();
    RemoveFolderWhenEmpty(folder.c_str(), 800, 100);
    EXPECT_GE(GetTickCount() - start, 800u) << "gave up before the limit";
    EXPECT_TRUE(PathExists(folder + L"\\stays.txt"));
    // A folder already gone ends the tries at once: no pause of 20 seconds.
    start = GetTickCount();
    RemoveFolderWhenEmpty((scratch / L"already gone").c_str(), 60000, 20000);
    EXPECT_LT(GetTickCount() - start, 10000u);
}

TEST(DirsweepProgram, RemovesTheFolderWhenItEmptiesThenItsEmptyParents)
{
    ScratchFolder scratch;
    std::wstring a = scratch / L"A", b = a + L"\\B B", c = b + L"\\C";
    CreateDirectoryW(a.c_str(), nullptr);
    CreateDirectoryW(b.c_str(), nullptr);
    CreateDirectoryW(c.c_str(), nullptr);
    WriteBytes(c + L"\\in use.txt", "x");
    WriteBytes(scratch / L"beside A.txt", "keeps the scratch folder");
    std::thread emptier([&] {
        Sleep(2000);
        DeleteFileW((c + L"\\in use.txt").c_str());
    });
    ProcessResult run = RunProgram(L"\"" + BuiltProgram(L"dirsweep.exe") + L"\" " + c, scratch.Path());
    emptier.join();
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_FALSE(PathExists(a)) << "C, then B B and A, each empty by then";
    EXPECT_TRUE(PathExists(scratch.Path()));

    ProcessResult nothing = RunProgram(L"\"" + BuiltProgram(L"dirsweep.exe") + L"\"");
    EXPECT_TRUE(nothing.ended);
    EXPECT_EQ(0u, nothing.exitCode);
}

}  // namespace
