// A Java runtime carried in the launcher's resources: written out into the
// system Temp folder's BundledJVM for the wizard, removed afterwards, or at the
// next start of Windows when the launcher does not get that far.
#include "framework/guards.h"
#include "framework/text.h"
#include "helpers.h"
#include "launcher.h"

namespace {

const int kListResource = 2000;          // the file list; file n (from 0) is resource 2001 + n
const DWORD kListCapacity = 30000;       // bytes of the list with its terminator
const size_t kEntryLimit = 259;          // characters of one entry
const wchar_t kRunOnceValue[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\DeleteBundledJVM";

void* AllocZeroed(DWORD bytes)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

bool IsLink(const wchar_t* path)
{
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Makes `folder` a new, empty folder of this run's own before the runtime goes
// in: whatever stood there (files of an earlier run, a planted library, a folder
// that another user created and owns, a link leading elsewhere) is removed as a
// whole, a link as a link, and the folder is created anew with an access list
// that keeps others out.
bool ReplaceWithPrivateFolder(const wchar_t* folder)
{
    DWORD attributes = GetFileAttributesW(folder);
    bool removed;
    if (attributes == INVALID_FILE_ATTRIBUTES)
        removed = true;  // nothing there yet
    else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        removed = RemoveDirectoryW(folder) != FALSE;
    else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        removed = DeleteFileW(folder) != FALSE;  // a file, or a link to one
    else
        removed = DeleteFolderContents(folder) == 0 && RemoveDirectoryW(folder);
    return removed && CreatePrivateFolder(folder);
}

// Writes the entry's file from resource `number`, creating its folders.
void WriteRuntimeFile(const wchar_t* runtimeFolder, const wchar_t* entry, size_t length, int number)
{
    wchar_t target[MAX_PATH];
    wchar_t name[MAX_PATH];
    if (length == 0 || length > kEntryLimit || !TextCopyN(name, MAX_PATH, entry, length) ||
        !TextConcat(target, MAX_PATH, runtimeFolder, L"\\", static_cast<const wchar_t*>(name)))
        return;
    // Only where the removal can list it again, so that nothing written stays.
    wchar_t folder[MAX_PATH];
    TextCopyN(folder, MAX_PATH, static_cast<const wchar_t*>(target), size_t(TextFindLast(target, L'\\')));
    if (!FolderCanBeEmptied(folder)) return;
    CreateFolderPath(folder);
    ResourceBytes file;
    if (FindProgramResource(MAKEINTRESOURCEW(number), MAKEINTRESOURCEW(10), &file)) WriteResourceToFile(file, target);
}

}  // namespace

void LaunchDialog::ExtractPrivateRuntime(LaunchState& state)
{
    ResourceBytes list;
    state.privateRuntimePresent = FindProgramResource(MAKEINTRESOURCEW(kListResource), MAKEINTRESOURCEW(10), &list);
    if (!state.privateRuntimePresent) return;

    // Without a folder of its own the runtime is not written and counts as not
    // carried: the launch takes the registered runtime, with its message when
    // there is none, and no later step touches a folder of that name.
    wchar_t temp[MAX_PATH];
    if (!GetSystemTempFolder(temp) ||
        !TextConcat(state.runtimeFolder, MAX_PATH, static_cast<const wchar_t*>(temp), L"\\BundledJVM") ||
        !ReplaceWithPrivateFolder(state.runtimeFolder)) {
        state.privateRuntimePresent = false;
        state.runtimeFolder[0] = 0;
        return;
    }

    // The list's text: its bytes up to the first zero, at most 29,999 of them.
    ScopedHeapBlock bytes(AllocZeroed(kListCapacity));
    ScopedHeapBlock text(AllocZeroed(kListCapacity * sizeof(wchar_t)));
    if (!bytes.Valid() || !text.Valid()) return;
    const char* source = static_cast<const char*>(list.data);
    char* narrow = static_cast<char*>(bytes.Get());
    for (DWORD i = 0; i < list.size && i < kListCapacity - 1 && source[i]; ++i) narrow[i] = source[i];
    wchar_t* entries = static_cast<wchar_t*>(text.Get());
    if (!ConvertCodePageText(narrow, 1252, entries, int(kListCapacity))) return;

    // One entry per line, each ended by CR LF; an empty line takes its number
    // too. A last piece without CR LF is no entry.
    int number = kListResource + 1;
    for (const wchar_t* at = entries; *at; ++number) {
        const wchar_t* end = at;
        while (*end && !(end[0] == L'\r' && end[1] == L'\n')) ++end;
        if (!*end) break;
        WriteRuntimeFile(state.runtimeFolder, at, size_t(end - at), number);
        at = end + 2;
    }
}

void LaunchDialog::RegisterDeferredCleanup(LaunchState& state)
{
    // Run once at the next start of Windows, should this launcher not get to
    // remove the runtime itself.
    wchar_t command[MAX_PATH + 32];
    if (TextConcat(command, MAX_PATH + 32, L"cmd.exe /C  RD /S /Q \"", static_cast<const wchar_t*>(state.runtimeFolder),
                   L"\""))
        SetRegString(HKEY_LOCAL_MACHINE, kRunOnceValue, command);
}

void LaunchDialog::RemovePrivateRuntime(LaunchState& state)
{
    const wchar_t* folder = state.runtimeFolder;
    for (int round = 0; round < 10; ++round) {
        // A link put in the folder's place is removed as a link, never emptied.
        if (!IsLink(folder)) DeleteFolderContents(folder);
        RemoveDirectoryW(folder);
        if (!FolderExists(folder)) break;
    }
    DeleteRegValue(HKEY_LOCAL_MACHINE, kRunOnceValue);
}
