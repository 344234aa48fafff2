// The disc menu's Windows-side operations, called directly: documents mapped
// to their registered programs, the Compatibility Assistant's exclusion list,
// the font step and the classification of Windows versions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "setup/command.h"
#include "setup/compat.h"
#include "setup/config.h"
#include "setup/fonts.h"
#include "setup/startup.h"
#include "setup_support.h"
#include "support.h"

namespace {

// A file type registered for the length of a test: extension -> type name ->
// shell\open\command.
class RegisteredType {
public:
    RegisteredType(const std::string& extension, const std::string& typeName, const std::string* command)
        : extension_(extension), typeName_(typeName)
    {
        SetDefault(extension_, typeName_);
        if (command) SetDefault(typeName_ + "\\shell\\open\\command", *command);
    }
    ~RegisteredType()
    {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, extension_.c_str());
        RegDeleteTreeA(HKEY_CLASSES_ROOT, typeName_.c_str());
    }

private:
    static void SetDefault(const std::string& keyPath, const std::string& value)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CLASSES_ROOT, keyPath.c_str(), &key)) << keyPath;
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
        RegCloseKey(key);
    }
    std::string extension_, typeName_;
};

struct Resolved {
    std::string path, arguments;
};

Resolved Resolve(const std::string& path)
{
    char p[MAX_PATH], a[MAX_PATH];
    strcpy(p, path.c_str());
    strcpy(a, "junk");
    ResolveProgramCommand(p, a);
    return {p, a};
}

std::string SystemRoot()
{
    char root[MAX_PATH];
    GetEnvironmentVariableA("SystemRoot", root, MAX_PATH);
    return root;
}

TEST(ResolveProgramCommand, RegisteredOpenCommands)
{
    const struct {
        const char* command;  // the registered template
        const char* program;
        const char* arguments;
    } cases[] = {
        {"\"C:\\Tools\\reader.exe\" \"%1\"", "C:\\Tools\\reader.exe", " \"D:\\docs\\guide.vdt\""},
        {"C:\\Tools\\view.exe", "C:\\Tools\\view.exe", " D:\\docs\\guide.vdt"},
        {"C:\\Tools\\view.exe /p %1", "C:\\Tools\\view.exe", "\"/p D:\\docs\\guide.vdt\""},
        {"C:\\Tools\\view.exe %2 %L", "C:\\Tools\\view.exe", " D:\\docs\\guide.vdt"},
        {"\"C:\\Tools\\two.exe\" \"%1\" \"%1\"", "C:\\Tools\\two.exe", " \"D:\\docs\\guide.vdt\" \"%1\""},
        // A registered program with a blank in its path comes back quoted.
        {"\"C:\\Program Files\\Reader\\reader.exe\" \"%1\"", "\"C:\\Program Files\\Reader\\reader.exe\"",
         " \"D:\\docs\\guide.vdt\""},
        {"C:\\Program Files\\Viewer\\view.exe %1", "\"C:\\Program Files\\Viewer\\view.exe\"", "\"D:\\docs\\guide.vdt\""},
    };
    for (const auto& c : cases) {
        std::string command = c.command;
        RegisteredType type(".vdt", "VendrelTest.Document", &command);
        Resolved r = Resolve("D:\\docs\\guide.vdt");
        EXPECT_EQ(c.program, r.path) << c.command;
        EXPECT_EQ(c.arguments, r.arguments) << c.command;
    }
}

TEST(ResolveProgramCommand, SystemRootIsExpanded)
{
    std::string command = "%systemroot%\\system32\\notepad.exe %1";
    RegisteredType type(".vdt", "VendrelTest.Document", &command);
    Resolved r = Resolve("D:\\readme.vdt");
    EXPECT_EQ(SystemRoot() + "\\system32\\notepad.exe", r.path);
    EXPECT_EQ("\"D:\\readme.vdt\"", r.arguments);

    // Without the variable nothing is resolved.
    std::string root = SystemRoot();
    SetEnvironmentVariableA("SystemRoot", nullptr);
    r = Resolve("D:\\readme.vdt");
    SetEnvironmentVariableA("SystemRoot", root.c_str());
    EXPECT_EQ("D:\\readme.vdt", r.path);
    EXPECT_EQ("", r.arguments);
}

