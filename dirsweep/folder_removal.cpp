#include "folder_removal.h"

#include "framework/guards.h"
#include "framework/text.h"

namespace {

const DWORD kRemovalLimitMs = 120000;  // the launcher and the uninstall wizard end well before
const DWORD kPauseMs = 1000;

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

}  // namespace

bool IsExistingDirectory(const wchar_t* path)
{
    WIN32_FIND_DATAW entry;
    ScopedFind found(FindFirstFileW(path, &entry));
    return found.Valid() && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ParseFolderArgument(const wchar_t* commandLine, wchar_t* folderPath)
{
    folderPath[0] = 0;
    // Past the program's own path.
    const wchar_t* arguments = commandLine;
    if (*commandLine == L'"') {
        const wchar_t* closing = commandLine + 1;
        while (*closing && *closing != L'"') ++closing;
        if (*closing) arguments = closing + 1;
    } else {
        while (*arguments && !IsBlank(*arguments)) ++arguments;
    }
    // Without the white space around it, and without enclosing quotes.
    while (IsBlank(*arguments)) ++arguments;
    size_t length = TextLength(arguments);
    while (length > 0 && IsBlank(arguments[length - 1])) --length;
    if (length > 0 && arguments[0] == L'"') {
        ++arguments;
        length = length >= 2 ? length - 2 : 0;
    }
    return length > 0 && TextCopyN(folderPath, MAX_PATH, arguments, length);
}

void ParentFolder(const wchar_t* path, wchar_t* parent)
{
    long cut = TextFindLast(path, L'\\');
    TextCopyN(parent, MAX_PATH, path, cut < 0 ? 0 : size_t(cut));
}

void RemoveFolderWhenEmpty(const wchar_t* folder, DWORD limitMs, DWORD pauseMs)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < limitMs) {
        RemoveDirectoryW(folder);  // succeeds only once the folder is empty
        if (!IsExistingDirectory(folder)) break;
        Sleep(pauseMs);
    }
}

FolderRemovalApp::FolderRemovalApp() : startTick(0)
{
    folderPath[0] = parentPath[0] = grandparentPath[0] = 0;
}

bool FolderRemovalApp::InitInstance()
{
    if (ParseFolderArgument(GetCommandLineW(), folderPath)) {
        ParentFolder(folderPath, parentPath);
        ParentFolder(parentPath, grandparentPath);
        startTick = GetTickCount();
        RemoveFolderWhenEmpty(folderPath, kRemovalLimitMs, kPauseMs);
        // Folders that are not empty simply stay.
        if (parentPath[0]) RemoveDirectoryW(parentPath);
        if (grandparentPath[0]) RemoveDirectoryW(grandparentPath);
    }
    return false;  // no window, no message loop; the exit code is 0
}
