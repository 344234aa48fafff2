// The built setup.exe as a user gets it, with probes as the programs behind
// its entries: the preferred start, "/init" on each Windows family, one menu
// at a time, the entry commands, documents, exit codes and its resources.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup_support.h"
#include "support.h"

namespace {

const DWORD kFailed = DWORD(-1);
const int kEntry2 = 3502, kExit = 3508;

// setup.exe with its autorun.inf and probes as entry programs in a scratch
// folder. Probe runs are recorded in one file.
class DiscFolder : public SetupDiscFixture {
protected:
    void TearDown() override
    {
        SetupDiscFixture::TearDown();
        for (PROCESS_INFORMATION& p : started_) {
            if (WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(p.hProcess, 1);
            CloseHandle(p.hProcess);
            CloseHandle(p.hThread);
        }
    }

    void WriteInf(const std::string& section)
    {
        WriteBytes(scratch_ / L"autorun.inf", "[autorun]\r\nopen=setup.exe\r\n\r\n" + section);
    }
    // A typical section: three entries and the given extra lines.
    void WriteMenu(const std::string& extra, const std::string& title = "Vendrel Test Menu")
    {
        WriteInf("[Vendrel]\r\ntitle = " + title + "\r\nstart = entry1.exe\r\nstart2 = entry2.exe /two\r\n"
                 "install2 = Second\r\nstart3 = entry3.exe\r\ninstall3 = Third\r\n" + extra);
    }

    ProcessResult Run(const std::wstring& arguments = L"")
    {
        return RunProgram(L"\"" + setup_ + L"\"" + arguments, scratch_.Path());
    }
    // Starts setup without waiting.
    HANDLE Start(const std::wstring& arguments)
    {
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        std::wstring line = L"\"" + setup_ + L"\"" + arguments;
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, scratch_.Path().c_str(), &si,
                            &pi))
            return nullptr;
        started_.push_back(pi);
        return pi.hProcess;
    }
    static DWORD WaitForExit(HANDLE process, DWORD timeoutMs = 30000)
    {
        if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) return 0xDEAD;
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        return code;
    }


    std::vector<PROCESS_INFORMATION> started_;
};

// The menu window of a process: a dialog with the given caption.
HWND FindMenu(HANDLE process, const char* title, DWORD timeoutMs = 15000)
{
    DWORD pid = GetProcessId(process);
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            char caption[256] = "", className[256] = "";
            GetWindowTextA(w, caption, 256);
            GetClassNameA(w, className, 256);
            if (owner == pid && std::string(caption) == title && std::string(className) == "#32770") return w;
        }
        if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

TEST_F(DiscFolder, PreferredStartRunsItsEntryAtOnce)
{
    const struct {
        const char* value;
        const wchar_t* program;
    } cases[] = {{"3", L"entry3.exe"}, {"9", L"entry1.exe"}, {"12", L"entry1.exe"}, {"x", L"entry1.exe"}};
    for (const auto& c : cases) {
        DeleteFileW(record_.c_str());
        WriteMenu(std::string("preferred_start = ") + c.value + "\r\n");
        ProcessResult run = Run();
        ASSERT_TRUE(run.ended) << c.value;
        EXPECT_EQ(0u, run.exitCode) << c.value;
        std::vector<ProbeRun> runs = Runs(1);
        ASSERT_EQ(1u, runs.size()) << c.value;
        EXPECT_EQ(c.program, ProgramOf(runs[0])) << c.value;
    }
}

