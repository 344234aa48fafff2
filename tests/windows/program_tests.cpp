// The built wizstart.exe as a user gets it: how it ends, and what its
// resources hold, read back from the shipped (32-bit) file.
#include <gtest/gtest.h>

#include <string>

#include "support.h"

namespace {

std::wstring CopyOfLauncherIn(const ScratchFolder& folder)
{
    std::wstring copy = folder / L"wizstart.exe";
    EXPECT_TRUE(CopyFileW(BuiltProgram(L"wizstart.exe").c_str(), copy.c_str(), FALSE));
    return copy;
}

TEST(WizstartProgram, EndsWithExitCodeZero)
{
    ScratchFolder scratch;
    std::wstring launcher = CopyOfLauncherIn(scratch);
    const wchar_t* argumentSets[] = {L"", L" a b \"c d\""};
    for (const wchar_t* arguments : argumentSets) {
        ProcessResult run = RunProgram(L"\"" + launcher + L"\"" + arguments, scratch.Path());
        ASSERT_TRUE(run.started);
        EXPECT_TRUE(run.ended);
        EXPECT_EQ(0u, run.exitCode) << arguments;
    }
    WriteBytes(scratch / L"uninstall.dat", "");
    ProcessResult run = RunProgram(L"\"" + launcher + L"\"");
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(0u, run.exitCode) << "with uninstall.dat";
}

class LauncherResources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, program_.Module()); }
    std::string Resource(const wchar_t* type, const wchar_t* name) { return program_.Resource(type, name); }
    ProgramFile program_{ShippedProgram(L"wizstart.exe")};
};

TEST_F(LauncherResources, Dialog102IsTheExactTemplate)
{
    const unsigned char expected[] = {
        0x01, 0x00, 0xFF, 0xFF,              // extended template, version 1
        0x00, 0x00, 0x00, 0x00,              // help id
        0x00, 0x00, 0x04, 0x00,              // WS_EX_APPWINDOW
        0x40, 0x00, 0x00, 0x80,              // WS_POPUP | DS_SETFONT
        0x00, 0x00,                          // no controls
        0x00, 0x00, 0x00, 0x00, 0x05, 0x00, 0x05, 0x00,  // 0, 0, 5 by 5
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // no menu, default class, empty title
        0x08, 0x00, 0x00, 0x00, 0x00, 0x01,  // 8 points, weight 0, not italic, charset 1
        'M', 0, 'S', 0, ' ', 0, 'S', 0, 'a', 0, 'n', 0, 's', 0, ' ', 0,
        'S', 0, 'e', 0, 'r', 0, 'i', 0, 'f', 0, 0, 0,
    };
    std::string dialog = Resource(RT_DIALOG, MAKEINTRESOURCEW(102));
    ASSERT_GE(dialog.size(), sizeof expected);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(expected), sizeof expected), dialog.substr(0, sizeof expected));
}

TEST_F(LauncherResources, ManifestRequiresAdministratorRights)
{
    std::string manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
    EXPECT_NE(std::string::npos, manifest.find("level=\"requireAdministrator\"")) << manifest;
    EXPECT_NE(std::string::npos, manifest.find("uiAccess=\"false\"")) << manifest;
}

TEST_F(LauncherResources, IconGroup128HoldsThreeImages)
{
    std::string group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(128));
    ASSERT_EQ(6u + 3 * 14, group.size());
    auto byte = [&](size_t at) { return static_cast<unsigned char>(group[at]); };
    auto word = [&](size_t at) { return unsigned(byte(at) | byte(at + 1) << 8); };
    EXPECT_EQ(1u, word(2));  // icons
    EXPECT_EQ(3u, word(4));
    const struct {
        unsigned size, bits, id;
    } images[] = {{48, 32, 1}, {32, 24, 2}, {16, 8, 3}};
    for (unsigned i = 0; i < 3; ++i) {
        size_t entry = 6 + 14 * i;
        EXPECT_EQ(images[i].size, byte(entry)) << i;
        EXPECT_EQ(images[i].size, byte(entry + 1)) << i;
        EXPECT_EQ(images[i].bits, word(entry + 6)) << i;
        EXPECT_EQ(images[i].id, word(entry + 12)) << i;
        EXPECT_FALSE(Resource(RT_ICON, MAKEINTRESOURCEW(images[i].id)).empty()) << i;
    }
}

TEST(WizstartProgram, VersionBlockNamesTheLauncher)
{
    std::wstring path = ShippedProgram(L"wizstart.exe");
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, &block[0]));
    for (const wchar_t* name : {L"FileDescription", L"ProductName"}) {
        wchar_t* value = nullptr;
        UINT length = 0;
        std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) << name;
        EXPECT_STREQ(L"Launcher", value) << name;
    }
}

}  // namespace
