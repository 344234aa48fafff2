// The launcher's file-system, resource, text and registry helpers, on Wine's
// real file system and registry.
#include <gtest/gtest.h>

#include <string>

#include "support.h"
#include "wizstart/helpers.h"

namespace {

// A drive letter that is not mapped in this prefix.
std::wstring MissingDrive()
{
    DWORD drives = GetLogicalDrives();
    for (int d = 'Q' - 'A'; d < 26; ++d)
        if (!(drives & (1u << d))) return std::wstring(1, wchar_t('A' + d)) + L":";
    return L"";
}

TEST(FileExists, TellsFilesAndFoldersFromNothing)
{
    ScratchFolder scratch;
    WriteBytes(scratch / L"file.txt", "x");
    EXPECT_TRUE(FileExists((scratch / L"file.txt").c_str()));
    EXPECT_TRUE(FileExists(scratch.Path().c_str()));
    EXPECT_FALSE(FileExists((scratch / L"missing.txt").c_str()));
}

TEST(FolderExists, IsTrueForFoldersOnlyAndKeepsTheCurrentFolder)
{
    ScratchFolder scratch;
    WriteBytes(scratch / L"file.txt", "x");
    std::wstring before = CurrentFolder();
    EXPECT_TRUE(FolderExists(scratch.Path().c_str()));
    EXPECT_FALSE(FolderExists((scratch / L"file.txt").c_str()));
    EXPECT_FALSE(FolderExists((scratch / L"missing").c_str()));
    EXPECT_EQ(before, CurrentFolder());
}

TEST(CreateFolderPath, CreatesEveryMissingLevelAndKeepsTheCurrentFolder)
{
    ScratchFolder scratch;
    std::wstring before = CurrentFolder();
    std::wstring deep = scratch / L"a\\b\\c";
    EXPECT_TRUE(CreateFolderPath(deep.c_str()));
    EXPECT_TRUE(FolderExists((scratch / L"a").c_str()));
    EXPECT_TRUE(FolderExists((scratch / L"a\\b").c_str()));
    EXPECT_TRUE(FolderExists(deep.c_str()));
    EXPECT_EQ(before, CurrentFolder());

    EXPECT_TRUE(CreateFolderPath(deep.c_str()));  // already there
    EXPECT_EQ(before, CurrentFolder());
}

TEST(CreateFolderPath, FailsWithoutCreatingDrivesOrWritingPastItsBuffers)
{
    std::wstring before = CurrentFolder();
    std::wstring drive = MissingDrive();
    ASSERT_FALSE(drive.empty());
    EXPECT_FALSE(CreateFolderPath((drive + L"\\a").c_str()));
    EXPECT_FALSE(CreateFolderPath(drive.c_str()));
    EXPECT_EQ(before, CurrentFolder());

    ScratchFolder scratch;
    std::wstring tooLong = scratch / std::wstring(300, L'x');
    EXPECT_FALSE(CreateFolderPath(tooLong.c_str()));
    EXPECT_EQ(before, CurrentFolder());
}

TEST(DeleteFolderContents, EmptiesNestedFoldersWithReadOnlyAndHiddenFiles)
{
    ScratchFolder scratch;
    std::wstring top = scratch / L"top";
    CreateDirectoryW(top.c_str(), nullptr);
    WriteBytes(top + L"\\readonly.txt", "r");
    SetFileAttributesW((top + L"\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    WriteBytes(top + L"\\hidden.txt", "h");
    SetFileAttributesW((top + L"\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    CreateDirectoryW((top + L"\\sub").c_str(), nullptr);
    CreateDirectoryW((top + L"\\sub\\deeper").c_str(), nullptr);
    WriteBytes(top + L"\\sub\\one.txt", "1");
    WriteBytes(top + L"\\sub\\deeper\\two.txt", "2");

    EXPECT_EQ(0, DeleteFolderContents(top.c_str()));
    EXPECT_TRUE(FolderExists(top.c_str()));
    WIN32_FIND_DATAW entry;
    HANDLE listing = FindFirstFileW((top + L"\\*").c_str(), &entry);
    int entries = 0;
    if (listing != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..") ++entries;
        } while (FindNextFileW(listing, &entry));
        FindClose(listing);
    }
    EXPECT_EQ(0, entries);
}

TEST(DeleteFolderContents, MissingFolderCountsAsEmpty)
{
    ScratchFolder scratch;
    EXPECT_EQ(0, DeleteFolderContents((scratch / L"missing").c_str()));
}

TEST(DeleteFolderContents, StopsAtAFileHeldOpenAndLeavesIt)
{
    ScratchFolder scratch;
    std::wstring top = scratch / L"top";
    CreateDirectoryW(top.c_str(), nullptr);
    WriteBytes(top + L"\\held.txt", "held");
    HANDLE held = CreateFileW((top + L"\\held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(-1, DeleteFolderContents(top.c_str()));
    EXPECT_TRUE(PathExists(top + L"\\held.txt"));
    CloseHandle(held);
    EXPECT_EQ(0, DeleteFolderContents(top.c_str()));
    EXPECT_FALSE(PathExists(top + L"\\held.txt"));
}

TEST(DeleteFolderContents, RemovesALinkToAFolderButNeverWhatItPointsTo)
{
    ScratchFolder scratch;
    std::wstring outside = scratch / L"outside";
    CreateDirectoryW(outside.c_str(), nullptr);
    WriteBytes(outside + L"\\precious.txt", "keep me");
    std::wstring top = scratch / L"top";
    CreateDirectoryW(top.c_str(), nullptr);
    WriteBytes(top + L"\\own.txt", "own");
    ASSERT_TRUE(MakeSymbolicLink(outside, top + L"\\link"));
    DWORD attributes = GetFileAttributesW((top + L"\\link").c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    ASSERT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT) << "Wine shows the link as a reparse point";

    // Windows removes such a link with RemoveDirectoryW; Wine 8 cannot remove it
    // from the Windows side. Either way the target must stay whole, and a link
    // that stays must not be reported as an empty folder.
    int result = DeleteFolderContents(top.c_str());
    EXPECT_EQ("keep me", ReadBytes(outside + L"\\precious.txt"));
    if (PathExists(top + L"\\link")) {
        EXPECT_EQ(-1, result);
    } else {
        EXPECT_EQ(0, result);
        EXPECT_FALSE(PathExists(top + L"\\own.txt"));
    }
}

TEST(DeleteFolderContents, RefusesAPathLongerThanItsBuffer)
{
    std::wstring tooLong = L"C:\\" + std::wstring(260, L'x');
    EXPECT_EQ(-1, DeleteFolderContents(tooLong.c_str()));
}

// A folder under the scratch folder whose path is exactly `length` characters.
std::wstring FolderOfLength(const ScratchFolder& scratch, size_t length)
{
    std::wstring path = scratch.Path() + L"\\";
    path += std::wstring(length - path.size(), L'f');
    return path;
}

TEST(DeleteFolderContents, EmptiesWhatCanBeWrittenWithTheSamePathCapacity)
{
    // The longest folder that can still be listed (255 characters and "\*.*"),
    // holding a file whose path takes all 259 characters: both writable, so
    // both must be removable.
    ScratchFolder scratch;
    std::wstring folder = FolderOfLength(scratch, 255);
    ASSERT_TRUE(FolderCanBeEmptied(folder.c_str()));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    std::wstring file = folder + L"\\abc";
    ASSERT_EQ(259u, file.size());
    WriteBytes(file, "x");
    ASSERT_TRUE(PathExists(file));
    EXPECT_EQ(0, DeleteFolderContents(folder.c_str()));
    EXPECT_FALSE(PathExists(file));
    EXPECT_FALSE(FolderCanBeEmptied((folder + L"x").c_str())) << "256 characters and \\*.* do not fit";
}

TEST(DeleteFolderContents, AFolderThatCannotBeListedIsNotEmpty)
{
    // Only a folder that is not there counts as emptied; any other failure to
    // list it (an invalid name here, no access elsewhere) is -1.
    ScratchFolder scratch;
    EXPECT_EQ(0, DeleteFolderContents((scratch / L"missing").c_str()));
    EXPECT_EQ(0, DeleteFolderContents((scratch / L"missing\\deeper").c_str()));
    EXPECT_EQ(-1, DeleteFolderContents((scratch / L"bad|name").c_str()));
}

TEST(DeleteFolderContents, StopsAtAnEntryThatComesBackAfterItsRemoval)
{
    // Held open with delete sharing: the deletion stays pending and the file
    // keeps its name until the handle is closed.
    ScratchFolder scratch;
    std::wstring top = scratch / L"top";
    CreateDirectoryW(top.c_str(), nullptr);
    WriteBytes(top + L"\\pending.txt", "p");
    HANDLE held = CreateFileW((top + L"\\pending.txt").c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(-1, DeleteFolderContents(top.c_str())) << "returns instead of trying for ever";
    CloseHandle(held);
    EXPECT_EQ(0, DeleteFolderContents(top.c_str()));
}

TEST(TickText, IsTheTickCountAsASignedNumber)
{
    const struct {
        DWORD ticks;
        const wchar_t* text;
    } cases[] = {
        {0, L"0"},
        {1234, L"1234"},
        {2147483647u, L"2147483647"},
        {2147483648u, L"-2147483648"},
        {4294967295u, L"-1"},
    };
    for (const auto& c : cases) {
        wchar_t text[kTickTextSize];
        FormatTickText(c.ticks, text);
        EXPECT_STREQ(c.text, text) << c.ticks;
    }
    wchar_t now[kTickTextSize];
    TickText(now);
    EXPECT_NE(L'\0', now[0]);
}

class SystemRootOverride {
public:
    explicit SystemRootOverride(const wchar_t* value)
    {
        DWORD n = GetEnvironmentVariableW(L"SystemRoot", saved_, MAX_PATH);
        had_ = n > 0 && n < MAX_PATH;
        SetEnvironmentVariableW(L"SystemRoot", value);
    }
    ~SystemRootOverride() { SetEnvironmentVariableW(L"SystemRoot", had_ ? saved_ : nullptr); }

private:
    wchar_t saved_[MAX_PATH];
    bool had_;
};

TEST(GetSystemTempFolder, IsSystemRootAndTempNotTheUsersTemp)
{
    wchar_t root[MAX_PATH];
    ASSERT_GT(GetEnvironmentVariableW(L"SystemRoot", root, MAX_PATH), 0u);
    wchar_t temp[MAX_PATH];
    ASSERT_TRUE(GetSystemTempFolder(temp));
    EXPECT_EQ(std::wstring(root) + L"\\Temp", temp);
    {
        SystemRootOverride other(L"D:\\WINNT");
        ASSERT_TRUE(GetSystemTempFolder(temp));
        EXPECT_STREQ(L"D:\\WINNT\\Temp", temp);
    }
    {
        SystemRootOverride missing(nullptr);
        EXPECT_FALSE(GetSystemTempFolder(temp));
    }
    {
        std::wstring longRoot = L"C:\\" + std::wstring(252, L'w');  // 255 characters, 5 more do not fit
        SystemRootOverride tooLong(longRoot.c_str());
        EXPECT_FALSE(GetSystemTempFolder(temp));
    }
}

TEST(MakeTickFolder, CreatesANewPrivateFolderAndPassesNamesTakenAlready)
{
    wchar_t temp[MAX_PATH];
    ASSERT_TRUE(GetSystemTempFolder(temp));
    const DWORD ticks = DWORD(-12345);
    std::wstring first = std::wstring(temp) + L"\\-12345";
    wchar_t folder[MAX_PATH];
    ASSERT_TRUE(MakeTickFolderFrom(ticks, folder));
    EXPECT_EQ(first, folder);
    EXPECT_TRUE(FolderExists(folder));

    // Another user predicted the next names and made them first (one as a file).
    std::wstring second = std::wstring(temp) + L"\\-12344";
    CreateDirectoryW(second.c_str(), nullptr);
    WriteBytes(std::wstring(temp) + L"\\-12343", "planted");
    wchar_t next[MAX_PATH];
    ASSERT_TRUE(MakeTickFolderFrom(ticks, next));
    EXPECT_EQ(std::wstring(temp) + L"\\-12342", next) << "neither the taken folders nor the file";
    EXPECT_TRUE(FolderExists(next));

    for (const std::wstring& made : {first, second, std::wstring(next)}) RemoveDirectoryW(made.c_str());
    DeleteFileW((std::wstring(temp) + L"\\-12343").c_str());
}

TEST(PrivateSecurity, KeepsEveryoneButAdministratorsAndSystemOut)
{
    PrivateSecurity security;
    ASSERT_NE(nullptr, security.Attributes());
    EXPECT_EQ(sizeof(SECURITY_ATTRIBUTES), security.Attributes()->nLength);
    EXPECT_FALSE(security.Attributes()->bInheritHandle);
    PSECURITY_DESCRIPTOR descriptor = security.Attributes()->lpSecurityDescriptor;
    EXPECT_TRUE(IsPrivateDescriptor(descriptor)) << DescriptorText(descriptor);
}

TEST(CreatePrivateFolder, CreatesOnlyAFolderThatIsNotThereYet)
{
    ScratchFolder scratch;
    std::wstring folder = scratch / L"private";
    EXPECT_TRUE(CreatePrivateFolder(folder.c_str()));
    EXPECT_TRUE(FolderExists(folder.c_str()));
    EXPECT_FALSE(CreatePrivateFolder(folder.c_str())) << "one that exists is never taken over";
    EXPECT_FALSE(CreatePrivateFolder((scratch / L"missing\\private").c_str()));
}

TEST(ProgramResources, AreFoundAndWrittenByteForByte)
{
    ResourceBytes bytes = {};
    ASSERT_TRUE(FindProgramResource(MAKEINTRESOURCEW(4242), MAKEINTRESOURCEW(10), &bytes));
    ASSERT_EQ(5u, bytes.size);
    EXPECT_EQ(std::string("AB\0CD", 5), std::string(static_cast<const char*>(bytes.data), 5));
    EXPECT_FALSE(FindProgramResource(MAKEINTRESOURCEW(4243), MAKEINTRESOURCEW(10), &bytes));
    EXPECT_FALSE(FindProgramResource(MAKEINTRESOURCEW(4242), L"RT_EXE", &bytes));

    ScratchFolder scratch;
    std::wstring file = scratch / L"out.bin";
    WriteBytes(file, "an older and longer content");
    ASSERT_TRUE(FindProgramResource(MAKEINTRESOURCEW(4242), MAKEINTRESOURCEW(10), &bytes));
    EXPECT_TRUE(WriteResourceToFile(bytes, file.c_str()));
    EXPECT_EQ(std::string("AB\0CD", 5), ReadBytes(file));
    EXPECT_FALSE(WriteResourceToFile(bytes, (scratch / L"missing\\out.bin").c_str()));
}

TEST(WriteResourceToFile, AFileThatCannotBeWrittenWholeIsDeletedAndReported)
{
    // Bytes of which only the first page can be read: the write stops there.
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    DWORD page = system.dwPageSize;
    char* block = static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(nullptr, block);
    ASSERT_NE(nullptr, VirtualAlloc(block, page, MEM_COMMIT, PAGE_READWRITE));
    ScratchFolder scratch;
    std::wstring file = scratch / L"out.bin";
    ResourceBytes bytes = {block, 2 * page};
    EXPECT_FALSE(WriteResourceToFile(bytes, file.c_str()));
    EXPECT_FALSE(PathExists(file)) << "no partial file left behind";
    EXPECT_FALSE(WriteResourceToPrivateFile(bytes, file.c_str()));
    EXPECT_FALSE(PathExists(file));
    VirtualFree(block, 0, MEM_RELEASE);
}

TEST(WriteResourceToPrivateFile, WritesOnlyANewFile)
{
    ScratchFolder scratch;
    std::wstring file = scratch / L"new.bin";
    ResourceBytes bytes = {"AB\0CD", 5};
    EXPECT_TRUE(WriteResourceToPrivateFile(bytes, file.c_str()));
    EXPECT_EQ(std::string("AB\0CD", 5), ReadBytes(file));
    // A file another user put there first is neither used nor overwritten.
    std::wstring planted = scratch / L"planted.bin";
    WriteBytes(planted, "planted");
    EXPECT_FALSE(WriteResourceToPrivateFile(bytes, planted.c_str()));
    EXPECT_EQ("planted", ReadBytes(planted));
}

TEST(ConvertCodePageText, ConvertsWindowsLatinTextWithinItsBuffer)
{
    wchar_t out[16];
    EXPECT_TRUE(ConvertCodePageText("lib\\caf\xe9.jar", 1252, out, 16));
    EXPECT_STREQ(L"lib\\caf\u00e9.jar", out);
    EXPECT_TRUE(ConvertCodePageText("", 1252, out, 16));
    EXPECT_STREQ(L"", out);
    wchar_t small[4] = {L'#', L'#', L'#', L'#'};
    EXPECT_FALSE(ConvertCodePageText("abcd", 1252, small, 3));
    EXPECT_EQ(L'#', small[3]);
}

// Registry helpers, on keys the test owns.
const wchar_t kTestKey[] = L"Software\\VendrelTests\\Helpers";

std::wstring ReadString(HKEY root, const wchar_t* key, const wchar_t* value, DWORD* type)
{
    wchar_t data[MAX_PATH] = L"";
    DWORD size = sizeof data;
    *type = REG_NONE;
    HKEY k;
    if (RegOpenKeyExW(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return L"<no key>";
    LONG rc = RegQueryValueExW(k, value, nullptr, type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS ? std::wstring(data) : L"<no value>";
}

TEST(CreateRegKeyPath, AnInvalidRootEndsTheClimbAtTheRoot)
{
    // Every level fails to open; the climb must stop at the empty key path
    // instead of asking for the root again and again.
    HKEY invalid = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x12345678));
    CreateRegKeyPath(invalid, L"Software\\VendrelTests\\Deep\\Key");
    SetRegString(invalid, L"Software\\VendrelTests\\Value", L"x");
    SUCCEED() << "returned";
}

TEST(SetRegString, CreatesMissingKeysAndWritesAString)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VendrelTests");
    SetRegString(HKEY_CURRENT_USER, L"Software\\VendrelTests\\Helpers\\deep\\er\\Name", L"caf\u00e9 value");
    DWORD type;
    EXPECT_EQ(L"caf\u00e9 value", ReadString(HKEY_CURRENT_USER, L"Software\\VendrelTests\\Helpers\\deep\\er", L"Name", &type));
    EXPECT_EQ(DWORD(REG_SZ), type);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VendrelTests");
}

TEST(SetRegString, CreatesTheRunOnceKeyWhenItIsMissing)
{
    const wchar_t runOnce[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, runOnce);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, runOnce);
    HKEY probe;
    ASSERT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, runOnce, 0, KEY_READ, &probe));

    SetRegString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\DeleteBundledJVM",
                 L"cmd /c rd /s /q C:\\x");
    DWORD type;
    EXPECT_EQ(L"cmd /c rd /s /q C:\\x", ReadString(HKEY_LOCAL_MACHINE, runOnce, L"DeleteBundledJVM", &type));
    EXPECT_EQ(DWORD(REG_SZ), type);

    DeleteRegValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\DeleteBundledJVM");
    EXPECT_EQ(L"<no value>", ReadString(HKEY_LOCAL_MACHINE, runOnce, L"DeleteBundledJVM", &type));
}

TEST(DeleteRegValue, RemovesOnlyTheNamedValueAndIgnoresWhatIsMissing)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VendrelTests");
    SetRegString(HKEY_CURRENT_USER, L"Software\\VendrelTests\\Helpers\\Keep", L"k");
    SetRegString(HKEY_CURRENT_USER, L"Software\\VendrelTests\\Helpers\\Drop", L"d");

    DeleteRegValue(HKEY_CURRENT_USER, L"Software\\VendrelTests\\Helpers\\Drop");
    DeleteRegValue(HKEY_CURRENT_USER, L"Software\\VendrelTests\\Helpers\\Missing");
    DeleteRegValue(HKEY_CURRENT_USER, L"Software\\VendrelTests\\NoSuchKey\\Value");
    DWORD type;
    EXPECT_EQ(L"<no value>", ReadString(HKEY_CURRENT_USER, kTestKey, L"Drop", &type));
    EXPECT_EQ(L"k", ReadString(HKEY_CURRENT_USER, kTestKey, L"Keep", &type));
    HKEY probe;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\VendrelTests\\NoSuchKey", 0, KEY_READ, &probe));
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VendrelTests");
}

}  // namespace