TEST_F(DiscFolder, PreferredStartIgnoresAnOpenMenu)
{
    // Another menu holds the mutex: an immediate start does not look at it.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "Vendrel_AutoRun");
    ASSERT_NE(nullptr, mutex);
    WriteMenu("preferred_start = 2\r\n");
    ProcessResult run = Run();
    CloseHandle(mutex);
    EXPECT_EQ(0u, run.exitCode);
    std::vector<ProbeRun> runs = Runs(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(L"entry2.exe", ProgramOf(runs[0]));
    // The entry's arguments follow its path, unquoted as written.
    EXPECT_EQ(scratch_ / L"entry2.exe /two ", runs[0].commandLine);
}

TEST_F(DiscFolder, MenuShownWithoutPreferredStartAndEndsByItsChoice)
{
    const char* values[] = {"preferred_start = 0\r\n", "preferred_start = \r\n", ""};
    for (const char* value : values) {
        DeleteFileW(record_.c_str());
        WriteMenu(value);
        HANDLE setup = Start(L"");
        HWND menu = FindMenu(setup, "Vendrel Test Menu");
        ASSERT_NE(nullptr, menu) << value;
        PostMessageA(menu, WM_COMMAND, IDCANCEL, 0);  // Esc does nothing
        PostMessageA(menu, WM_COMMAND, kEntry2, 0);
        EXPECT_EQ(0u, WaitForExit(setup)) << value;
        std::vector<ProbeRun> runs = Runs(1);
        ASSERT_EQ(1u, runs.size()) << value;
        EXPECT_EQ(L"entry2.exe", ProgramOf(runs[0]));
    }
    // The exit entry starts nothing.
    DeleteFileW(record_.c_str());
    HANDLE setup = Start(L"");
    HWND menu = FindMenu(setup, "Vendrel Test Menu");
    ASSERT_NE(nullptr, menu);
    PostMessageA(menu, WM_COMMAND, kExit, 0);
    EXPECT_EQ(0u, WaitForExit(setup));
    EXPECT_TRUE(Runs(0).empty());
}

TEST_F(DiscFolder, LoadsNoDllFromItsOwnFolder)
{
    // The window theme library, loaded when the menu's first window is made,
    // planted beside setup.exe in a disc folder that others may write to.
    PlantedDlls planted(scratch_.Path(), {L"uxtheme"});
    ASSERT_TRUE(planted.Placed());
    WriteMenu("");
    HANDLE setup = Start(L"");
    HWND menu = FindMenu(setup, "Vendrel Test Menu");
    ASSERT_NE(nullptr, menu);
    PostMessageA(menu, WM_COMMAND, kExit, 0);
    EXPECT_EQ(0u, WaitForExit(setup));
    EXPECT_TRUE(planted.Loaded().empty()) << "the planted uxtheme.dll was loaded";
}

TEST_F(DiscFolder, MenuStaysOpenAfterAStartWithoutExitAfterCall)
{
    WriteMenu("exit_after_call = 0");  // last line, no line break: the 0 still counts
    HANDLE setup = Start(L"");
    HWND menu = FindMenu(setup, "Vendrel Test Menu");
    ASSERT_NE(nullptr, menu);
    SendMessageA(menu, WM_COMMAND, kEntry2, 0);
    SendMessageA(menu, WM_COMMAND, kEntry2, 0);
    EXPECT_EQ(2u, Runs(2).size());
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(setup, 0)) << "the menu stays open";
    PostMessageA(menu, WM_COMMAND, kExit, 0);
    EXPECT_EQ(0u, WaitForExit(setup));
    EXPECT_EQ(2u, Runs(2).size()) << "the exit entry starts nothing";
}

TEST_F(DiscFolder, CommandTooLongForThePathStartsNothing)
{
    WriteInf("[Vendrel]\r\npreferred_start = 1\r\nstart = " + std::string(245, 'c') + ".exe\r\n");
    ProcessResult run = Run();
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(Runs(0).empty());
}

TEST_F(DiscFolder, InitShowsTheMenuOn9xAndNt4AndLaterOnly)
{
    WriteMenu("preferred_start = 3\r\n");
    const struct {
        const char* version;
        bool menu;
    } cases[] = {{"win95", true}, {"win98", true}, {"nt40", true}, {"winxp", true},
                 {"win10", true}, {"nt351", false}, {"win31", false}};
    for (const auto& c : cases) {
        DeleteFileW(record_.c_str());
        WineVersionFor version("setup.exe", c.version);
        HANDLE setup = Start(L" /init");
        HWND menu = FindMenu(setup, "Vendrel Test Menu", c.menu ? 15000 : 3000);
        EXPECT_EQ(c.menu, menu != nullptr) << c.version;
        if (menu) PostMessageA(menu, WM_COMMAND, kExit, 0);
        EXPECT_EQ(0u, WaitForExit(setup)) << c.version;
        // Without the menu the preferred entry starts at once.
        EXPECT_EQ(c.menu ? 0u : 1u, Runs(c.menu ? 0 : 1).size()) << c.version;
    }
    // "/init" is found anywhere in the command line, in this case only.
    HANDLE setup = Start(L" -x/init-y");
    HWND menu = FindMenu(setup, "Vendrel Test Menu");
    EXPECT_NE(nullptr, menu);
    if (menu) PostMessageA(menu, WM_COMMAND, kExit, 0);
    WaitForExit(setup);
    DeleteFileW(record_.c_str());
    ProcessResult run = Run(L" /INIT");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(1u, Runs(1).size()) << "/INIT is not /init";
}

