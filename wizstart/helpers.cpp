#include "helpers.h"

#include <io.h>
#include <sddl.h>
#include <shlwapi.h>

#include "framework/app.h"
#include "framework/guards.h"
#include "framework/system_library.h"
#include "framework/text.h"

bool FileExists(const wchar_t* path)
{
    return _waccess(path, 4) == 0;
}

bool FolderExists(const wchar_t* path)
{
    CurrentFolderKeeper keeper;
    return SetCurrentDirectoryW(path) != FALSE;
}

namespace {

bool IsDriveOrRoot(const wchar_t* path)
{
    if (TextEqual(path, L"\\")) return true;
    return path[0] && path[1] == L':' && !path[2];
}

// The recursion of CreateFolderPath; the caller keeps the current folder.
bool CreateFolderPathFrom(const wchar_t* path)
{
    CreateDirectoryW(path, nullptr);
    if (SetCurrentDirectoryW(path)) return true;
    long cut = TextFindLast(path, L'\\');
    wchar_t parent[MAX_PATH];
    if (cut < 0 || !TextCopyN(parent, MAX_PATH, path, size_t(cut))) return false;
    if (IsDriveOrRoot(parent) || !CreateFolderPathFrom(parent)) return false;
    return CreateDirectoryW(path, nullptr) != FALSE;
}

bool IsDotEntry(const WIN32_FIND_DATAW& entry)
{
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (TextEqual(entry.cFileName, L".") || TextEqual(entry.cFileName, L".."));
}

const wchar_t kListingPattern[] = L"\\*.*";

// Full control for Administrators (BA) and SYSTEM (SY), for the object and
// everything created inside it (OICI); the list is protected (P), so nothing is
// inherited from the parent.
const wchar_t kPrivateAccess[] = L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";

// Writes all bytes into a file created with `disposition`; a file that could
// not be written whole is deleted again.
bool WriteBytesToFile(const ResourceBytes& bytes, const wchar_t* path, DWORD disposition,
                      SECURITY_ATTRIBUTES* security)
{
    bool complete;
    {
        ScopedFile file(CreateFileW(path, GENERIC_WRITE, 0, security, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) return false;
        DWORD written = 0;
        complete = WriteFile(file, bytes.data, bytes.size, &written, nullptr) && written == bytes.size;
    }
    if (!complete) DeleteFileW(path);
    return complete;
}

// Splits a value path into its key part (before the last backslash, empty when
// there is none) and the value name after it.
bool SplitValuePath(const wchar_t* valuePath, wchar_t* keyPart, const wchar_t** valueName)
{
    long cut = TextFindLast(valuePath, L'\\');
    *valueName = valuePath + cut + 1;
    return TextCopyN(keyPart, MAX_PATH, valuePath, cut < 0 ? 0 : size_t(cut));
}

}  // namespace

bool CreateFolderPath(const wchar_t* path)
{
    if (TextLength(path) >= MAX_PATH) return false;
    CurrentFolderKeeper keeper;
    return CreateFolderPathFrom(path);
}

bool FolderCanBeEmptied(const wchar_t* folder)
{
    return TextLength(folder) + TextLength(kListingPattern) < MAX_PATH;
}

int DeleteFolderContents(const wchar_t* folder)
{
    wchar_t pattern[MAX_PATH];
    if (!TextConcat(pattern, MAX_PATH, folder, kListingPattern)) return -1;
    wchar_t removed[MAX_PATH] = L"";
    // A fresh listing after every removal, using only its first real entry, so
    // that the order of a listing that changes under us never matters.
    for (;;) {
        WIN32_FIND_DATAW entry;
        {
            ScopedFind listing(FindFirstFileW(pattern, &entry));
            if (!listing.Valid()) {
                // Only a folder that is not there counts as emptied; one that
                // cannot be listed may still hold anything.
                DWORD error = GetLastError();
                return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : -1;
            }
            while (IsDotEntry(entry))
                if (!FindNextFileW(listing, &entry)) return 0;
        }
        // An entry that comes back after its removal (a file whose deletion stays
        // pending while another program holds it) would be tried forever.
        if (removed[0] && TextEqual(entry.cFileName, removed)) return -1;

        wchar_t path[MAX_PATH];
        if (!TextConcat(path, MAX_PATH, folder, L"\\", static_cast<const wchar_t*>(entry.cFileName))) return -1;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A junction or symbolic link is removed as the link itself: its
            // target may be anywhere on the machine and is never emptied.
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                int result = DeleteFolderContents(path);
                if (result != 0) return result;
            }
            if (!RemoveDirectoryW(path)) return -1;
        } else {
            DWORD attributes = GetFileAttributesW(path);
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
                SetFileAttributesW(path, attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
            DeleteFileW(path);
            if (FileExists(path)) return -1;
        }
        TextCopy(removed, MAX_PATH, static_cast<const wchar_t*>(entry.cFileName));
    }
}