TEST(ResolveProgramCommand, UnresolvedPathsStayAsTheyAre)
{
    // Wine registers "\"%1\" %*" for programs: a lookup would change them.
    std::string unusable = "rundll32 shell32,OpenAs %1";
    RegisteredType noOpen(".vdn", "VendrelTest.NoOpen", nullptr);
    RegisteredType noProgram(".vdu", "VendrelTest.Unusable", &unusable);
    const char* paths[] = {
        "D:\\setup.exe",       "D:\\SETUP.EXE",           "D:\\run.bat",       "D:\\x.Com",
        "D:\\tool.exe /quiet", "D:\\my.folder\\README",   "D:\\README",        "D:\\doc.vdn",
        "D:\\doc.vdu",         "D:\\doc.unregistered_x",
    };
    for (const char* path : paths) {
        Resolved r = Resolve(path);
        EXPECT_EQ(path, r.path);
        EXPECT_EQ("", r.arguments) << path;
    }
}

TEST(ResolveProgramCommand, ResultThatDoesNotFitIsRefused)
{
    std::string command = "\"C:\\Tools\\reader.exe\" \"%1\" /with /some /switches";
    RegisteredType type(".vdt", "VendrelTest.Document", &command);
    std::string document = "D:\\" + std::string(240, 'd') + ".vdt";
    Resolved r = Resolve(document);
    EXPECT_EQ(document, r.path);
    EXPECT_EQ("", r.arguments);
}

// The Compatibility Assistant's list, kept and put back around each test.
class ExclusionList : public ::testing::Test {
protected:
    RegistryValueBackup list_{HKEY_LOCAL_MACHINE, kAssistantKey, "ExecutablesToExclude"};

    std::vector<std::string> Entries() const
    {
        std::string data;
        return list_.Get(&data) ? SplitMultiString(data) : std::vector<std::string>{"<no value>"};
    }
    static std::vector<std::string> Paths(int count)
    {
        std::vector<std::string> paths;
        for (int i = 1; i <= count; ++i) paths.push_back("C:\\Programs\\tool" + std::to_string(i) + ".exe");
        return paths;
    }
    void Store(const std::vector<std::string>& items) const
    {
        std::string data = MultiString(items);
        list_.Set(&data, REG_MULTI_SZ);
    }
};

TEST_F(ExclusionList, CreatedWithTheProgramAlone)
{
    list_.Remove();
    ExcludeFromCompatibilityAssistant("D:\\setup.exe");
    std::string data;
    ASSERT_TRUE(list_.Get(&data));
    EXPECT_EQ(std::string("D:\\setup.exe\0\0", 14), data);
}

TEST_F(ExclusionList, AppendedAndCappedAtTwentyFive)
{
    std::vector<std::string> ten = Paths(10);
    Store(ten);
    ExcludeFromCompatibilityAssistant("D:\\setup.exe");
    ten.push_back("D:\\setup.exe");
    EXPECT_EQ(ten, Entries());

    std::vector<std::string> full = Paths(25);
    Store(full);
    ExcludeFromCompatibilityAssistant("D:\\setup.exe");
    std::vector<std::string> expected(full.begin() + 1, full.end());
    expected.push_back("D:\\setup.exe");
    EXPECT_EQ(expected, Entries());
}

TEST_F(ExclusionList, UnchangedWhenPresentInAnotherCase)
{
    std::vector<std::string> items = {"C:\\a.exe", "d:\\SETUP.exe", "C:\\b.exe"};
    Store(items);
    ExcludeFromCompatibilityAssistant("D:\\setup.EXE");
    EXPECT_EQ(items, Entries());
}

TEST_F(ExclusionList, LargeOrFullListsUntouched)
{
    // 8192 bytes stored: not read at all.
    std::string big = std::string(8190, 'x') + std::string(2, '\0');
    list_.Set(&big, REG_MULTI_SZ);
    ExcludeFromCompatibilityAssistant("D:\\setup.exe");
    std::string data;
    ASSERT_TRUE(list_.Get(&data));
    EXPECT_EQ(big, data);

    // Just below the limit, without room for the path: left alone, nothing written past the buffer.
    std::string nearlyFull = std::string(8180, 'y') + std::string(2, '\0');
    list_.Set(&nearlyFull, REG_MULTI_SZ);
    ExcludeFromCompatibilityAssistant("D:\\setup.exe");
    ASSERT_TRUE(list_.Get(&data));
    EXPECT_EQ(nearlyFull, data);
}