TEST_F(DiscFolder, SecondMenuEndsAndBringsTheFirstToTheFront)
{
    WriteMenu("");
    HANDLE first = Start(L"");
    HWND menu = FindMenu(first, "Vendrel Test Menu");
    ASSERT_NE(nullptr, menu);

    // Something else in front, then a second copy.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(other);
    ProcessResult second = Run();
    EXPECT_EQ(kFailed, second.exitCode);
    EXPECT_EQ(menu, GetForegroundWindow());

    // A second copy with another title finds no menu to raise, and still ends.
    SetForegroundWindow(other);
    WriteMenu("", "Another Title");
    second = Run();
    EXPECT_EQ(kFailed, second.exitCode);
    EXPECT_EQ(other, GetForegroundWindow());
    DestroyWindow(other);

    PostMessageA(menu, WM_COMMAND, kExit, 0);
    EXPECT_EQ(0u, WaitForExit(first));
    // The mutex went with the menu: the next copy shows its own.
    HANDLE third = Start(L"");
    HWND thirdMenu = FindMenu(third, "Another Title");
    EXPECT_NE(nullptr, thirdMenu);
    if (thirdMenu) PostMessageA(thirdMenu, WM_COMMAND, kExit, 0);
    EXPECT_EQ(0u, WaitForExit(third));
}

TEST_F(DiscFolder, CommandWithLeadingBackslashJoinsWithoutDoubledSeparator)
{
    CreateDirectoryW((scratch_ / L"bin").c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), (scratch_ / L"bin\\tool.exe").c_str(), FALSE));
    WriteInf("[Vendrel]\r\nstart = \\bin\\tool.exe -a\r\npreferred_start = 1\r\n");
    EXPECT_EQ(0u, Run().exitCode);
    std::vector<ProbeRun> runs = Runs(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(scratch_ / L"bin\\tool.exe -a ", runs[0].commandLine);
}

TEST_F(DiscFolder, DocumentOpensWithItsRegisteredProgram)
{
    // .txt opens with a reader in a folder with a blank in its name.
    CreateDirectoryW((scratch_ / L"Reader App").c_str(), nullptr);
    std::wstring reader = scratch_ / L"Reader App\\reader.exe";
    ASSERT_TRUE(CopyFileW(ProbeProgram().c_str(), reader.c_str(), FALSE));
    RegistryValueBackup txt(HKEY_CLASSES_ROOT, ".txt", nullptr);
    txt.Set("VendrelTest.Text");
    HKEY open;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CLASSES_ROOT, "VendrelTest.Text\\shell\\open\\command", &open));
    std::string command = "\"" + Narrow(reader) + "\" \"%1\"";
    RegSetValueExA(open, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()), DWORD(command.size() + 1));
    RegCloseKey(open);

    CreateDirectoryW((scratch_ / L"docs").c_str(), nullptr);
    WriteBytes(scratch_ / L"docs\\readme.txt", "hello");
    WriteInf("[Vendrel]\r\nstart = docs\\readme.txt\r\npreferred_start = 1\r\n");
    EXPECT_EQ(0u, Run().exitCode);
    std::vector<ProbeRun> runs = Runs(1);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "VendrelTest.Text");
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(L"\"" + reader + L"\"  \"" + (scratch_ / L"docs\\readme.txt") + L"\"", runs[0].commandLine);
}

TEST_F(DiscFolder, EndsWithMinusOneWithoutUsableSettings)
{
    const struct {
        const char* name;
        const char* text;  // null: no autorun.inf
    } cases[] = {
        {"no autorun.inf", nullptr},
        {"no section", "[autorun]\r\nopen=setup.exe\r\n"},
        {"no start command", "[Vendrel]\r\ntitle = T\r\nstart2 = entry2.exe\r\npreferred_start = 2\r\n"},
    };
    for (const auto& c : cases) {
        DeleteFileW((scratch_ / L"autorun.inf").c_str());
        if (c.text) WriteBytes(scratch_ / L"autorun.inf", c.text);
        ProcessResult run = Run(L" /init");
        ASSERT_TRUE(run.ended) << c.name;
        EXPECT_EQ(kFailed, run.exitCode) << c.name;
    }
    EXPECT_TRUE(Runs(0).empty());
}

TEST_F(DiscFolder, ExcludesItselfFromTheCompatibilityAssistantOnVistaAndLater)
{
    RegistryValueBackup list(HKEY_LOCAL_MACHINE, kAssistantKey, "ExecutablesToExclude");
    RegistryValueBackup version(HKEY_LOCAL_MACHINE, kVersionKey, "CurrentVersion");
    WriteMenu("preferred_start = 1\r\n");

    list.Remove();
    version.Set("5.1");
    EXPECT_EQ(0u, Run().exitCode);
    std::string data;
    EXPECT_FALSE(list.Get(&data)) << "nothing written on 5.1";

    version.Set("6.1");
    EXPECT_EQ(0u, Run().exitCode);
    ASSERT_TRUE(list.Get(&data));
    EXPECT_EQ(Narrow(setup_) + std::string(2, '\0'), data);
    EXPECT_EQ(0u, Run().exitCode);
    ASSERT_TRUE(list.Get(&data));
    EXPECT_EQ(1u, SplitMultiString(data).size()) << "not added twice";
}