bool GetSystemTempFolder(wchar_t* out)
{
    wchar_t root[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"SystemRoot", root, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    return TextConcat(out, MAX_PATH, static_cast<const wchar_t*>(root), L"\\Temp");
}

void FormatTickText(DWORD ticks, wchar_t* out)
{
    // The count read as a signed 32-bit number.
    long long value = static_cast<int>(ticks);
    unsigned long long magnitude = value < 0 ? static_cast<unsigned long long>(-value) : value;
    wchar_t digits[kTickTextSize];
    int n = 0;
    do {
        digits[n++] = wchar_t(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    int at = 0;
    if (value < 0) out[at++] = L'-';
    while (n) out[at++] = digits[--n];
    out[at] = 0;
}

void TickText(wchar_t* out)
{
    FormatTickText(GetTickCount(), out);
}

PrivateSecurity::PrivateSecurity() : descriptor_(nullptr)
{
    typedef BOOL(WINAPI * ConvertFunction)(LPCWSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = nullptr;
    attributes_.bInheritHandle = FALSE;
    HMODULE advapi32 = GetModuleHandleW(L"advapi32.dll");
    auto convert = AsFunction<ConvertFunction>(
        advapi32 ? GetProcAddress(advapi32, "ConvertStringSecurityDescriptorToSecurityDescriptorW") : nullptr);
    if (convert && !convert(kPrivateAccess, SDDL_REVISION_1, &descriptor_, nullptr)) descriptor_ = nullptr;
    attributes_.lpSecurityDescriptor = descriptor_;
}

PrivateSecurity::~PrivateSecurity()
{
    if (descriptor_) LocalFree(descriptor_);
}

bool CreatePrivateFolder(const wchar_t* path)
{
    PrivateSecurity security;
    return security.Attributes() && CreateDirectoryW(path, security.Attributes());
}

bool MakeTickFolderFrom(DWORD ticks, wchar_t* out)
{
    // Enough names to pass any number of folders planted ahead; the search
    // ends at the first failure other than a name already taken.
    const int kTries = 1000;
    out[0] = 0;
    PrivateSecurity security;
    wchar_t temp[MAX_PATH];
    if (!GetSystemTempFolder(temp)) return false;
    for (int i = 0; i < kTries; ++i) {
        wchar_t tick[kTickTextSize];
        FormatTickText(ticks + DWORD(i), tick);
        if (!TextConcat(out, MAX_PATH, static_cast<const wchar_t*>(temp), L"\\", static_cast<const wchar_t*>(tick)) ||
            !security.Attributes())
            return false;
        if (CreateDirectoryW(out, security.Attributes())) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

bool MakeTickFolder(wchar_t* out)
{
    return MakeTickFolderFrom(GetTickCount(), out);
}

bool FindProgramResource(const wchar_t* name, const wchar_t* type, ResourceBytes* out)
{
    HINSTANCE module = AppResourceHandle();
    HRSRC found = FindResourceW(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return false;
    out->data = data;
    out->size = SizeofResource(module, found);
    return true;
}

bool WriteResourceToFile(const ResourceBytes& bytes, const wchar_t* path)
{
    return WriteBytesToFile(bytes, path, CREATE_ALWAYS, nullptr);
}

bool WriteResourceToPrivateFile(const ResourceBytes& bytes, const wchar_t* path)
{
    PrivateSecurity security;
    return security.Attributes() && WriteBytesToFile(bytes, path, CREATE_NEW, security.Attributes());
}

bool ConvertCodePageText(const char* text, UINT codePage, wchar_t* out, int capacity)
{
    if (capacity <= 0) return false;
    out[0] = 0;
    if (!text[0]) return true;
    int needed = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (needed <= 0 || needed > capacity) return false;
    return MultiByteToWideChar(codePage, 0, text, -1, out, needed) == needed;
}

void CreateRegKeyPath(HKEY root, const wchar_t* keyPath)
{
    ScopedRegKey key;
    if (RegOpenKeyExW(root, keyPath, 0, KEY_WRITE, key.Out()) == ERROR_SUCCESS) return;
    // The root itself cannot be created; asking again would recurse forever.
    if (!keyPath[0]) return;

    wchar_t parentPath[MAX_PATH];
    const wchar_t* leaf;
    if (!SplitValuePath(keyPath, parentPath, &leaf)) return;
    ScopedRegKey parent;
    if (RegOpenKeyExW(root, parentPath, 0, KEY_WRITE, parent.Out()) != ERROR_SUCCESS) {
        CreateRegKeyPath(root, parentPath);
        if (RegOpenKeyExW(root, parentPath, 0, KEY_WRITE, parent.Out()) != ERROR_SUCCESS) return;
    }
    ScopedRegKey created;
    RegCreateKeyW(parent, leaf, created.Out());
}

void SetRegString(HKEY root, const wchar_t* valuePath, const wchar_t* text)
{
    wchar_t keyPart[MAX_PATH];
    const wchar_t* valueName;
    if (!SplitValuePath(valuePath, keyPart, &valueName)) return;
    CreateRegKeyPath(root, keyPart);
    ScopedRegKey key;
    if (RegOpenKeyExW(root, keyPart, 0, KEY_WRITE, key.Out()) != ERROR_SUCCESS) return;
    DWORD bytes = DWORD((TextLength(text) + 1) * sizeof(wchar_t));
    RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
}

void DeleteRegValue(HKEY root, const wchar_t* valuePath)
{
    wchar_t keyPart[MAX_PATH];
    const wchar_t* valueName;
    if (!SplitValuePath(valuePath, keyPart, &valueName)) return;
    ScopedRegKey key;
    if (RegOpenKeyExW(root, keyPart, 0, KEY_ALL_ACCESS, key.Out()) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, valueName);
}

bool ReadMachineText(const wchar_t* key, const wchar_t* value, wchar_t* out, DWORD capacity)
{
    DWORD bytes = capacity * sizeof(wchar_t);
    if (SHGetValueW(HKEY_LOCAL_MACHINE, key, value, nullptr, out, &bytes) != ERROR_SUCCESS) return false;
    // Stored text need not end with a terminator: one must fit.
    DWORD length = bytes / sizeof(wchar_t);
    if (length > 0 && out[length - 1] == 0) return true;
    if (length >= capacity) return false;
    out[length] = 0;
    return true;
}