TEST(RegistryKeyPath, MissingParentsAreCreated)
{
    const char* path = "Software\\VendrelTest\\One\\Two\\Three";
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\VendrelTest");
    EnsureRegistryKeyPath(path);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key));
    RegCloseKey(key);
    EnsureRegistryKeyPath(path);  // already there
    EnsureRegistryKeyPath("NoBackslashKeyVendrelTest");
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "NoBackslashKeyVendrelTest", 0, KEY_READ, &key));
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\VendrelTest");
}

TEST(IsNt6OrLater, ComparesTheVersionTextByteWise)
{
    RegistryValueBackup version(HKEY_LOCAL_MACHINE, kVersionKey, "CurrentVersion");
    const struct {
        const char* text;  // null: no value
        bool nt6;
    } cases[] = {{"6.0", true}, {"6.1", true}, {"6.3", true}, {"5.1", false}, {"4.0", false},
                 {"10.0", false}, {"", false}, {nullptr, false}};
    for (const auto& c : cases) {
        if (c.text)
            version.Set(c.text);
        else
            version.Remove();
        EXPECT_EQ(c.nt6, IsNt6OrLater()) << (c.text ? c.text : "no value");
    }
    version.Set(std::string(150, '9'));
    EXPECT_FALSE(IsNt6OrLater()) << "a value longer than its buffer";
}

int CALLBACK FirstFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM found)
{
    *reinterpret_cast<std::string*>(found) = font->lfFaceName;
    return 0;
}

int CALLBACK LastFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM found)
{
    *reinterpret_cast<std::string*>(found) = font->lfFaceName;
    return 1;
}

TEST(SelectMenuFonts, InstalledFaceOrTheStockGuiFontNeverItalic)
{
    LOGFONTA stock = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock);

    // Any face the system has installed.
    std::string installed;
    HDC screen = GetDC(nullptr);
    LOGFONTA all = {};
    all.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(screen, &all, FirstFace, reinterpret_cast<LPARAM>(&installed), 0);
    ReleaseDC(nullptr, screen);
    ASSERT_FALSE(installed.empty());

    memset(&menuConfig, 0, sizeof menuConfig);
    strcpy(menuConfig.labelFont.face, installed.c_str());
    menuConfig.labelFont.charset = 1;
    strcpy(menuConfig.helpFont.face, "No Such Face Vendrel");
    menuConfig.helpFont.charset = 1;
    SelectMenuFonts();
    LOGFONTA label = ToLogFont(menuConfig.labelLogFont);
    LOGFONTA help = ToLogFont(menuConfig.helpLogFont);
    EXPECT_EQ(installed, label.lfFaceName);
    EXPECT_EQ(0, label.lfItalic);
    EXPECT_STREQ(stock.lfFaceName, help.lfFaceName);
    EXPECT_EQ(stock.lfHeight, help.lfHeight);
    EXPECT_EQ(0, help.lfItalic);

    // A face of 32 characters or more searches every family and keeps the last
    // one listed (not a face cut to 31 characters, not the stock font).
    std::string last;
    screen = GetDC(nullptr);
    EnumFontFamiliesExA(screen, &all, LastFace, reinterpret_cast<LPARAM>(&last), 0);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(std::string(stock.lfFaceName), last) << "the test needs the last family to differ from the stock font";
    memset(menuConfig.labelFont.face, 'F', 40);
    menuConfig.labelFont.face[40] = 0;
    SelectMenuFonts();
    EXPECT_EQ(last, ToLogFont(menuConfig.labelLogFont).lfFaceName);
}

TEST(OsFamily, ClassifiesWineVersions)
{
    const struct {
        const char* version;
        DWORD family;
    } cases[] = {{"win31", 1}, {"win95", 3}, {"win98", 3}, {"winme", 3}, {"nt351", 0}, {"nt40", 4},
                 {"win2k", 4}, {"winxp", 4}, {"vista", 4}, {"win7", 4},   {"win10", 4}};
    std::wstring helper = TestFolder() + L"\\setup_os_family.exe";
    for (const auto& c : cases) {
        WineVersionFor version("setup_os_family.exe", c.version);
        ProcessResult run = RunProgram(L"\"" + helper + L"\"");
        ASSERT_TRUE(run.ended) << c.version;
        EXPECT_EQ(c.family, run.exitCode) << c.version;
    }
}

}  // namespace