class SetupResources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, program_.Module()); }
    std::string Resource(const wchar_t* type, const wchar_t* name) { return program_.Resource(type, name); }
    ProgramFile program_{ShippedProgram(L"setup.exe")};
    HMODULE module_ = program_.Module();
};

TEST_F(SetupResources, Dialog3500IsTheExactTemplate)
{
    std::string expected = {
        1, 0, '\xFF', '\xFF',  // extended template, version 1
        0, 0, 0, 0,            // help id
        0, 0, 0, 0,            // no extended style
        '\xC0', 0, '\xC0', '\x82',  // WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | DS_MODALFRAME | DS_SETFONT
        9, 0,                  // nine controls
        10, 0, 22, 0, 0x45, 1, '\xC8', 0,  // 10, 22, 325 by 200
        0, 0, 0, 0, 0, 0,      // no menu, dialog class, empty caption
        8, 0, 0, 0, 0, 1,      // 8 points, weight 0, not italic, charset 1
        'H', 0, 'e', 0, 'l', 0, 'v', 0, 0, 0,
    };
    std::string dialog = Resource(RT_DIALOG, MAKEINTRESOURCEW(3500));
    ASSERT_GE(dialog.size(), expected.size());
    EXPECT_EQ(expected, dialog.substr(0, expected.size()));

    // The controls: help id, no extended style, button style, place, id, class, no text.
    const struct {
        short x, y, cx, cy;
        unsigned id;
    } controls[] = {{2000, 2000, 28, 28, 3509}, {289, 23, 28, 28, 3501},  {289, 55, 28, 28, 3502},
                    {289, 87, 28, 28, 3503},    {289, 119, 28, 28, 3504}, {83, 104, 28, 28, 3505},
                    {83, 132, 28, 28, 3506},    {289, 166, 28, 15, 3507}, {60, 166, 28, 15, 3508}};
    size_t at = expected.size();
    auto dword = [&](size_t p) { return DWORD(BYTE(dialog[p]) | BYTE(dialog[p + 1]) << 8 | BYTE(dialog[p + 2]) << 16 | BYTE(dialog[p + 3]) << 24); };
    auto word = [&](size_t p) { return short(BYTE(dialog[p]) | BYTE(dialog[p + 1]) << 8); };
    for (const auto& c : controls) {
        at = (at + 3) & ~size_t(3);
        ASSERT_LE(at + 30, dialog.size());
        EXPECT_EQ(0u, dword(at)) << c.id;
        EXPECT_EQ(0u, dword(at + 4)) << c.id;
        EXPECT_EQ(DWORD(WS_CHILD | WS_VISIBLE | BS_ICON), dword(at + 8)) << c.id;
        EXPECT_EQ(c.x, word(at + 12)) << c.id;
        EXPECT_EQ(c.y, word(at + 14)) << c.id;
        EXPECT_EQ(c.cx, word(at + 16)) << c.id;
        EXPECT_EQ(c.cy, word(at + 18)) << c.id;
        EXPECT_EQ(c.id, dword(at + 20)) << c.id;
        EXPECT_EQ(0xFFFFu, WORD(word(at + 24))) << c.id;  // predefined class...
        EXPECT_EQ(0x0080, word(at + 26)) << c.id;         // ...Button
        EXPECT_EQ(0, word(at + 28)) << c.id;              // empty text
        EXPECT_EQ(0, word(at + 30)) << c.id;              // no creation data
        at += 32;
    }
    EXPECT_EQ(at, dialog.size());
}

TEST_F(SetupResources, StringsIconsCursorManifestAndLanguageTag)
{
    const struct {
        UINT id;
        const char* text;
    } strings[] = {{3000, "Arial"}, {3001, "Arial"}, {3002, "Install..."}, {3003, "Browse this CD"}, {3004, "Exit"},
                   {3005, "[Vendrel]"}};
    for (const auto& s : strings) {
        char text[256] = "";
        EXPECT_GT(LoadStringA(module_, s.id, text, sizeof text), 0) << s.id;
        EXPECT_STREQ(s.text, text);
    }
    for (unsigned id : {1u, 2020u, 2021u, 2022u, 2023u, 2024u, 2025u, 2026u, 2027u})
        EXPECT_FALSE(Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(id)).empty()) << id;
    EXPECT_FALSE(Resource(RT_GROUP_CURSOR, MAKEINTRESOURCEW(4000)).empty());
    std::string manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
    EXPECT_NE(std::string::npos, manifest.find("level=\"requireAdministrator\"")) << manifest;
    EXPECT_EQ(std::string("\x09\x04\0\0", 4), Resource(MAKEINTRESOURCEW(255), MAKEINTRESOURCEW(1)));
}

}  // namespace
